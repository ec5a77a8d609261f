// Keys typed into a formula line: what is stored, shown and handed to the evaluator.
#include "engine/key_handler.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/formula_engine.h"
#include "engine/shown_text.h"
#include "support/accepted_lines.h"
#include "support/load_symbols.h"

namespace linoveta {
namespace {

constexpr char kBs = '\b';

class RecordingObserver : public EngineObserver {
 public:
  void SetGraphCommandsEnabled(bool enabled) override { enabled_.push_back(enabled); }
  void SetHiddenMirrors(const std::string& text5, const std::string& text6) override {
    text5_ = text5;
    text6_ = text6;
  }
  void GraphFunctions() override { ++graphs_; }
  void RedrawFormulaBoxes() override { ++redraws_; }

  std::vector<bool> enabled_;
  std::string text5_, text6_;
  int graphs_ = 0;
  int redraws_ = 0;
};

// A fresh engine as the main window starts it, typing into line 0.
class KeyHandlerTest : public ::testing::Test {
 protected:
  KeyHandlerTest() : engine_(std::make_unique<FormulaEngine>()) { engine_->Start(); }

  FormulaTables& t() { return engine_->tables; }
  // Types every character; "S", "C", "T" as the function commands send them.
  void Type(std::string_view keys) {
    for (char c : keys) {
      const bool trig = c == 'S' || c == 'C' || c == 'T';
      if (trig) t().AllowTrigLetters = true;
      Paper_KeyPress(t(), engine_->keys, t().CurrentFunction, static_cast<std::int16_t>(c),
                     observer_);
      if (trig) t().AllowTrigLetters = false;
    }
  }
  // Types keys and reports whether the last one was accepted.
  bool Accepts(std::string_view keys) {
    Type(keys);
    return t().KeyAccepted;
  }
  std::string Sym() { return char2str_sym(t(), t().CurrentFunction); }
  std::string Disp() { return char2str_disp(t(), t().CurrentFunction); }
  std::string Expr() { return char2str_expr(t(), t().CurrentFunction); }
  bool Incomplete() { return t().FormulaIncomplete[t().CurrentFunction]; }
  LineEditState& Edit() { return t().Edit[t().CurrentFunction]; }

  std::unique_ptr<FormulaEngine> engine_;
  RecordingObserver observer_;
};

struct FormsCase {
  const char* keys;
  const char* display;
  const char* script;
  bool incomplete;
  bool loaded = false;  // stored directly: the key rules would refuse some symbol
};

class TypedForms : public KeyHandlerTest, public ::testing::WithParamInterface<FormsCase> {};

TEST_P(TypedForms, DisplayScriptAndCompleteness) {
  const FormsCase& c = GetParam();
  if (c.loaded) {
    ASSERT_TRUE(LoadSymbolsForTest(t(), 0, c.keys, observer_));
  } else {
    Type(c.keys);
  }
  EXPECT_EQ(Sym(), c.keys) << "a key was refused";
  EXPECT_EQ(Disp(), c.display);
  EXPECT_EQ(Expr(), c.script);
  EXPECT_EQ(Incomplete(), c.incomplete);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, TypedForms,
    ::testing::Values(
        FormsCase{"2+x/3", "2+#x/3#", "2+(x)/(3)", false},
        FormsCase{"x^2+1", "x^2^+1", "x^(2)+1", false},
        FormsCase{"x^(2+1)", "x^(2+1)^", "x^(2+1)", false},
        FormsCase{"x^", "x^?^", "x^(?)", true},
        FormsCase{"x^-", "x^-^", "x^(-)", true},
        FormsCase{"x^-2+1", "x^-2^+1", "x^(-2)+1", false},
        FormsCase{"x^2(x)", "x^2^(x)", "x^(2)*(x)", false},
        FormsCase{"x^(2)", "x^(2)^", "x^(2)", false},
        FormsCase{"~x+1", "~x~+1", "(x)^(.5)+1", false},
        FormsCase{"~(x+1)", "~(x+1)~", "((x+1)^.5)", false},
        FormsCase{"|x-1|", "|x-1|", "abs(x-1)", false},
        FormsCase{"2|x|", "2|x|", "2*abs(x)", false},
        FormsCase{"|~x^2|", "|~x^2^~|", "abs((x^(2))^(.5))", false},
        FormsCase{"3/4+x", "#3/4#+x", "(3)/(4)+x", false},
        FormsCase{"3/4", "#3/4#", "(3)/(4)", false},
        FormsCase{"3/4x", "#3/4x#", "(3)/(4x)", false},
        FormsCase{"1/(2+3)", "#1/(2+3)#", "(1)/((2+3))", false},
        FormsCase{"(1/2)", "(#1/2#)", "((1)/(2))", false},
        FormsCase{"P", "`", "3.1415926538", false},
        FormsCase{"2P", "2`", "2*3.14159265388", false},
        FormsCase{"2S(x)", "2S(x)", "2*S(x)", false},
        FormsCase{"(x+1)(x-1)", "(x+1)(x-1)", "(x+1)*(x-1)", false, true},
        FormsCase{"(x+1)x", "(x+1)x", "(x+1)*x", false, true},
        FormsCase{"2.", "2.", "2.", false},
        FormsCase{"(x", "(x", "(x", true},
        FormsCase{"|x", "|x", "abs(x", true},
        FormsCase{"x+", "x+", "x+", true}));

// Translations that gave wrong values or could never be evaluated.
INSTANTIATE_TEST_SUITE_P(
    Mended, TypedForms,
    ::testing::Values(
        // A "/" inside the user's own brackets stays a plain division.
        FormsCase{"(x/2+1)/3", "#(x/2+1)/3#", "((x/2+1))/(3)", false},
        FormsCase{"x^(1+3/4)", "x^(1+3/4)^", "x^(1+3/4)", false},
        FormsCase{"x/(3/4+1)", "#x/(3/4+1)#", "(x)/((3/4+1))", false},
        // Only a truly doubled pair of parentheses is written once.
        FormsCase{"((x)+(x))*3", "((x)+(x))*3", "((x)+(x))*3", false},
        FormsCase{"((x+1))", "((x+1))", "(x+1)", false},
        // A root before a function name closes outside the open bar.
        FormsCase{"~|xS(x)|", "~|xS(x)|~", "(abs(x*S(x)))^(.5)", false},
        // Implicit products before pi and absolute values.
        FormsCase{"|x|P", "|x|`", "abs(x)*3.1415926538", false},
        FormsCase{"2P|x|", "2`|x|", "2*3.14159265388*abs(x)", false},
        FormsCase{"3/4P", "#3/4`#", "(3)/(4*3.1415926538)", false},
        // After a radicand's sign the groups around the root stay open with it.
        FormsCase{"2^~-(x)", "2^~-(x)~^", "2^((-(x))^(.5))", false},
        FormsCase{"x^~-C(x)", "x^~-C(x)~^", "x^((-C(x))^(.5))", false},
        FormsCase{"5^-~-S(x)", "5^-~-S(x)~^", "5^(-(-S(x))^(.5))", false},
        FormsCase{"x/~-(x)", "#x/~-(x)~#", "(x)/((-(x))^(.5))", false},
        FormsCase{"x/~-S(x)+1", "#x/~-S(x)~#+1", "(x)/((-S(x))^(.5))+1", false}));

struct StateCase {
  const char* keys;
  const char* symbols;
  bool expTyped;
  bool rootTyped;
  bool absTyped;
  int openBars;
  int parenDepth;
  bool decimal;
};

class EditingState : public KeyHandlerTest, public ::testing::WithParamInterface<StateCase> {};

TEST_P(EditingState, FollowsTheLineEnd) {
  const StateCase& c = GetParam();
  Type(c.keys);
  EXPECT_EQ(Sym(), c.symbols);
  EXPECT_EQ(Edit().ExpTyped, c.expTyped) << "ExpTyped";
  EXPECT_EQ(Edit().RootTyped, c.rootTyped) << "RootTyped";
  EXPECT_EQ(Edit().AbsTyped, c.absTyped) << "AbsTyped";
  EXPECT_EQ(Edit().OpenBarCount, c.openBars) << "OpenBarCount";
  EXPECT_EQ(Edit().ParenDepth, c.parenDepth) << "ParenDepth";
  EXPECT_EQ(t().DecimalInNumber, c.decimal) << "DecimalInNumber";
}

INSTANTIATE_TEST_SUITE_P(
    Typing, EditingState,
    ::testing::Values(StateCase{"x^2", "x^2", true, false, false, 0, 0, false},
                      StateCase{"x^2+1", "x^2+1", false, false, false, 0, 0, false},
                      StateCase{"x^(2+1", "x^(2+1", true, false, false, 0, 1, false},
                      StateCase{"x^-2", "x^-2", true, false, false, 0, 0, false},
                      StateCase{"2^3(", "2^3(", false, false, false, 0, 1, false},
                      StateCase{"~2", "~2", false, true, false, 0, 0, false},
                      StateCase{"~2+", "~2+", false, false, false, 0, 0, false},
                      StateCase{"~-", "~-", false, true, false, 0, 0, false},
                      StateCase{"(~x)", "(~x)", false, false, false, 0, 0, false},
                      StateCase{"|x", "|x", false, false, true, 1, 0, false},
                      StateCase{"|x|", "|x|", false, false, false, 0, 0, false},
                      StateCase{"3.5", "3.5", false, false, false, 0, 0, true},
                      StateCase{"3.5+2", "3.5+2", false, false, false, 0, 0, false}));

INSTANTIATE_TEST_SUITE_P(
    Backspace, EditingState,
    ::testing::Values(
        // The "2" goes and the dangling "^" with it.
        StateCase{"x^2\b", "x", false, false, false, 0, 0, false},
        StateCase{"x^-\b", "x", false, false, false, 0, 0, false},
        // A function name goes together with its "(".
        StateCase{"S(\b", "", false, false, false, 0, 0, false},
        StateCase{"2+S(\b", "2+", false, false, false, 0, 0, false},
        // Removing a closing bar opens its group again.
        StateCase{"|x|\b", "|x", false, false, true, 1, 0, false},
        StateCase{"|\b", "", false, false, false, 0, 0, false},
        StateCase{"(x)\b", "(x", false, false, false, 0, 1, false},
        StateCase{"((\b", "(", false, false, false, 0, 1, false},
        StateCase{"~\b", "", false, false, false, 0, 0, false},
        StateCase{"3.\b", "3", false, false, false, 0, 0, false},
        StateCase{"\b\b", "", false, false, false, 0, 0, false}));

TEST_F(KeyHandlerTest, BackspaceOnAnEmptyLineIsNotAccepted) {
  Type("\b");
  EXPECT_FALSE(t().KeyAccepted);
  Type("x\b");
  EXPECT_TRUE(t().KeyAccepted);
}

TEST_F(KeyHandlerTest, EnterPlotsOnlyWhenTheLinesCanBeGraphed) {
  Type("x+");
  Type("\r");
  EXPECT_EQ(observer_.graphs_, 0);
  EXPECT_FALSE(t().KeyAccepted);
  const int redraws = observer_.redraws_;
  Type("1\r");
  EXPECT_EQ(observer_.graphs_, 1);
  EXPECT_EQ(observer_.redraws_, redraws + 2) << "every key repaints, accepted or not";
  EXPECT_EQ(Sym(), "x+1");
}

TEST_F(KeyHandlerTest, CommandsFollowCanGraphAndMirrorsGetBothForms) {
  Type("x");
  ASSERT_FALSE(observer_.enabled_.empty());
  EXPECT_TRUE(observer_.enabled_.back());
  Type("+");
  EXPECT_FALSE(observer_.enabled_.back());
  Type("x^");
  EXPECT_EQ(observer_.text5_, "x+x^?^");
  EXPECT_EQ(observer_.text6_, "x+x^(?)");
  Type("2");
  EXPECT_TRUE(observer_.enabled_.back());
}

// CanGraph over several lines: no line 0..9 incomplete, some line 0..LastFunction typed.
TEST_F(KeyHandlerTest, CanGraphLooksAtEveryLine) {
  EXPECT_FALSE(CanGraph(t())) << "no line holds symbols yet";
  Type("x");
  EXPECT_TRUE(CanGraph(t()));
  t().CurrentFunction = 2;
  Type("(x");
  EXPECT_FALSE(CanGraph(t())) << "an incomplete line 2 blocks all";
  Type(")");
  EXPECT_TRUE(CanGraph(t()));
  t().FormulaIncomplete[9] = true;
  EXPECT_FALSE(CanGraph(t()));
  t().FormulaIncomplete[9] = false;
  t().FormulaIncomplete[10] = true;
  EXPECT_TRUE(CanGraph(t())) << "line 10 does not count";
  t().LastFunction = -1;
  EXPECT_FALSE(CanGraph(t()));

  t().LastFunction = 0;
  t().CurrentFunction = 0;
  Type("\b");
  EXPECT_EQ(Sym(), "");
  EXPECT_FALSE(CanGraph(t())) << "only lines 0..LastFunction count";
  t().LastFunction = 2;
  EXPECT_TRUE(CanGraph(t()));
}

TEST_F(KeyHandlerTest, AFullLineRefusesFurtherSymbolsAndStaysIntact) {
  // 1999 digits form one number token; the 2000th symbol is refused.
  for (int i = 0; i < kMaxSymbols; ++i) Type("1");
  EXPECT_EQ(t().FormulaLen[0], kMaxSymbols);
  Type("+");
  EXPECT_FALSE(t().KeyAccepted);
  EXPECT_EQ(t().FormulaLen[0], kMaxSymbols);
  EXPECT_EQ(Expr(), std::string(kMaxSymbols, '1'));
  Type("\b");
  EXPECT_TRUE(t().KeyAccepted);
  EXPECT_EQ(t().FormulaLen[0], kMaxSymbols - 1);
}

TEST_F(KeyHandlerTest, ALineOfTooManyTokensRefusesTheNextToken) {
  // "x+x+..." : every symbol is a token; the translator's tables hold 493.
  std::string keys;
  for (int i = 0; i < 600; ++i) keys += (i % 2 == 0) ? 'x' : '+';
  Type(keys);
  EXPECT_EQ(t().FormulaLen[0], 493);
  EXPECT_FALSE(t().KeyAccepted);
  EXPECT_EQ(Expr(), keys.substr(0, 493));
  EXPECT_FALSE(Incomplete());
}

TEST_F(KeyHandlerTest, AScriptTooLongForItsCellsIsRefused) {
  // Each "P+" adds 13 script characters for 2 symbols; the script has 2001 cells, which
  // 154 pis and 153 pluses fill exactly.
  std::string keys;
  for (int i = 0; i < 400; ++i) keys += "P+";
  Type(keys);
  EXPECT_EQ(t().FormulaLen[0], 307);
  EXPECT_EQ(Expr().size(), static_cast<std::size_t>(kFormulaCells));
  EXPECT_EQ(Sym().back(), 'P');
}

// A key that would take a group past the screen typesetter's tables is refused like a key past
// the formula tables: an exponent, a root and a fraction part each hold 250 characters. The
// printer's smaller fraction table refuses nothing: printing reports what it cannot show.
TEST(KeyHandlerTypesetLimits, KeysPastAGroupsRoomAreRefused) {
  struct Case {
    const char* before;
    char key;
    int accepted;  // of 300 keys
    const char* then;  // typed afterwards, accepted or not as `thenAccepted`
    bool thenAccepted;
  };
  const Case cases[] = {
      {"~", '1', 250, "+x", true},  // the "+" ends the root
      {"x^", '2', 250, "+x", true},
      {"x^~", '2', 248, "", true},  // the exponent holds the root's marks too
      {"x^(", '2', 248, ")", true},  // room is kept for the ")"
      {"1/", '2', 250, "+x", true},
      {"x/", '2', 250, "x", false},  // the denominator is full
      {"", '1', 300, "/2", false},  // a numerator of 300 digits cannot be shown
  };
  for (const Case& c : cases) {
    auto engine = std::make_unique<FormulaEngine>();
    engine->Start();
    FormulaTables& t = engine->tables;
    for (const char* k = c.before; *k; ++k) Paper_KeyPress(t, engine->keys, 0, *k);
    int accepted = 0;
    for (int i = 0; i < 300; ++i) {
      Paper_KeyPress(t, engine->keys, 0, c.key);
      accepted += t.KeyAccepted ? 1 : 0;
    }
    EXPECT_EQ(accepted, c.accepted) << c.before << c.key;
    const std::string full = char2str_sym(t, 0);
    bool all = true;
    for (const char* k = c.then; *k; ++k) {
      Paper_KeyPress(t, engine->keys, 0, *k);
      all = all && t.KeyAccepted;
    }
    EXPECT_EQ(all, c.thenAccepted) << c.before << c.key << c.then;
    EXPECT_EQ(char2str_sym(t, 0).rfind(full, 0), 0u) << "keys only ever append";
    EXPECT_TRUE(TypesetterCanShowOnScreen(char2str_disp(t, 0))) << char2str_disp(t, 0);
  }
}

// A group filled to its room can still be finished without a Backspace: its content keys
// leave room for the ")" or "|" it still needs, and for the operand an operator waits for.
TEST(KeyHandlerTypesetLimits, AFullGroupCanStillBeFinished) {
  struct Case {
    const char* before;
    const char* fill;  // typed `times` times
    int times;
    const char* then;  // finishes the line
  };
  const Case cases[] = {
      {"x^(", "2", 300, ")"},
      {"x^|", "2", 300, "|"},
      {"~(", "2", 300, ")"},
      {"~|", "2", 300, "|"},
      {"x^~(", "2", 300, ")"},   // the root's ")" goes into the exponent too
      {"(x^(", "2", 300, "))"},  // the outer ")" does not
      {"~(", "22+", 100, "1)"},  // a full root ends with "+"
      {"x^(", "2", 246, "~1)"},  // a root started in a full exponent
      {"(x^", "2", 249, ".1)"},  // no ")" after ".": the digit needs room first
      {"x/(", "2", 300, ")"},     // a denominator
      {"x/|", "2", 300, "|"},
      {"x/(2", "*2", 150, "1)"},
  };
  for (const Case& c : cases) {
    auto engine = std::make_unique<FormulaEngine>();
    engine->Start();
    FormulaTables& t = engine->tables;
    std::string keys = c.before;
    for (int i = 0; i < c.times; ++i) keys += c.fill;
    keys += c.then;
    for (char k : keys) Paper_KeyPress(t, engine->keys, 0, k);
    const std::string why = std::string(c.before) + "(" + c.fill + ")*" +
                            std::to_string(c.times) + " " + c.then + " typed " + char2str_sym(t, 0);
    EXPECT_FALSE(t.FormulaIncomplete[0]) << why;
    EXPECT_TRUE(TypesetterCanShowOnScreen(char2str_disp(t, 0))) << why;
  }
}

// The display keeps 250 tokens and 1001 characters; a group that runs past the cut is closed
// where the display ends, so the cut line can still be shown. The script keeps everything.
TEST(KeyHandlerTypesetLimits, AGroupCutOffWithTheDisplayIsClosedWhereItEnds) {
  std::string byTokens;
  for (int i = 0; i < 124; ++i) byTokens += "x+";  // 248 tokens
  byTokens += "~x+~(x+1)";                           // the root at token 249 runs past 250
  std::string byCharacters;
  for (int i = 0; i < 90; ++i) byCharacters += "1111111111+";  // 990 characters
  byCharacters += "~" + std::string(20, '2');
  struct Case {
    std::string keys;
    const char* displayEnd;
  };
  const Case cases[] = {{byTokens, "x+~x~"}, {byCharacters, "+~222222222~"}};
  for (const Case& c : cases) {
    auto engine = std::make_unique<FormulaEngine>();
    engine->Start();
    FormulaTables& t = engine->tables;
    for (char k : c.keys) Paper_KeyPress(t, engine->keys, 0, k);
    EXPECT_EQ(char2str_sym(t, 0), c.keys);
    const std::string disp = char2str_disp(t, 0);
    EXPECT_LE(disp.size(), static_cast<std::size_t>(kDisplayJoinCells));
    EXPECT_EQ(disp.substr(disp.size() - std::string(c.displayEnd).size()), c.displayEnd);
    EXPECT_TRUE(TypesetterCanShowOnScreen(disp)) << disp;
    EXPECT_FALSE(t.FormulaIncomplete[0]);
  }
}

TEST_F(KeyHandlerTest, LoadingSymbolsDirectlySetsTheStateTheRulesWouldKeep) {
  EngineObserver quiet;
  ASSERT_TRUE(LoadSymbolsForTest(t(), 1, "|(x+1", quiet));
  EXPECT_EQ(t().CurrentFunction, 1);
  EXPECT_EQ(Edit().ParenDepth, 1);
  EXPECT_TRUE(Edit().AbsTyped);
  EXPECT_EQ(Edit().OpenBarCount, 1);
  EXPECT_TRUE(Incomplete());
  Type(")|");
  EXPECT_EQ(Sym(), "|(x+1)|");
  EXPECT_EQ(Expr(), "abs((x+1))");
  EXPECT_FALSE(LoadSymbolsForTest(t(), 11, "x", quiet));
  EXPECT_FALSE(LoadSymbolsForTest(t(), 0, std::string(kMaxSymbols + 1, '1'), quiet));
}

// Sends keys as the window does: S, C, T through their command (letter, then "(", and a
// Backspace when the "(" is refused).
void SendKey(FormulaEngine& engine, char c) { test::SendWindowKey(engine, c); }

void ExpectSameLineState(const FormulaTables& a, const FormulaTables& b, const std::string& why) {
  EXPECT_EQ(char2str_sym(a, 0), char2str_sym(b, 0)) << why;
  EXPECT_EQ(char2str_disp(a, 0), char2str_disp(b, 0)) << why;
  EXPECT_EQ(char2str_expr(a, 0), char2str_expr(b, 0)) << why;
  EXPECT_EQ(a.FormulaIncomplete[0], b.FormulaIncomplete[0]) << why;
  const LineEditState& x = a.Edit[0];
  const LineEditState& y = b.Edit[0];
  EXPECT_EQ(x.ParenDepth, y.ParenDepth) << why;
  EXPECT_EQ(x.ExpTyped, y.ExpTyped) << why;
  EXPECT_EQ(x.RootTyped, y.RootTyped) << why;
  EXPECT_EQ(x.AbsTyped, y.AbsTyped) << why;
  EXPECT_EQ(x.OpenBarCount, y.OpenBarCount) << why;
  EXPECT_EQ(x.AbsStartDepth, y.AbsStartDepth) << why;
  EXPECT_EQ(x.AbsInExp, y.AbsInExp) << why;
  EXPECT_EQ(a.DecimalInNumber, b.DecimalInNumber) << why;
  EXPECT_EQ(a.BarJustClosed, b.BarJustClosed) << why;
}

// A fixed pseudo-random sequence, so that a failing key stream reproduces.
using KeyStream = test::LineRandom;

// Property: Backspace back to a shorter line leaves the same state as typing that line
// afresh.
TEST(BackspaceProperty, ShorterLineEqualsTypingItAfresh) {
  constexpr std::string_view kKeys = "0123456789.x+-*/^()~|PSCT\b\b\b";
  KeyStream next(12345u);
  int checked = 0;
  for (int stream = 0; stream < 400; ++stream) {
    auto typed = std::make_unique<FormulaEngine>();
    typed->Start();
    std::string keys;
    for (int k = 0; k < 40; ++k) {
      const char c = kKeys[next() % kKeys.size()];
      keys += c == '\b' ? std::string("<bs>") : std::string(1, c);
      const std::string before = char2str_sym(typed->tables, 0);
      SendKey(*typed, c);
      if (c != '\b' || before.empty()) continue;

      const std::string line = char2str_sym(typed->tables, 0);
      auto fresh = std::make_unique<FormulaEngine>();
      fresh->Start();
      Paper_KeyPress(fresh->tables, fresh->keys, 0, kKeyBackspace);  // an empty line is translated too
      for (char s : line) {
        fresh->tables.AllowTrigLetters = true;
        Paper_KeyPress(fresh->tables, fresh->keys, 0, s);
        fresh->tables.AllowTrigLetters = false;
        ASSERT_TRUE(fresh->tables.KeyAccepted) << "retyping \"" << line << "\" after " << keys;
      }
      ExpectSameLineState(typed->tables, fresh->tables, keys);
      if (::testing::Test::HasFailure()) return;
      ++checked;
    }
  }
  EXPECT_GT(checked, 500);
}

// Types one key into the current line, then translates the resulting line afresh the plain
// way (from the level table the key started with) and checks that the key left the same
// cells, lengths, flags, level table and observer calls.
void ExpectKeyEqualsAFreshTranslation(FormulaEngine& engine, char c, const std::string& keys) {
  FormulaTables& t = engine.tables;
  const int line = t.CurrentFunction;
  const auto levelBefore = t.ConvLevelState;
  RecordingObserver seen;
  t.AllowTrigLetters = true;
  Paper_KeyPress(t, engine.keys, static_cast<std::int16_t>(line), c, seen);
  t.AllowTrigLetters = false;
  const CellLine disp = t.FormulaDisp[line];
  const CellLine expr = t.FormulaExpr[line];
  const std::int16_t dispLen = t.DispLen;
  const bool incomplete = t.FormulaIncomplete[line];
  const LineEditState edit = t.Edit[line];
  const auto level = t.ConvLevelState;

  RecordingObserver fresh;
  t.ConvLevelState = levelBefore;
  ASSERT_TRUE(TokenizeFormula(t));
  str2char_disp(t, FormatFormula(t, fresh), line);
  fresh.RedrawFormulaBoxes();
  ASSERT_TRUE(disp == t.FormulaDisp[line]) << keys;
  ASSERT_TRUE(expr == t.FormulaExpr[line]) << keys;
  ASSERT_EQ(dispLen, t.DispLen) << keys;
  ASSERT_EQ(incomplete, t.FormulaIncomplete[line]) << keys;
  ASSERT_EQ(edit.ExpTyped, t.Edit[line].ExpTyped) << keys;
  ASSERT_EQ(edit.RootTyped, t.Edit[line].RootTyped) << keys;
  ASSERT_TRUE(level == t.ConvLevelState) << keys;
  ASSERT_EQ(seen.enabled_, fresh.enabled_) << keys;
  ASSERT_EQ(seen.text5_, fresh.text5_) << keys;
  ASSERT_EQ(seen.text6_, fresh.text6_) << keys;
  ASSERT_EQ(seen.redraws_, fresh.redraws_) << keys;
}

// Property: whatever a key leaves in the tables and tells the window is what translating
// the resulting line afresh gives. A key's translation is reused from its trial, and a
// refused key's from the key before, so this guards the reuse against drifting from the
// plain path. Long runs of one key reach the long-line limits.
TEST(TranslationReuseProperty, KeyResultEqualsAFreshTranslation) {
  constexpr std::string_view kKeys = "0123456789.x+-*/^()~|=PSCT\b\b";
  KeyStream next(777u);
  for (int stream = 0; stream < 25; ++stream) {
    auto engine = std::make_unique<FormulaEngine>();
    engine->Start();
    std::string keys;
    for (int k = 0; k < 40; ++k) {
      const char c = kKeys[next() % kKeys.size()];
      const int repeat = next() % 8 == 0 ? 1 + static_cast<int>(next() % 40) : 1;
      for (int r = 0; r < repeat; ++r) {
        keys += c == '\b' ? std::string("<bs>") : std::string(1, c);
        ExpectKeyEqualsAFreshTranslation(*engine, c, keys);
        if (::testing::Test::HasFatalFailure()) return;
      }
    }
  }
}

// The same along whole lines as a document load replays them, to the 1999-symbol bound and
// past it (every further key refused), with backspaces at the end. Two lines are typed in
// turns, so a refused key meets a level table the other line has changed since.
TEST(TranslationReuseProperty, LongLinesEqualAFreshTranslation) {
  const auto fill = [](const std::string& piece) {
    std::string line;
    while (line.size() < static_cast<std::size_t>(kMaxSymbols) + 20) line += piece;
    return line;
  };
  // Each with the length it must reach: a chain of divisions ends where a fraction part
  // is full for the typesetter.
  const std::array<std::pair<std::string, int>, 3> lines = {{{fill("0.0000000001x+"), 1990},
                                                             {fill("x/"), 40},
                                                             {"(((" + fill("x+2/3-|x|^2*"), 500}}};
  for (const auto& [text, reached] : lines) {
    auto engine = std::make_unique<FormulaEngine>();
    engine->Start();
    FormulaTables& t = engine->tables;
    std::string keys;
    std::size_t typed = 0;
    for (std::size_t k = 0; k < text.size(); ++k) {
      // Every 97th key goes to line 1, which keeps a term of its own open.
      const bool other = k % 97 == 96;
      t.CurrentFunction = other ? 1 : 0;
      const char c = other ? "2*x/(x+1)"[(k / 97) % 9] : text[typed++];
      keys += c;
      ExpectKeyEqualsAFreshTranslation(*engine, c, keys);
      if (::testing::Test::HasFatalFailure()) return;
    }
    t.CurrentFunction = 0;
    for (int k = 0; k < 8; ++k) {
      keys += "<bs>";
      ExpectKeyEqualsAFreshTranslation(*engine, '\b', keys);
      if (::testing::Test::HasFatalFailure()) return;
    }
    EXPECT_GE(t.FormulaLen[0], reached) << text.substr(0, 20);
  }
}


// The same keys mean the same formula whatever group came before them.
INSTANTIATE_TEST_SUITE_P(
    SameKeysSameFormula, TypedForms,
    ::testing::Values(
        FormsCase{"3/4/x+1", "#3/4/x#+1", "(3)/(4)/(x)+1", false},
        // The fraction after the number fraction closes at its own "+", not at an earlier
        // fraction's depth.
        FormsCase{"(x/2)+3/4/x+1", "(#x/2#)+#3/4/x#+1", "((x)/(2))+(3)/(4)/(x)+1", false},
        FormsCase{"|x/2|+3/4/x+1", "|#x/2#|+#3/4/x#+1", "abs((x)/(2))+(3)/(4)/(x)+1", false},
        // A function letter in the denominator of a number fraction is multiplied.
        FormsCase{"3/4S(x)/2", "#3/4S(x)/2#", "(3)/(4*S(x))/(2)", false},
        FormsCase{"3/4C(x)/2", "#3/4C(x)/2#", "(3)/(4*C(x))/(2)", false},
        FormsCase{"3/4T(x)", "#3/4#T(x)", "(3)/(4)*T(x)", false},
        FormsCase{"3/4|x|", "#3/4#|x|", "(3)/(4)*abs(x)", false}));

// Chains of divisions in one term: each "/" closes the fraction before it wherever that
// fraction's mark stands, and the numerator takes in the number fractions and fractions
// closed inside it; a new term starts its own chain.
INSTANTIATE_TEST_SUITE_P(
    DivisionChains, TypedForms,
    ::testing::Values(
        FormsCase{"x/2/3/x+1", "#x/2/3/x#+1", "(x)/(2)/(3)/(x)+1", false},
        FormsCase{"1/2x/3/4x/x", "#1/2x/3/4x/x#", "(1)/(2x)/(3)/(4x)/(x)", false},
        FormsCase{"2/3/x/5/6/x", "#2/3/x/5/6/x#", "(2)/(3)/(x)/(5)/(6)/(x)", false},
        FormsCase{"x/(x/2/x)/3", "#x/(x/2/x)/3#", "(x)/((x/2/x))/(3)", false},
        FormsCase{"|x/2/x|/x/2", "#|x/2/x|/x/2#", "(abs(x/2/x))/(x)/(2)", false},
        FormsCase{"x/x^2/x/3", "#x/x^2^/x/3#", "(x)/(x^(2))/(x)/(3)", false},
        FormsCase{"~x/2/x/x", "#~x~/2/x/x#", "((x)^(.5))/(2)/(x)/(x)", false},
        FormsCase{"x/x/x/x/x/x/x/x-1/2x/x/3", "#x/x/x/x/x/x/x/x#-#1/2x/x/3#",
                  "(x)/(x)/(x)/(x)/(x)/(x)/(x)/(x)-(1)/(2x)/(x)/(3)", false}));

// The formula boxes' typesetter holds 250 characters per fraction part, so a numerator past
// the printer's 50 is typed as it stands; the "/" is never refused for the printer's sake.
TEST_F(KeyHandlerTest, ANumeratorPastThePrintersTableIsTypedAsItStands) {
  const std::string keys = "(x^4+3x^3-2x^2+5x-7+12x^3-3x^2+1+7x-8x^4+2x^2-1)/(x^2+1)";
  Type(keys);
  EXPECT_EQ(Sym(), keys);
  EXPECT_FALSE(Incomplete());
  EXPECT_EQ(Expr(),
            "((x^(4)+3x^(3)-2x^(2)+5x-7+12x^(3)-3x^(2)+1+7x-8x^(4)+2x^(2)-1))/((x^(2)+1))");
  EXPECT_TRUE(TypesetterCanShowOnScreen(Disp()));
  EXPECT_FALSE(TypesetterCanShow(Disp())) << "the printer reports it when printing";
}

// At every table bound a line keeps room to be finished: an operator that no operand could
// follow, or a group that no ")" or "|" could close, is refused, so typing on always reaches a
// complete line.
TEST(KeyHandlerTableBounds, ALineCanAlwaysBeFinished) {
  struct Case {
    const char* what;
    std::string before;
    std::string fill;  // typed `times` times
    int times;
    std::string then;  // finishes the line
  };
  const Case cases[] = {
      {"493 tokens", "-", "1+", 246, "1"},
      {"493 tokens with a bracket open", "(", "x+", 300, "1)"},
      {"493 tokens with a bar open", "|", "x+", 300, "1|"},
      {"493 tokens inside an exponent", "x^(", "2+", 300, "1)"},
      {"1999 symbols", "", "1", 1998, "+1"},
      {"1999 symbols with a bracket open", "(", "1", 1997, "+1)"},
      {"2001 script cells", "11111111111+", "P+", 153, ""},
  };
  for (const Case& c : cases) {
    auto engine = std::make_unique<FormulaEngine>();
    engine->Start();
    FormulaTables& t = engine->tables;
    std::string keys = c.before;
    for (int i = 0; i < c.times; ++i) keys += c.fill;
    keys += c.then;
    for (char k : keys) Paper_KeyPress(t, engine->keys, 0, k);
    const std::string sym = char2str_sym(t, 0);
    EXPECT_FALSE(t.FormulaIncomplete[0]) << c.what << ": " << sym.substr(sym.size() - 20);
    EXPECT_GT(sym.size(), 300u) << c.what;
  }
}

// Property: the lines the keys build are finishable all the way to the table bounds: after
// any stream, the digits, ")" and "|" the line still needs are accepted and complete it.
TEST(KeyHandlerTableBounds, LongRandomLinesStayFinishable) {
  constexpr std::string_view kKeys = "0123456789.x+-*/^()~|P+-+(x";
  KeyStream next(4242u);
  for (int stream = 0; stream < 12; ++stream) {
    auto engine = std::make_unique<FormulaEngine>();
    engine->Start();
    FormulaTables& t = engine->tables;
    for (int k = 0; k < 2400; ++k) SendKey(*engine, kKeys[next() % kKeys.size()]);
    // A digit gives any waiting operator, root, exponent or bar its operand; then each open
    // bracket and bar is closed, in whatever order the rules take them.
    Paper_KeyPress(t, engine->keys, 0, '1');
    for (int k = 0; k < 8 && t.FormulaIncomplete[0]; ++k) {
      Paper_KeyPress(t, engine->keys, 0, ')');
      Paper_KeyPress(t, engine->keys, 0, '|');
    }
    EXPECT_FALSE(t.FormulaIncomplete[0]) << char2str_sym(t, 0);
  }
}

// The decimal-point and bar flags belong to the line being typed: what another box left in
// them never decides a key here. Each case types `first` into box 0, `other` into box 1, then
// `back` into box 0 (or into box 1 with `inOther`) and expects the line and the last key's
// acceptance.
TEST(LineStateBetweenBoxes, TheOtherBoxNeverDecidesAKey) {
  struct Case {
    const char* what;
    std::string first, other, back;
    bool inOther;
    std::string expected;
    bool lastAccepted;
  };
  std::string fullOfTokens;  // 493 tokens, the last a number with its point
  for (int i = 0; i < 246; ++i) fullOfTokens += "1+";
  fullOfTokens += "1.5";
  const Case cases[] = {
      {"a second point", "1.5", "2", ".", false, "1.5", false},
      {"a second point after a digit", "1.5", "2", "7.", false, "1.57", false},
      {"a point after a key the tables refuse", fullOfTokens, "2", "+.", false, fullOfTokens,
       false},
      {"a first point after the other's", "2", "1.5", ".5", false, "2.5", true},
      {"an exponent after a closed bar", "|x|", "|x|^2", "", true, "|x|^2", true},
      {"an exponent after a bar the other box opened", "|x|", "|", "^2", false, "|x|^2", true},
      {"an exponent after the other's closed bar", "|x", "|x|", "|^2", false, "|x|^2", true},
      {"no exponent after an opening bar", "x|", "|x|", "^", false, "x|", false},
  };
  for (const Case& c : cases) {
    auto engine = std::make_unique<FormulaEngine>();
    engine->Start();
    FormulaTables& t = engine->tables;
    t.CurrentFunction = 0;
    for (char k : c.first) Paper_KeyPress(t, engine->keys, 0, k);
    t.CurrentFunction = 1;
    for (char k : c.other) Paper_KeyPress(t, engine->keys, 1, k);
    t.CurrentFunction = c.inOther ? 1 : 0;
    for (char k : c.back) Paper_KeyPress(t, engine->keys, 0, k);
    EXPECT_EQ(char2str_sym(t, t.CurrentFunction), c.expected) << c.what;
    EXPECT_EQ(t.KeyAccepted, c.lastAccepted) << c.what;
    if (t.CurrentFunction == 0 && c.expected == "1.5") {
      EXPECT_FALSE(t.FormulaIncomplete[0]) << c.what;
    }
  }
}

// Whether a number already has its point is read from the line's own symbols, also when the
// point stands further back than the last one: digits and letters keep it, "^", "(", a root
// or an operator behind it end the number.
TEST(LineStateBetweenBoxes, APointIsJudgedByTheLinesOwnNumber) {
  struct Case {
    const char* line;
    bool pointAccepted;
  };
  const Case cases[] = {
      {"1.52", false}, {"~-1.5", false}, {"2+1.5", false}, {"1.5^2", true},
      {"1.5(2", true}, {"1.5~-2", true}, {"1.5+2", true},  {"1.5*x-2", true},
  };
  for (const Case& c : cases) {
    for (const bool otherBoxFirst : {false, true}) {
      auto engine = std::make_unique<FormulaEngine>();
      engine->Start();
      FormulaTables& t = engine->tables;
      t.CurrentFunction = 0;
      for (char k : std::string_view(c.line)) Paper_KeyPress(t, engine->keys, 0, k);
      ASSERT_EQ(char2str_sym(t, 0), c.line);
      if (otherBoxFirst) {
        t.CurrentFunction = 1;
        for (char k : std::string_view("3.4")) Paper_KeyPress(t, engine->keys, 1, k);
        t.CurrentFunction = 0;
      }
      Paper_KeyPress(t, engine->keys, 0, '.');
      EXPECT_EQ(t.KeyAccepted, c.pointAccepted) << c.line << (otherBoxFirst ? " after box 1" : "");
    }
  }
}

// Property: a line typed in turns with other boxes ends exactly as the same keys typed into
// that line alone: every key accepted or refused alike, the same display, script and
// completeness.
TEST(LineStateBetweenBoxes, InterleavedTypingEqualsTypingEachLineAlone) {
  constexpr std::string_view kKeys = "0123456789..x+-*/^()~|||PSCT\b";
  KeyStream next(2024u);
  for (int stream = 0; stream < 150; ++stream) {
    auto mixed = std::make_unique<FormulaEngine>();
    mixed->Start();
    std::array<std::string, 3> keys;  // the keys each line was sent
    for (int k = 0; k < 120; ++k) {
      const int line = static_cast<int>(next() % 3);
      const char c = kKeys[next() % kKeys.size()];
      mixed->tables.CurrentFunction = static_cast<std::int16_t>(line);
      SendKey(*mixed, c);
      keys[static_cast<std::size_t>(line)] += c;
    }
    for (int line = 0; line < 3; ++line) {
      auto alone = std::make_unique<FormulaEngine>();
      alone->Start();
      alone->tables.CurrentFunction = static_cast<std::int16_t>(line);
      for (char c : keys[static_cast<std::size_t>(line)]) SendKey(*alone, c);
      const FormulaTables& a = mixed->tables;
      const FormulaTables& b = alone->tables;
      ASSERT_EQ(char2str_sym(a, line), char2str_sym(b, line)) << stream << " line " << line;
      ASSERT_EQ(char2str_disp(a, line), char2str_disp(b, line)) << stream;
      ASSERT_EQ(char2str_expr(a, line), char2str_expr(b, line)) << stream;
      ASSERT_EQ(a.FormulaIncomplete[line], b.FormulaIncomplete[line]) << stream;
    }
  }
}

// Types a key of its own from inside each repaint, as a key typed while the boxes' error
// message runs its event loop would arrive.
class KeyFromTheRepaint : public EngineObserver {
 public:
  KeyFromTheRepaint(FormulaEngine& engine, std::string_view keys) : engine_(engine), keys_(keys) {}
  void RedrawFormulaBoxes() override {
    if (inside_ || next_ >= keys_.size()) return;
    inside_ = true;
    const char c = keys_[next_++];
    engine_.tables.CurrentFunction = c == '1' || c == '+' ? 1 : 0;  // into either box
    Paper_KeyPress(engine_.tables, engine_.keys, 0, c, *this);
    engine_.tables.CurrentFunction = 0;
    inside_ = false;
  }

 private:
  FormulaEngine& engine_;
  std::string_view keys_;
  std::size_t next_ = 0;
  bool inside_ = false;
};

// A key typed from inside another key's repaint finds the key handler's storage free: both
// lines end as the same keys typed one after the other, refused keys included.
TEST(KeyInsideAKey, EndsAsTheKeysTypedInTurn) {
  struct Case {
    std::string_view outer;  // typed into line 0
    std::string_view inner;  // one from each repaint; "1" and "+" go to line 1
  };
  const Case cases[] = {
      {"x^2+1", "1+1+1"},
      {"2..5", "x.x.x"},         // refused points in both
      {"|x|^2", "1++1("},        // a refused "+" after "+"
      {"(x/2", "\b\b\b\b"},  // Backspaces on line 0 undo the outer keys at once
  };
  for (const Case& c : cases) {
    auto nested = std::make_unique<FormulaEngine>();
    nested->Start();
    KeyFromTheRepaint repaint(*nested, c.inner);
    for (char k : c.outer) Paper_KeyPress(nested->tables, nested->keys, 0, k, repaint);

    auto turns = std::make_unique<FormulaEngine>();
    turns->Start();
    for (std::size_t i = 0; i < c.outer.size(); ++i) {
      turns->tables.CurrentFunction = 0;
      Paper_KeyPress(turns->tables, turns->keys, 0, c.outer[i]);
      if (i >= c.inner.size()) continue;
      const char k = c.inner[i];
      turns->tables.CurrentFunction = k == '1' || k == '+' ? 1 : 0;
      Paper_KeyPress(turns->tables, turns->keys, 0, k);
    }
    for (int line = 0; line < 2; ++line) {
      const FormulaTables& a = nested->tables;
      const FormulaTables& b = turns->tables;
      EXPECT_EQ(char2str_sym(a, line), char2str_sym(b, line)) << c.outer << " line " << line;
      EXPECT_EQ(char2str_disp(a, line), char2str_disp(b, line)) << c.outer << " line " << line;
      EXPECT_EQ(char2str_expr(a, line), char2str_expr(b, line)) << c.outer << " line " << line;
      EXPECT_EQ(a.FormulaIncomplete[line], b.FormulaIncomplete[line]) << c.outer;
    }
    EXPECT_TRUE(nested->tables.ConvLevelState == turns->tables.ConvLevelState) << c.outer;
  }
}

}  // namespace
}  // namespace linoveta
