// Internal pieces of the tokenizer and translator, pure so that the key handler can check
// that a key's translation fits the tables before it keeps the key.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/engine_observer.h"
#include "engine/formula_tables.h"

namespace linoveta {

// A line holds at most this many tokens: the writing step reads 24 cells past the last.
inline constexpr int kMaxTokens = 493;

// Token k of the line in element k (element 0 empty).
std::vector<std::string> TokenizeSymbols(const CellLine& sym, int len);
// The same into tok, reusing its storage.
void TokenizeSymbols(const CellLine& sym, int len, std::vector<std::string>& tok);

using LevelState = std::array<std::array<std::int16_t, kLevelBars>, kLevelDepths>;

struct LineTranslation {
  bool fits = true;
  std::vector<std::string> marked;  // the marked token list, cells 0..2000
  int usedCells = 0;                // marked cells from here on are empty
  int endPos = 4;                   // the final next token cell
  bool incomplete = false;
  bool expOpen = false;   // exponent left open at the end of the line
  bool rootOpen = false;  // root left open at the end of the line
  std::string script;     // the finished script text
};

// Cells 0..1000 of a marked token list joined, as char2str_disp reads them once stored.
std::string JoinDisplayCells(const std::vector<std::string>& marked);

// The display text of a marked token list as the line's cells hold it: cells 0..1000
// joined, cut and closed as ShownDisplayText says. joined is JoinDisplayCells(marked).
std::string DisplayTextOf(const std::vector<std::string>& marked);
std::string DisplayTextOf(const std::vector<std::string>& marked, std::string joined);

// Working cells of a translation, kept by their owner between translations so that a key
// does not allocate and free two full lines of cells. Between translations every cell is
// empty again, so a fresh set gives the same results as a reused one.
struct TranslationBuffers {
  // Room past cell 2000 so that reads near the end need no special case; writes there count
  // as not fitting.
  static constexpr int kCells = kFormulaCells + 64;

  std::vector<std::string> ct = std::vector<std::string>(kCells);
  std::vector<std::string> out = std::vector<std::string>(kCells);
  std::vector<int> match = std::vector<int>(kCells, -1);
  std::vector<char> dropped = std::vector<char>(kCells, 0);
  std::string raw;
  int ctUsed = 0;  // ct cells from here on are empty
};

// Translates display tokens (element k = token k) of a line whose editor counts
// openBarCount open bars. levelState is the translator's persistent term-start table.
LineTranslation TranslateTokens(const std::vector<std::string>& tokens, int openBarCount,
                                LevelState& levelState);
// The same into result, reusing its cells and the caller's working cells.
void TranslateTokens(const std::vector<std::string>& tokens, int openBarCount,
                     LevelState& levelState, LineTranslation& result, TranslationBuffers& buffers);

// Writes a finished translation of the current line into the tables, with the observer
// calls, as TranslateToEval does after translating.
void KeepTranslation(FormulaTables& t, const LineTranslation& tr, EngineObserver& observer);
// The same with the marked cells already joined (JoinDisplayCells); without storeMarked
// the line's FormulaDisp cells are left as they are, for a caller that overwrites them.
void KeepTranslation(FormulaTables& t, const LineTranslation& tr, EngineObserver& observer,
                     const std::string& joinedDisplay, bool storeMarked);

// Writes a token list (element k = token k) into the current line's FormulaDisp cells and
// DispLen, as TokenizeFormula does.
void StoreTokens(FormulaTables& t, const std::vector<std::string>& tokens);

}  // namespace linoveta
