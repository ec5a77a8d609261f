#include "main_window_fixture.h"
#include "support/scoped_locale.h"

#include "workspace/graph_commands.h"

#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>

#include <functional>
#include <utility>
#include <vector>

namespace linoveta {
namespace {

// Pixels of the plot picture in the colour of formula line 0.
int CurvePixels(frmGraphMain& w)
{
    const QImage& image = w.frmGraph->surface().image();
    const QRgb curve = colourFromRgbValue(w.Picture1[0]->backColor()).rgb() & RGB_MASK;
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += (image.pixel(x, y) & RGB_MASK) == curve;
    return n;
}

TEST_F(MainWindowTest, EnterInABoxDrawsTheFormulaAndFillsTheCoordinateList)
{
    EXPECT_EQ(CurvePixels(*window), 0);
    QTest::keyClicks(window->Paper[0], "x");
    QTest::keyClick(window->Paper[0], Qt::Key_Return);
    EXPECT_GT(CurvePixels(*window), 300);
    EXPECT_EQ(window->ListView1->topLevelItemCount(), 41);
    EXPECT_EQ(window->ListView1->topLevelItem(0)->text(0), "x=-20  y=-20");
    EXPECT_TRUE(program.graph.GraphVisible);
}

// The coordinate list keeps its rows from one redraw to the next: after redraws that list
// fewer, more and other points it must still show exactly the plotter's entries.
TEST_F(MainWindowTest, EveryRedrawListsExactlyThePlottersCoordinates)
{
    QTest::keyClicks(window->Paper[0], "x");
    QTest::keyClick(window->Paper[0], Qt::Key_Return);
    const std::vector<std::pair<const char*, std::function<void()>>> steps = {
        {"zoom in: fewer points", [&] { window->Command2->click(); }},
        {"zoom out twice: more points", [&] { window->Command6->click(); window->Command6->click(); }},
        {"a second line in another colour", [&] {
             window->Blinker_Click();
             QTest::keyClicks(window->Paper[1], "2");
             QTest::keyClick(window->Paper[1], Qt::Key_Return);
         }},
        {"back to the start window", [&] { window->mnuGraphReset->trigger(); }},
    };
    for (const auto& [what, step] : steps) {
        step();
        const std::vector<CoordinateEntry>& entries = window->graphCommands().plotter().coordinates();
        ASSERT_EQ(window->ListView1->topLevelItemCount(), static_cast<int>(entries.size())) << what;
        ASSERT_FALSE(entries.empty()) << what;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const QTreeWidgetItem* item = window->ListView1->topLevelItem(static_cast<int>(i));
            EXPECT_EQ(item->text(0).toStdString(), entries[i].text) << what << ", row " << i;
            EXPECT_EQ(item->foreground(0).color(), colourFromRgbValue(entries[i].colour))
                << what << ", row " << i;
        }
    }
}

TEST_F(MainWindowTest, ZoomButtonsChangeTheWindowAndGiveTheFocusBack)
{
    QTest::keyClicks(window->Paper[0], "x");
    window->Command2->click();
    EXPECT_EQ(program.graph.XMax, 10);
    EXPECT_EQ(QApplication::focusWidget(), window->Paper[0]);
    window->Command6->click();
    window->Command6->click();
    EXPECT_EQ(program.graph.XMin, -40);
    EXPECT_EQ(program.graph.YMax, 40);
    window->mnuGraphReset->trigger();
    EXPECT_EQ(program.graph.XMax, 20);
}

TEST_F(MainWindowTest, OnlyTheZoomButtonsGiveTheFocusBackToTheFormula)
{
    QTest::keyClicks(window->Paper[0], "x");
    // A toolbar button keyed "zoomin" or "zoomout" dispatches as the others do.
    window->toolbarButtons[2].key = QStringLiteral("zoomin");
    window->toolbarButtons[6].key = QStringLiteral("zoomout");
    struct Row {
        const char *command;
        std::function<void()> run;
        bool focusBack;
    };
    const std::vector<Row> rows = {
        {"menu Zoom In", [&] { window->mnuGraphZoomIn->trigger(); }, false},
        {"menu Zoom Out", [&] { window->mnuGraphZoomOut->trigger(); }, false},
        {"pop-up Zoom In", [&] { window->mnuGraphWindowMenu->actions().at(2)->trigger(); }, false},
        {"toolbar zoomin", [&] { window->Toolbar1_ButtonClick(2); }, false},
        {"toolbar zoomout", [&] { window->Toolbar1_ButtonClick(6); }, false},
        {"zoom-in button", [&] { QTest::mouseClick(window->Command2, Qt::LeftButton); }, true},
        {"zoom-out button", [&] { QTest::mouseClick(window->Command6, Qt::LeftButton); }, true},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.command);
        window->frmGraph->setFocus(Qt::MouseFocusReason);
        QApplication::processEvents();
        ASSERT_EQ(QApplication::focusWidget(), window->frmGraph);
        const double before = program.graph.XMax;
        row.run();
        QApplication::processEvents();
        EXPECT_NE(program.graph.XMax, before);
        EXPECT_EQ(QApplication::focusWidget(),
                  row.focusBack ? static_cast<QWidget *>(window->Paper[0]) : window->frmGraph);
    }
}

TEST_F(MainWindowTest, EveryKeyOnThePlotRedraws)
{
    ImageSurface &plot = window->frmGraph->surface();
    plot.cls();
    const QImage empty = plot.image();
    window->frmGraph->setFocus(Qt::MouseFocusReason);
    for (Qt::Key key : {Qt::Key_A, Qt::Key_5, Qt::Key_Space, Qt::Key_Escape, Qt::Key_Delete,
                        Qt::Key_F2, Qt::Key_Shift, Qt::Key_Up}) {
        SCOPED_TRACE(QKeySequence(key).toString().toStdString());
        plot.cls();
        QTest::keyClick(window->frmGraph, key);
        // Grid and axes are back on the emptied picture: it was drawn again.
        EXPECT_NE(plot.image(), empty);
    }
    EXPECT_EQ(program.graph.YMax, 21);   // only Up moved the window
    EXPECT_EQ(program.graph.XMax, 20);
}

TEST_F(MainWindowTest, TheGraphButtonWidensTheWindowUntilTheCurveShows)
{
    QTest::keyClicks(window->Paper[0], "30");
    window->Toolbar1_ButtonClick(1);
    EXPECT_EQ(program.graph.XMax, 40);
    EXPECT_TRUE(script.messages.empty());
}

TEST_F(MainWindowTest, PanningKeysFromAFormulaBoxMoveTheWindow)
{
    QTest::keyClick(window->Paper[0], Qt::Key_Up);
    QTest::keyClick(window->Paper[0], Qt::Key_End);
    EXPECT_EQ(program.graph.YMax, 21);
    EXPECT_EQ(program.graph.XMin, -10);
}

TEST_F(MainWindowTest, MouseReadOutAndDragZoomOnThePlot)
{
    window->frmGraph_MouseMove(0, 0, 2.25f, -3.5f);
    EXPECT_EQ(window->Label2->text(), "x = 2    y = -4");
    program.graph.CoordDecimals = 1;
    window->frmGraph_MouseMove(0, 0, 2.25f, -3.5f);
    EXPECT_EQ(window->Label2->text(),
              linoveta::test::InCurrentLocale("x = 2.2    y = -3.5", "x = 2,2    y = -3,5"));

    window->frmGraph_MouseDown(1, 0, 6.0f, 7.0f);
    window->frmGraph_MouseMove(1, 0, -4.0f, -2.0f);
    window->frmGraph_MouseUp(1, 0, -4.0f, -2.0f);
    EXPECT_TRUE(program.graph.UserWindow);
    EXPECT_EQ(program.graph.XMin, -4);
    EXPECT_EQ(program.graph.XMax, 6);
    EXPECT_EQ(program.graph.YMin, -2);
    EXPECT_EQ(program.graph.YMax, 7);

    // After a drag zoom the Graph button leaves the window alone.
    QTest::keyClicks(window->Paper[0], "30");
    window->Toolbar1_ButtonClick(1);
    EXPECT_EQ(program.graph.XMax, 6);
}

TEST_F(MainWindowTest, AnyOtherButtonPopsUpTheGraphWindowMenu)
{
    window->frmGraph_MouseDown(2, 0, 0.0f, 0.0f);
    EXPECT_TRUE(window->mnuGraphWindowMenu->isVisible());
    window->mnuGraphWindowMenu->hide();
    EXPECT_FALSE(window->graphCommands().view().dragging());
}

} // namespace
} // namespace linoveta
