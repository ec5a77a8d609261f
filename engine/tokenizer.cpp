// Glues digits into number tokens and "/" between plain numbers into number fractions.
#include <algorithm>
#include <string>
#include <vector>

#include "engine/key_handler.h"
#include "engine/line_translation.h"

namespace linoveta {

std::vector<std::string> TokenizeSymbols(const CellLine& sym, int len) {
  std::vector<std::string> tok;
  TokenizeSymbols(sym, len, tok);
  return tok;
}

void TokenizeSymbols(const CellLine& sym, int len, std::vector<std::string>& tok) {
  tok.resize(1);  // token k in tok[k]; tok[0] stays empty
  tok[0].clear();
  if (len < 0) return;
  len = std::min(len, kMaxSymbols);
  bool inNumber = false;
  bool afterCaret = false;
  auto cell = [&](int i) -> const std::string& {
    static const std::string kEmpty;
    return (i >= 0 && i < static_cast<int>(sym.size())) ? sym[i] : kEmpty;
  };
  for (int i = 0; i <= len; ++i) {
    const std::string& cur = cell(i);
    // A symbol is one character; any other cell matches none of the ones tested here.
    const char c = cur.size() == 1 ? cur[0] : '\0';
    const int k = static_cast<int>(tok.size()) - 1;
    if ((c >= '0' && c <= '9') || c == '.') {
      if (inNumber) {
        tok[k] += cur;
      } else {
        tok.push_back(cur);
        inNumber = true;
      }
    } else if (c == '^') {
      tok.push_back(cur);
      afterCaret = true;
      inNumber = false;
    } else if (cur.empty()) {
    } else if (c == '/') {
      const std::string& next = cell(i + 1);
      const std::string& prev = cell(i - 1);
      if (next == "(" || prev == ")" || afterCaret || !inNumber || IsNumFraction(tok[k])) {
        tok.push_back(cur);
        inNumber = false;
      } else if (IsLetter(next)) {
        tok.push_back(cur);
      } else if (tok[std::max(k - 2, 0)] == "^" || !IsDigit(next)) {
        tok.push_back(cur);
        inNumber = false;
      } else {
        tok[k] += cur;
      }
    } else {
      tok.push_back(cur);
      inNumber = false;
      afterCaret = false;
    }
  }
}

bool TokenizeFormula(FormulaTables& t) {
  const int line = t.CurrentFunction;
  if (line < 0 || line >= kFormulaLines) return false;
  const int len = t.FormulaLen[line];
  if (len < 0 || len > kMaxSymbols) return false;
  StoreTokens(t, TokenizeSymbols(t.FormulaSym[line], len));
  return true;
}

void StoreTokens(FormulaTables& t, const std::vector<std::string>& tokens) {
  const int line = t.CurrentFunction;
  if (line < 0 || line >= kFormulaLines) return;
  CellLine& disp = t.FormulaDisp[line];
  for (auto& c : disp) c.clear();
  for (std::size_t p = 0; p < tokens.size() && p < disp.size(); ++p) disp[p] = tokens[p];
  t.DispLen = static_cast<std::int16_t>(tokens.size() - 1);
}

}  // namespace linoveta
