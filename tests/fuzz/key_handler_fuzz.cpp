// Types arbitrary key streams into the formula lines and checks, after every key, what it
// changed at the line's end; after every single key and every run of keys, that the tables
// describe the whole typed line and that it can be shown; at the end, that every line
// typesets without the error on the screen (and on every back end whose tables hold it), comes
// back the same from a saved document, and means the same typed again beside other boxes.
//
// Input: a byte below 0x80 is that key; 0x80..0xBF a command (bits 0-2: 0..2 the sin, cos
// and tan commands, 3 another line (bits 3-5), 4..7 Backspace); 0xC0..0xDF repeats the next
// byte, 0xE0..0xFF the next two, 2..29 times or 250, 500, 1000 or 2000 times (bits 0-4), so
// that short inputs reach the 1999-symbol line, the 493-token and 2001-cell tables and the
// typesetter's limits.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <QString>

#include "engine/calc_fx.h"
#include "engine/formula_engine.h"
#include "engine/key_handler.h"
#include "engine/shown_text.h"
#include "typeset/formula_typesetter.h"
#include "typeset/recording_surface.h"
#include "workspace/graph_document.h"

namespace {

using namespace linoveta;

[[noreturn]] void Fail(const char* what, const FormulaTables& t) {
  std::fprintf(stderr, "invariant broken: %s\nline %d: \"%s\"\ndisplay: \"%s\"\nscript: \"%s\"\n",
               what, t.CurrentFunction, char2str_sym(t, t.CurrentFunction).c_str(),
               char2str_disp(t, t.CurrentFunction).c_str(),
               char2str_expr(t, t.CurrentFunction).c_str());
  std::abort();
}

bool IsSymbol(const std::string& s) {
  static const std::string kAlphabet = "0123456789.x+-*/^()~|PSCT";
  return s.size() == 1 && kAlphabet.find(s[0]) != std::string::npos;
}

// What the harness knows a line holds: the symbols accepted so far, and the bracket depth
// and bar count after each, so that a key can be checked without reading the whole line.
struct Shadow {
  std::string sym;
  std::vector<int> depth{0}, bars{0};  // [i]: after the first i symbols

  void Push(char c) {
    sym += c;
    depth.push_back(depth.back() + (c == '(') - (c == ')'));
    bars.push_back(bars.back() + (c == '|'));
  }
  void Resize(std::size_t n) {
    sym.resize(n);
    depth.resize(n + 1);
    bars.resize(n + 1);
  }
};
Shadow shadows[kEditedLines];

// Cells 0..n-1 hold one character each and every later cell is empty.
void CheckPacked(const CellLine& cells, int n, bool symbols, const char* what,
                 const FormulaTables& t) {
  if (static_cast<int>(cells.size()) != kFormulaCells) Fail(what, t);
  for (int i = 0; i < kFormulaCells; ++i) {
    if (i < n && (cells[i].size() != 1 || (symbols && !IsSymbol(cells[i])))) Fail(what, t);
    if (i >= n && !cells[i].empty()) Fail(what, t);
  }
}

int FirstEmpty(const CellLine& cells) {
  for (int i = 0; i < static_cast<int>(cells.size()); ++i)
    if (cells[i].empty()) return i;
  return static_cast<int>(cells.size());
}

// After every key, in time independent of the line's length: the key changed the line's end
// as its acceptance says (a refused key nothing, a stored one one symbol, a Backspace up to
// three), and the edit state follows the brackets and bars. What a key could change further
// back shows when the whole line is compared with its shadow (CheckLine).
void CheckKey(const FormulaTables& t, int beforeLen, std::int16_t key, bool accepted,
              bool bareFunctionAtEnd = false) {
  const int line = t.CurrentFunction;
  Shadow& shadow = shadows[line];
  const CellLine& cells = t.FormulaSym[line];
  const int len = t.FormulaLen[line];
  if (len < 0 || len > kMaxSymbols) Fail("line length within 0..1999", t);
  if (!accepted) {
    if (len != beforeLen) Fail("a refused key leaves the line as it was", t);
  } else if (key == kKeyBackspace) {
    if (len >= beforeLen || len < beforeLen - 3) Fail("a Backspace removes one to three symbols", t);
    for (int i = len; i < beforeLen; ++i)
      if (!cells[static_cast<std::size_t>(i)].empty()) Fail("a Backspace empties its cells", t);
    shadow.Resize(static_cast<std::size_t>(len));
  } else {
    const std::string& stored = cells[static_cast<std::size_t>(len - 1)];
    if (len != beforeLen + 1 || !IsSymbol(stored) ||
        stored[0] != (key == 'X' ? 'x' : static_cast<char>(key)))
      Fail("an accepted key is stored as one symbol at the end", t);
    shadow.Push(stored[0]);
  }
  if (shadow.sym.size() != static_cast<std::size_t>(len) ||
      (len > 0 && cells[static_cast<std::size_t>(len - 1)] != std::string(1, shadow.sym.back())))
    Fail("the line ends as its keys left it", t);
  if (!cells[static_cast<std::size_t>(len)].empty()) Fail("symbols packed from cell 0", t);

  const int depth = shadow.depth.back(), bars = shadow.bars.back();
  const LineEditState& e = t.Edit[line];
  if (depth < 0) Fail("no ')' without its '('", t);
  if (e.ParenDepth != depth || depth > 3) Fail("ParenDepth counts the open '('", t);
  if (e.AbsTyped != (bars % 2 == 1) || e.OpenBarCount != bars % 2)
    Fail("bar state follows the bars", t);
  const auto function = [](char c) { return c == 'S' || c == 'C' || c == 'T'; };
  // Every pair of neighbours was once the line's end, so checking the end checks them all.
  if (len >= 2 && function(shadow.sym[len - 2]) && shadow.sym[len - 1] != '(')
    Fail("a function name is followed by '('", t);
  if (len >= 1 && function(shadow.sym[len - 1]) && !bareFunctionAtEnd)
    Fail("a function name is followed by '('", t);
  if (len >= 1 && shadow.sym[len - 1] == '^' && !e.ExpTyped)
    Fail("a trailing '^' leaves the exponent open", t);
}

// The walks over a whole line, after a run of keys and at the end of an input: the tables
// hold what the keys left, and what they show can be typeset and, when complete, computed.
void CheckLine(FormulaTables& t, int line) {
  const std::int16_t current = t.CurrentFunction;
  t.CurrentFunction = static_cast<std::int16_t>(line);  // for Fail's report
  const int len = t.FormulaLen[line];
  if (len < 0 || len > kMaxSymbols) Fail("line length within 0..1999", t);
  CheckPacked(t.FormulaSym[line], len, true, "symbols packed from cell 0", t);
  const int shown = FirstEmpty(t.FormulaDisp[line]);
  CheckPacked(t.FormulaDisp[line], shown, false, "display text packed from cell 0", t);
  CheckPacked(t.FormulaExpr[line], FirstEmpty(t.FormulaExpr[line]), false,
              "script text packed from cell 0", t);
  if (shown > kDisplayJoinCells) Fail("display text within the 1001 cells read", t);
  if (char2str_sym(t, line) != shadows[line].sym) Fail("the line holds the keys it accepted", t);

  // What the key rules accept, the screen's typesetter can show, complete or not, and each
  // group keeps room for what it still needs, so the line can be finished without a Backspace.
  const std::string display = char2str_disp(t, line);
  if (!TypesetterCanShowOnScreen(display)) Fail("the display text can be typeset", t);
  if (!TypesetterCanShowFinished(display)) Fail("the line can still be finished", t);

  const std::string script = char2str_expr(t, line);
  if (script.size() > static_cast<std::size_t>(kFormulaCells)) Fail("script fits", t);
  if (!t.FormulaIncomplete[line]) {
    // A complete line is one the evaluator can read: brackets balance, no placeholder.
    int open = 0;
    for (char c : script) {
      if (c == '(') ++open;
      if (c == ')' && --open < 0) Fail("complete script never closes an unopened bracket", t);
      if (c == '?') Fail("complete script has no placeholder", t);
    }
    if (open != 0) Fail("complete script balances its brackets", t);
    const script::Expression finished(FinishScriptForm(script));
    if (finished.compileError() == script::Error::Syntax) Fail("complete script compiles", t);
  }
  t.CurrentFunction = current;
}

// The screen draws the line without its error message; the printer and the equation window,
// whose fraction parts hold fewer characters, do so whenever every back end's tables hold it.
void CheckTypesets(const FormulaTables& t, int line) {
  const std::string display = char2str_disp(t, line);
  const QString text = QString::fromStdString(display);
  bool error = false;
  FormulaMessageSink sink;
  sink.setRoute([&error](const QString&) { error = true; });
  RecordingSurface screen;
  basFprint::PrintFormula(text, screen, sink);
  if (error) Fail("the screen typesets the line", t);
  RecordingSurface page(QSizeF(800, 600));
  basFPrint3::PrintFormula(QStringLiteral("f(x)=") + text, page, sink, true, QStringLiteral("255"));
  RecordingSurface explain;
  basFPrint2::PrintFormula(text, explain, sink);
  if (error && TypesetterCanShow(display)) Fail("every back end typesets the line", t);
}

// A line's meaning is its own: typed again into its emptied box while another box is typed
// into between its keys, its symbols are all accepted again, and a complete line stays
// complete with the same display and script, whatever the other boxes hold.
void CheckLinesStandAlone(const FormulaTables& typed, FormulaEngine& engine) {
  FormulaTables& again = engine.tables;
  static constexpr char kNoise[] = {'.', '|', '1', '|', kKeyBackspace, '.', kKeyBackspace};
  EngineObserver quiet;
  for (int line = 0; line < kEditedLines; ++line) {
    const std::string sym = char2str_sym(typed, line);
    if (sym.empty()) continue;
    again = typed;
    const auto other = static_cast<std::int16_t>((line + 1) % kEditedLines);
    again.CurrentFunction = static_cast<std::int16_t>(line);
    while (again.FormulaLen[line] > 0) Paper_KeyPress(again, engine.keys, 0, kKeyBackspace, quiet);
    again.AllowTrigLetters = true;
    for (std::size_t k = 0; k < sym.size(); ++k) {
      // The other box takes a key now and then (each one translates that whole line).
      if (k % 4 == 0) {
        again.CurrentFunction = other;
        Paper_KeyPress(again, engine.keys, 0, kNoise[(k / 4) % sizeof kNoise], quiet);
        again.CurrentFunction = static_cast<std::int16_t>(line);
      }
      Paper_KeyPress(again, engine.keys, 0, static_cast<unsigned char>(sym[k]), quiet);
      if (!again.KeyAccepted) Fail("a line's symbols are accepted again beside other boxes", typed);
    }
    again.AllowTrigLetters = false;
    if (again.FormulaIncomplete[line] != typed.FormulaIncomplete[line])
      Fail("a line's completeness does not depend on the other boxes", typed);
    if (char2str_disp(again, line) != char2str_disp(typed, line) ||
        char2str_expr(again, line) != char2str_expr(typed, line))
      Fail("a line shows and computes the same beside other boxes", typed);
  }
}

// The lines as a saved document and read back, replayed as the loader does: every symbol is
// accepted again and gives the same display and script.
void CheckSaveAndReload(const FormulaTables& typed, FormulaEngine& engine) {
  FormulaTables& replay = engine.tables;
  GraphDocument doc;
  for (int i = 0; i < kEditedLines; ++i) doc.lines[static_cast<std::size_t>(i)] = char2str_sym(typed, i);
  const DocumentReadResult read = GraphDocumentCodec::Read(GraphDocumentCodec::Write(doc));
  if (read.status != DocumentReadStatus::Ok) Fail("a saved document reads back", typed);
  EngineObserver quiet;
  replay.AllowTrigLetters = true;
  for (int i = 0; i < kEditedLines; ++i) {
    replay.CurrentFunction = static_cast<std::int16_t>(i);
    // Every line starts from a fresh editing state, as the window's loader gives it.
    replay.DecimalInNumber = false;
    replay.BarJustClosed = false;
    replay.HasEquals = false;
    for (char c : read.document.lines[static_cast<std::size_t>(i)]) {
      Paper_KeyPress(replay, engine.keys, 0, static_cast<unsigned char>(c), quiet);
      if (!replay.KeyAccepted) Fail("every saved symbol is accepted again", typed);
    }
  }
  replay.AllowTrigLetters = false;
  for (int i = 0; i < kEditedLines; ++i) {
    if (char2str_sym(replay, i) != char2str_sym(typed, i) ||
        char2str_disp(replay, i) != char2str_disp(typed, i) ||
        char2str_expr(replay, i) != char2str_expr(typed, i) ||
        // An empty line is never replayed: it keeps the start's completeness.
        (!char2str_sym(typed, i).empty() && replay.FormulaIncomplete[i] != typed.FormulaIncomplete[i]))
      Fail("a reloaded line shows and computes as the typed one", typed);
  }
}

// Engines are reused: assigning the tables of a started engine keeps their cells allocated.
FormulaEngine& Fresh(std::unique_ptr<FormulaEngine>& engine) {
  static const auto started = [] {
    auto e = std::make_unique<FormulaEngine>();
    e->Start();
    return e;
  }();
  if (!engine) engine = std::make_unique<FormulaEngine>();
  engine->tables = started->tables;
  return *engine;
}

// Keys handled for the current input; past kMaxKeys the rest of the input is dropped, so that
// one input stays within the time limit however its runs combine.
int keysSent = 0;
constexpr int kMaxKeys = 6000;

// Sends one key, or one command, and checks what it changed.
void Key(FormulaEngine& engine, EngineObserver& observer, std::uint8_t b) {
  FormulaTables& t = engine.tables;
  ++keysSent;
  const auto press = [&](std::int16_t key, bool bareFunctionAtEnd = false) {
    const int before = t.FormulaLen[t.CurrentFunction];
    Paper_KeyPress(t, engine.keys, 0, key, observer);
    CheckKey(t, before, key, t.KeyAccepted, bareFunctionAtEnd);
  };
  if (b & 0x80) {
    const int action = b & 0x07;
    if (action < 3) {
      // The sin, cos and tan commands: the letter, its "(", a Backspace when refused.
      t.AllowTrigLetters = true;
      press("SCT"[action], true);  // the letter waits for its "("
      t.AllowTrigLetters = false;
      if (t.KeyAccepted) {
        press('(', true);  // when refused, the Backspace takes the letter back
        if (!t.KeyAccepted) press(kKeyBackspace);
      }
    } else if (action == 3) {
      t.CurrentFunction = static_cast<std::int16_t>((b >> 3) % kEditedLines);
    } else {
      press(kKeyBackspace);
    }
    return;
  }
  press(static_cast<std::int16_t>(b));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static std::unique_ptr<FormulaEngine> typed, replay;
  FormulaEngine& engine = Fresh(typed);
  FormulaTables& t = engine.tables;
  for (Shadow& s : shadows) s = Shadow{};
  EngineObserver observer;  // no repaint: the display text is checked directly
  keysSent = 0;
  for (std::size_t i = 0; i < size && keysSent < kMaxKeys; ++i) {
    const std::uint8_t b = data[i];
    if (b < 0xC0) {
      Key(engine, observer, b);
      CheckLine(t, t.CurrentFunction);
      continue;
    }
    const std::size_t unit = b < 0xE0 ? 1 : 2;
    if (i + unit >= size) break;
    // Mostly short runs; the four long ones reach a group's room (250), the token table (250
    // pairs), and a full line.
    static constexpr int kLong[] = {250, 500, 1000, 2000};
    const int c = b & 0x1F;
    const int times = c < 28 ? c + 2 : kLong[c - 28];
    for (int k = 0; k < times && keysSent < kMaxKeys; ++k) {
      const int line = t.CurrentFunction;
      const std::string before = shadows[line].sym;
      for (std::size_t j = 1; j <= unit; ++j) {
        const std::uint8_t key = data[i + j];
        Key(engine, observer, key >= 0xC0 ? static_cast<std::uint8_t>(key & 0x7F) : key);
      }
      // A round that changed nothing would change nothing again.
      if (t.CurrentFunction == line && shadows[line].sym == before) break;
    }
    // A run may have switched lines: the whole walk over each once it ends.
    for (int line = 0; line < kEditedLines; ++line) CheckLine(t, line);
    i += unit;
  }
  for (int line = 0; line < kEditedLines; ++line) {
    CheckLine(t, line);
    CheckTypesets(t, line);
  }
  CheckSaveAndReload(t, Fresh(replay));
  CheckLinesStandAlone(t, Fresh(replay));
  return 0;
}
