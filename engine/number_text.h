#pragma once

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
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

// The decimal text of a whole number ("-12"): orders, exponents and colours as numbers.
std::string WholeNumberText(long long value);

namespace number_text_detail {

// Powers of ten up to 1E+19 are exact doubles, so q / 10^k rounds once, like reading the text.
inline constexpr double kPow10D[20] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,
                                1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19};

inline constexpr std::uint64_t kMin15 = 100000000000000ULL;   // 10^14
inline constexpr std::uint64_t kMax15 = 1000000000000000ULL;  // 10^15

// The scale for each binary exponent of a in [1E-08, 1E+15), where each power of ten that scales
// a to 15 digits is an exact double: a binade spans less than a factor ten, so at most one
// power of ten (`next`) lies in it; below it a * scale[0] has 15 digits in front of the point,
// from it on a * scale[1] has.
struct BinadeScale
{
    double next;
    double scale[2];
    int k[2];  // scale = 10^k
};

inline constexpr int kFirstBinade = 1023 - 27;  // biased exponent of 1E-08
inline constexpr int kLastBinade = 1023 + 49;   // biased exponent of 1E+15

// 10^e as the double nearest to it (exact up to 1E+22; the negative powers are one division).
constexpr double Pow10Double(int e)
{
    double p = 1;
    for (int i = 0; i < (e < 0 ? -e : e); ++i)
        p *= 10;
    return e < 0 ? 1 / p : p;
}

constexpr std::array<BinadeScale, kLastBinade - kFirstBinade + 1> MakeBinadeScales()
{
    std::array<BinadeScale, kLastBinade - kFirstBinade + 1> table{};
    for (int b = kFirstBinade; b <= kLastBinade; ++b) {
        const int e2 = b - 1023;
        double low = 1;  // 2^e2, exact
        for (int i = 0; i < (e2 < 0 ? -e2 : e2); ++i)
            low = e2 < 0 ? low / 2 : low * 2;
        int e10 = -30;  // floor(log10(2^e2))
        while (Pow10Double(e10 + 1) <= low)
            ++e10;
        BinadeScale &s = table[static_cast<std::size_t>(b - kFirstBinade)];
        s.next = Pow10Double(e10 + 1);
        s.k[0] = 14 - e10;
        s.k[1] = 14 - e10 - 1;
        // Beyond the exact powers, in the bottom binade below 1E-08, an infinite scale makes
        // the product infinite; -1, in the top binade from 1E+15 on, a zero scale makes it zero.
        // Either sends a to the exact paths.
        for (int i = 0; i < 2; ++i)
            s.scale[i] = s.k[i] < 0 ? 0 : s.k[i] > 22 ? std::numeric_limits<double>::infinity()
                                                      : Pow10Double(s.k[i]);
    }
    return table;
}

inline constexpr auto kBinadeScales = MakeBinadeScales();

// a scaled to 15 digits in front of the point: s = 10^k and t = a * s rounded. `ok` is false
// for a outside the table's binades (zero, tiny, huge, not finite) and where t misses
// [1E+14, 1E+15) next to a power of ten; the exact paths decide those. Both candidate
// products are taken at once: the larger scale is right unless it makes 16 digits.
struct Scaled15
{
    double s;
    double t;
    int k;
    bool ok;
};

inline Scaled15 ScaleTo15Digits(double a)
{
    const std::uint64_t binade = (std::bit_cast<std::uint64_t>(a) >> 52) - kFirstBinade;
    if (binade >= kBinadeScales.size())
        return {1, 0, 0, false};
    const BinadeScale &b = kBinadeScales[binade];
    const double t0 = a * b.scale[0];
    const double t1 = a * b.scale[1];
    const bool upper = t0 >= 1e15;
    const double t = upper ? t1 : t0;
    const bool inRange = (t >= 1e14) & (t < 1e15);  // one branch for the caller, not two
    return {upper ? b.scale[1] : b.scale[0], t, upper ? b.k[1] : b.k[0], inRange};
}

// n = t rounded to a whole number, where t = a * s rounded and the fraction of t lies so close
// to one half that the product's rounding may have moved it across: the exact product
// a * s = t + e (Dekker's split, exact in binary arithmetic) decides, halves to even.
// t - n and the distances 0.5 - (t - n) are multiples of t's spacing, so they are exact too.
double RoundNearHalf(double a, double s, double t, double n);  // out of line: rarely taken

// The exact product a * s rounded half-even to a whole number, for a scaled by ScaleTo15Digits.
// The rounded product is off by at most half its spacing, so its nearest whole number is
// certain unless the fraction lies that close to one half.
inline double Round15(double a, const Scaled15 &scaled)
{
    const double t = scaled.t;
    constexpr double kTwo52 = 4503599627370496.0;
    const double n = (t + kTwo52) - kTwo52;  // nearest whole number, halves to even (t < 2^50)
    const auto tb = std::bit_cast<std::uint64_t>(t);
    const double halfSpacing = std::bit_cast<double>((tb & 0x7ff0000000000000ULL) - (53ULL << 52));
    if (std::fabs(t - n) < 0.5 - halfSpacing)
        return n;
    return RoundNearHalf(a, scaled.s, t, n);
}

// NumberTextValue of the values the table leaves: scaled with the same certainty where the
// powers of ten are exact or known to 128 bits, by the library's exact conversion where those
// cannot decide.
double NumberTextValueSlow(double v);

} // namespace number_text_detail

inline double NumberTextValue(double v)
{
    using namespace number_text_detail;
    // The table's edge binades reach a little beyond [1E-08, 1E+15); rounding to 15 digits is
    // the same there. Other values take the out-of-line paths, quick ones first.
    const double a = std::fabs(v);
    const Scaled15 scaled = ScaleTo15Digits(a);
    if (scaled.ok)
        return std::copysign(Round15(a, scaled) / scaled.s, v);
    return NumberTextValueSlow(v);
}

} // namespace linoveta
