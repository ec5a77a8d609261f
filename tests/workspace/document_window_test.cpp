#include "main_window_fixture.h"
#include "support/scoped_locale.h"

#include "typeset/recording_surface.h"
#include "workspace/dialogs/frm_print_setup.h"
#include "workspace/graph_document.h"
#include "workspace/printing.h"
#include "workspace/regression_object.h"

#include "engine/formula_engine.h"
#include "engine/key_handler.h"
#include "support/accepted_lines.h"

#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <cerrno>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace linoveta {
namespace {

// A printer that keeps the print log of every document.
class LogPrinter : public PrinterService {
public:
    explicit LogPrinter(std::vector<std::vector<RecordedCall>> &documents) : m_documents(documents)
    {
    }
    QString deviceName() const override { return QStringLiteral("Test Printer"); }
    std::unique_ptr<Surface> beginDocument(const QString &jobName) override
    {
        jobNames << jobName;
        return std::make_unique<Page>(m_documents);
    }
    bool lastDocumentOk() const override { return true; }
    void setup(QWidget *) override { ++setups; }
    int setups = 0;
    QStringList jobNames;

private:
    struct Page : RecordingSurface {
        explicit Page(std::vector<std::vector<RecordedCall>> &d) : documents(d) {}
        ~Page() override { documents.push_back(calls()); }
        std::vector<std::vector<RecordedCall>> &documents;
    };
    std::vector<std::vector<RecordedCall>> &m_documents;
};

class DocumentWindowTest : public MainWindowTest {
protected:
    QString write(const char *name, const std::string &bytes)
    {
        const QString path = folder.filePath(QString::fromLatin1(name));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes.data(), qint64(bytes.size()));
        return path;
    }
    static std::string read(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : "<missing>";
    }
    void load(const QString &path)
    {
        script.openPaths.push_back(path);
        window->mnuLoad_Click();
    }
    std::string save(const char *name)
    {
        const QString path = folder.filePath(QString::fromLatin1(name));
        script.savePaths.push_back(path);
        window->mnuSave_Click();
        return read(path);
    }
    int visibleRows() const
    {
        int rows = 1;
        for (int i = 1; i < 5; ++i)
            rows += !window->Paper[i]->isHidden();
        return rows;
    }
    void typeInto(int box, const char *keys) { QTest::keyClicks(window->Paper[box], keys); }
    void addPoint(const char *x, const char *y)
    {
        window->Text2->setText(QString::fromLatin1(x));
        window->Text3->setText(QString::fromLatin1(y));
        QTest::mouseClick(window->Command4, Qt::LeftButton);
    }
};

struct LoadCase {
    const char *what;
    std::string text;
    std::array<const char *, 5> lines;
    int rows;        // visible formula rows after loading
    int points;
    bool linear;
    const char *order;
};

TEST_F(DocumentWindowTest, LoadingAppliesTheWholeDocument)
{
    const std::vector<LoadCase> cases = {
        {"the example", "x^2BBBBBBBBBB1BB2BB3BB4BBTrueBB2BB\r\n", {"x^2", "", "", "", ""}, 1, 2,
         true, "2"},
        {"line 3 alone shows rows 1..3", "BBBBBBS(x)BBBBFalseBB5BB\r\n", {"", "", "", "S(x)", ""},
         4, 0, false, "5"},
        {"stored symbols pass the key rules", "x+*2BB)BB|x|BBBBPBBTrueBB10BB\r\n",
         {"x+2", "", "|x|", "", "P"}, 5, 0, true, "10"},
        {"control characters are never keys", "x\b+1\rBBBBBBBBBB0.5BB-1,5BBwordBB3BB\r\n",
         {"x+1", "", "", "", ""}, 1, 1, true, "3"},
    };
    for (const LoadCase &c : cases) {
        SCOPED_TRACE(c.what);
        load(write("case.wqz", c.text));
        EXPECT_TRUE(script.messages.empty());
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(line(i), c.lines[std::size_t(i)]) << "line " << i;
        EXPECT_EQ(visibleRows(), c.rows);
        EXPECT_EQ(window->VisibleLines, c.rows - 1);
        EXPECT_EQ(tables().CurrentFunction, 0);
        EXPECT_EQ(window->m_Regression->XYCount(), c.points);
        EXPECT_EQ(window->Command1->isChecked(), c.linear);
        EXPECT_EQ(window->Command3->isChecked(), !c.linear);
        EXPECT_EQ(window->Combo1->currentText(), QString::fromLatin1(c.order));
        EXPECT_FALSE(tables().AllowTrigLetters);
        EXPECT_FALSE(program.AddingFromFile);
    }
}

TEST_F(DocumentWindowTest, SaveWritesTheExactLineAndLoadsBack)
{
    typeInto(0, "x^2");
    window->Blinker_Click();
    typeInto(1, "2x+1");
    addPoint("1", "2");
    addPoint(linoveta::test::InCurrentLocale("3.5", "3,5"), "-4");  // typed in the user's form
    const std::string bytes = save("doc.wqz");
    ASSERT_EQ(script.fileRequests.back().title, QStringLiteral("Save Graph Data As"));
    EXPECT_EQ(script.fileRequests.back().fileName, DefaultDocumentName(script.today));
    EXPECT_EQ(bytes, "x^2BB2x+1BBBBBBBB1BB2BB3.5BB-4BBTrueBB2BB\r\n");

    load(folder.filePath(QStringLiteral("doc.wqz")));
    EXPECT_EQ(line(0), "x^2");
    EXPECT_EQ(line(1), "2x+1");
    EXPECT_EQ(window->m_Regression->XYCount(), 2);
    EXPECT_EQ(save("again.wqz"), bytes);
}

TEST_F(DocumentWindowTest, BadFilesChangeNothing)
{
    typeInto(0, "x+1");
    addPoint("1", "2");
    const std::vector<std::string> bad = {
        "just some text\r\n",
        "xBBBBBBBBBB1BBTrueBB2BB\r\n",              // odd number of point fields
        "xBBBBBBBBBB1E+300BB1BBTrueBB2BB\r\n",      // too large for the fit
        "xBBBBBBBBBBTrueBB12BB\r\n",                // no such order
    };
    for (const std::string &text : bad) {
        SCOPED_TRACE(text);
        script.messages.clear();
        load(write("bad.wqz", text));
        ASSERT_EQ(script.messages.size(), 1u);
        EXPECT_EQ(script.messages[0], kCouldNotOpenMessage);
        EXPECT_EQ(line(0), "x+1");
        EXPECT_EQ(window->m_Regression->XYCount(), 1);
    }
    // An empty file and a cancelled dialog stay silent.
    script.messages.clear();
    load(write("empty.wqz", ""));
    window->mnuLoad_Click();
    EXPECT_TRUE(script.messages.empty());
    EXPECT_EQ(line(0), "x+1");
}

TEST_F(DocumentWindowTest, FailedSaveSaysSoAndCancelStaysSilent)
{
    script.savePaths.push_back(folder.filePath(QStringLiteral("no/such/folder.wqz")));
    window->mnuSave_Click();
    ASSERT_EQ(script.messages.size(), 1u);
    EXPECT_EQ(script.messages[0], kCouldNotSaveMessage);
    script.messages.clear();
    window->mnuSave_Click();  // cancelled
    EXPECT_TRUE(script.messages.empty());
}

TEST_F(DocumentWindowTest, BitmapOfThePlotSurface)
{
    script.savePaths.push_back(folder.filePath(QStringLiteral("plot")));
    window->mnuBitMap_Click();
    ASSERT_FALSE(script.fileRequests.empty());
    EXPECT_EQ(script.fileRequests.back().title, QStringLiteral("Save Graph Bitmap As"));
    EXPECT_EQ(script.fileRequests.back().fileName, DefaultBitmapName(script.today));
    const QImage image(folder.filePath(QStringLiteral("plot.bmp")));
    EXPECT_EQ(image.size(), window->frmGraph->surface().image().size());
    EXPECT_EQ(image.pixel(0, 0), window->frmGraph->surface().image().pixel(0, 0));
}

TEST_F(DocumentWindowTest, CommandLineDocumentOpensAtStart)
{
    const QString path = write("with blank.wqz", "x-3BBBBBBBBBBTrueBB4BB\r\n");
    Program other;
    platform::Script otherScript;
    frmGraphMain started(other, platform::makeScriptedPlatform(otherScript));
    started.setDocumentsFolder(folder.path());
    started.setSplashDelay(0);
    started.setCommandLine(QLatin1Char('"') + path + QLatin1Char('"'));
    started.Form_Load();
    EXPECT_EQ(char2str_sym(other.engine.tables, 0), "x-3");
    EXPECT_EQ(started.Combo1->currentText(), QStringLiteral("4"));
    EXPECT_TRUE(other.CommandFile.isEmpty());
    EXPECT_TRUE(otherScript.fileRequests.empty());
    EXPECT_TRUE(otherScript.messages.empty());
}

// Gives a load that waits on a named pipe a writer after a few seconds, so a test of it fails
// instead of hanging.
class PipeWatchdog {
public:
    explicit PipeWatchdog(QString pipe) : m_pipe(std::move(pipe))
    {
        m_thread = std::thread([this] {
            std::unique_lock lock(m_mutex);
            if (m_done.wait_for(lock, std::chrono::seconds(5), [this] { return m_finished; }))
                return;
            m_fired = true;
            const int fd = ::open(QFile::encodeName(m_pipe).constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0)
                ::close(fd);
        });
    }
    // True when the load had to be woken.
    bool finish()
    {
        {
            std::lock_guard lock(m_mutex);
            m_finished = true;
        }
        m_done.notify_one();
        m_thread.join();
        return m_fired;
    }

private:
    QString m_pipe;
    std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_finished = false;
    bool m_fired = false;
    std::thread m_thread;
};

// Anything but a regular file of document size is refused with the message, from the dialog
// and from the command line alike, without waiting and without changing anything.
TEST_F(DocumentWindowTest, NonDocumentFilesAreRefusedAtOnce)
{
    typeInto(0, "x+1");
    addPoint("1", "2");
    const QString pipe = folder.filePath(QStringLiteral("pipe.wqz"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    QFile big(folder.filePath(QStringLiteral("big.wqz")));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    const std::string filler = "xBBBBBBBBBBTrueBB2BB\r\n";
    while (big.size() <= qint64(kMaxDocumentBytes))
        big.write(filler.data(), qint64(filler.size()));
    big.close();
    const std::vector<std::pair<const char *, QString>> files = {
        {"a named pipe", pipe},
        {"a folder", folder.path()},
        {"an endless device", QStringLiteral("/dev/zero")},
        {"a file larger than any document", big.fileName()},
        {"a formula line longer than a line may be",
         write("long.wqz", std::string(2000, '1') + "BBBBBBBBBBTrueBB2BB\r\n")},
    };
    for (const bool commandLine : {false, true}) {
        for (const auto &[what, path] : files) {
            SCOPED_TRACE(std::string(what) + (commandLine ? " on the command line" : " chosen"));
            script.messages.clear();
            PipeWatchdog watchdog(pipe);
            if (commandLine) {
                program.CommandFile = QLatin1Char('"') + path + QLatin1Char('"');
                window->mnuLoad_Click();
                program.CommandFile.clear();
            } else {
                load(path);
            }
            EXPECT_FALSE(watchdog.finish()) << "the load waited on the pipe";
            ASSERT_EQ(script.messages.size(), 1u);
            EXPECT_EQ(script.messages[0], kCouldNotOpenMessage);
            EXPECT_EQ(line(0), "x+1");
            EXPECT_EQ(window->m_Regression->XYCount(), 1);
        }
    }
}

// The dialog adds the extension before it asks, so both spellings of an existing name ask,
// and "No" keeps the old file.
TEST_F(DocumentWindowTest, SavesAskBeforeOverwritingWhateverTheSpelling)
{
    typeInto(0, "x");
    struct Case {
        const char *typed;
        const char *existing;
        bool bitmap;
    };
    const std::vector<Case> cases = {
        {"first", "first.wqz", false},
        {"first.wqz", "first.wqz", false},
        {"plot", "plot.bmp", true},
        {"plot.bmp", "plot.bmp", true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed);
        const QString existing = write(c.existing, "old");
        script.overwriteQuestions.clear();
        script.savePaths.push_back(folder.filePath(QString::fromLatin1(c.typed)));
        script.answers.push_back(platform::Answer::No);
        c.bitmap ? window->mnuBitMap_Click() : window->mnuSave_Click();
        EXPECT_EQ(script.overwriteQuestions, std::vector<QString>{existing});
        EXPECT_EQ(read(existing), "old");
        EXPECT_EQ(script.fileRequests.back().defaultSuffix,
                  QString::fromLatin1(c.bitmap ? "bmp" : "wqz"));
        EXPECT_TRUE(script.fileRequests.back().confirmOverwrite);
    }
    EXPECT_TRUE(script.messages.empty());
}

// Runs a program and waits for it; its exit code, or 128 and the signal that ended it.
int RunProgram(const std::vector<std::string> &args, bool quiet)
{
    std::vector<char *> argv;
    for (const std::string &a : args)
        argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (quiet) {
            const int null = ::open("/dev/null", O_WRONLY);
            ::dup2(null, 1);
            ::dup2(null, 2);
        }
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Without root the running test runs again under `unshare -rm`: there it is root of a user and
// mount namespace of its own and may mount a small file system. False when no namespace can be
// made here.
bool RerunInOwnNamespace()
{
    if (RunProgram({"unshare", "-rm", "true"}, true) != 0)
        return false;
    char self[PATH_MAX] = {};
    if (::readlink("/proc/self/exe", self, sizeof self - 1) <= 0)
        return false;
    const ::testing::TestInfo *test = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string filter =
        std::string("--gtest_filter=") + test->test_suite_name() + "." + test->name();
    EXPECT_EQ(RunProgram({"unshare", "-rm", self, filter}, false), 0)
        << "the run in its own namespace failed";
    return true;
}

// A small file system of its own that tests fill up; mounting needs root (of the machine or of
// a namespace), and a test that cannot mount one says so and is skipped.
class SmallFileSystem {
public:
    explicit SmallFileSystem(const QString &where) : m_where(QFile::encodeName(where))
    {
        if (::geteuid() != 0) {
            m_why = "not running as root";
            return;
        }
        if (::mount("tmpfs", m_where.constData(), "tmpfs", MS_NOSUID | MS_NODEV, "size=1m") != 0) {
            m_why = std::string("mount failed: ") + std::strerror(errno);
            return;
        }
        m_mounted = true;
    }
    ~SmallFileSystem()
    {
        if (m_mounted)
            ::umount2(m_where.constData(), MNT_DETACH);
    }
    bool mounted() const { return m_mounted; }
    const std::string &why() const { return m_why; }
    // Fills the file system with `filler`, then shrinks it until `room` bytes are free.
    static bool fillLeaving(const QString &filler, off_t room)
    {
        const int fd = ::open(QFile::encodeName(filler).constData(), O_WRONLY | O_CREAT, 0600);
        if (fd < 0)
            return false;
        const std::string block(4096, 'z');
        while (::write(fd, block.data(), block.size()) > 0) {
        }
        struct stat info {};
        const bool ok = errno == ENOSPC && ::fstat(fd, &info) == 0 && info.st_size > room &&
                        ::ftruncate(fd, info.st_size - room) == 0;
        ::close(fd);
        return ok;
    }

private:
    QByteArray m_where;
    bool m_mounted = false;
    std::string m_why;
};

// A save that does not fit leaves the old file byte for byte. The free room is chosen so the
// writes themselves may succeed and only the last flush finds the disk full.
TEST_F(DocumentWindowTest, FullDiskKeepsTheOldFiles)
{
    if (::geteuid() != 0) {
        if (RerunInOwnNamespace()) {
            std::printf("Full-disk save tried in a user and mount namespace (unshare -rm)\n");
            return;
        }
        std::printf("Full-disk save not tried: not root, and unshare -rm cannot make a "
                    "namespace here\n");
        GTEST_SKIP() << "not root, and no user namespace";
    }
    QTemporaryDir mountPoint;
    ASSERT_TRUE(mountPoint.isValid());
    SmallFileSystem disk(mountPoint.path());
    if (!disk.mounted()) {
        std::printf("Full-disk save not tried on a real file system: %s\n", disk.why().c_str());
        GTEST_SKIP() << disk.why();
    }
    const QDir dir(mountPoint.path());
    // 250 points make a document of about 8 KiB.
    std::string text = "x^2BBBBBBBBBB";
    for (int i = 0; i < 250; ++i)
        text += "-1234.5678901BB" + std::to_string(i) + ".123456789BB";
    load(write("points.wqz", text + "TrueBB2BB\r\n"));
    ASSERT_EQ(window->m_Regression->XYCount(), 250);
    QByteArray bitmap;
    QBuffer buffer(&bitmap);
    ASSERT_TRUE(buffer.open(QIODevice::WriteOnly));
    ASSERT_TRUE(window->frmGraph->surface().image().save(&buffer, "BMP"));

    QImage small(8, 8, QImage::Format_RGB32);
    small.fill(Qt::red);
    ASSERT_TRUE(small.save(dir.filePath(QStringLiteral("old.bmp")), "BMP"));
    const std::string oldBitmap = read(dir.filePath(QStringLiteral("old.bmp")));
    const std::string oldDocument = "xBBBBBBBBBBTrueBB2BB\r\n";
    {
        QFile f(dir.filePath(QStringLiteral("old.wqz")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(oldDocument.data(), qint64(oldDocument.size()));
    }
    struct Case {
        const char *what;
        off_t room;
        bool bitmap;
    };
    const std::vector<Case> cases = {
        {"a document with 4 KiB free", 4096, false},
        {"a bitmap with 8 KiB too little free", off_t(bitmap.size()) - 8192, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const QString filler = dir.filePath(QStringLiteral("filler"));
        QFile::remove(filler);
        ASSERT_TRUE(SmallFileSystem::fillLeaving(filler, c.room));
        script.messages.clear();
        script.savePaths.push_back(dir.filePath(QLatin1String(c.bitmap ? "old.bmp" : "old.wqz")));
        script.answers.push_back(platform::Answer::Yes);
        c.bitmap ? window->mnuBitMap_Click() : window->mnuSave_Click();
        EXPECT_EQ(script.messages,
                  c.bitmap ? std::vector<QString>{} : std::vector<QString>{kCouldNotSaveMessage});
        EXPECT_TRUE(read(dir.filePath(QStringLiteral("old.wqz"))) == oldDocument)
            << "the old document was replaced";
        EXPECT_TRUE(read(dir.filePath(QStringLiteral("old.bmp"))) == oldBitmap)
            << "the old bitmap was replaced";
        // Nothing half-written is left beside them.
        EXPECT_EQ(dir.entryList(QDir::Files | QDir::Hidden),
                  (QStringList{QStringLiteral("filler"), QStringLiteral("old.bmp"),
                               QStringLiteral("old.wqz")}));
    }
}

// A document loads as the same formulas whatever was typed before: every line starts from a
// fresh editing state.
TEST_F(DocumentWindowTest, EveryLineReplaysFromAFreshEditingState)
{
    struct Case {
        const char *what;
        const char *typedBefore;
        std::string text;
        std::array<const char *, 5> lines;
    };
    const std::vector<Case> cases = {
        {"a decimal point typed before", "2.5", ".5xBBBBBBBBBBTrueBB2BB\r\n",
         {".5x", "", "", "", ""}},
        {"a decimal point in the line before", "", "2.5BB.5xBBBBBBBBTrueBB2BB\r\n",
         {"2.5", ".5x", "", "", ""}},
        {"the same file again", "", ".5xBB.5BBBBBBBBTrueBB2BB\r\n", {".5x", ".5", "", "", ""}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        window->Paper[0]->setFocus();
        typeInto(0, c.typedBefore);
        const QString path = write("fresh.wqz", c.text);
        for (int time = 0; time < 2; ++time) {
            load(path);
            for (int i = 0; i < 5; ++i)
                EXPECT_EQ(line(i), c.lines[std::size_t(i)]) << "line " << i << ", load " << time;
        }
    }
}

// After a load, Graph, Evaluate f(x) and Calculate Area follow the loaded lines at once, and
// the boxes show them.
TEST_F(DocumentWindowTest, CommandsFollowTheLoadedLines)
{
    struct Case {
        const char *what;
        const char *typedBefore;
        std::string text;
        bool enabled;
    };
    const std::vector<Case> cases = {
        {"a complete formula", "", "x+1BBBBBBBBBBTrueBB2BB\r\n", true},
        {"a formula in line 3 only", "", "BBBBBB2xBBBBTrueBB2BB\r\n", true},
        {"one symbol in line 2 only", "", "BBBBxBBBBBBTrueBB2BB\r\n", true},
        {"an unfinished formula after a complete one", "x", "x+BBBBBBBBBBTrueBB2BB\r\n", false},
        {"points but no formula after a complete one", "x", "BBBBBBBBBB1BB2BBTrueBB2BB\r\n",
         false},
        {"a complete line and an unfinished one", "", "xBB~BBBBBBBBTrueBB2BB\r\n", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        window->Paper[0]->setFocus();
        typeInto(0, c.typedBefore);
        load(write("commands.wqz", c.text));
        EXPECT_EQ(CanGraph(tables()), c.enabled);
        for (QAction *a : {window->mnuGraphIt, window->mnuEvaluate, window->mnuShade,
                           window->toolbarButtons[1].action, window->toolbarButtons[12].action,
                           window->toolbarButtons[13].action})
            EXPECT_EQ(a->isEnabled(), c.enabled) << a->text().toStdString();
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(inkPixels(*window->Paper[i]) > 0, !line(i).empty()) << "box " << i;
    }
}

TEST_F(DocumentWindowTest, PrintOptionsPrintsThePageOnce)
{
    std::vector<std::vector<RecordedCall>> documents;
    window->setPrinter(std::make_unique<LogPrinter>(documents));
    window->Picture1[0]->setBackColor(0x00C000);
    typeInto(0, "x");
    window->mnuGraphPrint_Click();
    frmPrintSetup *options = window->printOptions();
    ASSERT_NE(options, nullptr);
    EXPECT_FALSE(options->isModal());
    EXPECT_EQ(options->Label1->text(), QStringLiteral("Test Printer"));
    options->Text1->setText(QStringLiteral("Heading"));
    QTest::mouseClick(options->Command2, Qt::LeftButton);
    ASSERT_EQ(documents.size(), 1u);
    bool heading = false, formulaInColour = false, picture = false;
    for (const RecordedCall &c : documents[0]) {
        heading |= c.kind == RecordedCall::Text && c.text == QStringLiteral("Heading   ");
        formulaInColour |= c.kind == RecordedCall::Text && c.text.contains(QLatin1Char('x')) &&
                           c.colour == 0x00C000;
        picture |= c.kind == RecordedCall::Picture && c.x == 12;
    }
    EXPECT_TRUE(heading);
    EXPECT_TRUE(formulaInColour);
    EXPECT_TRUE(picture);
}

TEST_F(DocumentWindowTest, PointSeriesPrintsTheEquationInBlack)
{
    std::vector<std::vector<RecordedCall>> documents;
    window->setPrinter(std::make_unique<LogPrinter>(documents));
    typeInto(0, "x");
    window->mnuPtSeries_Click();
    ASSERT_TRUE(window->Check1->isChecked());
    addPoint("1", "2");
    addPoint("2", "4");
    window->mnuGraphPrint_Click();
    QTest::mouseClick(window->printOptions()->Command2, Qt::LeftButton);
    ASSERT_EQ(documents.size(), 1u);
    QString text;
    bool pastHeadings = false;
    for (const RecordedCall &c : documents[0]) {
        if (c.kind != RecordedCall::Text)
            continue;
        if (c.x == 12)
            pastHeadings = true;
        if (pastHeadings) {
            text += c.text;
            EXPECT_EQ(c.colour, 0);
        }
    }
    // Line 0's formula would have been red; the equation is all black.
    EXPECT_FALSE(text.isEmpty());
}

// A print job carries the program's name and the name of the document last loaded or saved, so
// a print queue (and a PDF queue's file) tells the prints apart.
TEST_F(DocumentWindowTest, PrintJobsAreNamedAfterTheDocument)
{
    std::vector<std::vector<RecordedCall>> documents;
    auto printer = std::make_unique<LogPrinter>(documents);
    LogPrinter &log = *printer;
    window->setPrinter(std::move(printer));
    const QString algebra = write("algebra.wqz", "x^2BBBBBBBBBBTrueBB2BB\r\n");
    const QString notADocument = write("notes.wqz", "not a document");
    struct Step {
        const char *what;
        std::function<void()> act;
        const char *jobName;
    };
    const std::vector<Step> steps = {
        {"before any document", [] {}, "Linoveta"},
        {"a loaded document", [&] { load(algebra); }, "Linoveta - algebra.wqz"},
        {"a cancelled load keeps it", [&] { window->mnuLoad_Click(); }, "Linoveta - algebra.wqz"},
        {"a file that is no document keeps it", [&] { load(notADocument); },
         "Linoveta - algebra.wqz"},
        {"a saved document", [&] { save("homework.wqz"); }, "Linoveta - homework.wqz"},
        {"a cancelled save keeps it", [&] { window->mnuSave_Click(); }, "Linoveta - homework.wqz"},
    };
    for (const Step &step : steps) {
        SCOPED_TRACE(step.what);
        step.act();
        script.messages.clear();
        window->mnuGraphPrint_Click();
        ASSERT_NE(window->printOptions(), nullptr);
        QTest::mouseClick(window->printOptions()->Command2, Qt::LeftButton);
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ASSERT_FALSE(log.jobNames.isEmpty());
        EXPECT_EQ(log.jobNames.last(), QString::fromLatin1(step.jobName));
    }
    EXPECT_EQ(log.jobNames.size(), qsizetype(steps.size()));
}

TEST_F(DocumentWindowTest, PrintOptionsClosesWithTheWindow)
{
    std::vector<std::vector<RecordedCall>> documents;
    window->setPrinter(std::make_unique<LogPrinter>(documents));
    window->mnuGraphPrint_Click();
    QPointer<frmPrintSetup> options = window->printOptions();
    ASSERT_TRUE(options);
    window->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(options.isNull() || options->isHidden());
}

// Property: lines typed only with keys the rules accept, short and long up to the table
// bounds, come back from a saved document exactly: the loader replays every symbol, each line
// shows and computes as it did when typed, and saving again writes the same bytes.
TEST(DocumentRoundTripProperty, TypedLinesLoadAsTheyWereSaved)
{
    test::LineRandom next(90210u);
    constexpr int kLengths[] = {20, 80, 300, 2500};
    for (int doc = 0; doc < 32; ++doc) {
        auto typed = std::make_unique<FormulaEngine>();
        typed->Start();
        GraphDocument document;
        for (int i = 0; i < 5; ++i)
            document.lines[std::size_t(i)] =
                test::TypeAcceptedLine(*typed, i, next, kLengths[next() % 4]);
        const std::string saved = GraphDocumentCodec::Write(document);

        const DocumentReadResult read = GraphDocumentCodec::Read(saved);
        ASSERT_EQ(read.status, DocumentReadStatus::Ok) << doc;
        auto loaded = std::make_unique<FormulaEngine>();
        loaded->Start();
        FormulaTables &t = loaded->tables;
        t.AllowTrigLetters = true;
        for (int i = 0; i < 5; ++i) {
            t.CurrentFunction = std::int16_t(i);
            for (char c : read.document.lines[std::size_t(i)])
                Paper_KeyPress(t, loaded->keys, std::int16_t(i),
                               std::int16_t(static_cast<unsigned char>(c)));
        }
        t.AllowTrigLetters = false;
        GraphDocument again;
        for (int i = 0; i < 5; ++i) {
            const std::string why = "document " + std::to_string(doc) + " line " + std::to_string(i);
            again.lines[std::size_t(i)] = char2str_sym(t, i);
            ASSERT_EQ(char2str_sym(t, i), document.lines[std::size_t(i)]) << why;
            EXPECT_EQ(char2str_disp(t, i), char2str_disp(typed->tables, i)) << why;
            EXPECT_EQ(char2str_expr(t, i), char2str_expr(typed->tables, i)) << why;
            EXPECT_EQ(t.FormulaIncomplete[i], typed->tables.FormulaIncomplete[i]) << why;
        }
        EXPECT_EQ(GraphDocumentCodec::Write(again), saved) << doc;
    }
}

// The same through the windows: typed into the boxes (the functions by their commands),
// saved, loaded into a fresh window and saved from there.
TEST_F(DocumentWindowTest, TypedLinesSurviveSavingAndLoadingIntoAFreshWindow)
{
    test::LineRandom next(31337u);
    for (int i = 1; i < 5; ++i)
        window->Blinker_Click();
    for (int doc = 0; doc < 3; ++doc) {
        std::array<std::string, 5> lines;
        for (int i = 0; i < 5; ++i) {
            lines[std::size_t(i)] = test::AcceptedLine(next, doc == 2 && i == 4 ? 1200 : 60);
            QTest::mouseClick(window->Paper[i], Qt::LeftButton);
            ASSERT_EQ(tables().CurrentFunction, i);
            while (!line(i).empty())
                window->Paper_KeyPress(i, kKeyBackspace);
            const std::string &keys = lines[std::size_t(i)];
            for (std::size_t k = 0; k < keys.size(); ++k) {
                const char c = keys[k];
                if (c == 'S' || c == 'C' || c == 'T') {
                    c == 'S' ? window->mnuSin_Click() : c == 'C' ? window->mnuCos_Click() : window->mnuTan_Click();
                    ++k;  // the command typed the "(" too
                } else {
                    window->Paper_KeyPress(i, c);
                }
            }
            ASSERT_EQ(line(i), keys) << "typing through the window";
        }
        const std::string name = "typed" + std::to_string(doc) + ".wqz";
        const std::string saved = save(name.c_str());

        Program freshProgram;
        platform::Script freshScript;
        frmGraphMain fresh(freshProgram, platform::makeScriptedPlatform(freshScript));
        fresh.setDocumentsFolder(folder.path());
        fresh.setSplashDelay(0);
        fresh.Form_Load();
        freshScript.openPaths.push_back(folder.filePath(QString::fromStdString(name)));
        fresh.mnuLoad_Click();
        EXPECT_TRUE(freshScript.messages.empty());
        const FormulaTables &t = freshProgram.engine.tables;
        for (int i = 0; i < 5; ++i) {
            const std::string why = "document " + std::to_string(doc) + " line " + std::to_string(i);
            EXPECT_EQ(char2str_sym(t, i), lines[std::size_t(i)]) << why;
            EXPECT_EQ(char2str_disp(t, i), char2str_disp(tables(), i)) << why;
            EXPECT_EQ(char2str_expr(t, i), char2str_expr(tables(), i)) << why;
            EXPECT_EQ(t.FormulaIncomplete[i], tables().FormulaIncomplete[i]) << why;
        }
        const QString again = folder.filePath(QStringLiteral("again%1.wqz").arg(doc));
        freshScript.savePaths.push_back(again);
        fresh.mnuSave_Click();
        EXPECT_EQ(read(again), saved) << doc;
    }
}

} // namespace
} // namespace linoveta
