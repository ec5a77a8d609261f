// One evaluation of a prepared line, through the text entry point and the numeric one, against
// muparser on the same expressions and the same x values. Prints ours/muparser at the end.
#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "bench/timing_reporter.h"
#include "engine/calc_fx.h"
#include "engine/rounding.h"

#ifdef LINOVETA_HAVE_MUPARSER
#include <muParser.h>
#endif

namespace {

struct Case {
  const char* name;
  const char* script;    // the translator's script form
  const char* muparser;  // the same expression for muparser
};

const std::array<Case, 4> kCases = {{
    {"x^2", "x^(2)", "x^2"},
    {"sin(x)^2+cos(x)^2", "S(x)^(2)+C(x)^(2)", "sin(x)^2+cos(x)^2"},
    {"(x^3-2*x+1)/(x-3)", "(x^(3)-2*x+1)/(x-3)", "(x^3-2*x+1)/(x-3)"},
    {"abs(tan(x))^(.5)", "abs(T(x))^(.5)", "abs(tan(x))^(.5)"},
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

void BM_Numeric(benchmark::State& state, const Case* c) {
  const linoveta::frmCalcFX fx = Prepared(*c);
  const auto& xs = Samples();
  std::size_t i = 0;
  for (auto _ : state) {
    std::optional<double> y = fx.CalculateYValue(xs[i], 0);
    benchmark::DoNotOptimize(y);
    if (++i == xs.size()) i = 0;
  }
}

// The grouped numeric path over all samples at once, as the area sum and the plotter's probes
// call it; the ratio below is per x.
void BM_Grouped(benchmark::State& state, const Case* c) {
  const linoveta::frmCalcFX fx = Prepared(*c);
  const auto& xs = Samples();
  std::vector<std::optional<double>> ys(xs.size());
  for (auto _ : state) {
    fx.CalculateYValues(xs.data(), xs.size(), 0, ys.data());
    benchmark::DoNotOptimize(ys.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(xs.size()));
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
  for (const Case& c : kCases) {
    benchmark::RegisterBenchmark((std::string("CalculateY/") + c.name).c_str(), BM_CalculateY, &c);
    benchmark::RegisterBenchmark((std::string("Numeric/") + c.name).c_str(), BM_Numeric, &c);
    benchmark::RegisterBenchmark((std::string("Grouped/") + c.name).c_str(), BM_Grouped, &c);
#ifdef LINOVETA_HAVE_MUPARSER
    benchmark::RegisterBenchmark((std::string("muparser/") + c.name).c_str(), BM_MuParser, &c);
#endif
  }
  benchmark::Initialize(&argc, argv);
  TimingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
#ifdef LINOVETA_HAVE_MUPARSER
  std::printf("\n%-22s %16s %16s %16s\n", "ours/muparser", "CalculateY", "numeric",
              "grouped, per x");
  for (const Case& c : kCases) {
    const std::string n = c.name;
    auto mu = reporter.times.find("muparser/" + n);
    auto text = reporter.times.find("CalculateY/" + n);
    auto num = reporter.times.find("Numeric/" + n);
    auto grouped = reporter.times.find("Grouped/" + n);
    if (mu == reporter.times.end() || text == reporter.times.end() ||
        num == reporter.times.end() || grouped == reporter.times.end())
      continue;
    const double perX = grouped->second / static_cast<double>(Samples().size());
    std::printf("%-22s %15.2fx %15.2fx %15.2fx\n", c.name, text->second / mu->second,
                num->second / mu->second, perX / mu->second);
  }
#endif
  benchmark::Shutdown();
  return 0;
}
