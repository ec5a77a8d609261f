// One full redraw of the plot as users wait for it: five formulas on the start window on the
// 400 x 400 picture, and the auto-fit of a formula that needs ten doublings.
#include "engine/calc_fx.h"
#include "typeset/image_surface.h"
#include "workspace/flood_fill.h"
#include "workspace/plot_view.h"
#include "workspace/plotter.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <array>
#include <string>

namespace {

using namespace linoveta;

struct Scene {
    GraphWindow window;
    ImageSurface surface{QSize(400, 400)};
    frmCalcFX calc;
    std::array<std::string, kEvalLines> forms;
    CalcFxEvaluator evaluator{calc, [this] { calc.PreCalcFX(forms); }};
    std::array<double, kBreakEntries> breakX{};
    std::array<bool, kBreakEntries> breakFlag{};
    int breakCount = 0;
    Plotter plotter{window, surface, evaluator, {breakX, breakFlag, breakCount}};
    PlotView view{window, surface};
    PlotControls controls;

    explicit Scene(std::array<std::string, kEvalLines> f, int last) : forms(std::move(f))
    {
        surface.setFloodFiller(FloodFill);
        controls.lineColours = {0x0000FF, 0x008000, 0xFF0000, 0x008080, 0x800080};
        controls.lastFunction = last;
        view.formPaint = [this] { plotter.formPaint(controls, {}); };
        view.RedrawGraph();
    }
};

void BM_RedrawFiveFormulas(benchmark::State& state)
{
    Scene scene({"x^2", "sin(x)", "1/x", "abs(x)-3", "(x)^(.5)"}, 4);
    for (auto _ : state) {
        scene.view.ModeRedraw();
        benchmark::DoNotOptimize(scene.surface.image().constBits());
    }
}
BENCHMARK(BM_RedrawFiveFormulas)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_RedrawOneFormula(benchmark::State& state)
{
    static const std::array<const char*, 5> formulas{"x^2", "sin(x)", "1/x", "abs(x)-3", "(x)^(.5)"};
    Scene scene({formulas[static_cast<std::size_t>(state.range(0))], "", "", "", ""}, 0);
    for (auto _ : state)
        scene.view.ModeRedraw();
    state.SetLabel(formulas[static_cast<std::size_t>(state.range(0))]);
}
BENCHMARK(BM_RedrawOneFormula)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

void BM_AutoFitTenDoublings(benchmark::State& state)
{
    // y = 15000 shows first at the window +-20480, ten doublings from the start window.
    Scene scene({"15000", "", "", "", ""}, 0);
    for (auto _ : state) {
        scene.window.Reset();
        const AutoFitResult r = scene.view.AutoFit(true);
        if (r != AutoFitResult::Fitted || scene.window.XMax != 20480)
            state.SkipWithError("auto-fit did not stop at +-20480");
    }
}
BENCHMARK(BM_AutoFitTenDoublings)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
