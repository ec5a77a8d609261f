#include "engine/calc_fx.h"

#include <algorithm>
#include <cmath>

#include "engine/number_text.h"

namespace linoveta {
namespace {

// Every occurrence, left to right, not re-reading replaced text.
void ReplaceAll(std::string& s, std::string_view from, std::string_view to) {
  std::string out;
  std::size_t pos = 0;
  bool changed = false;
  while (true) {
    const std::size_t hit = s.find(from, pos);
    if (hit == std::string::npos) break;
    if (!changed) {
      out.reserve(s.size() + s.size() / 4);
      changed = true;
    }
    out.append(s, pos, hit - pos);
    out.append(to);
    pos = hit + from.size();
  }
  if (!changed) return;
  out.append(s, pos, std::string::npos);
  s.swap(out);
}

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

YValue frmCalcFX::Evaluate(double ValueOfX, int whichEqu) const {
  YValue out;
  if (whichEqu < 0 || whichEqu >= kEvalLines) {
    out.kind = YValue::Kind::Error;
    return out;
  }
  const script::Expression& e = compiled_[whichEqu];
  if (e.empty()) return out;
  // The value of x's text; a text that would not read back as a number fails the evaluation.
  const double x = NumberTextValue(ValueOfX);
  if (!(std::fabs(x) <= 1.7976931348623157e308)) {
    out.kind = YValue::Kind::Error;
    return out;
  }
  const script::Result r = e.Evaluate(x);
  if (!r.ok()) {
    out.kind = r.kind == script::Result::Kind::Empty ? YValue::Kind::Empty : YValue::Kind::Error;
    return out;
  }
  // A value next to the largest double whose 15-digit text would not read back is an overflow.
  out.value = NumberTextValue(r.value);
  out.kind = std::isinf(out.value) ? YValue::Kind::Error : YValue::Kind::Value;
  return out;
}

namespace {

// The compiled expression at xs[0..n), a group at a time: x bound as the value of its text,
// the result as the value of its text. sink(i, kind, value) receives each result.
template <typename Sink>
void EvaluateGroups(const script::Expression& e, const double* xs, std::size_t n, Sink&& sink) {
  constexpr std::size_t L = script::Expression::kLanes;
  double bound[L];
  script::Result r[L];
  for (std::size_t first = 0; first < n; first += L) {
    const std::size_t m = std::min(L, n - first);
    for (std::size_t l = 0; l < m; ++l) bound[l] = NumberTextValue(xs[first + l]);
    e.EvaluateMany(bound, m, r);
    for (std::size_t l = 0; l < m; ++l) {
      const double y = NumberTextValue(r[l].value);
      const bool failed = !(std::fabs(bound[l]) <= 1.7976931348623157e308) ||
                          r[l].kind == script::Result::Kind::Error || std::isinf(y);
      sink(first + l, failed ? YValue::Kind::Error : YValue::Kind::Value, failed ? 0.0 : y);
    }
  }
}

}  // namespace

void frmCalcFX::Evaluate(const double* xs, std::size_t n, int whichEqu, YValue* out) const {
  if (whichEqu < 0 || whichEqu >= kEvalLines) {
    std::fill(out, out + n, YValue{YValue::Kind::Error, 0});
    return;
  }
  const script::Expression& e = compiled_[whichEqu];
  if (e.empty()) {
    std::fill(out, out + n, YValue{});
    return;
  }
  EvaluateGroups(e, xs, n, [out](std::size_t i, YValue::Kind kind, double value) {
    out[i] = {kind, value};
  });
}

void frmCalcFX::CalculateYValues(const double* xs, std::size_t n, int whichEqu,
                                 std::optional<double>* out) const {
  if (whichEqu < 0 || whichEqu >= kEvalLines) {
    std::fill(out, out + n, std::nullopt);
    return;
  }
  const script::Expression& e = compiled_[whichEqu];
  if (e.empty()) {
    std::fill(out, out + n, 0.0);
    return;
  }
  EvaluateGroups(e, xs, n, [out](std::size_t i, YValue::Kind kind, double value) {
    if (kind == YValue::Kind::Value)
      out[i] = value;
    else
      out[i] = std::nullopt;
  });
}

void frmCalcFX::CalculateYAreaValues(const double* xs, std::size_t n, int whichEqu,
                                     double* out) const {
  if (whichEqu < 0 || whichEqu >= kEvalLines || compiled_[whichEqu].empty()) {
    std::fill(out, out + n, 0.0);
    return;
  }
  EvaluateGroups(compiled_[whichEqu], xs, n, [out](std::size_t i, YValue::Kind kind, double value) {
    out[i] = kind == YValue::Kind::Value ? value : 0.0;
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
