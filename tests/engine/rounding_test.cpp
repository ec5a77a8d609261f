#include "engine/rounding.h"
#include "engine/number_text.h"

#include <array>
#include <bit>
#include <cstdint>
#include <random>
#include <vector>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

using linoveta::Round;

struct RoundCase {
    double value;
    int digits;
    double expected;
};

TEST(Round, HalvesGoToTheEvenNeighbour)
{
    constexpr std::array<RoundCase, 14> cases{{
        {2.5, 0, 2},       {3.5, 0, 4},      {-2.5, 0, -2},  {-3.5, 0, -4},
        {0.5, 0, 0},       {1.5, 0, 2},      {2.4999, 0, 2}, {2.5001, 0, 3},
        {0.125, 2, 0.12},  {0.375, 2, 0.38}, {2.25, 1, 2.2}, {2.35, 1, 2.4},
        {-1.605, 2, -1.6}, {19.99, 2, 19.99},
    }};
    for (const auto& c : cases)
        EXPECT_EQ(Round(c.value, c.digits), c.expected) << c.value << " to " << c.digits;
}

TEST(Round, RepeatedAdditionSamplesRoundToTheirTwoDecimalValue)
{
    // The plotter sums 0.05 steps; the drift must vanish after rounding to two decimals.
    double x = -20.05;
    for (int i = 0; i < 802; ++i) {
        const double r = Round(x, 2);
        EXPECT_EQ(r, std::nearbyint(r * 100) / 100);
        EXPECT_NEAR(r, x, 1e-9);
        x += 0.05;
    }
}

TEST(Round, ZeroIsNeverNegative)
{
    for (double v : {-0.0, -0.4, -0.004, -1e-300}) {
        const double r = Round(v, v == -0.004 ? 2 : 0);
        EXPECT_EQ(r, 0.0);
        EXPECT_FALSE(std::signbit(r)) << v;
    }
}

TEST(Round, ExtremeInputsPassThrough)
{
    EXPECT_EQ(Round(1e300, 2), 1e300);
    EXPECT_EQ(Round(-4.0e18, 3), -4.0e18);
    EXPECT_TRUE(std::isnan(Round(std::numeric_limits<double>::quiet_NaN(), 2)));
    EXPECT_EQ(Round(std::numeric_limits<double>::infinity(), 0), std::numeric_limits<double>::infinity());
    EXPECT_EQ(Round(1.23456, 30), 1.23456);
}

// The inline rounding against the library one (RoundRest rounds every case by nearbyint):
// bit for bit, over halves, signs, the edge where no fraction is left, and random values.
TEST(Round, InlineRoundingIsTheLibraryRoundingBitForBit)
{
    std::vector<double> values = {0.0, -0.0, 0.5, -0.5, 1.5, 2.5, -2.5, 0.125, 0.005, -0.005,
                                   0.015, 0.025, 1e-320, -1e-320, 4503599627370495.5,
                                   4503599627370496.0, 9007199254740991.0, 1e300, -1e300,
                                   std::numeric_limits<double>::max(),
                                   std::numeric_limits<double>::infinity(),
                                   std::numeric_limits<double>::quiet_NaN()};
    for (int e = -25; e <= 25; ++e)
        for (double m : {1.0, 4.5, 4.999999999999999, 5.000000000000001, 0.45, 2.675}) {
            values.push_back(m * std::pow(10.0, e));
            values.push_back(-m * std::pow(10.0, e));
        }
    std::mt19937_64 random(19);
    for (int i = 0; i < 20000; ++i) {
        const double scale = std::pow(10.0, static_cast<int>(random() % 40) - 20);
        values.push_back((static_cast<double>(random() % 2000001) - 1000000.0) / 1000.0 * scale);
        values.push_back(std::bit_cast<double>(random()));
    }
    for (double v : values)
        for (int digits = -2; digits <= 25; ++digits) {
            const double inline_ = Round(v, digits);
            const double library = linoveta::rounding_detail::RoundRest(v, digits);
            if (std::isnan(library))
                ASSERT_TRUE(std::isnan(inline_)) << v << " to " << digits;
            else
                ASSERT_EQ(std::bit_cast<std::uint64_t>(inline_), std::bit_cast<std::uint64_t>(library))
                    << std::hexfloat << v << " to " << digits;
        }
}

// The plotter binds a sample x rounded to two decimals below 1E+13 as it is: its 15-digit text
// must read back as the same double.
TEST(Round, TwoDecimalValuesBelowTenTrillionAreTheirOwnFifteenDigitValue)
{
    std::mt19937_64 random(7);
    std::vector<double> values = {0.0, -0.0, 0.01, -0.01, 0.05, 9999999999999.99, -9999999999999.99,
                                  999999999999.995, 1e13 - 0.001};
    for (int i = 0; i < 200000; ++i) {
        const double scale = std::pow(10.0, static_cast<int>(random() % 16) - 2);
        values.push_back((std::bit_cast<double>((random() >> 12) | 0x3ff0000000000000ULL) - 1.5) * 2 * scale);
    }
    for (double v : values) {
        const double xr = Round(v, 2);
        if (std::fabs(xr) < 1e13) {
            ASSERT_EQ(std::bit_cast<std::uint64_t>(linoveta::NumberTextValue(xr)),
                      std::bit_cast<std::uint64_t>(xr)) << std::hexfloat << v;
        }
    }
}

TEST(RoundUp, AddsTheNudgeToTheCallersVariableAndRounds)
{
    double v = 2.49999;
    EXPECT_EQ(linoveta::RoundUp(v, 0), 2.0);
    EXPECT_DOUBLE_EQ(v, 2.5);
    double w = 1.234;
    EXPECT_EQ(linoveta::RoundUp(w, 2), 1.23);
    EXPECT_DOUBLE_EQ(w, 1.23401);
}

} // namespace
