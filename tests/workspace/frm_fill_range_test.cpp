#include "workspace/dialogs/frm_fill_range.h"

#include "workspace/platform/scripted_platform.h"
#include "frame_contents.h"

#include "support/scoped_locale.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <vector>

using namespace linoveta;
using linoveta::test::InCurrentLocale;

// A text of the test in the form of the locale it runs in.
QString Local(const char *dot, const char *comma) { return QString::fromLatin1(InCurrentLocale(dot, comma)); }

namespace {

// The main window's side of the dialog: the graph window, the shading variables, the lines.
class FillRangeFixture : public ::testing::Test
{
protected:
    FillRangeFixture() : platform(platform::makeScriptedPlatform(script))
    {
        graph.ShadeColor = "14737632";
        lines = {QStringLiteral("x"), QString(), QString(), QString(), QString()};
    }

    FillRangeContext context()
    {
        FillRangeContext c;
        c.graph = &graph;
        c.ShadeFrom = &shadeFrom;
        c.ShadeTo = &shadeTo;
        c.FillRangeChoice = &choice;
        c.CurrentFunction = &currentFunction;
        c.LastFunction = lastFunction;
        c.memory = &memory;
        c.displayText = [this](int line) { return lines.at(static_cast<std::size_t>(line)); };
        c.lineColor = [](int line) { return RgbValue(line == 0 ? 0x0000FF : 0xFF0000); };
        c.plotBackColor = [] { return RgbValue(0xFFFFFF); };
        c.plotFillStyle = [this] { return plotStyle; };
        c.setPlotFillStyle = [this](int s) { plotStyle = s; };
        c.typeset = [this](const QString &text, Surface &) { typeset.push_back(text); };
        c.preCalc = [this] { ++prepared; };
        c.areaValues = [this](const double *xs, double *ys, std::size_t n, int line) {
            for (std::size_t i = 0; i < n; ++i)
                ys[i] = f ? f(xs[i], line) : 0.0;
        };
        c.messages = platform.messages.get();
        c.colors = platform.colors.get();
        c.printGraph = [this](QWidget *) { ++printed; };
        c.saveBitmap = [this](QWidget *, const QString &name) { bitmapNames.push_back(name); };
        c.today = [] { return QDate(2026, 12, 10); };
        return c;
    }

    platform::Script script;
    platform::Platform platform;
    GraphWindow graph;
    double shadeFrom = 0, shadeTo = 0;
    int choice = 0, currentFunction = 3, lastFunction = 0, plotStyle = 0;
    FillRangeMemory memory;
    std::array<QString, 5> lines;
    std::vector<QString> typeset;
    std::function<double(double, int)> f = [](double x, int) { return x; };
    int prepared = 0, printed = 0;
    std::vector<QString> bitmapNames;
};

TEST_F(FillRangeFixture, FirstOpeningShowsTheGraphWindowAndDefaults)
{
    frmFillRange dialog(context());
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Calculate Area"));
    EXPECT_EQ(dialog.Text1->text(), QStringLiteral("-20"));
    EXPECT_EQ(dialog.Text2->text(), QStringLiteral("20"));
    EXPECT_EQ(dialog.Text3->text(), Local("0.1", "0,1"));
    EXPECT_TRUE(dialog.Text4->text().isEmpty());
    EXPECT_TRUE(dialog.Option1[0]->isChecked());
    EXPECT_EQ(dialog.selectedStyle(), 0);
    EXPECT_TRUE(dialog.Option1[1]->isHidden());
    EXPECT_TRUE(dialog.Shape1[1]->isHidden());
    EXPECT_EQ(currentFunction, 0);
    EXPECT_EQ(choice, 0);
    ASSERT_FALSE(typeset.empty());
    EXPECT_EQ(typeset.back(), QStringLiteral("f(x) = x"));
    EXPECT_EQ(dialog.size(), QSize(321, 473));
}

TEST_F(FillRangeFixture, FramesHoldTheirControls)
{
    frmFillRange dialog(context());
    dialog.show();
    for (QGroupBox *frame : {dialog.Frame1, dialog.Frame2, dialog.Frame3})
        EXPECT_EQ(ControlsOutsideFrame(*frame), "") << frame->title().toStdString();
    // The seven shown swatches sit in the middle of their frame.
    const int left = dialog.Shape1[0]->x();
    const int right = dialog.Frame1->width() - dialog.Shape1[7]->geometry().right() - 1;
    EXPECT_LE(std::abs(left - right), 1);
}

TEST_F(FillRangeFixture, OneLineOffersShadingSeveralLinesOfferTheSlider)
{
    {
        frmFillRange dialog(context());
        EXPECT_TRUE(dialog.Slider1->isHidden());
        EXPECT_EQ(dialog.Picture1->geometry(), QRect(16, 8, 289, 41));
        EXPECT_TRUE(dialog.Command1->isEnabled());
        EXPECT_EQ(dialog.Command1->toolTip(),
                  QStringLiteral("Click here to shade the area of the function within the x range."));
    }
    lastFunction = 2;
    lines = {QStringLiteral("x"), QStringLiteral("2"), QString(), QString(), QString()};
    frmFillRange dialog(context());
    EXPECT_FALSE(dialog.Slider1->isHidden());
    EXPECT_EQ(dialog.Slider1->maximum(), 3);
    EXPECT_FALSE(dialog.Command1->isEnabled());

    // Line 1 is at the top: Down moves to the line below it.
    QTest::keyClick(dialog.Slider1, Qt::Key_Down);
    EXPECT_EQ(dialog.Slider1->value(), 2);
    EXPECT_EQ(currentFunction, 1);
    EXPECT_EQ(typeset.back(), QStringLiteral("f(x) = 2"));
    // An empty line changes neither the picture nor the current line.
    const auto drawn = typeset.size();
    dialog.Slider1->setValue(3);
    EXPECT_EQ(currentFunction, 1);
    EXPECT_EQ(typeset.size(), drawn);
}

TEST_F(FillRangeFixture, CalculateReportsTheFirstFailingCheckAndKeepsTheArea)
{
    struct Row
    {
        const char *min, *max, *dxDot, *dxComma;
        const char *message;   // empty: success
        const char *areaDot, *areaComma;
    };
    const std::array<Row, 6> rows{{
        {"a", "5", "0.1", "0,1", "The minimum range of x must be a number.", "old", "old"},
        {"-5", "", "0.1", "0,1", "The maximum range of x must be a number.", "old", "old"},
        {"-5", "5", "?", "?", "The value of dx must be a number.", "old", "old"},
        {"5", "-5", "0.1", "0,1",
         "The maximum range of x must be greater than or equal to the minimum range.", "old",
         "old"},
        {"-5", "5", "0", "0", "The value of dx is too small to step through the range of x.",
         "old", "old"},
        {"0", "1", "0.5", "0,5", "", "0.75", "0,75"},
    }};
    frmFillRange dialog(context());
    for (const auto &row : rows) {
        script.messages.clear();
        dialog.Text4->setText(QStringLiteral("old"));
        dialog.Text1->setText(QString::fromLatin1(row.min));
        dialog.Text2->setText(QString::fromLatin1(row.max));
        dialog.Text3->setText(Local(row.dxDot, row.dxComma));
        QTest::mouseClick(dialog.Command3, Qt::LeftButton);
        if (*row.message) {
            ASSERT_EQ(script.messages.size(), 1u) << row.message;
            EXPECT_EQ(script.messages[0], QString::fromLatin1(row.message));
        } else {
            EXPECT_TRUE(script.messages.empty());
        }
        EXPECT_EQ(dialog.Text4->text(), Local(row.areaDot, row.areaComma)) << row.message;
    }
    EXPECT_EQ(prepared, 1);
}

// A fresh dialog's own texts are numbers of the user's locale: its default dx was refused under
// a comma locale ("The value of dx must be a number.").
TEST_F(FillRangeFixture, AFreshDialogAcceptsItsOwnTextsInEveryLocale)
{
    struct Row
    {
        double shadeFrom, shadeTo;
        const char *fromDot, *fromComma, *toDot, *toComma;
        const char *areaDot, *areaComma;
    };
    const std::array<Row, 3> rows{{
        {0, 0, "-20", "-20", "20", "20", "40.10", "40,10"},
        {-5, 5, "-5", "-5", "5", "5", "10.10", "10,10"},
        {-0.5, 2.25, "-0.5", "-0,5", "2.25", "2,25", "2.80", "2,80"},
    }};
    f = [](double, int) { return 1.0; };
    for (const auto &locale : linoveta::test::kBothLocales) {
        const linoveta::test::ScopedLocale scoped(locale);
        ASSERT_TRUE(scoped.ok()) << locale.cName;
        for (const auto &row : rows) {
            shadeFrom = row.shadeFrom;
            shadeTo = row.shadeTo;
            script.messages.clear();
            frmFillRange dialog(context());
            EXPECT_EQ(dialog.Text1->text().toStdString(), locale.comma ? row.fromComma : row.fromDot);
            EXPECT_EQ(dialog.Text2->text().toStdString(), locale.comma ? row.toComma : row.toDot);
            EXPECT_EQ(dialog.Text3->text().toStdString(), locale.comma ? "0,1" : "0.1");
            QTest::mouseClick(dialog.Command3, Qt::LeftButton);
            EXPECT_TRUE(script.messages.empty())
                << locale.qtName << ": " << script.messages.front().toStdString();
            EXPECT_EQ(dialog.Text4->text().toStdString(),
                      locale.comma ? row.areaComma : row.areaDot)
                << locale.qtName << " " << row.fromDot;
        }
    }
}

TEST_F(FillRangeFixture, RangeBoxesLimitTypingButNotProgramTexts)
{
    shadeFrom = -100.625;
    shadeTo = 3;
    frmFillRange dialog(context());
    EXPECT_EQ(dialog.Text1->text(), Local("-100.625", "-100,625"));
    dialog.Text2->clear();
    QTest::keyClicks(dialog.Text2, QStringLiteral("123456789"));
    EXPECT_EQ(dialog.Text2->text(), QStringLiteral("1234567"));
}

TEST_F(FillRangeFixture, ReopeningRestoresPositionAreaSliderAndDx)
{
    lastFunction = 1;
    lines = {QStringLiteral("x"), QStringLiteral("1"), QString(), QString(), QString()};
    {
        frmFillRange dialog(context());
        dialog.move(123, 77);
        dialog.Slider1->setValue(2);
        dialog.Text1->setText(QStringLiteral("-2"));
        dialog.Text2->setText(QStringLiteral("3"));
        dialog.Text3->setText(Local("0.5", "0,5"));
        QTest::mouseClick(dialog.Command3, Qt::LeftButton);
        dialog.Text2->setText(QStringLiteral("3,5x"));
        dialog.Option1[4]->setChecked(true);
        QTest::mouseClick(dialog.Command5, Qt::LeftButton);   // zoom in
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }
    EXPECT_EQ(choice, 2);
    EXPECT_EQ(shadeFrom, -2);
    EXPECT_EQ(shadeTo, 3);   // the leading number of a text that is no number
    EXPECT_EQ(graph.XMax, 10);
    EXPECT_EQ(graph.ShadeFillStyle, 4);
    EXPECT_EQ(plotStyle, 4);
    const QString area = memory.AreaRem;
    EXPECT_FALSE(area.isEmpty());

    {
        frmFillRange dialog(context());
        EXPECT_EQ(choice, 0);
        EXPECT_EQ(dialog.pos(), QPoint(123, 77));
        EXPECT_EQ(dialog.Text4->text(), area);
        EXPECT_EQ(dialog.Slider1->value(), 2);
        EXPECT_EQ(dialog.Text3->text(), Local("0.5", "0,5"));
        EXPECT_EQ(dialog.Text1->text(), QStringLiteral("-2"));
        EXPECT_TRUE(dialog.Option1[4]->isChecked());
        EXPECT_EQ(currentFunction, 1);
        QTest::mouseClick(dialog.Command2, Qt::LeftButton);   // Close
    }
    EXPECT_EQ(choice, 0);
    // A fresh command starts over, except for the shading range.
    frmFillRange dialog(context());
    EXPECT_EQ(dialog.Text3->text(), Local("0.1", "0,1"));
    EXPECT_TRUE(dialog.Text4->text().isEmpty());
    EXPECT_EQ(dialog.Slider1->value(), 1);
    EXPECT_EQ(dialog.Text2->text(), QStringLiteral("3"));
}

TEST_F(FillRangeFixture, ShadeAreaStoresTheRequestWithoutChecks)
{
    frmFillRange dialog(context());
    dialog.Text1->setText(QStringLiteral("4"));
    dialog.Text2->setText(QStringLiteral("abc"));
    dialog.Option1[6]->setChecked(true);
    QTest::mouseClick(dialog.Command1, Qt::LeftButton);
    EXPECT_EQ(choice, 1);
    EXPECT_EQ(shadeFrom, 4);
    EXPECT_EQ(shadeTo, 0);
    EXPECT_EQ(graph.ShadeFillStyle, 6);
    EXPECT_TRUE(script.messages.empty());
}

TEST_F(FillRangeFixture, ZoomButtonsStopAtTheMainWindowsLimits)
{
    struct Row
    {
        double limit;
        bool in;
        double expected;
    };
    const std::array<Row, 4> rows{{
        {20, true, 10}, {1.5, true, 1.5}, {163840, false, 327680}, {200000, false, 200000},
    }};
    for (const auto &row : rows) {
        graph.XMin = graph.YMin = -row.limit / 2;
        graph.XMax = graph.YMax = row.limit / 2;
        frmFillRange dialog(context());
        QTest::mouseClick(row.in ? dialog.Command5 : dialog.Command6, Qt::LeftButton);
        EXPECT_EQ(graph.XMax - graph.XMin, row.expected) << row.limit << " " << row.in;
        EXPECT_EQ(graph.YMax - graph.YMin, row.expected);
        EXPECT_EQ(choice, 2);
    }
}

TEST_F(FillRangeFixture, ShadeColorPrintAndBitmap)
{
    frmFillRange dialog(context());
    script.colors.push_back(RgbValue(0x00FF00));
    QTest::mouseClick(dialog.Command4, Qt::LeftButton);
    EXPECT_EQ(graph.ShadeColor, "65280");
    ASSERT_EQ(script.colorRequests.size(), 1u);
    EXPECT_EQ(script.colorRequests[0], 14737632);
    QTest::mouseClick(dialog.Command4, Qt::LeftButton);   // cancelled
    EXPECT_EQ(graph.ShadeColor, "65280");

    QTest::mouseClick(dialog.Command7, Qt::LeftButton);
    QTest::mouseClick(dialog.Command8, Qt::LeftButton);
    EXPECT_EQ(printed, 1);
    ASSERT_EQ(bitmapNames.size(), 1u);
    EXPECT_EQ(bitmapNames[0], QStringLiteral("GraphBitmap 12-10-26"));
    EXPECT_EQ(dialog.result(), 0);   // still open
}

} // namespace
