#include "engine/key_handler.h"

#include <algorithm>
#include <array>
#include <string>
#include <utility>
#include <vector>

#include "engine/line_translation.h"
#include "engine/shown_text.h"

namespace linoveta {

namespace {

bool ValidLine(int line) { return line >= 0 && line < kFormulaLines; }

std::string KeyText(std::int16_t code) {
  if (code < 0 || code > 127) return "\x7f";  // no category accepts it
  return std::string(1, static_cast<char>(code));
}

bool MaskHas(std::int16_t mask, int bit) { return (static_cast<std::uint16_t>(mask) >> bit) & 1u; }

// The key-mask category test; the first matching category decides.
bool CategoryAccepts(std::int16_t mask, const std::string& key) {
  if (IsDigit(key)) return MaskHas(mask, kMaskDigits);
  if (key == "+" || key == "-") return MaskHas(mask, kMaskSigns);
  if (key == "*") return MaskHas(mask, kMaskTimes);
  if (key == "/") return MaskHas(mask, kMaskDivide);
  if (key == "^") return MaskHas(mask, kMaskCaret);
  if (key == "(" || key == ")") return MaskHas(mask, kMaskParens);
  if (key == "=") return MaskHas(mask, kMaskEquals);
  if (IsLetter(key))
    return MaskHas(mask, kMaskLetters) &&
           (key == "x" || key == "X" || key == "S" || key == "C" || key == "T" || key == "P");
  if (key == "~") return MaskHas(mask, kMaskRoot);
  if (key == "|") return MaskHas(mask, kMaskBar);
  if (key == ".") return MaskHas(mask, kMaskPoint);
  if (key == ",") return MaskHas(mask, kMaskComma);
  if (key == ":") return MaskHas(mask, kMaskColon);
  if (key == "%") return MaskHas(mask, kMaskPercent);
  return false;
}

// What a key may change besides the display and script forms; restored when the key's
// translation would not fit the tables. A key changes at most the cells len-3..len of its
// line (it stores one symbol at len, or a backspace removes up to three), so only the cells
// from len-3 on are kept: restoring leaves the line as it was, with every cell from len on
// empty.
struct LineSnapshot {
  explicit LineSnapshot(const FormulaTables& t, int line)
      : line(line),
        len(t.FormulaLen[line]),
        edit(t.Edit[line]),
        decimal(t.DecimalInNumber),
        barClosed(t.BarJustClosed),
        equals(t.HasEquals) {
    const CellLine& sym = t.FormulaSym[line];
    keep = std::min<int>(std::max<int>(len, 0), static_cast<int>(sym.size()));
    first = std::max(keep - 3, 0);
    tail.assign(sym.begin() + first, sym.begin() + keep);
  }
  void Restore(FormulaTables& t) const {
    CellLine& sym = t.FormulaSym[line];
    for (int i = first; i < keep; ++i) sym[i] = tail[i - first];
    for (std::size_t i = keep; i < sym.size(); ++i)
      if (!sym[i].empty()) sym[i].clear();
    t.FormulaLen[line] = len;
    t.Edit[line] = edit;
    t.DecimalInNumber = decimal;
    t.BarJustClosed = barClosed;
    t.HasEquals = equals;
  }
  int line;
  std::int16_t len;
  LineEditState edit;
  bool decimal, barClosed, equals;
  int keep = 0;   // cells 0..keep-1 held symbols
  int first = 0;  // the first cell kept in tail
  std::vector<std::string> tail;
};

void RemoveLast(FormulaTables& t, int line) {
  std::int16_t& len = t.FormulaLen[line];
  if (len <= 0) return;
  --len;
  t.FormulaSym[line][len].clear();
}

void Backspace(FormulaTables& t, int line) {
  LineEditState& e = t.Edit[line];
  CellLine& sym = t.FormulaSym[line];
  const int len = t.FormulaLen[line];
  const std::string s = sym[len - 1];
  if (s == "~" && e.RootTyped) e.RootTyped = false;
  if (s == "=") t.HasEquals = false;
  if (s == "^") e.ExpTyped = false;
  if (s == "|") {
    if (e.AbsTyped) {
      e.AbsTyped = false;
      --e.OpenBarCount;
    } else {
      e.AbsTyped = true;
      ++e.OpenBarCount;
    }
  }
  if (s == ")") ++e.ParenDepth;
  if (s == "(") {
    --e.ParenDepth;
    // A function name always goes together with its "(".
    if (len > 1 && (sym[len - 2] == "S" || sym[len - 2] == "C" || sym[len - 2] == "T"))
      RemoveLast(t, line);
  }
  RemoveLast(t, line);
  const int now = t.FormulaLen[line];
  if (now > 0 && sym[now - 1] == "^") {
    RemoveLast(t, line);
    e.ExpTyped = false;
  }
  // As typing the shorter line would leave it: set when its last bar closed a group (bars
  // alternate, so when it holds an even number of them). Otherwise a removed opening bar
  // would keep "^" refused after the closing bar before it.
  int bars = 0;
  for (int i = 0; i < t.FormulaLen[line]; ++i) bars += sym[i] == "|" ? 1 : 0;
  t.BarJustClosed = bars > 0 && bars % 2 == 0;
}

// Translates trial.tokens as the current line's; the result depends on nothing else than
// the tokens, the open bar count and the level table.
void Translate(const FormulaTables& t, KeyTrial& trial, TranslationBuffers& buffers) {
  trial.openBars = t.Edit[t.CurrentFunction].OpenBarCount;
  trial.levelBefore = t.ConvLevelState;
  trial.level = t.ConvLevelState;
  trial.hasDisplay = false;
  TranslateTokens(trial.tokens, trial.openBars, trial.level, trial.tr, buffers);
  trial.joined = JoinDisplayCells(trial.tr.marked);
}

// What finishing the current line, as a stored key leaves it, puts into it: an operand for a
// last key that waits for one (a digit: one symbol, at most one token and one script
// character), then a ")" or "|" for each group still open (one of each apiece). Without room
// for it a line could end in an operator that no key may follow.
struct FinishRoom {
  int operand = 0;
  int tokens = 0;
  int closers = 0;
};

FinishRoom FinishOf(const FormulaTables& t) {
  const int line = t.CurrentFunction;
  const int len = t.FormulaLen[line];
  const LineEditState& e = t.Edit[line];
  const std::string& last = len > 0 ? t.FormulaSym[line][len - 1] : std::string();
  const bool openingBar = last == "|" && e.AbsTyped;
  const bool waits = IsOperator(last) || last == "(" || last == "^" || last == "~" || openingBar;
  FinishRoom room;
  room.closers = std::max<int>(e.ParenDepth, 0) + (e.AbsTyped ? 1 : 0);
  // A digit after "." joins its number, so it adds no token.
  room.operand = waits || last == "." ? 1 : 0;
  room.tokens = waits ? 1 : 0;
  return room;
}

// The symbol and token room, known from the tokens alone: checked before translating, so
// that the keys refused at the token bound cost no translation of the whole line.
bool RoomToFinishTokens(const FormulaTables& t, const KeyTrial& trial, const FinishRoom& room) {
  int tokens = 0;
  for (const std::string& token : trial.tokens) tokens += token.empty() ? 0 : 1;
  return t.FormulaLen[t.CurrentFunction] + room.operand + room.closers <= kMaxSymbols &&
         tokens + room.tokens + room.closers <= kMaxTokens;
}

// Would the current line's translation fit the tables, and, when asked, could the
// typesetter show its display text? The translation is left in trial.
bool LineFits(const FormulaTables& t, bool mustShow, KeyWork& work) {
  KeyTrial& trial = work.trial;
  const int line = t.CurrentFunction;
  const int len = t.FormulaLen[line];
  trial.hasDisplay = false;
  if (len < 0 || len > kMaxSymbols) return false;
  TokenizeSymbols(t.FormulaSym[line], len, trial.tokens);
  FinishRoom room;
  if (mustShow) {
    room = FinishOf(t);
    if (!RoomToFinishTokens(t, trial, room)) return false;
  }
  Translate(t, trial, work.buffers);
  if (!trial.tr.fits) return false;
  if (!mustShow) return true;
  if (static_cast<int>(trial.tr.script.size()) + room.operand + room.closers > kFormulaCells)
    return false;
  trial.display = DisplayTextOf(trial.tr.marked, trial.joined);
  trial.hasDisplay = true;
  return TypesetterCanShowFinished(trial.display);
}

// Writes a translation of the current line as the plain path (TokenizeFormula, then
// FormatFormula, then str2char_disp) would. The token and marked cells that path stores in
// FormulaDisp are overwritten by the display text at once, so only what remains of them is
// written: DispLen and the display mirror.
void ShowTranslation(FormulaTables& t, EngineObserver& observer, KeyTrial& trial) {
  t.ConvLevelState = trial.level;
  KeepTranslation(t, trial.tr, observer, trial.joined, false);
  if (!trial.hasDisplay) {
    trial.display = DisplayTextOf(trial.tr.marked, trial.joined);
    trial.hasDisplay = true;
  }
  str2char_disp(t, trial.display, t.CurrentFunction);
}

// Shows the current line. A kept key's trial is written as it is; otherwise the line is
// translated, unless it is the last translation's line with the same bar count and level
// table (a refused key restores the line the previous key showed), which is then written
// again.
void ShowLine(FormulaTables& t, EngineObserver& observer, KeyWork& work, bool kept) {
  const int line = t.CurrentFunction;
  const int len = t.FormulaLen[line];
  if (kept) {
    ShowTranslation(t, observer, work.trial);
    work.RememberTrial();
  } else if (len < 0 || len > kMaxSymbols) {
    TokenizeFormula(t);
    str2char_disp(t, FormatFormula(t, observer), line);
  } else {
    KeyTrial& trial = work.trial;
    TokenizeSymbols(t.FormulaSym[line], len, trial.tokens);
    if (work.lastValid && work.last.openBars == t.Edit[line].OpenBarCount &&
        work.last.levelBefore == t.ConvLevelState && work.last.tokens == trial.tokens) {
      ShowTranslation(t, observer, work.last);
    } else {
      Translate(t, trial, work.buffers);
      ShowTranslation(t, observer, trial);
      work.RememberTrial();
    }
  }
  observer.RedrawFormulaBoxes();
}

}  // namespace

void Paper_KeyPress(FormulaTables& t, KeyWork& work, std::int16_t /*index*/,
                    std::int16_t keyAscii, EngineObserver& observer) {
  const int line = t.CurrentFunction;
  if (keyAscii == kKeyEnter && CanGraph(t)) observer.GraphFunctions();
  t.KeyAccepted = false;
  if (!ValidLine(line)) return;

  // The decimal-point, bar and "=" flags are kept for the line being edited only; the last
  // key may have been typed into another box, so they are read afresh from this line.
  RefreshLineFlags(t);
  std::string key = KeyText(keyAscii);
  const LineSnapshot before(t, line);
  bool changed = false;
  bool stored = false;
  if (t.KeyMask >= 1) {
    if (keyAscii != kKeyBackspace && CategoryAccepts(t.KeyMask, key)) {
      t.KeyAccepted = true;
      CollectLetters(t);
      if (key == "X") key = "x";
      std::int16_t& len = t.FormulaLen[line];
      if ((key == "S" || key == "C" || key == "T") && !t.AllowTrigLetters) {
        t.KeyAccepted = false;
      } else if (len < 0 || len >= kMaxSymbols) {
        t.KeyAccepted = false;
      } else if (IsKeyAllowed(t, key)) {
        t.FormulaSym[line][len] = key;
        ++len;
        changed = stored = true;
      } else {
        t.KeyAccepted = false;
      }
    }
    if (keyAscii == kKeyBackspace && t.FormulaLen[line] >= 1 &&
        t.FormulaLen[line] <= kMaxSymbols) {
      t.KeyAccepted = true;
      Backspace(t, line);
      changed = true;
    }
    // A changed line is re-scanned once its key is kept or refused: whether it fits reads
    // nothing the re-scan sets, and a refused key's scan would only be undone.
    if (!changed) RescanLineState(t);
  }
  // A stored key is refused, like one past the tables, when the typesetter could not show
  // the line it makes.
  bool kept = false;
  if (changed) {
    kept = LineFits(t, stored, work);
    if (!kept) {
      before.Restore(t);
      t.KeyAccepted = false;
    }
    RescanLineState(t);
  }
  ShowLine(t, observer, work, kept);
}

void Paper_KeyPress(FormulaTables& t, KeyWork& work, std::int16_t index, std::int16_t keyAscii) {
  EngineObserver none;
  Paper_KeyPress(t, work, index, keyAscii, none);
}

namespace {

// What the re-scan asks of one symbol cell, as bits read once per cell.
enum SymbolBit : std::uint16_t {
  kCaret = 1 << 0,
  kPoint = 1 << 1,
  kOpen = 1 << 2,
  kClose = 1 << 3,
  kRoot = 1 << 4,
  kBar = 1 << 5,
  kDigit = 1 << 6,
  kLetter = 1 << 7,
  kOp = 1 << 8,
  kMinus = 1 << 9,
  kTrig = 1 << 10,
};

constexpr std::array<std::uint16_t, 256> MakeSymbolBits() {
  std::array<std::uint16_t, 256> bits{};
  for (int c = '0'; c <= '9'; ++c) bits[c] = kDigit;
  for (int c = 'A'; c <= 'Z'; ++c) bits[c] = kLetter;
  for (int c = 'a'; c <= 'z'; ++c) bits[c] = kLetter;
  bits['S'] |= kTrig;
  bits['C'] |= kTrig;
  bits['T'] |= kTrig;
  bits['^'] = kCaret;
  bits['.'] = kPoint;
  bits['('] = kOpen;
  bits[')'] = kClose;
  bits['~'] = kRoot;
  bits['|'] = kBar;
  bits['+'] = bits['*'] = bits['/'] = kOp;
  bits['-'] = kOp | kMinus;
  return bits;
}
constexpr std::array<std::uint16_t, 256> kSymbolBits = MakeSymbolBits();

inline std::uint16_t ClassOf(const std::string& s) {
  if (s.size() == 1) return kSymbolBits[static_cast<unsigned char>(s[0])];
  return IsLetter(s) ? kLetter : 0;  // a longer text is never a digit, an operator or a mark
}

}  // namespace

namespace {

// The re-scan of a line's symbols into its editing state and the decimal-point flag.
void ScanLine(const CellLine& sym, int len, LineEditState& e, bool& decimal) {
  decimal = false;
  e.AbsInExp = false;
  // A line without bars has no group start; only read while a group is open or AbsInExp.
  e.AbsStartDepth = 0;
  int depth = 0;
  bool expState = false;
  int expDepth = 0;
  int rootDepth = 0;
  bool groupOpen = false;
  bool barAfterCaret = false;
  // The first symbol is its own predecessor.
  std::uint16_t p = len > 0 ? ClassOf(sym[0]) : 0;
  for (int i = 0; i < len; ++i) {
    const std::uint16_t s = ClassOf(sym[i]);
    if (s & kCaret) {
      expState = true;
      expDepth = depth;
      decimal = false;
    } else if (s & kPoint) {
      decimal = true;
    } else if (s & kOpen) {
      if (p & kCaret) {
        expDepth = depth;
      } else if (!(p & kTrig) && expDepth == depth) {
        expState = false;
      }
      ++depth;
      decimal = false;
    } else if (s & kClose) {
      if (expDepth == depth) expState = false;
      if (e.RootTyped && rootDepth == depth) e.RootTyped = false;
      --depth;
      decimal = false;
    } else if (s & kRoot) {
      rootDepth = depth;
      expState = false;
      e.RootTyped = true;
      decimal = false;
    } else if (s & kBar) {
      decimal = false;
      if (groupOpen) {
        groupOpen = false;
        e.AbsStartDepth = 0;
      } else {
        groupOpen = true;
        e.AbsStartDepth = static_cast<std::int16_t>(depth);
        if (depth > expDepth && expState) {
          e.AbsInExp = true;
        } else {
          expState = false;
          e.AbsInExp = false;
        }
      }
      barAfterCaret = (p & kCaret) != 0;
    } else if (s & (kDigit | kLetter | kOp)) {
      const bool op = (s & kOp) != 0;
      if (!(p & kCaret) && op && expState && expDepth == depth && !barAfterCaret) {
        expState = false;
        decimal = false;
        if (depth == rootDepth && !groupOpen) e.RootTyped = false;
      } else {
        const bool rootEnds = op && e.RootTyped && rootDepth == depth;
        if (((p & kCaret) || rootDepth != 0) && ((p & (kRoot | kCaret)) || !rootEnds)) {
          if (op) decimal = false;
        } else if (!((s & (kDigit | kLetter)) || ((s & kMinus) && (p & kRoot)))) {
          decimal = false;
          if (rootDepth == depth) e.RootTyped = false;
        }
      }
    }
    p = s;
  }
  e.ExpTyped = expState;
}

}  // namespace

void RescanLineState(FormulaTables& t) {
  const int line = t.CurrentFunction;
  if (!ValidLine(line)) return;
  ScanLine(t.FormulaSym[line], std::min<int>(t.FormulaLen[line], kMaxSymbols), t.Edit[line],
           t.DecimalInNumber);
}

void RefreshLineFlags(FormulaTables& t) {
  const int line = t.CurrentFunction;
  if (!ValidLine(line)) return;
  const CellLine& sym = t.FormulaSym[line];
  const int len = std::clamp<int>(t.FormulaLen[line], 0, kMaxSymbols);
  // The re-scan's decimal-point flag depends on the symbols alone, and only on the last
  // symbol that is not a digit, a letter or an unmarked one: "." sets it, every other mark
  // and operator clears it (a "-" that keeps it follows a "~", which cleared it). Reading
  // back to that symbol spares a scan of the whole line on every key.
  t.DecimalInNumber = false;
  for (int i = len - 1; i >= 0; --i) {
    const std::uint16_t s = ClassOf(sym[i]);
    if (s == 0 || (s & (kDigit | kLetter))) continue;
    t.DecimalInNumber = (s & kPoint) != 0;
    break;
  }
  // Bars open and close alternately, so the last one closed a group when there is an even
  // number of them.
  int bars = 0;
  bool equals = false;
  for (int i = 0; i < len; ++i) {
    if (sym[i].size() != 1) continue;
    bars += sym[i][0] == '|' ? 1 : 0;
    equals = equals || sym[i][0] == '=';
  }
  t.BarJustClosed = bars > 0 && bars % 2 == 0;
  t.HasEquals = equals;
}

}  // namespace linoveta
