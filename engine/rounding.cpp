#include "engine/rounding.h"

#include <cmath>
#include <cstddef>
#include <iterator>

namespace linoveta {

namespace {

double PlusZero(double v) { return v == 0.0 ? 0.0 : v; }

} // namespace

namespace rounding_detail {

double RoundRest(double v, int digits)
{
    if (!std::isfinite(v))
        return v;
    if (digits <= 0)
        return PlusZero(std::nearbyint(v));
    if (digits >= static_cast<int>(std::size(kPowers)))
        return PlusZero(v);
    const double scale = kPowers[static_cast<std::size_t>(digits)];
    const double scaled = v * scale;
    // Too large to carry a fraction, or the product overflowed: v is already as round as it gets.
    if (!std::isfinite(scaled) || std::fabs(scaled) >= 4503599627370496.0)
        return PlusZero(v);
    return PlusZero(std::nearbyint(scaled) / scale);
}

} // namespace rounding_detail

double RoundUp(double& value, int digits)
{
    value += 0.00001;
    return Round(value, digits);
}

} // namespace linoveta
