#include "workspace/dialogs/frm_print_setup.h"

#include "typeset/fonts.h"
#include "workspace/dialogs/dialog_parts.h"
#include "workspace/dialogs/push_button.h"
#include "workspace/fixed_layout_look.h"
#include "workspace/printing.h"

#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>

#include <algorithm>

namespace linoveta {

frmPrintSetup::frmPrintSetup(PrinterService &printer, PrintSetupCommands commands,
                             const QDate &today, QWidget *parent)
    : QDialog(parent), m_printer(printer), m_commands(std::move(commands))
{
    constexpr auto px = twips;
    setWindowTitle(QStringLiteral("Print Options"));
    setFixedSize(px(5415), px(3015));
    UseLayoutFont(*this);
    // OK and Cancel unload the window, so the next opening starts from the load values.
    setAttribute(Qt::WA_DeleteOnClose);

    Frame2 = new QGroupBox(QStringLiteral("Printer Device Name"), this);
    Frame2->setGeometry(px(120), px(120), px(5175), px(615));
    Label1 = new QLabel(Frame2);
    // The style puts the caption above the border rather than on it: the name goes in the
    // middle of what is left inside, clear of the border.
    QRect name(px(120), px(240), px(4935), px(255));
    const QRect inside = Frame2->contentsRect();
    name.moveTop(std::max(name.top(), inside.top() + (inside.height() - name.height()) / 2));
    Label1->setGeometry(name);
    Label1->setFont(LayoutFont(QStringLiteral("MS Sans Serif"), 8.25, true));

    Frame1 = new QGroupBox(QStringLiteral("Print Heading"), this);
    Frame1->setGeometry(px(120), px(840), px(5175), px(1455));
    const QFont headingFont = LayoutFont(QString::fromLatin1(kSymbolFontFamily), 12);
    Text1 = new QLineEdit(Frame1);
    Text1->setGeometry(px(240), px(360), px(4695), px(375));
    Text1->setFont(headingFont);
    Text2 = new QLineEdit(Frame1);
    Text2->setGeometry(px(240), px(840), px(4695), px(375));
    Text2->setFont(headingFont);

    auto button = [this](const QString &caption, int left) {
        auto *b = new PushButton(caption, this);
        b->setGeometry(px(left), px(2520), px(1335), px(375));
        return b;
    };
    Command3 = button(QStringLiteral("Setup..."), 120);
    Command2 = button(QStringLiteral("OK"), 2520);
    Command1 = button(QStringLiteral("Cancel"), 3960);
    connect(Command3, &QPushButton::clicked, this, &frmPrintSetup::Command3_Click);
    connect(Command2, &QPushButton::clicked, this, &frmPrintSetup::Command2_Click);
    connect(Command1, &QPushButton::clicked, this, &frmPrintSetup::Command1_Click);

    if (parent)
        parent->window()->installEventFilter(this);
    Form_Load(today);
    Form_Paint();
}

void frmPrintSetup::Form_Load(const QDate &today)
{
    Text1->setText(QStringLiteral("Talvoran Linoveta"));
    Text2->setText(QLocale().toString(today, QLocale::ShortFormat));
}

void frmPrintSetup::Form_Paint()
{
    Label1->setText(PrinterNameForDisplay(m_printer));
}

void frmPrintSetup::paintEvent(QPaintEvent *event)
{
    Form_Paint();
    QDialog::paintEvent(event);
}

void frmPrintSetup::showEvent(QShowEvent *event)
{
    Form_Paint();
    QDialog::showEvent(event);
}

// A modeless window must not outlive the main window that opened it: it closes when that
// window is closed (hidden by the program, not minimised).
bool frmPrintSetup::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Hide && !event->spontaneous() && parentWidget() &&
        watched == parentWidget()->window())
        close();
    return QDialog::eventFilter(watched, event);
}

void frmPrintSetup::Command2_Click()
{
    // After a failed print the window stays open and nothing is reported.
    if (!m_commands.printTheGraph || !m_commands.printTheGraph())
        return;
    accept();
}

void frmPrintSetup::Command1_Click()
{
    reject();
}

void frmPrintSetup::Command3_Click()
{
    if (m_commands.printSetup)
        m_commands.printSetup(this);
    Form_Paint();
    repaint();
    // The set-up dialog is gone; the user goes on here, not in the window behind.
    if (isVisible())
        activateWindow();
}

} // namespace linoveta
