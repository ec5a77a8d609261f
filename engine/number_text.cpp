#include "engine/number_text.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

namespace linoveta {
namespace {

// |value| = digits * 10^exponent, digits at most 10^15.
struct Decimal15
{
    bool negative = false;
    std::uint64_t digits = 0;
    int exponent = 0;
};

constexpr std::uint64_t kPow10U[20] = {
    1ULL,
    10ULL,
    100ULL,
    1000ULL,
    10000ULL,
    100000ULL,
    1000000ULL,
    10000000ULL,
    100000000ULL,
    1000000000ULL,
    10000000000ULL,
    100000000000ULL,
    1000000000000ULL,
    10000000000000ULL,
    100000000000000ULL,
    1000000000000000ULL,
    10000000000000000ULL,
    100000000000000000ULL,
    1000000000000000000ULL,
    10000000000000000000ULL,
};

// Powers of ten up to 1E+19 are exact doubles, so q / 10^k rounds once, like reading the text.
constexpr double kPow10D[20] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,
                                1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19};

constexpr std::uint64_t kMin15 = 100000000000000ULL;   // 10^14
constexpr std::uint64_t kMax15 = 1000000000000000ULL;  // 10^15

// a in [1E-05, 1E+15): |a| * 10^k rounded half-even to an integer of 15 digits, computed exactly
// in 128-bit integers. Returns false when the range guard or the exponent estimate misses.
bool RoundFast(double a, std::uint64_t &q, int &k)
{
    const auto bits = std::bit_cast<std::uint64_t>(a);
    const int e2 = static_cast<int>(bits >> 52) - 1023;
    const std::uint64_t m = (bits & ((1ULL << 52) - 1)) | (1ULL << 52);
    const int shift = 52 - e2;  // a = m / 2^shift
    // floor(log10(a)) is this estimate or one more.
    const int e10 = (e2 * 1233) >> 12;
    k = 14 - e10;
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (k < 0 || k > 19 || shift <= 0 || shift >= 127)
            return false;
        const unsigned __int128 p = static_cast<unsigned __int128>(m) * kPow10U[k];
        const unsigned __int128 whole = p >> shift;
        if (whole >= kMax15) {
            --k;
            continue;
        }
        if (whole < kMin15) {
            ++k;
            continue;
        }
        const unsigned __int128 rest = p & ((static_cast<unsigned __int128>(1) << shift) - 1);
        const unsigned __int128 half = static_cast<unsigned __int128>(1) << (shift - 1);
        q = static_cast<std::uint64_t>(whole);
        if (rest > half || (rest == half && (q & 1)))
            ++q;
        return true;
    }
    return false;
}

// Any finite non-zero a > 0: the exact 15-digit rounding through the library's exact
// scientific conversion (locale independent).
Decimal15 RoundSlow(double a, char *buf, std::size_t size, std::size_t &len)
{
    auto res = std::to_chars(buf, buf + size, a, std::chars_format::scientific, 14);
    len = static_cast<std::size_t>(res.ptr - buf);
    Decimal15 d;
    std::uint64_t q = 0;
    std::size_t i = 0;
    for (; i < len && buf[i] != 'e'; ++i)
        if (buf[i] >= '0' && buf[i] <= '9')
            q = q * 10 + static_cast<std::uint64_t>(buf[i] - '0');
    int exponent = 0;
    bool negExp = false;
    for (++i; i < len; ++i) {
        if (buf[i] == '-')
            negExp = true;
        else if (buf[i] >= '0' && buf[i] <= '9')
            exponent = exponent * 10 + (buf[i] - '0');
    }
    d.digits = q;
    d.exponent = (negExp ? -exponent : exponent) - 14;
    return d;
}

Decimal15 ToDecimal15(double v)
{
    Decimal15 d;
    if (v == 0 || !std::isfinite(v))
        return d;
    d.negative = v < 0;
    const double a = std::fabs(v);
    std::uint64_t q;
    int k;
    if (a >= 1e-5 && a < 1e15 && RoundFast(a, q, k)) {
        d.digits = q;
        d.exponent = -k;
        return d;
    }
    char buf[64];
    std::size_t len;
    Decimal15 s = RoundSlow(a, buf, sizeof buf, len);
    s.negative = d.negative;
    return s;
}

} // namespace

double NumberTextValue(double v)
{
    if (v == 0)
        return 0.0;
    if (!std::isfinite(v))
        return v;
    const double a = std::fabs(v);
    std::uint64_t q;
    int k;
    double r;
    if (a >= 1e-5 && a < 1e15 && RoundFast(a, q, k)) {
        r = static_cast<double>(q) / kPow10D[k];
    } else {
        char buf[64];
        std::size_t len;
        RoundSlow(a, buf, sizeof buf, len);
        r = 0;
        auto res = std::from_chars(buf, buf + len, r);
        if (res.ec == std::errc::result_out_of_range) {
            // Only the top of the range overflows; the bottom keeps its subnormal value.
            r = a > 1 ? std::numeric_limits<double>::infinity() : 0.0;
        }
    }
    if (r == 0)
        return 0.0;
    return v < 0 ? -r : r;
}

namespace {

std::string FormatDecimal15(Decimal15 d)
{
    if (d.digits == 0)
        return "0";
    std::uint64_t q = d.digits;
    int exp = d.exponent;
    while (q % 10 == 0) {
        q /= 10;
        ++exp;
    }
    char digits[24];
    auto res = std::to_chars(digits, digits + sizeof digits, q);
    const int len = static_cast<int>(res.ptr - digits);
    const int sci = exp + len - 1;  // the exponent of the first digit

    std::string out;
    out.reserve(32);
    if (d.negative)
        out += '-';
    if (sci >= 15 || sci <= -5) {
        out += digits[0];
        if (len > 1) {
            out += '.';
            out.append(digits + 1, static_cast<std::size_t>(len - 1));
        }
        out += 'E';
        out += sci < 0 ? '-' : '+';
        const int e = sci < 0 ? -sci : sci;
        if (e < 10)
            out += '0';
        char eb[8];
        auto er = std::to_chars(eb, eb + sizeof eb, e);
        out.append(eb, er.ptr);
    } else if (exp >= 0) {
        out.append(digits, static_cast<std::size_t>(len));
        out.append(static_cast<std::size_t>(exp), '0');
    } else if (sci >= 0) {
        out.append(digits, static_cast<std::size_t>(sci + 1));
        out += '.';
        out.append(digits + sci + 1, static_cast<std::size_t>(len - sci - 1));
    } else {
        out += "0.";
        out.append(static_cast<std::size_t>(-sci - 1), '0');
        out.append(digits, static_cast<std::size_t>(len));
    }
    return out;
}

} // namespace

std::string NumberText(double v)
{
    if (!std::isfinite(v))
        return "NA";
    return FormatDecimal15(ToDecimal15(v));
}

double ParseLeadingNumber(std::string_view text)
{
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const std::size_t start = i;
    int intDigits = 0;      // significant digits before the point
    int leadingZeros = 0;   // zeros after the point before the first significant digit
    bool anyDigit = false;
    bool significant = false;
    while (i < n && text[i] >= '0' && text[i] <= '9') {
        anyDigit = true;
        if (text[i] != '0' || significant) {
            significant = true;
            ++intDigits;
        }
        ++i;
    }
    if (i < n && text[i] == '.') {
        ++i;
        while (i < n && text[i] >= '0' && text[i] <= '9') {
            anyDigit = true;
            if (text[i] != '0')
                significant = true;
            else if (!significant)
                ++leadingZeros;
            ++i;
        }
    }
    if (!anyDigit)
        return 0.0;
    long exponent = 0;
    if (i < n && (text[i] == 'E' || text[i] == 'e')) {
        std::size_t j = i + 1;
        bool negExp = false;
        if (j < n && (text[j] == '+' || text[j] == '-')) {
            negExp = text[j] == '-';
            ++j;
        }
        if (j < n && text[j] >= '0' && text[j] <= '9') {
            while (j < n && text[j] >= '0' && text[j] <= '9') {
                if (exponent < 100000)
                    exponent = exponent * 10 + (text[j] - '0');
                ++j;
            }
            if (negExp)
                exponent = -exponent;
            i = j;
        }
    }
    double value = 0;
    auto res = std::from_chars(text.data() + start, text.data() + i, value);
    if (res.ec == std::errc::result_out_of_range) {
        const long magnitude = (intDigits > 0 ? intDigits : -leadingZeros) + exponent;
        value = magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return negative ? -value : value;
}

} // namespace linoveta
