#pragma once

#include "engine/calc_fx.h"
#include "typeset/surface.h"
#include "workspace/graph_window.h"

#include <QLineF>

#include <array>
#include <cmath>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace linoveta {

// The jump test of a sample: its four probes (x - 0.01, x - 0.02, x + 0.01, x + 0.02).
struct ProbeOutcome {
    bool failed = false; // a probe is not a number: a failed step, counted as a jump
    bool jump = false;
};

inline ProbeOutcome JumpTest(const std::optional<double>* probes)
{
    const auto &a1 = probes[0], &a2 = probes[1], &b1 = probes[2], &b2 = probes[3];
    if (!a1 || !a2 || !b1 || !b2)
        return {true, true};
    return {false, std::fabs(std::fabs(*a1) - std::fabs(*a2)) > 1 ||
                       std::fabs(std::fabs(*b1) - std::fabs(*b2)) > 1};
}

// What the plotter asks of the evaluator.
class PlotEvaluator
{
public:
    virtual ~PlotEvaluator() = default;
    // Prepares every line's expression; called once at the start of each redraw.
    virtual void PreCalcFX() = 0;
    // Whether the line has a prepared expression; an empty one ends that line's curve.
    virtual bool HasExpression(int line) const = 0;
    // CalculateY as a number: 0 for an empty line, nothing when the value is not a number.
    virtual std::optional<double> ValueAt(double x, int line) = 0;
    // ValueAt(xs[i], line) into out[i] for i < n, for values the plotter needs together.
    virtual void ValuesAt(const double* xs, std::size_t n, int line, std::optional<double>* out)
    {
        for (std::size_t i = 0; i < n; ++i)
            out[i] = ValueAt(xs[i], line);
    }
    // ValuesAt for x whose bound values are known: bound[i] is NumberTextValue(xs[i]). The
    // plotter binds a sweep's x once and shares them among the lines; an evaluator that binds
    // x the same way may use them instead of binding again.
    virtual void ValuesAtBound(const double* xs, const double* bound, std::size_t n, int line,
                               std::optional<double>* out)
    {
        (void)bound;
        ValuesAt(xs, n, line, out);
    }
    // Samples with their jump probes, five x a sample in `at` (x, then the probes), bound as
    // for ValuesAtBound: values[k] is the sample's value, probes[k] JumpTest of its probes.
    virtual void SamplesAtBound(const double* at, const double* bound, std::size_t samples, int line,
                                std::optional<double>* values, ProbeOutcome* probes)
    {
        std::vector<std::optional<double>> all(5 * samples);
        ValuesAtBound(at, bound, 5 * samples, line, all.data());
        for (std::size_t k = 0; k < samples; ++k) {
            values[k] = all[5 * k];
            probes[k] = JumpTest(&all[5 * k + 1]);
        }
    }
    // ValuesAt before the values' last rounding: RoundedResult(out[i]) is ValuesAt's value at
    // xs[i]. A caller that only compares a value, and can tell when its rounding could change
    // the comparison, rounds only those. An evaluator without such a rounding gives its values.
    virtual void ResultsAt(const double* xs, std::size_t n, int line, std::optional<double>* out)
    {
        ValuesAt(xs, n, line, out);
    }
    virtual std::optional<double> RoundedResult(const std::optional<double>& result) { return result; }
};

// The program's evaluator behind the plotter: `prepare` runs its PreCalcFX on the current
// formula tables.
class CalcFxEvaluator : public PlotEvaluator
{
public:
    CalcFxEvaluator(frmCalcFX& calc, std::function<void()> prepare)
        : m_calc(calc), m_prepare(std::move(prepare))
    {
    }
    void PreCalcFX() override
    {
        if (m_prepare)
            m_prepare();
    }
    bool HasExpression(int line) const override { return !m_calc.EvalFormula(line).empty(); }
    std::optional<double> ValueAt(double x, int line) override { return m_calc.CalculateYValue(x, line); }
    void ValuesAt(const double* xs, std::size_t n, int line, std::optional<double>* out) override
    {
        m_calc.CalculateYValues(xs, n, line, out);
    }
    void ValuesAtBound(const double*, const double* bound, std::size_t n, int line,
                       std::optional<double>* out) override
    {
        m_calc.CalculateYValuesBound(bound, n, line, out);
    }
    // The probes' values are rounded only where the rounding could change the jump test.
    void SamplesAtBound(const double* at, const double* bound, std::size_t samples, int line,
                        std::optional<double>* values, ProbeOutcome* probes) override;
    void ResultsAt(const double* xs, std::size_t n, int line, std::optional<double>* out) override;
    std::optional<double> RoundedResult(const std::optional<double>& result) override
    {
        return frmCalcFX::RoundedResult(result);
    }

private:
    frmCalcFX& m_calc;
    std::function<void()> m_prepare;
    std::vector<std::optional<double>> m_results;
    std::vector<double> m_bound;
};

inline constexpr int kBreakEntries = 1001; // BreakX / BreakFlag indexes 0..1000

// The break table of the main window, filled by the first pass and read by the shading pass.
struct PlotBreaks {
    std::array<double, kBreakEntries>& BreakX;
    std::array<bool, kBreakEntries>& BreakFlag;
    int& BreakCount;

    // Stores a break; beyond the last entry it is dropped. Returns whether it was stored.
    bool Record(double x);
    void Clear();
};

// Read from the main window's controls for one redraw.
struct PlotControls {
    bool pointSeriesMode = false;           // Check1 = 1
    bool hideGrid = false;                  // mnuHideGrid checked
    bool quadrantLabels = false;            // mnuGraphQuadrant checked
    std::array<RgbValue, 5> lineColours{};  // Picture1(0..4) background colours
    int lineWidth = 1;                      // Slider1
    int lastFunction = 0;                   // LastFunction
};

// The area band of Calculate Area.
struct ShadeBand {
    bool ShadeOn = false;
    double ShadeFrom = 0;
    double ShadeTo = 0;
    int CurrentFunction = 0;                // the line whose area is shaded
};

// One entry of the coordinate list ListView1.
struct CoordinateEntry {
    std::string text;
    RgbValue colour = 0;
};

// formPaint: grid, axes, labels and every formula's curve on the plot surface, plus the
// coordinate list and the breaks; with shading on, a second pass shades first.
class Plotter
{
public:
    Plotter(GraphWindow& window, Surface& surface, PlotEvaluator& evaluator, PlotBreaks breaks);

    void formPaint(const PlotControls& controls, const ShadeBand& shade);

    // Filled by every pass; the main window copies it into ListView1.
    const std::vector<CoordinateEntry>& coordinates() const { return m_coordinates; }
    // Breaks of the last call, kept after ClearPlotBuffers for whoever wants to look.
    const std::vector<double>& lastBreaks() const { return m_lastBreaks; }
    // Samples of each line that got past the error check, in the last pass.
    const std::array<int, 5>& sampleCounts() const { return m_sampleCounts; }

    // Hourglass on and off around the redraw.
    std::function<void(bool)> setBusy;
    // Text of a number as the surface prints it (locale's decimal separator).
    std::function<QString(double)> numberText;

private:
    struct Run; // the working values of one call

    void drawGrid(const PlotControls& controls);
    void drawAxes();
    void drawEdgeLabels();
    void drawQuadrantLabels();
    void drawCurve(Run& run, const PlotControls& controls, int line);
    void shade(Run& run, const ShadeBand& band);
    void frameBand(Run& run);
    bool drawLine(double x1, double y1, double x2, double y2);
    bool drawJumpLine(double x, double y1, double y2, double lowest, double highest);
    // The stretch between two samples of a line narrowed down to its biggest change: either
    // the curve is continuous there, or [lo, hi] is a break with the values beside it.
    struct BreakSearch {
        bool continuous = false;
        double lo = 0;
        std::optional<double> flo;
        double hi = 0;
        std::optional<double> fhi;
    };
    BreakSearch searchBreak(double a, std::optional<double> fa, double b, std::optional<double> fb, int line);
    // Between two neighbouring samples of a line that look discontinuous: where the curve runs
    // off the window next to the break, the line from each sample to that edge; where it is
    // continuous after all and `joinIfContinuous`, the segment between them.
    void drawRunOff(double a, std::optional<double> fa, double b, std::optional<double> fb, int line,
                    bool joinIfContinuous);
    void recordBreak(double x);
    void flushCurveLines(int lineWidth);
    QString text(double v) const;

    // One block of the sweep every curve walks: the same x for each line of a redraw, so
    // they are rounded and bound once and shared.
    struct SweepBlock {
        double start = 0;                               // the loop's x at the block's first sample
        std::vector<double> xr;                         // the rounded sample x
        std::vector<double> at;                         // 5 per sample: x, then the probes
        std::vector<double> bound;                      // NumberTextValue of each of `at`
    };
    // Samples of one curve evaluated ahead, a block at a time: each sample's x with its four
    // jump probes, and beside a failed sample the two break probes one step away.
    struct SamplesAhead {
        const SweepBlock* block = nullptr;
        std::vector<std::optional<double>> values;      // the sample's value
        std::vector<ProbeOutcome> probes;               // its jump probes
        std::vector<double> besideAt;                   // x + step, x - step of failed samples
        std::vector<std::optional<double>> besideValues;
        std::vector<std::ptrdiff_t> beside;             // per sample: index into besideValues, or -1
        std::vector<std::size_t> besideAsked;           // the break probes no sample answers
        std::vector<double> besideAskedAt;
        std::vector<std::optional<double>> besideAskedValues;
        std::size_t next = 0;
    };
    // Evaluates the samples from x on (at most a block), as the curve's loop will visit them.
    void evaluateAhead(SamplesAhead& ahead, double x, long guard, double xTo, double step, int line);
    // The sweep's block from x on (sample number guard), made by the first curve that gets there.
    const SweepBlock& sweepBlock(double x, long guard, double xTo, double step);

    GraphWindow& m_window;
    Surface& m_surface;
    PlotEvaluator& m_evaluator;
    PlotBreaks m_breaks;
    // While a curve is drawn its segments are collected here (all in one pen) and handed to
    // the surface together.
    bool m_collectCurveLines = false;
    std::vector<QLineF> m_curveLines;
    SamplesAhead m_ahead;
    // The blocks of this redraw's sweep made so far (the first m_sweepBlocks of m_sweep), and
    // the walk they belong to. A sweep longer than the kept blocks makes the rest per curve.
    std::vector<SweepBlock> m_sweep;
    std::size_t m_sweepBlocks = 0;
    double m_sweepStep = 0, m_sweepTo = 0;
    SweepBlock m_sweepSpare;
    // drawLine's clip rectangle: the window with a margin of one span on each side.
    double m_clipLeft = 0, m_clipRight = 0, m_clipBottom = 0, m_clipTop = 0;
    std::vector<CoordinateEntry> m_coordinates;
    std::vector<double> m_lastBreaks;
    std::array<int, 5> m_sampleCounts{};
};

// The decimal text of an RGB value and back; nothing for a text that is not a whole number.
std::string ColourText(RgbValue colour);
std::optional<RgbValue> ColourFromText(const std::string& text);

} // namespace linoveta
