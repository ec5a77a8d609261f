#include "engine/number_text.h"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>

namespace linoveta {
namespace {

using namespace number_text_detail;

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

// a in [1E-05, 1E+15): a * 10^k rounded half-even to an integer of 15 digits, computed exactly
// in 128-bit integers. Written without data-dependent branches, since it runs for every x and
// every value; returns false (rarely) when the table misplaces a next to a power of ten.
// `unchanged` tells that a itself is the double nearest to q / 10^k (a short decimal already).
bool RoundFast(double a, std::uint64_t &q, int &k, bool &unchanged)
{
    const auto bits = std::bit_cast<std::uint64_t>(a);
    const int e2 = static_cast<int>(bits >> 52) - 1023;  // -17..49 in this range
    const std::uint64_t m = (bits & ((1ULL << 52) - 1)) | (1ULL << 52);
    const int shift = 52 - e2;  // a = m / 2^shift, shift 3..69
    const BinadeScale &b = kBinadeScales[static_cast<std::size_t>(e2 + 1023 - kFirstBinade)];
    k = b.k[a >= b.next];
    if (k < 0 || k > 19)
        return false;
    const unsigned __int128 p = static_cast<unsigned __int128>(m) * kPow10U[k];
    const auto whole = static_cast<std::uint64_t>(p >> shift);
    if (whole < kMin15 || whole >= kMax15)
        return false;
    const unsigned __int128 rest = p & ((static_cast<unsigned __int128>(1) << shift) - 1);
    const unsigned __int128 half = static_cast<unsigned __int128>(1) << (shift - 1);
    const std::uint64_t up = static_cast<std::uint64_t>(rest > half) |
                             (static_cast<std::uint64_t>(rest == half) & whole);
    q = whole + (up & 1);
    // a = m / 2^shift and q / 10^k differ by |d| / (10^k 2^shift) with d = m 10^k - q 2^shift;
    // a is the nearest double when that is below half its spacing 1 / 2^shift. At a power of
    // two the spacing below is half as large, so that case takes the division.
    const unsigned __int128 dist = (up & 1) ? (static_cast<unsigned __int128>(1) << shift) - rest : rest;
    unchanged = dist * 2 < kPow10U[k] && m != (1ULL << 52);
    return true;
}

// The same scaling as the header's table for a in [1E+15, 1E+37), where it divides by exact
// powers of ten: t = a / 10^-k rounded once, and the value back n * 10^-k rounded once.
constexpr int kFirstDividedBinade = 1023 + 49;  // biased exponent of 1E+15
constexpr int kLastDividedBinade = 1023 + 122;  // biased exponent of 1E+37

struct BinadeDivisor
{
    double next;        // the power of ten in the binade, as the nearest double
    double divisor[2];  // 10^-k; zero beyond the exact powers, which makes the quotient infinite
    int k[2];
};

constexpr std::array<BinadeDivisor, kLastDividedBinade - kFirstDividedBinade + 1> MakeBinadeDivisors()
{
    std::array<BinadeDivisor, kLastDividedBinade - kFirstDividedBinade + 1> table{};
    for (int b = kFirstDividedBinade; b <= kLastDividedBinade; ++b) {
        double low = 1;  // 2^(b - 1023), exact
        for (int i = 0; i < b - 1023; ++i)
            low *= 2;
        int e10 = 14;  // floor(log10(low))
        while (Pow10Double(e10 + 1) <= low)
            ++e10;
        BinadeDivisor &d = table[static_cast<std::size_t>(b - kFirstDividedBinade)];
        d.next = Pow10Double(e10 + 1);
        for (int i = 0; i < 2; ++i) {
            d.k[i] = 14 - e10 - i;
            d.divisor[i] = -d.k[i] <= 22 ? Pow10Double(-d.k[i]) : 0;
        }
    }
    return table;
}

constexpr auto kBinadeDivisors = MakeBinadeDivisors();

// As ScaleTo15Digits, by division. One division: the power of ten in the binade decides the
// divisor, and where its nearest double puts a on the wrong side (a within a step of it), the
// quotient misses [1E+14, 1E+15) and the exact path decides.
inline Scaled15 ScaleByDivision(double a)
{
    const std::uint64_t binade = (std::bit_cast<std::uint64_t>(a) >> 52) - kFirstDividedBinade;
    if (binade >= kBinadeDivisors.size())
        return {1, 0, 0, false};
    const BinadeDivisor &b = kBinadeDivisors[binade];
    const int upper = a >= b.next;
    const double t = a / b.divisor[upper];
    const bool inRange = (t >= 1e14) & (t < 1e15);
    return {b.divisor[upper], t, b.k[upper], inRange};
}

// x * y = p + e exactly (Dekker's product: the halves' products are exact in binary arithmetic).
void ExactProduct(double x, double y, double &p, double &e)
{
    constexpr double kSplit = 134217729.0;  // 2^27 + 1
    p = x * y;
    const double cx = kSplit * x;
    const double xh = cx - (cx - x);
    const double xl = x - xh;
    const double cy = kSplit * y;
    const double yh = cy - (cy - y);
    const double yl = y - yh;
    e = ((xh * yh - p) + xh * yl + xl * yh) + xl * yl;
}

// The exact quotient a / d rounded half-even to a whole number, for a scaled by ScaleByDivision:
// t = a / d rounded is off by at most half its spacing. Where that leaves the half h next to t
// in doubt, the quotient lies on the side of h that a lies of h * d: h * d = p + e exactly, and
// a - p is exact since the two are within a factor two, so comparing a - p with e compares a
// with h * d exactly. A quotient of exactly h is a double, so then t = h and n, from rounding
// t halves to even, is already the even neighbour.
[[gnu::noinline]] double QuotientNearHalf(double a, double s, double t, double n)
{
    const double h = t > n ? n + 0.5 : n - 0.5;
    double p, e;
    ExactProduct(h, s, p, e);
    const double above = a - p;
    if (t > n)
        return above > e ? n + 1 : n;
    return above < e ? n - 1 : n;
}

inline double RoundQuotient(double a, const Scaled15 &scaled)
{
    const double t = scaled.t;
    constexpr double kTwo52 = 4503599627370496.0;
    const double n = (t + kTwo52) - kTwo52;
    const auto tb = std::bit_cast<std::uint64_t>(t);
    const double halfSpacing = std::bit_cast<double>((tb & 0x7ff0000000000000ULL) - (53ULL << 52));
    if (std::fabs(t - n) < 0.5 - halfSpacing)
        return n;
    return QuotientNearHalf(a, scaled.s, t, n);
}

// Every other finite value is scaled with powers of ten known to 128 bits: 10^e = (P + r) * 2^F
// with 0 <= r < 1 + 2^-54 and P in [2^127, 2^128), for e in [-kLargestPower, kLargestPower].
constexpr int kLargestPower = 340;

struct Pow10Bits
{
    unsigned __int128 p;
    int f;
};

// Enough 64-bit words for 5^340 (790 bits), lowest word first: the positive powers exactly.
struct BigNumber
{
    std::uint64_t w[13] = {};
    int words = 1;

    constexpr int Bits() const
    {
        std::uint64_t top = w[words - 1];
        int bits = 64 * (words - 1);
        while (top) {
            ++bits;
            top >>= 1;
        }
        return bits;
    }
    constexpr bool Bit(int i) const { return (w[i / 64] >> (i % 64)) & 1; }
    constexpr void TimesFive()
    {
        unsigned __int128 carry = 0;
        for (int i = 0; i < words; ++i) {
            const unsigned __int128 v = static_cast<unsigned __int128>(w[i]) * 5 + carry;
            w[i] = static_cast<std::uint64_t>(v);
            carry = v >> 64;
        }
        if (carry)
            w[words++] = static_cast<std::uint64_t>(carry);
    }
};

constexpr std::array<Pow10Bits, 2 * kLargestPower + 1> MakePow10Bits()
{
    std::array<Pow10Bits, 2 * kLargestPower + 1> table{};
    BigNumber five;  // 5^j
    five.w[0] = 1;
    for (int j = 0; j <= kLargestPower; ++j, five.TimesFive()) {
        const int bits = five.Bits();
        // 10^j = 5^j * 2^j: the first 128 bits of 5^j.
        unsigned __int128 p = 0;
        for (int i = 0; i < 128; ++i)
            p = (p << 1) | (bits - 1 - i >= 0 && five.Bit(bits - 1 - i) ? 1 : 0);
        table[static_cast<std::size_t>(kLargestPower + j)] = {p, j + bits - 128};
    }
    // 5^-j as X * 2^g with X in [2^191, 2^192), three words, highest first: each step takes
    // X * 2^s / 5 rounded down, s = 2 or 3 to stay in range. Every step's error is below one
    // unit and makes X smaller; later steps scale it by the ratio of two such X, below 2, so
    // after 340 steps X is at most 680 units (2^-54 of P's unit) below 5^-j * 2^-g.
    std::uint64_t x[3] = {1ULL << 63, 0, 0};
    int g = -191;
    for (int j = 1; j <= kLargestPower; ++j) {
        auto scaledFifth = [&x](int s, std::uint64_t (&out)[3]) {
            // X * 2^s in four words, then divided by 5 from the top; the quotient has three.
            const std::uint64_t wide[4] = {x[0] >> (64 - s), (x[0] << s) | (x[1] >> (64 - s)),
                                           (x[1] << s) | (x[2] >> (64 - s)), x[2] << s};
            unsigned __int128 rest = 0;
            std::uint64_t quotient[4] = {};
            for (int i = 0; i < 4; ++i) {
                const unsigned __int128 v = (rest << 64) | wide[i];
                quotient[i] = static_cast<std::uint64_t>(v / 5);
                rest = v % 5;
            }
            out[0] = quotient[1];
            out[1] = quotient[2];
            out[2] = quotient[3];
            return quotient[0] == 0 && (quotient[1] >> 63) == 1;  // in [2^191, 2^192)
        };
        std::uint64_t next[3] = {};
        int s = 2;
        if (!scaledFifth(s, next))
            scaledFifth(++s, next);
        x[0] = next[0];
        x[1] = next[1];
        x[2] = next[2];
        g -= s;
        // 10^-j = 5^-j * 2^-j: the first 128 bits of X.
        table[static_cast<std::size_t>(kLargestPower - j)] = {
            (static_cast<unsigned __int128>(x[0]) << 64) | x[1], g + 64 - j};
    }
    return table;
}

constexpr auto kPow10Bits = MakePow10Bits();

// m * 10^e for m in [2^63, 2^64) as the whole number T below 2^128 with the true value in
// [T, T + kSlack) (the power's and the product's truncations, m * r and the dropped low word,
// each below one unit and a little); `scale` is the power of two of T's unit.
constexpr unsigned kSlack = 3;

struct ScaledBits
{
    unsigned __int128 t;
    int scale;
};

inline ScaledBits TimesPow10(std::uint64_t m, int e)
{
    const Pow10Bits &pw = kPow10Bits[static_cast<std::size_t>(kLargestPower + e)];
    const unsigned __int128 high = static_cast<unsigned __int128>(m) * static_cast<std::uint64_t>(pw.p >> 64);
    const unsigned __int128 low = static_cast<unsigned __int128>(m) * static_cast<std::uint64_t>(pw.p);
    return {high + (low >> 64), pw.f + 64};
}

// a (any finite value above zero) rounded half-even to 15 digits: q * 10^-k with q in
// [1E+14, 1E+15]. False where the bounds leave the rounding or the digit count in doubt
// (within 2^-75 of a half or of a power of ten), for the library's conversion to decide.
bool RoundWide(double a, std::uint64_t &q, int &k)
{
    const auto bits = std::bit_cast<std::uint64_t>(a);
    const int biased = static_cast<int>(bits >> 52);
    std::uint64_t m = bits & ((1ULL << 52) - 1);
    int e2 = -1074;  // a = m * 2^e2
    if (biased > 0) {
        m |= 1ULL << 52;
        e2 = biased - 1075;
    }
    const int shift = std::countl_zero(m);
    m <<= shift;
    e2 -= shift;  // a = m * 2^e2 with m in [2^63, 2^64), so log2(a) in [e2 + 63, e2 + 64)
    // floor(log10(a)) is this or one more: 78913 / 2^18 is log10(2) closely enough.
    k = 14 - ((e2 + 63) * 78913 >> 18);
    for (int attempt = 0; attempt < 2; ++attempt, --k) {
        const ScaledBits x = TimesPow10(m, k);
        // T's fraction bits: about 80 when T has 15 or 16 digits in front of them, so that
        // the whole part always fits 64 bits.
        const int fraction = -(x.scale + e2);
        if (fraction < 64 || fraction > 126)
            return false;
        const auto whole = static_cast<std::uint64_t>(x.t >> fraction);
        if (whole >= kMax15)
            continue;  // 16 digits: one power of ten less
        if (whole < kMin15)
            return false;
        const unsigned __int128 rest = x.t & ((static_cast<unsigned __int128>(1) << fraction) - 1);
        const unsigned __int128 half = static_cast<unsigned __int128>(1) << (fraction - 1);
        if (whole == kMax15 - 1 && rest + kSlack > (half << 1))
            return false;  // the true value may have 16 digits
        if (rest + kSlack <= half)
            q = whole;
        else if (rest > half)
            q = whole + 1;
        else
            return false;
        return true;
    }
    return false;
}

// q * 10^-k as the nearest double, for q in [1E+14, 1E+15]. False where the bounds leave it in
// doubt (within 2^-72 of a half between two doubles) and where the value is no normal double.
bool WideValue(std::uint64_t q, int k, double &value)
{
    if (-k < -kLargestPower || -k > kLargestPower)
        return false;
    const int shift = std::countl_zero(q);
    const ScaledBits x = TimesPow10(q << shift, -k);  // T in [2^126, 2^128)
    const int drop = x.t >> 127 ? 75 : 74;            // bits below the 53 of the value
    auto mantissa = static_cast<std::uint64_t>(x.t >> drop);
    const unsigned __int128 rest = x.t & ((static_cast<unsigned __int128>(1) << drop) - 1);
    const unsigned __int128 half = static_cast<unsigned __int128>(1) << (drop - 1);
    int e2 = x.scale - shift + drop;  // value = mantissa * 2^e2
    if (rest > half) {
        if (++mantissa == 1ULL << 53) {
            mantissa >>= 1;
            ++e2;
        }
    } else if (rest + kSlack > half) {
        return false;
    }
    const int biased = e2 + 52 + 1023;
    if (biased < 1 || biased > 2046)
        return false;
    value = std::bit_cast<double>((static_cast<std::uint64_t>(biased) << 52) | (mantissa & ((1ULL << 52) - 1)));
    return true;
}

// |value| = digits * 10^exponent, digits at most 10^15.
struct Decimal15
{
    bool negative = false;
    std::uint64_t digits = 0;
    int exponent = 0;
};

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
    bool unchanged;
    if (const Scaled15 scaled = ScaleTo15Digits(a); scaled.ok) {
        d.digits = static_cast<std::uint64_t>(Round15(a, scaled));
        d.exponent = -scaled.k;
        return d;
    }
    if (const Scaled15 scaled = ScaleByDivision(a); scaled.ok) {
        d.digits = static_cast<std::uint64_t>(RoundQuotient(a, scaled));
        d.exponent = -scaled.k;
        return d;
    }
    if ((a >= 1e-5 && a < 1e15 && RoundFast(a, q, k, unchanged)) || RoundWide(a, q, k)) {
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

double number_text_detail::RoundNearHalf(double a, double s, double t, double n)
{
    double p, e;
    ExactProduct(a, s, p, e);  // p = t
    // The fraction of the exact product is d + e. An exact half needs no correction: a whole
    // number and a half below 2^50 is itself a double, so then t is exact (e = 0) and the
    // rounding that gave n already chose the even neighbour.
    const double d = t - n;
    if (e > 0.5 - d)
        return n + 1;
    if (e < -0.5 - d)
        return n - 1;
    return n;
}

namespace {

// NumberTextValue of what the quick scalings leave: zero, values beyond the exact powers of ten
// or next to a power of ten, and those that are not finite. Out of line, so that the quick path
// before it needs no frame.
[[gnu::noinline]] double ExactNumberTextValue(double v)
{
    if (v == 0)
        return 0.0;
    if (!(std::fabs(v) <= std::numeric_limits<double>::max()))
        return v;  // infinities and NaN
    const double a = std::fabs(v);
    std::uint64_t q;
    int k;
    bool unchanged;
    if (a >= 1e-5 && a < 1e15 && RoundFast(a, q, k, unchanged)) {
        if (unchanged)
            return v;
        const double r = static_cast<double>(static_cast<std::int64_t>(q)) / kPow10D[k];
        return v < 0 ? -r : r;
    }
    if (double r; RoundWide(a, q, k) && WideValue(q, k, r))
        return v < 0 ? -r : r;
    char buf[64];
    std::size_t len;
    RoundSlow(a, buf, sizeof buf, len);
    double r = 0;
    auto res = std::from_chars(buf, buf + len, r);
    if (res.ec == std::errc::result_out_of_range) {
        // Only the top of the range overflows; the bottom keeps its subnormal value.
        r = a > 1 ? std::numeric_limits<double>::infinity() : 0.0;
    }
    if (r == 0)
        return 0.0;
    return v < 0 ? -r : r;
}

} // namespace

double number_text_detail::NumberTextValueSlow(double v)
{
    // The value back rounds once, as reading the text does.
    const double a = std::fabs(v);
    if (const Scaled15 scaled = ScaleByDivision(a); scaled.ok)
        return std::copysign(RoundQuotient(a, scaled) * scaled.s, v);
    return ExactNumberTextValue(v);
}

namespace {

std::string FormatDecimal15(Decimal15 d)
{
    if (d.digits == 0)
        return "0";
    std::uint64_t q = d.digits;
    int exp = d.exponent;
    // At most 15 trailing zeros: strip them 8, 4, 2 and 1 at a time. Written out, so that each
    // division is by a constant (a multiplication) rather than a 64-bit divide.
    auto strip = [&q, &exp]<std::uint64_t kFactor, int kCount>() {
        if (q % kFactor == 0) {
            q /= kFactor;
            exp += kCount;
        }
    };
    strip.template operator()<100000000, 8>();
    strip.template operator()<10000, 4>();
    strip.template operator()<100, 2>();
    strip.template operator()<10, 1>();
    char digits[24];
    auto res = std::to_chars(digits, digits + sizeof digits, q);
    const int len = static_cast<int>(res.ptr - digits);
    const int sci = exp + len - 1;  // the exponent of the first digit

    // Written into a local buffer: most texts then fit the string's own storage.
    char out[40];
    char *o = out;
    if (d.negative)
        *o++ = '-';
    auto put = [&o](const char *from, int count) {
        for (int i = 0; i < count; ++i)
            *o++ = from[i];
    };
    if (sci >= 15 || sci <= -5) {
        *o++ = digits[0];
        if (len > 1) {
            *o++ = '.';
            put(digits + 1, len - 1);
        }
        *o++ = 'E';
        *o++ = sci < 0 ? '-' : '+';
        const int e = sci < 0 ? -sci : sci;
        if (e >= 100)
            *o++ = static_cast<char>('0' + e / 100);
        *o++ = static_cast<char>('0' + e / 10 % 10);
        *o++ = static_cast<char>('0' + e % 10);
    } else if (exp >= 0) {
        put(digits, len);
        for (int i = 0; i < exp; ++i)
            *o++ = '0';
    } else if (sci >= 0) {
        put(digits, sci + 1);
        *o++ = '.';
        put(digits + sci + 1, len - sci - 1);
    } else {
        *o++ = '0';
        *o++ = '.';
        for (int i = 0; i < -sci - 1; ++i)
            *o++ = '0';
        put(digits, len);
    }
    return std::string(out, static_cast<std::size_t>(o - out));
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

std::string WholeNumberText(long long value)
{
    char buffer[24];
    const auto res = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, res.ptr);
}

} // namespace linoveta
