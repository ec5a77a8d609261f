#pragma once

namespace linoveta {

// Rounds v to `digits` decimals; halves go to the even neighbour (2.5 -> 2, 3.5 -> 4) and a
// zero result is always +0, so "-0" can never be shown. NaN and infinities pass through.
double Round(double v, int digits);

// Adds 0.00001 to `value` (the caller's variable keeps the sum) and returns the sum rounded to
// `digits` decimals.
double RoundUp(double& value, int digits);

} // namespace linoveta
