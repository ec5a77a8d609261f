// Arbitrary bytes go to the document reader (parse and check only, nothing is applied). A text
// it accepts must keep every promise the loader relies on, and must survive a write and a
// second read unchanged. The same bytes then go through the window's load command as a file,
// replay included: it must end within a bounded time and leave the window consistent.
#include "engine/key_handler.h"
#include "typeset/fonts.h"
#include "workspace/frm_graph_main.h"
#include "workspace/graph_document.h"
#include "workspace/platform/scripted_platform.h"
#include "workspace/point_series.h"
#include "workspace/program.h"
#include "workspace/regression_object.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string_view>

using namespace linoveta;

namespace {

void CheckReader(std::string_view text, const DocumentReadResult &r)
{
    if (r.status == DocumentReadStatus::Empty && !text.empty())
        std::abort();
    if (r.status != DocumentReadStatus::Ok)
        return;

    const GraphDocument &doc = r.document;
    for (const std::string &line : doc.lines) {
        if (line.size() > kMaxFormulaField)
            std::abort();  // longer than a line can hold
        for (char c : line)
            if (c < 0x20 || c >= 0x7F || c == 'B')
                std::abort();  // a control character would reach the key handler
    }
    if (doc.points.size() > kMaxDocumentPoints)
        std::abort();
    for (const DocumentPoint &p : doc.points)
        if (!PointFitsEveryOrder(p.x, p.y))
            std::abort();
    if (doc.order < 2 || doc.order > 10)
        std::abort();

    // What we write we read back, and writing again gives the same bytes.
    const std::string bytes = GraphDocumentCodec::Write(doc);
    const DocumentReadResult again = GraphDocumentCodec::Read(bytes);
    if (again.status != DocumentReadStatus::Ok || again.document.lines != doc.lines ||
        again.document.linear != doc.linear || again.document.order != doc.order ||
        again.document.points.size() != doc.points.size() ||
        GraphDocumentCodec::Write(again.document) != bytes)
        std::abort();
}

// One started main window for the whole run, loading each input from the same file.
struct LoadingWindow {
    QTemporaryDir folder;
    platform::Script script;
    Program program;
    std::unique_ptr<frmGraphMain> window;
    QString path;

    LoadingWindow()
    {
        registerApplicationFonts();
        window = std::make_unique<frmGraphMain>(program, platform::makeScriptedPlatform(script));
        window->setDocumentsFolder(folder.path());
        window->setSplashDelay(0);
        window->Form_Load();
        path = folder.filePath(QStringLiteral("input.wqz"));
    }
};

LoadingWindow &Window()
{
    static int argc = 1;
    static char name[] = "document_fuzz";
    static char *argv[] = {name, nullptr};
    static QApplication *app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    (void)app;
    static LoadingWindow window;
    return window;
}

void CheckLoad(std::string_view text, const DocumentReadResult &r)
{
    LoadingWindow &w = Window();
    {
        QFile file(w.path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        file.write(text.data(), qint64(text.size()));
    }
    w.script.messages.clear();
    w.script.openPaths.push_back(w.path);
    const auto start = std::chrono::steady_clock::now();
    w.window->mnuLoad_Click();
    const auto took = std::chrono::steady_clock::now() - start;
    // A load is bounded: the longest line replays its 1999 symbols, and nothing waits.
    if (took > std::chrono::seconds(3)) {
        std::fprintf(stderr, "a load took %lld ms\n",
                     static_cast<long long>(
                         std::chrono::duration_cast<std::chrono::milliseconds>(took).count()));
        std::abort();
    }

    const bool refused = text.size() > kMaxDocumentBytes || r.status == DocumentReadStatus::Invalid;
    if (w.script.messages.size() != (refused ? 1u : 0u))
        std::abort();
    if (r.status != DocumentReadStatus::Ok || refused)
        return;
    const FormulaTables &t = w.program.engine.tables;
    for (int i = 0; i < kEditedLines; ++i) {
        const std::string line = char2str_sym(t, i);
        if (line.size() > r.document.lines[std::size_t(i)].size() ||
            t.FormulaLen[std::size_t(i)] > kMaxSymbols)
            std::abort();  // the replay never adds a symbol
    }
    if (w.window->m_Regression->XYCount() != int(r.document.points.size()))
        std::abort();
    if (t.AllowTrigLetters || w.window->mnuGraphIt->isEnabled() != CanGraph(t))
        std::abort();  // the commands follow the loaded lines
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    const DocumentReadResult r = GraphDocumentCodec::Read(text);
    CheckReader(text, r);
    CheckLoad(text, r);
    return 0;
}
