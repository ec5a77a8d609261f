// The helpers around the formula tables: mask parsing, joins, character classes, clearing.
#include "engine/formula_tables.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>

#include "engine/formula_engine.h"
#include "engine/key_handler.h"

namespace linoveta {
namespace {

TEST(BinToInt, ReadsBinaryDigitsMostSignificantFirst) {
  struct Case {
    const char* bits;
    std::int16_t value;
  };
  constexpr std::array<Case, 7> kCases{{
      {"00011110111111", 1983},  // the start-up mask
      {"", 0},
      {"1", 1},
      {"1x1", 5},                // anything but "1" is a zero digit
      {"0111111111111111", 32767},
      {"1000000000000000", -32768},  // only the low 16 bits are kept
      {"10000000000000001", 1},
  }};
  for (const Case& c : kCases) EXPECT_EQ(BinToInt(c.bits), c.value) << c.bits;
}

TEST(CharacterClasses, MatchTheirDefinitions) {
  EXPECT_TRUE(IsLetter("x"));
  EXPECT_TRUE(IsLetter("P"));
  EXPECT_FALSE(IsLetter("_"));
  EXPECT_FALSE(IsLetter(""));
  EXPECT_FALSE(IsLetter("3"));
  for (const char* op : {"+", "-", "*", "/"}) EXPECT_TRUE(IsOperator(op)) << op;
  EXPECT_FALSE(IsOperator("^"));
  EXPECT_TRUE(IsSign("-"));
  EXPECT_FALSE(IsSign("*"));
  EXPECT_TRUE(IsNumFraction("3/4"));
  EXPECT_TRUE(IsNumFraction("12.5/3"));
  EXPECT_FALSE(IsNumFraction("/"));
  EXPECT_FALSE(IsNumFraction("34"));
  EXPECT_FALSE(IsNumFraction("x/2"));
}

TEST(Joins, DisplayJoinStopsAtCell1000) {
  auto t = std::make_unique<FormulaTables>();
  const std::string text(1500, 'a');
  str2char_disp(*t, text, 2);
  EXPECT_EQ(char2str_disp(*t, 2), text.substr(0, 1001));
  EXPECT_EQ(t->FormulaDisp[2][1499], "a");

  const std::string tooLong(2500, 'b');
  str2char_disp(*t, tooLong, 2);
  EXPECT_EQ(t->FormulaDisp[2][2000], "b");
  EXPECT_EQ(char2str_disp(*t, 2), tooLong.substr(0, 1001));

  EXPECT_EQ(char2str_sym(*t, 0), "");
  EXPECT_EQ(char2str_sym(*t, 11), "") << "a line out of range joins to nothing";
  EXPECT_EQ(char2str_disp(*t, -1), "");
}

TEST(ClearAllFormulas, EmptiesTheLinesButKeepsTheScriptForms) {
  auto engine = std::make_unique<FormulaEngine>();
  engine->Start();
  FormulaTables& t = engine->tables;
  Paper_KeyPress(t, engine->keys, 0, 'x');
  t.CurrentFunction = 1;
  Paper_KeyPress(t, engine->keys, 1, '(');
  Paper_KeyPress(t, engine->keys, 1, '|');
  ASSERT_TRUE(t.FormulaIncomplete[1]);
  t.LastFunction = 1;

  ClearAllFormulas(t, true);
  for (int line = 0; line < kFormulaLines; ++line) {
    EXPECT_EQ(char2str_sym(t, line), "") << line;
    EXPECT_EQ(char2str_disp(t, line), "") << line;
    EXPECT_EQ(t.FormulaLen[line], 0) << line;
  }
  EXPECT_EQ(t.Edit[1].ParenDepth, 0);
  EXPECT_FALSE(t.Edit[1].AbsTyped);
  EXPECT_EQ(t.Edit[1].OpenBarCount, 0);
  EXPECT_FALSE(t.FormulaIncomplete[1]);
  EXPECT_FALSE(CanGraph(t)) << "no line holds symbols";
  EXPECT_EQ(char2str_expr(t, 0), "x") << "the caller empties the script forms";
  EXPECT_EQ(t.CurrentFunction, 1);
}

TEST(CollectLetters, FindsEachLetterOnce) {
  auto t = std::make_unique<FormulaTables>();
  const std::string s = "2xS(x)+P";
  for (std::size_t i = 0; i < s.size(); ++i) t->FormulaSym[0][i] = s.substr(i, 1);
  t->FormulaLen[0] = static_cast<std::int16_t>(s.size());
  CollectLetters(*t);
  EXPECT_EQ(t->VarLetters[1], "x");
  EXPECT_EQ(t->VarLetters[2], "S");
  EXPECT_EQ(t->VarLetters[3], "P");
  EXPECT_EQ(t->VarLetters[4], "");
  EXPECT_EQ(t->VarCount, 1) << "reset to 1 after the scan";
  t->VarCount = 4;
  EXPECT_EQ(LetterIndex(*t, "S"), 2);
  EXPECT_EQ(LetterIndex(*t, "C"), 0);
}

}  // namespace
}  // namespace linoveta
