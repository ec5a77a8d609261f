#pragma once
// frmLogo: the borderless splash shown while the main window loads; it closes itself after
// its timer's first tick.

#include <QDialog>

class QLabel;
class QTimer;

namespace linoveta {

class frmLogo : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kInterval = 3000;   // ms

    explicit frmLogo(QWidget *parent = nullptr);
    // The 542 x 240 splash picture.
    static QImage SplashPicture();

    QLabel *Image1 = nullptr;
    QTimer *logotime = nullptr;

public slots:
    void logotime_Timer();

protected:
    void showEvent(QShowEvent *event) override;
};

} // namespace linoveta
