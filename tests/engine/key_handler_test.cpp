// Keys typed into a formula line: what is stored, shown and handed to the evaluator.
#include "engine/key_handler.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/formula_engine.h"

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
      Paper_KeyPress(t(), t().CurrentFunction, static_cast<std::int16_t>(c), observer_);
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
        FormsCase{"3/4P", "#3/4`#", "(3)/(4*3.1415926538)", false}));

}  // namespace
}  // namespace linoveta
