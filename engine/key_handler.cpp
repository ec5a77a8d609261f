#include "engine/key_handler.h"

#include <string>
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
// translation would not fit the tables.
struct LineSnapshot {
  explicit LineSnapshot(const FormulaTables& t, int line)
      : line(line),
        len(t.FormulaLen[line]),
        edit(t.Edit[line]),
        decimal(t.DecimalInNumber),
        barClosed(t.BarJustClosed),
        equals(t.HasEquals) {
    const int keep = std::min<int>(std::max<int>(len, 0), kFormulaCells);
    symbols.assign(t.FormulaSym[line].begin(), t.FormulaSym[line].begin() + keep);
  }
  void Restore(FormulaTables& t) const {
    CellLine& sym = t.FormulaSym[line];
    for (auto& c : sym) c.clear();
    std::copy(symbols.begin(), symbols.end(), sym.begin());
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
  std::vector<std::string> symbols;
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

// A key's trial translation, kept so that a key that stays is translated only once.
struct Trial {
  std::vector<std::string> tokens;
  LevelState level;
  LineTranslation tr;
  std::string display;
  bool hasDisplay = false;
};

// Would the current line's translation fit the tables, and, when asked, could the
// typesetter show its display text? The translation is left in trial.
bool LineFits(const FormulaTables& t, bool mustShow, Trial& trial) {
  const int line = t.CurrentFunction;
  const int len = t.FormulaLen[line];
  if (len < 0 || len > kMaxSymbols) return false;
  trial.tokens = TokenizeSymbols(t.FormulaSym[line], len);
  trial.level = t.ConvLevelState;
  trial.tr = TranslateTokens(trial.tokens, t.Edit[line].OpenBarCount, trial.level);
  if (!trial.tr.fits) return false;
  if (!mustShow) return true;
  trial.display = DisplayTextOf(trial.tr.marked);
  trial.hasDisplay = true;
  return TypesetterCanShowFinished(trial.display);
}

// Shows the current line; with a trial of the line as it stands, writes the trial's
// result instead of translating the line again (the translation depends only on the
// tokens, the open bar count and the level table, all unchanged since the trial).
void ShowLine(FormulaTables& t, EngineObserver& observer, const Trial* trial) {
  std::string display;
  if (trial) {
    StoreTokens(t, trial->tokens);
    t.ConvLevelState = trial->level;
    KeepTranslation(t, trial->tr, observer);
    display = trial->hasDisplay ? trial->display : DisplayTextOf(trial->tr.marked);
  } else {
    TokenizeFormula(t);
    display = FormatFormula(t, observer);
  }
  str2char_disp(t, display, t.CurrentFunction);
  observer.RedrawFormulaBoxes();
}

}  // namespace

void Paper_KeyPress(FormulaTables& t, std::int16_t /*index*/, std::int16_t keyAscii,
                    EngineObserver& observer) {
  const int line = t.CurrentFunction;
  if (keyAscii == kKeyEnter && CanGraph(t)) observer.GraphFunctions();
  t.KeyAccepted = false;
  if (!ValidLine(line)) return;

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
    RescanLineState(t);
  }
  // A stored key is refused, like one past the tables, when the typesetter could not show
  // the line it makes.
  Trial trial;
  bool kept = false;
  if (changed) {
    kept = LineFits(t, stored, trial);
    if (!kept) {
      before.Restore(t);
      t.KeyAccepted = false;
    }
  }
  ShowLine(t, observer, kept ? &trial : nullptr);
}

void Paper_KeyPress(FormulaTables& t, std::int16_t index, std::int16_t keyAscii) {
  EngineObserver none;
  Paper_KeyPress(t, index, keyAscii, none);
}

void RescanLineState(FormulaTables& t) {
  const int line = t.CurrentFunction;
  if (!ValidLine(line)) return;
  const CellLine& sym = t.FormulaSym[line];
  const int len = std::min<int>(t.FormulaLen[line], kMaxSymbols);
  LineEditState& e = t.Edit[line];
  t.DecimalInNumber = false;
  e.AbsInExp = false;
  // A line without bars has no group start; only read while a group is open or AbsInExp.
  e.AbsStartDepth = 0;
  int depth = 0;
  bool expState = false;
  int expDepth = 0;
  int rootDepth = 0;
  bool groupOpen = false;
  bool barAfterCaret = false;
  for (int i = 0; i < len; ++i) {
    const std::string& s = sym[i];
    const std::string& p = i > 0 ? sym[i - 1] : sym[0];
    if (s == "^") {
      expState = true;
      expDepth = depth;
      t.DecimalInNumber = false;
    } else if (s == ".") {
      t.DecimalInNumber = true;
    } else if (s == "(") {
      if (p == "^") {
        expDepth = depth;
      } else if (p != "S" && p != "C" && p != "T" && expDepth == depth) {
        expState = false;
      }
      ++depth;
      t.DecimalInNumber = false;
    } else if (s == ")") {
      if (expDepth == depth) expState = false;
      if (e.RootTyped && rootDepth == depth) e.RootTyped = false;
      --depth;
      t.DecimalInNumber = false;
    } else if (s == "~") {
      rootDepth = depth;
      expState = false;
      e.RootTyped = true;
      t.DecimalInNumber = false;
    } else if (s == "|") {
      t.DecimalInNumber = false;
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
      barAfterCaret = p == "^";
    } else if (IsDigit(s) || IsLetter(s) || IsOperator(s)) {
      const bool op = IsOperator(s);
      if (p != "^" && op && expState && expDepth == depth && !barAfterCaret) {
        expState = false;
        t.DecimalInNumber = false;
        if (depth == rootDepth && !groupOpen) e.RootTyped = false;
      } else {
        const bool rootEnds = op && e.RootTyped && rootDepth == depth;
        if ((p == "^" || rootDepth != 0) && (p == "~" || p == "^" || !rootEnds)) {
          if (op) t.DecimalInNumber = false;
        } else if (!(IsDigit(s) || IsLetter(s) || (s == "-" && p == "~"))) {
          t.DecimalInNumber = false;
          if (rootDepth == depth) e.RootTyped = false;
        }
      }
    }
  }
  e.ExpTyped = expState;
}

}  // namespace linoveta
