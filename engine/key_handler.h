// The single door through which a symbol reaches a formula line, with the key rules, the
// tokenizer and the translator it drives.
#pragma once

#include <cstdint>
#include <string>

#include "engine/engine_observer.h"
#include "engine/formula_tables.h"

namespace linoveta {

inline constexpr std::int16_t kKeyBackspace = 8;
inline constexpr std::int16_t kKeyEnter = 13;

// One key for the line CurrentFunction. index is not read (every box edits the current
// line). Sets KeyAccepted.
void Paper_KeyPress(FormulaTables& t, std::int16_t index, std::int16_t keyAscii,
                    EngineObserver& observer);
void Paper_KeyPress(FormulaTables& t, std::int16_t index, std::int16_t keyAscii);

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
