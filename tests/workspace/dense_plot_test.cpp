// The plot on a picture kept at twice the density: the shading's walls, the rubber band and the
// hatches behave in logical pixels as they do at ratio 1.
#include "typeset/image_surface.h"
#include "workspace/flood_fill.h"
#include "workspace/plot_view.h"
#include "workspace/plotter.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <optional>

namespace {

using linoveta::GraphWindow;
using linoveta::PlotControls;
using linoveta::PlotEvaluator;
using linoveta::Plotter;
using linoveta::PlotView;
using linoveta::ShadeBand;

using Fn = std::function<std::optional<double>(double)>;

class FunctionEvaluator : public PlotEvaluator
{
public:
    explicit FunctionEvaluator(Fn f) : m_f(std::move(f)) {}
    void PreCalcFX() override {}
    bool HasExpression(int line) const override { return line == 0; }
    std::optional<double> ValueAt(double x, int line) override
    {
        return line == 0 ? m_f(x) : std::optional<double>(0.0);
    }

private:
    Fn m_f;
};

// One formula plotted and shaded over a band of x on the start window, at a pixel ratio.
struct ShadedPlot {
    GraphWindow window;
    ImageSurface surface;
    FunctionEvaluator evaluator;
    std::array<double, linoveta::kBreakEntries> breakX{};
    std::array<bool, linoveta::kBreakEntries> breakFlag{};
    int breakCount = 0;
    Plotter plotter{window, surface, evaluator, {breakX, breakFlag, breakCount}};

    ShadedPlot(int ratio, Fn f, double from, double to, int fillStyle)
        : surface(QSize(400, 400), 0xFFFFFF, ratio), evaluator(std::move(f))
    {
        window.InstallFirstPlotColours();
        window.ShadeFillStyle = fillStyle;
        surface.setFloodFiller(linoveta::FloodFill);
        PlotControls controls;
        controls.hideGrid = true;
        controls.lineColours = {0x0000FF, 0x008000, 0xFF0000, 0x00FFFF, 0xFF00FF};
        surface.setScale(window.XMin, window.YMax, window.XMax - window.XMin, window.YMin - window.YMax);
        window.XStep = GraphWindow::SamplingStep(window.XMin, window.XMax, 400);
        plotter.formPaint(controls, ShadeBand{true, from, to, 0});
    }
    bool shaded(int x, int y) const
    {
        return (surface.pixelAt(x, y) & RGB_MASK) == kShade;
    }
    // Any device pixel of the logical pixel's block is shaded.
    bool touched(int x, int y) const
    {
        const QRect block = surface.deviceBlock(x, y);
        for (int dy = 0; dy < block.height(); ++dy)
            for (int dx = 0; dx < block.width(); ++dx)
                if ((surface.image().pixel(block.x() + dx, block.y() + dy) & RGB_MASK) == kShade)
                    return true;
        return false;
    }
    // A curve, axis or wall pixel lies within one pixel.
    bool nearWall(int x, int y) const
    {
        for (int ny = std::max(y - 1, 0); ny <= std::min(y + 1, 399); ++ny)
            for (int nx = std::max(x - 1, 0); nx <= std::min(x + 1, 399); ++nx) {
                const QRgb p = surface.pixelAt(nx, ny) & RGB_MASK;
                if (p != kShade && p != (kWhite & RGB_MASK))
                    return true;
            }
        return false;
    }
    static constexpr QRgb kShade = qRgb(224, 224, 224) & RGB_MASK;
    static constexpr QRgb kWhite = 0xFFFFFFFF;
};

TEST(DensePlot, TheShadingStaysInsideItsWallsAsAtRatioOne)
{
    struct Case {
        const char *what;
        Fn f;
        double from, to;
    };
    const std::array<Case, 3> cases{{
        {"y = x", [](double x) { return x; }, 0, 10},
        {"a steep curve", [](double x) { return x * x * x / 20; }, -7, 6},
        {"a jump with its near-white walls", [](double x) { return x < 2 ? 8.0 : -8.0; }, 0, 4},
    }};
    for (const Case &c : cases) {
        const ShadedPlot one(1, c.f, c.from, c.to, 0);
        const ShadedPlot two(2, c.f, c.from, c.to, 0);
        // Along a wall the finer picture splits pixels between wall and shade; anywhere else
        // the two shadings agree, and a leak through a wall would flood whole regions.
        int inOne = 0, outside = 0, missing = 0;
        for (int y = 0; y < 400; ++y)
            for (int x = 0; x < 400; ++x) {
                inOne += one.shaded(x, y);
                if (one.nearWall(x, y))
                    continue;
                outside += two.touched(x, y) && !one.shaded(x, y);
                missing += one.shaded(x, y) && !two.shaded(x, y);
            }
        ASSERT_GT(inOne, 500) << c.what;
        EXPECT_EQ(outside, 0) << c.what;
        EXPECT_EQ(missing, 0) << c.what;
    }
}

TEST(DensePlot, TheRubberBandRestoresThePictureByteForByte)
{
    GraphWindow window;
    ImageSurface surface(QSize(400, 400), 0xFFFFFF, 2);
    PlotView view(window, surface);
    view.formPaint = [&window] { window.CurveColor = "255"; };
    view.SetGraphScale();
    surface.setForeColor(0x0000FF);
    surface.line(-20, 0, 20, 0);
    surface.line(-20, -20, 20, 20);
    const QImage before = surface.image().copy();

    view.DragStart(-10.2f, -4.6f);
    view.DragMove(5.0f, 6.0f);
    const QImage banded = surface.image().copy();
    // The band's corner pixel is a whole block flipped, and its inside is untouched.
    const QPointF corner = surface.toDevice(5, 6);
    const QRect block = surface.deviceBlock(int(corner.x()), int(corner.y()));
    for (int dy = 0; dy < 2; ++dy)
        for (int dx = 0; dx < 2; ++dx)
            EXPECT_NE(banded.pixel(block.x() + dx, block.y() + dy),
                      before.pixel(block.x() + dx, block.y() + dy));
    EXPECT_EQ(banded.pixel(block.x() - 2, block.y() + 2), before.pixel(block.x() - 2, block.y() + 2));
    view.DragMove(12.7f, 9.0f);
    view.DragMove(-10.2f, -4.6f);
    EXPECT_EQ(surface.image(), before);
}

TEST(DensePlot, HatchesKeepTheirLogicalCellsAndDensity)
{
    struct Style {
        int style;
        bool blockExact; // horizontal and vertical lines are the ratio-1 pattern's blocks
        bool sameDensity; // the two diagonals cross on fewer device pixels than pixels
    };
    for (const Style s : {Style{0, true, true}, Style{1, true, true}, Style{2, true, true},
                          Style{3, true, true}, Style{6, true, true}, Style{4, false, true},
                          Style{5, false, true}, Style{7, false, false}}) {
        int coveredOne = 0, coveredTwo = 0, blockMismatch = 0, stray = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const bool one = linoveta::FillPatternCovers(s.style, x, y);
                coveredOne += one;
                for (int dy = 0; dy < 2; ++dy)
                    for (int dx = 0; dx < 2; ++dx) {
                        const bool two = linoveta::FillPatternCovers(s.style, 2 * x + dx, 2 * y + dy, 2);
                        coveredTwo += two;
                        blockMismatch += two != one;
                        // A device pixel of a hatch line lies next to a pixel of that line.
                        bool near = false;
                        for (int ny = y - 1; ny <= y + 1; ++ny)
                            for (int nx = x - 1; nx <= x + 1; ++nx)
                                near = near || linoveta::FillPatternCovers(s.style, nx & 15, ny & 15);
                        stray += two && !near;
                    }
            }
        if (s.sameDensity) {
            EXPECT_EQ(coveredTwo, 4 * coveredOne) << s.style;
        }
        EXPECT_EQ(stray, 0) << s.style;
        if (s.blockExact) {
            EXPECT_EQ(blockMismatch, 0) << s.style;
        }
    }
}

} // namespace
