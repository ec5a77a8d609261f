// Typed lines through the whole pipeline: the value the evaluator gives for the script form.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <optional>
#include <string>

#include "engine/calc_fx.h"
#include "engine/formula_engine.h"
#include "engine/key_handler.h"

namespace linoveta {
namespace {

struct ValueCase {
  const char* keys;
  double x;
  double value;
};

class TypedValue : public ::testing::TestWithParam<ValueCase> {};

TEST_P(TypedValue, EvaluatesAsWritten) {
  const ValueCase& c = GetParam();
  auto engine = std::make_unique<FormulaEngine>();
  engine->Start();
  FormulaTables& t = engine->tables;
  for (const char* k = c.keys; *k; ++k) {
    const bool trig = *k == 'S' || *k == 'C' || *k == 'T';
    t.AllowTrigLetters = trig;
    Paper_KeyPress(t, engine->keys, 0, *k);
    t.AllowTrigLetters = false;
    ASSERT_TRUE(t.KeyAccepted) << c.keys << " refused at '" << *k << "'";
  }
  ASSERT_FALSE(t.FormulaIncomplete[0]) << c.keys;
  frmCalcFX calc;
  calc.PreCalcFX(t);
  const std::optional<double> y = calc.CalculateYValue(c.x, 0);
  ASSERT_TRUE(y.has_value()) << c.keys << " -> " << char2str_expr(t, 0);
  EXPECT_NEAR(*y, c.value, 1e-8 * std::max(1.0, std::fabs(c.value)))
      << c.keys << " -> " << char2str_expr(t, 0);
}

constexpr double kPi = 3.14159265358979;

INSTANTIATE_TEST_SUITE_P(
    Lines, TypedValue,
    ::testing::Values(ValueCase{"2+x/3", 3, 3}, ValueCase{"~(x+1)", 3, 2},
                      ValueCase{"|~x^2|", 3, 3}, ValueCase{"1/(2+3)", 0, 0.2},
                      ValueCase{"x^-2+1", 2, 1.25}, ValueCase{"3/4x", 3, 0.25},
                      ValueCase{"2|x|", -1.5, 3}, ValueCase{"x^2(x)", 2, 8},
                      ValueCase{"2S(x)", 0, 0}, ValueCase{"~x+1", 4, 3},
                      ValueCase{"(1/2)", 0, 0.5}, ValueCase{"3/4/5", 0, 0.15}));

// Each of these gave a wrong value, or a syntax error, before the translation was mended.
INSTANTIATE_TEST_SUITE_P(
    Mended, TypedValue,
    ::testing::Values(ValueCase{"(x/2+1)/3", 2, 2.0 / 3},
                      ValueCase{"x^(1+3/4)", 2, 3.363585661014858},
                      ValueCase{"x/(3/4+1)", 7, 4}, ValueCase{"((x)+(x))*3", 1, 6},
                      ValueCase{"|x|P", -2, 2 * kPi}, ValueCase{"2P|x|", -1, 2 * kPi},
                      ValueCase{"3/4P", 0, 3 / (4 * kPi)},
                      ValueCase{"~|xS(x)|", 1, 0.9173172759781081},
                      ValueCase{"~-C(x)", kPi, 1}));

// The same keys give the same value whatever came before them, a function letter in a number
// fraction's denominator is multiplied, and a number with many leading zeros is small.
const std::string& LeadingZeros() {
  static const std::string keys = "x+0." + std::string(400, '0') + "1";
  return keys;
}

INSTANTIATE_TEST_SUITE_P(
    SameKeysSameValue, TypedValue,
    ::testing::Values(ValueCase{"3/4/x+1", 2, 1.375}, ValueCase{"(x/2)+3/4/x+1", 2, 2.375},
                      ValueCase{"3/4S(x)/2", 1, 3 / (4 * std::sin(1.0)) / 2},
                      ValueCase{"3/4C(x)/2", 1, 3 / (4 * std::cos(1.0)) / 2},
                      ValueCase{"3/4T(x)/2", 1, 3 / (4 * std::tan(1.0)) / 2},
                      ValueCase{LeadingZeros().c_str(), 2, 2},
                      ValueCase{"(x^4+3x^3-2x^2+5x-7+12x^3-3x^2+1+7x-8x^4+2x^2-1)/(x^2+1)", 2,
                                2.6}));

}  // namespace
}  // namespace linoveta
