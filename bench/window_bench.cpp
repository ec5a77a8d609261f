// What a user waits for in the main window, measured through the window itself: start-up to
// the plot's first paint, one keystroke at the end of a long line with all five boxes
// typeset and painted, the five boxes typeset alone, a full redraw (busy cursor, coordinate
// list, picture repaint) of five formulas and of a line of 98 sin terms against native floors,
// the area sum of that line right after drawing, and auto-fit with its repaints. The process
// draws between evaluations, as the program does, so a stall that drawing leaves behind shows.
#include "bench/summary.h"
#include "engine/calc_fx.h"
#include "engine/key_handler.h"
#include "typeset/fonts.h"
#include "typeset/recording_surface.h"
#include "workspace/area_sum.h"
#include "workspace/frm_graph_main.h"
#include "workspace/graph_commands.h"
#include "workspace/platform/qt_platform.h"
#include "workspace/platform/scripted_platform.h"
#include "workspace/plot_view.h"
#include "workspace/plotter.h"
#include "workspace/program.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cmath>
#include <memory>
#include <string>
#include <string_view>

namespace {

using namespace linoveta;

// Set by a benchmark whose scene is not what it claims to time; main() then fails.
bool gSceneFailed = false;

// Sees the first paint of one widget.
class PaintWatch : public QObject
{
public:
    bool painted = false;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return QObject::eventFilter(watched, event);
    }
};

// Creates, loads and shows the main window as main() does (the real splash, closing at once)
// and returns when the plot picture has painted for the first time.
std::unique_ptr<frmGraphMain> StartWindow(Program& program, const QString& folder)
{
    registerApplicationFonts();
    auto window = std::make_unique<frmGraphMain>(program, platform::makeQtPlatform());
    window->setDocumentsFolder(folder);
    window->setSplashDelay(0);
    PaintWatch watch;
    window->frmGraph->installEventFilter(&watch);
    window->Form_Load();
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!watch.painted && std::chrono::steady_clock::now() < limit)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    window->frmGraph->removeEventFilter(&watch);
    return watch.painted ? std::move(window) : nullptr;
}

void BM_StartUpToFirstPaint(benchmark::State& state)
{
    QTemporaryDir folder;
    for (auto _ : state) {
        Program program;
        auto window = StartWindow(program, folder.path());
        state.PauseTiming();
        if (!window) {
            gSceneFailed = true;
            state.SkipWithError("the plot picture was never painted");
            break;
        }
        window.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartUpToFirstPaint)->Unit(benchmark::kMillisecond)->UseRealTime();

// A started window on scripted services, for typing and redrawing.
struct Window {
    QTemporaryDir folder;
    platform::Script script;
    Program program;
    std::unique_ptr<frmGraphMain> main;

    Window()
    {
        main = std::make_unique<frmGraphMain>(program, platform::makeScriptedPlatform(script));
        main->setDocumentsFolder(folder.path());
        main->setSplashDelay(0);
        main->Form_Load();
        QApplication::processEvents();
    }

    FormulaTables& tables() { return program.engine.tables; }
    int length(int line) const { return program.engine.tables.FormulaLen[static_cast<std::size_t>(line)]; }

    // Types keys into a line as the user would, with the rows shown; "S", "C" and "T" are the
    // sin, cos and tan commands, which type the "(" with the name ("Sx)" is sin(x)). False when
    // a key was refused.
    bool type(int line, std::string_view keys)
    {
        while (main->VisibleLines < line)
            main->Blinker_Click();
        main->Paper_GotFocus(line);
        for (char key : keys) {
            const int before = length(line);
            if (key == 'S')
                main->mnuSin_Click();
            else if (key == 'C')
                main->mnuCos_Click();
            else if (key == 'T')
                main->mnuTan_Click();
            else
                main->Paper_KeyPress(line, key);
            if (length(line) == before)
                return false;
        }
        QApplication::processEvents();
        return true;
    }
};

// ---------------------------------------------------------------- scene checks

// The floors and references run with the vector registers' upper halves clean: drawing leaves
// them dirty on some processors, and SSE code calling libm then stalls. A floor is what the
// work costs at best, so it must not carry that stall.
void CleanVectorState()
{
#if defined(__x86_64__) || defined(__i386__)
    if (__builtin_cpu_supports("avx"))
        asm volatile("vzeroupper");
#endif
}

// What a scene must show before it is timed; the reason it does not, or empty. A scene that
// does not check out fails the benchmark and the program's exit status.
bool SceneFails(benchmark::State& state, const std::string& reason)
{
    if (reason.empty())
        return false;
    gSceneFailed = true;
    state.SkipWithError(reason.c_str());
    return true;
}

// Every typed line complete and the set graphable, as a user's Graph! needs it.
std::string CheckComplete(Window& w, int lines)
{
    const FormulaTables& t = w.tables();
    for (int line = 0; line < lines; ++line) {
        if (w.length(line) == 0)
            return "line " + std::to_string(line) + " is empty";
        if (t.FormulaIncomplete[static_cast<std::size_t>(line)])
            return "line " + std::to_string(line) + " is incomplete";
    }
    if (!CanGraph(t))
        return "CanGraph is false";
    return {};
}

// After a redraw: each of the lines has pixels of its colour on the plot.
std::string CheckCurvesDrawn(Window& w, int lines)
{
    const QImage image = w.main->frmGraph->surface().logicalPicture();
    for (int line = 0; line < lines; ++line) {
        const QRgb colour =
            colourFromRgbValue(w.main->Picture1[static_cast<std::size_t>(line)]->backColor()).rgb() & 0xFFFFFF;
        int pixels = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                pixels += (image.pixel(x, y) & 0xFFFFFF) == colour;
        if (pixels == 0)
            return "curve " + std::to_string(line) + " has no pixel in its colour";
    }
    return {};
}

// ---------------------------------------------------------------- keystroke and typesetting

// A long line repeats this: long numbers keep the token list and the script form of 1999
// symbols within their tables. Its symbols 99, 499 and 1998 are each a digit after a digit,
// so the timed key there is always accepted and one Backspace takes exactly it away again.
constexpr std::string_view kLongLinePattern = "x+12345678901234567890123";

// One window with line 0 at n - 1 symbols and the other four lines short formulas, kept while
// the benchmarks of one length run (typing 2000 keys takes seconds).
struct LongLine {
    int symbols = 0;
    std::unique_ptr<Window> window;
    char nextKey = 0;  // the key that makes the line n symbols long
    bool ok = false;
    std::string failure;  // why the scene does not check out, or empty
};

// Released by main() before the application goes.
LongLine gLongLine;

LongLine& LongLineWindow(int symbols)
{
    LongLine& scene = gLongLine;
    if (scene.window && scene.symbols == symbols)
        return scene;
    scene = LongLine{};
    scene.symbols = symbols;
    scene.window = std::make_unique<Window>();
    Window& w = *scene.window;
    std::string keys;
    for (int i = 0; i < symbols; ++i)
        keys += kLongLinePattern[static_cast<std::size_t>(i) % kLongLinePattern.size()];
    scene.nextKey = keys.back();
    keys.pop_back();
    scene.ok = w.type(1, "x^2") && w.type(2, "Sx)") && w.type(3, "1/x") && w.type(4, "|x|-3") &&
               w.type(0, keys);
    scene.failure = scene.ok ? CheckComplete(w, 5) : "the long line could not be typed";
    return scene;
}

void BM_Keystroke(benchmark::State& state)
{
    const int symbols = static_cast<int>(state.range(0));
    LongLine& scene = LongLineWindow(symbols);
    if (SceneFails(state, scene.failure))
        return;
    frmGraphMain& main = *scene.window->main;
    for (auto _ : state) {
        main.Paper_KeyPress(0, scene.nextKey);
        QApplication::processEvents();  // the five boxes' paint
        state.PauseTiming();
        const bool accepted = scene.window->length(0) == symbols;
        main.Paper_KeyPress(0, kKeyBackspace);
        QApplication::processEvents();
        state.ResumeTiming();
        if (!accepted) {
            SceneFails(state, "the key was refused");
            break;
        }
    }
}
BENCHMARK(BM_Keystroke)->Arg(100)->Arg(500)->Arg(1999)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_TypesetFiveBoxes(benchmark::State& state)
{
    LongLine& scene = LongLineWindow(static_cast<int>(state.range(0)));
    if (SceneFails(state, scene.failure))
        return;
    for (auto _ : state)
        scene.window->main->RedrawFormulaBoxes();
    QApplication::processEvents();
}
BENCHMARK(BM_TypesetFiveBoxes)->Arg(100)->Arg(500)->Arg(1999)->Unit(benchmark::kMillisecond)->UseRealTime();

// ---------------------------------------------------------------- redraw and its floor

// A formula to type and the same function in C++.
struct SceneLine {
    std::string keys;
    double (*native)(double);
};

// The five formulas of the fixed redraw.
const std::array<SceneLine, 5> kFiveFormulas = {{
    {"x^2", [](double x) { return x * x; }},
    {"Sx)", [](double x) { return std::sin(x); }},
    {"1/x", [](double x) { return 1 / x; }},
    {"|x|-3", [](double x) { return std::fabs(x) - 3; }},
    {"(x)^(.5)", [](double x) { return std::sqrt(x); }},
}};

// A line of many sin terms: sin(x)+sin(x)+..., evaluated term by term like the line.
constexpr int kSinTerms = 98;

std::string SinTermKeys(std::string front = {})
{
    for (int i = 0; i < kSinTerms; ++i)
        front += i == 0 ? "Sx)" : "+Sx)";
    return front;
}

// Each term's x is made opaque to the compiler, so that it computes every sin as the line does
// instead of one for all.
double NativeSinTerms(double x)
{
    double y = 0;
    for (int i = 0; i < kSinTerms; ++i) {
        double t = x;
        benchmark::DoNotOptimize(t);
        y += std::sin(t);
    }
    return y;
}

const std::vector<SceneLine>& SinTermsScene()
{
    static const std::vector<SceneLine> lines = {{SinTermKeys(), NativeSinTerms}};
    return lines;
}

const std::vector<SceneLine>& FiveFormulasScene()
{
    static const std::vector<SceneLine> lines(kFiveFormulas.begin(), kFiveFormulas.end());
    return lines;
}

// A window with the scene's lines typed and drawn once; the reason in `failure` when the scene
// does not check out.
std::unique_ptr<Window> RedrawWindow(const std::vector<SceneLine>& lines, std::string& failure)
{
    auto w = std::make_unique<Window>();
    for (std::size_t line = 0; line < lines.size(); ++line) {
        if (!w->type(static_cast<int>(line), lines[line].keys)) {
            failure = "line " + std::to_string(line) + " could not be typed";
            return nullptr;
        }
    }
    failure = CheckComplete(*w, static_cast<int>(lines.size()));
    if (!failure.empty())
        return nullptr;
    w->main->mnuGraphIt_Click();
    QApplication::processEvents();
    failure = CheckCurvesDrawn(*w, static_cast<int>(lines.size()));
    if (!failure.empty())
        return nullptr;
    return w;
}

// The Graph! command as the window runs it: scale, busy cursor, plotter, coordinate list,
// then the picture's repaint from the event loop.
void RedrawScene(benchmark::State& state, const std::vector<SceneLine>& lines)
{
    std::string failure;
    const auto w = RedrawWindow(lines, failure);
    if (SceneFails(state, failure))
        return;
    for (auto _ : state) {
        w->main->mnuGraphIt_Click();
        QApplication::processEvents();
    }
}

void BM_RedrawFiveFormulas(benchmark::State& state) { RedrawScene(state, FiveFormulasScene()); }
BENCHMARK(BM_RedrawFiveFormulas)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RedrawSinTerms(benchmark::State& state) { RedrawScene(state, SinTermsScene()); }
BENCHMARK(BM_RedrawSinTerms)->Unit(benchmark::kMillisecond)->UseRealTime();

// The number of segments the plotter draws for the window's formulas on a 400 x 400 picture.
int SegmentsOfRedraw(Window& w)
{
    GraphWindow window = w.program.graph;
    RecordingSurface surface(QSizeF(400, 400));
    frmCalcFX calc;
    CalcFxEvaluator evaluator(calc, [&] { calc.PreCalcFX(w.tables()); });
    std::array<double, kBreakEntries> breakX{};
    std::array<bool, kBreakEntries> breakFlag{};
    int breakCount = 0;
    Plotter plotter(window, surface, evaluator, {breakX, breakFlag, breakCount});
    PlotView view(window, surface);
    PlotControls controls;
    controls.lineColours = {0x0000FF, 0x008000, 0xFF0000, 0x008080, 0x800080};
    controls.lastFunction = w.tables().LastFunction;
    view.formPaint = [&] { plotter.formPaint(controls, {}); };
    view.ModeRedraw();
    int lines = 0;
    for (const RecordedCall& call : surface.calls())
        lines += call.kind == RecordedCall::Line;
    return lines;
}

// The floor: what any program drawing these curves by the plotter's rule must do, in C++ and
// with clean registers. Each sample's y and its four jump probes (x -+ 0.01, x -+ 0.02) are
// computed, and as many aliased segments as the plotter draws go onto a cleared 400 x 400
// image: grid and axes first, then each curve joining neighbouring finite samples that do not
// both lie beyond the same edge.
void RedrawFloorScene(benchmark::State& state, const std::vector<SceneLine>& lines)
{
    std::string failure;
    const auto w = RedrawWindow(lines, failure);
    if (SceneFails(state, failure))
        return;
    const int segments = SegmentsOfRedraw(*w);
    const GraphWindow& g = w->program.graph;
    const double step = g.XStep;
    const double sx = 400 / (g.XMax - g.XMin), sy = 400 / (g.YMax - g.YMin);
    std::vector<double> xs;
    for (double x = g.XMin - step; x <= g.XMax + step; x += step)
        xs.push_back(std::nearbyint(x * 100) / 100);
    constexpr std::array<double, 5> kProbes = {0, -0.01, -0.02, 0.01, 0.02};
    std::vector<std::vector<double>> ys(lines.size(), std::vector<double>(xs.size()));
    std::vector<double> probes(xs.size() * kProbes.size());
    QImage image(400, 400, QImage::Format_RGB32);
    const std::array<QColor, 5> colours = {Qt::blue, Qt::darkGreen, Qt::red, Qt::darkCyan, Qt::darkMagenta};
    for (auto _ : state) {
        CleanVectorState();
        for (std::size_t f = 0; f < lines.size(); ++f) {
            for (std::size_t i = 0; i < xs.size(); ++i)
                for (std::size_t p = 0; p < kProbes.size(); ++p)
                    probes[i * kProbes.size() + p] = lines[f].native(xs[i] + kProbes[p]);
            for (std::size_t i = 0; i < xs.size(); ++i)
                ys[f][i] = probes[i * kProbes.size()];
            benchmark::DoNotOptimize(probes.data());
        }
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, false);
        int drawn = 0;
        auto segment = [&](double x1, double y1, double x2, double y2) {
            painter.drawLine(QLineF((x1 - g.XMin) * sx, (g.YMax - y1) * sy, (x2 - g.XMin) * sx,
                                    (g.YMax - y2) * sy));
            ++drawn;
        };
        painter.setPen(QPen(Qt::lightGray, 1));
        for (double x = std::ceil(g.XMin); x <= g.XMax && drawn < segments; ++x)
            segment(x, g.YMin, x, g.YMax);
        for (double y = std::ceil(g.YMin); y <= g.YMax && drawn < segments; ++y)
            segment(g.XMin, y, g.XMax, y);
        painter.setPen(QPen(Qt::black, 2));
        segment(g.XMin, 0, g.XMax, 0);
        segment(0, g.YMin, 0, g.YMax);
        while (drawn < segments) {
            const int before = drawn;
            for (std::size_t f = 0; f < lines.size() && drawn < segments; ++f) {
                painter.setPen(QPen(colours[f], 1));
                for (std::size_t i = 1; i < xs.size() && drawn < segments; ++i) {
                    const double y1 = ys[f][i - 1], y2 = ys[f][i];
                    const bool beyond = (y1 > g.YMax && y2 > g.YMax) || (y1 < g.YMin && y2 < g.YMin);
                    if (!beyond && std::isfinite(y1) && std::isfinite(y2) && std::fabs(y1) < 1e6 &&
                        std::fabs(y2) < 1e6)
                        segment(xs[i - 1], y1, xs[i], y2);
                }
            }
            if (drawn == before)
                break;
        }
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["segments"] = segments;
}

void BM_RedrawFloor(benchmark::State& state) { RedrawFloorScene(state, FiveFormulasScene()); }
BENCHMARK(BM_RedrawFloor)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RedrawSinTermsFloor(benchmark::State& state) { RedrawFloorScene(state, SinTermsScene()); }
BENCHMARK(BM_RedrawSinTermsFloor)->Unit(benchmark::kMillisecond)->UseRealTime();

// ---------------------------------------------------------------- area sum after drawing

// The Calculate Area sum of the sin-term line over -20..20 with dx 0.001, as the dialog runs it
// on the main window's evaluator, each time right after a redraw of the plot.
constexpr double kAreaMin = -20, kAreaMax = 20, kAreaDx = 0.001;

void BM_AreaSinTermsAfterDrawing(benchmark::State& state)
{
    std::string failure;
    const auto w = RedrawWindow(SinTermsScene(), failure);
    if (SceneFails(state, failure))
        return;
    frmCalcFX& calc = w->main->graphCommands().calc();
    const AreaSum::Values f = [&calc](const double* xs, double* ys, std::size_t n) {
        calc.CalculateYAreaValues(xs, n, 0, ys);
    };
    for (auto _ : state) {
        state.PauseTiming();
        w->main->mnuGraphIt_Click();
        QApplication::processEvents();
        state.ResumeTiming();
        const AreaSum::Result result = AreaSum::Sum(kAreaMin, kAreaMax, kAreaDx, f);
        benchmark::DoNotOptimize(result.area);
    }
}
BENCHMARK(BM_AreaSinTermsAfterDrawing)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same sum of the function written in C++, with clean registers.
void BM_AreaSinTermsOfCppFunction(benchmark::State& state)
{
    const auto values = [](const double* xs, double* ys, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i)
            ys[i] = NativeSinTerms(xs[i]);
    };
    for (auto _ : state) {
        CleanVectorState();
        const AreaSum::Result result = AreaSum::SumOf(kAreaMin, kAreaMax, kAreaDx, values);
        benchmark::DoNotOptimize(result.area);
    }
}
BENCHMARK(BM_AreaSinTermsOfCppFunction)->Unit(benchmark::kMillisecond)->UseRealTime();

// ---------------------------------------------------------------- auto-fit

// Auto-fit of y = 15000: ten doublings from the start window, each with its redraw and the
// picture's repaint, as the toolbar command runs it.
void BM_AutoFitTenDoublings(benchmark::State& state)
{
    auto w = std::make_unique<Window>();
    if (!w->type(0, "15000")) {
        SceneFails(state, "the formula could not be typed");
        return;
    }
    if (SceneFails(state, CheckComplete(*w, 1)))
        return;
    for (auto _ : state) {
        w->program.graph.Reset();
        w->main->AutoFitGraph();
        QApplication::processEvents();
        if (w->program.graph.XMax != 20480) {
            SceneFails(state, "auto-fit did not stop at +-20480");
            break;
        }
    }
}
BENCHMARK(BM_AutoFitTenDoublings)->Unit(benchmark::kMillisecond)->UseRealTime();

// Auto-fit of a line that no window within the limits shows: every doubling redraws, and the
// command ends with its message and the start window.
void AutoFitInvisibleScene(benchmark::State& state, const std::string& keys)
{
    auto w = std::make_unique<Window>();
    if (!w->type(0, keys)) {
        SceneFails(state, "the formula could not be typed");
        return;
    }
    if (SceneFails(state, CheckComplete(*w, 1)))
        return;
    for (auto _ : state) {
        w->script.messages.clear();
        w->main->AutoFitGraph();
        QApplication::processEvents();
        const bool failed = w->script.messages.size() == 1 &&
                            w->script.messages[0] == QLatin1String(kAutoFitFailedMessage) &&
                            w->program.graph.XMax == 20 && !w->program.graph.GraphVisible;
        if (!failed) {
            SceneFails(state, "the line was not invisible within the limits");
            break;
        }
    }
}

// A steep line whose every sample is a jump, so that each one searches 500 steps ahead.
void BM_AutoFitInvisibleSteepLine(benchmark::State& state)
{
    AutoFitInvisibleScene(state, "100000000+12345678901234567890123x^2");
}
BENCHMARK(BM_AutoFitInvisibleSteepLine)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_AutoFitInvisibleSinTerms(benchmark::State& state)
{
    AutoFitInvisibleScene(state, SinTermKeys("100000000+"));
}
BENCHMARK(BM_AutoFitInvisibleSinTerms)->Unit(benchmark::kMillisecond)->UseRealTime();

// The offscreen platform's complaint about window size hints, once per window, says nothing here.
void QuietMessages(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (text.contains(QLatin1String("propagateSizeHints")))
        return;
    qt_message_output(type, context, text);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(QuietMessages);
    QApplication app(argc, argv);
    using linoveta::bench::Figure;
    const std::vector<Figure> figures = {
        {"start-up to first paint", "BM_StartUpToFirstPaint/real_time", "", 1, 1, 0, 300},
        {"keystroke at 100 symbols, 5 boxes typeset", "BM_Keystroke/100/real_time"},
        {"keystroke at 500 symbols, 5 boxes typeset", "BM_Keystroke/500/real_time"},
        {"keystroke at 1999 symbols, 5 boxes typeset", "BM_Keystroke/1999/real_time", "", 1, 1, 0, 2},
        {"typeset 5 boxes, line of 100 symbols", "BM_TypesetFiveBoxes/100/real_time"},
        {"typeset 5 boxes, line of 500 symbols", "BM_TypesetFiveBoxes/500/real_time"},
        {"typeset 5 boxes, line of 1999 symbols", "BM_TypesetFiveBoxes/1999/real_time"},
        {"redraw of 5 formulas / native floor", "BM_RedrawFiveFormulas/real_time",
         "BM_RedrawFloor/real_time", 1, 1, 1.5, 0},
        {"redraw of 98 sin terms / native floor", "BM_RedrawSinTerms/real_time",
         "BM_RedrawSinTermsFloor/real_time", 1, 1, 1.5, 0},
        {"area sum of 98 sin terms after drawing / C++", "BM_AreaSinTermsAfterDrawing/real_time",
         "BM_AreaSinTermsOfCppFunction/real_time", 1, 1, 1.5, 0},
        {"auto-fit, 10 doublings with repaints", "BM_AutoFitTenDoublings/real_time"},
        {"auto-fit of an invisible steep line", "BM_AutoFitInvisibleSteepLine/real_time", "", 1, 1,
         0, 150},
        {"auto-fit of an invisible line of 98 sin terms", "BM_AutoFitInvisibleSinTerms/real_time",
         "", 1, 1, 0, 150},
    };
    // The first start in the process also registers the fonts: shown once, beside the median.
    QTemporaryDir folder;
    double first = 0;
    {
        Program program;
        const auto start = std::chrono::steady_clock::now();
        const auto window = StartWindow(program, folder.path());
        if (window)
            first = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    QApplication::processEvents();

    linoveta::bench::InitializeWithRepetitions(&argc, argv);
    linoveta::bench::MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    gLongLine = LongLine{};
    std::vector<std::string> rows = linoveta::bench::SummaryRows(figures, reporter.medians);
    rows.insert(rows.begin(), linoveta::bench::SummaryRow("start-up to first paint, first in process", first, 0, 0, 300));
    linoveta::bench::WriteSummary(rows);
    benchmark::Shutdown();
    if (gSceneFailed) {
        std::fprintf(stderr, "A benchmark scene did not check out: its figures time something else.\n");
        return 1;
    }
    return 0;
}
