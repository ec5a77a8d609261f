#include "workspace/plotter.h"
#include "support/scoped_locale.h"

#include "engine/number_text.h"
#include "typeset/image_surface.h"
#include "typeset/recording_surface.h"
#include "workspace/flood_fill.h"

#include <array>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

namespace {

using linoveta::CoordinateEntry;
using linoveta::GraphWindow;
using linoveta::PlotControls;
using linoveta::PlotEvaluator;
using linoveta::Plotter;
using linoveta::ShadeBand;

using Fn = std::function<std::optional<double>(double)>;

// Formulas as plain functions of x; a missing value is the evaluator's "NA".
class FakeEvaluator : public PlotEvaluator
{
public:
    std::array<Fn, 5> lines;
    int preCalcs = 0;

    void PreCalcFX() override { ++preCalcs; }
    bool HasExpression(int line) const override { return line >= 0 && line < 5 && lines[line]; }
    std::optional<double> ValueAt(double x, int line) override
    {
        if (line < 0 || line >= 5)
            return std::nullopt;
        if (!lines[line])
            return 0.0;
        return lines[line](x);
    }
};

const Fn kIdentity = [](double x) { return x; };
const Fn kReciprocal = [](double x) -> std::optional<double> {
    if (x == 0)
        return std::nullopt;
    return 1 / x;
};

constexpr RgbValue kLine0 = 0x0000FF; // red
constexpr RgbValue kLine1 = 0x008000;
constexpr RgbValue kGrid = 16766596;

// A surface of 400 x 400 logical pixels; a picture may be kept at a denser ratio.
template <typename S> S MakeSurface(int ratio)
{
    if constexpr (std::is_same_v<S, ImageSurface>)
        return S(QSize(400, 400), 0xFFFFFF, ratio);
    else
        return S(QSize(400, 400));
}

template <typename S> struct PlotFixture {
    GraphWindow window;
    S surface;
    FakeEvaluator evaluator;
    std::array<double, linoveta::kBreakEntries> breakX{};
    std::array<bool, linoveta::kBreakEntries> breakFlag{};
    int breakCount = 0;
    Plotter plotter{window, surface, evaluator, {breakX, breakFlag, breakCount}};
    PlotControls controls;

    explicit PlotFixture(int ratio = 1) : surface(MakeSurface<S>(ratio))
    {
        window.InstallFirstPlotColours();
        controls.lineColours = {kLine0, kLine1, 0xFF0000, 0x00FFFF, 0xFF00FF};
    }
    void setWindow(double xMin, double xMax, double yMin, double yMax)
    {
        window.XMin = xMin; window.XMax = xMax; window.YMin = yMin; window.YMax = yMax;
    }
    void plot(const ShadeBand& shade = {})
    {
        const GraphWindow& w = window;
        surface.setScale(w.XMin, w.YMax, w.XMax - w.XMin, w.YMin - w.YMax);
        window.XStep = GraphWindow::SamplingStep(w.XMin, w.XMax, 400);
        plotter.formPaint(controls, shade);
    }
};

struct Recording : PlotFixture<RecordingSurface> {
    std::vector<RecordedCall> linesIn(RgbValue colour) const
    {
        std::vector<RecordedCall> out;
        for (const auto& c : surface.calls())
            if (c.kind == RecordedCall::Line && c.colour == colour)
                out.push_back(c);
        return out;
    }
};

std::vector<std::string> Texts(const std::vector<CoordinateEntry>& entries)
{
    std::vector<std::string> out;
    for (const auto& e : entries)
        out.push_back(e.text);
    return out;
}

TEST(PlotterCurves, SampleCountAndCoordinateListOnTheStartWindow)
{
    struct Case {
        const char* what;
        Fn f;
        int samples;
        std::size_t entries;
        const char* first;
        const char* last;
    };
    // x runs from -20.05 by repeated addition of 0.05; the drift leaves 20.05 itself out, so
    // 802 samples. For 1/x the pole's sample is dropped, and so are the neighbours whose
    // jump search meets x = 0 (the error rule drops the sample after a failed probe).
    const std::array<Case, 3> cases{{
        {"y = x", kIdentity, 802, 41, "x=-20  y=-20", "x=20  y=20"},
        {"y = 2x+1", [](double x) { return 2 * x + 1; }, 802, 20, "x=-10  y=-19", "x=9  y=19"},
        {"y = 1/x drops x = 0", kReciprocal, 799, 40,
         linoveta::test::InCurrentLocale("x=-20  y=-0.05", "x=-20  y=-0,05"),
         linoveta::test::InCurrentLocale("x=20  y=0.05", "x=20  y=0,05")},
    }};
    for (const auto& c : cases) {
        Recording p;
        p.evaluator.lines[0] = c.f;
        p.plot();
        EXPECT_EQ(p.plotter.sampleCounts()[0], c.samples) << c.what;
        const auto texts = Texts(p.plotter.coordinates());
        ASSERT_EQ(texts.size(), c.entries) << c.what;
        EXPECT_EQ(texts.front(), c.first) << c.what;
        EXPECT_EQ(texts.back(), c.last) << c.what;
        for (const auto& e : p.plotter.coordinates())
            EXPECT_EQ(e.colour, kLine0);
        EXPECT_TRUE(p.window.GraphVisible) << c.what;
        EXPECT_EQ(p.evaluator.preCalcs, 1);
    }
}

TEST(PlotterCurves, ReciprocalBreaksAtZeroAndNoSegmentCrossesIt)
{
    Recording p;
    p.evaluator.lines[0] = kReciprocal;
    p.plot();
    ASSERT_FALSE(p.plotter.lastBreaks().empty());
    EXPECT_EQ(p.plotter.lastBreaks().front(), 0.0);
    EXPECT_EQ(p.breakCount, 0) << "the breaks are emptied after the plot";
    for (const auto& s : p.linesIn(kLine0))
        EXPECT_FALSE(std::min(s.x, s.x2) < 0 && std::max(s.x, s.x2) > 0) << s.x << " to " << s.x2;
    const auto texts = Texts(p.plotter.coordinates());
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "x=0  y=0"), 0);
}

TEST(PlotterCurves, SteepLineOnAWideWindowBreaksInsteadOfJoining)
{
    Recording p;
    p.setWindow(-640, 640, -640, 640); // five zoom-outs: step 1.6
    p.evaluator.lines[0] = [](double x) { return 10 * x + 8; };
    p.plot();
    EXPECT_DOUBLE_EQ(p.window.XStep, 1.6);
    const auto& breaks = p.plotter.lastBreaks();
    EXPECT_NE(std::find(breaks.begin(), breaks.end(), 0.0), breaks.end());
    const auto segments = p.linesIn(kLine0);
    EXPECT_FALSE(segments.empty());
    for (const auto& s : segments)
        EXPECT_FALSE(s.x == -1.6 && s.x2 == 0) << "x = -1.6 and x = 0 must not be joined";
}

TEST(PlotterCurves, FirstSampleOfALineNeverJoinsThePreviousLine)
{
    Recording p;
    p.controls.lastFunction = 1;
    p.evaluator.lines[0] = kIdentity;
    p.evaluator.lines[1] = [](double x) { return -x; };
    p.plot();
    for (RgbValue colour : {kLine0, kLine1}) {
        const auto segments = p.linesIn(colour);
        EXPECT_GT(segments.size(), 700u);
        for (const auto& s : segments)
            EXPECT_LT(s.x, s.x2) << "a curve segment runs left to right, never back across";
    }
}

TEST(PlotterCurves, NothingInsideTheWindowDrawsNothingAndLeavesGraphVisible)
{
    for (bool before : {false, true}) {
        Recording p;
        p.window.GraphVisible = before;
        p.evaluator.lines[0] = [](double) { return 30.0; };
        p.plot();
        EXPECT_TRUE(p.linesIn(kLine0).empty());
        EXPECT_EQ(p.window.GraphVisible, before);
        EXPECT_TRUE(p.plotter.coordinates().empty());
    }
}

TEST(PlotterCurves, BreaksBeyondTheTableAreDroppedWithoutLosingSamples)
{
    Recording p;
    // Flips between +10 and -10 at every sample: each segment is a break.
    p.evaluator.lines[0] = [](double x) { return std::fmod(std::floor(x / 0.05 + 0.5), 2.0) == 0 ? 10.0 : -10.0; };
    p.setWindow(-40, 40, -20, 20); // step 0.1: 1602 samples, a break at nearly every one
    p.window.XStep = 0.05;
    const GraphWindow& w = p.window;
    p.surface.setScale(w.XMin, w.YMax, w.XMax - w.XMin, w.YMin - w.YMax);
    p.plotter.formPaint(p.controls, {});
    EXPECT_EQ(p.plotter.lastBreaks().size(), std::size_t(linoveta::kBreakEntries));
    EXPECT_EQ(p.plotter.sampleCounts()[0], 1603);
    EXPECT_EQ(p.breakCount, 0);
}

TEST(PlotterCurves, ValuesBeyondSinglePrecisionAreFailedStepsNotStrayLines)
{
    Recording p;
    // 1e300 is beyond single precision: a failed step. 1e30 is a steep line, clipped in doubles.
    p.evaluator.lines[0] = [](double x) { return x > 3 && x < 3.2 ? 1e300 : x > 5 && x < 5.2 ? 1e30 : x; };
    p.plot();
    for (const auto& s : p.linesIn(kLine0)) {
        EXPECT_LE(std::fabs(s.y), 60.0);
        EXPECT_LE(std::fabs(s.y2), 60.0);
    }
    EXPECT_GT(p.linesIn(kLine0).size(), 700u);
}

TEST(PlotterBackground, GridOnlyBelowSixHundredFortyUnits)
{
    struct Case {
        double xMin, xMax, yMin, yMax;
        bool hide;
        std::size_t gridLines;
    };
    constexpr std::array<Case, 6> cases{{
        {-20, 20, -20, 20, false, 82},
        {-20, 20, -20, 20, true, 0},
        {-2.5, 2.5, -2.5, 2.5, false, 10},  // whole numbers nearest +-2.5 are +-2
        {-319.5, 319.5, -1, 1, false, 641 + 3}, // -319.5 and 319.5 round to -320 and 320
        {-320, 320, -1, 1, false, 0},       // a span of 640 leaves the grid out
        {-1, 1, -320, 320, false, 0},
    }};
    for (const auto& c : cases) {
        Recording p;
        p.setWindow(c.xMin, c.xMax, c.yMin, c.yMax);
        p.controls.hideGrid = c.hide;
        p.plot();
        const auto grid = p.linesIn(kGrid);
        EXPECT_EQ(grid.size(), c.gridLines) << c.xMin << ".." << c.xMax;
        if (c.xMax == 2.5) {
            std::vector<double> verticals;
            for (const auto& g : grid)
                if (g.x == g.x2)
                    verticals.push_back(g.x);
            EXPECT_EQ(verticals, (std::vector<double>{-2, -1, 0, 1, 2}));
        }
        // The axes are always there, black and two pixels wide.
        EXPECT_EQ(p.linesIn(0).size(), 2u);
    }
}

TEST(PlotterBackground, EdgeAndQuadrantLabels)
{
    Recording p;
    p.setWindow(0, 40, -10, 10);
    p.controls.quadrantLabels = true;
    p.plot();
    std::vector<std::pair<QString, QPointF>> texts;
    for (const auto& c : p.surface.calls())
        if (c.kind == RecordedCall::Text)
            texts.push_back({c.text, QPointF(c.x, c.y)});
    ASSERT_EQ(texts.size(), 9u);
    EXPECT_EQ(texts[0].first, "0");  // XMin
    EXPECT_EQ(texts[1].first, "0");
    EXPECT_EQ(texts[2].first, "10");
    EXPECT_EQ(texts[3].first, "-10");
    EXPECT_GT(texts[3].second.y(), -10.0) << "YMin's label ends at the bottom edge";
    EXPECT_EQ(texts[4].first, "40");
    EXPECT_LT(texts[4].second.x(), 40.0);
    const std::array<std::pair<const char*, QPointF>, 4> quadrants{{
        {"I", {20, 5}}, {"II", {0, 5}}, {"III", {0, -5}}, {"IV", {20, -5}}}};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(texts[5 + i].first, quadrants[i].first);
        EXPECT_EQ(texts[5 + i].second, quadrants[i].second);
    }
    EXPECT_EQ(p.surface.fontName(), "MS Sans Serif");
    EXPECT_EQ(p.surface.fontSize(), 8.25);
}

TEST(PlotterBackground, NoFormulaOrPointSeriesDrawsOnlyTheBackground)
{
    for (bool pointSeries : {false, true}) {
        Recording p;
        p.controls.pointSeriesMode = pointSeries;
        if (pointSeries)
            p.evaluator.lines[0] = kIdentity;
        p.plot();
        EXPECT_TRUE(p.linesIn(kLine0).empty());
        EXPECT_EQ(p.linesIn(kGrid).size(), 82u);
        EXPECT_TRUE(p.plotter.coordinates().empty());
        EXPECT_EQ(p.window.CurveColor, "255");
    }
}

// Shading on real pixels: y = x over 0..10 on the start window.
struct Shaded : PlotFixture<ImageSurface> {
    Shaded()
    {
        surface.setFloodFiller(linoveta::FloodFill);
        controls.hideGrid = true;
        evaluator.lines[0] = kIdentity;
    }
    QRgb at(double x, double y) const
    {
        const QPointF d = surface.toDevice(x, y);
        return surface.image().pixel(int(std::floor(d.x())), int(std::floor(d.y()))) & RGB_MASK;
    }
};

TEST(PlotterShading, FillsTheBandBetweenCurveAndAxisOnly)
{
    Shaded p;
    p.plot({true, 0, 10, 0});
    const QRgb shade = qRgb(224, 224, 224) & RGB_MASK;
    const QRgb white = 0xFFFFFF;
    struct Probe {
        double x, y;
        bool shaded;
    };
    constexpr std::array<Probe, 8> probes{{
        {5, 2, true}, {9.5, 9, true}, {1, 0.5, true},
        {5, 8, false},    // above the curve
        {12, 2, false},   // right of the band
        {-5, -2, false},  // the other side of the origin
        {5, -2, false},   // below the axis
        {5.5, 19.9, false},
    }};
    for (const auto& pr : probes)
        EXPECT_EQ(p.at(pr.x, pr.y), pr.shaded ? shade : white) << pr.x << "," << pr.y;
}

TEST(PlotterShading, ABreakGetsNearWhiteWallsSoTheFillDoesNotLeakAcrossIt)
{
    Shaded p;
    p.evaluator.lines[0] = [](double x) { return x < 2 ? 8.0 : -8.0; }; // a jump, no joining segment
    p.plot({true, 0, 4, 0});
    const QRgb shade = qRgb(224, 224, 224) & RGB_MASK;
    EXPECT_EQ(p.at(1, 4), shade);
    EXPECT_EQ(p.at(3, -4), shade);
    EXPECT_EQ(p.at(3, 4), 0xFFFFFFu) << "the fill left of the break must not spill over it";
    EXPECT_EQ(p.at(1, -4), 0xFFFFFFu);
    EXPECT_EQ(p.at(2, 12), qRgb(254, 255, 255) & RGB_MASK) << "the wall at the break";
}

TEST(PlotterShading, TransparentStyleAndABandOutsideTheWindowShadeNothing)
{
    struct Case {
        int style;
        double from, to;
    };
    constexpr std::array<Case, 2> cases{{{1, 0, 10}, {0, 30, 40}}};
    for (const auto& c : cases) {
        Shaded p;
        p.window.ShadeFillStyle = c.style;
        p.plot({true, c.from, c.to, 0});
        EXPECT_EQ(p.at(5, 2), 0xFFFFFFu);
        EXPECT_EQ(p.at(15, 2), 0xFFFFFFu);
    }
}

} // namespace

namespace {

// The program's own evaluator behind the plotter, on the formulas users type.
TEST(PlotterWithEvaluator, ReciprocalAndParabolaThroughThePreparedExpressions)
{
    struct Case {
        const char* scriptForm;
        std::size_t entries;
        bool breakAtZero;
        const char* firstEntry;
    };
    const std::array<Case, 3> cases{{
        {"1/x", 40, true, linoveta::test::InCurrentLocale("x=-20  y=-0.05", "x=-20  y=-0,05")},
        {"x^2", 9, false, "x=-4  y=16"},
        {"2x+1", 20, false, "x=-10  y=-19"},
    }};
    for (const auto& c : cases) {
        GraphWindow window;
        window.InstallFirstPlotColours();
        RecordingSurface surface(QSizeF(400, 400));
        surface.setScale(-20, 20, 40, -40);
        window.XStep = 0.05;
        linoveta::frmCalcFX calc;
        std::array<std::string, linoveta::kEvalLines> forms{c.scriptForm, "", "", "", ""};
        linoveta::CalcFxEvaluator evaluator(calc, [&] { calc.PreCalcFX(forms); });
        std::array<double, linoveta::kBreakEntries> breakX{};
        std::array<bool, linoveta::kBreakEntries> breakFlag{};
        int breakCount = 0;
        Plotter plotter(window, surface, evaluator, {breakX, breakFlag, breakCount});
        PlotControls controls;
        controls.lineColours = {kLine0, 0, 0, 0, 0};
        plotter.formPaint(controls, {});
        const auto texts = Texts(plotter.coordinates());
        ASSERT_EQ(texts.size(), c.entries) << c.scriptForm;
        EXPECT_EQ(texts.front(), c.firstEntry) << c.scriptForm;
        const auto& breaks = plotter.lastBreaks();
        EXPECT_EQ(std::find(breaks.begin(), breaks.end(), 0.0) != breaks.end(), c.breakAtZero) << c.scriptForm;
        EXPECT_TRUE(window.GraphVisible) << c.scriptForm;
    }
}

} // namespace

namespace {

// The picture against the truth, on real pixels: every pixel of the curve's colour must lie
// within 2 pixels of the curve itself, taken through all x of its column and the columns
// beside it. A pole inside those columns lets the curve, and so a jump line, span them.
// Whether the function has a pole in [a, b].
using PoleTest = std::function<bool(double, double)>;

struct Picture : PlotFixture<ImageSurface> {
    explicit Picture(int ratio = 1) : PlotFixture(ratio) { controls.hideGrid = true; }

    static constexpr QRgb kCurve = 0xFF0000; // kLine0 on the picture

    // Whether the curve's colour is on any device pixel of the logical pixel.
    bool inked(int c, int r) const
    {
        if (c < 0 || r < 0 || c >= 400 || r >= 400)
            return false;
        const QRect block = surface.deviceBlock(c, r);
        for (int dy = 0; dy < block.height(); ++dy)
            for (int dx = 0; dx < block.width(); ++dx)
                if ((surface.image().pixel(block.x() + dx, block.y() + dy) & RGB_MASK) == kCurve)
                    return true;
        return false;
    }

    // Rows the curve covers over device columns [from, to), as (top, bottom); none when it has
    // no value there.
    std::optional<std::pair<double, double>> curveRows(const Fn& f, double from, double to) const
    {
        const GraphWindow& w = window;
        constexpr int kPerColumn = 64;
        double top = HUGE_VAL, bottom = -HUGE_VAL;
        const int n = static_cast<int>((to - from) * kPerColumn);
        for (int i = 0; i <= n; ++i) {
            const double x = w.XMin + (from + (to - from) * i / n) * (w.XMax - w.XMin) / 400;
            const auto y = f(x);
            if (!y || std::isnan(*y))
                continue;
            const double row = (w.YMax - *y) / (w.YMax - w.YMin) * 400;
            top = std::min(top, row);
            bottom = std::max(bottom, row);
        }
        if (top > bottom)
            return std::nullopt;
        return std::make_pair(top, bottom);
    }

    // Pixels of the curve's colour farther than 2 pixels from the curve, as "(column,row)".
    // Columns within 2 pixels of a pole may hold its jump lines anywhere.
    std::vector<std::string> strayPixels(const Fn& f, const PoleTest& poleBetween) const
    {
        const GraphWindow& w = window;
        auto userX = [&](double column) { return w.XMin + column * (w.XMax - w.XMin) / 400; };
        std::vector<std::string> stray;
        for (int c = 0; c < 400; ++c) {
            if (poleBetween && poleBetween(userX(c - 2), userX(c + 3)))
                continue;
            std::optional<std::pair<double, double>> rows;
            for (int r = 0; r < 400; ++r) {
                if (!inked(c, r))
                    continue;
                // A denser picture draws a line at a whole pixel's edge across both pixels.
                const int wider = surface.devicePixelRatio() > 1 ? 1 : 0;
                if (!rows)
                    rows = curveRows(f, c - 1 - wider, c + 2 + wider)
                               .value_or(std::make_pair(HUGE_VAL, -HUGE_VAL));
                if (r + 1 < rows->first - 2 || r > rows->second + 2)
                    stray.push_back("(" + std::to_string(c) + "," + std::to_string(r) + ")");
            }
        }
        return stray;
    }

    // Points of the true graph inside the window with no pixel of the curve within 2 pixels,
    // as "(column,row)": the graph is sampled 16 times a column, and a point counts wherever
    // its value lies inside the window, however near a pole.
    std::vector<std::string> missingPieces(const Fn& f) const
    {
        const GraphWindow& w = window;
        std::vector<std::string> missing;
        for (int c = 0; c < 400; ++c) {
            int lastRow = -10;
            for (int i = 0; i < 16; ++i) {
                const double x = w.XMin + (c + (i + 0.5) / 16) * (w.XMax - w.XMin) / 400;
                const auto y = f(x);
                if (!y || !std::isfinite(*y))
                    continue;
                const double rowAt = (w.YMax - *y) / (w.YMax - w.YMin) * 400;
                if (!(rowAt >= 0 && rowAt < 400))
                    continue;
                const int r = static_cast<int>(rowAt);
                if (r == lastRow)
                    continue;
                lastRow = r;
                bool near = false;
                for (int dr = -2; dr <= 2 && !near; ++dr)
                    for (int dc = -2; dc <= 2 && !near; ++dc)
                        near = inked(c + dc, r + dr);
                if (!near)
                    missing.push_back("(" + std::to_string(c) + "," + std::to_string(r) + ")");
            }
        }
        return missing;
    }

    int curvePixels() const
    {
        int n = 0;
        for (int r = 0; r < 400; ++r)
            for (int c = 0; c < 400; ++c)
                n += inked(c, r);
        return n;
    }
};

struct Window {
    double xMin, xMax, yMin, yMax;
};

const std::array<Window, 5> kWindows{{
    {-20, 20, -20, 20},     // the start window
    {-2.5, 2.5, -2.5, 2.5}, // three zoom-ins
    {-640, 640, -640, 640}, // five zoom-outs
    {-5, 35, -12, 28},      // panned
    {-163840, 163840, -163840, 163840}, // the widest auto-fit window
}};

struct Curve {
    const char* what;
    Fn f;
    PoleTest poleBetween = {};
};

const PoleTest kPoleAtZero = [](double a, double b) { return a <= 0 && 0 <= b; };
// tan has its poles at pi/2 + k pi.
const PoleTest kTanPoles = [](double a, double b) {
    const double k = std::ceil((a - M_PI / 2) / M_PI);
    return M_PI / 2 + k * M_PI <= b;
};

double Cube(double x) { return x * x * x; }

// The evaluator decides the jump test on unrounded results where it can: every decision must
// be the one the rounded values give. The formulas put probe differences at exactly 1 (100x:
// the unrounded difference is 1 plus a rounding error), at huge values and next to the largest
// double (whose rounding fails), and make probes fail.
TEST(PlotterWithEvaluator, JumpTestOnUnroundedResultsDecidesAsTheRoundedValues)
{
    linoveta::frmCalcFX calc;
    const std::array<std::string, linoveta::kEvalLines> forms{
        "100x", "-100x+3", "x*1E+15+1E+16", "1.7976931348623157E+308/(1+(x-1)^(2)*1E+300)", "1/((x)^(.5))"};
    calc.PreCalcFX(forms);
    linoveta::CalcFxEvaluator evaluator(calc, {});
    std::vector<double> at, bound;
    for (double x = -3; x <= 3; x += 0.005) {
        const double xr = std::nearbyint(x * 1000) / 1000;
        for (double p : {xr, xr - 0.01, xr - 0.02, xr + 0.01, xr + 0.02})
            at.push_back(p);
    }
    for (double p : at)
        bound.push_back(linoveta::NumberTextValue(p));
    const std::size_t samples = at.size() / 5;
    int nearOne = 0;
    for (int line = 0; line < linoveta::kEvalLines; ++line) {
        std::vector<std::optional<double>> values(samples), exactValues(samples);
        std::vector<linoveta::ProbeOutcome> probes(samples), exactProbes(samples);
        evaluator.SamplesAtBound(at.data(), bound.data(), samples, line, values.data(), probes.data());
        evaluator.PlotEvaluator::SamplesAtBound(at.data(), bound.data(), samples, line,
                                                exactValues.data(), exactProbes.data());
        for (std::size_t k = 0; k < samples; ++k) {
            SCOPED_TRACE(forms[static_cast<std::size_t>(line)] + " at " + std::to_string(at[5 * k]));
            ASSERT_EQ(values[k], exactValues[k]);
            ASSERT_EQ(values[k], calc.CalculateYValue(at[5 * k], line));
            ASSERT_EQ(probes[k].failed, exactProbes[k].failed);
            ASSERT_EQ(probes[k].jump, exactProbes[k].jump);
            const auto a1 = calc.CalculateYValue(at[5 * k + 1], line);
            const auto a2 = calc.CalculateYValue(at[5 * k + 2], line);
            if (a1 && a2 && std::fabs(std::fabs(*a1) - std::fabs(*a2)) == 1)
                ++nearOne;
        }
    }
    EXPECT_GT(nearOne, 100); // the case that matters is reached
}

TEST(PlotterPicture, EveryCurvePixelLiesOnTheTrueGraph)
{
    const std::array<Curve, 12> curves{{
        {"x", kIdentity},
        {"x^3", [](double x) { return Cube(x); }},
        {"-x^3", [](double x) { return -Cube(x); }},
        {"x^5-3x^3+x", [](double x) { return x * x * Cube(x) - 3 * Cube(x) + x; }},
        {"10000x^3-1000000", [](double x) { return 10000 * Cube(x) - 1000000; }},
        {"12345.678x^3-98765.4321x^2+55555x-1234567",
         [](double x) { return 12345.678 * Cube(x) - 98765.4321 * x * x + 55555 * x - 1234567; }},
        {"x^2", [](double x) { return x * x; }},
        {"100x^2-10000", [](double x) { return 100 * x * x - 10000; }},
        {"1000sin(x)", [](double x) { return 1000 * std::sin(x); }},
        {"30sin(5x)", [](double x) { return 30 * std::sin(5 * x); }},
        {"1/x", kReciprocal, kPoleAtZero},
        {"tan(x)", [](double x) { return std::tan(x); }, kTanPoles},
    }};
    for (const Window& win : kWindows) {
        for (const Curve& curve : curves) {
            Picture p;
            p.setWindow(win.xMin, win.xMax, win.yMin, win.yMax);
            p.evaluator.lines[0] = curve.f;
            p.plot();
            const auto stray = p.strayPixels(curve.f, curve.poleBetween);
            std::string first;
            for (std::size_t i = 0; i < std::min<std::size_t>(stray.size(), 8); ++i)
                first += stray[i] + " ";
            EXPECT_TRUE(stray.empty()) << curve.what << " on x " << win.xMin << ".." << win.xMax
                                       << ", y " << win.yMin << ".." << win.yMax << ": "
                                       << stray.size() << " stray pixels of " << p.curvePixels()
                                       << ", first " << first;
        }
    }
}

} // namespace

namespace {

// Where a steep curve runs beyond the window, the edge rows stay clear but for the few pixels
// where it crosses them; and no line runs up the y axis from a point that is not the curve's.
TEST(PlotterPicture, EdgeRowsAndTheYAxisHoldOnlyWhereTheCurveCrosses)
{
    struct Case {
        const char* what;
        Fn f;
        Window window;
        int lineWidth;
        int crossingsTop, crossingsBottom; // how often the curve crosses each edge
        bool flatAtTheAxis = true;         // false: the curve itself runs up the y axis
    };
    const Window start{-20, 20, -20, 20};
    const std::array<Case, 10> cases{{
        {"x^3", [](double x) { return Cube(x); }, start, 1, 1, 1},
        {"x^3 with a wide pen", [](double x) { return Cube(x); }, start, 3, 1, 1},
        {"-x^3", [](double x) { return -Cube(x); }, start, 1, 1, 1},
        {"x^5-3x^3+x", [](double x) { return x * x * Cube(x) - 3 * Cube(x) + x; }, start, 1, 1, 1},
        {"10000x^3-1000000", [](double x) { return 10000 * Cube(x) - 1000000; }, start, 1, 1, 1},
        {"10000x^3-1000000 with a wide pen", [](double x) { return 10000 * Cube(x) - 1000000; },
         start, 3, 1, 1},
        {"100x^2-10000", [](double x) { return 100 * x * x - 10000; }, start, 1, 2, 2},
        {"100x^2-10000 with a wide pen", [](double x) { return 100 * x * x - 10000; }, start, 3, 2, 2},
        {"x^2 on the widest window", [](double x) { return x * x; },
         {-163840, 163840, -163840, 163840}, 1, 2, 0, false},
        {"x^2 on the widest window with a wide pen", [](double x) { return x * x; },
         {-163840, 163840, -163840, 163840}, 3, 2, 0, false},
    }};
    for (const Case& c : cases) {
        Picture p;
        p.setWindow(c.window.xMin, c.window.xMax, c.window.yMin, c.window.yMax);
        p.controls.lineWidth = c.lineWidth;
        p.evaluator.lines[0] = c.f;
        p.plot();
        const QImage& image = p.surface.image();
        auto curveAt = [&](int col, int row) { return (image.pixel(col, row) & RGB_MASK) == Picture::kCurve; };
        int top = 0, bottom = 0;
        for (int col = 0; col < 400; ++col) {
            top += curveAt(col, 0);
            bottom += curveAt(col, 399);
        }
        // A crossing is a nearly vertical stroke: the pen's width and a pixel either side.
        const int perCrossing = c.lineWidth + 2;
        EXPECT_LE(top, c.crossingsTop * perCrossing) << c.what << ": top row";
        EXPECT_LE(bottom, c.crossingsBottom * perCrossing) << c.what << ": bottom row";
        EXPECT_GT(p.curvePixels(), 0) << c.what;

        // The y axis: only the rows where the curve is at x = 0.
        if (!c.flatAtTheAxis)
            continue;
        const double atZero = c.f(0).value();
        const double rowAtZero = (c.window.yMax - atZero) / (c.window.yMax - c.window.yMin) * 400;
        int onAxis = 0;
        for (int row = 0; row < 400; ++row)
            for (int col = 199; col <= 200; ++col)
                if (curveAt(col, row) && std::fabs(row + 0.5 - rowAtZero) > 2 + c.lineWidth)
                    ++onAxis;
        EXPECT_EQ(onAxis, 0) << c.what << ": pixels on the y axis away from the curve";
    }
}

} // namespace

namespace {

std::string FirstFew(const std::vector<std::string>& pixels)
{
    std::string first;
    for (std::size_t i = 0; i < std::min<std::size_t>(pixels.size(), 8); ++i)
        first += pixels[i] + " ";
    return first;
}

// The opposite of the stray-pixel check: every stretch of the true graph inside the window is
// drawn, also where a branch runs off to a pole that falls between two samples, where a steep
// curve crosses the window, and along the edge rows; and still no pixel lies off the graph.
TEST(PlotterPicture, EveryPieceOfTheTrueGraphInsideTheWindowIsDrawn)
{
    const PoleTest kSinPoles = [](double a, double b) { return std::ceil(a / M_PI) * M_PI <= b; };
    const PoleTest kTanOverXPoles = [kTanPoles = kTanPoles](double a, double b) {
        return kTanPoles(a, b) || (a <= 0 && 0 <= b);
    };
    const Fn tanOverX = [](double x) -> std::optional<double> {
        if (x == 0)
            return std::nullopt;
        return std::tan(x) / x;
    };
    const Fn tanX = [](double x) { return std::tan(x); };
    const Fn overSin = [](double x) -> std::optional<double> {
        const double s = std::sin(x);
        if (s == 0)
            return std::nullopt;
        return 1 / s;
    };
    const Fn overRoot = [](double x) -> std::optional<double> {
        if (!(x > 0))
            return std::nullopt;
        return 1 / std::sqrt(x);
    };
    struct Case {
        const char* what;
        Fn f;
        Window window;
        PoleTest poleBetween = {};
    };
    const Window start{-20, 20, -20, 20};
    const std::array<Case, 14> cases{{
        {"tan(x)/x", tanOverX, start, kTanOverXPoles},
        {"tan(x)/x zoomed in", tanOverX, {-5, 5, -5, 5}, kTanOverXPoles},
        {"tan(x) panned", tanX, {-5, 35, -12, 28}, kTanPoles},
        {"tan(x) panned off the origin", tanX, {3.3, 17.3, -6.2, 7.8}, kTanPoles},
        {"tan(x) on a wide window", tanX, {-64, 64, -64, 64}, kTanPoles},
        {"1/sin(x) panned", overSin, {-5, 35, -12, 28}, kSinPoles},
        {"1/sin(x) panned off the origin", overSin, {2.7, 12.7, -4.1, 5.9}, kSinPoles},
        {"1/~x near 0", overRoot, {-1, 3, -1, 9}, kPoleAtZero},
        {"1/~x", overRoot, start, kPoleAtZero},
        {"30sin(5x), steep crossings", [](double x) { return 30 * std::sin(5 * x); }, start},
        {"10000x^3-1000000", [](double x) { return 10000 * Cube(x) - 1000000; }, start},
        {"-19.99, the bottom row", [](double) { return -19.99; }, start},
        {"19.99, the top row", [](double) { return 19.99; }, start},
        {"x^2-20, touching the bottom row", [](double x) { return x * x - 20; }, start},
    }};
    for (const Case& c : cases) {
        for (const int ratio : {1, 2}) {
            Picture p(ratio);
            p.setWindow(c.window.xMin, c.window.xMax, c.window.yMin, c.window.yMax);
            p.evaluator.lines[0] = c.f;
            p.plot();
            const auto missing = p.missingPieces(c.f);
            EXPECT_TRUE(missing.empty()) << c.what << " at ratio " << ratio << ": " << missing.size()
                                         << " points of the graph missing, first " << FirstFew(missing);
            const auto stray = p.strayPixels(c.f, c.poleBetween);
            EXPECT_TRUE(stray.empty()) << c.what << " at ratio " << ratio << ": " << stray.size()
                                       << " stray pixels, first " << FirstFew(stray);
        }
    }
}

} // namespace
