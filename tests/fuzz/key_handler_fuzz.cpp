// Types arbitrary key streams into the formula lines and checks, after every key, that the
// tables still describe the typed line.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "engine/calc_fx.h"
#include "engine/formula_engine.h"
#include "engine/key_handler.h"

namespace {

using namespace linoveta;

[[noreturn]] void Fail(const char* what, const FormulaTables& t) {
  std::fprintf(stderr, "invariant broken: %s\nline %d: \"%s\"\nscript: \"%s\"\n", what,
               t.CurrentFunction, char2str_sym(t, t.CurrentFunction).c_str(),
               char2str_expr(t, t.CurrentFunction).c_str());
  std::abort();
}

bool IsSymbol(const std::string& s) {
  static const std::string kAlphabet = "0123456789.x+-*/^()~|PSCT";
  return s.size() == 1 && kAlphabet.find(s[0]) != std::string::npos;
}

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

void CheckInvariants(const FormulaTables& t, const std::string& before, bool accepted,
                     bool bareFunctionAtEnd = false) {
  const int line = t.CurrentFunction;
  const int len = t.FormulaLen[line];
  if (len < 0 || len > kMaxSymbols) Fail("line length within 0..1999", t);
  CheckPacked(t.FormulaSym[line], len, true, "symbols packed from cell 0", t);
  CheckPacked(t.FormulaDisp[line], FirstEmpty(t.FormulaDisp[line]), false,
              "display text packed from cell 0", t);
  CheckPacked(t.FormulaExpr[line], FirstEmpty(t.FormulaExpr[line]), false,
              "script text packed from cell 0", t);

  const std::string sym = char2str_sym(t, line);
  if (!accepted && sym != before) Fail("a refused key leaves the line as it was", t);

  int depth = 0, bars = 0;
  for (std::size_t i = 0; i < sym.size(); ++i) {
    const char c = sym[i];
    if (c == '(') ++depth;
    if (c == ')') --depth;
    if (depth < 0) Fail("no ')' without its '('", t);
    if (c == '|') ++bars;
    const bool last = i + 1 == sym.size();
    if ((c == 'S' || c == 'C' || c == 'T') && !(last && bareFunctionAtEnd) &&
        (last || sym[i + 1] != '('))
      Fail("a function name is followed by '('", t);
  }
  const LineEditState& e = t.Edit[line];
  if (e.ParenDepth != depth || depth > 3) Fail("ParenDepth counts the open '('", t);
  if (e.AbsTyped != (bars % 2 == 1) || e.OpenBarCount != bars % 2)
    Fail("bar state follows the bars", t);
  if (!sym.empty() && sym.back() == '^') {
    if (!e.ExpTyped) Fail("a trailing '^' leaves the exponent open", t);
  }

  const std::string script = char2str_expr(t, line);
  if (script.size() > static_cast<std::size_t>(kFormulaCells)) Fail("script fits", t);
  if (!t.FormulaIncomplete[line] && !bareFunctionAtEnd) {
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
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto engine = std::make_unique<FormulaEngine>();
  engine->Start();
  FormulaTables& t = engine->tables;
  EngineObserver observer;
  for (std::size_t i = 0; i < size; ++i) {
    const std::uint8_t b = data[i];
    if (b & 0x80) {
      const int action = b & 0x07;
      if (action < 3) {
        // The sin, cos and tan commands: the letter, its "(", a Backspace when refused.
        const char letter = "SCT"[action];
        const std::string before = char2str_symcur(t);
        t.AllowTrigLetters = true;
        Paper_KeyPress(t, 0, letter, observer);
        t.AllowTrigLetters = false;
        CheckInvariants(t, before, t.KeyAccepted, true);  // the letter waits for its "("
        if (t.KeyAccepted) {
          Paper_KeyPress(t, 0, '(', observer);
          if (!t.KeyAccepted) Paper_KeyPress(t, 0, kKeyBackspace, observer);
        }
      } else if (action == 3) {
        t.CurrentFunction = static_cast<std::int16_t>((b >> 3) % kEditedLines);
        continue;
      } else {
        const std::string before = char2str_symcur(t);
        Paper_KeyPress(t, 0, kKeyBackspace, observer);
        CheckInvariants(t, before, t.KeyAccepted);
        continue;
      }
      CheckInvariants(t, char2str_symcur(t), true);
      continue;
    }
    const std::string before = char2str_symcur(t);
    Paper_KeyPress(t, 0, static_cast<std::int16_t>(b), observer);
    CheckInvariants(t, before, t.KeyAccepted);
  }
  return 0;
}
