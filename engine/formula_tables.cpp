#include "engine/formula_tables.h"

#include <algorithm>
#include <cstdint>

namespace linoveta {

namespace {

bool ValidLine(int line) { return line >= 0 && line < kFormulaLines; }

std::string JoinCells(const CellLine& cells, int lastCell) {
  std::string out;
  const int end = std::min<int>(lastCell, static_cast<int>(cells.size()) - 1);
  std::size_t size = 0;
  for (int i = 0; i <= end; ++i) size += cells[i].size();
  out.reserve(size);
  for (int i = 0; i <= end; ++i) out += cells[i];
  return out;
}

// Writes only the cells that change: a key rewrites a whole line of which little differs.
void StoreChars(CellLine& cells, std::string_view text) {
  const std::size_t n = std::min<std::size_t>(text.size(), cells.size());
  for (std::size_t i = 0; i < n; ++i) {
    std::string& c = cells[i];
    if (c.size() != 1 || c[0] != text[i]) c.assign(1, text[i]);
  }
  for (std::size_t i = n; i < cells.size(); ++i)
    if (!cells[i].empty()) cells[i].clear();
}

}  // namespace

FormulaTables::FormulaTables() : Tokens(kFormulaCells) {
  for (auto& l : FormulaSym) l.assign(kFormulaCells, std::string());
  for (auto& l : FormulaDisp) l.assign(kFormulaCells, std::string());
  for (auto& l : FormulaExpr) l.assign(kFormulaCells, std::string());
}

std::int16_t BinToInt(std::string_view bits) {
  std::uint32_t value = 0;
  for (char c : bits) value = ((value << 1) | (c == '1' ? 1u : 0u)) & 0xFFFFu;
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
}

std::string char2str_disp(const FormulaTables& t, int line) {
  if (!ValidLine(line)) return {};
  return JoinCells(t.FormulaDisp[line], kDisplayJoinCells - 1);
}

std::string char2str_sym(const FormulaTables& t, int line) {
  if (!ValidLine(line)) return {};
  return JoinCells(t.FormulaSym[line], kFormulaCells - 1);
}

std::string char2str_symcur(const FormulaTables& t) { return char2str_sym(t, t.CurrentFunction); }

std::string char2str_expr(const FormulaTables& t, int line) {
  if (!ValidLine(line)) return {};
  return JoinCells(t.FormulaExpr[line], kFormulaCells - 1);
}

std::string char2str_tokens(const FormulaTables& t) {
  if (t.TokenCount + 5 < 0) return {};
  return JoinCells(t.Tokens, t.TokenCount + 5);
}

void str2char_disp(FormulaTables& t, std::string_view text, int line) {
  if (ValidLine(line)) StoreChars(t.FormulaDisp[line], text);
}

void str2char_expr(FormulaTables& t, std::string_view text, int line) {
  if (ValidLine(line)) StoreChars(t.FormulaExpr[line], text);
}

bool IsLetter(std::string_view ch) {
  // Compared as a text: the first character decides, a longer text sorts after it.
  if (ch.empty()) return false;
  const std::string_view s(ch);
  return (s >= "A" && s <= "Z") || (s >= "a" && s <= "z");
}

bool IsOperator(std::string_view ch) { return ch == "+" || ch == "-" || ch == "*" || ch == "/"; }

bool IsSign(std::string_view ch) { return ch == "+" || ch == "-"; }

bool IsDigit(std::string_view ch) { return ch.size() == 1 && ch[0] >= '0' && ch[0] <= '9'; }

bool IsNumFraction(std::string_view token) {
  if (IsOperator(token)) return false;
  for (std::size_t i = 1; i < token.size(); ++i)
    if (token[i] == '/' && token[i - 1] >= '0' && token[i - 1] <= '9') return true;
  return false;
}

bool IsNumericText(std::string_view text) {
  // Digits with at most one "." and at least one digit: the number tokens the tokenizer
  // builds ("12", "0.5", "3.", ".5").
  bool digit = false;
  bool point = false;
  if (text.empty()) return false;
  for (char c : text) {
    if (c >= '0' && c <= '9') {
      digit = true;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      return false;
    }
  }
  return digit;
}

void CollectLetters(FormulaTables& t) {
  for (int i = 0; i < kVarLettersCleared; ++i) t.VarLetters[i].clear();
  t.VarCount = 1;
  const int line = t.CurrentFunction;
  if (ValidLine(line)) {
    const int len = std::min<int>(t.FormulaLen[line], kFormulaCells - 1);
    // One-letter cells already stored by this walk: LetterIndex would find them again.
    std::array<bool, 128> stored{};
    for (int i = 0; i <= len; ++i) {
      const std::string& s = t.FormulaSym[line][i];
      // A letter starts with one; most cells are skipped on that alone.
      const char first = s.empty() ? '\0' : s[0];
      if (!((first >= 'A' && first <= 'Z') || (first >= 'a' && first <= 'z'))) continue;
      const bool single = s.size() == 1;
      if (single && stored[static_cast<unsigned char>(first)]) continue;
      if (IsLetter(s) && LetterIndex(t, s) == 0 && t.VarCount < kVarLetterCells) {
        t.VarLetters[t.VarCount] = s;
        ++t.VarCount;
        if (single) stored[static_cast<unsigned char>(first)] = true;
      }
    }
  }
  t.VarCount = 1;
}

int LetterIndex(const FormulaTables& t, std::string_view ch) {
  const int end = std::min<int>(t.VarCount, kVarLetterCells - 1);
  for (int i = 0; i <= end; ++i)
    if (t.VarLetters[i] == ch) return i;
  return 0;
}

void ClearAllFormulas(FormulaTables& t, bool /*flag*/) {
  for (int line = 0; line < kFormulaLines; ++line) {
    for (auto& c : t.FormulaSym[line]) c.clear();
    for (auto& c : t.FormulaDisp[line]) c.clear();
  }
  for (auto& c : t.Tokens) c.clear();
  if (ValidLine(t.CurrentFunction)) {
    t.FormulaLen[t.CurrentFunction] = 0;
    t.Edit[t.CurrentFunction].ParenDepth = 0;
  }
  t.TokenCount = 0;
  t.DispLen = 0;
  t.VarCount = 0;
  t.HasEquals = false;
  t.EquationSide = 0;
  for (int line = 0; line < kCompletenessLines; ++line) {
    LineEditState& e = t.Edit[line];
    e.AbsInExp = e.ExpTyped = e.RootTyped = e.AbsTyped = false;
    t.FormulaIncomplete[line] = false;
    e.AbsStartDepth = e.OpenBarCount = e.ParenDepth = 0;
    t.FormulaLen[line] = 0;
  }
  t.BarJustClosed = false;
  for (int i = 0; i < kVarLettersCleared; ++i) t.VarLetters[i].clear();
}

}  // namespace linoveta
