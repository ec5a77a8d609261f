#include "typeset/fonts.h"
#include "typeset/formula_typesetter.h"
#include "workspace/frm_graph_main.h"
#include "workspace/platform/qt_platform.h"
#include "workspace/program.h"

#include <QApplication>
#include <QStringList>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    registerApplicationFonts();

    // QApplication has taken its own options; the rest is the document to open.
    QStringList rest = QApplication::arguments();
    if (!rest.isEmpty())
        rest.removeFirst();

    linoveta::Program program;
    linoveta::frmGraphMain window(program, linoveta::platform::makeQtPlatform());
    window.setCommandLine(rest.join(QLatin1Char(' ')));
    // The typesetter's error message is one of the program's message boxes.
    setFormulaMessageSink([&window](const QString &text) {
        window.services().messages->message(&window, text);
    });
    window.Form_Load();
    return app.exec();
}
