// Typed symbols become number tokens, number fractions and single-symbol tokens.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/formula_tables.h"
#include "engine/key_handler.h"

namespace linoveta {
namespace {

struct TokenCase {
  const char* symbols;
  std::vector<std::string> tokens;
};

class Tokenizer : public ::testing::TestWithParam<TokenCase> {};

TEST_P(Tokenizer, SplitsTheLine) {
  const TokenCase& c = GetParam();
  auto t = std::make_unique<FormulaTables>();
  t->CurrentFunction = 3;
  const std::string s = c.symbols;
  for (std::size_t i = 0; i < s.size(); ++i) t->FormulaSym[3][i] = s.substr(i, 1);
  t->FormulaLen[3] = static_cast<std::int16_t>(s.size());
  t->FormulaDisp[3][1500] = "stale";

  ASSERT_TRUE(TokenizeFormula(*t));
  std::vector<std::string> tokens;
  for (int k = 1; k <= t->DispLen; ++k) tokens.push_back(t->FormulaDisp[3][k]);
  EXPECT_EQ(tokens, c.tokens);
  EXPECT_EQ(t->FormulaDisp[3][0], "");
  for (int k = t->DispLen + 1; k < kFormulaCells; ++k)
    ASSERT_EQ(t->FormulaDisp[3][k], "") << "cell " << k;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, Tokenizer,
    ::testing::Values(
        TokenCase{"", {}},
        TokenCase{"2x+3/4", {"2", "x", "+", "3/4"}},
        TokenCase{"3/x", {"3", "/", "x"}},
        TokenCase{"3/(x)", {"3", "/", "(", "x", ")"}},
        TokenCase{"(1)/2", {"(", "1", ")", "/", "2"}},
        // After an exponent sign a "/" always stands alone.
        TokenCase{"x^3/4", {"x", "^", "3", "/", "4"}},
        TokenCase{"2^-3/4", {"2", "^", "-", "3", "/", "4"}},
        TokenCase{"2^(3/4)", {"2", "^", "(", "3", "/", "4", ")"}},
        TokenCase{"x^(1+3/4)", {"x", "^", "(", "1", "+", "3/4", ")"}},
        TokenCase{"3/4/5", {"3/4", "/", "5"}},
        TokenCase{"3/", {"3", "/"}},
        TokenCase{"12.5+0.25", {"12.5", "+", "0.25"}},
        TokenCase{"2S(x)", {"2", "S", "(", "x", ")"}},
        TokenCase{".5|x|", {".5", "|", "x", "|"}}));

}  // namespace
}  // namespace linoveta
