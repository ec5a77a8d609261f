#pragma once
// frmAbout, "About Linoveta": the product picture, a notice, the rights line and a button that
// starts the desktop's system-information program.

#include "workspace/platform/platform.h"
#include "workspace/system_info.h"

#include <QDialog>

class QGroupBox;
class QLabel;
class QPushButton;

namespace linoveta {

class frmAbout : public QDialog
{
    Q_OBJECT
public:
    frmAbout(SystemInfoServices services, platform::MessageService &messages,
             QWidget *parent = nullptr);

    static const QString kNotice;
    static const QString kRights;
    // The 261 x 110 product picture.
    static QImage ProductPicture();

    QLabel *Image1 = nullptr;
    QGroupBox *Frame3 = nullptr;
    QLabel *Label1 = nullptr;
    QGroupBox *Frame4 = nullptr;
    QPushButton *Command1 = nullptr;    // OK
    QPushButton *cmdSysInfo = nullptr;

public slots:
    void Command1_Click();
    void cmdSysInfo_Click();
    void StartSysInfo();

protected:
    void showEvent(QShowEvent *event) override;

private:
    SystemInfoServices m_services;
    platform::MessageService &m_messages;
    bool m_centred = false;
};

} // namespace linoveta
