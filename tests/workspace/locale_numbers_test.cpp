#include "workspace/locale_numbers.h"

#include "engine/number_text.h"
#include "support/scoped_locale.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>

using linoveta::IsLocaleNumeric;
using linoveta::LocaleForm;
using linoveta::LocaleNumberText;
using linoveta::ParseLocaleNumber;
using linoveta::test::kBothLocales;
using linoveta::test::ScopedLocale;

namespace {

TEST(LocaleNumbersTest, TextUsesTheLocalesSeparatorAndNothingElseOfTheCLibrary)
{
    struct Row
    {
        double value;
        const char *dot, *comma;
    };
    const std::array<Row, 9> rows{{
        {1.5, "1.5", "1,5"},
        {-0.0, "0", "0"},
        {-3, "-3", "-3"},
        {0.1 + 0.2, "0.3", "0,3"},
        {10.1, "10.1", "10,1"},
        {1e20, "1E+20", "1E+20"},
        {1.5e-11, "1.5E-11", "1,5E-11"},
        {-123456.789012345678, "-123456.789012346", "-123456,789012346"},
        {std::numeric_limits<double>::infinity(), "NA", "NA"},
    }};
    // Under each locale as the program runs in it: the C library's locale set as well.
    for (const auto &locale : kBothLocales) {
        const ScopedLocale scoped(locale);
        ASSERT_TRUE(scoped.ok()) << locale.cName;
        for (const auto &row : rows) {
            const char *expected = locale.comma ? row.comma : row.dot;
            EXPECT_EQ(LocaleNumberText(row.value).toStdString(), expected)
                << locale.qtName << " " << row.dot;
        }
        // The evaluator's texts without a decimal point pass unchanged.
        EXPECT_EQ(LocaleForm("NA"), QStringLiteral("NA"));
        EXPECT_EQ(LocaleForm(""), QString());
    }
}

TEST(LocaleNumbersTest, TheParseReadsEveryTextOfItsLocaleBackAsTheNumberItShows)
{
    const std::array<double, 12> values{0.1,     -0.5,   2.5,       10.1,     1.0 / 3.0,  1e20,
                                        1.5e-11, -7e-5,  123456789, 0.1 + 0.2, 9.99995e14, 1e-300};
    const std::array<QLocale, 4> locales{QLocale::c(), QLocale(QStringLiteral("en_US")),
                                         QLocale(QStringLiteral("de_DE")),
                                         QLocale(QStringLiteral("fr_FR"))};
    for (const QLocale &locale : locales) {
        for (const double v : values) {
            const QString text = LocaleNumberText(v, locale);
            const auto back = ParseLocaleNumber(text, locale);
            ASSERT_TRUE(back.has_value()) << locale.name().toStdString() << " " << text.toStdString();
            EXPECT_EQ(*back, linoveta::NumberTextValue(v)) << text.toStdString();
        }
    }
}

TEST(LocaleNumbersTest, TheNumericTestFollowsTheLocale)
{
    struct Row
    {
        const char *text;
        bool dotLocale, commaLocale;
    };
    const std::array<Row, 14> rows{{
        {"0.1", true, false},
        {"0,1", false, true},
        {"-5", true, true},
        {" 2 ", true, true},
        {"1E+20", true, true},
        {"1.5E-11", true, false},
        {"1,5E-11", false, true},
        {"", false, false},
        {"-", false, false},
        {"1x", false, false},
        {"nan", false, false},
        {"inf", false, false},
        {"1e400", false, false},
        {"0x10", false, false},
    }};
    const QLocale dot(QStringLiteral("en_US"));
    const QLocale comma(QStringLiteral("de_DE"));
    for (const auto &row : rows) {
        const QString text = QString::fromLatin1(row.text);
        EXPECT_EQ(IsLocaleNumeric(text, dot), row.dotLocale) << '"' << row.text << '"';
        EXPECT_EQ(IsLocaleNumeric(text, comma), row.commaLocale) << '"' << row.text << '"';
        // An accepted text is read by the same rule.
        EXPECT_EQ(ParseLocaleNumber(text, comma).has_value(), row.commaLocale) << row.text;
    }
    EXPECT_EQ(ParseLocaleNumber(QStringLiteral("-100,625"), comma), -100.625);
    EXPECT_EQ(ParseLocaleNumber(QStringLiteral("0.5"), dot), 0.5);
}

} // namespace
