#include "workspace/dialogs/frm_print_setup.h"

#include "frame_contents.h"

#include "typeset/recording_surface.h"
#include "workspace/printing.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMainWindow>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

using namespace linoveta;

namespace {

class FakePrinter : public PrinterService {
public:
    QString name = QStringLiteral("Office Laser");
    std::vector<QStringList> documents;

    QString deviceName() const override { return name; }
    std::unique_ptr<Surface> beginDocument(const QString &) override
    {
        if (name.isEmpty())
            return nullptr;
        return std::make_unique<Page>(*this);
    }
    bool lastDocumentOk() const override { return true; }
    void setup(QWidget *) override {}

private:
    struct Page : RecordingSurface {
        explicit Page(FakePrinter &owner) : owner(owner) {}
        ~Page() override { owner.documents.push_back(printLog()); }
        FakePrinter &owner;
    };
};

class PrintSetupTest : public ::testing::Test {
protected:
    const QDate today{2026, 12, 9};
    FakePrinter printer;
    FormulaMessageSink typesetMessages;
    int setups = 0;
    QWidget *setupParent = nullptr;
    std::function<void()> duringSetup;
    int prints = 0;
    bool printSucceeds = true;

    QPointer<frmPrintSetup> current;

    // Opened as the main window opens it: a fresh, modeless window. Printing reads the headings
    // from the window, as PrintTheGraph does.
    QPointer<frmPrintSetup> open(QWidget *parent = nullptr)
    {
        PrintSetupCommands commands;
        commands.printSetup = [this](QWidget *over) {
            setupParent = over;
            if (duringSetup)
                duringSetup();
            ++setups;
            printer.name = QStringLiteral("Second Floor");
        };
        commands.printTheGraph = [this] {
            ++prints;
            if (!printSucceeds)
                return false;
            PrintPage page;
            page.heading1 = current->Text1->text();
            page.heading2 = current->Text2->text();
            return PrintGraphPage(printer, page, typesetMessages);
        };
        current = new frmPrintSetup(printer, commands, today, parent);
        current->show();
        return current;
    }
};

TEST_F(PrintSetupTest, LoadValuesAndLayout)
{
    QPointer<frmPrintSetup> w = open();
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Print Options"));
    EXPECT_EQ(w->size(), QSize(361, 201));
    EXPECT_EQ(w->Frame2->title(), QStringLiteral("Printer Device Name"));
    EXPECT_EQ(w->Frame1->title(), QStringLiteral("Print Heading"));
    EXPECT_EQ(w->Label1->text(), QStringLiteral("Office Laser"));
    EXPECT_TRUE(w->Label1->font().bold());
    EXPECT_EQ(w->Text1->text(), QStringLiteral("Talvoran Linoveta"));
    EXPECT_EQ(w->Text2->text(), QLocale().toString(today, QLocale::ShortFormat));
    EXPECT_EQ(w->Text1->font().family(), QStringLiteral("TalvoranFont"));
    // 12 points at the layout's 15 twips per pixel, whatever the desktop's dots per inch.
    EXPECT_EQ(w->Text1->font().pixelSize(), 16);
    EXPECT_EQ(w->Command3->text(), QStringLiteral("Setup..."));
    EXPECT_EQ(w->Command2->text(), QStringLiteral("OK"));
    EXPECT_EQ(w->Command1->text(), QStringLiteral("Cancel"));
    EXPECT_EQ(w->Command2->geometry(), QRect(168, 168, 89, 25));
    EXPECT_FALSE(w->isModal());
    delete w;
}

TEST_F(PrintSetupTest, UnknownWithoutAPrinter)
{
    printer.name.clear();
    QPointer<frmPrintSetup> w = open();
    EXPECT_EQ(w->Label1->text(), QStringLiteral("Unknown"));
    // The name sits inside its frame, clear of the border and the caption.
    EXPECT_EQ(ControlsOutsideFrame(*w->Frame2), "");
    EXPECT_EQ(ControlsOutsideFrame(*w->Frame1), "");
    delete w;
}

TEST_F(PrintSetupTest, SetupShowsTheChosenPrinterAtOnce)
{
    QPointer<frmPrintSetup> w = open();
    QTest::mouseClick(w->Command3, Qt::LeftButton);
    EXPECT_EQ(setups, 1);
    EXPECT_EQ(w->Label1->text(), QStringLiteral("Second Floor"));
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(prints, 0);
    delete w;
}

// The set-up dialog opens over Print Options, and when it closes the user is back in Print
// Options, not in the main window behind it (where a closing dialog's activation may fall).
TEST_F(PrintSetupTest, SetupGivesTheFocusBackToPrintOptions)
{
    auto *main = new QMainWindow;
    main->show();
    QPointer<frmPrintSetup> w = open(main);
    QApplication::setActiveWindow(w);
    duringSetup = [main] { QApplication::setActiveWindow(main); };
    QTest::mouseClick(w->Command3, Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_EQ(setupParent, w.data());
    EXPECT_EQ(QApplication::activeWindow(), w.data());
    delete w;
    delete main;
}

TEST_F(PrintSetupTest, OkPrintsTheTypedHeadingsOnceAndUnloads)
{
    QPointer<frmPrintSetup> w = open();
    w->Text1->setText(QStringLiteral("Algebra"));
    w->Text2->clear();
    QTest::mouseClick(w->Command2, Qt::LeftButton);
    EXPECT_EQ(prints, 1);
    ASSERT_EQ(printer.documents.size(), 1u);
    EXPECT_TRUE(printer.documents[0].contains(QStringLiteral("'Algebra   ' 0,54 12 0")));
    EXPECT_TRUE(printer.documents[0].contains(QStringLiteral("'   ' 0,72 12 0")));
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(w.isNull());

    // The next opening starts from the load values again.
    QPointer<frmPrintSetup> again = open();
    EXPECT_EQ(again->Text1->text(), QStringLiteral("Talvoran Linoveta"));
    delete again;
}

TEST_F(PrintSetupTest, FailedPrintLeavesTheWindowOpen)
{
    printSucceeds = false;
    QPointer<frmPrintSetup> w = open();
    w->Text1->setText(QStringLiteral("kept"));
    QTest::mouseClick(w->Command2, Qt::LeftButton);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_FALSE(w.isNull());
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->Text1->text(), QStringLiteral("kept"));
    EXPECT_TRUE(printer.documents.empty());
    delete w;
}

TEST_F(PrintSetupTest, CancelUnloadsWithoutPrinting)
{
    QPointer<frmPrintSetup> w = open();
    QTest::mouseClick(w->Command1, Qt::LeftButton);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(w.isNull());
    EXPECT_EQ(prints, 0);
}

TEST_F(PrintSetupTest, ClosesWithTheMainWindow)
{
    auto *main = new QMainWindow;
    main->show();
    QPointer<frmPrintSetup> w = open(main);
    ASSERT_TRUE(w->isVisible());
    EXPECT_TRUE(w->isWindow());
    main->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(w.isNull());
    delete main;
}

} // namespace
