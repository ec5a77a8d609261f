#include "workspace/point_series.h"

#include "main_window_fixture.h"
#include "typeset/formula_typesetter.h"
#include "typeset/recording_surface.h"
#include "workspace/dialogs/frm_explain.h"
#include "workspace/point_panel.h"
#include "support/scoped_locale.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>
#include <QCoreApplication>
#include <QEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableWidget>

#include <array>
#include <cmath>
#include <memory>

using namespace linoveta;

namespace {

struct Series {
    RegressionObject fit;
    PointList points;
    Series() { fit.Degree(1); }
};

} // namespace

TEST(PointSeriesTest, FiveHundredFirstPointIsRefusedBeforeTheFit)
{
    Series s;
    for (int i = 1; i <= PointList::kCapacity; ++i)
        ASSERT_EQ(AddPoint(s.fit, s.points, i, 2.0 * i), PointEntry::Added) << i;
    const double before = s.fit.RegVal(3.0);

    EXPECT_EQ(AddPoint(s.fit, s.points, 1, 1), PointEntry::ListFull);
    EXPECT_EQ(AddTypedPoint(s.fit, s.points, "1", "1"), PointEntry::ListFull);
    EXPECT_EQ(AddClickedPoint(s.fit, s.points, 1.0f, 1.0f), PointEntry::ListFull);
    EXPECT_EQ(PointEntryMessage(PointEntry::ListFull).toStdString(), kPointListFullMessage);

    EXPECT_EQ(s.fit.XYCount(), 500);
    EXPECT_EQ(s.fit.RegVal(3.0), before);
    EXPECT_EQ(s.points(500).X, 500);
    EXPECT_EQ(s.points(500).Y, 1000);
    // Every stored point still re-fits at the highest order.
    Refit(s.fit, s.points, 10);
    EXPECT_EQ(s.fit.XYCount(), 500);
}

TEST(PointSeriesTest, PointWhosePowersWouldOverflowIsRefusedAtEntry)
{
    struct Case {
        double x, y;
        bool fits;
    };
    // x^20 * 500 and |x^10 * y| * 500 must stay finite.
    const std::array cases = {
        Case{1e15, 0, true},         Case{-1e15, 1, true},   Case{1e16, 0, false},
        Case{0.5, 1e305, true},      Case{1, 1e306, false},  Case{10, 1e295, true},
        Case{100, 1e288, false},     Case{NAN, 1, false},    Case{0, INFINITY, false},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(PointFitsEveryOrder(c.x, c.y), c.fits) << c.x << ", " << c.y;
        Series s;
        EXPECT_EQ(AddPoint(s.fit, s.points, c.x, c.y),
                  c.fits ? PointEntry::Added : PointEntry::TooLarge)
            << c.x << ", " << c.y;
        EXPECT_EQ(s.fit.XYCount(), c.fits ? 1 : 0);
        if (c.fits) {
            // The order-10 sums of a full list of such points stay finite, so the re-fit agrees.
            for (int i = 1; i < PointList::kCapacity; ++i)
                AddPoint(s.fit, s.points, c.x, c.y);
            EXPECT_NO_THROW(Refit(s.fit, s.points, 10));
            EXPECT_EQ(s.fit.XYCount(), PointList::kCapacity);
        }
    }
}

TEST(PointSeriesTest, TypedEntriesUseTheLocaleOfTheNumericTest)
{
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const QLocale german(QLocale::German, QLocale::Germany);
    struct Case {
        const char *x, *y;
        const QLocale *locale;
        PointEntry result;
        double wantX, wantY;
    };
    const std::array cases = {
        Case{"1.5", "2", &english, PointEntry::Added, 1.5, 2},
        Case{"1,5", "2", &german, PointEntry::Added, 1.5, 2},
        Case{"-0,25", "1E3", &german, PointEntry::Added, -0.25, 1000},
        Case{" 3 ", "4", &english, PointEntry::Added, 3, 4},
        Case{"abc", "2", &english, PointEntry::NotNumbers, 0, 0},
        Case{"1", "", &english, PointEntry::NotNumbers, 0, 0},
        Case{"inf", "1", &english, PointEntry::NotNumbers, 0, 0},
        Case{"nan", "1", &english, PointEntry::NotNumbers, 0, 0},
        Case{"1e400", "1", &english, PointEntry::NotNumbers, 0, 0},
        Case{"2", "1e306", &english, PointEntry::TooLarge, 0, 0},
    };
    for (const Case &c : cases) {
        Series s;
        EXPECT_EQ(AddTypedPoint(s.fit, s.points, c.x, c.y, *c.locale), c.result) << c.x;
        if (c.result == PointEntry::Added) {
            ASSERT_EQ(s.fit.XYCount(), 1) << c.x;
            EXPECT_EQ(s.points(1).X, c.wantX) << c.x;
            EXPECT_EQ(s.points(1).Y, c.wantY) << c.x;
        } else {
            EXPECT_EQ(s.fit.XYCount(), 0) << c.x;
        }
    }
    EXPECT_EQ(PointEntryMessage(PointEntry::NotNumbers), "X and Y must be numbers.");
}

TEST(PointSeriesTest, ClickedPointIsRoundedToWholeNumbersHalvesToEven)
{
    Series s;
    const std::array<std::array<float, 4>, 4> clicks = {{
        {2.5f, -1.4f, 2, -1},
        {3.5f, 0.6f, 4, 1},
        {-0.4f, -2.5f, 0, -2},
        {7.49f, 19.51f, 7, 20},
    }};
    for (const auto &c : clicks)
        ASSERT_EQ(AddClickedPoint(s.fit, s.points, c[0], c[1]), PointEntry::Added);
    ASSERT_EQ(s.fit.XYCount(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(s.points(i + 1).X, clicks[i][2]) << i;
        EXPECT_EQ(s.points(i + 1).Y, clicks[i][3]) << i;
    }
    EXPECT_FALSE(std::signbit(s.points(3).X)) << "a click just left of 0 lists 0, not -0";
}

TEST(PointSeriesTest, RefitKeepsEveryPointAndFitsTheNewTrend)
{
    Series s;
    // On y = x^3 - x: the line through them is y = 1.6x at these x, the cubic is exact.
    for (double x : {-2.0, -1.0, 0.0, 1.0, 2.0, 2.0})
        AddPoint(s.fit, s.points, x, x * x * x - x);
    EXPECT_EQ(TrendDegree(true, "3"), 1);
    EXPECT_EQ(TrendDegree(false, "3"), 3);
    EXPECT_EQ(TrendDegree(false, "10"), 10);

    struct Step {
        int degree;
        double valueAt3;
    };
    for (const Step step : {Step{3, 24}, Step{1, -1}, Step{2, -1}, Step{3, 24}}) {
        Refit(s.fit, s.points, TrendDegree(step.degree == 1, QString::number(step.degree)));
        EXPECT_EQ(s.fit.Degree(), step.degree);
        ASSERT_EQ(s.fit.XYCount(), 6);
        for (int i = 1; i <= 6; ++i) {
            const double x = std::array{-2.0, -1.0, 0.0, 1.0, 2.0, 2.0}[i - 1];
            EXPECT_EQ(s.points(i).X, x);
            EXPECT_EQ(s.points(i).Y, x * x * x - x);
        }
        if (step.degree == 3) {
            EXPECT_NEAR(s.fit.RegVal(3.0), step.valueAt3, 1e-9);
        }
    }
    // The same point entered twice counts twice: the line is pulled towards (2, 6).
    Refit(s.fit, s.points, 1);
    RegressionObject once;
    once.Degree(1);
    for (double x : {-2.0, -1.0, 0.0, 1.0, 2.0})
        once.XYAdd(x, x * x * x - x);
    EXPECT_GT(s.fit.RegVal(2.0), once.RegVal(2.0));
}

class DrawPointSeriesTest : public ::testing::Test
{
protected:
    DrawPointSeriesTest() : surface(QSizeF(400, 400)) { surface.setScale(-20, 20, 40, -40); }

    std::vector<RecordedCall> callsOf(RecordedCall::Kind kind) const
    {
        std::vector<RecordedCall> found;
        for (const RecordedCall &c : surface.calls())
            if (c.kind == kind)
                found.push_back(c);
        return found;
    }

    RecordingSurface surface;
    Series s;
    PlotSpan span{-20, -20, 20, 0.5};
    PointSeriesStyle style{255, 0xFF0000, 3, FillSolid};
};

TEST_F(DrawPointSeriesTest, EmptySeriesDrawsNothing)
{
    DrawPointSeriesOn(surface, s.fit, s.points, span, style);
    EXPECT_TRUE(surface.calls().empty());
}

TEST_F(DrawPointSeriesTest, DrawsTheSampledFitAndACircleRoundEveryPoint)
{
    AddTypedPoint(s.fit, s.points, "1.5", "2", QLocale::c());
    AddPoint(s.fit, s.points, -2, -5);
    AddPoint(s.fit, s.points, -2, -5); // listed and drawn twice
    DrawPointSeriesOn(surface, s.fit, s.points, span, style);

    const auto lines = callsOf(RecordedCall::Line);
    ASSERT_EQ(lines.size(), 81u); // x = -20, -19.5, ..., 20
    EXPECT_NEAR(lines.front().x, -20, 1e-6);
    EXPECT_NEAR(lines.front().y, s.fit.RegVal(-20.0), 1e-4);
    for (std::size_t i = 1; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].colour, 255);
        EXPECT_NEAR(lines[i].x, lines[i - 1].x2, 1e-9) << "each segment starts at the pen";
        EXPECT_NEAR(lines[i].y2, s.fit.RegVal(lines[i].x2), 1e-4);
    }
    EXPECT_NEAR(lines.back().x2, 20, 1e-6);

    const auto circles = callsOf(RecordedCall::Circle);
    ASSERT_EQ(circles.size(), 3u);
    const std::array<std::array<double, 2>, 3> at = {{{1.5, 2}, {-2, -5}, {-2, -5}}};
    for (std::size_t i = 0; i < circles.size(); ++i) {
        EXPECT_NEAR(circles[i].x, at[i][0], 1e-6);
        EXPECT_NEAR(circles[i].y, at[i][1], 1e-6);
        EXPECT_NEAR(circles[i].x2, 0.2, 1e-6);
        EXPECT_EQ(circles[i].colour, 0xFF0000);
    }
    EXPECT_EQ(surface.fillColor(), 0xFF0000);
    EXPECT_EQ(surface.fillStyle(), FillSolid);
    EXPECT_EQ(surface.drawWidth(), 3);
}

TEST_F(DrawPointSeriesTest, OnePointGivesTheHorizontalLineThroughIt)
{
    AddPoint(s.fit, s.points, 3, 7);
    DrawPointSeriesOn(surface, s.fit, s.points, span, style);
    for (const RecordedCall &line : callsOf(RecordedCall::Line)) {
        EXPECT_NEAR(line.y, 7, 1e-6);
        EXPECT_NEAR(line.y2, 7, 1e-6);
    }
}

// ---- The panel's handlers on real widgets, without the main window ----


class PointPanelTest : public ::testing::Test
{
protected:
    PointPanelTest()
        : grid(2, 2, &window), text2(&window), text3(&window), linear("Linear", &window),
          polynomial("Polynomial", &window), combo(&window), surface(QSizeF(400, 400))
    {
        surface.setScale(-20, 20, 40, -40);
        fit.Degree(1);
        check1.setChecked(true);
        linear.setChecked(true);
        for (int order = 2; order <= 10; ++order)
            combo.addItem(QString::number(order));
        PointPanelHooks hooks;
        hooks.graphFunctions = [this] { ++redraws; };
        hooks.plot = [this]() -> Surface & { return surface; };
        hooks.span = [] { return PlotSpan{-20, -20, 20, 1}; };
        hooks.style = [] { return PointSeriesStyle{}; };
        hooks.message = [this](const QString &m) { messages.append(m); };
        panel = std::make_unique<PointSeriesPanel>(
            fit, points,
            PointPanelControls{&check1, &grid, &text2, &text3, &linear, &combo, {&grid}}, hooks,
            typesetMessages);
        panel->InitPointGrid();
    }

    QStringList gridRows() const
    {
        QStringList rows;
        for (int r = 0; r < grid.rowCount(); ++r)
            rows.append((grid.item(r, 0) ? grid.item(r, 0)->text() : "?") + "|"
                        + (grid.item(r, 1) ? grid.item(r, 1)->text() : "?"));
        return rows;
    }
    int circles() const
    {
        int n = 0;
        for (const RecordedCall &c : surface.calls())
            n += c.kind == RecordedCall::Circle;
        return n;
    }
    void insert(const QString &x, const QString &y)
    {
        text2.setText(x);
        text3.setText(y);
        panel->Command4_Click();
    }

    QWidget window;
    QCheckBox check1;
    QTableWidget grid;
    QLineEdit text2, text3;
    QRadioButton linear, polynomial;
    QComboBox combo;
    RecordingSurface surface;
    RegressionObject fit;
    PointList points;
    FormulaMessageSink typesetMessages;
    std::unique_ptr<PointSeriesPanel> panel;
    int redraws = 0;
    QStringList messages;
};

TEST_F(PointPanelTest, InsertListsThePointAndKeepsTheBoxes)
{
    const QLocale saved;
    QLocale::setDefault(QLocale::c());
    insert("1.5", "2");
    EXPECT_EQ(gridRows(), (QStringList{"X|Y", "1.5|2", "|"}));
    EXPECT_EQ(circles(), 1);
    EXPECT_EQ(redraws, 1);
    EXPECT_EQ(text2.text(), "1.5");
    EXPECT_EQ(text3.text(), "2");

    insert("1.5", "2"); // twice counts twice
    EXPECT_EQ(gridRows(), (QStringList{"X|Y", "1.5|2", "1.5|2", "|"}));
    EXPECT_EQ(fit.XYCount(), 2);

    insert("abc", "2");
    EXPECT_EQ(messages, QStringList{"X and Y must be numbers."});
    EXPECT_EQ(fit.XYCount(), 2);
    EXPECT_EQ(redraws, 2);
    QLocale::setDefault(saved);
}

TEST_F(PointPanelTest, TypedCommaDecimalUnderACommaLocale)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    insert("1,5", "-2,25");
    ASSERT_EQ(fit.XYCount(), 1);
    EXPECT_EQ(points(1).X, 1.5);
    EXPECT_EQ(points(1).Y, -2.25);
    EXPECT_EQ(gridRows(), (QStringList{"X|Y", "1,5|-2,25", "|"}));
    QLocale::setDefault(saved);
}

// Typed in the user's locale, listed in it: the C library's locale set as well, as the program
// runs.
TEST_F(PointPanelTest, PointEntryAndGridFollowTheLocale)
{
    struct Row
    {
        const char *xDot, *xComma, *yDot, *yComma;
        const char *gridDot, *gridComma;  // "X|Y"; nullptr: refused
    };
    const std::array<Row, 6> rows{{
        {"1.5", "1,5", "2", "2", "1.5|2", "1,5|2"},
        {"-0.25", "-0,25", "1E3", "1E3", "-0.25|1000", "-0,25|1000"},
        {"0.1", "0,1", "1.5E-11", "1,5E-11", "0.1|1.5E-11", "0,1|1,5E-11"},
        {"-123456.789", "-123456,789", "0", "0", "-123456.789|0", "-123456,789|0"},
        {"1,5", "1.5", "2", "2", nullptr, nullptr},
        {"1x", "1x", "2", "2", nullptr, nullptr},
    }};
    for (const auto &locale : linoveta::test::kBothLocales) {
        const linoveta::test::ScopedLocale scoped(locale);
        ASSERT_TRUE(scoped.ok()) << locale.cName;
        for (const auto &row : rows) {
            fit.Degree(1);
            messages.clear();
            insert(QString::fromLatin1(locale.comma ? row.xComma : row.xDot),
                   QString::fromLatin1(locale.comma ? row.yComma : row.yDot));
            const char *grid = locale.comma ? row.gridComma : row.gridDot;
            if (grid) {
                EXPECT_TRUE(messages.isEmpty()) << locale.qtName << " " << row.xDot;
                EXPECT_EQ(gridRows(), (QStringList{"X|Y", QString::fromLatin1(grid), "|"}))
                    << locale.qtName << " " << row.xDot;
            } else {
                EXPECT_EQ(messages, QStringList{"X and Y must be numbers."}) << row.xDot;
                EXPECT_EQ(fit.XYCount(), 0);
            }
        }
    }
}

TEST_F(PointPanelTest, ClickAddsTheRoundedPointAndUpdatesTheGrid)
{
    panel->AddClickedPoint(2.5f, -1.4f);
    panel->AddClickedPoint(-3.6f, 7.5f);
    EXPECT_EQ(gridRows(), (QStringList{"X|Y", "2|-1", "-4|8", "|"}));
    EXPECT_EQ(circles(), 1 + 2); // each redraw draws every point
    EXPECT_EQ(redraws, 2);
}

TEST_F(PointPanelTest, TrendChangesRefitFromTheListAndOrderWaitsForPolynomial)
{
    for (double x : {-1.0, 0.0, 1.0, 2.0, 3.0})
        AddPoint(fit, points, x, x * x * x);
    const QStringList before = (panel->DrawPointSeries(), gridRows());

    combo.setCurrentIndex(3); // order 5 while Linear is selected
    panel->Combo1_Click();
    EXPECT_EQ(fit.Degree(), 1);
    const int redrawsBefore = redraws;

    polynomial.setChecked(true);
    combo.setCurrentIndex(1); // order 3
    panel->Command3_Click();
    EXPECT_EQ(fit.Degree(), 3);
    EXPECT_NEAR(fit.RegVal(4.0), 64, 1e-9);
    combo.setCurrentIndex(0);
    panel->Combo1_Click();
    EXPECT_EQ(fit.Degree(), 2);
    linear.setChecked(true);
    panel->Command1_Click();
    EXPECT_EQ(fit.Degree(), 1);
    EXPECT_EQ(redraws, redrawsBefore + 3);
    EXPECT_EQ(fit.XYCount(), 5);
    EXPECT_EQ(gridRows(), before);
}

TEST_F(PointPanelTest, ClearEmptiesTheSeriesButKeepsTheDegree)
{
    polynomial.setChecked(true);
    combo.setCurrentIndex(2);
    panel->Command3_Click();
    insert("1", "2");
    insert("3", "4");
    panel->ClearPointSeries();
    EXPECT_EQ(fit.XYCount(), 0);
    EXPECT_EQ(fit.Degree(), 4);
    EXPECT_EQ(gridRows(), (QStringList{"X|Y", "|"}));
}

TEST_F(PointPanelTest, FormulaModeDrawsNothing)
{
    check1.setChecked(false);
    AddPoint(fit, points, 1, 1);
    panel->DrawPointSeries();
    EXPECT_EQ(redraws, 0);
    EXPECT_TRUE(surface.calls().empty());
}

TEST_F(PointPanelTest, FullListShowsAMessageAndChangesNothing)
{
    for (int i = 0; i < PointList::kCapacity; ++i)
        AddPoint(fit, points, i, i);
    panel->AddClickedPoint(1, 1);
    insert("1", "1");
    EXPECT_EQ(messages, (QStringList{kPointListFullMessage, kPointListFullMessage}));
    EXPECT_EQ(fit.XYCount(), 500);
    EXPECT_EQ(redraws, 0);
}

TEST_F(PointPanelTest, RegressionFunctionShowsTheEquationOfTheLastDrawing)
{
    typesetMessages.setRoute([](const QString &) {});
    insert("0", "1");
    insert("1", "3");
    panel->Command5_Click();
    EXPECT_EQ(panel->RegEquationText(), "f(x) =  2x + 1");
    ASSERT_TRUE(panel->equationWindow());
    EXPECT_EQ(panel->equationWindow()->windowTitle(), "Linear Regression Equation");
    panel->closeEquationWindow();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(panel->equationWindow(), nullptr);
}

// ---- Point-series mode in the main window ----

class PointSeriesModeTest : public MainWindowTest
{
protected:
    QAction *toolbar(int index) { return window->toolbarButtons[static_cast<std::size_t>(index)].action; }
    std::vector<QAction *> formulaOnlyItems()
    {
        return {window->mnuToggleCoordinates, window->mnuExponent, window->mnuRoot,
                window->mnuTrig, window->mnuInsertF, window->mnuInsertAbs, window->mnuInsertPi};
    }
    std::vector<QWidget *> panel()
    {
        return {window->MSFlexGrid1, window->Frame1, window->Frame2, window->Frame3,
                window->Command5, window->Command7};
    }
    QString gridText(int row, int column)
    {
        const QTableWidgetItem *item = window->MSFlexGrid1->item(row, column);
        return item ? item->text() : QString();
    }
};

TEST_F(PointSeriesModeTest, ToggleSwitchesPanelMenusToolbarAndTips)
{
    ASSERT_FALSE(window->Check1->isChecked());
    for (QWidget *w : panel())
        EXPECT_TRUE(w->isHidden());

    window->toolbarButtons[14].action->trigger(); // enter through toolbar button 14
    EXPECT_TRUE(window->Check1->isChecked());
    EXPECT_TRUE(window->mnuPtSeries->isChecked());
    for (QWidget *w : panel())
        EXPECT_FALSE(w->isHidden());
    for (QAction *a : formulaOnlyItems())
        EXPECT_FALSE(a->isEnabled()) << a->text().toStdString();
    for (int index : {9, 10, 12, 13})
        EXPECT_FALSE(toolbar(index)->isEnabled()) << index;
    // No formula is typed, so Calculate Area and Evaluate f(x) stay off.
    EXPECT_FALSE(window->mnuShade->isEnabled());
    EXPECT_FALSE(window->mnuEvaluate->isEnabled());
    EXPECT_EQ(window->frmGraph->toolTip(), "Click on graph to enter point.");
    EXPECT_EQ(window->toolbarButtons[14].key, "gra");
    EXPECT_EQ(window->toolbarButtons[14].toolTip, "Graph Analysis");
    EXPECT_EQ(window->Command4->toolTip(), "Click here to insert point into point series.");
    EXPECT_EQ(window->Command5->toolTip(), "Click here to display the regression function.");
    EXPECT_EQ(window->Command7->toolTip(), "Click here to return to Graph Analysis.");
    EXPECT_EQ(gridText(0, 0), "X");
    EXPECT_EQ(gridText(0, 1), "Y");

    window->Command7->click(); // Exit leaves the mode
    EXPECT_FALSE(window->Check1->isChecked());
    EXPECT_FALSE(window->mnuPtSeries->isChecked());
    for (QWidget *w : panel())
        EXPECT_TRUE(w->isHidden());
    for (QAction *a : formulaOnlyItems())
        EXPECT_TRUE(a->isEnabled()) << a->text().toStdString();
    EXPECT_TRUE(toolbar(9)->isEnabled());
    EXPECT_TRUE(toolbar(10)->isEnabled());
    EXPECT_FALSE(toolbar(12)->isEnabled());
    EXPECT_FALSE(toolbar(13)->isEnabled());
    EXPECT_EQ(window->frmGraph->toolTip(), "Drag mouse to select display region.");
    EXPECT_EQ(window->toolbarButtons[14].key, "regress");
    EXPECT_EQ(window->toolbarButtons[14].toolTip, "Regression Analysis");
}

TEST_F(PointSeriesModeTest, TypedAndClickedPointsSurviveLeavingTheMode)
{
    window->mnuPtSeries_Click();
    QTest::keyClicks(window->Text2, linoveta::test::InCurrentLocale("1.5", "1,5"));
    QTest::keyClick(window->Text2, Qt::Key_Return);
    EXPECT_TRUE(window->Text3->hasFocus());
    QTest::keyClicks(window->Text3, "2");
    QTest::keyClick(window->Text3, Qt::Key_Return);
    EXPECT_TRUE(window->Command4->hasFocus());
    QTest::keyClick(window->Command4, Qt::Key_Return);
    ASSERT_EQ(window->m_Regression->XYCount(), 1);

    window->frmGraph_MouseDown(1, 0, 2.5f, -1.4f);
    ASSERT_EQ(window->m_Regression->XYCount(), 2);
    EXPECT_EQ(window->PointList(2).X, 2);
    EXPECT_EQ(window->PointList(2).Y, -1);
    EXPECT_EQ(gridText(1, 0), QLocale().toString(1.5));
    EXPECT_EQ(gridText(2, 0), "2");
    EXPECT_EQ(gridText(2, 1), "-1");
    EXPECT_EQ(window->MSFlexGrid1->rowCount(), 4);

    window->mnuPtSeries_Click();
    window->frmGraph_MouseDown(1, 0, 5, 5); // formula mode: no point
    window->mnuPtSeries_Click();
    EXPECT_EQ(window->m_Regression->XYCount(), 2);
    EXPECT_EQ(gridText(2, 1), "-1");
}

namespace linoveta {
namespace {

// The panel's frames cover what lies behind them: the formula boxes and the new-line button
// do not show through, wherever a frame has no control of its own.
TEST_F(PointSeriesModeTest, PanelFramesAreOpaque)
{
    window->Blinker_Click();   // box 1 (yellow, current) and the button move under the frames
    window->mnuPtSeries_Click();
    QApplication::processEvents();
    const QImage shot = window->centralWidget()->grab().toImage();
    const QRgb white = qRgb(255, 255, 255), yellow = qRgb(255, 255, 128);
    for (QGroupBox *frame : {window->Frame1, window->Frame2, window->Frame3}) {
        SCOPED_TRACE(frame->title().toStdString());
        const QRect area = frame->geometry();
        int boxColoured = 0, behindBoxes = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x) {
                const QPoint inFrame = frame->mapFrom(window->centralWidget(), QPoint(x, y));
                if (frame->childAt(inFrame))
                    continue;
                bool behind = false;
                for (FormulaBox *box : window->Paper)
                    behind |= !box->isHidden() && box->geometry().contains(x, y);
                if (!behind)
                    continue;
                ++behindBoxes;
                const QRgb c = shot.pixel(x, y) | 0xFF000000u;
                boxColoured += c == white || c == yellow;
            }
        if (behindBoxes > 0) {
            EXPECT_LT(boxColoured, behindBoxes / 20) << boxColoured << " of " << behindBoxes;
        }
    }
}

} // namespace
} // namespace linoveta
