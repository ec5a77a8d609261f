// Printing from the window to a real print server: what arrives in its PDF queue, and what
// Print Options does when the queue takes the job and when it refuses it.

#include "main_window_fixture.h"
#include "pdf_pages.h"
#include "private_print_server.h"

#include "workspace/dialogs/frm_print_setup.h"
#include "workspace/printing.h"

#include <QPointer>
#include <QPrinter>
#include <QPushButton>
#include <QTransform>

#include <cups/cups.h>

#include <array>

namespace linoveta {
namespace {

class PrintServerTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        const QString failure = server.start();
        if (!failure.isEmpty())
            GTEST_SKIP() << "No private print server could be started, so printing to a real "
                            "queue is not tested: "
                         << failure.toStdString();
        qputenv("CUPS_SERVER", server.address().toLatin1());
        cupsSetServer(server.address().toLatin1().constData());
        MainWindowTest::SetUp();
        auto printer = std::make_unique<QtPrinterService>();
        qtPrinter = &printer->printer();
        qtPrinter->setPrinterName(QString::fromLatin1(test::PrivatePrintServer::kQueue));
        window->setPrinter(std::move(printer));
    }
    void TearDown() override
    {
        MainWindowTest::TearDown();
        server.stop();
        cupsSetServer(nullptr);
        qunsetenv("CUPS_SERVER");
    }

    // Every job the server has had on its queues, finished or not.
    int jobsOnServer() const
    {
        cups_job_t *jobs = nullptr;
        const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, nullptr, 0, CUPS_WHICHJOBS_ALL);
        cupsFreeJobs(n, jobs);
        return n;
    }

    test::PrivatePrintServer server;
    QPrinter *qtPrinter = nullptr;  // the window's printer
};

TEST_F(PrintServerTest, RefusedJobKeepsPrintOptionsOpenAndTheNextOnePrints)
{
    EXPECT_EQ(window->printer().deviceName(), QString::fromLatin1(test::PrivatePrintServer::kQueue));
    QTest::keyClicks(window->Paper[0], "x^2");
    QTest::keyClick(window->Paper[0], Qt::Key_Return);

    constexpr const char *pdf = test::PrivatePrintServer::kQueue;
    constexpr const char *denying = test::PrivatePrintServer::kDenyingQueue;
    struct Step {
        const char *what;
        const char *command;  // run on the PDF queue before OK
        const char *queue;    // the printer chosen
        bool printed;
    };
    static constexpr std::array steps{
        Step{"the queue takes the job", nullptr, pdf, true},
        Step{"the queue refuses jobs", "cupsreject", pdf, false},
        // It says it accepts jobs; only the answer to the submission tells.
        Step{"the queue denies jobs to this user", nullptr, denying, false},
        Step{"the queue takes jobs again", "cupsaccept", pdf, true},
    };
    int arrived = 0;
    for (const Step &step : steps) {
        SCOPED_TRACE(step.what);
        if (step.command) {
            ASSERT_EQ(server.run(QString::fromLatin1(step.command), {QString::fromLatin1(pdf)}),
                      QString());
        }
        qtPrinter->setPrinterName(QString::fromLatin1(step.queue));
        // After a refused job the window is still open, with what was typed into it.
        if (!window->printOptions())
            window->mnuGraphPrint_Click();
        QPointer<frmPrintSetup> options = window->printOptions();
        ASSERT_TRUE(options);
        QTest::mouseClick(options->Command2, Qt::LeftButton);
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (step.printed) {
            ++arrived;
            EXPECT_TRUE(options.isNull()) << "Print Options closes after a print";
            ASSERT_TRUE(server.waitForOutputs(arrived, 60000)) << server.log().toStdString();
        } else {
            ASSERT_FALSE(options.isNull()) << "Print Options stays open after a failed print";
            EXPECT_TRUE(options->isVisible());
        }
        EXPECT_EQ(jobsOnServer(), arrived);
    }

    const QStringList files = server.outputs();
    ASSERT_EQ(files.size(), 2);
    for (const QString &file : files) {
        SCOPED_TRACE(file.toStdString());
        // The queue names its files after the job.
        EXPECT_TRUE(QFileInfo(file).fileName().startsWith(QStringLiteral("Linoveta")));
        if (!test::HavePdfRenderer())
            continue;
        const std::vector<QImage> pages = test::RenderPdfPages(file, 72);
        ASSERT_EQ(pages.size(), 1u);
        // The queue turns the landscape page a quarter left onto its portrait sheet; turned
        // back, the sheet reads from the headings down.
        const QImage sheet = pages[0].height() > pages[0].width()
            ? pages[0].transformed(QTransform().rotate(90))
            : pages[0];
        const std::vector<test::InkBand> bands = test::InkBands(sheet);
        ASSERT_GE(bands.size(), 3u);
        EXPECT_EQ(bands[0].coloured, 0) << "the first heading is black";
        EXPECT_EQ(bands[1].coloured, 0) << "the second heading is black";
        EXPECT_GT(bands[2].reddish, bands[2].ink / 2) << "the formula is in its colour";
    }
}

} // namespace
} // namespace linoveta
