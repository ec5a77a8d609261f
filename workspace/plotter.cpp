#include "workspace/plotter.h"

#include "engine/number_text.h"
#include "engine/rounding.h"
#include "workspace/locale_numbers.h"
#include "workspace/step_walk_values.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cfloat>
#include <cmath>
#include <cstdint>

namespace linoveta {

namespace {

// JumpTest on the results before their rounding, where that rounding cannot change it: the
// 15-digit rounding moves a value by under 6e-15 of it (plus a subnormal's spacing), so a
// difference further than 1e-12 of the values from 1 decides alike. Near 1, near the largest
// double (whose rounding may fail) or on a failed probe, the rounded values decide.
ProbeOutcome JumpTestOfResults(const std::optional<double>* results)
{
    if (results[0] && results[1] && results[2] && results[3]) {
        const double a1 = std::fabs(*results[0]), a2 = std::fabs(*results[1]);
        const double b1 = std::fabs(*results[2]), b2 = std::fabs(*results[3]);
        constexpr double kLimit = 1e300;
        if (a1 <= kLimit && a2 <= kLimit && b1 <= kLimit && b2 <= kLimit) {
            const double da = std::fabs(a1 - a2), db = std::fabs(b1 - b2);
            const double ma = 1e-12 * (1 + a1 + a2), mb = 1e-12 * (1 + b1 + b2);
            if (da > 1 + ma || db > 1 + mb)
                return {false, true};
            if (da < 1 - ma && db < 1 - mb)
                return {false, false};
        }
    }
    std::optional<double> rounded[4];
    for (int i = 0; i < 4; ++i)
        rounded[i] = frmCalcFX::RoundedResult(results[i]);
    return JumpTest(rounded);
}

} // namespace

void CalcFxEvaluator::SamplesAtBound(const double*, const double* bound, std::size_t samples, int line,
                                     std::optional<double>* values, ProbeOutcome* probes)
{
    m_results.resize(5 * samples);
    m_calc.CalculateYResultsBound(bound, 5 * samples, line, m_results.data());
    for (std::size_t k = 0; k < samples; ++k) {
        const std::optional<double>* r = &m_results[5 * k];
        values[k] = frmCalcFX::RoundedResult(r[0]);
        probes[k] = JumpTestOfResults(r + 1);
    }
}

void CalcFxEvaluator::ResultsAt(const double* xs, std::size_t n, int line, std::optional<double>* out)
{
    m_bound.resize(n);
    for (std::size_t i = 0; i < n; ++i)
        m_bound[i] = NumberTextValue(xs[i]);
    m_calc.CalculateYResultsBound(m_bound.data(), n, line, out);
}

bool PlotBreaks::Record(double x)
{
    if (BreakCount < 0 || BreakCount >= kBreakEntries)
        return false;
    BreakX[static_cast<std::size_t>(BreakCount)] = x;
    BreakFlag[static_cast<std::size_t>(BreakCount)] = true;
    ++BreakCount;
    return true;
}

void PlotBreaks::Clear()
{
    BreakX.fill(0.0);
    BreakFlag.fill(false);
    BreakCount = 0;
}

std::string ColourText(RgbValue colour) { return WholeNumberText(colour); }

std::optional<RgbValue> ColourFromText(const std::string& text)
{
    RgbValue value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || text.empty())
        return std::nullopt;
    return value;
}

namespace {

constexpr RgbValue kWhite = 0xFFFFFF;
constexpr RgbValue kNearWhite = 0xFFFFFE; // looks white, but walls in a fill of white
constexpr RgbValue kBlack = 0;
// Samples of one line can never exceed this; it only guards a degenerate step.
constexpr long kMaxSamples = 1000000;
constexpr int kForwardSearchLimit = 500;

// Whether Round(x * 100, 0) is a whole multiple of 100, as fmod of it by 100 tells, without
// fmod: a finite whole number below 2^63 is exact as an integer.
bool WholeHundredths(double x)
{
    const double hundredths = std::nearbyint(x * 100);
    if (!std::isfinite(hundredths))
        return false;
    if (std::fabs(hundredths) < 9.2e18)
        return static_cast<std::int64_t>(hundredths) % 100 == 0;
    return std::fmod(hundredths, 100.0) == 0;
}

// Beyond single precision a coordinate is refused, as the surface's scale would refuse it.
bool Representable(double v) { return std::isfinite(v) && std::fabs(v) <= FLT_MAX; }

} // namespace

// The working values of one formPaint call. The three flags are driven by the error rule.
struct Plotter::Run {
    double ShadeStart = 0, ShadeEnd = 0;
    double PrevX = 0, PrevY = 0;
    double y = 0;
    bool PlotErrorFlag = false;
    bool SkipNextSegment = false;
    bool JumpProbeFailed = false;
    RgbValue curveColour = 0;

    // A failed step: it is abandoned and the flags record it.
    void Fail()
    {
        PlotErrorFlag = !PlotErrorFlag;
        SkipNextSegment = true;
        JumpProbeFailed = true;
    }
};

Plotter::Plotter(GraphWindow& window, Surface& surface, PlotEvaluator& evaluator, PlotBreaks breaks)
    : m_window(window), m_surface(surface), m_evaluator(evaluator), m_breaks(breaks)
{
}

QString Plotter::text(double v) const
{
    if (numberText)
        return numberText(v);
    return LocaleNumberText(v);
}

bool Plotter::drawLine(double x1, double y1, double x2, double y2)
{
    if (!Representable(x1) || !Representable(y1) || !Representable(x2) || !Representable(y2))
        return false;
    // Clip in doubles to the window with a margin of one span on each side, so the painter
    // never sees a huge coordinate and a steep segment still shows its visible part.
    if (clipSegment(x1, y1, x2, y2, m_clipLeft, m_clipRight, m_clipBottom, m_clipTop)) {
        if (m_collectCurveLines)
            m_curveLines.emplace_back(x1, y1, x2, y2);
        else
            m_surface.line(x1, y1, x2, y2);
    }
    return true;
}

// Every line of a curve is drawn in the curve's colour at the line width: the collected ones
// go out together, and the surface keeps the width the curve's loop left it.
void Plotter::flushCurveLines(int lineWidth)
{
    if (m_curveLines.empty())
        return;
    const int width = m_surface.drawWidth();
    m_surface.setDrawWidth(lineWidth);
    m_surface.lines(m_curveLines.data(), m_curveLines.size());
    m_surface.setDrawWidth(width);
    m_curveLines.clear();
}

// A jump's vertical line from y1 to y2, drawn only over the heights lowest..highest that the
// curve is known to pass through beside it: a pole keeps the whole line, while a steep but
// continuous curve gets no ink where it never goes (nothing at all when lowest > highest).
// The coordinates are checked as for the whole line, so a refused one fails the same way.
bool Plotter::drawJumpLine(double x, double y1, double y2, double lowest, double highest)
{
    if (!Representable(x) || !Representable(y1) || !Representable(y2))
        return false;
    if (lowest > highest)
        return true;
    return drawLine(x, std::clamp(y1, lowest, highest), x, std::clamp(y2, lowest, highest));
}

namespace {
// A search between two samples halves the interval at most this often.
constexpr int kRunOffHalvings = 64;
} // namespace

// Halves [a, b] toward the bigger change (a value that is not a number counts as the biggest)
// until the change is under a pixel, so the curve is continuous there, or the values on both
// sides of the break lie beyond the window or are not numbers.
Plotter::BreakSearch Plotter::searchBreak(double a, std::optional<double> fa, double b,
                                          std::optional<double> fb, int line)
{
    const GraphWindow& w = m_window;
    const double top = std::max(w.YMin, w.YMax), bottom = std::min(w.YMin, w.YMax);
    const double pixel = (top - bottom) / std::max(m_surface.sizePixels().height(), 1.0);
    BreakSearch s{false, a, fa, b, fb};
    if (!(pixel > 0) || !std::isfinite(pixel) || !(a < b) || (!fa && !fb))
        return s;
    auto settled = [&](const std::optional<double>& v) { return !v || *v > top || *v < bottom; };
    auto change = [](const std::optional<double>& u, const std::optional<double>& v) {
        if (!u && !v)
            return 0.0;
        if (!u || !v)
            return HUGE_VAL;
        return std::fabs(*v - *u);
    };
    for (int i = 0; i < kRunOffHalvings; ++i) {
        if (s.flo && s.fhi && std::fabs(*s.fhi - *s.flo) <= pixel) {
            s.continuous = true;
            break;
        }
        if (settled(s.flo) && settled(s.fhi))
            break;
        const double m = s.lo + (s.hi - s.lo) / 2;
        if (!(m > s.lo && m < s.hi))
            break;
        const std::optional<double> fm = m_evaluator.ValueAt(m, line);
        if (change(s.flo, fm) >= change(fm, s.fhi)) {
            s.hi = m;
            s.fhi = fm;
        } else {
            s.lo = m;
            s.flo = fm;
        }
    }
    return s;
}

// A side of the break whose last value lies beyond an edge is a branch that runs off the
// window: it reaches every height from its sample to that edge within the interval, so the
// line stands at the sample. Nothing is drawn from a sample's value alone: the evaluations
// decide, whatever the jump probes said.
void Plotter::drawRunOff(double a, std::optional<double> fa, double b, std::optional<double> fb, int line,
                         bool joinIfContinuous)
{
    const BreakSearch s = searchBreak(a, fa, b, fb, line);
    if (s.continuous) {
        // A steep crossing that the +-5 rule took for a break is the curve after all.
        if (joinIfContinuous && drawLine(a, *fa, b, *fb))
            m_window.GraphVisible = true;
        return;
    }
    const GraphWindow& w = m_window;
    const double top = std::max(w.YMin, w.YMax), bottom = std::min(w.YMin, w.YMax);
    auto beyond = [&](const std::optional<double>& v) { return v && (*v > top || *v < bottom); };
    auto edgeOf = [&](double v) { return v > top ? top : bottom; };
    auto runOff = [&](double x, const std::optional<double>& sample, const std::optional<double>& limit) {
        if (!sample || !beyond(limit))
            return;
        const double edge = edgeOf(*limit);
        // A sample beyond the same edge has nothing of the branch inside the window.
        if (beyond(sample) && edgeOf(*sample) == edge)
            return;
        if (drawLine(x, *sample, x, edge))
            m_window.GraphVisible = true;
    };
    runOff(a, fa, s.flo);
    runOff(b, fb, s.fhi);
}

void Plotter::recordBreak(double x)
{
    // A break past the last entry is dropped; it must not disturb the error flags.
    if (m_breaks.Record(x))
        m_lastBreaks.push_back(x);
}

void Plotter::formPaint(const PlotControls& controls, const ShadeBand& shade)
{
    GraphWindow& w = m_window;
    if (setBusy)
        setBusy(true);
    m_evaluator.PreCalcFX();
    m_sweepBlocks = 0;
    m_lastBreaks.clear();
    m_sampleCounts.fill(0);

    {
        // The window stays as it is for the whole redraw.
        const double spanX = std::fabs(w.XMax - w.XMin), spanY = std::fabs(w.YMax - w.YMin);
        m_clipLeft = std::min(w.XMin, w.XMax) - spanX;
        m_clipRight = std::max(w.XMin, w.XMax) + spanX;
        m_clipBottom = std::min(w.YMin, w.YMax) - spanY;
        m_clipTop = std::max(w.YMin, w.YMax) + spanY;
    }

    Run run;
    run.ShadeStart = shade.ShadeFrom >= w.XMin ? shade.ShadeFrom : w.XMin;
    run.ShadeEnd = shade.ShadeTo <= w.XMax ? shade.ShadeTo : w.XMax;

    m_surface.cls();
    int passes = 1;
    const std::optional<RgbValue> shadeColour = ColourFromText(w.ShadeColor);
    if (shade.ShadeOn) {
        if (shadeColour)
            m_surface.setForeColor(*shadeColour);
        else
            run.Fail();
        frameBand(run);
        passes = 2;
    }

    for (int pass = 1; pass <= passes; ++pass) {
        // With shading, pass 1 draws only the walls of the fill (labels, curves, frame).
        if (!(pass == 1 && shade.ShadeOn)) {
            if (shadeColour)
                m_surface.setFillColor(*shadeColour);
            else
                run.Fail();
            if (shade.ShadeOn)
                this->shade(run, shade);
            drawGrid(controls);
            drawAxes();
        }
        drawEdgeLabels();
        if (controls.quadrantLabels)
            drawQuadrantLabels();

        run.curveColour = controls.lineColours[0];
        w.CurveColor = ColourText(run.curveColour);
        m_surface.setForeColor(run.curveColour);
        m_surface.setFillColor(run.curveColour);
        m_coordinates.clear();

        if (controls.pointSeriesMode) {
            if (setBusy)
                setBusy(false);
            return;
        }
        const int last = std::min(controls.lastFunction, 4);
        for (int line = 0; line <= last; ++line)
            drawCurve(run, controls, line);
    }

    if (setBusy)
        setBusy(false);
    m_breaks.Clear();
}

void Plotter::drawGrid(const PlotControls& controls)
{
    const GraphWindow& w = m_window;
    if (controls.hideGrid || !((w.XMax - w.XMin) / 2 < 320) || !((w.YMax - w.YMin) / 2 < 320))
        return;
    m_surface.setDrawWidth(1);
    if (const auto grid = ColourFromText(w.GridColor))
        m_surface.setForeColor(*grid);
    // Counted, so a window far from the origin (where adding 1 changes nothing) still ends.
    const double left = Round(w.XMin, 0), bottom = Round(w.YMin, 0);
    const long columns = static_cast<long>(Round(w.XMax, 0) - left);
    const long rows = static_cast<long>(Round(w.YMax, 0) - bottom);
    for (long k = 0; k <= columns; ++k)
        drawLine(left + static_cast<double>(k), w.YMin, left + static_cast<double>(k), w.YMax);
    for (long k = 0; k <= rows; ++k)
        drawLine(w.XMin, bottom + static_cast<double>(k), w.XMax, bottom + static_cast<double>(k));
}

void Plotter::drawAxes()
{
    const GraphWindow& w = m_window;
    m_surface.setForeColor(kBlack);
    m_surface.setDrawWidth(2);
    drawLine(w.XMin, 0, w.XMax, 0);
    drawLine(0, w.YMin, 0, w.YMax);
}

void Plotter::drawEdgeLabels()
{
    const GraphWindow& w = m_window;
    auto at = [this](double x, double y, const QString& label) {
        m_surface.setCurrentX(x);
        m_surface.setCurrentY(y);
        m_surface.print(label);
    };
    at(w.XMin, 0, text(w.XMin));
    at(0, 0, QStringLiteral("0"));
    at(0, w.YMax, text(w.YMax));
    const QString yMin = text(w.YMin);
    // The height runs with the upward scale (negative), so the label ends at the bottom edge.
    at(0, w.YMin - m_surface.textHeight(yMin), yMin);
    const QString xMax = text(w.XMax);
    at(w.XMax - m_surface.textWidth(xMax + QStringLiteral("  ")), 0, xMax);
}

void Plotter::drawQuadrantLabels()
{
    const GraphWindow& w = m_window;
    m_surface.setFontSize(16);
    m_surface.setFontBold(true);
    m_surface.setFontName(QStringLiteral("Courier"));
    const struct {
        const char* label;
        double x, y;
    } quadrants[] = {{"I", w.XMax / 2, w.YMax / 2},
                     {"II", w.XMin / 2, w.YMax / 2},
                     {"III", w.XMin / 2, w.YMin / 2},
                     {"IV", w.XMax / 2, w.YMin / 2}};
    for (const auto& q : quadrants) {
        m_surface.setCurrentX(q.x);
        m_surface.setCurrentY(q.y);
        m_surface.print(QString::fromLatin1(q.label));
    }
    m_surface.setFontBold(false);
    m_surface.setFontName(QStringLiteral("MS Sans Serif"));
    m_surface.setFontSize(8.25);
}

void Plotter::drawCurve(Run& run, const PlotControls& controls, int line)
{
    const GraphWindow& w = m_window;
    const double step = w.XStep;
    const RgbValue colour = controls.lineColours[static_cast<std::size_t>(line)];
    if (line > 0)
        m_surface.setForeColor(colour);
    run.SkipNextSegment = false;
    int sampleCount = 0;
    m_sampleCounts[static_cast<std::size_t>(line)] = 0;
    if (!(step > 0) || !std::isfinite(step))
        return; // a window the scale refused has no sampling step

    // f(x) for the probes; a value that is not a number is a failed step. The jump search's
    // walk by the step is evaluated ahead in groups; f's value lasts until its next call.
    StepWalkValues walk(m_evaluator, line, step);
    auto f = [&](double x) -> const std::optional<double>& { return walk(x); };

    const double xFrom = w.XMin - step;
    const double xTo = w.XMax + step;
    const bool hasExpression = m_evaluator.HasExpression(line);
    SamplesAhead& ahead = m_ahead;
    ahead.block = nullptr;
    ahead.next = 0;
    m_collectCurveLines = true;
    m_curveLines.clear();
    // The previous sample of this line, whatever the error rule made of it, for the search
    // between neighbouring samples.
    bool hasSample = false;
    double sampleX = 0;
    std::optional<double> sampleValue;
    bool sampleJump = false;
    // PrevX and PrevY hold a point of this curve (not the origin or another line's point, nor a
    // height kept from a sample that was not a number).
    bool ownPrevious = false;
    long guard = 0;
    for (double x = xFrom; x <= xTo && guard < kMaxSamples; x += step, ++guard) {
        if (!hasExpression) {
            run.y = 0;
            break;
        }
        if (!ahead.block || ahead.next == ahead.block->xr.size())
            evaluateAhead(ahead, x, guard, xTo, step, line);
        const std::size_t k = ahead.next++;
        const double xr = ahead.block->xr[k];
        // The sample and its four jump probes, evaluated together.
        const std::optional<double>* value = &ahead.values[k];

        // A break between this sample and the one before (a value that is not a number on one
        // side, a change of sign beyond +-5, or a jump seen by either's probes) may hide a
        // branch running off the window between them.
        const bool hadSample = hasSample;
        const double beforeX = sampleX;
        const std::optional<double> beforeValue = sampleValue;
        {
            const bool jumpHere = ahead.probes[k].jump;
            if (hasSample && xr > sampleX) {
                const bool oneMissing = sampleValue.has_value() != value[0].has_value();
                const bool acrossFive = sampleValue && value[0] &&
                    ((*sampleValue > 5 && *value[0] < -5) || (*sampleValue < -5 && *value[0] > 5));
                if (oneMissing || acrossFive || jumpHere || sampleJump)
                    drawRunOff(sampleX, sampleValue, xr, value[0], line, acrossFive);
            }
            hasSample = true;
            sampleX = xr;
            sampleValue = value[0];
            sampleJump = jumpHere;
        }

        if (const auto v = value[0])
            run.y = *v;
        else
            run.Fail();

        // Break probe beside a failed sample: the curve exists next to it.
        if (run.PlotErrorFlag) {
            const std::ptrdiff_t b = ahead.beside[k];
            const auto* beside = b >= 0 ? &ahead.besideValues[static_cast<std::size_t>(b)] : nullptr;
            const bool besideCurve = beside ? beside[0] || beside[1] : f(xr + step) || f(xr - step);
            if (besideCurve)
                recordBreak(xr);
        }

        run.JumpProbeFailed = false;
        bool jump = false;
        {
            const ProbeOutcome probes = ahead.probes[k];
            if (probes.failed)
                run.Fail();
            jump = probes.jump;
        }

        if (jump) {
            if (run.JumpProbeFailed) {
                run.PrevX = xr;
                run.PrevY = run.y;
                ownPrevious = value[0].has_value();
                continue;
            }
            m_surface.setDrawWidth(controls.lineWidth);
            const double unbounded = HUGE_VAL;
            // Which way the curve leaves: a probe that fails counts as upwards, and as a pole
            // that may reach any height.
            auto probe = [&](double at) {
                const auto v = f(at);
                if (!v)
                    run.Fail();
                return v;
            };
            // The heights known to lie on the curve: a value that is not a number may hide a
            // pole, so then every height counts.
            auto span = [&](std::initializer_list<std::optional<double>> values) {
                double lo = unbounded, hi = -unbounded;
                for (const auto& v : values) {
                    if (!v)
                        return std::make_pair(-unbounded, unbounded);
                    lo = std::min(lo, *v);
                    hi = std::max(hi, *v);
                }
                return std::make_pair(lo, hi);
            };

            // The line from the previous point to the edge the curve leaves by. Until this curve
            // has a point of its own, that point is the origin or another line's last point: no
            // line.
            const auto leaving = probe(xr - 0.001);
            const double leaveEdge = !leaving || *leaving > 0 ? w.YMax : w.YMin;
            const auto [leaveLo, leaveHi] = ownPrevious
                ? span({run.PrevY, leaving, value[0]})
                : std::make_pair(unbounded, -unbounded);
            if (!drawJumpLine(run.PrevX, run.PrevY, leaveEdge, leaveLo, leaveHi))
                run.Fail();

            double scanX = xr + step;
            int count = 0;
            std::optional<double> inside;
            for (;;) {
                // A value that stays outside the window whatever its rounding needs no rounding.
                if (const std::optional<double>* v = walk.UnlessOutside(scanX, w.YMin, w.YMax)) {
                    if (!*v)
                        run.Fail();
                    if (*v && **v <= w.YMax && **v >= w.YMin) {
                        inside = *v;
                        break;
                    }
                }
                if (++count > kForwardSearchLimit)
                    break;
                scanX += step;
            }
            scanX += step;
            const auto entering = probe(xr + 0.001);
            const double enterEdge = !entering || *entering > 0 ? w.YMax : w.YMin;
            const auto reentry = f(scanX);
            // The re-entry line, one step past the first sample back inside the window; with
            // none inside within the search, the curve never came back and there is no line.
            // It keeps to the heights of the curve there: how the curve came back from the edge
            // lies a step or two to the left, where the segments and the search between samples
            // draw it.
            if (!reentry) {
                run.Fail();
            } else {
                const auto [enterLo, enterHi] = inside
                    ? span({reentry, inside})
                    : std::make_pair(unbounded, -unbounded);
                if (!drawJumpLine(scanX, enterEdge, *reentry, enterLo, enterHi))
                    run.Fail();
            }
        }

        run.JumpProbeFailed = false;
        if (run.PlotErrorFlag) {
            run.PlotErrorFlag = false;
            continue;
        }

        ++sampleCount;
        const double y = run.y;
        if (w.YMin <= y && y <= w.YMax && WholeHundredths(xr)) {
            m_coordinates.push_back({"x=" + text(xr).toStdString() + "  y=" + text(Round(y, 2)).toStdString(),
                                     colour});
        }

        // A segment the error rule or the line's start leaves out is still the curve when it
        // joins this curve's own previous sample, the one just before, and the curve is
        // continuous between them (the failure that set the rule lies elsewhere).
        const bool besideOwnSample = ownPrevious && hadSample && beforeValue && beforeX == run.PrevX &&
            *beforeValue == run.PrevY;
        auto joinLeftOut = [&] {
            if (!besideOwnSample || (y < -5 && run.PrevY > 5) || (run.PrevY < -5 && y > 5))
                return;
            if ((run.PrevY > w.YMax && y > w.YMax) || (run.PrevY < w.YMin && y < w.YMin))
                return;
            if (!searchBreak(run.PrevX, run.PrevY, xr, y, line).continuous)
                return;
            if (drawLine(run.PrevX, run.PrevY, xr, y))
                m_window.GraphVisible = true;
        };
        // The first sample only starts the line: joining it to the previous line's last
        // point would draw a stray segment across the plot.
        if (sampleCount == 1)
            joinLeftOut();
        if (sampleCount > 1) {
            if ((run.PrevY > w.YMax && y > w.YMax) || (run.PrevY < w.YMin && y < w.YMin)) {
                // both ends beyond the same edge: nothing to draw
            } else if (run.SkipNextSegment) {
                run.SkipNextSegment = false;
                joinLeftOut();
            } else {
                m_surface.setDrawWidth(controls.lineWidth);
                if ((y < -5 && run.PrevY > 5) || (run.PrevY < -5 && y > 5)) {
                    recordBreak(xr);
                } else {
                    if (!drawLine(run.PrevX, run.PrevY, xr, y))
                        run.Fail();
                    m_window.GraphVisible = true;
                }
                m_surface.setDrawWidth(1);
            }
        }

        run.PrevX = xr;
        run.PrevY = y;
        ownPrevious = true;
    }
    m_collectCurveLines = false;
    flushCurveLines(controls.lineWidth);
    m_sampleCounts[static_cast<std::size_t>(line)] = sampleCount;
}

namespace {
constexpr std::size_t kSweepBlock = 128;  // samples per block
constexpr std::size_t kKeptSweepBlocks = 64;
} // namespace

const Plotter::SweepBlock& Plotter::sweepBlock(double x, long guard, double xTo, double step)
{
    auto sameX = [](double a, double b) {
        return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
    };
    if (m_sweepBlocks > 0 && !(sameX(step, m_sweepStep) && sameX(xTo, m_sweepTo)))
        m_sweepBlocks = 0;
    const std::size_t index = static_cast<std::size_t>(guard) / kSweepBlock;
    const bool atBlock = guard >= 0 && static_cast<std::size_t>(guard) % kSweepBlock == 0;
    if (atBlock && index < m_sweepBlocks && sameX(m_sweep[index].start, x))
        return m_sweep[index];
    SweepBlock* block = &m_sweepSpare;
    if (atBlock && index == m_sweepBlocks && index < kKeptSweepBlocks) {
        if (m_sweep.size() <= index)
            m_sweep.resize(index + 1);
        block = &m_sweep[index];
        m_sweepBlocks = index + 1;
        m_sweepStep = step;
        m_sweepTo = xTo;
    }
    block->start = x;
    block->xr.clear();
    // The same walk as the curve's loop, so each x is the one the loop reaches.
    for (; x <= xTo && guard < kMaxSamples && block->xr.size() < kSweepBlock; x += step, ++guard)
        block->xr.push_back(Round(x, 2));
    const std::size_t n = block->xr.size();
    block->at.resize(5 * n);
    block->bound.resize(5 * n);
    for (std::size_t k = 0; k < n; ++k) {
        const double xr = block->xr[k];
        double* at = &block->at[5 * k];
        at[0] = xr;
        at[1] = xr - 0.01;
        at[2] = xr - 0.02;
        at[3] = xr + 0.01;
        at[4] = xr + 0.02;
    }
    // A sample below 1E+13 is the double nearest a decimal of at most 15 digits (a whole number
    // of hundredths), so its 15-digit text reads back as itself; larger ones are bound as usual.
    for (std::size_t i = 0; i < 5 * n; ++i)
        block->bound[i] = i % 5 == 0 && std::fabs(block->at[i]) < 1e13 ? block->at[i]
                                                                      : NumberTextValue(block->at[i]);
    return *block;
}

void Plotter::evaluateAhead(SamplesAhead& ahead, double x, long guard, double xTo, double step, int line)
{
    const SweepBlock& block = sweepBlock(x, guard, xTo, step);
    ahead.block = &block;
    ahead.next = 0;
    const std::size_t n = block.xr.size();
    ahead.values.resize(n);
    ahead.probes.resize(n);
    m_evaluator.SamplesAtBound(block.at.data(), block.bound.data(), n, line, ahead.values.data(),
                               ahead.probes.data());

    // A failed sample usually asks for its break probes: they are evaluated together too, and
    // a probe that lands on exactly a neighbouring sample's x takes that sample's value.
    ahead.besideAt.clear();
    ahead.beside.assign(n, -1);
    for (std::size_t k = 0; k < n; ++k) {
        if (ahead.values[k])
            continue;
        ahead.beside[k] = static_cast<std::ptrdiff_t>(ahead.besideAt.size());
        ahead.besideAt.push_back(block.xr[k] + step);
        ahead.besideAt.push_back(block.xr[k] - step);
    }
    const std::size_t m = ahead.besideAt.size();
    ahead.besideValues.resize(m);
    ahead.besideAsked.clear();
    ahead.besideAskedAt.clear();
    auto sameX = [](double a, double b) {
        return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
    };
    for (std::size_t k = 0; k < n; ++k) {
        if (ahead.beside[k] < 0)
            continue;
        const std::size_t b = static_cast<std::size_t>(ahead.beside[k]);
        for (std::size_t side = 0; side < 2; ++side) {
            const std::size_t neighbour = side == 0 ? k + 1 : k - 1; // wraps past the block: no match
            if (neighbour < n && sameX(ahead.besideAt[b + side], block.xr[neighbour])) {
                ahead.besideValues[b + side] = ahead.values[neighbour];
            } else {
                ahead.besideAsked.push_back(b + side);
                ahead.besideAskedAt.push_back(ahead.besideAt[b + side]);
            }
        }
    }
    if (ahead.besideAsked.empty())
        return;
    ahead.besideAskedValues.resize(ahead.besideAsked.size());
    m_evaluator.ValuesAt(ahead.besideAskedAt.data(), ahead.besideAskedAt.size(), line,
                         ahead.besideAskedValues.data());
    for (std::size_t i = 0; i < ahead.besideAsked.size(); ++i)
        ahead.besideValues[ahead.besideAsked[i]] = ahead.besideAskedValues[i];
}


void Plotter::frameBand(Run& run)
{
    const GraphWindow& w = m_window;
    const double s = run.ShadeStart, e = run.ShadeEnd;
    drawLine(s, w.YMin, e, w.YMin);
    drawLine(e, w.YMin, e, w.YMax);
    drawLine(e, w.YMax, s, w.YMax);
    drawLine(s, w.YMax, s, w.YMin);
}

void Plotter::shade(Run& run, const ShadeBand& band)
{
    const GraphWindow& w = m_window;
    const double step = w.XStep;
    m_surface.setFillStyle(w.ShadeFillStyle);
    m_surface.setDrawWidth(1);

    // Walls: the axes one step past the right and top edges, whatever colour pass 1 left.
    drawLine(w.XMin, 0, w.XMax + step, 0);
    drawLine(0, w.YMin, 0, w.YMax + step);

    // Each discontinuity gets three near-white walls so no fill leaks through the gap.
    m_surface.setForeColor(kNearWhite);
    for (int i = 0; i < kBreakEntries; ++i) {
        if (!m_breaks.BreakFlag[static_cast<std::size_t>(i)])
            continue;
        const double bx = m_breaks.BreakX[static_cast<std::size_t>(i)];
        for (double wallX : {bx, bx + step, bx - step})
            drawLine(wallX, w.YMin, wallX, w.YMax + step);
    }
    m_surface.setForeColor(run.curveColour);

    // The seeds are placed by the surface's own mapping, the one that puts the curve's and the
    // walls' pixels (the pixel holding the point), so a seed beside a steep crossing lies on
    // the side of the curve its value says. Rounding the column instead sends it half a pixel
    // on, across the curve, and floods the region beyond.
    const double height = w.YMin - w.YMax;
    const double axisRow = std::floor(m_surface.toDeviceY(0));
    if (step > 0 && std::isfinite(step) && height != 0 && std::isfinite(axisRow) && w.XMax != w.XMin) {
        long guard = 0;
        for (double x = run.ShadeStart + step; x <= run.ShadeEnd - step && guard < kMaxSamples;
             x += step, ++guard) {
            const double v = m_evaluator.ValueAt(x, band.CurrentFunction).value_or(0.0);
            if (!(std::fabs(v / height) >= 0.01))
                continue;
            const double row = v > 0 ? axisRow - 1 : axisRow + 1;
            if (!std::isfinite(m_surface.toDeviceX(x)))
                continue;
            // At x itself, in the middle of the row: the surface takes the pixel that holds the
            // point, as it does for the lines.
            m_surface.floodFill(x, m_surface.fromDevice(QPointF(0, row + 0.5)).y(), kWhite);
        }
    }

    m_surface.setForeColor(kWhite);
    frameBand(run);
}

} // namespace linoveta
