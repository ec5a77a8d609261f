#include "workspace/plot_view.h"

#include "typeset/image_surface.h"

#include <array>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using linoveta::GraphWindow;
using linoveta::PlotView;

// A view whose plot only logs the window it was drawn at.
struct ViewFixture {
    GraphWindow window;
    ImageSurface surface{QSize(400, 400)};
    PlotView view{window, surface};
    bool pointSeries = false;
    std::vector<std::string> log;

    ViewFixture()
    {
        view.formPaint = [this] {
            log.push_back("plot " + std::to_string(int(window.XMin)) + ".." + std::to_string(int(window.XMax)));
            window.CurveColor = "255";
        };
        view.pointSeriesMode = [this] { return pointSeries; };
        view.drawPointSeries = [this] { log.push_back("points"); };
    }
};

TEST(PlotViewScale, UserScaleFollowsTheWindowWithYUpwards)
{
    ViewFixture f;
    f.window.XMin = 10; f.window.XMax = 30; f.window.YMin = -5; f.window.YMax = 15;
    f.view.SetGraphScale();
    EXPECT_DOUBLE_EQ(f.window.XStep, 0.05); // the sum of absolute limits, not the width
    EXPECT_EQ(f.surface.toDevice(10, 15), QPointF(0, 0));
    EXPECT_EQ(f.surface.toDevice(30, -5), QPointF(400, 400));
    EXPECT_EQ(f.view.CoordinateListRect(120), QRectF(280, 0, 120, 200));

    // A window of no width keeps the old scale; the step still follows the limits.
    f.window.XMin = 4; f.window.XMax = 4;
    f.view.SetGraphScale();
    EXPECT_EQ(f.surface.toDevice(10, 15), QPointF(0, 0));
    EXPECT_DOUBLE_EQ(f.window.XStep, 0.01);
}

TEST(PlotViewRedraw, CommandsRedrawThroughTheModeAndStopAtTheirLimits)
{
    struct Case {
        const char* what;
        bool pointSeries;
        std::function<void(PlotView&, GraphWindow&)> command;
        std::vector<std::string> log;
    };
    const std::array<Case, 7> cases{{
        {"zoom in", false, [](PlotView& v, GraphWindow&) { v.ZoomIn(); }, {"plot -10..10"}},
        {"zoom out", false, [](PlotView& v, GraphWindow&) { v.ZoomOut(); }, {"plot -40..40"}},
        {"zoom in at the stop", false,
         [](PlotView& v, GraphWindow& w) { w.XMin = -0.5; w.XMax = 0.5; v.ZoomIn(); }, {}},
        {"a key that does not pan still redraws", false, [](PlotView& v, GraphWindow&) { v.KeyDown(65); },
         {"plot -20..20"}},
        {"End pans right", false, [](PlotView& v, GraphWindow&) { v.KeyDown(35); }, {"plot -10..30"}},
        {"point series", true, [](PlotView& v, GraphWindow&) { v.ZoomOut(); }, {"points"}},
        {"reset", false,
         [](PlotView& v, GraphWindow& w) { w.XMin = 1; w.XMax = 3; w.UserWindow = true; v.Reset(); },
         {"plot -20..20"}},
    }};
    for (const auto& c : cases) {
        ViewFixture f;
        f.pointSeries = c.pointSeries;
        c.command(f.view, f.window);
        EXPECT_EQ(f.log, c.log) << c.what;
        EXPECT_FALSE(f.window.UserWindow && std::string(c.what) == "reset");
    }
}

TEST(PlotViewRedraw, FirstPlotInstallsTheDefaultColoursOnce)
{
    ViewFixture f;
    f.surface.setFillStyle(FillCross);
    f.view.GraphFunctions();
    EXPECT_EQ(f.window.GridColor, "16766596");
    EXPECT_EQ(f.surface.fillStyle(), FillSolid);
    f.window.GridColor = "0";
    f.view.GraphFunctions();
    EXPECT_EQ(f.window.GridColor, "0");
}

TEST(PlotViewDrag, RubberBandRestoresThePictureAndTheReleaseApplies)
{
    ViewFixture f;
    f.view.SetGraphScale();
    f.surface.setForeColor(0x0000FF);
    f.surface.line(-20, 0, 20, 0);
    const QImage before = f.surface.image().copy();

    f.view.DragStart(-10.2f, -4.6f);
    EXPECT_EQ(f.surface.drawMode(), DrawMode::Xor);
    f.view.DragMove(5.0f, 6.0f);
    const QImage banded = f.surface.image().copy();
    EXPECT_NE(banded, before);
    const QPointF corner = f.surface.toDevice(5, 6);
    EXPECT_NE(banded.pixel(int(corner.x()), int(corner.y())), before.pixel(int(corner.x()), int(corner.y())));
    f.view.DragMove(12.7f, 9.0f);
    // Back to the start: the first move's erase of the one-pixel band is undone as well.
    f.view.DragMove(-10.2f, -4.6f);
    EXPECT_EQ(f.surface.image(), before) << "each outline pixel is flipped exactly once per draw";

    f.view.DragMove(7.5f, 8.5f);
    f.view.DragEnd();
    EXPECT_EQ(f.surface.drawMode(), DrawMode::Copy);
    EXPECT_TRUE(f.window.UserWindow);
    EXPECT_EQ(f.window.XMin, -10);
    EXPECT_EQ(f.window.XMax, 8);
    EXPECT_EQ(f.window.YMin, -5);
    EXPECT_EQ(f.window.YMax, 8);
    EXPECT_EQ(f.log.back(), "plot -10..8");

    // A drag too small still redraws, without changing the window.
    f.view.DragStart(1.0f, 1.0f);
    f.view.DragMove(1.4f, 9.0f);
    f.view.DragEnd();
    EXPECT_EQ(f.window.XMin, -10);
    EXPECT_EQ(f.log.size(), 2u);
    // A release without a drag does nothing.
    f.view.DragEnd();
    EXPECT_EQ(f.log.size(), 2u);
}

} // namespace
