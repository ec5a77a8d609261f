// What a user waits for in the main window, measured through the window itself: start-up to
// the plot's first paint, one keystroke at the end of a long line with all five boxes
// typeset and painted, the five boxes typeset alone, a full redraw of five formulas (busy
// cursor, coordinate list, picture repaint) against a native floor, and auto-fit with its
// repaints.
#include "bench/summary.h"
#include "engine/calc_fx.h"
#include "engine/key_handler.h"
#include "typeset/fonts.h"
#include "typeset/recording_surface.h"
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
#include <cmath>
#include <memory>
#include <string>
#include <string_view>

namespace {

using namespace linoveta;

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
    // sin, cos and tan commands. False when a key was refused.
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
    scene.ok = w.type(1, "x^2") && w.type(2, "S(x)") && w.type(3, "1/x") && w.type(4, "|x|-3") &&
               w.type(0, keys);
    return scene;
}

void BM_Keystroke(benchmark::State& state)
{
    const int symbols = static_cast<int>(state.range(0));
    LongLine& scene = LongLineWindow(symbols);
    if (!scene.ok) {
        state.SkipWithError("the long line could not be typed");
        return;
    }
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
            state.SkipWithError("the key was refused");
            break;
        }
    }
}
BENCHMARK(BM_Keystroke)->Arg(100)->Arg(500)->Arg(1999)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_TypesetFiveBoxes(benchmark::State& state)
{
    LongLine& scene = LongLineWindow(static_cast<int>(state.range(0)));
    if (!scene.ok) {
        state.SkipWithError("the long line could not be typed");
        return;
    }
    for (auto _ : state)
        scene.window->main->RedrawFormulaBoxes();
    QApplication::processEvents();
}
BENCHMARK(BM_TypesetFiveBoxes)->Arg(100)->Arg(500)->Arg(1999)->Unit(benchmark::kMillisecond)->UseRealTime();

// ---------------------------------------------------------------- redraw and its floor

// The five formulas of the redraw, as keys and as C++.
constexpr std::array<std::string_view, 5> kRedrawKeys = {"x^2", "S(x)", "1/x", "|x|-3", "(x)^(.5)"};
const std::array<double (*)(double), 5> kRedrawNative = {
    [](double x) { return x * x; },
    [](double x) { return std::sin(x); },
    [](double x) { return 1 / x; },
    [](double x) { return std::fabs(x) - 3; },
    [](double x) { return std::sqrt(x); },
};

std::unique_ptr<Window> RedrawWindow()
{
    auto w = std::make_unique<Window>();
    for (int line = 0; line < 5; ++line)
        if (!w->type(line, kRedrawKeys[static_cast<std::size_t>(line)]))
            return nullptr;
    w->main->mnuGraphIt_Click();
    QApplication::processEvents();
    return w;
}

// The Graph! command as the window runs it: scale, busy cursor, plotter, coordinate list,
// then the picture's repaint from the event loop.
void BM_RedrawFiveFormulas(benchmark::State& state)
{
    const auto w = RedrawWindow();
    if (!w) {
        state.SkipWithError("the formulas could not be typed");
        return;
    }
    for (auto _ : state) {
        w->main->mnuGraphIt_Click();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_RedrawFiveFormulas)->Unit(benchmark::kMillisecond)->UseRealTime();

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
    controls.lastFunction = 4;
    view.formPaint = [&] { plotter.formPaint(controls, {}); };
    view.ModeRedraw();
    int lines = 0;
    for (const RecordedCall& call : surface.calls())
        lines += call.kind == RecordedCall::Line;
    return lines;
}

// The floor: the same samples' y computed in C++ and as many aliased segments drawn on a
// cleared 400 x 400 image (grid and axes first, then each curve joining finite samples).
void BM_RedrawFloor(benchmark::State& state)
{
    const auto w = RedrawWindow();
    if (!w) {
        state.SkipWithError("the formulas could not be typed");
        return;
    }
    const int segments = SegmentsOfRedraw(*w);
    const GraphWindow& g = w->program.graph;
    const double step = g.XStep;
    const double sx = 400 / (g.XMax - g.XMin), sy = 400 / (g.YMax - g.YMin);
    std::vector<double> xs;
    for (double x = g.XMin - step; x <= g.XMax + step; x += step)
        xs.push_back(x);
    std::array<std::vector<double>, 5> ys;
    for (auto& y : ys)
        y.resize(xs.size());
    QImage image(400, 400, QImage::Format_RGB32);
    const std::array<QColor, 5> colours = {Qt::blue, Qt::darkGreen, Qt::red, Qt::darkCyan, Qt::darkMagenta};
    for (auto _ : state) {
        for (std::size_t f = 0; f < 5; ++f)
            for (std::size_t i = 0; i < xs.size(); ++i)
                ys[f][i] = kRedrawNative[f](xs[i]);
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
            for (std::size_t f = 0; f < 5 && drawn < segments; ++f) {
                painter.setPen(QPen(colours[f], 1));
                for (std::size_t i = 1; i < xs.size() && drawn < segments; ++i) {
                    const double y1 = ys[f][i - 1], y2 = ys[f][i];
                    if (std::isfinite(y1) && std::isfinite(y2) && std::fabs(y1) < 1e6 && std::fabs(y2) < 1e6)
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
BENCHMARK(BM_RedrawFloor)->Unit(benchmark::kMillisecond)->UseRealTime();

// Auto-fit of y = 15000: ten doublings from the start window, each with its redraw and the
// picture's repaint, as the toolbar command runs it.
void BM_AutoFitTenDoublings(benchmark::State& state)
{
    auto w = std::make_unique<Window>();
    if (!w->type(0, "15000")) {
        state.SkipWithError("the formula could not be typed");
        return;
    }
    for (auto _ : state) {
        w->program.graph.Reset();
        w->main->AutoFitGraph();
        QApplication::processEvents();
        if (w->program.graph.XMax != 20480) {
            state.SkipWithError("auto-fit did not stop at +-20480");
            break;
        }
    }
}
BENCHMARK(BM_AutoFitTenDoublings)->Unit(benchmark::kMillisecond)->UseRealTime();

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
         "BM_RedrawFloor/real_time", 1, 1, 2.0, 0},
        {"auto-fit, 10 doublings with repaints", "BM_AutoFitTenDoublings/real_time"},
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
    return 0;
}
