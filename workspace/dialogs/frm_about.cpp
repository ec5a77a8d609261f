#include "workspace/dialogs/frm_about.h"

#include "workspace/dialogs/dialog_parts.h"
#include "workspace/dialogs/frm_line_width.h"
#include "workspace/dialogs/push_button.h"
#include "workspace/fixed_layout_look.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace linoveta {

const QString frmAbout::kNotice = QStringLiteral(
    "This program is protected by copyright law. Copying or distributing it, or any part of "
    "it, without permission may result in civil and criminal penalties.");
const QString frmAbout::kRights = QStringLiteral("Copyright \u00A9 Linoveta. All rights reserved.");

QImage frmAbout::ProductPicture()
{
    return ResourcePicture(QStringLiteral(":/images/about.png"), QSize(261, 110));
}

frmAbout::frmAbout(SystemInfoServices services, platform::MessageService &messages,
                   QWidget *parent)
    : QDialog(parent), m_services(std::move(services)), m_messages(messages)
{
    constexpr auto px = twips;
    setWindowTitle(QStringLiteral("About Linoveta"));
    setModal(true);
    setFixedSize(px(4155), px(4215));
    UseLayoutFont(*this);

    Image1 = new QLabel(this);
    Image1->setGeometry(px(120), px(120), px(3915), px(1650));
    Image1->setPixmap(ResourcePixmap(QStringLiteral(":/images/about.png"), QSize(261, 110),
                                     devicePixelRatioF()));
    Frame3 = new QGroupBox(QStringLiteral("Warning:"), this);
    Frame3->setGeometry(px(120), px(1800), px(3915), px(1335));
    Label1 = new QLabel(kNotice, Frame3);
    Label1->setWordWrap(true);
    // The style puts the caption above the border rather than on it: keep the notice below.
    QRect notice(px(120), px(240), px(3675), px(1020));
    const QRect inside = Frame3->contentsRect();
    notice.moveTop(std::max(notice.top(), inside.top()));
    Label1->setGeometry(notice & inside);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Frame4 = new QGroupBox(kRights, this);
    Frame4->setGeometry(px(120), px(3240), px(3915), px(375));
    Command1 = new PushButton(QStringLiteral("OK"), this);
    Command1->setGeometry(px(120), px(3720), px(1875), px(375));
    Command1->setDefault(true);
    cmdSysInfo = new PushButton(QStringLiteral("System Info..."), this);
    cmdSysInfo->setGeometry(px(2160), px(3720), px(1875), px(375));
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
