#include "workspace/dialogs/frm_about.h"

#include "workspace/dialogs/dialog_parts.h"
#include "workspace/dialogs/frm_line_width.h"

#include <QGroupBox>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>

#include <cmath>

namespace linoveta {

const QString frmAbout::kNotice = QStringLiteral(
    "This program is protected by copyright law. Copying or distributing it, or any part of "
    "it, without permission may result in civil and criminal penalties.");
const QString frmAbout::kRights = QStringLiteral("Copyright \u00A9 Linoveta. All rights reserved.");

QImage frmAbout::ProductPicture()
{
    QImage image(261, 110, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 110);
    sky.setColorAt(0, QColor(20, 50, 120));
    sky.setColorAt(1, QColor(90, 140, 210));
    p.fillRect(image.rect(), sky);
    p.setPen(QPen(QColor(255, 255, 255, 90), 1));
    p.drawLine(0, 80, 261, 80);
    p.drawLine(40, 0, 40, 110);
    QPainterPath curve;
    curve.moveTo(0, 95);
    for (int x = 0; x <= 261; x += 3) {
        const double t = (x - 40) / 30.0;
        curve.lineTo(x, 80 - 28 * std::sin(t) - 0.08 * (x - 40));
    }
    p.setPen(QPen(QColor(255, 210, 60), 3));
    p.drawPath(curve);
    QFont font(QStringLiteral("Book Antiqua"), 26, QFont::Bold);
    font.setItalic(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRect(60, 6, 196, 60), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("Linoveta"));
    return image;
}

frmAbout::frmAbout(SystemInfoServices services, platform::MessageService &messages,
                   QWidget *parent)
    : QDialog(parent), m_services(std::move(services)), m_messages(messages)
{
    constexpr auto px = dialogPixels;
    setWindowTitle(QStringLiteral("About Linoveta"));
    setModal(true);
    setFixedSize(px(4155), px(4215));

    Image1 = new QLabel(this);
    Image1->setGeometry(px(120), px(120), px(3915), px(1650));
    Image1->setPixmap(QPixmap::fromImage(ProductPicture()));
    Frame3 = new QGroupBox(QStringLiteral("Warning:"), this);
    Frame3->setGeometry(px(120), px(1800), px(3915), px(1335));
    Label1 = new QLabel(kNotice, Frame3);
    Label1->setWordWrap(true);
    Label1->setGeometry(px(120), px(240), px(3675), px(1020));
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Frame4 = new QGroupBox(kRights, this);
    Frame4->setGeometry(px(120), px(3240), px(3915), px(375));
    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command1->setGeometry(px(120), px(3720), px(1875), px(375));
    Command1->setDefault(true);
    cmdSysInfo = new QPushButton(QStringLiteral("System Info..."), this);
    cmdSysInfo->setGeometry(px(2160), px(3720), px(1875), px(375));
    cmdSysInfo->setAutoDefault(false);
    connect(Command1, &QPushButton::clicked, this, &frmAbout::Command1_Click);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
}

void frmAbout::Command1_Click() { accept(); }

void frmAbout::cmdSysInfo_Click() { StartSysInfo(); }

void frmAbout::StartSysInfo()
{
    // The About box stays open whether the program started or not.
    if (!linoveta::StartSysInfo(m_services))
        m_messages.message(this, kSystemInfoUnavailable);
}

void frmAbout::showEvent(QShowEvent *event)
{
    if (!m_centred) {
        m_centred = true;
        CentreOnScreen(*this);
    }
    QDialog::showEvent(event);
}

} // namespace linoveta
