#include "modal_steps.h"

#include "workspace/graph_document.h"
#include "workspace/platform/qt_platform.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QPushButton>

namespace linoveta {
namespace {

// The desktop's message boxes, looked at while they are open.
TEST(QtMessageBoxes, CarryTheApplicationsTitleNoIconAndTheirButtons)
{
    const platform::Platform desktop = platform::makeQtPlatform();
    struct Seen {
        QString title, text;
        QMessageBox::Icon icon = QMessageBox::Information;
        QMessageBox::StandardButtons buttons;
    };
    auto look = [](Seen &seen, QMessageBox::StandardButton answer) {
        whenModal<QMessageBox>([&seen, answer](QMessageBox *box) {
            seen = {box->windowTitle(), box->text(), box->icon(), box->standardButtons()};
            box->button(answer)->click();
        });
    };

    Seen message;
    look(message, QMessageBox::Ok);
    desktop.messages->message(nullptr, QStringLiteral("X and Y must be numbers."));
    EXPECT_EQ(message.title, QStringLiteral("Linoveta"));
    EXPECT_EQ(message.text, QStringLiteral("X and Y must be numbers."));
    EXPECT_EQ(message.icon, QMessageBox::NoIcon);
    EXPECT_EQ(message.buttons, QMessageBox::Ok);

    for (const QMessageBox::StandardButton answer : {QMessageBox::Yes, QMessageBox::No}) {
        Seen question;
        look(question, answer);
        const platform::Answer got = desktop.messages->question(
            nullptr, QStringLiteral("Are you sure you would like to erase all the data?"));
        EXPECT_EQ(got, answer == QMessageBox::Yes ? platform::Answer::Yes : platform::Answer::No);
        EXPECT_EQ(question.title, QStringLiteral("Linoveta"));
        EXPECT_EQ(question.icon, QMessageBox::NoIcon);
        EXPECT_EQ(question.buttons, QMessageBox::Yes | QMessageBox::No);
    }
}

// The file dialogs show each filter by its caption alone, once, and still list only the files
// its pattern matches.
TEST(QtFileDialogs, ShowTheFilterCaptionOnceAndFilterByItsPattern)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    for (const char *name : {"graph.wqz", "graph.bmp", "notes.txt"}) {
        QFile file(folder.filePath(QLatin1String(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    const struct {
        QString filter;
        const char *caption;
        const char *listed;
    } cases[] = {
        {kDocumentFilter, "Linoveta files (.wqz)", "graph.wqz"},
        {kBitmapFilter, "bitmap files (.bmp)", "graph.bmp"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.caption);
        for (const QFileDialog::AcceptMode mode : {QFileDialog::AcceptOpen, QFileDialog::AcceptSave}) {
            platform::FileRequest request;
            request.directory = folder.path();
            request.filter = c.filter;
            QFileDialog dialog;
            platform::configureFileDialog(dialog, request, mode);
            const auto *types = dialog.findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
            ASSERT_TRUE(types);
            ASSERT_EQ(types->count(), 1);
            EXPECT_EQ(types->itemText(0).toStdString(), c.caption);

            // The dialog's own list of the folder, once it has been read.
            const auto *list = dialog.findChild<QAbstractItemView *>(QStringLiteral("listView"));
            ASSERT_TRUE(list);
            QStringList shown;
            for (int wait = 0; wait < 100 && shown.isEmpty(); ++wait) {
                QTest::qWait(20);
                const QModelIndex root = list->rootIndex();
                for (int row = 0; row < list->model()->rowCount(root); ++row)
                    shown << list->model()->index(row, 0, root).data().toString();
            }
            EXPECT_EQ(shown, QStringList{QLatin1String(c.listed)});
        }
    }
}

// The desktop's opener is started with the address; when it cannot show the page (no browser
// is set up), the failure is reported once it has ended. Nothing else on PATH is ever started.
TEST(QtWebBrowser, ReportsWhenTheDesktopsOpenerFails)
{
    // PATH comes back however the test ends.
    const struct RestorePath {
        QByteArray path = qgetenv("PATH");
        ~RestorePath() { qputenv("PATH", path); }
    } restore;
    const struct {
        const char *what;
        const char *opener;   // the script, or nullptr for none on PATH
        bool fails;
    } cases[] = {
        {"an opener that shows the page", "#!/bin/sh\necho \"$1\" > \"$0.seen\"\n", false},
        {"an opener without a browser", "#!/bin/sh\necho \"$1\" > \"$0.seen\"\nexit 4\n", true},
        {"no opener at all", nullptr, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir bin;
        ASSERT_TRUE(bin.isValid());
        const QString opener = bin.filePath(QStringLiteral("xdg-open"));
        if (c.opener) {
            QFile script(opener);
            ASSERT_TRUE(script.open(QIODevice::WriteOnly));
            script.write(c.opener);
            script.close();
            script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        qputenv("PATH", QFile::encodeName(bin.path()));
        int failures = 0;
        {
            const platform::Platform desktop = platform::makeQtPlatform();
            desktop.web->openAddress(platform::SupportPageAddress, [&failures] { ++failures; });
            if (c.opener) {
                QFile seen(opener + QStringLiteral(".seen"));
                EXPECT_TRUE(QTest::qWaitFor([&] { return seen.exists() && seen.size() > 0; }, 5000));
                ASSERT_TRUE(seen.open(QIODevice::ReadOnly));
                EXPECT_EQ(seen.readAll().trimmed(), platform::SupportPageAddress.toUtf8());
            }
            if (c.fails)
                EXPECT_TRUE(QTest::qWaitFor([&] { return failures > 0; }, 5000));
            else
                QTest::qWait(300);
        }
        EXPECT_EQ(failures, c.fails ? 1 : 0);
    }

    // The program ends while the opener still runs: it is stopped, and nothing is reported.
    QTemporaryDir bin;
    ASSERT_TRUE(bin.isValid());
    QFile script(bin.filePath(QStringLiteral("xdg-open")));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nexec /bin/sleep 30\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("PATH", QFile::encodeName(bin.path()));
    int failures = 0;
    QElapsedTimer clock;
    clock.start();
    {
        const platform::Platform desktop = platform::makeQtPlatform();
        desktop.web->openAddress(platform::HomePageAddress, [&failures] { ++failures; });
        QTest::qWait(200);
    }
    EXPECT_EQ(failures, 0);
    EXPECT_LT(clock.elapsed(), 10000);
}

} // namespace
} // namespace linoveta
