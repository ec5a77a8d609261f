// Arbitrary text as a script form and as an expression: the evaluator must neither crash nor
// hang, and the numeric entry point must agree with the text it stands for.
#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "engine/calc_fx.h"
#include "engine/number_text.h"
#include "engine/script/expression.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  const linoveta::script::Expression e(text);
  // The grouped evaluation gives each x what the single one gives.
  const double xs[] = {0.0, -3.0, 0.5, 1e20, -0.0, 2.0, -1e-300, 3.0, 1e308};
  constexpr std::size_t kXs = sizeof xs / sizeof xs[0];
  linoveta::script::Result many[kXs];
  e.EvaluateMany(xs, kXs, many);
  for (std::size_t i = 0; i < kXs; ++i) {
    const linoveta::script::Result one = e.Evaluate(xs[i]);
    if (one.kind != many[i].kind || one.error != many[i].error) std::abort();
    if (one.ok() && !(one.value == many[i].value)) std::abort();
  }

  std::array<std::string, linoveta::kEvalLines> forms;
  forms[0] = std::string(text);
  linoveta::frmCalcFX fx;
  fx.PreCalcFX(forms);
  for (double x : {0.0, -2.5, 0.30000000000000004, 7.0}) {
    const std::string y = fx.CalculateY(x, 0);
    const std::optional<double> v = fx.CalculateYValue(x, 0);
    if (y == "NA") {
      if (v.has_value()) std::abort();
    } else if (!v.has_value() || *v != linoveta::ParseLeadingNumber(y)) {
      std::abort();
    }
    if (fx.CalculateYArea(x, 0) != (y == "NA" ? std::string("0") : y)) std::abort();
  }
  std::optional<double> values[kXs];
  fx.CalculateYValues(xs, kXs, 0, values);
  for (std::size_t i = 0; i < kXs; ++i)
    if (values[i] != fx.CalculateYValue(xs[i], 0)) std::abort();

  // The input's first bytes as x too (any bits: halves, edges, subnormals, NaN), in one group
  // through the grouped path, each against its own text read back.
  double raw[8];
  const std::size_t nRaw = std::min<std::size_t>(size / sizeof(double), 8);
  std::memcpy(raw, data, nRaw * sizeof(double));
  std::optional<double> rawValues[8];
  fx.CalculateYValues(raw, nRaw, 0, rawValues);
  for (std::size_t i = 0; i < nRaw; ++i) {
    const std::string y = fx.CalculateY(raw[i], 0);
    if (y == "NA" ? rawValues[i].has_value()
                  : (!rawValues[i].has_value() || *rawValues[i] != linoveta::ParseLeadingNumber(y)))
      std::abort();
  }
  // The same x bound by the caller give the same values.
  double rawBound[8];
  for (std::size_t i = 0; i < nRaw; ++i) rawBound[i] = linoveta::NumberTextValue(raw[i]);
  std::optional<double> boundValues[8];
  fx.CalculateYValuesBound(rawBound, nRaw, 0, boundValues);
  std::optional<double> boundResults[8];
  fx.CalculateYResultsBound(rawBound, nRaw, 0, boundResults);
  for (std::size_t i = 0; i < nRaw; ++i)
    if (boundValues[i] != rawValues[i] ||
        linoveta::frmCalcFX::RoundedResult(boundResults[i]) != rawValues[i])
      std::abort();

  // The leading-number parse of any text, and the text of what it read, read back the same.
  const double n = linoveta::ParseLeadingNumber(text);
  if (n == n && n - n == 0) {
    const double back = linoveta::ParseLeadingNumber(linoveta::NumberText(n));
    if (back != linoveta::NumberTextValue(n)) std::abort();
  }
  return 0;
}
