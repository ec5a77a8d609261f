// frmGraphMain: the plot picture and colour swatch controls, construction, start-up, close
// and the routing of the window's own events.

#include "workspace/frm_graph_main.h"
#include "workspace/frm_graph_main_shared.h"
#include "workspace/dialogs/dialog_commands.h"

#include "engine/formula_tables.h"
#include "engine/key_handler.h"
#include "engine/number_text.h"
#include "typeset/formula_typesetter.h"
#include "typeset/surface_view.h"
#include "workspace/dialogs/dialog_parts.h"
#include "workspace/dialogs/frm_logo.h"
#include "workspace/dialogs/frm_print_setup.h"
#include "workspace/graph_commands.h"
#include "workspace/menu_mark_style.h"
#include "workspace/point_panel.h"
#include "workspace/point_series.h"
#include "workspace/printing.h"
#include "workspace/program.h"
#include "workspace/regression_object.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QObject>
#include <QPainter>
#include <QStandardPaths>
#include <QUuid>
#include <QWindow>

#include <algorithm>

namespace linoveta {

using namespace main_window;

namespace {

// Whether files can be created in `folder` (permission bits do not tell for root).
bool canWriteIn(const QString &folder)
{
    QFile probe(folder + QStringLiteral("/.write-test-") + QUuid::createUuid().toString(QUuid::Id128));
    if (!probe.open(QIODevice::WriteOnly))
        return false;
    probe.close();
    probe.remove();
    return true;
}

// "Saved Problems" in the user's documents folder, or in the program's data folder when that
// one cannot hold files (a plain file of that name, a read-only folder). Empty when neither
// can: start-up goes on without it.
QString MakeSavedProblemsFolder(const QString &documents)
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    for (const QString &parent : {documents, data}) {
        // An empty or relative parent would put the user's files wherever the program started.
        if (parent.isEmpty() || QDir::isRelativePath(parent))
            continue;
        const QString folder = QDir(parent).filePath(QStringLiteral("Saved Problems"));
        if (!QFileInfo::exists(folder))
            QDir().mkpath(folder);
        if (QFileInfo(folder).isDir() && canWriteIn(folder))
            return folder;
    }
    return {};
}

// The old key code of a key on the plot: the panning keys' own codes, letters, digits and the
// space as their character codes, 0 for keys that have no code the handler looks at.
int plotKeyCode(int qtKey)
{
    if (const int code = FormulaBox::windowKeyCode(qtKey))
        return code;
    if (qtKey == Qt::Key_Space || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) ||
        (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z))
        return qtKey;
    return 0;
}

} // namespace

// ---------------------------------------------------------------- PlotPicture

PlotPicture::PlotPicture(QWidget *parent) : SurfaceWidget(QSize(400, 400), parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
}

void PlotPicture::displayRatioChanged()
{
    surface().resize(surface().sizePixels().toSize(), PictureRatio(*this));
}

void PlotPicture::emitMouse(QMouseEvent *event, int kind)
{
    // Presses and releases name their own button, moves the buttons held.
    const Qt::MouseButtons buttons = kind == 1 ? event->buttons() : Qt::MouseButtons(event->button());
    int button = 0;
    if (buttons & Qt::LeftButton)
        button |= 1;
    if (buttons & Qt::RightButton)
        button |= 2;
    if (buttons & Qt::MiddleButton)
        button |= 4;
    const int shift = FormulaBox::shiftState(event->modifiers());
    // The old events gave the pointer in the picture's user scale, single precision.
    const QPointF user = surface().fromDevice(event->position());
    const float x = float(user.x());
    const float y = float(user.y());
    if (kind == 0)
        emit mouseDown(button, shift, x, y);
    else if (kind == 1)
        emit mouseMove(button, shift, x, y);
    else
        emit mouseUp(button, shift, x, y);
}

void PlotPicture::mousePressEvent(QMouseEvent *event)
{
    setFocus(Qt::MouseFocusReason);
    emitMouse(event, 0);
}

void PlotPicture::mouseMoveEvent(QMouseEvent *event) { emitMouse(event, 1); }

void PlotPicture::mouseReleaseEvent(QMouseEvent *event) { emitMouse(event, 2); }

void PlotPicture::keyPressEvent(QKeyEvent *event)
{
    // Every key on the plot reaches the handler: eight of them pan, and all of them redraw.
    emit keyDown(plotKeyCode(event->key()), FormulaBox::shiftState(event->modifiers()));
}

// ---------------------------------------------------------------- ColorSwatch

ColorSwatch::ColorSwatch(int index, QWidget *parent) : QWidget(parent), m_index(index)
{
    setToolTip(QStringLiteral("Click here to change color."));
}

void ColorSwatch::setBackColor(RgbValue colour)
{
    m_colour = colour;
    update();
}

void ColorSwatch::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), colourFromRgbValue(m_colour));
    painter.setPen(QColor(64, 64, 64));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void ColorSwatch::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit clicked(m_index);
}

// ---------------------------------------------------------------- frmGraphMain

frmGraphMain::frmGraphMain(Program &program, platform::Platform platform, QWidget *parent)
    : QMainWindow(parent), m_program(program), m_platform(std::move(platform))
{
    setWindowTitle(QStringLiteral("Talvoran - Linoveta"));
    // The dialogs opened over this window show its icon too.
    setWindowIcon(ProgramIcon());
    buildLayout();
    buildMenus();
    buildToolbar();
    InstallFillRange(*this);
    m_documentsFolder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

frmGraphMain::~frmGraphMain()
{
    // Hiding the children while the window goes sends focus-out events; they must not reach
    // a half-destroyed window.
    for (QObject *child : findChildren<QObject *>())
        disconnect(child, nullptr, this, nullptr);
}

// ---------------------------------------------------------------- start-up and close

void frmGraphMain::Form_Load()
{
    m_program.CommandFile = m_commandLine.trimmed();                        // 1
    InitPointGrid(*MSFlexGrid1);                                            // 2
    Combo1->setCurrentIndex(0);                                             // 3
    m_Regression = std::make_unique<RegressionObject>();                    // 4
    m_Regression->Degree(1);
    makePointPanel();
    m_program.graph.XMin = -20;                                             // 5
    m_program.graph.XMax = 20;
    m_program.graph.YMin = -20;
    m_program.graph.YMax = 20;
    for (int index : {1, 12, 13})                                           // 6
        toolbarButtons[index].action->setEnabled(false);
    mnuGraphIt->setEnabled(false);
    mnuEvaluate->setEnabled(false);
    mnuShade->setEnabled(false);
    // 7 and 13: every line starts complete, line 0 too: an empty line never blocks graphing,
    // and with no symbols anywhere nothing can be graphed yet. Marked incomplete, an untouched
    // box 0 would keep Graph off while only another box holds a formula. The start-up key
    // mask comes with it; the splash below is modal, so no key arrives before step 13.
    m_program.engine.Start();
    // 8: no system-wide font setting is touched; our own text is drawn antialiased.
    centralWidget()->update();                                              // 9

    // 10: the user's documents folder stands in for the program's: a build tree or a folder on
    // PATH is no place for documents.
    m_savedProblems = MakeSavedProblemsFolder(m_documentsFolder);

    showSplash();                                                           // 11
    GraphFunctions();                                                       // 12
    show();                                                                 // 14
    if (!m_program.CommandFile.isEmpty()) {                                 // 15
        // A message about the document must appear centred over the placed window, so the
        // window manager is given the time to map and place it first.
        QElapsedTimer waited;
        waited.start();
        while (!(windowHandle() && windowHandle()->isExposed()) && waited.elapsed() < 3000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QCoreApplication::processEvents();
        mnuLoad_Click();
    }
    m_program.CommandFile.clear();
    Paper[0]->setFocus(Qt::OtherFocusReason);                               // 16
    if (isActiveWindow() && QApplication::focusWidget() == Paper[0])
        return;
    // Without window activation no focus event arrives; the box is still the current line.
    Paper_GotFocus(0);
}

void frmGraphMain::showSplash()
{
    frmLogo splash(this);
    m_platform.splash->run(splash, m_splashDelay);
}

void frmGraphMain::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    event->accept();
}

void frmGraphMain::Form_Unload()
{
    // The evaluator, Evaluate f(x) and Regression Equation windows go with the main window, and
    // so does every other window still open (Print Options, help), so the run ends.
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w != this && w->isVisible())
            w->close();
    }
}

void frmGraphMain::mnuGraphExit_Click()
{
    // Exit ends the run: it closes the window, as its close box does.
    close();
}

bool frmGraphMain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Label2 && event->type() == QEvent::MouseButtonPress) {
        Label2_Click();
        return true;
    }
    if ((watched == Text2 || watched == Text3) && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (watched == Text2)
                Text2_KeyPress(13);
            else
                Text3_KeyPress(13);
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace linoveta
