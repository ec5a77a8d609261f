#pragma once
// frmLineWidth, "Line Width": sets the curve width through the main window's hidden slider,
// whose change redraws the graph.

#include <QDialog>

class QLabel;
class QPushButton;
class QSlider;

namespace linoveta {

class frmLineWidth : public QDialog
{
    Q_OBJECT
public:
    // `mainSlider` is the main window's line-width slider (1..10); it must outlive the dialog.
    explicit frmLineWidth(QSlider &mainSlider, QWidget *parent = nullptr);

    QLabel *Label2 = nullptr;
    QLabel *Label1 = nullptr;
    QSlider *Slider1 = nullptr;
    QPushButton *Command2 = nullptr;   // OK
    QPushButton *Command1 = nullptr;   // Cancel
    QPushButton *Command3 = nullptr;   // Apply

public slots:
    void Command2_Click();
    void Command1_Click();
    void Command3_Click();

protected:
    void showEvent(QShowEvent *event) override;

private:
    QSlider &m_main;
    bool m_centred = false;
};

// Moves a top-level window to the centre of its screen.
void CentreOnScreen(QWidget &window);

} // namespace linoveta
