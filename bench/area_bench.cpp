// The Calculate Area sum of sin(x)^2 + x over -1000..1000 with dx = 0.001 (2e6 terms), through
// the evaluator, against a plain loop of the same function and step.
#include "bench/summary.h"
#include "engine/calc_fx.h"
#include "workspace/area_sum.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstddef>

namespace {

constexpr double kMin = -1000;
constexpr double kMax = 1000;
constexpr double kDx = 0.001;

// Read through a volatile so that the compiler cannot count the plain loop's terms in advance.
// (DoNotOptimize on the bound is not enough: GCC then reads the bound before it is stored.)
volatile double gOpaqueMax = kMax;

void BM_AreaSumThroughEvaluator(benchmark::State &state)
{
    linoveta::frmCalcFX calc;
    calc.PreCalcFX({"sin(x)^2+x", "", "", "", ""});
    // As the dialog calls it: through the sum's function type, many x per call.
    const linoveta::AreaSum::Values f = [&calc](const double *xs, double *ys, std::size_t n) {
        calc.CalculateYAreaValues(xs, n, 0, ys);
    };
    for (auto _ : state) {
        const auto result = linoveta::AreaSum::Sum(kMin, kMax, kDx, f);
        benchmark::DoNotOptimize(result.area);
    }
    state.SetItemsProcessed(state.iterations() * 2'000'001);
}
BENCHMARK(BM_AreaSumThroughEvaluator)->Unit(benchmark::kMillisecond);

// The sum's own cost: the same loop with the function written in C++.
void BM_AreaSumOfCppFunction(benchmark::State &state)
{
    const auto f = [](double x) {
        const double s = std::sin(x);
        return s * s + x;
    };
    const auto values = [&f](const double *xs, double *ys, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i)
            ys[i] = f(xs[i]);
    };
    for (auto _ : state) {
        const auto result = linoveta::AreaSum::SumOf(kMin, kMax, kDx, values);
        benchmark::DoNotOptimize(result.area);
    }
    state.SetItemsProcessed(state.iterations() * 2'000'001);
}
BENCHMARK(BM_AreaSumOfCppFunction)->Unit(benchmark::kMillisecond);

void BM_AreaSumPlainLoop(benchmark::State &state)
{
    for (auto _ : state) {
        double area = 0;
        double x = kMin;
        const double max = gOpaqueMax;
        while (x <= max) {
            const double s = std::sin(x);
            area += (s * s + x) * kDx;
            x += kDx;
        }
        benchmark::DoNotOptimize(area);
    }
    state.SetItemsProcessed(state.iterations() * 2'000'001);
}
BENCHMARK(BM_AreaSumPlainLoop)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return linoveta::bench::RunWithSummary(
        argc, argv,
        {{"area sum of 2e6 terms / sum of C++ function", "BM_AreaSumThroughEvaluator",
          "BM_AreaSumOfCppFunction"},
         {"area sum of 2e6 terms / plain C++ loop", "BM_AreaSumThroughEvaluator",
          "BM_AreaSumPlainLoop"}});
}
