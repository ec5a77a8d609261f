#include "engine/script/expression.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace linoveta::script {
namespace {

struct ValueCase
{
    const char *text;
    double x;
    double value;
};

TEST(ScriptExpression, Values)
{
    const double pi = 3.1415926538;
    const std::array<ValueCase, 44> cases = {{
        // Numbers
        {"007", 0, 7},
        {".5", 0, 0.5},
        {"3.", 0, 3},
        {"1E-05", 0, 1e-5},
        {"2.5e+2", 0, 250},
        {"1E-400", 0, 0},
        {" 12 ", 0, 12},
        // Precedence and associativity
        {"1+2*3", 0, 7},
        {"(1+2)*3", 0, 9},
        {"10-4-3", 0, 3},
        {"8/4/2", 0, 1},
        {"2^3^2", 0, 64},
        {"-2^2", 0, -4},
        {"(-2)^2", 0, 4},
        {"2^-1", 0, 0.5},
        {"-2^-2", 0, -0.25},
        {"2*-3", 0, -6},
        {"2--3", 0, 5},
        {"- -3", 0, 3},
        {"-x^2", 3, -9},
        {"2^3*4", 0, 32},
        {"2*3^2", 0, 18},
        {"-3*2+1", 0, -5},
        {"1-2^2*3", 0, -11},
        // Unary plus, as the translator can write it inside abs
        {"abs(+x)", -2, 2},
        {"+x", 4, 4},
        // The variable
        {"x", -2.5, -2.5},
        {"X*2", 3, 6},
        {"(x)^(2)", -3, 9},
        {"((x)^(2)^.5)", 2, 2},
        {"((x)^(2)^.5)", -2, 2},
        {"(x+1)*(x-1)", 3, 8},
        {"(-2)^3", 0, -8},
        {"(-8)^(-1)", 0, -0.125},
        {"0^0", 0, 1},
        {"(x)^(.5)", 16, 4},
        // Functions, in radians; names in any case
        {"sin(0)", 0, 0},
        {"cos(0)", 0, 1},
        {"tan(x)", 0, 0},
        {"sin(x)^2+cos(x)^2", 0.7, std::pow(std::sin(0.7), 2) + std::pow(std::cos(0.7), 2)},
        {"SIN (3.1415926538/2)", 0, std::sin(pi / 2)},
        {"abs(-x)*2", 3, 6},
        {"abs(x-5)", 2, 3},
        {"2*3.14159265388", 0, 2 * 3.14159265388},
    }};
    for (const auto &c : cases) {
        const Expression e(c.text);
        const Result r = e.Evaluate(c.x);
        ASSERT_TRUE(r.ok()) << c.text << " error " << static_cast<int>(r.error);
        EXPECT_DOUBLE_EQ(r.value, c.value) << c.text << " at " << c.x;
    }
}

// Constant folding must not change a value: the same operations on x give the same bits.
struct FoldCase
{
    const char *folded;
    const char *live;
    double x;
};

TEST(ScriptExpression, FoldedConstantsEqualEvaluatedOnes)
{
    const std::array<FoldCase, 7> cases = {{
        {"0.1+0.2", "x+0.2", 0.1},
        {"1/3", "x/3", 1},
        {"2^0.1", "x^0.1", 2},
        {"2^0.1", "2^x", 0.1},
        {"-(0.1)*3", "-(x)*3", 0.1},
        {"3/0.1", "3/x", 0.1},
        {"sin(0.1)^2", "sin(x)^2", 0.1},
    }};
    for (const auto &c : cases) {
        const Result a = Expression(c.folded).Evaluate(0);
        const Result b = Expression(c.live).Evaluate(c.x);
        ASSERT_TRUE(a.ok() && b.ok()) << c.folded;
        EXPECT_EQ(a.value, b.value) << c.folded;
    }
}

struct ErrorCase
{
    const char *text;
    double x;
    Error error;
};

TEST(ScriptExpression, Errors)
{
    const std::array<ErrorCase, 33> cases = {{
        {"1/x", 0, Error::DivisionByZero},
        {"1/0", 0, Error::DivisionByZero},
        {"0/0", 0, Error::DivisionByZero},
        {"x/(x-x)", 2, Error::DivisionByZero},
        {"0^(-1)", 0, Error::DivisionByZero},
        {"(x)^(-2)", 0, Error::DivisionByZero},
        {"(x)^(.5)", -1, Error::Invalid},
        {"(-8)^(1/3)", 0, Error::Invalid},
        {"1E308*10", 0, Error::Overflow},
        {"1/(1E308*10)", 0, Error::Overflow},
        {"1E308*10-1E308*10", 0, Error::Invalid},
        {"10^400", 0, Error::Overflow},
        {"x^x", 1000, Error::Overflow},
        {"1E999", 0, Error::Overflow},
        {"(1E308*10)^0", 0, Error::Overflow},
        {"1^(1E308*10)", 0, Error::Overflow},
        {"2+", 0, Error::Syntax},
        {"*2", 0, Error::Syntax},
        {"(x", 0, Error::Syntax},
        {"x)", 0, Error::Syntax},
        {"()", 0, Error::Syntax},
        {"2 3", 0, Error::Syntax},
        {"2(3)", 0, Error::Syntax},
        {"1.2.3", 0, Error::Syntax},
        {"1E", 0, Error::Syntax},
        {".", 0, Error::Syntax},
        {"x^?", 0, Error::Syntax},
        {"y+1", 0, Error::Syntax},
        {"sin x", 0, Error::Syntax},
        {"sqr(4)", 0, Error::Syntax},
        {"1,5", 0, Error::Syntax},
        {"x=2", 0, Error::Syntax},
        {"abs(1,2)", 0, Error::Syntax},
    }};
    for (const auto &c : cases) {
        const Result r = Expression(c.text).Evaluate(c.x);
        EXPECT_EQ(r.kind, Result::Kind::Error) << c.text << " gave " << r.value;
        EXPECT_EQ(r.error, c.error) << c.text;
    }
}

TEST(ScriptExpression, BlankTextIsEmpty)
{
    for (const char *text : {"", "   ", "\t"}) {
        const Expression e(text);
        EXPECT_TRUE(e.empty());
        EXPECT_EQ(e.Evaluate(1).kind, Result::Kind::Empty);
    }
}

TEST(ScriptExpression, LengthAndDepthLimits)
{
    // Deep but within the limit: evaluated without recursion.
    const int deep = Expression::kMaxDepth;
    std::string nested = std::string(deep, '(') + "x" + std::string(deep, ')');
    Result r = Expression(nested).Evaluate(5);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.value, 5);

    std::string tooDeep = "(" + nested + ")";
    EXPECT_EQ(Expression(tooDeep).Evaluate(5).error, Error::TooDeep);
    EXPECT_EQ(Expression(std::string(Expression::kMaxLength, '(')).Evaluate(0).error, Error::TooDeep);
    EXPECT_EQ(Expression(std::string(Expression::kMaxLength + 1, '(')).Evaluate(0).error, Error::TooLong);

    // A chain that needs a deep value stack: x-(x-(...(x))) with 1001 x alternates to 1.
    std::string chain;
    for (int i = 0; i < 1000; ++i)
        chain += "x-(";
    chain += "x" + std::string(1000, ')');
    r = Expression(chain).Evaluate(1);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.value, 1);

    std::string longSum = "x";
    while (longSum.size() < Expression::kMaxLength - 2)
        longSum += "+x";
    r = Expression(longSum).Evaluate(1);
    ASSERT_TRUE(r.ok());
    longSum += std::string(Expression::kMaxLength, ' ');
    EXPECT_EQ(Expression(longSum).Evaluate(1).error, Error::TooLong);

    // Many unary signs in a row need no depth at all.
    r = Expression(std::string(20000, '-') + "x").Evaluate(3);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.value, 3);
}

TEST(ScriptExpression, RecompileReplacesTheProgram)
{
    Expression e("1/0");
    EXPECT_FALSE(e.Evaluate(0).ok());
    e.Compile("2*x");
    EXPECT_EQ(e.Evaluate(4).value, 8);
    e.Compile("(");
    EXPECT_EQ(e.compileError(), Error::Syntax);
    e.Compile("");
    EXPECT_TRUE(e.empty());
}

// The grouped evaluation must give, lane by lane, exactly what one evaluation gives: the same
// kind, the same error and the same bits, whatever the other lanes of its group do.
TEST(ScriptExpression, EvaluateManyEqualsEvaluate)
{
    std::string deep = "x";
    for (int i = 0; i < 100; ++i)
        deep = "x-(" + deep + ")";  // a stack deeper than the local one
    const std::vector<std::string> texts = {
        "x", "-x^2", "2^x", "x^x", "(x)^(.5)", "x^3-2*x+1", "(x^3-2*x+1)/(x-3)", "1/x", "0^x",
        "x^-1", "abs(tan(x))^(.5)", "sin(x)^2+cos(x)^2", "3-x", "3/x", "x/4", "x*1E+300*1E+300",
        "(x-x)/(x-x)", "(1/(x-x))^x", "x^1000", deep, "", "(", "1/0",
    };
    const std::vector<double> xs = {0,    -0.0, 1,     -1,   2,    -2,    3,     0.5,  -0.5,
                                    1e-5, 7,    -7.25, 1e10, 1e300, -1e300, 1e-300, 709.5, 3.0000001,
                                    -3};
    for (const std::string &text : texts) {
        const Expression e(text);
        for (std::size_t n : {std::size_t{0}, std::size_t{1}, std::size_t{5}, xs.size()}) {
            std::vector<Result> many(n);
            e.EvaluateMany(xs.data(), n, many.data());
            for (std::size_t i = 0; i < n; ++i) {
                const Result one = e.Evaluate(xs[i]);
                SCOPED_TRACE(text + " at x = " + std::to_string(xs[i]));
                ASSERT_EQ(many[i].kind, one.kind);
                ASSERT_EQ(many[i].error, one.error);
                if (one.ok()) {
                    ASSERT_EQ(std::signbit(many[i].value), std::signbit(one.value));
                }
                ASSERT_EQ(many[i].value, one.value);
            }
        }
    }
}

// Every written power is the power itself, whatever form it takes in the code: a square, a
// cube and a square root give std::pow's result to the last bit, one by one and many at a
// time, and so does a power of a constant, folded when the program is compiled. A product
// t*t*t rounds once more than the power (at 363.0945 the 15th digit differs).
TEST(ScriptExpression, EveryPowerIsThePowerItself)
{
    struct PowerCase
    {
        const char *text;
        double exponent;
    };
    const std::array<PowerCase, 9> cases = {{
        {"x^2", 2},
        {"(x)^(2)", 2},
        {"x^(1+1)", 2},
        {"x^3", 3},
        {"x^(3)", 3},
        {"(x)^(.5)", 0.5},
        {"x^.5", 0.5},
        {"x^(1/2)", 0.5},
        {"x^4", 4},
    }};
    std::vector<double> xs = {363.0945, 0.1, 3, 1e-5, 7.25, 123456.789, 2.5e50};
    std::uint64_t seed = 88172645463325252u;
    for (int i = 0; i < 4000; ++i) {
        seed ^= seed << 13;
        seed ^= seed >> 7;
        seed ^= seed << 17;
        xs.push_back(static_cast<double>(seed % 100000000) / 1000.0);
        // Whole doubles of every mantissa, from tiny to large.
        std::uint64_t bits = (seed & 0x000FFFFFFFFFFFFFu) | (std::uint64_t(1023 - 60 + int(seed >> 58) * 2) << 52);
        double v;
        std::memcpy(&v, &bits, sizeof v);
        xs.push_back(v);
    }
    // Squares exactly halfway between two doubles, and values whose powers lie near one.
    xs.push_back(134217727.0);
    xs.push_back(134217729.0);
    xs.push_back(0.0);
    xs.push_back(-0.0);
    xs.push_back(1e-200);
    xs.push_back(1e70);
    for (const PowerCase &c : cases) {
        const Expression e(c.text);
        std::vector<Result> many(xs.size());
        e.EvaluateMany(xs.data(), xs.size(), many.data());
        int differing = 0;
        // Read at run time, so that no compiler turns pow(x, 2) into x*x here.
        volatile double exponent = c.exponent;
        for (std::size_t i = 0; i < xs.size(); ++i) {
            const double expected = std::pow(xs[i], exponent);
            const Result one = e.Evaluate(xs[i]);
            ASSERT_TRUE(one.ok() && many[i].ok()) << c.text << " at " << xs[i];
            differing += one.value != expected || many[i].value != expected;
        }
        EXPECT_EQ(differing, 0) << c.text;
    }
    // Folded: a constant base gives the same bits as the same power of x.
    for (const char *folded : {"363.0945^3", "363.0945^2", "363.0945^.5"}) {
        const std::string live = "x" + std::string(folded).substr(8);
        EXPECT_EQ(Expression(folded).Evaluate(0).value, Expression(live).Evaluate(363.0945).value)
            << folded;
    }
    EXPECT_EQ(Expression("sin(x^3)").Evaluate(363.0945).value,
              std::sin(std::pow(363.0945, 3)));
}

// A number too large or too small for a double is told by the decimal exponent of its first
// significant digit, so leading zeros make a number small, never an overflow.
TEST(ScriptExpression, NumbersOutOfRangeByTheirDecimalExponent)
{
    const std::string zeros(400, '0');
    struct RangeCase
    {
        std::string text;
        double x;
        bool overflow;
        double value;
    };
    const RangeCase cases[] = {
        {"x+0." + zeros + "1", 2, false, 2},
        {"0." + zeros + "1", 0, false, 0},
        {"." + zeros + "7", 0, false, 0},
        {"0." + std::string(320, '0') + "1+x", 2, false, 2},
        {zeros + "1." + zeros + "1", 0, false, 1},
        {"0." + zeros + "1E+380", 0, false, 1e-21},
        {"0." + zeros + "1E+800", 0, true, 0},
        {"1" + zeros, 0, true, 0},
        {"1" + zeros + "E-800", 0, false, 0},
        {"00" + zeros + "." + zeros + "5E+400", 0, false, 0.5},
    };
    for (const RangeCase &c : cases) {
        const Result r = Expression(c.text).Evaluate(c.x);
        const std::string shown = c.text.substr(0, 12) + "..." + c.text.substr(c.text.size() - 6);
        if (c.overflow) {
            EXPECT_EQ(r.error, Error::Overflow) << shown;
        } else {
            ASSERT_TRUE(r.ok()) << shown << " error " << static_cast<int>(r.error);
            EXPECT_EQ(r.value, c.value) << shown;
        }
    }
}

} // namespace
} // namespace linoveta::script
