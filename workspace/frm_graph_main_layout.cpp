// The main window's controls at their twips: formula rows, plot, zoom buttons, colour
// swatches, the point-series panel and the wood behind them.

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
#include "workspace/dialogs/push_button.h"
#include "workspace/fixed_layout_look.h"
#include "workspace/graph_commands.h"
#include "workspace/menu_mark_style.h"
#include "workspace/plotter.h"
#include "workspace/point_panel.h"
#include "workspace/point_series.h"
#include "workspace/printing.h"
#include "workspace/program.h"
#include "workspace/regression_object.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <QTableWidget>
#include <QTreeWidget>

#include <algorithm>

namespace linoveta {

using namespace main_window;

namespace {

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

} // namespace

void frmGraphMain::buildLayout()
{
    auto *client = new Backdrop(this);
    client->setFixedSize(twips(kClientWidth), twips(kClientHeight));
    setCentralWidget(client);
    if (layout())
        layout()->setSizeConstraint(QLayout::SetFixedSize);
    // The menus and the toolbar follow the desktop; the controls on the wood keep the design
    // font, and their captions are drawn on the wood in black whatever the palette.
    UseLayoutFont(*client);
    FixWindowText(*client, kBlack);

    const QFont symbolFont = LayoutFont(QStringLiteral("TalvoranFont"), 12);
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

    Blinker = new PictureButton(client);
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
    // Its entries are in the curves' colours, so it keeps the plot's white behind them.
    FixBoxColours(*ListView1, kWhite, kBlack);
    // Its one column fills the list as it widens and narrows; a wider default would outlast
    // the stretch and scroll the list sideways.
    ListView1->header()->resizeSection(0, ListView1->header()->minimumSectionSize());
    ListView1->resize(CoordinateListWidth(*ListView1), ListView1->height());
    ListView1->hide();

    auto zoomButton = [client](QPushButton *&button, QFrame *&frame, int left, const QString &tip,
                               const QString &image) {
        frame = new QFrame(client);
        frame->setFrameShape(QFrame::Box);
        frame->setGeometry(twipsRect(left - 15, 6225, 765, 765));
        button = new PictureButton(client);
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
    Label2->setFont(LayoutFont(QStringLiteral("MS Sans Serif"), 9.75, true));
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
    FitPointGridColumns(*MSFlexGrid1);
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
    Command4 = new PushButton(QStringLiteral("Insert"), Frame1);
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

    Command5 = new PushButton(QStringLiteral("Regression Function"), client);
    Command5->setGeometry(twipsRect(2160, 5175, 2655, 345));
    Command5->hide();
    Command7 = new PushButton(QStringLiteral("Exit"), client);
    Command7->setGeometry(twipsRect(2160, 5655, 2655, 345));
    Command7->hide();

    // Formula colours stay with the window; grid and shading start as Default Colors sets them.
    m_program.graph.GridColor = ColourText(kDefaultGridColour);
    m_program.graph.ShadeColor = ColourText(kDefaultShadeColour);
}

void frmGraphMain::placeBlinker()
{
    Blinker->move(twips(kBlinkerLeft), twips(BlinkerTop));
}

} // namespace linoveta
