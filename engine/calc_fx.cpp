#include "engine/calc_fx.h"

#include <algorithm>
#include <cmath>

#include "engine/number_text.h"
#include "engine/replace_all.h"

namespace linoveta {
namespace {

const std::string kNoFormula;

}  // namespace

std::string FinishScriptForm(std::string_view scriptForm) {
  std::string s(scriptForm);
  ReplaceAll(s, "x(", "x*(");
  ReplaceAll(s, "xS", "x*S");
  ReplaceAll(s, "xT", "x*T");
  ReplaceAll(s, "xC", "x*C");
  ReplaceAll(s, "S", "sin");
  ReplaceAll(s, "T", "tan");
  ReplaceAll(s, "C", "cos");
  for (char d = '0'; d <= '9'; ++d) {
    const char paren[2] = {d, '('};
    const char parenStar[3] = {d, '*', '('};
    ReplaceAll(s, std::string_view(paren, 2), std::string_view(parenStar, 3));
    const char var[2] = {d, 'x'};
    const char varStar[3] = {d, '*', 'x'};
    ReplaceAll(s, std::string_view(var, 2), std::string_view(varStar, 3));
  }
  return s;
}

void frmCalcFX::PreCalcFX(const FormulaTables& tables) {
  std::array<std::string, kEvalLines> forms;
  for (int i = 0; i < kEvalLines; ++i) forms[i] = char2str_expr(tables, i);
  PreCalcFX(forms);
}

void frmCalcFX::PreCalcFX(const std::array<std::string, kEvalLines>& scriptForms) {
  for (int i = 0; i < kEvalLines; ++i) {
    evalFormula_[i] = FinishScriptForm(scriptForms[i]);
    compiled_[i].Compile(evalFormula_[i]);
  }
}

const std::string& frmCalcFX::EvalFormula(int i) const {
  if (i < 0 || i >= kEvalLines) return kNoFormula;
  return evalFormula_[i];
}

namespace {

// One evaluation's outcome, from x bound as the value of its text and the expression's result:
// an x whose text would not read back as a number fails, and so does a value next to the
// largest double whose 15-digit text would not read back.
YValue Outcome(double boundX, const script::Result& r) {
  if (!(std::fabs(boundX) <= 1.7976931348623157e308) || !r.ok()) return {YValue::Kind::Error, 0};
  const double y = NumberTextValue(r.value);
  if (std::isinf(y)) return {YValue::Kind::Error, 0};
  return {YValue::Kind::Value, y};
}

// The compiled expression at xs[0..n), a group at a time: x bound as the value of its text,
// the result as the value of its text. sink(i, outcome) receives each result. With Bound, xs
// are bound already (the value of their text) and are used as they are.
template <bool Bound = false, typename Sink>
void EvaluateGroups(const script::Expression& e, const double* xs, std::size_t n, Sink&& sink) {
  constexpr std::size_t L = script::Expression::kLanes;
  double bound[L];
  script::Result r[L];
  for (std::size_t first = 0; first < n; first += L) {
    const std::size_t m = std::min(L, n - first);
    const double* x = xs + first;
    if constexpr (!Bound) {
      for (std::size_t l = 0; l < m; ++l) bound[l] = NumberTextValue(xs[first + l]);
      x = bound;
    }
    e.EvaluateMany(x, m, r);
    for (std::size_t l = 0; l < m; ++l) sink(first + l, Outcome(x[l], r[l]));
  }
}

// The line to evaluate; none after filling out[0..n) as a missing line (no values) or an empty
// one (zeros) reads.
const script::Expression* LineToEvaluate(const std::array<script::Expression, kEvalLines>& compiled,
                                         int whichEqu, std::size_t n, std::optional<double>* out) {
  if (whichEqu < 0 || whichEqu >= kEvalLines) {
    std::fill(out, out + n, std::nullopt);
    return nullptr;
  }
  const script::Expression& e = compiled[static_cast<std::size_t>(whichEqu)];
  if (e.empty()) {
    std::fill(out, out + n, 0.0);
    return nullptr;
  }
  return &e;
}

template <bool Bound>
void CalculateValues(const std::array<script::Expression, kEvalLines>& compiled, const double* xs,
                     std::size_t n, int whichEqu, std::optional<double>* out) {
  const script::Expression* line = LineToEvaluate(compiled, whichEqu, n, out);
  if (!line) return;
  EvaluateGroups<Bound>(*line, xs, n, [out](std::size_t i, const YValue& v) {
    if (v.kind == YValue::Kind::Value)
      out[i] = v.value;
    else
      out[i] = std::nullopt;
  });
}

}  // namespace

void frmCalcFX::CalculateYResultsBound(const double* boundXs, std::size_t n, int whichEqu,
                                       std::optional<double>* out) const {
  const script::Expression* line = LineToEvaluate(compiled_, whichEqu, n, out);
  if (!line) return;
  const script::Expression& e = *line;
  constexpr std::size_t L = script::Expression::kLanes;
  script::Result r[L];
  for (std::size_t first = 0; first < n; first += L) {
    const std::size_t m = std::min(L, n - first);
    const double* x = boundXs + first;
    e.EvaluateMany(x, m, r);
    // As Outcome, up to the result's rounding.
    for (std::size_t l = 0; l < m; ++l) {
      if (!(std::fabs(x[l]) <= 1.7976931348623157e308) || !r[l].ok())
        out[first + l] = std::nullopt;
      else
        out[first + l] = r[l].value;
    }
  }
}

YValue frmCalcFX::Evaluate(double ValueOfX, int whichEqu) const {
  if (whichEqu < 0 || whichEqu >= kEvalLines) return {YValue::Kind::Error, 0};
  const script::Expression& e = compiled_[whichEqu];
  if (e.empty()) return {};
  const double x = NumberTextValue(ValueOfX);
  return Outcome(x, e.Evaluate(x));
}

void frmCalcFX::CalculateYValues(const double* xs, std::size_t n, int whichEqu,
                                 std::optional<double>* out) const {
  CalculateValues<false>(compiled_, xs, n, whichEqu, out);
}

void frmCalcFX::CalculateYValuesBound(const double* boundXs, std::size_t n, int whichEqu,
                                      std::optional<double>* out) const {
  CalculateValues<true>(compiled_, boundXs, n, whichEqu, out);
}

void frmCalcFX::CalculateYAreaValues(const double* xs, std::size_t n, int whichEqu,
                                     double* out) const {
  if (whichEqu < 0 || whichEqu >= kEvalLines || compiled_[whichEqu].empty()) {
    std::fill(out, out + n, 0.0);
    return;
  }
  EvaluateGroups(compiled_[whichEqu], xs, n, [out](std::size_t i, const YValue& v) {
    out[i] = v.kind == YValue::Kind::Value ? v.value : 0.0;
  });
}

std::string frmCalcFX::CalculateY(double ValueOfX, int whichEqu) const {
  const YValue v = Evaluate(ValueOfX, whichEqu);
  switch (v.kind) {
    case YValue::Kind::Value: return NumberText(v.value);
    case YValue::Kind::Empty: return "0";
    default: return "NA";
  }
}

std::string frmCalcFX::CalculateYEval(double ValueOfX, int whichEqu) const {
  const YValue v = Evaluate(ValueOfX, whichEqu);
  switch (v.kind) {
    case YValue::Kind::Value: return NumberText(v.value);
    case YValue::Kind::Empty: return "";
    default: return "NA";
  }
}

std::string frmCalcFX::CalculateYArea(double ValueOfX, int whichEqu) const {
  const YValue v = Evaluate(ValueOfX, whichEqu);
  if (v.kind == YValue::Kind::Value) return NumberText(v.value);
  return "0";
}

double frmCalcFX::CalculateYAreaValue(double ValueOfX, int whichEqu) const {
  const YValue v = Evaluate(ValueOfX, whichEqu);
  if (v.kind == YValue::Kind::Value) return v.value;
  return 0.0;
}

}  // namespace linoveta
