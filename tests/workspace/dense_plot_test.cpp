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
#include <string>
#include <vector>

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
        : ShadedPlot(ratio, std::move(f), from, to, fillStyle, nullptr)
    {
    }
    // On a window of its own: xMin, xMax, yMin, yMax.
    ShadedPlot(int ratio, Fn f, double from, double to, int fillStyle, const double* on)
        : surface(QSize(400, 400), 0xFFFFFF, ratio), evaluator(std::move(f))
    {
        window.InstallFirstPlotColours();
        if (on) {
            // A colour no antialiased label pixel can take.
            window.ShadeColor = "4243584"; // &H40C080
            shadeRgb = qRgb(128, 192, 64) & RGB_MASK;
            window.XMin = on[0];
            window.XMax = on[1];
            window.YMin = on[2];
            window.YMax = on[3];
        }
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
        return (surface.pixelAt(x, y) & RGB_MASK) == shadeRgb;
    }
    // Any device pixel of the logical pixel's block is shaded.
    bool touched(int x, int y) const
    {
        const QRect block = surface.deviceBlock(x, y);
        for (int dy = 0; dy < block.height(); ++dy)
            for (int dx = 0; dx < block.width(); ++dx)
                if ((surface.image().pixel(block.x() + dx, block.y() + dy) & RGB_MASK) == shadeRgb)
                    return true;
        return false;
    }
    // A curve, axis or wall pixel lies within one pixel.
    bool nearWall(int x, int y) const
    {
        for (int ny = std::max(y - 1, 0); ny <= std::min(y + 1, 399); ++ny)
            for (int nx = std::max(x - 1, 0); nx <= std::min(x + 1, 399); ++nx) {
                const QRgb p = surface.pixelAt(nx, ny) & RGB_MASK;
                if (p != shadeRgb && p != (kWhite & RGB_MASK))
                    return true;
            }
        return false;
    }
    QRgb shadeRgb = qRgb(224, 224, 224) & RGB_MASK;
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

// Shaded pixels outside the region between the curve and the x axis, as "(column,row)": a
// logical pixel may be shaded where, for some x of its column or the columns beside it, its
// centre lies between the axis and the curve with a pixel to spare at either end.
std::vector<std::string> ShadeOutsideTheRegion(const ShadedPlot& p, const Fn& f, double from, double to)
{
    const GraphWindow& w = p.window;
    auto column = [&](double x) { return (x - w.XMin) / (w.XMax - w.XMin) * 400; };
    auto row = [&](double y) { return (w.YMax - y) / (w.YMax - w.YMin) * 400; };
    const double axis = row(0);
    const double firstColumn = column(std::max(from, w.XMin)) - 1;
    const double lastColumn = column(std::min(to, w.XMax)) + 1;
    std::vector<std::string> outside;
    for (int c = 0; c < 400; ++c) {
        // The rows the curve reaches over columns c - 1 .. c + 2; a value that is not a
        // number there (a pole) may reach any row.
        double top = axis, bottom = axis;
        constexpr int kPerColumn = 64;
        for (int i = 0; i <= 3 * kPerColumn; ++i) {
            const double x = w.XMin + (c - 1 + i / double(kPerColumn)) * (w.XMax - w.XMin) / 400;
            const auto y = f(x);
            const double r = y && std::isfinite(*y) ? row(*y) : (y ? (*y > 0 ? -HUGE_VAL : HUGE_VAL) : axis);
            top = std::min(top, r);
            bottom = std::max(bottom, r);
        }
        for (int r = 0; r < 400; ++r) {
            if (!p.touched(c, r))
                continue;
            const bool inBand = c + 1 >= firstColumn && c <= lastColumn;
            if (!inBand || r + 0.5 < top - 1.5 || r + 0.5 > bottom + 1.5)
                outside.push_back("(" + std::to_string(c) + "," + std::to_string(r) + ")");
        }
    }
    return outside;
}

TEST(DensePlot, EveryShadedPixelLiesBetweenTheCurveAndTheAxis)
{
    struct Case {
        const char* what;
        Fn f;
        double from, to;
        std::array<double, 4> window; // xMin, xMax, yMin, yMax
    };
    const std::array<double, 4> start{-20, 20, -20, 20};
    const std::array<Case, 8> cases{{
        {"20sin(x), steep crossings", [](double x) { return 20 * std::sin(x); }, -15, 15, start},
        {"x^3/20", [](double x) { return x * x * x / 20; }, -7, 6, start},
        {"y = x", [](double x) { return x; }, -10, 10, start},
        {"50sin(x) beyond the edges", [](double x) { return 50 * std::sin(x); }, -18, 18, start},
        {"a jump with its near-white walls", [](double x) { return x < 2 ? 8.0 : -8.0; }, 0, 4, start},
        {"5sin(3x) on a panned window", [](double x) { return 5 * std::sin(3 * x); }, -3, 9,
         {-4.3, 10.7, -7.3, 6.1}},
        {"20sin(x) on a window whose axes fall between pixels",
         [](double x) { return 20 * std::sin(x); }, -15, 15, {-20.05, 19.95, -19.95, 20.05}},
        {"x^2-9 zoomed in", [](double x) { return x * x - 9; }, -5, 5, {-5, 5, -12, 12}},
    }};
    for (const Case& c : cases) {
        for (const int ratio : {1, 2}) {
            for (const int style : {0, 2, 6}) {
                const ShadedPlot p(ratio, c.f, c.from, c.to, style, c.window.data());
                const auto outside = ShadeOutsideTheRegion(p, c.f, c.from, c.to);
                std::string first;
                for (std::size_t i = 0; i < std::min<std::size_t>(outside.size(), 6); ++i)
                    first += outside[i] + " ";
                EXPECT_TRUE(outside.empty()) << c.what << " at ratio " << ratio << ", style " << style
                                             << ": " << outside.size() << " pixels outside, first "
                                             << first;
            }
        }
    }
}

// One formula plotted on the start window, unshaded, at the surface's pixel ratio.
QImage CurvePicture(const Fn& f, int lineWidth, ImageSurface& surface)
{
    GraphWindow window;
    window.InstallFirstPlotColours();
    FunctionEvaluator evaluator(f);
    std::array<double, linoveta::kBreakEntries> breakX{};
    std::array<bool, linoveta::kBreakEntries> breakFlag{};
    int breakCount = 0;
    Plotter plotter{window, surface, evaluator, {breakX, breakFlag, breakCount}};
    PlotControls controls;
    controls.hideGrid = true;
    controls.lineWidth = lineWidth;
    controls.lineColours = {0x0000FF, 0x008000, 0xFF0000, 0x00FFFF, 0xFF00FF};
    surface.setScale(window.XMin, window.YMax, window.XMax - window.XMin, window.YMin - window.YMax);
    window.XStep = GraphWindow::SamplingStep(window.XMin, window.XMax, 400);
    plotter.formPaint(controls, ShadeBand{});
    return surface.image();
}

TEST(DensePlot, EveryPixelTheCurveInksAtRatioOneIsInkedAtRatioTwo)
{
    struct Case {
        const char* what;
        Fn f;
        bool widePen = true; // also checked with a pen 3 pixels wide
    };
    const std::array<Case, 6> cases{{
        {"-19.99, the bottom row", [](double) { return -19.99; }},
        {"19.99, the top row", [](double) { return 19.99; }},
        {"-19.5", [](double) { return -19.5; }},
        {"x, ending in the last column", [](double x) { return x; }},
        {"0.37x+2.93", [](double x) { return 0.37 * x + 2.93; }},
        {"20sin(x)", [](double x) { return 20 * std::sin(x); }, false},
    }};
    constexpr QRgb kCurve = qRgb(255, 0, 0) & RGB_MASK;
    for (const Case& c : cases) {
        for (const int width : {1, 2, 3}) {
            if (width == 3 && !c.widePen)
                continue;
            ImageSurface one(QSize(400, 400), 0xFFFFFF, 1), two(QSize(400, 400), 0xFFFFFF, 2);
            const QImage a = CurvePicture(c.f, width, one);
            const QImage b = CurvePicture(c.f, width, two);
            int inked = 0, lost = 0;
            std::string first;
            for (int y = 0; y < 400; ++y)
                for (int x = 0; x < 400; ++x) {
                    if ((a.pixel(x, y) & RGB_MASK) != kCurve)
                        continue;
                    ++inked;
                    // The square caps of a wide pen reach a corner pixel at ratio 1 that the
                    // finer picture rounds its own way: for it only the edges are checked, on
                    // lines that meet them square or at a shallow slope.
                    const bool edge = x == 0 || y == 0 || x == 399 || y == 399;
                    if (width == 3 && !edge)
                        continue;
                    bool found = false;
                    for (int d = 0; d < 4; ++d)
                        found = found || (b.pixel(2 * x + d % 2, 2 * y + d / 2) & RGB_MASK) == kCurve;
                    if (!found && ++lost <= 6)
                        first += "(" + std::to_string(x) + "," + std::to_string(y) + ") ";
                }
            ASSERT_GT(inked, 300) << c.what;
            EXPECT_EQ(lost, 0) << c.what << ", width " << width << ": first " << first;
        }
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
