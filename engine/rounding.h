#pragma once

#include <cmath>

namespace linoveta {

namespace rounding_detail {

// Exact powers of ten; beyond 1e22 a double no longer holds them exactly.
inline constexpr double kPowers[23] = {
    1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Round for the cases the inline part leaves: no decimals, too many, non-finite or huge values.
double RoundRest(double v, int digits);

} // namespace rounding_detail

// Rounds v to `digits` decimals; halves go to the even neighbour (2.5 -> 2, 3.5 -> 4) and a
// zero result is always +0, so "-0" can never be shown. NaN and infinities pass through.
// Inline: the plotter rounds every sample.
inline double Round(double v, int digits)
{
    if (digits > 0 && digits < 23) {
        const double scale = rounding_detail::kPowers[digits];
        const double scaled = v * scale;
        const double magnitude = std::fabs(scaled);  // false below for NaN and infinities
        constexpr double kTwo52 = 4503599627370496.0;
        if (magnitude < kTwo52) {
            // Adding 2^52 leaves no fraction bits, so the sum is rounded to a whole number,
            // halves to even, as nearbyint rounds in the default mode; taking it away is exact.
            const double r = std::copysign((magnitude + kTwo52) - kTwo52, scaled) / scale;
            return r == 0 ? 0.0 : r;
        }
    }
    return rounding_detail::RoundRest(v, digits);
}

// Adds 0.00001 to `value` (the caller's variable keeps the sum) and returns the sum rounded to
// `digits` decimals.
double RoundUp(double& value, int digits);

} // namespace linoveta
