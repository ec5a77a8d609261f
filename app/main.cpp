#include "typeset/fonts.h"
#include "typeset/formula_typesetter.h"
#include "workspace/dialogs/dialog_parts.h"
#include "workspace/frm_graph_main.h"
#include "workspace/platform/qt_platform.h"
#include "workspace/program.h"

#include <QApplication>
#include <QEvent>
#include <QStringList>

#include <unistd.h>

namespace {

// For a test that starts the program: one line on stderr when the main window first paints.
// Painting needs a running event loop after start-up, which a read that hangs never reaches.
class FirstPaintReport final : public QObject
{
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            static constexpr char kLine[] = "linoveta: main window painted\n";
            [[maybe_unused]] const auto written = ::write(STDERR_FILENO, kLine, sizeof kLine - 1);
            watched->removeEventFilter(this);
        }
        return false;
    }
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    registerApplicationFonts();
    // Every window shows the program's icon; the desktop matches the running program to its
    // menu entry by this name.
    QApplication::setWindowIcon(linoveta::ProgramIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("linoveta"));

    // QApplication has taken its own options; the rest is the document to open.
    QStringList rest = QApplication::arguments();
    if (!rest.isEmpty())
        rest.removeFirst();

    linoveta::Program program;
    linoveta::frmGraphMain window(program, linoveta::platform::makeQtPlatform());
    FirstPaintReport report;
    if (qEnvironmentVariableIsSet("LINOVETA_REPORT_FIRST_PAINT"))
        window.installEventFilter(&report);
    window.setCommandLine(rest.join(QLatin1Char(' ')));
    // The typesetter's error message is one of the program's message boxes.
    program.formulaMessages.setRoute([&window](const QString &text) {
        window.services().messages->message(&window, text);
    });
    window.Form_Load();
    return app.exec();
}
