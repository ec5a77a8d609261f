// Loading a graph document as users wait for it: the file is read and checked, every stored
// symbol is replayed through the key handler, and the boxes are typeset once at the end.
#include "summary.h"

#include "engine/formula_tables.h"
#include "typeset/fonts.h"
#include "workspace/frm_graph_main.h"
#include "workspace/platform/scripted_platform.h"
#include "workspace/program.h"
#include "workspace/regression_object.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

using namespace linoveta;

// A started main window on scripted dialogs, loading one document file again and again.
struct LoadScene {
    QTemporaryDir folder;
    platform::Script script;
    Program program;
    std::unique_ptr<frmGraphMain> window;
    QString path;

    explicit LoadScene(const std::string &document)
    {
        window = std::make_unique<frmGraphMain>(program, platform::makeScriptedPlatform(script));
        window->setDocumentsFolder(folder.path());
        window->setSplashDelay(0);
        window->Form_Load();
        path = folder.filePath(QStringLiteral("bench.wqz"));
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(document.data(), qint64(document.size()));
    }
    void load()
    {
        script.openPaths.push_back(path);
        window->mnuLoad_Click();
    }
    int symbols() const
    {
        int n = 0;
        for (int i = 0; i < kEditedLines; ++i)
            n += program.engine.tables.FormulaLen[std::size_t(i)];
        return n;
    }
};

// A line of exactly 1999 symbols that the key rules keep whole, as our own save would write
// it: a sum of small multiples of x, about 430 tokens, near the translator's 493.
std::string FullLine(int variant)
{
    const std::string piece = "0.000000000" + std::to_string(1 + variant) + "x+";
    std::string line;
    while (line.size() + piece.size() <= std::size_t(kMaxSymbols))
        line += piece;
    line += std::string(std::size_t(kMaxSymbols) - line.size(), char('1' + variant));
    return line;
}

std::string FiveLinesAtTheBound()
{
    std::string document;
    for (int i = 0; i < kEditedLines; ++i)
        document += FullLine(i) + "BB";
    return document + "TrueBB2BB\r\n";
}

void BM_LoadFiveLinesAtTheBound(benchmark::State &state)
{
    LoadScene scene(FiveLinesAtTheBound());
    for (auto _ : state)
        scene.load();
    if (!scene.script.messages.empty() || scene.symbols() != kEditedLines * kMaxSymbols)
        state.SkipWithError("the lines did not load whole");
}
BENCHMARK(BM_LoadFiveLinesAtTheBound)->Unit(benchmark::kMillisecond);

// The one redraw of the graph that a load ends with, alone: the rest of a load is reading,
// replaying and typesetting.
void BM_RedrawAfterLoadingFiveLinesAtTheBound(benchmark::State &state)
{
    LoadScene scene(FiveLinesAtTheBound());
    scene.load();
    for (auto _ : state)
        scene.window->GraphFunctions();
}
BENCHMARK(BM_RedrawAfterLoadingFiveLinesAtTheBound)->Unit(benchmark::kMillisecond);

// Lines the translator finds hardest: one long term of divisions (each "/" re-reads its
// numerator), and a long sum inside three parentheses (each ")" reads back to its "(").
// Both are typed to 1999 symbols; the keys past the translator's tokens are refused.
std::string FiveHardLines()
{
    std::string document;
    for (int i = 0; i < kEditedLines; ++i) {
        std::string line;
        if (i % 2 == 0) {
            while (line.size() < std::size_t(kMaxSymbols))
                line += "x/";
        } else {
            line = "(((";
            while (line.size() + 5 < std::size_t(kMaxSymbols))
                line += "x+";
            line += "x)))";
        }
        line.resize(std::size_t(kMaxSymbols));
        document += line + "BB";
    }
    return document + "TrueBB2BB\r\n";
}

void BM_LoadFiveHardLines(benchmark::State &state)
{
    LoadScene scene(FiveHardLines());
    for (auto _ : state)
        scene.load();
    if (!scene.script.messages.empty())
        state.SkipWithError("the document did not load");
}
BENCHMARK(BM_LoadFiveHardLines)->Unit(benchmark::kMillisecond);

void BM_LoadTypicalDocument(benchmark::State &state)
{
    std::string document = "x^2BB2x+1BBS(x)BB|x|-3BB~xBB";
    for (int i = 0; i < 20; ++i)
        document += std::to_string(i) + ".5BB" + std::to_string(i * i - 3) + "BB";
    LoadScene scene(document + "FalseBB3BB\r\n");
    for (auto _ : state)
        scene.load();
    if (!scene.script.messages.empty() || scene.window->m_Regression->XYCount() != 20)
        state.SkipWithError("the document did not load whole");
}
BENCHMARK(BM_LoadTypicalDocument)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    registerApplicationFonts();
    using linoveta::bench::Figure;
    return linoveta::bench::RunWithSummary(
        argc, argv,
        {
            Figure{.name = "document load, five lines of 1999 symbols",
                   .ours = "BM_LoadFiveLinesAtTheBound", .targetMs = 300},
            Figure{.name = "  of which the final redraw",
                   .ours = "BM_RedrawAfterLoadingFiveLinesAtTheBound"},
            Figure{.name = "document load, five long x/x/... and (((x+...))) lines",
                   .ours = "BM_LoadFiveHardLines", .targetMs = 300},
            Figure{.name = "document load, 5 short formulas, 20 points",
                   .ours = "BM_LoadTypicalDocument", .targetMs = 20},
        });
}
