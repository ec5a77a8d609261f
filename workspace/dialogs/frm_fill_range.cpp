#include "workspace/dialogs/frm_fill_range.h"

#include "engine/number_text.h"
#include "workspace/area_sum.h"
#include "workspace/dialogs/push_button.h"
#include "workspace/fixed_layout_look.h"
#include "workspace/graph_document.h"
#include "workspace/locale_numbers.h"
#include "workspace/plotter.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

#include <algorithm>
#include <cmath>

namespace linoveta {

namespace {

constexpr auto px = twips;

// Shape1(i): a square drawn with fill style i in the shading colour over the plot background.
class StyleSwatch : public QWidget
{
public:
    StyleSwatch(int style, QWidget *parent) : QWidget(parent), m_style(style) {}
    void setColours(RgbValue fill, RgbValue back)
    {
        m_fill = fill;
        m_back = back;
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        const QRect r = rect().adjusted(0, 0, -1, -1);
        p.fillRect(r, colourFromRgbValue(m_back));
        Qt::BrushStyle brush = Qt::NoBrush;
        switch (m_style) {
        case FillSolid: brush = Qt::SolidPattern; break;
        case FillHorizontal: brush = Qt::HorPattern; break;
        case FillVertical: brush = Qt::VerPattern; break;
        case FillUpwardDiagonal: brush = Qt::BDiagPattern; break;
        case FillDownwardDiagonal: brush = Qt::FDiagPattern; break;
        case FillCross: brush = Qt::CrossPattern; break;
        case FillDiagonalCross: brush = Qt::DiagCrossPattern; break;
        default: break;
        }
        p.fillRect(r, QBrush(colourFromRgbValue(m_fill), brush));
        p.setPen(Qt::black);
        p.drawRect(r);
    }

private:
    int m_style;
    RgbValue m_fill = frmFillRange::kDefaultShadeColor;
    RgbValue m_back = 0xFFFFFF;
};

QPushButton *pictureButton(QWidget *parent, const char *image, const QString &tip, int left,
                           int top)
{
    auto *button = new PictureButton(parent);
    const QString path = QString::fromLatin1(image);
    button->setIcon(QPixmap(path).isNull()
                        ? QIcon(QPixmap::fromImage(ResourcePicture(path, QSize(48, 48))))
                        : ResourceIcon(path));
    button->setIconSize(QSize(40, 40));
    button->setToolTip(tip);
    button->setGeometry(px(left), px(top), px(735), px(735));
    return button;
}

} // namespace

frmFillRange::frmFillRange(FillRangeContext context, QWidget *parent)
    : QDialog(parent), m_ctx(std::move(context))
{
    setWindowTitle(QStringLiteral("Calculate Area"));
    setModal(true);
    buildLayout();
    Form_Load();
}

void frmFillRange::buildLayout()
{
    setFixedSize(px(4815), px(7095));
    UseLayoutFont(*this);
    auto button = [this](const QString &caption, int l, int t, int w, int h, QWidget *parent) {
        auto *b = new PushButton(caption, parent ? parent : this);
        b->setGeometry(px(l), px(t), px(w), px(h));
        return b;
    };
    auto label = [](const QString &caption, QWidget *parent, int l, int t, int w, int h) {
        auto *lab = new QLabel(caption, parent);
        lab->setGeometry(px(l), px(t), px(w), px(h));
        return lab;
    };
    auto box = [](const QString &text, QWidget *parent, int l, int t, int w, int h,
                      const QString &tip) {
        auto *edit = new QLineEdit(text, parent);
        edit->setGeometry(px(l), px(t), px(w), px(h));
        edit->setToolTip(tip);
        edit->setValidator(new TypingLimit(7, edit));
        return edit;
    };

    Slider1 = new QSlider(Qt::Vertical, this);
    Slider1->setRange(1, 5);
    Slider1->setInvertedAppearance(true);   // line 1 at the top
    Slider1->setInvertedControls(true);    // so Down and the wheel move towards line 5 too
    Slider1->setTickPosition(QSlider::TicksRight);
    Slider1->setPageStep(1);
    Slider1->setToolTip(QStringLiteral("Slide to select function."));
    Slider1->setGeometry(px(240), px(120), px(375), px(615));

    Picture1 = new FormulaPicture(this);
    Picture1->setGeometry(px(720), px(120), px(3855), px(615));

    Frame2 = new QGroupBox(QStringLiteral("Range"), this);
    Frame2->setGeometry(px(240), px(840), px(4335), px(1335));
    Label3 = label(QStringLiteral("x = ["), Frame2, 120, 390, 495, 285);
    Text1 = box(QStringLiteral("-5"), Frame2, 615, 360, 1455, 315,
                QStringLiteral("Start of interval"));
    Label2 = label(QStringLiteral(";"), Frame2, 2115, 390, 135, 285);
    Text2 = box(QStringLiteral("5"), Frame2, 2280, 360, 1455, 315,
                QStringLiteral("End of interval"));
    Label4 = label(QStringLiteral("]"), Frame2, 3780, 390, 135, 285);
    Label1 = label(QStringLiteral("dx ="), Frame2, 120, 870, 495, 285);
    Text3 = box(LocaleNumberText(0.1), Frame2, 615, 840, 1455, 315,
                QStringLiteral("Step value"));

    Label5 = label(QStringLiteral("Area ="), this, 240, 2430, 735, 285);
    Text4 = new QLineEdit(this);
    Text4->setGeometry(px(975), px(2400), px(3600), px(315));
    Text4->setToolTip(QStringLiteral("Calculated area"));
    FixBoxColours(*Text4, 0xC0FFFF, 0);   // the light yellow box, its area in black

    Command1 = button(QStringLiteral("Shade Area"), 240, 2880, 2055, 375, nullptr);
    Command3 = button(QStringLiteral("Calculate Area"), 2520, 2880, 2055, 375, nullptr);
    Command3->setToolTip(QStringLiteral(
        "Click here to calculate the area of the function within the x range."));

    Frame1 = new QGroupBox(QStringLiteral("Shade Style"), this);
    Frame1->setGeometry(px(240), px(3360), px(4335), px(1695));
    // Style 1 (transparent) exists but is hidden; the seven others sit 600 twips apart, the
    // row (6 * 600 + 495 twips) centred in the frame.
    int slot = 0;
    for (int i = 0; i < 8; ++i) {
        const int left = 120 + 600 * slot;
        auto *swatch = new StyleSwatch(i, Frame1);
        swatch->setGeometry(px(left), px(300), px(495), px(495));
        Shape1[static_cast<std::size_t>(i)] = swatch;
        auto *option = new QRadioButton(Frame1);
        option->setGeometry(px(left + 135), px(840), px(300), px(300));
        Option1[static_cast<std::size_t>(i)] = option;
        if (i == FillTransparent) {
            swatch->hide();
            option->hide();
        } else {
            ++slot;
        }
    }
    Option1[0]->setChecked(true);

    Command4 = button(QStringLiteral("Shade Color"), 2400, 4560, 2055, 375, nullptr);
    Command4->setToolTip(QStringLiteral("Click here to change the shade color."));
    Command4->raise();

    Frame3 = new QGroupBox(QStringLiteral("Graph Options"), this);
    Frame3->setGeometry(px(240), px(5160), px(4335), px(1215));
    Command5 = pictureButton(Frame3, ":/images/zoom_in.png", QStringLiteral("Zoom In"), 240, 285);
    Command6 = pictureButton(Frame3, ":/images/zoom_out.png", QStringLiteral("Zoom Out"), 1320, 285);
    Command7 = pictureButton(Frame3, ":/images/toolbar/print.png", QStringLiteral("Print Graph"), 2400, 285);
    Command8 = pictureButton(Frame3, ":/images/toolbar/save.png", QStringLiteral("Save Graph As Bitmap"),
                             3360, 285);

    Command2 = button(QStringLiteral("Close"), 2520, 6600, 2055, 375, nullptr);

    connect(Slider1, &QSlider::valueChanged, this, &frmFillRange::Slider1_Change);
    connect(Command3, &QPushButton::clicked, this, &frmFillRange::Command3_Click);
    connect(Command1, &QPushButton::clicked, this, &frmFillRange::Command1_Click);
    connect(Command4, &QPushButton::clicked, this, &frmFillRange::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &frmFillRange::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, &frmFillRange::Command6_Click);
    connect(Command7, &QPushButton::clicked, this, &frmFillRange::Command7_Click);
    connect(Command8, &QPushButton::clicked, this, &frmFillRange::Command8_Click);
    connect(Command2, &QPushButton::clicked, this, &frmFillRange::Command2_Click);
}

RgbValue frmFillRange::shadeColorValue() const
{
    if (!m_ctx.graph)
        return kDefaultShadeColor;
    return ColourFromText(m_ctx.graph->ShadeColor).value_or(kDefaultShadeColor);
}

void frmFillRange::Form_Load()
{
    FillRangeMemory fresh;
    FillRangeMemory &memory = m_ctx.memory ? *m_ctx.memory : fresh;
    const bool reopened = m_ctx.FillRangeChoice && *m_ctx.FillRangeChoice > 0;
    if (reopened) {
        move(memory.formPos);
        Text4->setText(memory.AreaRem);
        Slider1->setValue(memory.slideRem);
        Text3->setText(LocaleNumberText(memory.dxRem));
    } else {
        if (QWidget *main = parentWidget()) {
            const QRect frame = main->frameGeometry();
            move(frame.left() + frame.width() / 2 - width() / 2,
                 frame.top() + frame.height() / 2 - height() / 2);
        }
        Slider1->setValue(Slider1->minimum());
    }
    if (m_ctx.FillRangeChoice)
        *m_ctx.FillRangeChoice = 0;

    // Until a shading range is set, the range boxes show the graph window.
    const double from = m_ctx.ShadeFrom ? *m_ctx.ShadeFrom : 0;
    const double to = m_ctx.ShadeTo ? *m_ctx.ShadeTo : 0;
    if (from == 0 && to == 0) {
        if (m_ctx.graph) {
            Text1->setText(LocaleNumberText(m_ctx.graph->XMin));
            Text2->setText(LocaleNumberText(m_ctx.graph->XMax));
        }
    } else {
        Text1->setText(LocaleNumberText(from));
        Text2->setText(LocaleNumberText(to));
    }

    paintSwatches();
    for (auto *option : Option1)
        option->setChecked(false);
    const int style = m_ctx.plotFillStyle ? m_ctx.plotFillStyle() : 0;
    if (style >= 0 && style < 8)
        Option1[static_cast<std::size_t>(style)]->setChecked(true);

    drawFormula(Slider1->value() - 1);

    if (m_ctx.LastFunction == 0) {
        Slider1->hide();
        Picture1->setGeometry(px(240), px(120), px(4335), px(615));
        Command1->setToolTip(QStringLiteral(
            "Click here to shade the area of the function within the x range."));
    } else {
        Slider1->setMaximum(m_ctx.LastFunction + 1);
        Command1->setEnabled(false);
    }
    if (m_ctx.CurrentFunction)
        *m_ctx.CurrentFunction = Slider1->value() - 1;
    m_loaded = true;
}

void frmFillRange::paintSwatches()
{
    const RgbValue fill = shadeColorValue();
    const RgbValue back = m_ctx.plotBackColor ? m_ctx.plotBackColor() : 0xFFFFFF;
    for (QWidget *shape : Shape1)
        static_cast<StyleSwatch *>(shape)->setColours(fill, back);
}

void frmFillRange::drawFormula(int line)
{
    const QString text = m_ctx.displayText ? m_ctx.displayText(line) : QString();
    const RgbValue colour = m_ctx.lineColor ? m_ctx.lineColor(line) : 0;
    Picture1->showFormula(text, colour, m_ctx.typeset);
}

int frmFillRange::selectedStyle() const
{
    for (int i = 0; i < 8; ++i)
        if (Option1[static_cast<std::size_t>(i)]->isChecked())
            return i;
    return 0;
}

void frmFillRange::Slider1_Change()
{
    if (!m_loaded)
        return;   // the opening draws the picture itself
    const int line = Slider1->value() - 1;
    const QString text = m_ctx.displayText ? m_ctx.displayText(line) : QString();
    if (text.isEmpty())
        return;
    if (m_ctx.CurrentFunction)
        *m_ctx.CurrentFunction = line;
    drawFormula(line);
}

void frmFillRange::Command3_Click()
{
    const int line = Slider1->value() - 1;
    const auto f = [this, line](const double *xs, double *ys, std::size_t n) {
        if (m_ctx.areaValues)
            m_ctx.areaValues(xs, ys, n, line);
        else
            std::fill(ys, ys + n, 0.0);
    };
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const AreaSum::Result result = AreaSum::Calculate(Text1->text(), Text2->text(),
                                                      Text3->text(), QLocale(), f,
                                                      m_ctx.preCalc);
    QApplication::restoreOverrideCursor();
    if (!result.message.isEmpty()) {
        if (m_ctx.messages)
            m_ctx.messages->message(this, result.message);
        return;
    }
    Text4->setText(result.text);
}

void frmFillRange::takeShadeRange()
{
    if (m_ctx.ShadeFrom)
        *m_ctx.ShadeFrom = BoxNumberValue(Text1->text());
    if (m_ctx.ShadeTo)
        *m_ctx.ShadeTo = BoxNumberValue(Text2->text());
}

void frmFillRange::Command1_Click()
{
    takeShadeRange();
    if (m_ctx.FillRangeChoice)
        *m_ctx.FillRangeChoice = 1;
    if (m_ctx.graph)
        m_ctx.graph->ShadeFillStyle = selectedStyle();
    accept();
}

void frmFillRange::zoom(bool in)
{
    takeShadeRange();
    if (m_ctx.FillRangeChoice)
        *m_ctx.FillRangeChoice = 2;
    if (m_ctx.graph) {
        // The stops are those of the main window's zoom commands.
        if (in)
            m_ctx.graph->ZoomIn();
        else
            m_ctx.graph->ZoomOut();
        m_ctx.graph->ShadeFillStyle = selectedStyle();
    }
    if (m_ctx.setPlotFillStyle)
        m_ctx.setPlotFillStyle(selectedStyle());
    accept();
}

void frmFillRange::Command5_Click() { zoom(true); }
void frmFillRange::Command6_Click() { zoom(false); }

void frmFillRange::Command4_Click()
{
    if (!m_ctx.colors || !m_ctx.graph)
        return;
    const RgbValue chosen = m_ctx.colors->chooseColor(this, shadeColorValue());
    m_ctx.graph->ShadeColor = ColourText(chosen);
    paintSwatches();
    update();
}

void frmFillRange::Command7_Click()
{
    if (m_ctx.printGraph)
        m_ctx.printGraph(this);
}

void frmFillRange::Command8_Click()
{
    if (m_ctx.saveBitmap)
        m_ctx.saveBitmap(this, DefaultBitmapName(m_ctx.today ? m_ctx.today()
                                                             : QDate::currentDate()));
}

void frmFillRange::Command2_Click() { reject(); }

void frmFillRange::Form_Unload()
{
    if (m_unloaded || !m_ctx.memory)
        return;
    m_unloaded = true;
    m_ctx.memory->formPos = pos();
    m_ctx.memory->AreaRem = Text4->text();
    m_ctx.memory->slideRem = Slider1->value();
    m_ctx.memory->dxRem = BoxNumberValue(Text3->text());
}

void frmFillRange::done(int result)
{
    Form_Unload();
    QDialog::done(result);
}

} // namespace linoveta
