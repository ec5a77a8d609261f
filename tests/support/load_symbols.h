// Test helper: puts symbols straight into a formula line, past the key rules, so that tests can
// reach lines that typing could not build.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/engine_observer.h"
#include "engine/formula_tables.h"
#include "engine/key_handler.h"
#include "engine/line_translation.h"

namespace linoveta {

// Replaces line's symbols by the given ones (one character per symbol), sets CurrentFunction
// to line and runs the re-scan and translation as a key would. Returns false, changing
// nothing, when the symbols do not fit the tables.
inline bool LoadSymbolsForTest(FormulaTables& t, int line, std::string_view symbols,
                               EngineObserver& observer) {
  if (line < 0 || line >= kFormulaLines || symbols.size() > static_cast<std::size_t>(kMaxSymbols))
    return false;
  CellLine sym(kFormulaCells);
  LineEditState e;
  bool barJustClosed = false, hasEquals = false;
  for (std::size_t i = 0; i < symbols.size(); ++i) {
    const char c = symbols[i];
    sym[i].assign(1, c);
    // The state the key rules would have carried.
    if (c == '(') ++e.ParenDepth;
    if (c == ')') --e.ParenDepth;
    if (c == '=') hasEquals = true;
    if (c == '|') {
      e.AbsTyped = !e.AbsTyped;
      e.OpenBarCount = e.AbsTyped ? 1 : 0;
      barJustClosed = !e.AbsTyped;
    }
  }
  const int len = static_cast<int>(symbols.size());
  LevelState scratch = t.ConvLevelState;
  if (!TranslateTokens(TokenizeSymbols(sym, len), e.OpenBarCount, scratch).fits) return false;

  t.CurrentFunction = static_cast<std::int16_t>(line);
  t.FormulaSym[line] = std::move(sym);
  t.FormulaLen[line] = static_cast<std::int16_t>(len);
  t.Edit[line] = e;
  t.BarJustClosed = barJustClosed;
  t.HasEquals = hasEquals;
  RescanLineState(t);
  TokenizeFormula(t);
  str2char_disp(t, FormatFormula(t, observer), line);
  observer.RedrawFormulaBoxes();
  return true;
}

}  // namespace linoveta
