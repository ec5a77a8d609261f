#include "engine/script/vector_state.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "engine/calc_fx.h"
#include "engine/script/expression.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace linoveta {
namespace {

#if defined(__x86_64__) || defined(__i386__)

// Whether the processor reports which state components are in use (XGETBV with ECX = 1).
bool StateInUseReadable()
{
    if (!__builtin_cpu_supports("avx"))
        return false;
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (!__get_cpuid_count(0xD, 1, &eax, &ebx, &ecx, &edx))
        return false;
    return (eax & (1u << 2)) != 0;
}

// Bit 2 of the state in use: the upper halves of the YMM registers may hold data.
bool UpperHalvesInUse()
{
    std::uint32_t low = 0, high = 0;
    asm volatile("xgetbv" : "=a"(low), "=d"(high) : "c"(1));
    return (low & (1u << 2)) != 0;
}

// What drawing leaves behind: a 256-bit write into a YMM register.
void DirtyUpperHalves() { asm volatile("vinsertf128 $1, %%xmm0, %%ymm0, %%ymm0" ::: "xmm0"); }

#endif

// Every way into an evaluation, on a line that calls libm, with an x as the plotter gives it.
struct EvaluationEntry {
    const char *name;
    std::function<void()> call;
};

TEST(VectorState, EveryEvaluationStartsWithCleanUpperHalves)
{
#if defined(__x86_64__) || defined(__i386__)
    if (!StateInUseReadable())
        GTEST_SKIP() << "the processor does not report the AVX state in use";
    frmCalcFX fx;
    fx.PreCalcFX({"S(x)+C(x)^(2.5)+T(x)", "", "", "", ""});
    const script::Expression e("sin(x)+cos(x)^2.5+tan(x)");
    const std::array<double, 5> xs = {0.25, 0.24, 0.23, 0.26, 0.27};
    std::array<std::optional<double>, 5> values;
    std::array<double, 5> areas{};
    std::array<script::Result, 5> results;
    const std::array<EvaluationEntry, 10> entries = {{
        {"Expression::Evaluate", [&] { e.Evaluate(xs[0]); }},
        {"Expression::EvaluateMany",
         [&] { e.EvaluateMany(xs.data(), xs.size(), results.data()); }},
        {"CalculateY", [&] { fx.CalculateY(xs[0], 0); }},
        {"CalculateYEval", [&] { fx.CalculateYEval(xs[0], 0); }},
        {"CalculateYArea", [&] { fx.CalculateYArea(xs[0], 0); }},
        {"CalculateYValue", [&] { fx.CalculateYValue(xs[0], 0); }},
        {"CalculateYValues",
         [&] { fx.CalculateYValues(xs.data(), xs.size(), 0, values.data()); }},
        {"CalculateYValuesBound",
         [&] { fx.CalculateYValuesBound(xs.data(), xs.size(), 0, values.data()); }},
        {"CalculateYResultsBound",
         [&] { fx.CalculateYResultsBound(xs.data(), xs.size(), 0, values.data()); }},
        {"CalculateYAreaValues",
         [&] { fx.CalculateYAreaValues(xs.data(), xs.size(), 0, areas.data()); }},
    }};
    for (const EvaluationEntry &entry : entries) {
        DirtyUpperHalves();
        ASSERT_TRUE(UpperHalvesInUse()) << "the test could not dirty the state";
        entry.call();
        EXPECT_FALSE(UpperHalvesInUse()) << entry.name;
    }
#else
    GTEST_SKIP() << "no vector state to clear on this processor";
#endif
}

} // namespace
} // namespace linoveta
