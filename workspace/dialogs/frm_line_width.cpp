#include "workspace/dialogs/frm_line_width.h"

#include "workspace/dialogs/dialog_parts.h"
#include "workspace/dialogs/push_button.h"
#include "workspace/fixed_layout_look.h"

#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSlider>

namespace linoveta {

void CentreOnScreen(QWidget &window)
{
    if (QScreen *screen = window.screen()) {
        const QRect area = screen->availableGeometry();
        window.move(area.center() - QPoint(window.width() / 2, window.height() / 2));
    }
}

frmLineWidth::frmLineWidth(QSlider &mainSlider, QWidget *parent)
    : QDialog(parent), m_main(mainSlider)
{
    constexpr auto px = twips;
    setWindowTitle(QStringLiteral("Line Width"));
    setModal(true);
    setFixedSize(px(4215), px(2160));
    UseLayoutFont(*this);
    Label2 = new QLabel(QStringLiteral("Minimum"), this);
    Label2->setGeometry(px(360), px(240), px(1455), px(375));
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label1 = new QLabel(QStringLiteral("Maximum"), this);
    Label1->setGeometry(px(2520), px(240), px(1335), px(375));
    Label1->setAlignment(Qt::AlignRight | Qt::AlignTop);
    Slider1 = new QSlider(Qt::Horizontal, this);
    Slider1->setRange(1, 10);
    Slider1->setPageStep(2);
    // Left to itself, the style ticks every page step from 0, which leaves an odd gap at 10.
    Slider1->setTickInterval(1);
    Slider1->setTickPosition(QSlider::TicksBelow);
    Slider1->setToolTip(QStringLiteral("Slide to adjust drawing width."));
    Slider1->setGeometry(px(240), px(600), px(3735), px(675));
    auto button = [this](const QString &caption, int left) {
        auto *b = new PushButton(caption, this);
        b->setGeometry(px(left), px(1440), px(1095), px(495));
        return b;
    };
    Command2 = button(QStringLiteral("OK"), 240);
    Command1 = button(QStringLiteral("Cancel"), 1560);
    Command3 = button(QStringLiteral("Apply"), 2880);
    connect(Command2, &QPushButton::clicked, this, &frmLineWidth::Command2_Click);
    connect(Command1, &QPushButton::clicked, this, &frmLineWidth::Command1_Click);
    connect(Command3, &QPushButton::clicked, this, &frmLineWidth::Command3_Click);

    Slider1->setValue(m_main.value());   // Form_Load
}

void frmLineWidth::Command2_Click()
{
    m_main.setValue(Slider1->value());
    accept();
}

void frmLineWidth::Command1_Click() { reject(); }

void frmLineWidth::Command3_Click() { m_main.setValue(Slider1->value()); }

void frmLineWidth::showEvent(QShowEvent *event)
{
    if (!m_centred) {
        m_centred = true;
        CentreOnScreen(*this);
    }
    QDialog::showEvent(event);
}

} // namespace linoveta
