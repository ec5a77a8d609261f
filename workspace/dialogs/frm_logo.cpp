#include "workspace/dialogs/frm_logo.h"

#include "workspace/dialogs/frm_about.h"
#include "workspace/dialogs/frm_line_width.h"

#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QTimer>

namespace linoveta {

QImage frmLogo::SplashPicture()
{
    QImage image(542, 240, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient back(0, 0, 542, 240);
    back.setColorAt(0, QColor(15, 40, 100));
    back.setColorAt(1, QColor(70, 120, 200));
    p.fillRect(image.rect(), back);
    p.drawImage(QPoint(20, 65), frmAbout::ProductPicture());
    p.setPen(Qt::white);
    QFont title(QStringLiteral("Book Antiqua"), 20);
    p.setFont(title);
    p.drawText(QRect(295, 60, 230, 60), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Function Plotter"));
    QFont small(QStringLiteral("MS Sans Serif"), 9);
    p.setFont(small);
    p.drawText(QRect(295, 130, 230, 60), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
               QStringLiteral("Loading..."));
    p.drawText(QRect(20, 200, 502, 30), Qt::AlignLeft | Qt::AlignVCenter, frmAbout::kRights);
    return image;
}

frmLogo::frmLogo(QWidget *parent) : QDialog(parent, Qt::FramelessWindowHint | Qt::Dialog)
{
    setModal(true);
    setFixedSize(542, 240);
    Image1 = new QLabel(this);
    Image1->setGeometry(0, 0, 542, 240);
    Image1->setPixmap(QPixmap::fromImage(SplashPicture()));
    logotime = new QTimer(this);
    logotime->setInterval(kInterval);
    logotime->setSingleShot(false);
    connect(logotime, &QTimer::timeout, this, &frmLogo::logotime_Timer);
}

void frmLogo::showEvent(QShowEvent *event)
{
    CentreOnScreen(*this);
    logotime->start();   // Form_Load
    QDialog::showEvent(event);
}

void frmLogo::logotime_Timer()
{
    logotime->stop();
    accept();
}

} // namespace linoveta
