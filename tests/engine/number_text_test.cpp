#include "engine/number_text.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace linoveta {
namespace {

struct TextCase
{
    double value;
    const char *text;
};

TEST(NumberText, FormsOfTheText)
{
    const std::array<TextCase, 24> cases = {{
        {0.1 + 0.2, "0.3"},
        {1e20, "1E+20"},
        {1.5e-7, "1.5E-07"},
        {-0.0, "0"},
        {0.0, "0"},
        {1.0 / 3.0, "0.333333333333333"},
        {2.0 / 3.0, "0.666666666666667"},
        {123456789012345678.0, "1.23456789012346E+17"},
        {999999999999999.0, "999999999999999"},
        {1e15, "1E+15"},
        {9999999999999995.0, "1E+16"},
        {100000000000000.0, "100000000000000"},
        {0.0001, "0.0001"},
        {0.00001, "1E-05"},
        {0.000123, "0.000123"},
        {-2.5, "-2.5"},
        {0.01, "0.01"},
        {-1e-300, "-1E-300"},
        {1e100, "1E+100"},
        {12.5, "12.5"},
        {3.0, "3"},
        {-1e-20 * 0.0, "0"},
        {std::numeric_limits<double>::denorm_min(), "4.94065645841247E-324"},
        {std::numeric_limits<double>::max(), "1.79769313486232E+308"},
    }};
    for (const auto &c : cases)
        EXPECT_EQ(NumberText(c.value), c.text) << c.value;
}

TEST(NumberText, NonFiniteHasNoNumberText)
{
    EXPECT_EQ(NumberText(std::numeric_limits<double>::infinity()), "NA");
    EXPECT_EQ(NumberText(std::nan("")), "NA");
}

// Reference: the library's exact 15-digit conversion read back.
double Reference(double v)
{
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, 14);
    double back = 0;
    auto p = std::from_chars(buf, r.ptr, back);
    if (p.ec == std::errc::result_out_of_range)
        return std::copysign(std::numeric_limits<double>::infinity(), v);
    return back == 0 ? 0.0 : back;
}

TEST(NumberText, ValueEqualsReadingTheTextBack)
{
    std::mt19937_64 rng(12345);
    std::uniform_real_distribution<double> mantissa(1.0, 10.0);
    std::uniform_int_distribution<int> exponent(-30, 30);
    for (int i = 0; i < 200000; ++i) {
        double v = mantissa(rng) * std::pow(10.0, exponent(rng));
        if (i % 2)
            v = -v;
        if (i % 7 == 0)  // short decimals, as the plotter passes them
            v = std::nearbyint(v * 100) / 100;
        const double got = NumberTextValue(v);
        ASSERT_EQ(got, Reference(v)) << v;
        double parsed = ParseLeadingNumber(NumberText(v));
        ASSERT_EQ(parsed, got) << v << " " << NumberText(v);
    }
    // Where the quick rounding's table begins and ends, and around the powers of ten there.
    for (const double edge : {std::ldexp(1.0, -17), 1e-5, std::ldexp(1.0, -16), 1e-4,
                              std::ldexp(1.0, 49), 1e15, std::ldexp(1.0, 50), 1e16}) {
        double v = edge;
        for (int i = 0; i < 64; ++i)
            v = std::nextafter(v, 0.0);
        for (int i = 0; i < 128; ++i, v = std::nextafter(v, INFINITY)) {
            ASSERT_EQ(NumberTextValue(v), Reference(v)) << v;
            ASSERT_EQ(NumberTextValue(-v), Reference(-v)) << v;
        }
    }
}

// Families of values for the comparison with the library's conversion below: each fills `out`
// with about `count` values, every one also taken negated.
struct ValueFamily
{
    const char *name;
    void (*fill)(std::mt19937_64 &rng, std::size_t count, std::vector<double> &out);
};

// Any bits: every binade from the subnormals to the largest double.
void AnyBits(std::mt19937_64 &rng, std::size_t count, std::vector<double> &out)
{
    while (out.size() < count) {
        const double v = std::bit_cast<double>(rng() & 0x7fffffffffffffffULL);
        if (std::isfinite(v))
            out.push_back(v);
    }
}

// Decimals of few digits, as typed numbers and sample x are, over every power of ten.
void ShortDecimals(std::mt19937_64 &rng, std::size_t count, std::vector<double> &out)
{
    std::uniform_int_distribution<int> digits(1, 999999), exponent(-330, 305);
    char text[32];
    while (out.size() < count) {
        const int n = std::snprintf(text, sizeof text, "%de%d", digits(rng), exponent(rng));
        double v = 0;
        std::from_chars(text, text + n, v);
        if (v > 0 && std::isfinite(v))
            out.push_back(v);
    }
}

// Next to the halves between two 15-digit decimals, where the scaling's rounding may cross
// them: the double nearest to d.ddddddddddddd5E+e and its four neighbours.
void NearHalves(std::mt19937_64 &rng, std::size_t count, std::vector<double> &out)
{
    std::uniform_int_distribution<std::uint64_t> digits(100000000000000ULL, 999999999999999ULL);
    std::uniform_int_distribution<int> exponent(-323, 307);
    char text[48];
    while (out.size() < count) {
        const int n = std::snprintf(text, sizeof text, "%llu5e%d",
                                    static_cast<unsigned long long>(digits(rng)), exponent(rng) - 15);
        double v = 0;
        std::from_chars(text, text + n, v);
        if (!(v > 0) || !std::isfinite(v))
            continue;
        double below = v, above = v;
        for (int i = 0; i < 2; ++i) {
            below = std::nextafter(below, 0.0);
            above = std::nextafter(above, INFINITY);
        }
        for (double w = below; w <= above && std::isfinite(w); w = std::nextafter(w, INFINITY))
            out.push_back(w);
    }
}

// Halves that are exact in binary: n + 0.5 with 15 digits before the point, and 10n + 5 and
// 100n + 50 with 16 and 17 digits, which the scaling by 10 and 100 turns into n + 0.5.
void ExactHalves(std::mt19937_64 &rng, std::size_t count, std::vector<double> &out)
{
    std::uniform_int_distribution<std::uint64_t> digits(100000000000000ULL, 900719925474099ULL);
    while (out.size() < count) {
        const auto n = static_cast<double>(digits(rng));
        out.push_back(n + 0.5);
        out.push_back(10 * n + 5);
        out.push_back(100 * n + 50);
    }
}

// Around the powers of ten, where the number of digits before the point changes.
void NearPowersOfTen(std::mt19937_64 &, std::size_t count, std::vector<double> &out)
{
    const std::size_t each = count / 620 + 1;
    for (int e = -310; e <= 308 && out.size() < count; ++e) {
        char text[16];
        const int n = std::snprintf(text, sizeof text, "1e%d", e);
        double v = 0;
        std::from_chars(text, text + n, v);
        for (std::size_t i = 0; i < each / 2 && v > 0; ++i)
            v = std::nextafter(v, 0.0);
        for (std::size_t i = 0; i < each && std::isfinite(v); ++i, v = std::nextafter(v, INFINITY))
            if (v > 0)
                out.push_back(v);
    }
}

// The quick binding against the library's exact conversion read back, on millions of values
// (fewer in a build without optimisation), each also negated, and the text's digits with it.
TEST(NumberText, ValueIsTheLibrarysOnEveryKindOfValue)
{
#ifdef NDEBUG
    constexpr std::size_t kPerFamily = 1000000;
#else
    constexpr std::size_t kPerFamily = 100000;
#endif
    const std::array<ValueFamily, 5> families = {{
        {"any bits", AnyBits},
        {"short decimals", ShortDecimals},
        {"next to 15-digit halves", NearHalves},
        {"exact binary halves", ExactHalves},
        {"next to powers of ten", NearPowersOfTen},
    }};
    std::mt19937_64 rng(20261211);
    std::vector<double> values;
    for (const ValueFamily &family : families) {
        values.clear();
        family.fill(rng, kPerFamily, values);
        ASSERT_GE(values.size(), kPerFamily / 2) << family.name;
        for (std::size_t i = 0; i < values.size(); ++i) {
            const double v = i % 2 ? -values[i] : values[i];
            ASSERT_EQ(std::bit_cast<std::uint64_t>(NumberTextValue(v)),
                      std::bit_cast<std::uint64_t>(Reference(v)))
                << family.name << ": " << std::hexfloat << v;
            if (i % 16 == 0) {
                ASSERT_EQ(std::bit_cast<std::uint64_t>(ParseLeadingNumber(NumberText(v))),
                          std::bit_cast<std::uint64_t>(Reference(v)))
                    << family.name << ": " << std::hexfloat << v << " " << NumberText(v);
            }
        }
    }
}

TEST(NumberText, ValueOfSpecialCases)
{
    EXPECT_EQ(NumberTextValue(0.1 + 0.2), 0.3);
    EXPECT_FALSE(std::signbit(NumberTextValue(-0.0)));
    EXPECT_EQ(NumberTextValue(0.30000000000000004 - 0.3), 5.55111512312578e-17);
    EXPECT_TRUE(std::isinf(NumberTextValue(std::numeric_limits<double>::max())));
    EXPECT_EQ(NumberTextValue(std::numeric_limits<double>::denorm_min()),
              std::numeric_limits<double>::denorm_min());
    // A half at the 15th digit that is exact in binary goes to the even neighbour.
    EXPECT_EQ(NumberText(100000000000000.5), "100000000000000");
    EXPECT_EQ(NumberText(100000000000001.5), "100000000000002");
    EXPECT_EQ(NumberTextValue(100000000000000.5), 100000000000000.0);
    EXPECT_EQ(NumberTextValue(-100000000000001.5), -100000000000002.0);
    EXPECT_EQ(NumberTextValue(2.5e-5 + 0.5e-19), Reference(2.5e-5 + 0.5e-19));
}

struct ParseCase
{
    const char *text;
    double value;
};

TEST(ParseLeadingNumber, ReadsTheLeadingNumberOnly)
{
    const std::array<ParseCase, 18> cases = {{
        {"", 0},
        {"abc", 0},
        {"12", 12},
        {"  -2.5", -2.5},
        {"+3", 3},
        {".5", 0.5},
        {"3.", 3},
        {"007", 7},
        {"1E-05", 1e-5},
        {"1.5e3x", 1500},
        {"2E", 2},
        {"2E+", 2},
        {"12abc", 12},
        {"1,5", 1},
        {"inf", 0},
        {"nan", 0},
        {"0x10", 0},
        {"-.", 0},
    }};
    for (const auto &c : cases)
        EXPECT_EQ(ParseLeadingNumber(c.text), c.value) << c.text;
    EXPECT_TRUE(std::isinf(ParseLeadingNumber("1E999")));
    EXPECT_EQ(ParseLeadingNumber("-1E-999"), 0);
}

TEST(WholeNumberText, DecimalDigitsWithoutGroupingInEveryLocale)
{
    const std::array<std::pair<long long, const char *>, 4> rows{{
        {0, "0"},
        {-12, "-12"},
        {16766596, "16766596"},
        {std::numeric_limits<long long>::min(), "-9223372036854775808"},
    }};
    for (const auto &[value, text] : rows)
        EXPECT_EQ(WholeNumberText(value), text);
}

} // namespace
} // namespace linoveta
