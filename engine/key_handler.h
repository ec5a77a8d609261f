// The single door through which a symbol reaches a formula line, with the key rules, the
// tokenizer and the translator it drives.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "engine/engine_observer.h"
#include "engine/formula_tables.h"
#include "engine/line_translation.h"

namespace linoveta {

inline constexpr std::int16_t kKeyBackspace = 8;
inline constexpr std::int16_t kKeyEnter = 13;

// A key's trial translation, kept so that a key that stays is translated only once. Its
// storage is reused from key to key.
struct KeyTrial {
  std::vector<std::string> tokens;
  int openBars = 0;
  LevelState levelBefore{};  // the level table it was translated from
  LevelState level{};        // and the one it leaves
  LineTranslation tr;
  std::string joined;  // JoinDisplayCells(tr.marked)
  std::string display;
  bool hasDisplay = false;
};

// The key handler's working storage, owned by the formula engine and reused from key to
// key: the translator's cells, a key's trial and the last translation shown. It only saves
// work: a fresh one gives the same tables as a reused one.
struct KeyWork {
  TranslationBuffers buffers;
  KeyTrial trial;
  KeyTrial last;
  bool lastValid = false;

  void RememberTrial() {
    std::swap(trial, last);
    lastValid = true;
  }
};

// One key for the line CurrentFunction. index is not read (every box edits the current
// line). Sets KeyAccepted.
//
// The work is in use from the key's translation until its line is shown. The observer calls
// made meanwhile (the commands' enabling, the hidden mirrors) must type no key; the one that
// may (the boxes' repaint, whose error message runs an event loop) comes after, when the
// work is free again.
void Paper_KeyPress(FormulaTables& t, KeyWork& work, std::int16_t index, std::int16_t keyAscii,
                    EngineObserver& observer);
void Paper_KeyPress(FormulaTables& t, KeyWork& work, std::int16_t index, std::int16_t keyAscii);

// The context rules: may key be appended to the current line? Updates the parts of the
// editing state the rules keep (depth, bar groups, HasEquals).
bool IsKeyAllowed(FormulaTables& t, const std::string& key);

// Recomputes the end-of-line state (exponent, root, decimal point, bar depth) from the
// whole current line.
void RescanLineState(FormulaTables& t);

// Sets DecimalInNumber, BarJustClosed and HasEquals from the current line's symbols, as the
// keys that built the line left them.
void RefreshLineFlags(FormulaTables& t);

// Symbols of the current line -> token list in FormulaDisp cells 1..DispLen.
// Returns false (and leaves the tables as they were) when the tokens would not fit.
bool TokenizeFormula(FormulaTables& t);

// Translates the current line's tokens: sets FormulaIncomplete, the commands (through the
// observer), ExpTyped/RootTyped, FormulaDisp (marked layout) and FormulaExpr. Returns the
// display text.
std::string FormatFormula(FormulaTables& t, EngineObserver& observer);
bool TranslateToEval(FormulaTables& t, EngineObserver& observer);

// Whether the formulas can be graphed: no line 0..9 incomplete and some line
// 0..LastFunction holds symbols.
bool CanGraph(const FormulaTables& t);

}  // namespace linoveta
