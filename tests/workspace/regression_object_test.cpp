#include "workspace/regression_object.h"

#include "support/scoped_locale.h"

#include <gtest/gtest.h>

#include <QLocale>

#include <array>
#include <charconv>
#include <cmath>
#include <fstream>
#include <iostream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Pt {
    double x, y;
};

void AddAll(RegressionObject &fit, const std::vector<Pt> &points)
{
    for (const Pt &p : points)
        fit.XYAdd(p.x, p.y);
}

// Least squares in long double by Householder QR on the Vandermonde matrix of
// t = (x - centre) / scale, so the reference never forms the normal equations the class uses.
class ReferenceFit
{
public:
    ReferenceFit(const std::vector<Pt> &points, int degree, long double centre = 0,
                 long double scale = 1)
        : m_centre(centre), m_scale(scale), m_coef(static_cast<std::size_t>(degree) + 1, 0)
    {
        const std::size_t m = points.size(), n = m_coef.size();
        std::vector<std::vector<long double>> a(m, std::vector<long double>(n));
        std::vector<long double> b(m);
        for (std::size_t i = 0; i < m; ++i) {
            const long double t = (points[i].x - m_centre) / m_scale;
            long double p = 1;
            for (std::size_t j = 0; j < n; ++j, p *= t)
                a[i][j] = p;
            b[i] = points[i].y;
        }
        for (std::size_t k = 0; k < n; ++k) {
            long double norm = 0;
            for (std::size_t i = k; i < m; ++i)
                norm += a[i][k] * a[i][k];
            norm = std::sqrt(norm);
            const long double alpha = a[k][k] > 0 ? -norm : norm;
            std::vector<long double> v(m, 0);
            for (std::size_t i = k; i < m; ++i)
                v[i] = a[i][k];
            v[k] -= alpha;
            long double vv = 0;
            for (std::size_t i = k; i < m; ++i)
                vv += v[i] * v[i];
            if (vv == 0)
                continue;
            for (std::size_t j = k; j < n; ++j) {
                long double d = 0;
                for (std::size_t i = k; i < m; ++i)
                    d += v[i] * a[i][j];
                for (std::size_t i = k; i < m; ++i)
                    a[i][j] -= 2 * d / vv * v[i];
            }
            long double d = 0;
            for (std::size_t i = k; i < m; ++i)
                d += v[i] * b[i];
            for (std::size_t i = k; i < m; ++i)
                b[i] -= 2 * d / vv * v[i];
        }
        for (std::size_t k = n; k-- > 0;) {
            long double s = b[k];
            for (std::size_t j = k + 1; j < n; ++j)
                s -= a[k][j] * m_coef[j];
            m_coef[k] = s / a[k][k];
        }
    }

    long double coef(int k) const { return m_coef[static_cast<std::size_t>(k)]; }
    long double value(long double x) const
    {
        const long double t = (x - m_centre) / m_scale;
        long double v = 0;
        for (std::size_t k = m_coef.size(); k-- > 0;)
            v = v * t + m_coef[k];
        return v;
    }

private:
    long double m_centre, m_scale;
    std::vector<long double> m_coef;
};

RegressionObject FitOfDegree(int degree, const std::vector<Pt> &points)
{
    RegressionObject fit;
    fit.Degree(degree);
    AddAll(fit, points);
    return fit;
}

} // namespace

TEST(RegressionObjectTest, StartsEmptyAtDegreeTwo)
{
    RegressionObject fit;
    EXPECT_EQ(fit.Degree(), 2);
    EXPECT_EQ(fit.XYCount(), 0);
    for (double x : {-3.0, 0.0, 1e9})
        EXPECT_EQ(fit.RegVal(x), 0);
    EXPECT_EQ(fit.Coeff(0), 0);
    EXPECT_EQ(fit.ReturnRegEq(), "f(x) =");
}

struct EquationCase {
    const char *what;
    int degree;
    std::vector<Pt> points;
    const char *expected;
};

class EquationTextTest : public ::testing::TestWithParam<EquationCase>
{
};

TEST_P(EquationTextTest, TextAfterTheFitIsDrawn)
{
    const EquationCase &c = GetParam();
    // The texts of this table are in the dot form; the comma form has a table of its own.
    const linoveta::test::ScopedLocale dotLocale(linoveta::test::kDotLocale);
    RegressionObject fit = FitOfDegree(c.degree, c.points);
    fit.RegVal(0.0); // the callers always draw the fit before they ask for its text
    EXPECT_EQ(fit.ReturnRegEq(), c.expected) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    PointSets, EquationTextTest,
    ::testing::Values(
        EquationCase{"no points", 1, {}, "f(x) ="},
        EquationCase{"one point is a constant fit", 1, {{3, 7}}, "f(x) =  7"},
        EquationCase{"a line through three points", 1, {{0, 1}, {1, 3}, {2, 5}}, "f(x) =  2x + 1"},
        EquationCase{"a falling line with slope -1", 1, {{0, 4}, {1, 3}, {2, 2}}, "f(x) = - x + 4"},
        EquationCase{"constant y", 1, {{0, 4}, {1, 4}, {2, 4}}, "f(x) =  4"},
        EquationCase{"a constant of 1 keeps its digit", 1, {{0, 1}, {5, 1}}, "f(x) =  1"},
        EquationCase{"every y is 0", 2, {{-1, 0}, {0, 0}, {1, 0}, {2, 0}}, "f(x) = 0"},
        EquationCase{"a parabola through five points", 2,
                     {{-2, -1}, {-1, 2}, {0, 3}, {1, 2}, {2, -1}}, "f(x) = - x^2^ + 3"},
        EquationCase{"three points on x = 0 retry at degree 1 and give the mean", 2,
                     {{0, 1}, {0, 2}, {0, 6}}, "f(x) =  3"},
        EquationCase{"fewer points than the degree give the polynomial through them", 3,
                     {{0, 0}, {1, 1}, {2, 4}}, "f(x) =  x^2^"},
        EquationCase{"large coefficients are written in exponent form", 1,
                     {{0, 0}, {1, 1e20}}, "f(x) =  1E+20x"},
        EquationCase{"coefficients round to 10 decimals", 1,
                     {{0, 0}, {3, 1}}, "f(x) =  0.3333333333x"}),
    [](const auto &info) { return "case" + std::to_string(info.index); });

TEST(RegressionObjectTest, TinyResidueIsShownInExponentFormNotDropped)
{
    // y = x^2 sampled at tenths: the normal equations leave float residues in the lower terms.
    std::vector<Pt> points;
    for (int i = 1; i <= 7; ++i)
        points.push_back({i / 10.0, (i / 10.0) * (i / 10.0)});
    RegressionObject fit = FitOfDegree(2, points);
    fit.RegVal(0.0);
    const std::string text = fit.ReturnRegEq();
    EXPECT_EQ(text.rfind("f(x) =  x^2^", 0), 0u) << text;
    // Whatever residue the lower powers carry, each one that is not exactly 0 is written.
    for (int k = 0; k <= 1; ++k) {
        const double c = fit.Coeff(k);
        ASSERT_LT(std::fabs(c), 5e-11) << k;
        if (c != 0) {
            EXPECT_NE(text.find("E-"), std::string::npos) << text;
        }
    }
    EXPECT_EQ(text.find("E-") == std::string::npos, fit.Coeff(0) == 0 && fit.Coeff(1) == 0)
        << text;
}

TEST(RegressionObjectTest, EquationTextUsesTheLocaleDecimalSeparator)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    RegressionObject fit = FitOfDegree(1, {{0, 1.5}, {2, 1.5}});
    fit.RegVal(0.0);
    EXPECT_EQ(fit.ReturnRegEq(), "f(x) =  1,5");
    QLocale::setDefault(saved);
}

// The coefficients are the user's numbers: the locale's number text, whatever the C library's
// locale says.
TEST(RegressionObjectTest, EquationTextFollowsTheLocale)
{
    struct Row
    {
        int degree;
        std::vector<Pt> points;
        const char *dot, *comma;
    };
    const std::array<Row, 6> rows{{
        {1, {{0, 1.5}, {2, 1.5}}, "f(x) =  1.5", "f(x) =  1,5"},
        {1, {{0, 0}, {3, 1}}, "f(x) =  0.3333333333x", "f(x) =  0,3333333333x"},
        {1, {{0, -0.5}, {1, -2}}, "f(x) = - 1.5x - 0.5", "f(x) = - 1,5x - 0,5"},
        {1, {{0, 1}, {1, 3}, {2, 5}}, "f(x) =  2x + 1", "f(x) =  2x + 1"},
        {1, {{0, 0}, {1, 1e20}}, "f(x) =  1E+20x", "f(x) =  1E+20x"},
        {1, {{3, 1.5e-11}}, "f(x) =  1.5E-11", "f(x) =  1,5E-11"},
    }};
    for (const auto &locale : linoveta::test::kBothLocales) {
        const linoveta::test::ScopedLocale scoped(locale);
        ASSERT_TRUE(scoped.ok()) << locale.cName;
        for (const auto &row : rows) {
            RegressionObject fit = FitOfDegree(row.degree, row.points);
            fit.RegVal(0.0);
            EXPECT_EQ(fit.ReturnRegEq(), locale.comma ? row.comma : row.dot) << locale.qtName;
        }
    }
}

TEST(RegressionObjectTest, InvalidDegreeRaises6000AndChangesNothing)
{
    for (int bad : {-1, 26, 1000}) {
        RegressionObject fit = FitOfDegree(1, {{0, 1}, {1, 3}, {2, 5}});
        const double before = fit.RegVal(4.0);
        try {
            fit.Degree(bad);
            FAIL() << "no error for " << bad;
        } catch (const RegressionError &e) {
            EXPECT_EQ(e.number(), 6000);
            EXPECT_STREQ(e.source(), "RegressionObject");
            EXPECT_EQ(e.description(), std::to_string(bad)
                                           + " is an invalid property value! Use 0<= Degree <= 25");
        }
        EXPECT_EQ(fit.Degree(), 1);
        EXPECT_EQ(fit.XYCount(), 3);
        EXPECT_EQ(fit.RegVal(4.0), before);
    }
}

TEST(RegressionObjectTest, SettingAnyValidDegreeEmptiesTheFit)
{
    for (int degree : {0, 1, 25}) {
        RegressionObject fit = FitOfDegree(1, {{0, 1}, {1, 3}});
        fit.RegVal(0.0);
        fit.Degree(degree == 1 ? 1 : degree); // the current value empties it too
        EXPECT_EQ(fit.Degree(), degree);
        EXPECT_EQ(fit.XYCount(), 0);
        EXPECT_EQ(fit.RegVal(2.0), 0);
        EXPECT_EQ(fit.ReturnRegEq(), "f(x) =");
    }
}

TEST(RegressionObjectTest, SolvesLazilyAfterNewPoints)
{
    RegressionObject fit = FitOfDegree(1, {{0, 1}, {1, 3}});
    EXPECT_DOUBLE_EQ(fit.RegVal(2.0), 5);
    fit.XYAdd(2, 9); // the best line through (0,1), (1,3), (2,9) is y = 4x + 1/3
    EXPECT_EQ(fit.ReturnRegEq(), "f(x) =  2x + 1") << "the text reads the last solve";
    EXPECT_NEAR(fit.Coeff(1), 4, 1e-12);
    EXPECT_NEAR(fit.Coeff(0), 1.0 / 3, 1e-12);
    EXPECT_EQ(fit.XYCount(), 3);
}

TEST(RegressionObjectTest, CoeffTakesTheMagnitudeOfItsIndexAndIsZeroAboveTheFit)
{
    RegressionObject fit = FitOfDegree(3, {{0, 3}, {1, 2}, {2, -1}}); // effective degree 2
    EXPECT_EQ(fit.Coeff(-2), fit.Coeff(2));
    EXPECT_NEAR(fit.Coeff(2), -1, 1e-12);
    EXPECT_EQ(fit.Coeff(3), 0);
    EXPECT_EQ(fit.Coeff(-3), 0);
    EXPECT_EQ(fit.Coeff(26), 0);
}

TEST(RegressionObjectTest, PointThatWouldOverflowIsRefusedWhole)
{
    RegressionObject fit = FitOfDegree(2, {{0, 1}, {1, 3}});
    const double before = fit.RegVal(5.0);
    for (Pt bad : {Pt{1e100, 1}, Pt{1e300, 0}, Pt{2, 1e308}}) {
        try {
            fit.XYAdd(bad.x, bad.y);
            FAIL() << bad.x;
        } catch (const RegressionError &e) {
            EXPECT_EQ(e.number(), 6);
        }
    }
    EXPECT_EQ(fit.XYCount(), 2);
    EXPECT_EQ(fit.RegVal(5.0), before);
    fit.XYAdd(2, 5);
    EXPECT_NEAR(fit.RegVal(5.0), 11, 1e-9);
}

// x values a denormal apart would need slopes beyond a double: the fit stays finite instead.
TEST(RegressionObjectTest, XValuesNextToEachOtherNeverGiveInfiniteCoefficients)
{
    for (int degree : {1, 2, 5}) {
        RegressionObject fit = FitOfDegree(degree, {{0, 3.2e-319}, {7.4e-323, 2}, {0, 3}});
        for (int k = 0; k <= RegressionObject::kMaxDegree; ++k)
            EXPECT_TRUE(std::isfinite(fit.Coeff(k))) << "degree " << degree << ", x^" << k;
        EXPECT_TRUE(std::isfinite(fit.RegVal(1.0))) << "degree " << degree;
    }
}

// A y next to the largest double is still its own constant fit.
TEST(RegressionObjectTest, ValuesNearTheLargestDoubleStayFinite)
{
    for (int degree : {0, 2}) {
        RegressionObject one = FitOfDegree(degree, {{-2.6e-23, -1.7e308}});
        EXPECT_EQ(one.RegVal(0.0), -1.7e308) << "degree " << degree;
    }
}

struct KnownPolynomial {
    std::vector<double> coef; // coef[k] multiplies x^k
    int degree;
    double firstX, stepX;
    int count;
};

TEST(RegressionObjectTest, FitMatchesKnownCoefficientsAndLongDoubleReference)
{
    const std::array cases = {
        KnownPolynomial{{1, 2}, 1, -3, 1, 7},
        KnownPolynomial{{3, 0, -1}, 2, -2, 0.5, 9},
        KnownPolynomial{{5, -1, 0, 2}, 3, -2, 0.25, 17},
        KnownPolynomial{{0.5, 0, 0, 0, 0, 0.01}, 5, -3, 0.2, 31},
        KnownPolynomial{{1, -1, 1, -1, 1, -1, 1, -1, 1, -1, 1}, 10, -1, 0.05, 41},
    };
    std::mt19937 random(7);
    std::normal_distribution<double> noise(0, 0.01);
    for (const KnownPolynomial &c : cases) {
        std::vector<Pt> exact, noisy;
        double x = c.firstX;
        for (int i = 0; i < c.count; ++i, x += c.stepX) {
            long double y = 0;
            for (std::size_t k = c.coef.size(); k-- > 0;)
                y = y * x + c.coef[k];
            exact.push_back({x, static_cast<double>(y)});
            noisy.push_back({x, static_cast<double>(y) + noise(random)});
        }
        RegressionObject fit = FitOfDegree(c.degree, exact);
        for (int k = 0; k <= c.degree; ++k)
            EXPECT_NEAR(fit.Coeff(k), c.coef[static_cast<std::size_t>(k)], 1e-6)
                << "degree " << c.degree << " power " << k;

        RegressionObject noisyFit = FitOfDegree(c.degree, noisy);
        const ReferenceFit reference(noisy, c.degree);
        for (const Pt &p : noisy)
            EXPECT_NEAR(noisyFit.RegVal(p.x), static_cast<double>(reference.value(p.x)), 1e-7)
                << "degree " << c.degree << " at " << p.x;
    }
}

// Digits of the fitted values that agree with a long-double fit in a centred variable.
double DigitsKept(int degree, double centre)
{
    std::vector<Pt> points;
    std::mt19937 random(11);
    std::normal_distribution<double> noise(0, 1);
    double x = centre - 50;
    for (int i = 0; i <= 100; ++i, x += 1) {
        const double t = (x - centre) / 50;
        points.push_back({x, 1000 + 300 * t - 200 * t * t + 50 * t * t * t + noise(random)});
    }
    RegressionObject fit = FitOfDegree(degree, points);
    const ReferenceFit reference(points, degree, centre, 50);
    long double worst = 0, size = 0;
    for (const Pt &p : points) {
        const long double want = reference.value(p.x);
        worst = std::max(worst, std::fabs(fit.RegVal(p.x) - want));
        size = std::max(size, std::fabs(want));
    }
    if (worst == 0)
        return 17;
    return static_cast<double>(-std::log10(worst / size));
}

TEST(RegressionObjectTest, BadlyScaledDataKeepsThisManyDigits)
{
    // The normal equations in powers of x lose digits as x grows; this records how many survive
    // so a change of method shows up here.
    const double order2 = DigitsKept(2, 1e5);
    const double order10 = DigitsKept(10, 1e5);
    const double order2Centred = DigitsKept(2, 0);
    std::cout << "digits kept at x ~ 1e5: order 2 " << order2 << ", order 10 " << order10
              << "; order 2 near 0: " << order2Centred << "\n";
    RecordProperty("DigitsOrder2", std::to_string(order2));
    RecordProperty("DigitsOrder10", std::to_string(order10));
    EXPECT_GT(order2Centred, 12);
    EXPECT_GT(order2, 0);
}

namespace {

struct FarFit {
    std::string name;
    int degree = 0;
    std::vector<Pt> points;
    std::vector<double> fitted; // the exact least-squares value at each point's x
    std::vector<double> coef;   // the doubles nearest the exact coefficients of x^0, x^1, ...
    std::string equation;       // the equation text of those coefficients
};

// The fixture's numbers use "." whatever the locale the suite runs in.
double ReadNumber(const std::string& text)
{
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    EXPECT_TRUE(error == std::errc() && end == text.data() + text.size()) << text;
    return value;
}

// Reads the committed reference (written by data/regression_reference.py).
std::vector<FarFit> ReadFarFits()
{
    std::ifstream in(std::string(LINOVETA_TEST_DATA) + "/regression_far_from_origin.txt");
    std::vector<FarFit> fits;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream words(line);
        std::string keyword;
        words >> keyword;
        if (keyword == "coef" && !fits.empty()) {
            std::string number;
            while (words >> number)
                fits.back().coef.push_back(ReadNumber(number));
            continue;
        }
        if (keyword == "equation" && !fits.empty()) {
            fits.back().equation = line.substr(std::string("equation ").size());
            continue;
        }
        FarFit fit;
        int count = 0;
        words >> fit.name >> fit.degree >> count;
        if (keyword != "fit")
            break;
        for (int i = 0; i < count && std::getline(in, line); ++i) {
            std::istringstream row(line);
            std::string x, y, value;
            row >> x >> y >> value;
            fit.points.push_back({ReadNumber(x), ReadNumber(y)});
            fit.fitted.push_back(ReadNumber(value));
        }
        fits.push_back(std::move(fit));
    }
    return fits;
}

} // namespace

TEST(RegressionObjectTest, FitsFarFromTheOriginMatchTheExactLeastSquaresToNineDigits)
{
    const std::vector<FarFit> fits = ReadFarFits();
    ASSERT_EQ(fits.size(), 7u)
        << "cubic at degrees 3, 4, 5; smooth data at 10; yearly cubic; parabola at 2 and 4";
    for (const FarFit &f : fits) {
        RegressionObject fit = FitOfDegree(f.degree, f.points);
        ASSERT_EQ(fit.XYCount(), static_cast<int>(f.points.size())) << f.name;
        double worst = 0, worstX = 0;
        for (std::size_t i = 0; i < f.points.size(); ++i) {
            const double error = std::fabs(fit.RegVal(f.points[i].x) / f.fitted[i] - 1);
            if (!(error <= worst)) {
                worst = error;
                worstX = f.points[i].x;
            }
        }
        EXPECT_LE(worst, 5e-10) << f.name << " degree " << f.degree << ": relative error at x = "
                                << worstX;
    }
}

// The coefficients are the exact least-squares polynomial's, each rounded once to a double, so
// the equation reads as that polynomial does: a parabola a million from the origin fitted at
// degree 4 reads as the parabola, with no residue in x^4 and x^3 and its constant to the unit.
TEST(RegressionObjectTest, CoefficientsFarFromTheOriginAreTheExactLeastSquaresOnes)
{
    const linoveta::test::ScopedLocale dotLocale(linoveta::test::kDotLocale);
    const std::vector<FarFit> fits = ReadFarFits();
    int equations = 0;
    for (const FarFit &f : fits) {
        RegressionObject fit = FitOfDegree(f.degree, f.points);
        fit.RegVal(f.points.front().x);
        ASSERT_EQ(f.coef.size(), static_cast<std::size_t>(f.degree + 1)) << f.name;
        for (int k = 0; k <= f.degree; ++k) {
            EXPECT_EQ(fit.Coeff(k), f.coef[static_cast<std::size_t>(k)])
                << f.name << " degree " << f.degree << ", x^" << k;
        }
        if (!f.equation.empty()) {
            ++equations;
            EXPECT_EQ(fit.ReturnRegEq(), f.equation) << f.name << " degree " << f.degree;
        }
    }
    EXPECT_GE(equations, 4);
}

TEST(RegressionObjectTest, AllPointsOnOneXFitTheirMeanWhateverTheDegree)
{
    const struct {
        int degree;
        std::vector<Pt> points;
        double mean;
        const char *text;
    } cases[] = {
        {2, {{0, 1}, {0, 2}, {0, 3}}, 2, "f(x) =  2"},
        {1, {{1, 2}, {1, 4}}, 3, "f(x) =  3"},
        {3, {{1990, 5}, {1990, 7}, {1990, 9}, {1990, 11}}, 8, "f(x) =  8"},
    };
    for (const auto &c : cases) {
        RegressionObject fit = FitOfDegree(c.degree, c.points);
        for (double x : {5.0, -3.0, 1990.0})
            EXPECT_DOUBLE_EQ(fit.RegVal(x), c.mean) << c.text << " at " << x;
        EXPECT_EQ(fit.ReturnRegEq(), c.text);
    }
}
