// The evaluator: prepares the five formula lines once per run and evaluates any of them at x.
#pragma once

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/formula_tables.h"
#include "engine/number_text.h"
#include "engine/script/expression.h"

namespace linoveta {

inline constexpr int kEvalLines = 5;  // EvalFormula(0..4)

// One evaluation before it becomes text. `value` is exactly the number that the value's text
// (NumberText) reads back as; a result whose text would not read back as a double (next to the
// largest double) is an error.
struct YValue {
  // A whole register wide: a byte-wide kind makes the compiler assemble a returned YValue in
  // memory and read it back wider than it was written, which stalls every call.
  enum class Kind : std::uint64_t { Value, Empty, Error };
  Kind kind = Kind::Empty;
  double value = 0;
};

// The finished expression of one script form: the implicit products and function names that
// the preparation supplies ("2x(x+1)" -> "2*x*(x+1)", "2*S(x)" -> "2*sin(x)").
std::string FinishScriptForm(std::string_view scriptForm);

// The evaluator window's operations. x is bound as the value of its text: x rounded to 15
// significant digits, the same as substituting the text of x in parentheses with "." as the
// decimal point. Not thread-safe (one GUI thread calls it).
class frmCalcFX {
 public:
  // Rebuilds EvalFormula(0..4) from the script forms of lines 0..4 and compiles each once.
  void PreCalcFX(const FormulaTables& tables);
  // The same from five script forms given directly.
  void PreCalcFX(const std::array<std::string, kEvalLines>& scriptForms);

  // The value of line whichEqu at ValueOfX as text: "0" when there is no formula, "NA" on
  // any error (also for a line outside 0..4).
  std::string CalculateY(double ValueOfX, int whichEqu) const;
  // The same, but the empty text for a line without a formula.
  std::string CalculateYEval(double ValueOfX, int whichEqu) const;
  // The same, but "0" for no formula and for any error.
  std::string CalculateYArea(double ValueOfX, int whichEqu) const;

  // The evaluation behind the three texts.
  YValue Evaluate(double ValueOfX, int whichEqu) const;
  // CalculateY as a number: exactly the value its text reads as ("0" for no formula); nullopt
  // where the text is "NA". Inline, so that the optional is built in the caller.
  std::optional<double> CalculateYValue(double ValueOfX, int whichEqu) const {
    const YValue v = Evaluate(ValueOfX, whichEqu);
    switch (v.kind) {
      case YValue::Kind::Value: return v.value;
      case YValue::Kind::Empty: return 0.0;
      default: return std::nullopt;
    }
  }
  // CalculateYArea as a number: 0 for no formula and on any error.
  double CalculateYAreaValue(double ValueOfX, int whichEqu) const;

  // The same two for many x at once: out[i] is what the single call gives for xs[i]. Callers
  // that know several x ahead (the plotter's probes, the area sum) use these; they run the
  // compiled expression over groups of x.
  void CalculateYValues(const double* xs, std::size_t n, int whichEqu,
                        std::optional<double>* out) const;
  void CalculateYAreaValues(const double* xs, std::size_t n, int whichEqu, double* out) const;
  // CalculateYValues for x already bound: boundXs[i] must be NumberTextValue(x) of the x meant.
  // A caller that evaluates several lines at the same x binds each x once and shares it.
  void CalculateYValuesBound(const double* boundXs, std::size_t n, int whichEqu,
                             std::optional<double>* out) const;

  // The results before their rounding, for x already bound as above: out[i] is the
  // expression's value at boundXs[i], nullopt where it fails (0 for a line without a formula).
  // CalculateYValuesBound gives RoundedResult of each. A caller that needs only to compare a
  // value, and can tell when its rounding could matter, rounds only those.
  void CalculateYResultsBound(const double* boundXs, std::size_t n, int whichEqu,
                              std::optional<double>* out) const;
  // A result of CalculateYResultsBound as CalculateYValue gives it: the value of its text, and
  // nullopt where that text would not read back (next to the largest double).
  static std::optional<double> RoundedResult(const std::optional<double>& result) {
    if (!result) return std::nullopt;
    const double y = NumberTextValue(*result);
    if (std::isinf(y)) return std::nullopt;
    return y;
  }

  // The finished expression of line i (empty for a line without a formula or outside 0..4).
  const std::string& EvalFormula(int i) const;

 private:
  std::array<std::string, kEvalLines> evalFormula_;
  std::array<script::Expression, kEvalLines> compiled_;
};

}  // namespace linoveta
