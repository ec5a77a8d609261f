#pragma once

#include <bit>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

namespace linoveta {

// The text of a number as the evaluator and the documents write it: at most 15 significant
// digits, no trailing zeros, "." as decimal point, exponent form from 1E+15 up and below 1E-04
// ("1E+20", "1.5E-07"); zero is always "0", never "-0". Non-finite values give "NA".
std::string NumberText(double v);

// The value that reading NumberText(v) back gives (v rounded to 15 significant digits), without
// formatting and parsing; +0 for zero. It is infinite only when the rounded text overflows
// (v close to the largest double); NaN stays NaN. Inline: it runs for every x and every value.
inline double NumberTextValue(double v);

// The leading number of a text with "." as decimal point: optional blanks, an optional sign,
// digits with at most one ".", an optional exponent ("E" or "e", optional sign, digits).
// 0 when the text does not begin with a number; no "inf", "nan" or hexadecimal forms.
// A leading number too large for a double reads as an infinity of its sign.
double ParseLeadingNumber(std::string_view text);

namespace number_text_detail {

// Powers of ten up to 1E+19 are exact doubles, so q / 10^k rounds once, like reading the text.
inline constexpr double kPow10D[20] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,
                                1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19};

inline constexpr std::uint64_t kMin15 = 100000000000000ULL;   // 10^14
inline constexpr std::uint64_t kMax15 = 1000000000000000ULL;  // 10^15

// 10^(i-6) for i = 0..21, to correct the decimal exponent estimate without a branch.
inline constexpr double kTenPow[22] = {1e-6, 1e-5, 1e-4, 1e-3, 1e-2, 1e-1, 1e0,  1e1,  1e2,  1e3,  1e4,
                                1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

// a in [1E-05, 1E+15): n = a * 10^k rounded half-even to a whole number of 15 digits, in
// double arithmetic. The product is off by at most half its spacing, so n is certain when the
// fraction stays that far from one half; otherwise (a few per cent of values) it returns false
// and the exact path decides.
inline bool RoundQuick(double a, double &n, int &k)
{
    const auto bits = std::bit_cast<std::uint64_t>(a);
    const int e2 = static_cast<int>(bits >> 52) - 1023;  // -17..49 in this range
    int e10 = (e2 * 1233) >> 12;                          // floor(log10(a)) or one less
    e10 += a >= kTenPow[e10 + 7];
    k = 14 - e10;  // 0..19 because 1E-05 <= a < 1E+15
    const double s = kPow10D[k];
    const double t = a * s;
    constexpr double kTwo52 = 4503599627370496.0;
    n = (t + kTwo52) - kTwo52;  // nearest whole number, halves to even (t < 2^50)
    const auto tb = std::bit_cast<std::uint64_t>(t);
    const double halfSpacing = std::bit_cast<double>((tb & 0x7ff0000000000000ULL) - (53ULL << 52));
    return t >= 1e14 && t < 1e15 && std::fabs(t - n) < 0.5 - halfSpacing;
}

double NumberTextValueSlow(double v);

} // namespace number_text_detail

inline double NumberTextValue(double v)
{
    using namespace number_text_detail;
    if (v == 0)
        return 0.0;
    const double a = std::fabs(v);
    double n;
    int k;
    if (a >= 1e-5 && a < 1e15 && RoundQuick(a, n, k)) {
        const double r = n / kPow10D[k];
        return v < 0 ? -r : r;
    }
    return NumberTextValueSlow(v);
}

} // namespace linoveta
