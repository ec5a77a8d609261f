#include "engine/calc_fx.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "engine/formula_tables.h"
#include "engine/number_text.h"

namespace linoveta {
namespace {

struct FinishCase {
  const char* script;
  const char* finished;
};

TEST(CalcFx, PreparationSuppliesImplicitProductsAndNames) {
  const std::array<FinishCase, 12> cases = {{
      {"", ""},
      {"2x(x+1)", "2*x*(x+1)"},
      {"2*S(x)", "2*sin(x)"},
      {"(x)^(.5)+3x", "(x)^(.5)+3*x"},
      {"xS(x)", "x*sin(x)"},
      {"xC(x)+xT(x)", "x*cos(x)+x*tan(x)"},
      {"x(x)", "x*(x)"},
      {"3.1415926538x", "3.1415926538*x"},
      {"12(3)", "12*(3)"},
      {"C(T(S(x)))", "cos(tan(sin(x)))"},
      {"2.5x^(2)", "2.5*x^(2)"},
      {"(3)/(4)", "(3)/(4)"},
  }};
  for (const auto& c : cases) EXPECT_EQ(FinishScriptForm(c.script), c.finished) << c.script;
}

TEST(CalcFx, PreparationReadsTheScriptFormsOfLinesZeroToFour) {
  FormulaTables t;
  str2char_expr(t, "2x(x+1)", 0);
  str2char_expr(t, "S(x)", 4);
  str2char_expr(t, "x", 5);  // not an evaluated line
  frmCalcFX fx;
  fx.PreCalcFX(t);
  EXPECT_EQ(fx.EvalFormula(0), "2*x*(x+1)");
  EXPECT_EQ(fx.EvalFormula(1), "");
  EXPECT_EQ(fx.EvalFormula(4), "sin(x)");
  EXPECT_EQ(fx.EvalFormula(5), "");
  EXPECT_EQ(fx.CalculateY(1, 0), "4");

  // A later preparation replaces what the earlier one compiled.
  str2char_expr(t, "", 0);
  fx.PreCalcFX(t);
  EXPECT_EQ(fx.CalculateY(1, 0), "0");
}

struct ConventionCase {
  const char* script;
  double x;
  int line;
  const char* eval;
  const char* plot;
  const char* area;
};

TEST(CalcFx, TextConventionsOfTheThreeOperations) {
  const std::array<ConventionCase, 8> cases = {{
      {"", 1, 0, "", "0", "0"},
      {"x+1", 1, 0, "2", "2", "2"},
      {"1/x", 0, 0, "NA", "NA", "0"},
      {"(x)^(.5)", -1, 0, "NA", "NA", "0"},
      {"x^(", 1, 0, "NA", "NA", "0"},  // a syntax error
      {"x?", 1, 0, "NA", "NA", "0"},
      {"x", 1, 5, "NA", "NA", "0"},  // no such line
      {"x", 1, -1, "NA", "NA", "0"},
  }};
  for (const auto& c : cases) {
    std::array<std::string, kEvalLines> forms;
    forms[0] = c.script;
    frmCalcFX fx;
    fx.PreCalcFX(forms);
    EXPECT_EQ(fx.CalculateYEval(c.x, c.line), c.eval) << c.script;
    EXPECT_EQ(fx.CalculateY(c.x, c.line), c.plot) << c.script;
    EXPECT_EQ(fx.CalculateYArea(c.x, c.line), c.area) << c.script;
  }
}

struct ValueCase {
  const char* script;
  double x;
  const char* text;
};

TEST(CalcFx, ValuesAtX) {
  const std::array<ValueCase, 16> cases = {{
      // x goes in as its text in parentheses: a power of a negative x is the power of (x).
      {"x^(2)", -3, "9"},
      {"-x^(2)", -3, "-9"},
      {"2x", 0.5, "1"},
      {"x-x", -2, "0"},
      {"S(x)", 0, "0"},
      {"C(x)", 0, "1"},
      {"2*S(x)", 3.1415926538 / 2, "2"},
      {"(3)/(4)", 123, "0.75"},  // a constant
      {"x", 0.1 + 0.2, "0.3"},
      {"x", 1e20, "1E+20"},
      {"x^(2)", 1e-4, "1E-08"},
      {"-(x)*0", 2, "0"},  // never "-0"
      {"((x)^(2)^.5)", 2, "2"},
      {"abs(x-5)", 2, "3"},
      {"(x+1)*(x-1)", 0.5, "-0.75"},
      {"1/(3)", 0, "0.333333333333333"},
  }};
  for (const auto& c : cases) {
    std::array<std::string, kEvalLines> forms;
    forms[2] = c.script;
    frmCalcFX fx;
    fx.PreCalcFX(forms);
    EXPECT_EQ(fx.CalculateY(c.x, 2), c.text) << c.script << " at " << c.x;
  }
}

// Callers pass unrounded x: the area sum reaches 0.30000000000000004, whose text is "0.3".
TEST(CalcFx, XIsTheValueOfItsText) {
  std::array<std::string, kEvalLines> forms;
  forms[0] = "1/(x-.3)";
  forms[1] = "(x)^(.5)";
  frmCalcFX fx;
  fx.PreCalcFX(forms);
  double x = 0;
  for (int i = 0; i < 3; ++i) x += 0.1;
  ASSERT_NE(x, 0.3);
  EXPECT_EQ(fx.CalculateY(x, 0), "NA");
  EXPECT_EQ(fx.CalculateYArea(x, 0), "0");
  EXPECT_FALSE(fx.CalculateYValue(x, 0).has_value());
  EXPECT_EQ(fx.CalculateYAreaValue(x, 0), 0.0);
  // -1E-17 reads as -1E-17, so its square root has no value; -0.0 reads as 0.
  EXPECT_EQ(fx.CalculateY(-1e-17, 1), "NA");
  EXPECT_EQ(fx.CalculateY(-0.0, 1), "0");
  // An x whose text would not read back as a number fails.
  EXPECT_EQ(fx.CalculateY(1.7976931348623157e308, 1), "NA");
  EXPECT_EQ(fx.CalculateY(INFINITY, 1), "NA");
  EXPECT_EQ(fx.CalculateY(NAN, 1), "NA");
}

// The numeric entry point gives exactly what reading CalculateY's text gives.
TEST(CalcFx, NumericEntryPointEqualsTheTextReadBack) {
  std::array<std::string, kEvalLines> forms = {
      "x^(2)", "S(x)^(2)+C(x)^(2)", "(x^(3)-2*x+1)/(x-3)", "abs(T(x))^(.5)", ""};
  frmCalcFX fx;
  fx.PreCalcFX(forms);
  std::mt19937_64 rng(7);
  std::uniform_real_distribution<double> dist(-50, 50);
  for (int n = 0; n < 20000; ++n) {
    double x = dist(rng);
    if (n % 3 == 0) x = std::nearbyint(x * 100) / 100;
    if (n == 1) x = 3;
    for (int line = 0; line < kEvalLines; ++line) {
      const std::string text = fx.CalculateY(x, line);
      const std::optional<double> value = fx.CalculateYValue(x, line);
      if (text == "NA") {
        ASSERT_FALSE(value.has_value()) << forms[line] << " at " << x;
        EXPECT_EQ(fx.CalculateYAreaValue(x, line), 0.0);
        continue;
      }
      ASSERT_TRUE(value.has_value()) << forms[line] << " at " << x;
      ASSERT_EQ(*value, ParseLeadingNumber(text)) << forms[line] << " at " << x;
      ASSERT_EQ(fx.CalculateYAreaValue(x, line), *value);
      ASSERT_EQ(fx.CalculateYArea(x, line), text);
    }
  }
}

TEST(CalcFx, GroupedEntryPointsEqualTheSingleOnes) {
  const std::array<std::string, kEvalLines> forms = {"1/(x-.3)", "(x)^(.5)", "", "S(x)^(2)+x",
                                                     "x*1E+300"};
  frmCalcFX fx;
  fx.PreCalcFX(forms);
  // Unrounded x as the area sum reaches them (0.30000000000000004 reads as 0.3), x that are
  // not numbers, and a count that is no multiple of the group size.
  std::vector<double> xs;
  double x = -1;
  for (int i = 0; i < 37; ++i, x += 0.1) xs.push_back(x);
  xs.push_back(0.1 + 0.2);
  xs.push_back(INFINITY);
  xs.push_back(NAN);
  xs.push_back(1.7976931348623157e308);
  for (int line = -1; line <= kEvalLines; ++line) {
    std::vector<std::optional<double>> values(xs.size()), fromBound(xs.size()), results(xs.size());
    std::vector<double> areas(xs.size()), bound(xs.size());
    fx.CalculateYValues(xs.data(), xs.size(), line, values.data());
    fx.CalculateYAreaValues(xs.data(), xs.size(), line, areas.data());
    for (std::size_t i = 0; i < xs.size(); ++i) bound[i] = NumberTextValue(xs[i]);
    fx.CalculateYValuesBound(bound.data(), bound.size(), line, fromBound.data());
    fx.CalculateYResultsBound(bound.data(), bound.size(), line, results.data());
    for (std::size_t i = 0; i < xs.size(); ++i) {
      SCOPED_TRACE("line " + std::to_string(line) + " at " + std::to_string(xs[i]));
      ASSERT_EQ(values[i], fx.CalculateYValue(xs[i], line));
      ASSERT_EQ(areas[i], fx.CalculateYAreaValue(xs[i], line));
      ASSERT_EQ(fromBound[i], values[i]);
      ASSERT_EQ(frmCalcFX::RoundedResult(results[i]), values[i]);
    }
  }
  std::optional<double> at03;
  fx.CalculateYValues(&xs[37], 1, 0, &at03);
  EXPECT_FALSE(at03.has_value());
}

}  // namespace
}  // namespace linoveta
