// Which symbols a line accepts where: the grammar of the formula editor.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>

#include "engine/formula_engine.h"
#include "engine/key_handler.h"

namespace linoveta {
namespace {

struct RuleCase {
  const char* before;  // typed first, all accepted
  char key;            // then this key
  bool accepted;
};

class KeyRules : public ::testing::TestWithParam<RuleCase> {
 protected:
  KeyRules() : engine_(std::make_unique<FormulaEngine>()) { engine_->Start(); }
  void Press(char c) {
    FormulaTables& t = engine_->tables;
    const bool trig = c == 'S' || c == 'C' || c == 'T';
    t.AllowTrigLetters = trig;
    Paper_KeyPress(t, engine_->keys, 0, static_cast<std::int16_t>(static_cast<unsigned char>(c)));
    t.AllowTrigLetters = false;
  }
  std::unique_ptr<FormulaEngine> engine_;
};

TEST_P(KeyRules, JudgesKeyAgainstLineEnd) {
  const RuleCase& c = GetParam();
  FormulaTables& t = engine_->tables;
  for (const char* k = c.before; *k; ++k) {
    Press(*k);
    ASSERT_TRUE(t.KeyAccepted) << "prefix key '" << *k << "' of \"" << c.before << "\"";
  }
  Press(c.key);
  EXPECT_EQ(t.KeyAccepted, c.accepted) << "\"" << c.before << "\" then '" << c.key << "'";
  const std::string expected = std::string(c.before) + (c.accepted ? std::string(1, c.key) : "");
  EXPECT_EQ(char2str_sym(t, 0), expected);
}

INSTANTIATE_TEST_SUITE_P(
    EmptyLine, KeyRules,
    ::testing::Values(RuleCase{"", '7', true}, RuleCase{"", '.', true}, RuleCase{"", '-', true},
                      RuleCase{"", '(', true}, RuleCase{"", '~', true}, RuleCase{"", '|', true},
                      RuleCase{"", 'x', true}, RuleCase{"", 'P', true}, RuleCase{"", 'S', true},
                      RuleCase{"", '+', false}, RuleCase{"", '*', false},
                      RuleCase{"", '/', false}, RuleCase{"", ')', false},
                      RuleCase{"", '^', false}));

INSTANTIATE_TEST_SUITE_P(
    Mask, KeyRules,
    ::testing::Values(RuleCase{"2", '=', false}, RuleCase{"2", ',', false},
                      RuleCase{"2", ':', false}, RuleCase{"2", '%', false},
                      RuleCase{"2", '?', false}, RuleCase{"2", ' ', false},
                      RuleCase{"", 's', false}, RuleCase{"", 'c', false},
                      RuleCase{"", 't', false}, RuleCase{"", 'p', false},
                      RuleCase{"", 'y', false}, RuleCase{"2", '\r', false}));

INSTANTIATE_TEST_SUITE_P(
    Letters, KeyRules,
    ::testing::Values(RuleCase{"2", 'x', true}, RuleCase{"x+", 'x', true},
                      RuleCase{"x", 'S', true}, RuleCase{"P", 'x', true},
                      RuleCase{"x", 'P', false}, RuleCase{"2P", 'P', false},
                      RuleCase{"(x)", 'x', false}, RuleCase{"2.", 'x', false},
                      RuleCase{"x^", 'x', true}, RuleCase{"x", 'x', false},
                      RuleCase{"x", '2', false}, RuleCase{"(2)", '3', false},
                      RuleCase{"|x|", '2', false}, RuleCase{"|x|", 'P', true}));

INSTANTIATE_TEST_SUITE_P(
    Parentheses, KeyRules,
    ::testing::Values(RuleCase{"((", '(', false}, RuleCase{"((x+", '(', true},
                      RuleCase{"((x+(", '(', false}, RuleCase{"(x", ')', true},
                      RuleCase{"(", ')', false}, RuleCase{"(x+", ')', false},
                      RuleCase{"x", ')', false}, RuleCase{"(x)", '(', false},
                      RuleCase{"x^(", '(', false}, RuleCase{"2.", '(', false},
                      RuleCase{"(|x", ')', false}, RuleCase{"|(x", ')', true},
                      RuleCase{"(", '-', true}, RuleCase{"(", '+', false}));

INSTANTIATE_TEST_SUITE_P(
    Exponents, KeyRules,
    ::testing::Values(RuleCase{"x^2", '^', false}, RuleCase{"x^(2)", '^', false},
                      RuleCase{"x^2+", 'x', true}, RuleCase{"x^2+x", '^', true},
                      RuleCase{"x^", '-', true}, RuleCase{"x^", '+', false},
                      RuleCase{"x^", '*', false}, RuleCase{"x^", '/', false},
                      RuleCase{"x^", ')', false}, RuleCase{"x^", '.', true},
                      RuleCase{"2^|x", '|', true}, RuleCase{"|x|", '^', true},
                      RuleCase{"|x|+", '^', false}, RuleCase{"x^-", '2', true}));

INSTANTIATE_TEST_SUITE_P(
    RootsAndPoints, KeyRules,
    ::testing::Values(RuleCase{"~2", '~', false}, RuleCase{"~2+", '~', true},
                      RuleCase{"~", '-', true}, RuleCase{"~", '+', false},
                      RuleCase{"(x)", '~', false}, RuleCase{"2.", '~', false},
                      RuleCase{"x^", '~', true}, RuleCase{"3.", '.', false},
                      RuleCase{"3.5+", '.', true}, RuleCase{"3.5", '.', false},
                      RuleCase{"~", '.', true}, RuleCase{"x", '.', false},
                      RuleCase{"3.", '+', false}, RuleCase{"~", '/', false},
                      // An empty root can never be evaluated: it is not closed.
                      RuleCase{"(~", ')', false}, RuleCase{"|~", '|', false},
                      RuleCase{"(~2", ')', true}, RuleCase{"|~2", '|', true}));

INSTANTIATE_TEST_SUITE_P(
    Bars, KeyRules,
    ::testing::Values(RuleCase{"|x", '|', true}, RuleCase{"|x+", '|', false},
                      RuleCase{"|(x", '|', false}, RuleCase{"|(x)", '|', true},
                      RuleCase{"|", '|', false}, RuleCase{"|", '*', false},
                      RuleCase{"|", '-', true}, RuleCase{"|x|", '|', false},
                      RuleCase{"(x)", '|', false}, RuleCase{"2.", '|', false},
                      RuleCase{"2", '|', true}, RuleCase{"|x|+", '|', true},
                      RuleCase{"|", '/', false}, RuleCase{"|x|", '/', true}));

TEST(KeyRulesLetters, CapitalXIsStoredAsSmallAndFunctionsNeedTheCommand) {
  auto engine = std::make_unique<FormulaEngine>();
  engine->Start();
  FormulaTables& t = engine->tables;
  Paper_KeyPress(t, engine->keys, 0, 'X');
  EXPECT_TRUE(t.KeyAccepted);
  EXPECT_EQ(char2str_sym(t, 0), "x");
  Paper_KeyPress(t, engine->keys, 0, '+');
  Paper_KeyPress(t, engine->keys, 0, 'S');  // typed without the sin command
  EXPECT_FALSE(t.KeyAccepted);
  EXPECT_EQ(char2str_sym(t, 0), "x+");
}

TEST(KeyRulesMask, AMaskBelowOneAcceptsNothing) {
  auto engine = std::make_unique<FormulaEngine>();
  FormulaTables& t = engine->tables;  // KeyMask 0: not started
  Paper_KeyPress(t, engine->keys, 0, '2');
  EXPECT_FALSE(t.KeyAccepted);
  EXPECT_EQ(char2str_sym(t, 0), "");
}

}  // namespace
}  // namespace linoveta
