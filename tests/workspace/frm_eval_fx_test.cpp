#include "workspace/dialogs/frm_eval_fx.h"

#include "typeset/fonts.h"
#include "typeset/formula_typesetter.h"

#include "workspace/platform/scripted_platform.h"

#include "support/scoped_locale.h"

#include <QApplication>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <gtest/gtest.h>

#include <array>
#include <vector>

using namespace linoveta;
using linoveta::test::InCurrentLocale;

namespace {

constexpr std::array<RgbValue, 5> kColours{0x0000FF, 0xFF0000, 0x00C000, 0xFF00FF, 0x0080FF};

class EvalFxFixture : public ::testing::Test
{
protected:
    EvalFxFixture() : platform(platform::makeScriptedPlatform(script)) {}

    EvalFxContext context()
    {
        EvalFxContext c;
        c.LastFunction = lastFunction;
        c.displayText = [this](int line) { return lines.at(static_cast<std::size_t>(line)); };
        c.lineColor = [](int line) { return kColours.at(static_cast<std::size_t>(line)); };
        c.typeset = [this](const QString &text, Surface &) { typeset.push_back(text); };
        c.preCalc = [this] { ++prepared; };
        c.evaluate = [this](double x, int line) {
            xs.push_back(x);
            return results.at(static_cast<std::size_t>(line));
        };
        c.messages = platform.messages.get();
        return c;
    }

    platform::Script script;
    platform::Platform platform;
    int lastFunction = 3;
    std::array<QString, 5> lines{QStringLiteral("x"), QStringLiteral("1/x"), QString(),
                                 QStringLiteral("x-5"), QString()};
    // What the evaluator returns per line: a value, a failure, no expression.
    std::array<QString, 5> results{QStringLiteral("2.5"), QStringLiteral("NA"), QString(),
                                   QStringLiteral("-2.5"), QString()};
    std::vector<QString> typeset;
    std::vector<double> xs;
    int prepared = 0;
};

TEST_F(EvalFxFixture, EveryLineIsEvaluatedAtTheTypedX)
{
    frmEvalFX dialog(context());
    QTest::keyClicks(dialog.Text1, QString::fromLatin1(InCurrentLocale("2.50", "2,50")));
    QTest::mouseClick(dialog.Command1, Qt::LeftButton);

    EXPECT_EQ(prepared, 1);
    EXPECT_EQ(xs, std::vector<double>(5, 2.5));
    struct Row
    {
        const char *labelDot, *labelComma;
        const char *valueDot, *valueComma;   // nullptr: the value stays hidden
    };
    const std::array<Row, 5> rows{{
        {"f(2.50) =", "f(2,50) =", "2.5", "2,5"},
        {"f(2.50) =", "f(2,50) =", "NA", "NA"},
        {"f(x) =", "f(x) =", nullptr, nullptr},
        {"f(2.50) =", "f(2,50) =", "-2.5", "-2,5"},
        {"f(x) =", "f(x) =", nullptr, nullptr},
    }};
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(dialog.Label2[i]->text(),
                  QString::fromLatin1(InCurrentLocale(rows[i].labelDot, rows[i].labelComma)))
            << i;
        if (rows[i].valueDot) {
            EXPECT_FALSE(dialog.Label3[i]->isHidden()) << i;
            EXPECT_EQ(dialog.Label3[i]->text(),
                      QString::fromLatin1(InCurrentLocale(rows[i].valueDot, rows[i].valueComma)));
            // The value follows its label at a small gap.
            EXPECT_EQ(dialog.Label3[i]->x(), dialog.Label2[i]->geometry().right() + 1 + 2);
        } else {
            EXPECT_TRUE(dialog.Label3[i]->isHidden()) << i;
        }
        EXPECT_EQ(dialog.Label3[i]->palette().color(QPalette::WindowText),
                  colourFromRgbValue(kColours[i]));
    }
}

// The x as typed and the value in the same locale's form (f(x) = 1/x gave "f(2,5) = 0.4").
TEST_F(EvalFxFixture, TheValueIsShownInTheLocaleOfTheTypedX)
{
    struct Row
    {
        const char *xDot, *xComma;
        const char *evaluator;  // the evaluator's own text, always with "."
        const char *labelDot, *labelComma;
        const char *valueDot, *valueComma;
    };
    const std::array<Row, 4> rows{{
        {"2.5", "2,5", "0.4", "f(2.5) =", "f(2,5) =", "0.4", "0,4"},
        {"-0.5", "-0,5", "-2", "f(-0.5) =", "f(-0,5) =", "-2", "-2"},
        {"1E+20", "1E+20", "1.5E-07", "f(1E+20) =", "f(1E+20) =", "1.5E-07", "1,5E-07"},
        {"0", "0", "NA", "f(0) =", "f(0) =", "NA", "NA"},
    }};
    for (const auto &locale : linoveta::test::kBothLocales) {
        const linoveta::test::ScopedLocale scoped(locale);
        ASSERT_TRUE(scoped.ok()) << locale.cName;
        for (const auto &row : rows) {
            results[0] = QString::fromLatin1(row.evaluator);
            frmEvalFX dialog(context());
            dialog.Text1->setText(QString::fromLatin1(locale.comma ? row.xComma : row.xDot));
            QTest::mouseClick(dialog.Command1, Qt::LeftButton);
            ASSERT_TRUE(script.messages.empty()) << locale.qtName << " " << row.xDot;
            EXPECT_EQ(dialog.Label2[0]->text(),
                      QString::fromLatin1(locale.comma ? row.labelComma : row.labelDot));
            EXPECT_EQ(dialog.Label3[0]->text(),
                      QString::fromLatin1(locale.comma ? row.valueComma : row.valueDot))
                << locale.qtName << " " << row.xDot;
        }
    }
}

TEST_F(EvalFxFixture, AnEntryThatIsNoNumberIsRefused)
{
    const std::array<const char *, 4> entries{"", "abc", "2x", "inf"};
    frmEvalFX dialog(context());
    for (const char *entry : entries) {
        script.messages.clear();
        dialog.Text1->setText(QString::fromLatin1(entry));
        QTest::mouseClick(dialog.Command1, Qt::LeftButton);
        ASSERT_EQ(script.messages.size(), 1u) << entry;
        EXPECT_EQ(script.messages[0], QStringLiteral("x must be a number."));
    }
    EXPECT_EQ(prepared, 0);
    for (QLabel *value : dialog.Label3)
        EXPECT_TRUE(value->isHidden());
}

TEST_F(EvalFxFixture, EnterCalculatesEscapeCloses)
{
    frmEvalFX dialog(context());
    dialog.show();
    QTest::keyClicks(dialog.Text1, QStringLiteral("123456789"));
    EXPECT_EQ(dialog.Text1->text(), QStringLiteral("12345678"));
    QTest::keyClick(dialog.Text1, Qt::Key_Return);
    EXPECT_EQ(prepared, 1);
    EXPECT_TRUE(dialog.isVisible());
    QTest::keyClick(dialog.Text1, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

TEST_F(EvalFxFixture, SliderShowsTheChosenFormulaAndSkipsEmptyLines)
{
    frmEvalFX dialog(context());
    ASSERT_EQ(typeset.size(), 1u);
    EXPECT_EQ(typeset[0], QStringLiteral("f(x) = x"));
    EXPECT_EQ(dialog.Slider1->maximum(), 4);
    EXPECT_FALSE(dialog.Slider1->isHidden());
    dialog.Slider1->setValue(2);
    EXPECT_EQ(typeset.back(), QStringLiteral("f(x) = 1/x"));
    dialog.Slider1->setValue(3);   // empty line
    EXPECT_EQ(typeset.size(), 2u);
}

// Line 1 is at the top of the slider: the arrow keys move the way the thumb looks.
TEST_F(EvalFxFixture, SliderKeysMoveTheWayItIsDrawn)
{
    frmEvalFX dialog(context());
    dialog.show();
    QTest::keyClick(dialog.Slider1, Qt::Key_Down);
    EXPECT_EQ(dialog.Slider1->value(), 2);
    EXPECT_EQ(typeset.back(), QStringLiteral("f(x) = 1/x"));
    QTest::keyClick(dialog.Slider1, Qt::Key_Up);
    EXPECT_EQ(dialog.Slider1->value(), 1);
    EXPECT_EQ(typeset.back(), QStringLiteral("f(x) = x"));
}

TEST_F(EvalFxFixture, OneLineHidesTheSliderAndWidensThePicture)
{
    lastFunction = 0;
    frmEvalFX dialog(context());
    EXPECT_TRUE(dialog.Slider1->isHidden());
    EXPECT_EQ(dialog.Picture1->geometry(), QRect(16, 64, 281, 41));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Evaluate f(x)"));
    EXPECT_EQ(dialog.size(), QSize(313, 301));
}

// Pixels of the picture that differ from its background colour.
int inkPixels(const QImage &image, QRgb background)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += (image.pixel(x, y) & 0xFFFFFF) != (background & 0xFFFFFF);
    return count;
}

// The formula is typeset while the dialog is built, before the widget has been shown or
// resized: it must still be in the picture, at the picture's size, once the dialog is up.
TEST_F(EvalFxFixture, FormulaPictureShowsTheTypesetFormula)
{
    ASSERT_TRUE(registerApplicationFonts());
    for (int last : {0, 3}) {
        SCOPED_TRACE(last);
        lastFunction = last;
        lines[0] = QStringLiteral("x^2^");
        EvalFxContext c = context();
        const FormulaMessageSink logged;
        c.typeset = [&logged](const QString &text, Surface &target) {
            basFprint::PrintFormula(text, target, logged);
        };
        frmEvalFX dialog(std::move(c));
        dialog.show();
        QApplication::processEvents();
        const QImage image = dialog.Picture1->surface().image();
        EXPECT_EQ(image.size(), dialog.Picture1->size());
        const QRgb back = colourFromRgbValue(dialog.Picture1->surface().backColor()).rgb();
        EXPECT_GT(inkPixels(image, back), 50);
        // Drawn in line 1's colour.
        const QRgb ink = colourFromRgbValue(kColours[0]).rgb() & 0xFFFFFF;
        bool inLineColour = false;
        for (int y = 0; y < image.height() && !inLineColour; ++y)
            for (int x = 0; x < image.width() && !inLineColour; ++x)
                inLineColour = (image.pixel(x, y) & 0xFFFFFF) == ink;
        EXPECT_TRUE(inLineColour);
        // And what the widget paints is that picture.
        const QImage shown = dialog.Picture1->grab().toImage();
        EXPECT_GT(inkPixels(shown, back), 50);
    }
}

} // namespace
