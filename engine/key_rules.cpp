// The context rules: the grammar of the formula editor, judged against the end of the line.
#include <string>

#include "engine/key_handler.h"

namespace linoveta {

namespace {

bool OneOf(const std::string& s, std::initializer_list<const char*> set) {
  for (const char* c : set)
    if (s == c) return true;
  return false;
}

}  // namespace

bool IsKeyAllowed(FormulaTables& t, const std::string& key) {
  const int line = t.CurrentFunction;
  if (line < 0 || line >= kFormulaLines) return false;
  const CellLine& sym = t.FormulaSym[line];
  const int len = t.FormulaLen[line];
  if (len < 0 || len > kMaxSymbols) return false;
  LineEditState& e = t.Edit[line];

  const std::string last = len > 0 ? sym[len - 1] : std::string();
  const std::string second = len >= 2 ? sym[len - 2] : last;
  const bool openingBar = last == "|" && e.AbsTyped;
  const bool closingBar = last == "|" && !e.AbsTyped;
  const bool lastDigit = IsDigit(last);
  const bool lastLetter = IsLetter(last);
  const bool lastOperator = IsOperator(last);

  // 1. Pi never follows a letter.
  if (key == "P" && lastLetter) return false;

  // 2. Digits.
  if (IsDigit(key) && last != "%") return !(lastLetter || last == ")" || closingBar);

  // 3. Letters: each letter at most once per term.
  if (IsLetter(key)) {
    if (last == "." || last == ")" || last == key || ((key == "x" || key == "P") && lastLetter))
      return key == "x" && last == "P";
    for (int i = len - 1; i >= 0; --i) {
      const std::string& s = sym[i];
      if (IsOperator(s) || OneOf(s, {"(", "~", "^", "|", "="})) break;
      if (s == key) return false;
    }
    return true;
  }

  // 4. Division needs an operand in front.
  if (key == "/") {
    if (len == 0 || OneOf(last, {"~", ".", "^", "("}) || lastOperator || openingBar) return false;
    return true;
  }

  // 5. Roots never nest and never follow ")" or ".".
  if (key == "~") {
    if (!e.RootTyped &&
        (len == 0 || lastDigit || lastLetter || lastOperator || OneOf(last, {"(", "|", "^"}))) {
      e.RootTyped = true;
      return true;
    }
    return false;
  }

  // 6. Plus, minus, times.
  if ((key == "+" || key == "-" || key == "*") && last != ".") {
    const bool plusOrTimes = key == "+" || key == "*";
    if (plusOrTimes && (last == "~" || last == "^")) return false;
    if (key == "-" && last == "(") return true;
    if (plusOrTimes && len == 0) return false;
    if (key == "*" && openingBar) return false;
    if (lastOperator || last == "(") return false;
    return true;
  }

  // 7. Equals (only with a mask that admits it).
  if (key == "=") {
    if (len > 0 && !lastOperator && e.ParenDepth == 0 && !t.HasEquals) {
      t.HasEquals = true;
      return true;
    }
    return false;
  }

  // 8. Closing parenthesis. Not after "~" either: an empty root can never be evaluated.
  if (key == ")") {
    if (OneOf(last, {"(", ".", "^", "~"}) || lastOperator || e.ParenDepth == 0 ||
        (e.AbsTyped && e.ParenDepth <= e.AbsStartDepth))
      return false;
    --e.ParenDepth;
    return true;
  }

  // 9. Exponents never nest.
  if (key == "^") {
    return !e.ExpTyped &&
           (lastDigit || lastLetter || last == ")" ||
            (last == "|" && t.BarJustClosed && !e.AbsTyped && !e.AbsInExp));
  }

  // 10. Opening parenthesis: at most three levels.
  if (key == "(" && last != ".") {
    if (len > 1) {
      if (last == ")" || (second == "(" && last == "(") || (last == "(" && e.ExpTyped) ||
          e.ParenDepth > 2 || (e.AbsInExp && e.ParenDepth > e.AbsStartDepth))
        return false;
    }
    ++e.ParenDepth;
    return true;
  }

  // 11. Decimal point after a digit or an operator.
  if (key == "." && !t.DecimalInNumber && (lastDigit || lastOperator || len == 0)) return true;

  // 12. ":" and "," (only with a mask that admits them).
  if (key == ":") {
    if (lastDigit) {
      bool hasColon = false;
      for (int i = 0; i < len; ++i) hasColon = hasColon || sym[i] == ":";
      if (!hasColon) return true;
    }
  }
  if (key == "," && lastDigit) return true;

  if (key == "|") {
    // 13. A bar that closes the open group at its own depth. Not right after "~": the root
    // would be empty.
    if (e.AbsTyped && e.ParenDepth == e.AbsStartDepth &&
        !(lastOperator || OneOf(last, {"|", "^", ".", "~"}))) {
      e.AbsTyped = false;
      t.BarJustClosed = true;
      --e.OpenBarCount;
      return true;
    }
    // 14. A bar that opens a group; groups never nest.
    if (!e.AbsTyped) {
      if (len == 0 || lastDigit || lastLetter || lastOperator || OneOf(last, {"(", "^", "~"})) {
        e.AbsTyped = true;
        t.BarJustClosed = false;
        e.AbsStartDepth = e.ParenDepth;
        ++e.OpenBarCount;
        return true;
      }
      return false;
    }
  }

  // 15. Percent (only with a mask that admits it).
  if (key == "%" && lastDigit) return true;

  // 16. A number that starts with its decimal point.
  if (key == "." && !t.DecimalInNumber &&
      (last == "~" || last == "(" || openingBar || e.ExpTyped)) {
    return !(last == "." || lastLetter || last == ")" || closingBar);
  }

  return false;
}

}  // namespace linoveta
