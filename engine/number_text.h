#pragma once

#include <string>
#include <string_view>

namespace linoveta {

// The text of a number as the evaluator and the documents write it: at most 15 significant
// digits, no trailing zeros, "." as decimal point, exponent form from 1E+15 up and below 1E-04
// ("1E+20", "1.5E-07"); zero is always "0", never "-0". Non-finite values give "NA".
std::string NumberText(double v);

// The value that reading NumberText(v) back gives (v rounded to 15 significant digits), without
// formatting and parsing; +0 for zero. It is infinite only when the rounded text overflows
// (v close to the largest double); NaN stays NaN.
double NumberTextValue(double v);

// The leading number of a text with "." as decimal point: optional blanks, an optional sign,
// digits with at most one ".", an optional exponent ("E" or "e", optional sign, digits).
// 0 when the text does not begin with a number; no "inf", "nan" or hexadecimal forms.
// A leading number too large for a double reads as an infinity of its sign.
double ParseLeadingNumber(std::string_view text);

} // namespace linoveta
