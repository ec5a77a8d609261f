#include "workspace/step_walk_values.h"

#include "engine/number_text.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

namespace {

using linoveta::PlotEvaluator;
using linoveta::StepWalkValues;

// A line whose value tells every x apart, with gaps; it counts what it was asked, singly and
// in groups.
class CountingEvaluator : public PlotEvaluator
{
public:
    std::size_t alone = 0;
    std::size_t grouped = 0;

    static std::optional<double> Value(double x)
    {
        if (std::fmod(std::fabs(x), 1.0) < 0.1)
            return std::nullopt;  // not a number there
        return x * 1000 + 7;
    }
    void PreCalcFX() override {}
    bool HasExpression(int) const override { return true; }
    std::optional<double> ValueAt(double x, int line) override
    {
        ++alone;
        return line == 2 ? Value(x) : std::nullopt;
    }
    void ValuesAt(const double* xs, std::size_t n, int line, std::optional<double>* out) override
    {
        grouped += n;
        for (std::size_t i = 0; i < n; ++i)
            out[i] = line == 2 ? Value(xs[i]) : std::nullopt;
    }
};

constexpr double kStep = 0.05;

// The x that the jump search asks: from x, `steps` times one step further by addition.
void Walk(std::vector<double>& xs, double x, int steps)
{
    for (int i = 0; i < steps; ++i, x += kStep)
        xs.push_back(x);
}

struct WalkCase {
    const char* name;
    std::vector<double> xs;
    std::size_t mostEvaluated;  // singly and in groups together
};

std::vector<WalkCase> Cases()
{
    std::vector<WalkCase> cases;
    {
        WalkCase c{"a search of 501 steps after the leaving probe", {2.999}, 0};
        Walk(c.xs, 3.05, 501);
        c.mostEvaluated = 502 + StepWalkValues::kLargestGroup;
        cases.push_back(c);
    }
    {
        // The entering probe comes between the last step searched and the re-entry x.
        WalkCase c{"a probe between two steps of the walk", {}, 0};
        Walk(c.xs, -7.3, 40);
        const double last = c.xs.back();
        c.xs.push_back(-7.299);
        c.xs.push_back(last + kStep);
        c.xs.push_back(last + kStep + kStep);
        // The walk's 40 x take groups of 4, 8, 16 and 32 after the first; the probe takes one,
        // and the walk goes on in the group it was in.
        c.mostEvaluated = 1 + 4 + 8 + 16 + 32 + 1;
        cases.push_back(c);
    }
    {
        WalkCase c{"walks that start again elsewhere", {}, 0};
        Walk(c.xs, 0.15, 9);
        Walk(c.xs, 0.15, 9);
        Walk(c.xs, 12.4, 30);
        Walk(c.xs, -1e-3, 5);
        c.mostEvaluated = 2 * (53 + 32);
        cases.push_back(c);
    }
    {
        WalkCase c{"x a different step apart", {}, 0};
        for (double x = 1.2; c.xs.size() < 30; x += 0.07)
            c.xs.push_back(x);
        c.mostEvaluated = 30;
        cases.push_back(c);
    }
    {
        WalkCase c{"the same x asked again", {5.55, 5.55, 5.55, 5.55 + kStep, 5.55 + kStep}, 0};
        c.mostEvaluated = 5 + StepWalkValues::kFirstGroup;
        cases.push_back(c);
    }
    return cases;
}

bool SameValue(const std::optional<double>& a, const std::optional<double>& b)
{
    if (a.has_value() != b.has_value())
        return false;
    return !a || std::bit_cast<std::uint64_t>(*a) == std::bit_cast<std::uint64_t>(*b);
}

TEST(StepWalkValues, EveryValueIsThatOfItsOwnXAndWalksAreEvaluatedInGroups)
{
    for (const WalkCase& c : Cases()) {
        for (const int line : {2, 0}) {
            CountingEvaluator evaluator;
            StepWalkValues walk(evaluator, line, kStep);
            for (std::size_t i = 0; i < c.xs.size(); ++i) {
                const double x = c.xs[i];
                const std::optional<double> expected = line == 2 ? CountingEvaluator::Value(x) : std::nullopt;
                ASSERT_TRUE(SameValue(walk(x), expected)) << c.name << ", x number " << i << " = " << x;
            }
            EXPECT_LE(evaluator.alone + evaluator.grouped, c.mostEvaluated) << c.name;
        }
    }
    // A long walk goes almost all in groups.
    CountingEvaluator evaluator;
    StepWalkValues walk(evaluator, 2, kStep);
    std::vector<double> xs;
    Walk(xs, 0.4, 501);
    for (const double x : xs)
        walk(x);
    EXPECT_LE(evaluator.alone, 2u);
}

// The jump searches from neighbouring samples: each starts one step after its sample, and the
// next sample is one step further, so the searches walk over the same x. Each value is still
// that of its own x, also where more x are walked than can be kept.
TEST(StepWalkValues, SearchesOverTheSameXAreEvaluatedOnce)
{
    struct SearchCase {
        const char* name;
        int searches;
        int steps;
        std::size_t mostGrouped;
    };
    const std::array<SearchCase, 2> cases = {{
        {"20 searches of 501 steps from neighbouring samples", 20, 501,
         501 + 20 * StepWalkValues::kFirstGroup + 2 * StepWalkValues::kLargestGroup},
        {"3 searches of 5000 steps, more x than are kept", 3, 5000, 3 * 5000 + 3 * StepWalkValues::kLargestGroup},
    }};
    for (const SearchCase& c : cases) {
        CountingEvaluator evaluator;
        StepWalkValues walk(evaluator, 2, kStep);
        double sample = 0.15;
        for (int k = 0; k < c.searches; ++k, sample += kStep) {
            std::vector<double> xs;
            Walk(xs, sample + kStep, c.steps);
            for (const double x : xs)
                ASSERT_TRUE(SameValue(walk(x), CountingEvaluator::Value(x))) << c.name << ", search " << k << ", x = " << x;
        }
        EXPECT_LE(evaluator.grouped, c.mostGrouped) << c.name;
    }
}

// Results before their rounding, one a step: the walk asks x = 0, 1, 2, ... and gets
// kOutside[x].result; the rounding is the 15-digit one, and it fails where the value would
// not read back. It counts the roundings asked.
struct OutsideCase {
    const char* name;
    std::optional<double> result;
    double low, high;
    bool outside;  // UnlessOutside gives nullptr
};

constexpr double kLargest = std::numeric_limits<double>::max();

const std::array<OutsideCase, 11> kOutside = {{
    {"x evaluated alone is handed out as ValueAt gives it", 1e30, -10, 10, false},
    {"far above the window", 3.5e22, -10, 10, true},
    {"far below the window", -41.25, -10, 10, true},
    {"inside the window", 0.1 + 0.2, -10, 10, false},
    {"just above the top, rounded onto it", 10 * (1 + 4e-15), -10, 10, false},
    {"just below the bottom, rounded onto it", -10 * (1 + 4e-15), -10, 10, false},
    {"a failed step", std::nullopt, -10, 10, false},
    {"next to the largest double, whose rounding fails", kLargest, -10, 10, false},
    {"a tiny value above a zero top, rounded onto it", 1e-320, -1, 0, false},
    {"above a top of one millionth", 2e-6, -1e-6, 1e-6, true},
    {"a window without bounds", 5e300, -std::numeric_limits<double>::infinity(),
     std::numeric_limits<double>::infinity(), false},
}};

class RoundingEvaluator : public PlotEvaluator
{
public:
    std::size_t roundings = 0;

    static std::optional<double> Result(double x) { return kOutside[static_cast<std::size_t>(x)].result; }
    static std::optional<double> Rounded(const std::optional<double>& r)
    {
        if (!r)
            return std::nullopt;
        const double y = linoveta::NumberTextValue(*r);
        if (std::isinf(y))
            return std::nullopt;
        return y;
    }
    void PreCalcFX() override {}
    bool HasExpression(int) const override { return true; }
    std::optional<double> ValueAt(double x, int) override { return Rounded(Result(x)); }
    void ValuesAt(const double* xs, std::size_t n, int, std::optional<double>* out) override
    {
        for (std::size_t i = 0; i < n; ++i)
            out[i] = Rounded(Result(xs[i]));
    }
    void ResultsAt(const double* xs, std::size_t n, int, std::optional<double>* out) override
    {
        for (std::size_t i = 0; i < n; ++i)
            out[i] = i + static_cast<std::size_t>(xs[0]) < kOutside.size() ? Result(xs[i]) : 0.0;
    }
    std::optional<double> RoundedResult(const std::optional<double>& r) override
    {
        ++roundings;
        return Rounded(r);
    }
};

TEST(StepWalkValues, OnlyValuesThatMayLieInsideAreRounded)
{
    RoundingEvaluator evaluator;
    StepWalkValues walk(evaluator, 0, 1);
    for (std::size_t i = 0; i < kOutside.size(); ++i) {
        const OutsideCase& c = kOutside[i];
        const std::size_t before = evaluator.roundings;
        const std::optional<double>* v = walk.UnlessOutside(static_cast<double>(i), c.low, c.high);
        const std::optional<double> expected = RoundingEvaluator::Rounded(c.result);
        if (c.outside) {
            EXPECT_EQ(v, nullptr) << c.name;
            EXPECT_EQ(evaluator.roundings, before) << c.name;
            ASSERT_TRUE(expected) << c.name;
            EXPECT_TRUE(*expected > c.high || *expected < c.low) << c.name;
        } else {
            ASSERT_NE(v, nullptr) << c.name;
            EXPECT_TRUE(SameValue(*v, expected)) << c.name;
        }
    }
    // The same walk by operator() hands out every value rounded.
    StepWalkValues again(evaluator, 0, 1);
    for (std::size_t i = 0; i < kOutside.size(); ++i)
        EXPECT_TRUE(SameValue(again(static_cast<double>(i)), RoundingEvaluator::Rounded(kOutside[i].result)))
            << kOutside[i].name;
}

} // namespace
