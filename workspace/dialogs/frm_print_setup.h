#pragma once
// frmPrintSetup, "Print Options": the printer's name, two heading lines for the print-out, the
// printer set-up, OK (print) and Cancel. Modeless from the main window, modal from Calculate
// Area; every opening is a fresh window with the load values.

#include <QDate>
#include <QDialog>

#include <functional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace linoveta {

class PrinterService;

// What the window calls back in the main window.
struct PrintSetupCommands {
    // PrintTheGraph: false when the page could not be printed.
    std::function<bool()> printTheGraph;
    // mnuGraphPrintSetup_Click: the printer set-up dialog over `over`, which gets the focus
    // back when it closes.
    std::function<void(QWidget *over)> printSetup;
};

class frmPrintSetup : public QDialog
{
    Q_OBJECT
public:
    // The printer must outlive the window. When the parent closes, the window closes too.
    frmPrintSetup(PrinterService &printer, PrintSetupCommands commands, const QDate &today,
                  QWidget *parent = nullptr);

    QGroupBox *Frame2 = nullptr;
    QLabel *Label1 = nullptr;       // the printer's device name
    QGroupBox *Frame1 = nullptr;
    QLineEdit *Text1 = nullptr;     // first heading line
    QLineEdit *Text2 = nullptr;     // second heading line
    QPushButton *Command3 = nullptr;  // Setup...
    QPushButton *Command2 = nullptr;  // OK
    QPushButton *Command1 = nullptr;  // Cancel

public slots:
    void Command2_Click();
    void Command1_Click();
    void Command3_Click();

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Form_Load(const QDate &today);
    void Form_Paint();

    PrinterService &m_printer;
    PrintSetupCommands m_commands;
};

} // namespace linoveta
