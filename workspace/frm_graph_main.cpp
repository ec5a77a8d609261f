#include "workspace/frm_graph_main.h"
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
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QCursor>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <QStandardPaths>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QUuid>
#include <QWindow>

#include <algorithm>

namespace linoveta {
namespace {

constexpr int kClientWidth = 11400;
constexpr int kClientHeight = 7065;
constexpr int kRowStep = 840;
constexpr int kBlinkerLeft = 4680;
constexpr int kBlinkerStartTop = 1700;
constexpr RgbValue kWhite = 0xFFFFFF;
constexpr RgbValue kFocusYellow = 0x80FFFF;
constexpr std::array<RgbValue, 7> kDefaultSwatchColours = {
    255, 0xFF0000, 0xC000, 0xFF00FF, 0x80FF, 255, 0xFF0000};
constexpr RgbValue kDefaultGridColour = 16766596;   // &HFFD684
constexpr RgbValue kDefaultShadeColour = 14737632;  // &HE0E0E0
constexpr int kFormulaLinesShown = 5;

QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(twips(left), twips(top), twips(width), twips(height));
}

// The window's background: the wood texture stretched to the screen's size from the client
// area's (0, 0). `origin` is where that corner lies in the painted widget.
void paintWood(QPainter &painter, const QWidget &client, QPoint origin)
{
    static const QImage wood(QStringLiteral(":/images/wood.png"));
    QSize target = client.size();
    if (const QScreen *s = client.screen())
        target = target.expandedTo(s->size());
    if (wood.isNull())
        painter.fillRect(QRect(origin, target), QColor(196, 160, 112));
    else
        painter.drawImage(QRect(origin, target), wood);
}

class Backdrop : public QWidget
{
public:
    explicit Backdrop(QWidget *parent) : QWidget(parent) {}

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        paintWood(painter, *this, QPoint(0, 0));
    }
};

// A frame of the point-series panel: opaque, so the formula boxes and the new-line button
// behind it do not show through, with the window's own wood as its background.
class PanelFrame : public QGroupBox
{
public:
    PanelFrame(const QString &title, QWidget *client) : QGroupBox(title, client), m_client(client)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        {
            QPainter painter(this);
            paintWood(painter, *m_client, -mapTo(m_client, QPoint(0, 0)));
        }
        QGroupBox::paintEvent(event);
    }

private:
    QWidget *m_client;
};

QIcon toolbarIcon(const QString &image)
{
    QIcon icon;
    const QString base = QStringLiteral(":/images/toolbar/") + image;
    AddResourcePicture(icon, base + QStringLiteral(".png"), QIcon::Normal);
    AddResourcePicture(icon, base + QStringLiteral("_disabled.png"), QIcon::Disabled);
    AddResourcePicture(icon, base + QStringLiteral("_hot.png"), QIcon::Active);
    return icon;
}

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

QString decimalText(RgbValue value) { return QString::number(value); }

RgbValue numberValue(const std::string &text)
{
    bool ok = false;
    const qlonglong v = QString::fromStdString(text).trimmed().toLongLong(&ok);
    return ok ? RgbValue(v) : 0;
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

PlotPicture::PlotPicture(QWidget *parent)
    : QWidget(parent), m_surface(QSize(400, 400), 0xFFFFFF, PictureRatio(*this))
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    m_surface.setScaleMode(ScaleMode::Pixels);
    m_surface.setChangedCallback([this] {
        if (m_repaintRequested)
            return;
        m_repaintRequested = true;
        update();
    });
}

void PlotPicture::setBackColor(RgbValue colour)
{
    m_surface.setBackColor(colour);
    m_surface.cls();
    update();
}

void PlotPicture::paintEvent(QPaintEvent *)
{
    m_repaintRequested = false;
    QPainter painter(this);
    PaintSurface(painter, m_surface);
    if (PictureRatio(*this) != m_surface.devicePixelRatio())
        QMetaObject::invokeMethod(this, &PlotPicture::adoptDisplayRatio, Qt::QueuedConnection);
}

void PlotPicture::adoptDisplayRatio()
{
    // The plot keeps its picture, scaled to the new ratio; the next redraw is sharp again.
    m_surface.resize(m_surface.sizePixels().toSize(), PictureRatio(*this));
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
    const QPointF user = m_surface.fromDevice(event->position());
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
    m_programFolder = QCoreApplication::applicationDirPath();
}

frmGraphMain::~frmGraphMain()
{
    // Hiding the children while the window goes sends focus-out events; they must not reach
    // a half-destroyed window.
    for (QObject *child : findChildren<QObject *>())
        disconnect(child, nullptr, this, nullptr);
}

void frmGraphMain::buildLayout()
{
    auto *client = new Backdrop(this);
    client->setFixedSize(twips(kClientWidth), twips(kClientHeight));
    setCentralWidget(client);
    if (layout())
        layout()->setSizeConstraint(QLayout::SetFixedSize);

    const QFont symbolFont(QStringLiteral("TalvoranFont"), 12);
    for (int i = 0; i < kFormulaLinesShown; ++i) {
        Label1[i] = new QLabel(QStringLiteral("f(x)="), client);
        Label1[i]->setFont(symbolFont);
        Label1[i]->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        Label1[i]->setGeometry(twipsRect(120, 1080 + kRowStep * i, 855, 375));

        Paper[i] = new FormulaBox(i, client);
        Paper[i]->setGeometry(twipsRect(840, 960 + kRowStep * i, 4335, 615));
        connect(Paper[i], &FormulaBox::gotFocus, this, &frmGraphMain::Paper_GotFocus);
        connect(Paper[i], &FormulaBox::lostFocus, this, &frmGraphMain::Paper_LostFocus);
        connect(Paper[i], &FormulaBox::keyDown, this, &frmGraphMain::Paper_KeyDown);
        connect(Paper[i], &FormulaBox::keyPress, this, &frmGraphMain::Paper_KeyPress);
        connect(Paper[i], &FormulaBox::pictureRatioChanged, this,
                [this] { RedrawFormulaBoxes(); });

        Picture1[i] = new ColorSwatch(i, client);
        Picture1[i]->setGeometry(twipsRect(120, 1320 + kRowStep * i, 615, 255));
        Picture1[i]->setBackColor(kDefaultSwatchColours[i]);
        connect(Picture1[i], &ColorSwatch::clicked, this, &frmGraphMain::Picture1_Click);

        if (i > 0) {
            Label1[i]->hide();
            Paper[i]->hide();
            Picture1[i]->hide();
        }
    }

    Blinker = new QPushButton(client);
    Blinker->setObjectName(QStringLiteral("Blinker"));
    Blinker->setToolTip(QStringLiteral("Insert new function."));
    Blinker->setIcon(ResourceIcon(QStringLiteral(":/images/new_line.png")));
    Blinker->setIconSize(QSize(27, 27));
    Blinker->resize(33, 33);
    connect(Blinker, &QPushButton::clicked, this, &frmGraphMain::Blinker_Click);
    placeBlinker();

    Shape1 = new QFrame(client);
    Shape1->setFrameShape(QFrame::Box);
    Shape1->setGeometry(twipsRect(5270, 960, 6030, 6030));
    frmGraph = new PlotPicture(client);
    frmGraph->setObjectName(QStringLiteral("frmGraph"));
    frmGraph->setGeometry(twipsRect(5280, 975, 6000, 6000));
    connect(frmGraph, &PlotPicture::keyDown, this, &frmGraphMain::frmGraph_KeyDown);
    connect(frmGraph, &PlotPicture::mouseDown, this, &frmGraphMain::frmGraph_MouseDown);
    connect(frmGraph, &PlotPicture::mouseMove, this, &frmGraphMain::frmGraph_MouseMove);
    connect(frmGraph, &PlotPicture::mouseUp, this, &frmGraphMain::frmGraph_MouseUp);

    ListView1 = new QTreeWidget(frmGraph);
    ListView1->setHeaderLabels({QStringLiteral("Coordinates:")});
    ListView1->setRootIsDecorated(false);
    ListView1->hide();

    auto zoomButton = [client](QPushButton *&button, QFrame *&frame, int left, const QString &tip,
                               const QString &image) {
        frame = new QFrame(client);
        frame->setFrameShape(QFrame::Box);
        frame->setGeometry(twipsRect(left - 15, 6225, 765, 765));
        button = new QPushButton(client);
        button->setGeometry(twipsRect(left, 6240, 735, 735));
        button->setToolTip(tip);
        button->setIcon(ResourceIcon(image));
        button->setIconSize(QSize(44, 44));
    };
    zoomButton(Command2, Shape2, 3600, QStringLiteral("Click to zoom in graph."),
               QStringLiteral(":/images/zoom_in.png"));
    zoomButton(Command6, Shape3, 4440, QStringLiteral("Click to zoom out graph."),
               QStringLiteral(":/images/zoom_out.png"));
    connect(Command2, &QPushButton::clicked, this, &frmGraphMain::Command2_Click);
    connect(Command6, &QPushButton::clicked, this, &frmGraphMain::Command6_Click);

    Label2 = new QLabel(QStringLiteral("x = 0    y = 0"), client);
    QFont readoutFont(QStringLiteral("MS Sans Serif"));
    readoutFont.setPointSizeF(9.75);
    readoutFont.setBold(true);
    Label2->setFont(readoutFont);
    Label2->setGeometry(twipsRect(120, 6690, 3375, 300));
    Label2->installEventFilter(this);

    Slider1 = new QSlider(Qt::Horizontal, client);
    Slider1->setRange(1, 10);
    Slider1->setValue(1);
    Slider1->setToolTip(QStringLiteral("Slide to adjust drawing width."));
    Slider1->setGeometry(twipsRect(2040, 6240, 975, 435));
    Slider1->hide();
    connect(Slider1, &QSlider::valueChanged, this, &frmGraphMain::Slider1_Change);

    // Point-series panel.
    Check1 = new QCheckBox(QStringLiteral("Regression"), client);
    Check1->setGeometry(twipsRect(720, 6240, 1095, 255));
    Check1->hide();

    MSFlexGrid1 = new QTableWidget(2, 2, client);
    MSFlexGrid1->horizontalHeader()->hide();
    MSFlexGrid1->verticalHeader()->hide();
    MSFlexGrid1->setGeometry(twipsRect(120, 1080, 1920, 5010));
    MSFlexGrid1->hide();

    Frame1 = new PanelFrame(QStringLiteral("Insert Point"), client);
    Frame1->setGeometry(twipsRect(2160, 1080, 2655, 1530));
    auto *labelX = new QLabel(QStringLiteral("X"), Frame1);
    labelX->setGeometry(12, 24, 16, 20);
    Text2 = new QLineEdit(Frame1);
    Text2->setGeometry(30, 22, 70, 22);
    auto *labelY = new QLabel(QStringLiteral("Y"), Frame1);
    labelY->setGeometry(12, 56, 16, 20);
    Text3 = new QLineEdit(Frame1);
    Text3->setGeometry(30, 54, 70, 22);
    Command4 = new QPushButton(QStringLiteral("Insert"), Frame1);
    Command4->setGeometry(108, 36, 60, 26);
    Text2->installEventFilter(this);
    Text3->installEventFilter(this);
    Frame1->hide();

    Frame3 = new PanelFrame(QStringLiteral("Colors"), client);
    Frame3->setGeometry(twipsRect(2160, 2640, 2655, 735));
    auto *lineLabel = new QLabel(QStringLiteral("Line:"), Frame3);
    lineLabel->setGeometry(8, 20, 34, 18);
    auto *pointsLabel = new QLabel(QStringLiteral("Points:"), Frame3);
    pointsLabel->setGeometry(88, 20, 44, 18);
    for (int i = 5; i <= 6; ++i) {
        Picture1[i] = new ColorSwatch(i, Frame3);
        Picture1[i]->setGeometry(i == 5 ? 44 : 134, 21, 36, 17);
        Picture1[i]->setBackColor(kDefaultSwatchColours[i]);
        connect(Picture1[i], &ColorSwatch::clicked, this, &frmGraphMain::Picture1_Click);
    }
    Frame3->hide();

    Frame2 = new PanelFrame(QStringLiteral("Trend Type"), client);
    Frame2->setGeometry(twipsRect(2160, 3375, 2655, 1695));
    Command1 = new QRadioButton(QStringLiteral("Linear"), Frame2);
    Command1->setGeometry(12, 22, 150, 20);
    Command1->setChecked(true);
    Command3 = new QRadioButton(QStringLiteral("Polynomial"), Frame2);
    Command3->setGeometry(12, 46, 150, 20);
    auto *orderLabel = new QLabel(QStringLiteral("Order:"), Frame2);
    orderLabel->setGeometry(30, 76, 44, 20);
    Combo1 = new QComboBox(Frame2);
    for (int order = 2; order <= 10; ++order)
        Combo1->addItem(QString::number(order));
    Combo1->setGeometry(80, 74, 60, 22);
    Frame2->hide();

    Command5 = new QPushButton(QStringLiteral("Regression Function"), client);
    Command5->setGeometry(twipsRect(2160, 5175, 2655, 345));
    Command5->hide();
    Command7 = new QPushButton(QStringLiteral("Exit"), client);
    Command7->setGeometry(twipsRect(2160, 5655, 2655, 345));
    Command7->hide();

    // Formula colours stay with the window; grid and shading start as Default Colors sets them.
    m_program.graph.GridColor = WholeNumberText(kDefaultGridColour);
    m_program.graph.ShadeColor = WholeNumberText(kDefaultShadeColour);
}

void frmGraphMain::buildMenus()
{
    QMenuBar *bar = menuBar();
    auto item = [this](QMenu *menu, QAction *&action, const char *name, const QString &caption,
                       const QKeySequence &shortcut, void (frmGraphMain::*handler)()) {
        action = menu->addAction(caption);
        action->setObjectName(QLatin1String(name));
        if (!shortcut.isEmpty())
            action->setShortcut(shortcut);
        // The handlers set the check marks themselves, as the old menus did; the toggle Qt
        // makes on a checkable item is undone first.
        if (handler)
            connect(action, &QAction::triggered, this, [this, action, handler] {
                if (action->isCheckable())
                    action->setChecked(!action->isChecked());
                (this->*handler)();
            });
    };
    auto separator = [](QMenu *menu, const char *name) {
        menu->addSeparator()->setObjectName(QLatin1String(name));
    };
    auto submenu = [](QMenu *parent, QAction *&action, const char *name, const QString &caption) {
        QMenu *menu = parent->addMenu(caption);
        menu->setObjectName(QLatin1String(name) + QStringLiteral("Menu"));
        action = menu->menuAction();
        action->setObjectName(QLatin1String(name));
        return menu;
    };
    auto top = [bar](const char *name, const QString &caption) {
        QMenu *menu = bar->addMenu(caption);
        menu->setObjectName(QLatin1String(name));
        menu->menuAction()->setObjectName(QLatin1String(name));
        return menu;
    };
    const QKeySequence none;
    const auto ctrl = [](int key) { return QKeySequence(Qt::CTRL | Qt::Key(key)); };

    mnuGraphFile = top("mnuGraphFile", QStringLiteral("&File"));
    item(mnuGraphFile, mnuGraphPrint, "mnuGraphPrint", QStringLiteral("&Print Graph"), ctrl(Qt::Key_P),
         &frmGraphMain::mnuGraphPrint_Click);
    item(mnuGraphFile, mnuGraphPrintSetup, "mnuGraphPrintSetup", QStringLiteral("Print &Setup"), none,
         &frmGraphMain::mnuGraphPrintSetup_Click);
    separator(mnuGraphFile, "mnuGraphBreak1");
    item(mnuGraphFile, mnuSave, "mnuSave", QStringLiteral("Save Graph Data"), ctrl(Qt::Key_S),
         &frmGraphMain::mnuSave_Click);
    item(mnuGraphFile, mnuLoad, "mnuLoad", QStringLiteral("Load Graph Data"), ctrl(Qt::Key_L),
         &frmGraphMain::mnuLoad_Click);
    separator(mnuGraphFile, "mnuGGFe");
    item(mnuGraphFile, mnuBitMap, "mnuBitMap", QStringLiteral("Save Graph As Bitmap"), none,
         &frmGraphMain::mnuBitMap_Click);
    separator(mnuGraphFile, "qht");
    item(mnuGraphFile, mnuGraphExit, "mnuGraphExit", QStringLiteral("&Exit"), ctrl(Qt::Key_X),
         &frmGraphMain::mnuGraphExit_Click);

    mnuFunctions = top("mnuFunctions", QStringLiteral("F&unctions"));
    item(mnuFunctions, mnuGraphIt, "mnuGraphIt", QStringLiteral("&Graph!"), QKeySequence(Qt::Key_F3),
         &frmGraphMain::mnuGraphIt_Click);
    separator(mnuFunctions, "abc");
    item(mnuFunctions, mnuInsertF, "mnuInsertF", QStringLiteral("&Insert Function"),
         QKeySequence(Qt::Key_F4), &frmGraphMain::mnuInsertF_Click);
    item(mnuFunctions, mnuClearData, "mnuClearData", QStringLiteral("Clear &Data"), ctrl(Qt::Key_C),
         &frmGraphMain::mnuClearData_Click);
    separator(mnuFunctions, "aji");
    item(mnuFunctions, mnuExponent, "mnuExponent", QStringLiteral("Insert &Exponent (^)"), none,
         &frmGraphMain::mnuExponent_Click);
    item(mnuFunctions, mnuRoot, "mnuRoot", QStringLiteral("Insert &Root"), ctrl(Qt::Key_R),
         &frmGraphMain::mnuRoot_Click);
    item(mnuFunctions, mnuInsertPi, "mnuInsertPi", QStringLiteral("Insert &Pi"), ctrl(Qt::Key_I),
         &frmGraphMain::mnuInsertPi_Click);
    item(mnuFunctions, mnuInsertAbs, "mnuInsertAbs", QStringLiteral("Insert Absolute &Value (|)"), none,
         &frmGraphMain::mnuInsertAbs_Click);
    mnuTrigMenu = submenu(mnuFunctions, mnuTrig, "mnuTrig", QStringLiteral("Insert &Trig Functions"));
    item(mnuTrigMenu, mnuSin, "mnuSin", QStringLiteral("Insert &Sine"), ctrl(Qt::Key_F1),
         &frmGraphMain::mnuSin_Click);
    item(mnuTrigMenu, mnuCos, "mnuCos", QStringLiteral("Insert &Cosine"), ctrl(Qt::Key_F2),
         &frmGraphMain::mnuCos_Click);
    item(mnuTrigMenu, mnuTan, "mnuTan", QStringLiteral("Insert &Tangent"), ctrl(Qt::Key_F3),
         &frmGraphMain::mnuTan_Click);
    separator(mnuFunctions, "ziu");
    item(mnuFunctions, mnuEvaluate, "mnuEvaluate", QStringLiteral("Evaluate &f(x)"),
         QKeySequence(Qt::Key_F5), &frmGraphMain::mnuEvaluate_Click);
    item(mnuFunctions, mnuShade, "mnuShade", QStringLiteral("Calculate &Area"), QKeySequence(Qt::Key_F6),
         &frmGraphMain::mnuShade_Click);
    separator(mnuFunctions, "pop");
    item(mnuFunctions, mnuPtSeries, "mnuPtSeries", QStringLiteral("Regression Anal&ysis"),
         QKeySequence(Qt::Key_F7), &frmGraphMain::mnuPtSeries_Click);
    mnuPtSeries->setCheckable(true);

    mnuGraphOptions = top("mnuGraphOptions", QStringLiteral("Graph &Options"));
    item(mnuGraphOptions, mnuToggleCoordinates, "mnuToggleCoordinates", QStringLiteral("Toggle &Coordinates"),
         QKeySequence(Qt::Key_F8), &frmGraphMain::mnuToggleCoordinates_Click);
    mnuToggleCoordinates->setCheckable(true);
    item(mnuGraphOptions, mnuGraphQuadrant, "mnuGraphQuadrant", QStringLiteral("Toggle &Quadrants"),
         QKeySequence(Qt::Key_F9), &frmGraphMain::mnuGraphQuadrant_Click);
    mnuGraphQuadrant->setCheckable(true);
    separator(mnuGraphOptions, "mnuGraphBreak2");
    item(mnuGraphOptions, mnuHideGrid, "mnuHideGrid", QStringLiteral("&Hide Grid"), ctrl(Qt::Key_H),
         &frmGraphMain::mnuHideGrid_Click);
    mnuHideGrid->setCheckable(true);
    mnuGraphSettingsMenu = submenu(mnuGraphOptions, mnuGraphSettings, "mnuGraphSettings",
                                   QStringLiteral("&Change Colors"));
    item(mnuGraphSettingsMenu, mnuGraphGridColor, "mnuGraphGridColor", QStringLiteral("&Grid Color"), none,
         &frmGraphMain::mnuGraphGridColor_Click);
    item(mnuGraphSettingsMenu, mnuBackColor, "mnuBackColor", QStringLiteral("&Background Color"), none,
         &frmGraphMain::mnuBackColor_Click);
    separator(mnuGraphSettingsMenu, "mnuGraphBreak5");
    item(mnuGraphSettingsMenu, mnuGraphDefault, "mnuGraphDefault", QStringLiteral("&Default Colors"),
         ctrl(Qt::Key_D), &frmGraphMain::mnuGraphDefault_Click);
    separator(mnuGraphOptions, "faege");
    item(mnuGraphOptions, mnuLineW, "mnuLineW", QStringLiteral("Line Width"), none,
         &frmGraphMain::mnuLineW_Click);

    mnuGraphWindowMenu = top("mnuGraphWindow", QStringLiteral("Graph &Window"));
    mnuGraphWindow = mnuGraphWindowMenu->menuAction();
    item(mnuGraphWindowMenu, mnuGraphReset, "mnuGraphReset", QStringLiteral("&Reset"), none,
         &frmGraphMain::mnuGraphReset_Click);
    separator(mnuGraphWindowMenu, "mnuGraphBreak3");
    item(mnuGraphWindowMenu, mnuGraphZoomIn, "mnuGraphZoomIn", QStringLiteral("Zoom &In"), none,
         &frmGraphMain::mnuGraphZoomIn_Click);
    item(mnuGraphWindowMenu, mnuGraphZoomOut, "mnuGraphZoomOut", QStringLiteral("Zoom &Out"), none,
         &frmGraphMain::mnuGraphZoomOut_Click);

    mnuHelp = top("mnuHelp", QStringLiteral("&Help"));
    item(mnuHelp, mnuHelpTopics, "mnuHelpTopics", QStringLiteral("Help &Topics"), none,
         &frmGraphMain::mnuHelpTopics_Click);
    mnuWebMenu = submenu(mnuHelp, mnuWeb, "mnuWeb", QStringLiteral("Talvoran on the &Web"));
    item(mnuWebMenu, mnuLinoveta, "mnuLinoveta", QStringLiteral("&Linoveta"), none,
         &frmGraphMain::mnuLinoveta_Click);
    item(mnuWebMenu, mnuHomePage, "mnuHomePage", QStringLiteral("Talvoran &Home Page"), none,
         &frmGraphMain::mnuHomePage_Click);
    separator(mnuWebMenu, "mnubebe");
    item(mnuWebMenu, mnuOnlineSupport, "mnuOnlineSupport", QStringLiteral("Online Support"), none,
         &frmGraphMain::mnuOnlineSupport_Click);
    separator(mnuHelp, "mnuhyhy");
    item(mnuHelp, mnuAbout, "mnuAbout", QStringLiteral("&About Linoveta"), none,
         &frmGraphMain::mnuAbout_Click);

    // Hidden from the menu bar: only the read-out's pop-up.
    mnuRoundOptions = new QMenu(QStringLiteral("Round Options"), this);
    mnuRoundOptions->setObjectName(QStringLiteral("mnuRoundOptions"));
    item(mnuRoundOptions, mnuNearWhole, "mnuNearWhole", QStringLiteral("Round To Nearest Whole"), none,
         &frmGraphMain::mnuNearWhole_Click);
    item(mnuRoundOptions, mnuNearTen, "mnuNearTen", QStringLiteral("Round To Nearest Tenth"), none,
         &frmGraphMain::mnuNearTen_Click);
    mnuNearWhole->setCheckable(true);
    mnuNearTen->setCheckable(true);
    mnuNearWhole->setChecked(true);

    auto *marks = new MenuMarkStyle;
    marks->setParent(this);
    for (QMenu *menu : findChildren<QMenu *>())
        menu->setStyle(marks);
}

void frmGraphMain::buildToolbar()
{
    Toolbar1 = new QToolBar(centralWidget());
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setMovable(false);
    Toolbar1->setFloatable(false);
    Toolbar1->setIconSize(QSize(48, 48));
    Toolbar1->setGeometry(twipsRect(0, 0, kClientWidth, 840));

    struct ToolbarSlot {
        int index;
        const char *key;
        const char *tip;
        const char *menu[3];
    };
    // Keys and images start equal; separators and the placeholder have no key.
    static constexpr ToolbarSlot toolbarSlots[] = {
        {1, "graph", "Graph", {}},
        {2, "", "", {}},
        {3, "save", "Save", {}},
        {4, "open", "Open", {}},
        {5, "print", "Print", {}},
        {6, nullptr, nullptr, {}},
        {7, "clear", "Erase", {}},
        {8, nullptr, nullptr, {}},
        {9, "root", "Insert Root", {"Insert Root", "Insert Exponent", nullptr}},
        {10, "sin", "Insert Sine", {"Insert Sine", "Insert Cosine", "Insert Tangent"}},
        {11, nullptr, nullptr, {}},
        {12, "fx", "Evaluate f(x)", {}},
        {13, "area", "Calculate Area", {}},
        {14, "regress", "Regression Analysis", {}},
        {15, nullptr, nullptr, {}},
        {16, "web", "Talvoran On The Web", {}},
    };
    for (const ToolbarSlot &s : toolbarSlots) {
        ToolbarButton &b = toolbarButtons[s.index];
        if (s.key == nullptr) {
            Toolbar1->addSeparator();
            continue;
        }
        if (s.index == 2) {
            // The placeholder: a gap of a button's width that does nothing.
            auto *gap = new QWidget(Toolbar1);
            gap->setFixedSize(12, 48);
            Toolbar1->addWidget(gap);
            continue;
        }
        b.key = QLatin1String(s.key);
        b.image = b.key;
        b.toolTip = QLatin1String(s.tip);
        b.action = new QAction(toolbarIcon(b.image), b.toolTip, Toolbar1);
        b.action->setObjectName(QStringLiteral("Toolbar1_") + QString::number(s.index));
        b.action->setToolTip(b.toolTip);
        const int index = s.index;
        connect(b.action, &QAction::triggered, this, [this, index] { Toolbar1_ButtonClick(index); });
        if (s.menu[0] == nullptr) {
            Toolbar1->addAction(b.action);
            b.button = qobject_cast<QToolButton *>(Toolbar1->widgetForAction(b.action));
            continue;
        }
        b.button = new QToolButton(Toolbar1);
        b.button->setDefaultAction(b.action);
        b.button->setPopupMode(QToolButton::MenuButtonPopup);
        b.button->setIconSize(QSize(48, 48));
        b.button->setAutoRaise(true);
        auto *menu = new QMenu(b.button);
        for (const char *text : s.menu) {
            if (text == nullptr)
                break;
            const QString itemText = QLatin1String(text);
            QAction *choice = menu->addAction(itemText);
            connect(choice, &QAction::triggered, this, [this, itemText] { Toolbar1_ButtonMenuClick(itemText); });
        }
        b.button->setMenu(menu);
        Toolbar1->addWidget(b.button);
    }
}

void frmGraphMain::setToolbarFace(int index, const QString &key, const QString &toolTip)
{
    ToolbarButton &b = toolbarButtons[index];
    b.key = key;
    b.image = key;
    b.toolTip = toolTip;
    if (b.action) {
        b.action->setIcon(toolbarIcon(key));
        b.action->setToolTip(toolTip);
        b.action->setText(toolTip);
    }
}

void frmGraphMain::placeBlinker()
{
    Blinker->move(twips(kBlinkerLeft), twips(BlinkerTop));
}

// ---------------------------------------------------------------- start-up and close

void frmGraphMain::Form_Load()
{
    FormulaTables &t = m_program.engine.tables;

    m_program.CommandFile = m_commandLine.trimmed();                        // 1
    InitPointGrid();                                                        // 2
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
    t.FormulaIncomplete[0] = true;                                          // 7
    for (int i = 1; i < kCompletenessLines; ++i)
        t.FormulaIncomplete[i] = false;
    // 8: no system-wide font setting is touched; our own text is drawn antialiased.
    centralWidget()->update();                                              // 9

    // 10: documents go beside the program when that folder is usable, else in the user's data
    // folder; neither a read-only folder nor a plain file of that name stops start-up.
    const QString beside = QDir(m_programFolder).filePath(QStringLiteral("Saved Problems"));
    if (!QFileInfo::exists(beside))
        QDir().mkpath(beside);
    if (QFileInfo(beside).isDir() && canWriteIn(beside)) {
        m_savedProblems = beside;
    } else {
        const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        const QString fallback = QDir(data).filePath(QStringLiteral("Saved Problems"));
        m_savedProblems = QDir().mkpath(fallback) && QFileInfo(fallback).isDir() ? fallback : QString();
    }

    showSplash();                                                           // 11
    GraphFunctions();                                                       // 12
    t.KeyMask = BinToInt(kStartupKeyMaskText);                              // 13
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

// ---------------------------------------------------------------- formula boxes

void frmGraphMain::RedrawFormulaBoxes()
{
    FormulaTables &t = m_program.engine.tables;
    for (int i = 0; i < kFormulaLinesShown; ++i) {
        ImageSurface &surface = Paper[i]->surface();
        surface.cls();
        const std::string text = char2str_disp(t, i);
        if (!text.empty()) {
            basFprint::PrintFormula(QString::fromStdString(text), surface, false);
            t.LastFunction = std::int16_t(i);
        }
        Paper[i]->update();
    }
}

void frmGraphMain::Paper_GotFocus(int index)
{
    for (FormulaBox *box : Paper)
        box->setBackColor(kWhite);
    Paper[index]->setBackColor(kFocusYellow);
    m_program.engine.tables.CurrentFunction = std::int16_t(index);
    RedrawFormulaBoxes();
}

void frmGraphMain::Paper_LostFocus(int)
{
    for (FormulaBox *box : Paper)
        box->setBackColor(kWhite);
    RedrawFormulaBoxes();
}

void frmGraphMain::Paper_KeyDown(int, int keyCode, int shift)
{
    if (keyCode >= 33 && keyCode <= 40)
        frmGraph_KeyDown(keyCode, shift);
}

void frmGraphMain::Paper_KeyPress(int index, int keyAscii)
{
    linoveta::Paper_KeyPress(m_program.engine.tables, std::int16_t(index), std::int16_t(keyAscii), *this);
}

void frmGraphMain::sendKey(int keyAscii)
{
    Paper_KeyPress(m_program.engine.tables.CurrentFunction, keyAscii);
}

void frmGraphMain::Blinker_Click()
{
    int row = 0;
    for (int i = 1; i < kFormulaLinesShown; ++i) {
        if (Paper[i]->isHidden()) {
            row = i;
            break;
        }
    }
    // All five rows shown: there is nothing to add, and VisibleLines stays a valid row.
    if (row == 0)
        return;
    BlinkerTop += kRowStep;
    placeBlinker();
    Paper[row]->show();
    Label1[row]->show();
    Picture1[row]->show();
    if (row == 4)
        Blinker->hide();
    VisibleLines = row;
    if (m_program.AddingFromFile)
        return;
    const int current = m_program.engine.tables.CurrentFunction;
    const int next = current < 4 ? current + 1 : 4;
    Paper[next]->setFocus(Qt::OtherFocusReason);
    if (!isActiveWindow())
        Paper_GotFocus(next);
}

void frmGraphMain::mnuInsertF_Click() { Blinker_Click(); }
void frmGraphMain::mnuExponent_Click() { sendKey('^'); }
void frmGraphMain::mnuRoot_Click() { sendKey('~'); }
void frmGraphMain::mnuInsertAbs_Click() { sendKey('|'); }
void frmGraphMain::mnuInsertPi_Click() { sendKey('P'); }
void frmGraphMain::mnuSin_Click() { insertFunction('S'); }
void frmGraphMain::mnuCos_Click() { insertFunction('C'); }
void frmGraphMain::mnuTan_Click() { insertFunction('T'); }

void frmGraphMain::insertFunction(int letter)
{
    FormulaTables &t = m_program.engine.tables;
    t.AllowTrigLetters = true;
    sendKey(letter);
    const bool letterAccepted = t.KeyAccepted;
    t.AllowTrigLetters = false;
    if (!letterAccepted)
        return;
    sendKey('(');
    // A function name never stands without its "(".
    if (!t.KeyAccepted)
        sendKey(kKeyBackspace);
}

void frmGraphMain::mnuClearData_Click()
{
    if (m_platform.messages->question(this, QStringLiteral("Are you sure you would like to erase all the data?"))
        != platform::Answer::Yes)
        return;
    m_program.graph.UserWindow = false;
    toolbarButtons[1].action->setEnabled(false);
    mnuGraphIt->setEnabled(false);
    if (Check1->isChecked()) {
        ClearPointSeries();
        mnuGraphReset_Click();
        return;
    }
    FormulaTables &t = m_program.engine.tables;
    for (int i = 1; i < kFormulaLinesShown; ++i) {
        Paper[i]->hide();
        Label1[i]->hide();
        Picture1[i]->hide();
    }
    for (int i = 0; i < kFormulaLinesShown; ++i)
        str2char_expr(t, "", i);
    ClearPlotBuffers();
    m_program.ShadeOn = false;
    t.LastFunction = 0;
    t.CurrentFunction = 0;
    VisibleLines = 0;
    ClearAllFormulas(t);
    RedrawFormulaBoxes();
    mnuGraphReset_Click();
    BlinkerTop = kBlinkerStartTop;
    placeBlinker();
    Blinker->show();
    Paper[0]->setFocus(Qt::OtherFocusReason);
    if (!isActiveWindow())
        Paper_GotFocus(0);
}

void frmGraphMain::ClearPlotBuffers()
{
    BreakX.fill(0);
    BreakFlag.fill(false);
    BreakCount = 0;
}

void frmGraphMain::ClearFormulas()
{
    FormulaTables &t = m_program.engine.tables;
    ClearAllFormulas(t);
    ClearPlotBuffers();
    for (int i = 0; i < kFormulaLinesShown; ++i)
        str2char_expr(t, "", i);
}

void frmGraphMain::SetGraphCommandsEnabled(bool enabled)
{
    for (QAction *a : {toolbarButtons[1].action, toolbarButtons[12].action, toolbarButtons[13].action,
                       mnuGraphIt, mnuEvaluate, mnuShade})
        a->setEnabled(enabled);
}

void frmGraphMain::SetHiddenMirrors(const std::string &text5, const std::string &text6)
{
    Text5 = QString::fromStdString(text5);
    Text6 = QString::fromStdString(text6);
}

// ---------------------------------------------------------------- toolbar

void frmGraphMain::Toolbar1_ButtonClick(int index)
{
    if (index < 1 || index > 16)
        return;
    const QString key = toolbarButtons[index].key;
    if (key == QLatin1String("graph")) {
        if (Check1->isChecked())
            DrawPointSeries();
        else
            AutoFitGraph();
    } else if (key == QLatin1String("web")) {
        ShowHomePage();
    } else if (key == QLatin1String("zoomout")) {
        ZoomOut();
    } else if (key == QLatin1String("zoomin")) {
        ZoomIn();
    } else if (key == QLatin1String("clear")) {
        mnuClearData_Click();
    } else if (key == QLatin1String("print")) {
        mnuGraphPrint_Click();
    } else if (key == QLatin1String("save")) {
        mnuSave_Click();
    } else if (key == QLatin1String("open")) {
        mnuLoad_Click();
    } else if (key == QLatin1String("power")) {
        mnuExponent_Click();
    } else if (key == QLatin1String("root")) {
        mnuRoot_Click();
    } else if (key == QLatin1String("regress") || key == QLatin1String("gra")) {
        mnuPtSeries_Click();
    } else if (key == QLatin1String("area")) {
        mnuShade_Click();
    } else if (key == QLatin1String("fx")) {
        mnuEvaluate_Click();
    } else if (key == QLatin1String("sin")) {
        mnuSin_Click();
    } else if (key == QLatin1String("cos")) {
        mnuCos_Click();
    } else if (key == QLatin1String("tan")) {
        mnuTan_Click();
    }
}

void frmGraphMain::Toolbar1_ButtonMenuClick(const QString &itemText)
{
    if (itemText == QLatin1String("Insert Sine"))
        setToolbarFace(10, QStringLiteral("sin"), itemText);
    else if (itemText == QLatin1String("Insert Cosine"))
        setToolbarFace(10, QStringLiteral("cos"), itemText);
    else if (itemText == QLatin1String("Insert Tangent"))
        setToolbarFace(10, QStringLiteral("tan"), itemText);
    else if (itemText == QLatin1String("Insert Root"))
        setToolbarFace(9, QStringLiteral("root"), itemText);
    else if (itemText == QLatin1String("Insert Exponent"))
        setToolbarFace(9, QStringLiteral("power"), itemText);
}

// ---------------------------------------------------------------- colours and switches

void frmGraphMain::redrawAfterDisplayChange(bool fullRedraw)
{
    if (Check1->isChecked())
        DrawPointSeries();
    else if (fullRedraw)
        GraphFunctions();
    else
        formPaint();
}

void frmGraphMain::Picture1_Click(int index)
{
    if (index < 0 || index > 6)
        return;
    Picture1[index]->setBackColor(m_platform.colors->chooseColor(this, Picture1[index]->backColor()));
    redrawAfterDisplayChange(false);
}

void frmGraphMain::mnuGraphGridColor_Click()
{
    const RgbValue chosen = m_platform.colors->chooseColor(this, numberValue(m_program.graph.GridColor));
    m_program.graph.GridColor = decimalText(chosen).toStdString();
    redrawAfterDisplayChange(false);
}

void frmGraphMain::mnuBackColor_Click()
{
    frmGraph->setBackColor(m_platform.colors->chooseColor(this, frmGraph->backColor()));
    redrawAfterDisplayChange(false);
}

void frmGraphMain::mnuGraphDefault_Click()
{
    m_program.graph.GridColor = decimalText(kDefaultGridColour).toStdString();
    m_program.graph.ShadeColor = decimalText(kDefaultShadeColour).toStdString();
    frmGraph->setBackColor(kWhite);
    for (int i = 0; i < 7; ++i)
        Picture1[i]->setBackColor(kDefaultSwatchColours[i]);
    redrawAfterDisplayChange(false);
}

void frmGraphMain::mnuHideGrid_Click()
{
    mnuHideGrid->setChecked(!mnuHideGrid->isChecked());
    redrawAfterDisplayChange(true);
}

void frmGraphMain::mnuGraphQuadrant_Click()
{
    mnuGraphQuadrant->setChecked(!mnuGraphQuadrant->isChecked());
    redrawAfterDisplayChange(false);
}

void frmGraphMain::mnuToggleCoordinates_Click()
{
    const bool show = ListView1->isHidden();
    ListView1->setVisible(show);
    mnuToggleCoordinates->setChecked(show);
}

void frmGraphMain::Slider1_Change() { redrawAfterDisplayChange(true); }

void frmGraphMain::Label2_Click() { mnuRoundOptions->popup(QCursor::pos()); }

void frmGraphMain::mnuNearWhole_Click()
{
    m_program.graph.CoordDecimals = 0;
    mnuNearWhole->setChecked(true);
    mnuNearTen->setChecked(false);
}

void frmGraphMain::mnuNearTen_Click()
{
    m_program.graph.CoordDecimals = 1;
    mnuNearTen->setChecked(true);
    mnuNearWhole->setChecked(false);
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

void frmGraphMain::Text2_KeyPress(int keyAscii)
{
    if (keyAscii == 13)
        Text3->setFocus(Qt::OtherFocusReason);
}

void frmGraphMain::Text3_KeyPress(int keyAscii)
{
    if (keyAscii == 13)
        Command4->setFocus(Qt::OtherFocusReason);
}

// ---------------------------------------------------------------- help and web

void frmGraphMain::mnuHelpTopics_Click() { m_platform.help->showContents(this); }
void frmGraphMain::mnuLinoveta_Click() { m_platform.web->openAddress(platform::ProductPageAddress); }
void frmGraphMain::ShowHomePage() { m_platform.web->openAddress(platform::HomePageAddress); }
void frmGraphMain::mnuHomePage_Click() { ShowHomePage(); }
void frmGraphMain::mnuOnlineSupport_Click() { m_platform.web->openAddress(platform::SupportPageAddress); }

// ---------------------------------------------------------------- Calculate Area loop

void frmGraphMain::mnuShade_Click()
{
    if (!showFillRange)
        return;
    FormulaTables &t = m_program.engine.tables;
    // Each answer of Shade Area or a zoom reopens the window; a loop instead of the old nested
    // calls, so many reopenings cannot exhaust the stack.
    for (;;) {
        const int choice = showFillRange();
        if (choice == 1 || (choice == 2 && m_program.ShadeOn)) {
            m_program.ShadeOn = true;
            t.CurrentFunction = t.LastFunction;
            GraphFunctions();
        } else if (choice == 2) {
            t.CurrentFunction = t.LastFunction;
            GraphFunctions();
        } else {
            m_program.ShadeOn = false;
            GraphFunctions();
            return;
        }
    }
}

// ---------------------------------------------------------------- graph window, view and point series

// Graph window and view, plotter.
GraphCommands &frmGraphMain::graphCommands()
{
    if (!m_graphCommands)
        m_graphCommands = std::make_unique<GraphCommands>(*this);
    return *m_graphCommands;
}

void frmGraphMain::mnuGraphIt_Click() { graphCommands().mnuGraphIt_Click(); }
void frmGraphMain::GraphFunctions() { graphCommands().GraphFunctions(); }
void frmGraphMain::formPaint() { graphCommands().formPaint(); }
void frmGraphMain::AutoFitGraph() { graphCommands().AutoFitGraph(); }
void frmGraphMain::ZoomIn() { graphCommands().ZoomIn(); }
void frmGraphMain::ZoomOut() { graphCommands().ZoomOut(); }
void frmGraphMain::mnuGraphReset_Click() { graphCommands().mnuGraphReset_Click(); }
void frmGraphMain::mnuGraphZoomIn_Click() { ZoomIn(); }
void frmGraphMain::mnuGraphZoomOut_Click() { ZoomOut(); }
void frmGraphMain::Command2_Click() { graphCommands().Command2_Click(); }
void frmGraphMain::Command6_Click() { graphCommands().Command6_Click(); }
void frmGraphMain::frmGraph_KeyDown(int keyCode, int) { graphCommands().frmGraph_KeyDown(keyCode); }
void frmGraphMain::frmGraph_MouseDown(int button, int, float x, float y)
{
    graphCommands().frmGraph_MouseDown(button, x, y);
}
void frmGraphMain::frmGraph_MouseMove(int, int, float x, float y) { graphCommands().frmGraph_MouseMove(x, y); }
void frmGraphMain::frmGraph_MouseUp(int, int, float, float) { graphCommands().frmGraph_MouseUp(); }

// Point series.
void frmGraphMain::makePointPanel()
{
    PointPanelHooks hooks;
    hooks.graphFunctions = [this] { GraphFunctions(); };
    hooks.plot = [this]() -> Surface & { return frmGraph->surface(); };
    hooks.span = [this] {
        const GraphWindow &w = m_program.graph;
        return PlotSpan{frmGraph->surface().scaleLeft(), w.XMin, w.XMax, w.XStep};
    };
    hooks.style = [this] {
        return PointSeriesStyle{Picture1[5]->backColor(), Picture1[6]->backColor(),
                                Slider1->value(), m_program.graph.ShadeFillStyle};
    };
    hooks.message = [this](const QString &text) { m_platform.messages->message(this, text); };
    m_pointPanel = std::make_unique<PointSeriesPanel>(
        *m_Regression, PointList,
        PointPanelControls{Check1, MSFlexGrid1, Text2, Text3, Command1, Combo1,
                           {MSFlexGrid1, Frame1, Frame2, Frame3, Command5, Command7}},
        std::move(hooks));
    // Enter on the focused Insert button inserts, as Enter in the Y box leads there.
    Command4->setAutoDefault(true);
    Command4->setToolTip(QStringLiteral("Click here to insert point into point series."));
    Command5->setToolTip(QStringLiteral("Click here to display the regression function."));
    Command7->setToolTip(QStringLiteral("Click here to return to Graph Analysis."));
    connect(Command4, &QPushButton::clicked, this, [this] { m_pointPanel->Command4_Click(); });
    connect(Command1, &QRadioButton::clicked, this, [this] { m_pointPanel->Command1_Click(); });
    connect(Command3, &QRadioButton::clicked, this, [this] { m_pointPanel->Command3_Click(); });
    connect(Combo1, &QComboBox::activated, this, [this] { m_pointPanel->Combo1_Click(); });
    connect(Command5, &QPushButton::clicked, this, [this] { m_pointPanel->Command5_Click(); });
    connect(Command7, &QPushButton::clicked, this, &frmGraphMain::mnuPtSeries_Click);
}

void frmGraphMain::mnuPtSeries_Click()
{
    if (!Check1->isChecked()) {
        Check1->setChecked(true);
        mnuPtSeries->setChecked(true);
        ListView1->hide();
        mnuToggleCoordinates->setChecked(false);
        setToolbarFace(14, QStringLiteral("gra"), QStringLiteral("Graph Analysis"));
    } else {
        Check1->setChecked(false);
        mnuPtSeries->setChecked(false);
        setToolbarFace(14, QStringLiteral("regress"), QStringLiteral("Regression Analysis"));
    }
    Check1_Click();
}

void frmGraphMain::Check1_Click()
{
    const bool on = Check1->isChecked();
    const bool canGraph = CanGraph(m_program.engine.tables);
    if (m_pointPanel)
        m_pointPanel->showPanel(on);
    for (QAction *a : {mnuToggleCoordinates, mnuExponent, mnuRoot, mnuTrig, mnuInsertF,
                       mnuInsertAbs, mnuInsertPi})
        a->setEnabled(!on);
    toolbarButtons[9].action->setEnabled(!on);
    toolbarButtons[10].action->setEnabled(!on);
    if (on) {
        mnuShade->setEnabled(canGraph);
        mnuEvaluate->setEnabled(canGraph);
        toolbarButtons[12].action->setEnabled(false);
        toolbarButtons[13].action->setEnabled(false);
        frmGraph->setToolTip(QStringLiteral("Click on graph to enter point."));
        DrawPointSeries();
    } else {
        toolbarButtons[12].action->setEnabled(canGraph);
        toolbarButtons[13].action->setEnabled(canGraph);
        frmGraph->setToolTip(QStringLiteral("Drag mouse to select display region."));
        GraphFunctions();
        Paper[VisibleLines]->setFocus(Qt::OtherFocusReason);
    }
}

void frmGraphMain::DrawPointSeries()
{
    if (m_pointPanel)
        m_pointPanel->DrawPointSeries();
}

void frmGraphMain::ClearPointSeries()
{
    if (m_pointPanel)
        m_pointPanel->ClearPointSeries();
}

void frmGraphMain::InitPointGrid()
{
    for (int r = 0; r < MSFlexGrid1->rowCount(); ++r)
        for (int c = 0; c < MSFlexGrid1->columnCount(); ++c)
            MSFlexGrid1->setItem(r, c, new QTableWidgetItem());
    MSFlexGrid1->item(0, 0)->setText(QStringLiteral("X"));
    MSFlexGrid1->item(0, 1)->setText(QStringLiteral("Y"));
}

// Documents.
void frmGraphMain::mnuSave_Click()
{
    GraphDocument document;
    for (int i = 0; i < kFormulaLinesShown; ++i)
        document.lines[std::size_t(i)] = char2str_sym(m_program.engine.tables, i);
    const int n = m_Regression->XYCount();
    for (int i = 1; i <= n && i <= linoveta::PointList::kCapacity; ++i)
        document.points.push_back({PointList(i).X, PointList(i).Y});
    document.linear = Command1->isChecked();
    document.order = Combo1->currentText().toInt();
    QString name = DefaultDocumentName(m_platform.clock->today());
    // A cancel stays silent; a failed write must not read as success.
    if (SaveGraphData(GraphDocumentCodec::Write(document), CommonDialog1, *m_platform.files, this,
                      m_savedProblems, name) == SaveOutcome::Failed)
        m_platform.messages->message(this, kCouldNotSaveMessage);
}

void frmGraphMain::mnuLoad_Click()
{
    FileReadResult file;
    if (!m_program.CommandFile.isEmpty()) {
        file = ReadDocumentFile(CommandLineDocumentPath(m_program.CommandFile));
        if (file.status != FileReadStatus::Read) {
            m_platform.messages->message(this, kCouldNotOpenMessage);
            return;
        }
    } else {
        QString name;
        file = LoadGraphData(CommonDialog1, *m_platform.files, this, m_savedProblems, name);
        // A pipe, a folder, a device or an oversized file is no document; a cancel or a file
        // that cannot be read ends silently.
        if (file.status == FileReadStatus::Refused) {
            m_platform.messages->message(this, kCouldNotOpenMessage);
            return;
        }
    }
    // The whole text is checked first: a file that is not a document changes nothing.
    const DocumentReadResult result = GraphDocumentCodec::Read(file.text);
    if (result.status == DocumentReadStatus::Empty)
        return;
    if (result.status == DocumentReadStatus::Invalid) {
        m_platform.messages->message(this, kCouldNotOpenMessage);
        return;
    }
    applyDocument(result.document);
}

namespace {

// Lets the replayed keys change the tables but keeps the window's side of each key for the
// end: the boxes are typeset and the commands enabled once, from the finished lines.
class ReplayObserver final : public EngineObserver {
public:
    explicit ReplayObserver(EngineObserver &window) : m_window(window) {}
    void SetHiddenMirrors(const std::string &text5, const std::string &text6) override
    {
        m_text5 = text5;
        m_text6 = text6;
        m_mirrored = true;
    }
    void GraphFunctions() override { m_window.GraphFunctions(); }
    void finish(const FormulaTables &t)
    {
        if (m_mirrored)
            m_window.SetHiddenMirrors(m_text5, m_text6);
        m_window.RedrawFormulaBoxes();  // also sets LastFunction, which CanGraph reads
        m_window.SetGraphCommandsEnabled(CanGraph(t));
    }

private:
    EngineObserver &m_window;
    std::string m_text5, m_text6;
    bool m_mirrored = false;
};

} // namespace

void frmGraphMain::applyDocument(const GraphDocument &document)
{
    FormulaTables &t = m_program.engine.tables;
    ClearFormulas();
    for (int i = 1; i < kFormulaLinesShown; ++i) {
        Paper[i]->hide();
        Label1[i]->hide();
        Picture1[i]->hide();
    }
    BlinkerTop = 1700;
    placeBlinker();
    Blinker->show();
    QApplication::setOverrideCursor(Qt::WaitCursor);

    // Every stored symbol passes the key rules, exactly as if typed, and every line starts
    // from a fresh editing state, so a document always loads as the same formulas.
    ReplayObserver replay(*this);
    t.AllowTrigLetters = true;
    for (int i = 0; i < kFormulaLinesShown; ++i) {
        t.CurrentFunction = std::int16_t(i);
        t.DecimalInNumber = false;
        t.BarJustClosed = false;
        t.HasEquals = false;
        for (char c : document.lines[std::size_t(i)])
            linoveta::Paper_KeyPress(t, std::int16_t(i), std::int16_t(static_cast<unsigned char>(c)),
                                     replay);
    }
    replay.finish(t);
    const int last = HighestFilledLine(document);
    t.AllowTrigLetters = false;
    t.CurrentFunction = 0;
    VisibleLines = 0;
    for (int i = 0; i < last; ++i) {
        m_program.AddingFromFile = true;
        Blinker_Click();
        m_program.AddingFromFile = false;
    }
    Paper[VisibleLines]->setFocus(Qt::OtherFocusReason);
    t.CurrentFunction = 0;

    ClearPointSeries();
    Command1->setChecked(document.linear);
    Command3->setChecked(!document.linear);
    Combo1->setCurrentIndex(document.order - 2);
    m_Regression->Degree(document.linear ? 1 : document.order);
    // The reader has checked every point as point entry does, so each one is added.
    for (const DocumentPoint &p : document.points)
        AddPoint(*m_Regression, PointList, p.x, p.y);
    DrawPointSeries();
    QApplication::restoreOverrideCursor();
}

void frmGraphMain::mnuBitMap_Click()
{
    saveGraphBitmap(this, DefaultBitmapName(m_platform.clock->today()));
}

void frmGraphMain::saveGraphBitmap(QWidget *over, const QString &defaultName)
{
    QString name = defaultName;
    SaveGraphBitmap(CommonDialog1, *m_platform.files, over, m_savedProblems, name,
                    frmGraph->surface().logicalPicture());
}

// Printing.
frmPrintSetup *frmGraphMain::printOptions() const { return m_printOptions; }

void frmGraphMain::setPrinter(std::unique_ptr<PrinterService> printer)
{
    m_printer = std::move(printer);
}

PrinterService &frmGraphMain::printer()
{
    if (!m_printer)
        m_printer = std::make_unique<QtPrinterService>();
    return *m_printer;
}

frmPrintSetup *frmGraphMain::openPrintOptions(QWidget *parent)
{
    if (m_printOptions)
        return m_printOptions;
    PrintSetupCommands commands;
    commands.printTheGraph = [this] { return printGraphPage(); };
    commands.printSetup = [this] { mnuGraphPrintSetup_Click(); };
    m_printOptions = new frmPrintSetup(printer(), commands, m_platform.clock->today(), parent);
    return m_printOptions;
}

void frmGraphMain::mnuGraphPrint_Click()
{
    frmPrintSetup *options = openPrintOptions(this);
    options->show();
    options->raise();
    options->activateWindow();
}

void frmGraphMain::showPrintOptionsModal(QWidget *over)
{
    // One Print Options at a time: a modeless one goes, and its deletion must not be waited for.
    if (m_printOptions) {
        m_printOptions->close();
        m_printOptions.clear();
    }
    QPointer<frmPrintSetup> options = openPrintOptions(over);
    options->setModal(true);
    options->exec();
}

void frmGraphMain::mnuGraphPrintSetup_Click() { printer().setup(this); }

void frmGraphMain::PrintTheGraph() { printGraphPage(); }

bool frmGraphMain::printGraphPage()
{
    PrintPage page;
    if (m_printOptions) {
        page.heading1 = m_printOptions->Text1->text();
        page.heading2 = m_printOptions->Text2->text();
    }
    page.pointSeriesMode = Check1->isChecked();
    for (int i = 0; i < kFormulaLinesShown; ++i) {
        page.displayTexts[std::size_t(i)] =
            QString::fromStdString(char2str_disp(m_program.engine.tables, i));
        page.colours[std::size_t(i)] = Picture1[i]->backColor();
    }
    if (page.pointSeriesMode)
        page.regressionEquation = QString::fromStdString(m_Regression->ReturnRegEq());
    page.plot = frmGraph->surface().image();
    return PrintGraphPage(printer(), page);
}

// Dialogs.
void frmGraphMain::mnuEvaluate_Click() { ShowEvaluate(*this); }
void frmGraphMain::mnuLineW_Click() { ShowLineWidth(*this); }
void frmGraphMain::mnuAbout_Click() { ShowAbout(*this); }

} // namespace linoveta
