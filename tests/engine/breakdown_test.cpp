#include "engine/breakdown.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "engine/formula_tables.h"

namespace linoveta {
namespace {

// Loads a token list one token per cell from cell 0; TokenCount is the number of cells.
void Load(FormulaTables& t, const std::vector<std::string>& cells) {
  for (auto& c : t.Tokens) c.clear();
  for (std::size_t i = 0; i < cells.size(); ++i) t.Tokens[i] = cells[i];
  t.TokenCount = static_cast<std::int16_t>(cells.size());
}

struct GraphCase {
  std::vector<std::string> cells;
  const char* text;
};

TEST(Breakdown, RendersTheOuterTerms) {
  const std::array<GraphCase, 6> cases = {{
      {{}, "+1/1"},
      {{"3", "x", "^", "2"}, "+3/1x^+2"},
      {{"2", "x", "-", "5"}, "+2/1x-5/1"},
      {{"2", "(", "x", "+", "1", ")"}, ""},
      {{"-", "4", "x"}, "-4/1x"},
      {{"3", "/", "4", "x"}, "+3/4"},  // the letter after the denominator is kept apart
  }};
  for (const auto& c : cases) {
    auto t = std::make_unique<FormulaTables>();
    auto b = std::make_unique<BreakdownTables>();
    Load(*t, c.cells);
    EXPECT_EQ(char2str_graph(*t, *b), c.text) << c.cells.size();
  }
}

TEST(Breakdown, GroupTakesTheCoefficientInFront) {
  auto t = std::make_unique<FormulaTables>();
  auto b = std::make_unique<BreakdownTables>();
  Load(*t, {"2", "(", "x", "+", "1", ")"});
  char2str_graph(*t, *b);
  EXPECT_EQ(b->TermCount(0, 0), 0);
  EXPECT_EQ(b->TermCount(1, 0), 2);
  EXPECT_EQ(b->Group(1, 0).Multiplier, 2);
  EXPECT_EQ(b->Term(0, 1, 0, 1).DispText, "x");
  EXPECT_EQ(b->BrkMaxDepth, 1);
}

TEST(Breakdown, BreakIntoTokensJoinsNumbers) {
  auto t = std::make_unique<FormulaTables>();
  Load(*t, {"1", ".", "5", "E", "-", "3"});
  BreakIntoTokens(*t);
  EXPECT_EQ(t->Tokens[0], "1.5E-3");
  EXPECT_EQ(t->Tokens[1], "");
  EXPECT_EQ(t->TokenCount, 4);

  Load(*t, {});
  BreakIntoTokens(*t);
  EXPECT_EQ(t->TokenCount, 3);

  Load(*t, {"3", "/", "4", "+", "x"});
  BreakIntoTokens(*t);
  EXPECT_EQ(t->Tokens[0], "3/4");
  EXPECT_EQ(t->Tokens[1], "+");
}

TEST(Breakdown, NumberHelpers) {
  EXPECT_EQ(ExpandENotation("1.5E-3"), "0.0015");
  EXPECT_EQ(ExpandENotation("2E+3"), "2000");
  EXPECT_EQ(ExpandENotation("12"), "12");
  EXPECT_THROW(ExpandENotation("2E+"), BreakdownError);
  EXPECT_EQ(FractionToDecimalStr("3/4"), "0.75");
  EXPECT_EQ(FractionToDecimalStr("5/0"), "");
  EXPECT_EQ(FractionToDecimalStr("7"), "7");
  EXPECT_THROW(FractionToDecimalStr("1/2/3"), BreakdownError);
  EXPECT_EQ(SingleText(3), "3");
  EXPECT_EQ(SingleText(0.5f), "0.5");
  EXPECT_EQ(SingleText(1.0f / 3), "0.3333333");
  EXPECT_EQ(SingleText(12345678.0f), "1.234568E+07");
  EXPECT_EQ(SingleText(-2.5e-6f), "-2.5E-06");
}

TEST(Breakdown, RelationAndTrim) {
  auto t = std::make_unique<FormulaTables>();
  Load(*t, {"x", "<", "=", "2"});
  EXPECT_EQ(FindRelation(*t), 2);
  Load(*t, {"x", "+", "2"});
  EXPECT_EQ(FindRelation(*t), 3);
  Load(*t, {"x", "+", "2"});
  t->TokenCount = 2;
  TrimTokenCount(*t);
  EXPECT_EQ(t->TokenCount, 2);
}

TEST(Breakdown, ClearVisitsSixDepthsSixGroupsFourTerms) {
  auto t = std::make_unique<FormulaTables>();
  auto b = std::make_unique<BreakdownTables>();
  ClearBreakdownTables(*t, *b, false);
  EXPECT_EQ(b->Term(0, 5, 5, 4).Num, 1);
  EXPECT_EQ(b->Term(0, 5, 5, 4).FactorCount, 1);
  EXPECT_EQ(b->Group(5, 5).NextGroup, -1);
  EXPECT_EQ(b->Term(0, 0, 0, 5).Num, 0);  // beyond the margin: still its zero value
  EXPECT_EQ(b->Term(0, 6, 0, 1).Num, 0);
  EXPECT_EQ(b->Group(0, 6).NextGroup, 0);
}

TEST(Breakdown, ErrorsReachTheCaller) {
  struct ErrorCase {
    std::vector<std::string> cells;
    BreakdownError::Kind kind;
  };
  const ErrorCase cases[] = {
      {{"x", ")", ")"}, BreakdownError::Kind::OutOfRange},
      {{"x", "/", "0"}, BreakdownError::Kind::Arithmetic},
      // Coefficients beyond a Single overflow instead of turning into infinity.
      {{"9", "E", "9", "9"}, BreakdownError::Kind::Arithmetic},
      {{"-", "9", "E", "9", "9", "x"}, BreakdownError::Kind::Arithmetic},
      {{"9", "E", "9", "9", "~", "2"}, BreakdownError::Kind::Arithmetic},
      {{"1", "E", "3", "8", "x", "/", "1", "E", "-", "3", "8"}, BreakdownError::Kind::Arithmetic},
      {{"x", "^", "9", "E", "9", "9"}, BreakdownError::Kind::Arithmetic},
  };
  for (const ErrorCase& c : cases) {
    auto t = std::make_unique<FormulaTables>();
    auto b = std::make_unique<BreakdownTables>();
    Load(*t, c.cells);
    std::string cells;
    for (const auto& cell : c.cells) cells += cell;
    try {
      char2str_graph(*t, *b);
      ADD_FAILURE() << cells << " gave no error";
    } catch (const BreakdownError& e) {
      EXPECT_EQ(e.kind, c.kind) << cells << ": " << e.what();
    } catch (const std::exception& e) {
      ADD_FAILURE() << cells << " raised " << e.what();
    }
  }
  MakeGraphable();
}

}  // namespace
}  // namespace linoveta
