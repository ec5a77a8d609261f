#include "typeset/fonts.h"
#include "workspace/dialogs/dialog_parts.h"
#include "workspace/frm_graph_main.h"
#include "workspace/platform/qt_platform.h"
#include "workspace/program.h"

#include <QApplication>
#include <QStringList>

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
    window.setCommandLine(rest.join(QLatin1Char(' ')));
    window.Form_Load();
    return app.exec();
}
