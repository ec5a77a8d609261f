#include "workspace/area_sum.h"

#include "support/scoped_locale.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

using linoveta::AreaSum;
using linoveta::FormatArea;
using linoveta::ParseLocaleNumber;
using linoveta::test::kBothLocales;
using linoveta::test::ScopedLocale;

namespace {

double One(double) { return 1; }
double Identity(double x) { return x; }
double Square(double x) { return x * x; }
// The evaluator reports a failed point as 0.
double Reciprocal(double x) { return x == 0 ? 0 : 1 / x; }

// A function of one x as the sum's many-x form.
AreaSum::Values Each(AreaSum::Function f)
{
    return [f = std::move(f)](const double *xs, double *ys, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i)
            ys[i] = f(xs[i]);
    };
}

struct AreaCase
{
    const char *what;
    double (*f)(double);
    const char *min, *max, *dx;
    const char *expected;
};

TEST(AreaSumTest, SumsOneTermPerPointIncludingBothEnds)
{
    const std::array<AreaCase, 11> cases{{
        {"constant, whole number of steps", One, "-5", "5", "0.1", "10.10"},
        {"constant, range not a whole number of steps", One, "-5", "5", "0.3", "10.20"},
        {"x with the end point reached exactly", Identity, "0", "1", "0.5", "0.75"},
        {"x sums 0, 0.3, 0.6, 0.9 and no end term", Identity, "0", "1", "0.3", "0.54"},
        {"1/x rounded to four decimals", Reciprocal, "1", "2", "0.1", "0.7688"},
        {"x^2 keeps three decimals", Square, "0", "1", "0.1", "0.385"},
        {"min = max gives f(min)*dx", Identity, "3", "3", "0.5", "1.50"},
        {"negative dx adds only the end term", One, "0", "1", "-0.5", "-0.50"},
        {"negative dx with min = max adds two terms", Identity, "2", "2", "-0.5", "-2.00"},
        {"a failed point at 0 counts 0", Reciprocal, "-1", "2", "1", "0.50"},
        {"values below the axis subtract", Identity, "-2", "1", "1", "-2.00"},
    }};
    const QLocale c(QLocale::C);
    for (const auto &row : cases) {
        const auto result = AreaSum::Calculate(QString::fromLatin1(row.min),
                                               QString::fromLatin1(row.max),
                                               QString::fromLatin1(row.dx), c, Each(row.f));
        EXPECT_TRUE(result.message.isEmpty()) << row.what << ": " << result.message.toStdString();
        EXPECT_EQ(result.text.toStdString(), row.expected) << row.what;
    }
}

double MinusOne(double) { return -1; }
double NearlyTen(double) { return 9.99995; }

// What a user of each locale types and reads: the C library's locale is set too, as
// QApplication sets it at start, and must not leak into the area's text.
TEST(AreaSumTest, TheAreaIsWrittenInTheLocaleItWasTypedIn)
{
    struct Row
    {
        const char *what;
        double (*f)(double);
        const char *min, *max;
        const char *dxDot, *dxComma;
        const char *areaDot, *areaComma;
    };
    const std::array<Row, 6> rows{{
        {"f = 1 over -5..5 (was 1,,01)", One, "-5", "5", "0.1", "0,1", "10.10", "10,10"},
        {"four decimals (was 0,7,69)", Reciprocal, "1", "2", "0.1", "0,1", "0.7688", "0,7688"},
        {"a negative whole area (was -3,,0)", MinusOne, "0", "2", "1", "1", "-3.00", "-3,00"},
        {"four whole digits (was 2,00,10)", One, "0", "2000", "1", "1", "2001.00", "2001,00"},
        {"rounding carries into the whole part (was 9,-0)", NearlyTen, "0", "0", "1", "1",
         "10.00", "10,00"},
        {"x over 0..1", Identity, "0", "1", "0.5", "0,5", "0.75", "0,75"},
    }};
    for (const auto &locale : kBothLocales) {
        const ScopedLocale scoped(locale);
        ASSERT_TRUE(scoped.ok()) << locale.cName;
        for (const auto &row : rows) {
            const auto result = AreaSum::Calculate(
                QString::fromLatin1(row.min), QString::fromLatin1(row.max),
                QString::fromLatin1(locale.comma ? row.dxComma : row.dxDot), QLocale(),
                Each(row.f));
            EXPECT_TRUE(result.message.isEmpty()) << row.what;
            EXPECT_EQ(result.text.toStdString(), locale.comma ? row.areaComma : row.areaDot)
                << locale.qtName << ": " << row.what;
        }
        // The other locale's decimal point is no number here.
        const auto refused = AreaSum::Calculate(QStringLiteral("0"), QStringLiteral("1"),
                                                QString::fromLatin1(locale.comma ? "0.5" : "0,5"),
                                                QLocale(), Each(One));
        EXPECT_EQ(refused.message, AreaSum::kDxNotNumber) << locale.qtName;
    }
}

TEST(AreaSumTest, ChecksTheBoxesInOrderAndEvaluatesNothingOnFailure)
{
    struct Row
    {
        const char *min, *max, *dx;
        QString message;
    };
    const std::array<Row, 7> rows{{
        {"a", "b", "c", AreaSum::kMinNotNumber},
        {"", "5", "0.1", AreaSum::kMinNotNumber},
        {"-5", "b", "c", AreaSum::kMaxNotNumber},
        {"-5", "5", "c", AreaSum::kDxNotNumber},
        {"-5", "5", "inf", AreaSum::kDxNotNumber},
        {"5", "-5", "0.1", AreaSum::kMaxBelowMin},
        {"5", "-5", "x", AreaSum::kDxNotNumber},
    }};
    int calls = 0;
    int prepared = 0;
    const auto count = [&calls](double) {
        ++calls;
        return 1.0;
    };
    for (const auto &row : rows) {
        const auto result = AreaSum::Calculate(QString::fromLatin1(row.min),
                                               QString::fromLatin1(row.max),
                                               QString::fromLatin1(row.dx), QLocale(QLocale::C),
                                               Each(count), [&prepared] { ++prepared; });
        EXPECT_EQ(result.message, row.message) << row.min << " " << row.max << " " << row.dx;
        EXPECT_TRUE(result.text.isEmpty());
    }
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(prepared, 0);
}

TEST(AreaSumTest, RefusesStepsThatNeverEndAndBoundsTheTerms)
{
    struct Row
    {
        double min, max, dx;
        QString message;
    };
    const std::array<Row, 5> rows{{
        {-5, 5, 0, AreaSum::kDxTooSmall},
        {1, 1, 0, AreaSum::kDxTooSmall},
        {1e6, 1e6, 1e-12, AreaSum::kDxTooSmall},
        {1e6, 1e6, -1e-12, AreaSum::kDxTooSmall},
        {-1e6, 1e6, 1e-4, AreaSum::kTooManySteps},
    }};
    int calls = 0;
    for (const auto &row : rows) {
        const auto result = AreaSum::Sum(row.min, row.max, row.dx, [&calls](double) {
            ++calls;
            return 1.0;
        });
        EXPECT_EQ(result.message, row.message) << row.min << " " << row.dx;
    }
    EXPECT_EQ(calls, 0);
}

TEST(AreaSumTest, OverflowIsReportedInsteadOfAnInfiniteArea)
{
    const auto result = AreaSum::Sum(0, 10, 1, [](double) { return 1e308; });
    EXPECT_EQ(result.message, AreaSum::kAreaOverflow);
    EXPECT_TRUE(result.text.isEmpty());
}

TEST(AreaSumTest, TheEndTermCatchesACounterCarriedJustPastMax)
{
    // 0.1 added ten times is 0.9999999999999999, eleven times 1.0999999999999999: the loop
    // includes the last point itself. Three steps of 0.1 reach 0.30000000000000004, which is
    // past 0.3 but prints as 0.3, so the end point comes in once as the end term.
    std::vector<double> seen;
    const auto record = [&seen](double x) {
        seen.push_back(x);
        return 1.0;
    };
    const auto result = AreaSum::Sum(0, 0.3, 0.1, record, QLocale::c());
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen.back(), 0.3);
    EXPECT_EQ(result.text, QStringLiteral("0.40"));
}

TEST(AreaSumTest, FormatsWithTwoToFourDecimals)
{
    struct Row
    {
        double value;
        const char *text;
    };
    const std::array<Row, 10> rows{{
        {0, "0.00"},
        {-0.0, "0.00"},
        {-0.00001, "0.00"},
        {10.1, "10.10"},
        {0.385, "0.385"},
        {2.00005, "2.0001"},
        {-2.00005, "-2.0001"},
        {9.99995, "10.00"},
        {1e20, "100000000000000000000.00"},
        {1.5e-7, "0.00"},
    }};
    for (const auto &row : rows)
        EXPECT_EQ(FormatArea(row.value, QLocale::c()).toStdString(), row.text) << row.value;
    EXPECT_EQ(FormatArea(-2.00005, QLocale(QStringLiteral("de_DE"))), QStringLiteral("-2,0001"));
}

TEST(AreaSumTest, TypedNumbersFollowTheLocaleThatAcceptsThem)
{
    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EQ(ParseLocaleNumber(QStringLiteral("0,5"), german), 0.5);

    // A comma locale: the area uses the same rule for dx as the test that accepted it.
    const auto result = AreaSum::Calculate(QStringLiteral("0"), QStringLiteral("1"),
                                           QStringLiteral("0,5"), german, Each(Identity));
    EXPECT_EQ(result.text, QStringLiteral("0,75"));
}

} // namespace
