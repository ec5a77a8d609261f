#include "workspace/graph_window.h"

#include <array>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using linoveta::AutoFitActions;
using linoveta::AutoFitGraph;
using linoveta::AutoFitResult;
using linoveta::DragZoom;
using linoveta::GraphWindow;

TEST(GraphWindowZoom, StopsAfterFiveHalvingsAndThirteenDoublingsFromTheStart)
{
    GraphWindow w;
    int halvings = 0;
    while (w.ZoomIn())
        ++halvings;
    EXPECT_EQ(halvings, 5);
    EXPECT_EQ(w.XMin, -0.625);
    EXPECT_EQ(w.YMax, 0.625);

    GraphWindow out;
    int doublings = 0;
    while (out.ZoomOut())
        ++doublings;
    EXPECT_EQ(doublings, 13);
    EXPECT_EQ(out.XMin, -163840);
    EXPECT_EQ(out.XMax, 163840);
    EXPECT_EQ(out.YMin, -163840);
}

TEST(GraphWindowZoom, LimitsAreInclusiveAndOnlyXIsTested)
{
    struct Case {
        double xMin, xMax, yMin, yMax;
        bool zoomIn; // else zoom out
        bool changes;
    };
    constexpr std::array<Case, 6> cases{{
        {-1, 1, -50, 50, true, true},            // sum exactly 2 still halves
        {-0.5, 0.49, -50, 50, true, false},      // tall y does not matter
        {0, 1.99, 0, 1, true, false},
        {-81920, 81920, -1, 1, false, true},     // sum exactly 163840 still doubles
        {-81920, 81920.5, -1, 1, false, false},
        {10, 30, 10, 30, true, true},            // about the origin, not the centre
    }};
    for (const auto& c : cases) {
        GraphWindow w;
        w.XMin = c.xMin; w.XMax = c.xMax; w.YMin = c.yMin; w.YMax = c.yMax;
        const bool changed = c.zoomIn ? w.ZoomIn() : w.ZoomOut();
        EXPECT_EQ(changed, c.changes) << c.xMin << ".." << c.xMax;
        const double f = !c.changes ? 1 : c.zoomIn ? 0.5 : 2;
        EXPECT_EQ(w.XMin, c.xMin * f);
        EXPECT_EQ(w.XMax, c.xMax * f);
        EXPECT_EQ(w.YMin, c.yMin * f);
        EXPECT_EQ(w.YMax, c.yMax * f);
    }
}

TEST(GraphWindowPan, KeySequencesMoveTheWindowAndLeaveUserWindowAlone)
{
    struct Case {
        std::vector<int> keys;
        double xMin, xMax, yMin, yMax;
    };
    const std::array<Case, 5> cases{{
        {{38}, -20, 20, -19, 21},                  // Up shows a higher part of the plane
        {{40, 40, 37}, -21, 19, -22, 18},
        {{33, 34, 36, 35}, -20, 20, -20, 20},      // each page key undoes its partner
        {{36, 36, 39}, -39, 1, -20, 20},
        {{13, 65, 112}, -20, 20, -20, 20},         // keys that do not pan change nothing
    }};
    for (const auto& c : cases) {
        GraphWindow w;
        w.UserWindow = true;
        for (int key : c.keys)
            w.Pan(key);
        EXPECT_EQ(w.XMin, c.xMin);
        EXPECT_EQ(w.XMax, c.xMax);
        EXPECT_EQ(w.YMin, c.yMin);
        EXPECT_EQ(w.YMax, c.yMax);
        EXPECT_TRUE(w.UserWindow);
    }
    GraphWindow w;
    EXPECT_FALSE(w.Pan(13));
    EXPECT_TRUE(w.Pan(35));
}

TEST(GraphWindowReset, RestoresTheStartWindowAndClearsUserWindow)
{
    GraphWindow w;
    w.XMin = 3; w.XMax = 9; w.YMin = -1; w.YMax = 4; w.UserWindow = true;
    w.Reset();
    EXPECT_EQ(w.XMin, -20);
    EXPECT_EQ(w.XMax, 20);
    EXPECT_EQ(w.YMin, -20);
    EXPECT_EQ(w.YMax, 20);
    EXPECT_FALSE(w.UserWindow);
}

TEST(GraphWindowStep, UsesTheSumOfAbsoluteLimits)
{
    struct Case {
        double xMin, xMax, step;
    };
    constexpr std::array<Case, 4> cases{{
        {-20, 20, 0.05}, {10, 30, 0.05}, {-640, 640, 1.6}, {-2.5, 2.5, 0.00625},
    }};
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(GraphWindow::SamplingStep(c.xMin, c.xMax, 400), c.step) << c.xMin;
}

TEST(GraphWindowColours, FirstPlotColoursOnlyBeforeAnyPlot)
{
    GraphWindow w;
    w.ShadeFillStyle = 5;
    EXPECT_TRUE(w.InstallFirstPlotColours());
    EXPECT_EQ(w.GridColor, "16766596");
    EXPECT_EQ(w.ShadeColor, "14737632");
    EXPECT_EQ(w.ShadeFillStyle, 0);
    w.CurveColor = "255";
    w.GridColor = "0";
    EXPECT_FALSE(w.InstallFirstPlotColours());
    EXPECT_EQ(w.GridColor, "0");
}

TEST(DragZoomTest, RoundsOrdersAndRefusesSmallDrags)
{
    struct Case {
        float x1, y1, x2, y2;
        bool applied;
        double xMin, xMax, yMin, yMax;
    };
    constexpr std::array<Case, 6> cases{{
        {-5.4f, -3.6f, 7.5f, 8.5f, true, -5, 8, -4, 8},   // halves to even: 7.5 -> 8, 8.5 -> 8
        {7.5f, 8.5f, -5.4f, -3.6f, true, -5, 8, -4, 8},   // reverse drag, same window
        {2.5f, 9.0f, 4.4f, 1.0f, true, 2, 4, 1, 9},        // x forwards, y backwards; 2.5 -> 2
        {0.4f, 0.0f, 1.4f, 5.0f, false, -20, 20, -20, 20}, // rounded x span 1: refused
        {0.0f, 0.0f, 9.0f, 0.6f, false, -20, 20, -20, 20}, // rounded y span 1: refused
        {3.0f, 3.0f, 3.0f, 3.0f, false, -20, 20, -20, 20}, // a click
    }};
    for (const auto& c : cases) {
        GraphWindow w;
        DragZoom d;
        d.Start(c.x1, c.y1);
        d.Move(c.x2, c.y2);
        const bool expectApplied = c.applied;
        EXPECT_EQ(d.Finish(w), expectApplied) << c.x1 << "," << c.y1 << " to " << c.x2 << "," << c.y2;
        EXPECT_FALSE(d.DragActive);
        EXPECT_EQ(w.UserWindow, c.applied);
        EXPECT_EQ(w.XMin, c.xMin);
        EXPECT_EQ(w.XMax, c.xMax);
        EXPECT_EQ(w.YMin, c.yMin);
        EXPECT_EQ(w.YMax, c.yMax);
    }
    GraphWindow w;
    DragZoom idle;
    EXPECT_FALSE(idle.Finish(w));
}

TEST(CoordinateReadoutTest, RoundsHalvesToEvenAndShowsWholeNumbersBare)
{
    struct Row
    {
        float x, y;
        int decimals;
        const char *dot, *comma;
    };
    const std::array<Row, 4> rows{{
        {0, 0, 0, "x = 0    y = 0", "x = 0    y = 0"},
        {2.25f, -0.3f, 1, "x = 2.2    y = -0.3", "x = 2,2    y = -0,3"},
        {2.5f, -0.4f, 0, "x = 2    y = 0", "x = 2    y = 0"},
        {-3.5f, 19.96f, 1, "x = -3.5    y = 20", "x = -3,5    y = 20"},
    }};
    const QLocale dot(QStringLiteral("en_US"));
    const QLocale comma(QStringLiteral("de_DE"));
    for (const auto &row : rows) {
        EXPECT_EQ(linoveta::CoordinateReadout(row.x, row.y, row.decimals, dot).toStdString(), row.dot);
        EXPECT_EQ(linoveta::CoordinateReadout(row.x, row.y, row.decimals, comma).toStdString(),
                  row.comma);
    }
}

// A stand-in window: each redraw "draws" once the window reaches `visibleAt`.
struct FakeView {
    GraphWindow w;
    double visibleAt = 0; // |XMax| at which a segment appears; 0 = never
    int redraws = 0, refreshes = 0, resets = 0;
    std::vector<std::string> messages;

    void Draw()
    {
        ++redraws;
        if (visibleAt > 0 && w.XMax >= visibleAt)
            w.GraphVisible = true;
    }
    AutoFitActions Actions()
    {
        return {[this] { Draw(); }, [this] { ++refreshes; },
                [this] { if (w.ZoomOut()) Draw(); },
                [this] { ++resets; w.Reset(); Draw(); },
                [this](const std::string& m) { messages.push_back(m); }};
    }
};

TEST(AutoFit, StopsAtTheFirstWindowThatShowsACurve)
{
    struct Case {
        double visibleAt;
        double xMax;   // window when done
        int redraws;
    };
    constexpr std::array<Case, 3> cases{{
        {20, 20, 1},          // linear through the window: first redraw shows it
        {160, 160, 6},        // constant y = 150: three attempts, each redraw + zoom redraw
        {20480, 20480, 20},   // ten doublings
    }};
    for (const auto& c : cases) {
        FakeView v;
        v.visibleAt = c.visibleAt;
        EXPECT_EQ(AutoFitGraph(v.w, true, v.Actions()), AutoFitResult::Fitted);
        EXPECT_EQ(v.w.XMax, c.xMax);
        EXPECT_EQ(v.redraws, c.redraws) << c.visibleAt;
        EXPECT_TRUE(v.messages.empty());
    }
}

TEST(AutoFit, GivesUpAfterFourteenAttemptsWithTheMessage)
{
    FakeView v;
    EXPECT_EQ(AutoFitGraph(v.w, true, v.Actions()), AutoFitResult::Failed);
    ASSERT_EQ(v.messages.size(), 1u);
    EXPECT_EQ(v.messages[0], "The function could not be graphed within the maximum limits.");
    EXPECT_EQ(v.resets, 1);
    EXPECT_EQ(v.w.XMax, 20);
    EXPECT_FALSE(v.w.UserWindow);
    // 14 redraws, 13 zoom redraws (the 14th zoom is refused), then Reset's and one more.
    EXPECT_EQ(v.redraws, 14 + 13 + 2);
}

TEST(AutoFit, DoesNothingWithoutFormulasOrAfterADragZoom)
{
    FakeView empty;
    empty.w.GraphVisible = true;
    EXPECT_EQ(AutoFitGraph(empty.w, false, empty.Actions()), AutoFitResult::NotRun);
    EXPECT_FALSE(empty.w.GraphVisible);
    EXPECT_EQ(empty.redraws, 0);

    FakeView dragged;
    dragged.w.UserWindow = true;
    dragged.w.XMax = 5;
    EXPECT_EQ(AutoFitGraph(dragged.w, true, dragged.Actions()), AutoFitResult::NotRun);
    EXPECT_EQ(dragged.redraws + dragged.refreshes, 0);
    EXPECT_EQ(dragged.w.XMax, 5);
}

} // namespace
