#include "engine/rounding.h"

#include <array>
#include <cmath>

namespace linoveta {

namespace {

// Exact powers of ten; beyond 1e22 a double no longer holds them exactly.
constexpr std::array<double, 23> kPowers = {
    1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

double PlusZero(double v) { return v == 0.0 ? 0.0 : v; }

} // namespace

double Round(double v, int digits)
{
    if (!std::isfinite(v))
        return v;
    if (digits <= 0)
        return PlusZero(std::nearbyint(v));
    if (digits >= static_cast<int>(kPowers.size()))
        return PlusZero(v);
    const double scale = kPowers[static_cast<std::size_t>(digits)];
    const double scaled = v * scale;
    // Too large to carry a fraction, or the product overflowed: v is already as round as it gets.
    if (!std::isfinite(scaled) || std::fabs(scaled) >= 4503599627370496.0)
        return PlusZero(v);
    return PlusZero(std::nearbyint(scaled) / scale);
}

double RoundUp(double& value, int digits)
{
    value += 0.00001;
    return Round(value, digits);
}

} // namespace linoveta
