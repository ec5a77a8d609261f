#include "workspace/dialogs/frm_logo.h"

#include "workspace/dialogs/dialog_parts.h"
#include "workspace/dialogs/frm_line_width.h"

#include <QLabel>
#include <QTimer>

namespace linoveta {

QImage frmLogo::SplashPicture()
{
    return ResourcePicture(QStringLiteral(":/images/splash.png"), QSize(542, 240));
}

frmLogo::frmLogo(QWidget *parent) : QDialog(parent, Qt::FramelessWindowHint | Qt::Dialog)
{
    setModal(true);
    setFixedSize(542, 240);
    Image1 = new QLabel(this);
    Image1->setGeometry(0, 0, 542, 240);
    Image1->setPixmap(ResourcePixmap(QStringLiteral(":/images/splash.png"), QSize(542, 240),
                                     devicePixelRatioF()));
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
