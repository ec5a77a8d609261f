// One evaluation of a prepared line, singly and in the plotter's groups of five (a sample and
// its four jump probes), against muparser and against the same function written in C++, on the
// same expressions and the same x values.
#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "bench/summary.h"
#include "engine/calc_fx.h"
#include "engine/rounding.h"

#ifdef LINOVETA_HAVE_MUPARSER
#include <muParser.h>
#endif

namespace {

struct Case {
  const char* name;
  const char* label;     // short, for the summary table
  const char* script;    // the translator's script form
  const char* muparser;  // the same expression for muparser
  double (*native)(double);
  double targetRatio;    // group of five per x against muparser
};

const std::array<Case, 4> kCases = {{
    {"x^2", "x^2", "x^(2)", "x^2", [](double x) { return x * x; }, 2.5},
    {"(x^3-2*x+1)/(x-3)", "rational", "(x^(3)-2*x+1)/(x-3)", "(x^3-2*x+1)/(x-3)",
     [](double x) { return (x * x * x - 2 * x + 1) / (x - 3); }, 1.5},
    {"sin(x)^2+cos(x)^2", "sin^2+cos^2", "S(x)^(2)+C(x)^(2)", "sin(x)^2+cos(x)^2",
     [](double x) {
       const double s = std::sin(x), c = std::cos(x);
       return s * s + c * c;
     },
     1.0},
    {"abs(tan(x))^(.5)", "abs(tan)^.5", "abs(T(x))^(.5)", "abs(tan(x))^(.5)",
     [](double x) { return std::sqrt(std::fabs(std::tan(x))); }, 1.0},
}};

// The plotter's samples: x rounded to two decimals, stepped by repeated addition.
const std::vector<double>& Samples() {
  static const std::vector<double> xs = [] {
    std::vector<double> v;
    double x = -20;
    const double step = 0.05;
    while (x <= 20) {
      v.push_back(linoveta::Round(x, 2));
      x += step;
    }
    return v;
  }();
  return xs;
}

// The plotter's group at sample x: the sample and its four jump probes.
std::array<double, 5> Group(double x) { return {x, x - 0.01, x - 0.02, x + 0.01, x + 0.02}; }

linoveta::frmCalcFX Prepared(const Case& c) {
  std::array<std::string, linoveta::kEvalLines> forms;
  forms[0] = c.script;
  linoveta::frmCalcFX fx;
  fx.PreCalcFX(forms);
  return fx;
}

void BM_CalculateY(benchmark::State& state, const Case* c) {
  const linoveta::frmCalcFX fx = Prepared(*c);
  const auto& xs = Samples();
  std::size_t i = 0;
  for (auto _ : state) {
    std::string y = fx.CalculateY(xs[i], 0);
    benchmark::DoNotOptimize(y);
    if (++i == xs.size()) i = 0;
  }
}

void BM_Single(benchmark::State& state, const Case* c) {
  const linoveta::frmCalcFX fx = Prepared(*c);
  const auto& xs = Samples();
  std::size_t i = 0;
  for (auto _ : state) {
    std::optional<double> y = fx.CalculateYValue(xs[i], 0);
    benchmark::DoNotOptimize(y);
    if (++i == xs.size()) i = 0;
  }
}

// One call per group of five, as the plotter makes it; the summary shows it per x.
void BM_GroupOf5(benchmark::State& state, const Case* c) {
  const linoveta::frmCalcFX fx = Prepared(*c);
  const auto& xs = Samples();
  std::size_t i = 0;
  std::array<std::optional<double>, 5> ys;
  for (auto _ : state) {
    const std::array<double, 5> at = Group(xs[i]);
    fx.CalculateYValues(at.data(), at.size(), 0, ys.data());
    benchmark::DoNotOptimize(ys.data());
    benchmark::ClobberMemory();
    if (++i == xs.size()) i = 0;
  }
}

// The same group through the C++ function: what the evaluation costs without the script,
// the 15-digit roundings and the error checks.
void BM_NativeGroupOf5(benchmark::State& state, const Case* c) {
  const auto& xs = Samples();
  std::size_t i = 0;
  std::array<double, 5> ys;
  for (auto _ : state) {
    const std::array<double, 5> at = Group(xs[i]);
    for (std::size_t k = 0; k < at.size(); ++k) ys[k] = c->native(at[k]);
    benchmark::DoNotOptimize(ys.data());
    benchmark::ClobberMemory();
    if (++i == xs.size()) i = 0;
  }
}

#ifdef LINOVETA_HAVE_MUPARSER
void BM_MuParser(benchmark::State& state, const Case* c) {
  double x = 0;
  mu::Parser p;
  p.DefineVar("x", &x);
  p.SetExpr(c->muparser);
  const auto& xs = Samples();
  std::size_t i = 0;
  for (auto _ : state) {
    x = xs[i];
    double y;
    try {
      y = p.Eval();
    } catch (const mu::Parser::exception_type&) {
      y = NAN;
    }
    benchmark::DoNotOptimize(y);
    if (++i == xs.size()) i = 0;
  }
}
#endif

}  // namespace

int main(int argc, char** argv) {
  std::vector<linoveta::bench::Figure> figures;
  for (const Case& c : kCases) {
    const std::string n = c.name;
    benchmark::RegisterBenchmark(("CalculateY/" + n).c_str(), BM_CalculateY, &c);
    benchmark::RegisterBenchmark(("Single/" + n).c_str(), BM_Single, &c);
    benchmark::RegisterBenchmark(("GroupOf5/" + n).c_str(), BM_GroupOf5, &c);
    benchmark::RegisterBenchmark(("NativeGroupOf5/" + n).c_str(), BM_NativeGroupOf5, &c);
#ifdef LINOVETA_HAVE_MUPARSER
    benchmark::RegisterBenchmark(("muparser/" + n).c_str(), BM_MuParser, &c);
    const std::string label = std::string("eval ") + c.label;
    figures.push_back({label + ", group of 5 per x / muparser", "GroupOf5/" + n,
                       "muparser/" + n, 5, 1, c.targetRatio, 0});
    figures.push_back({label + ", single / muparser", "Single/" + n, "muparser/" + n});
#endif
    figures.push_back({label + ", group of 5 / C++", "GroupOf5/" + n, "NativeGroupOf5/" + n});
  }
  return linoveta::bench::RunWithSummary(argc, argv, figures);
}
