// The formula tables and editing state shared by the key handler, the key rules, the
// tokenizer, the translator and the evaluator, with the helpers that join and split lines.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace linoveta {

// Table bounds. Every index into the tables below stays inside them; input that would not
// fit is refused by the key handler.
inline constexpr int kFormulaLines = 11;      // lines 0..10; the window edits 0..4
inline constexpr int kEditedLines = 5;        // lines with a formula box
inline constexpr int kCompletenessLines = 10; // lines 0..9 take part in CanGraph
inline constexpr int kFormulaCells = 2001;    // cells 0..2000 of every line
inline constexpr int kMaxSymbols = 1999;      // the tokenizer reads the cell after the last
inline constexpr int kDisplayJoinCells = 1001; // char2str_disp joins cells 0..1000
inline constexpr int kVarLetterCells = 26;
inline constexpr int kVarLettersCleared = 21; // CollectLetters/ClearAllFormulas empty 0..20
inline constexpr int kLevelDepths = 11;       // ConvLevelState first index 0..10
inline constexpr int kLevelBars = 5;          // ConvLevelState second index 0..4

// KeyMask bits.
enum KeyMaskBit : int {
  kMaskDigits = 0,
  kMaskSigns = 1,      // "+" and "-"
  kMaskTimes = 2,
  kMaskDivide = 3,
  kMaskCaret = 4,
  kMaskParens = 5,
  kMaskEquals = 6,
  kMaskLetters = 7,
  kMaskRoot = 8,
  kMaskBar = 9,
  kMaskPoint = 10,
  kMaskComma = 11,
  kMaskColon = 12,
  kMaskPercent = 13,
};

// The mask the main window installs at start: every category but "=", ",", ":" and "%".
inline constexpr std::string_view kStartupKeyMaskText = "00011110111111";  // 1983

// One line of cells; always holds exactly kFormulaCells strings, an empty one is a free cell.
using CellLine = std::vector<std::string>;

// Editing state of one line, as the key rules and the key handler's re-scan keep it.
struct LineEditState {
  std::int16_t ParenDepth = 0;
  bool ExpTyped = false;
  bool RootTyped = false;
  bool AbsTyped = false;
  std::int16_t OpenBarCount = 0;
  std::int16_t AbsStartDepth = 0;
  bool AbsInExp = false;
};

// All formula storage of the program (the two globals modules in one plain struct). Tables
// are indexed line first: FormulaSym[line][cell].
struct FormulaTables {
  FormulaTables();

  std::array<CellLine, kFormulaLines> FormulaSym;   // typed symbols
  std::array<std::int16_t, kFormulaLines> FormulaLen{};
  std::array<CellLine, kFormulaLines> FormulaDisp;  // display mark-up / token list
  std::int16_t DispLen = 0;                         // one value, not per line
  std::array<CellLine, kFormulaLines> FormulaExpr;  // script form

  CellLine Tokens;  // the term breakdown's working token list
  std::int16_t TokenCount = 0;
  std::int16_t EquationSide = 0;  // the breakdown's side index, reset by ClearAllFormulas

  std::array<std::string, kVarLetterCells> VarLetters;
  std::int16_t VarCount = 0;

  std::array<LineEditState, kFormulaLines> Edit;
  std::array<bool, kFormulaLines> FormulaIncomplete{};

  // Values of the line being edited; each key reads them afresh from its own line, since the
  // key before may have been typed into another box.
  bool DecimalInNumber = false;
  bool BarJustClosed = false;
  bool HasEquals = false;

  // Values of the editor as a whole.
  std::int16_t KeyMask = 0;
  bool AllowTrigLetters = false;
  bool KeyAccepted = false;
  std::int16_t CurrentFunction = 0;
  std::int16_t LastFunction = 0;  // highest non-empty line, kept by the box repaint

  // Translator state that outlives one translation.
  std::array<std::array<std::int16_t, kLevelBars>, kLevelDepths> ConvLevelState{};
  std::array<bool, kFormulaLines> ExpOpen{};
  std::array<bool, kFormulaLines> FracOpen{};
  std::array<bool, kFormulaLines> RootOpen{};
};

// Value of a text of binary digits, most significant first; any character but "1" is a 0.
// Only the low 16 bits are kept, so a long text wraps instead of overflowing.
std::int16_t BinToInt(std::string_view bits);

// Joins of a line's non-empty cells. Out-of-range lines give the empty text.
std::string char2str_disp(const FormulaTables& t, int line);  // cells 0..1000 only
std::string char2str_sym(const FormulaTables& t, int line);
std::string char2str_symcur(const FormulaTables& t);
std::string char2str_expr(const FormulaTables& t, int line);
std::string char2str_tokens(const FormulaTables& t);  // cells 0..TokenCount+5

// Empties the line's display cells, then stores text one character per cell from cell 0;
// characters after the 2001st are dropped.
void str2char_disp(FormulaTables& t, std::string_view text, int line);
// The same for the script form.
void str2char_expr(FormulaTables& t, std::string_view text, int line);

bool IsLetter(std::string_view ch);
bool IsOperator(std::string_view ch);
bool IsSign(std::string_view ch);
bool IsDigit(std::string_view ch);  // one of "0".."9"
bool IsNumFraction(std::string_view token);
// The locale's numeric test as the translator applies it to a cell: a plain number text.
bool IsNumericText(std::string_view text);

void CollectLetters(FormulaTables& t);
int LetterIndex(const FormulaTables& t, std::string_view ch);

// Empties all formula storage; the flag is unused (callers pass true).
void ClearAllFormulas(FormulaTables& t, bool flag = true);

}  // namespace linoveta
