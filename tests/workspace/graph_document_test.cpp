#include "workspace/graph_document.h"
#include "workspace/platform/platform.h"
#include "workspace/platform/qt_platform.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <cstdlib>
#include <new>
#include <deque>

#include <sys/stat.h>

using namespace linoveta;

namespace {

std::string Lines(std::string_view a, std::string_view b = "", std::string_view c = "",
                  std::string_view d = "", std::string_view e = "")
{
    std::string s;
    for (std::string_view line : {a, b, c, d, e}) {
        s += line;
        s += "BB";
    }
    return s;
}

struct ReadCase {
    const char *what;
    std::string text;
    DocumentReadStatus status;
    std::array<std::string, 5> lines;
    std::vector<DocumentPoint> points;
    bool linear;
    int order;
    int highestLine;
};

const std::vector<ReadCase> &ReadCases()
{
    static const std::vector<ReadCase> cases = {
        {"the example document", "x^2BBBBBBBBBB1BB2BB3BB4BBTrueBB2BB\r\n", DocumentReadStatus::Ok,
         {"x^2", "", "", "", ""}, {{1, 2}, {3, 4}}, true, 2, 0},
        {"no points: seven fields", Lines("x+1") + "FalseBB5BB\r\n", DocumentReadStatus::Ok,
         {"x+1", "", "", "", ""}, {}, false, 5, 0},
        {"line 3 alone shows rows 1..3", Lines("", "", "", "S(x)") + "TrueBB2BB\r\n",
         DocumentReadStatus::Ok, {"", "", "", "S(x)", ""}, {}, true, 2, 3},
        {"any word but False is Linear", Lines("x") + "falseBB3BB\r\n", DocumentReadStatus::Ok,
         {"x", "", "", "", ""}, {}, true, 3, 0},
        {"an empty option word is Linear", Lines("x") + "BB10BB\r\n", DocumentReadStatus::Ok,
         {"x", "", "", "", ""}, {}, true, 10, 0},
        {"exponent forms, blanks and signs",
         Lines("x") + "-1.5E-07 BB 1E+20BB+2BB.25BB-3BB0BBTrueBB2BB\r\n", DocumentReadStatus::Ok,
         {"x", "", "", "", ""}, {{-1.5e-07, 1e20}, {2, 0.25}, {-3, 0}}, true, 2, 0},
        {"a comma decimal point where there is no dot", Lines("x") + "1,5BB-0,25BBTrueBB2BB\r\n",
         DocumentReadStatus::Ok, {"x", "", "", "", ""}, {{1.5, -0.25}}, true, 2, 0},
        {"no line end after the last separator", Lines("x") + "TrueBB2BB",
         DocumentReadStatus::Ok, {"x", "", "", "", ""}, {}, true, 2, 0},
        {"a bare LF line end", Lines("x") + "TrueBB2BB\n", DocumentReadStatus::Ok,
         {"x", "", "", "", ""}, {}, true, 2, 0},
        {"control characters are dropped, never replayed",
         Lines("x\b+1\r", "\n", "\t2\x1b") + "TrueBB2BB\r\n", DocumentReadStatus::Ok,
         {"x+1", "", "2", "", ""}, {}, true, 2, 2},
        {"bytes outside ASCII and a lone B are dropped", Lines("x\xe9\x80", "xBx") + "TrueBB2BB\r\n",
         DocumentReadStatus::Ok, {"x", "xx", "", "", ""}, {}, true, 2, 1},

        {"an empty text stays silent", "", DocumentReadStatus::Empty, {}, {}, true, 2, 0},
        {"a text file without separators", "hello world\r\n", DocumentReadStatus::Invalid, {},
         {}, true, 2, 0},
        {"only a line end", "\r\n", DocumentReadStatus::Invalid, {}, {}, true, 2, 0},
        {"too few fields", "x^2BBBBBBTrueBB2BB\r\n", DocumentReadStatus::Invalid, {}, {}, true,
         2, 0},
        {"an odd number of point fields", Lines("x") + "1BB2BB3BBTrueBB2BB\r\n",
         DocumentReadStatus::Invalid, {}, {}, true, 2, 0},
        {"a point that is not a number", Lines("x") + "1BBabcBBTrueBB2BB\r\n",
         DocumentReadStatus::Invalid, {}, {}, true, 2, 0},
        {"an empty point field", Lines("x") + "BB2BBTrueBB2BB\r\n", DocumentReadStatus::Invalid,
         {}, {}, true, 2, 0},
        {"a point with two decimal marks", Lines("x") + "1.5,2BB2BBTrueBB2BB\r\n",
         DocumentReadStatus::Invalid, {}, {}, true, 2, 0},
        {"no infinities or hex numbers", Lines("x") + "infBB0x10BBTrueBB2BB\r\n",
         DocumentReadStatus::Invalid, {}, {}, true, 2, 0},
        {"a point beyond the double range", Lines("x") + "1E+400BB1BBTrueBB2BB\r\n",
         DocumentReadStatus::Invalid, {}, {}, true, 2, 0},
        {"x too large for the order-10 sums", Lines("x") + "1E+16BB1BBTrueBB2BB\r\n",
         DocumentReadStatus::Invalid, {}, {}, true, 2, 0},
        {"x^10 * y too large", Lines("x") + "1E+15BB1E+160BBTrueBB2BB\r\n",
         DocumentReadStatus::Invalid, {}, {}, true, 2, 0},
        {"order 1 is not offered", Lines("x") + "TrueBB1BB\r\n", DocumentReadStatus::Invalid, {},
         {}, true, 2, 0},
        {"order 11 is not offered", Lines("x") + "TrueBB11BB\r\n", DocumentReadStatus::Invalid,
         {}, {}, true, 2, 0},
        {"order not a whole number", Lines("x") + "TrueBB2.5BB\r\n", DocumentReadStatus::Invalid,
         {}, {}, true, 2, 0},
        {"order missing", Lines("x") + "TrueBBBB\r\n", DocumentReadStatus::Invalid, {}, {}, true,
         2, 0},
        {"text after the line end", Lines("x") + "TrueBB2BB\r\nmore", DocumentReadStatus::Invalid,
         {}, {}, true, 2, 0},
        {"a formula field as long as a line may be",
         Lines(std::string(1999, '1'), "", "", "", std::string(1999, 'x')) + "TrueBB2BB\r\n",
         DocumentReadStatus::Ok, {std::string(1999, '1'), "", "", "", std::string(1999, 'x')}, {},
         true, 2, 4},
        {"a formula field longer than a line", Lines("x", std::string(2000, '1')) + "TrueBB2BB\r\n",
         DocumentReadStatus::Invalid, {}, {}, true, 2, 0},
        {"a formula field of a megabyte", Lines(std::string(1 << 20, '+')) + "TrueBB2BB\r\n",
         DocumentReadStatus::Invalid, {}, {}, true, 2, 0},
    };
    return cases;
}

void PrintTo(const ReadCase &c, std::ostream *os) { *os << c.what; }

class GraphDocumentRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(GraphDocumentRead, YieldsWhatLoadingApplies)
{
    const ReadCase &c = GetParam();
    const DocumentReadResult r = GraphDocumentCodec::Read(c.text);
    ASSERT_EQ(r.status, c.status);
    if (c.status != DocumentReadStatus::Ok)
        return;
    EXPECT_EQ(r.document.lines, c.lines);
    EXPECT_EQ(r.document.points, c.points);
    EXPECT_EQ(r.document.linear, c.linear);
    EXPECT_EQ(r.document.order, c.order);
    EXPECT_EQ(HighestFilledLine(r.document), c.highestLine);
}

INSTANTIATE_TEST_SUITE_P(Table, GraphDocumentRead, ::testing::ValuesIn(ReadCases()));

TEST(GraphDocumentRead, PointCountBound)
{
    auto withPoints = [](std::size_t n) {
        std::string s = Lines("x");
        for (std::size_t i = 0; i < n; ++i)
            s += std::to_string(i) + "BB1BB";
        return s + "TrueBB2BB\r\n";
    };
    const DocumentReadResult full = GraphDocumentCodec::Read(withPoints(500));
    ASSERT_EQ(full.status, DocumentReadStatus::Ok);
    EXPECT_EQ(full.document.points.size(), 500u);
    EXPECT_EQ(full.document.points.back(), (DocumentPoint{499, 1}));
    EXPECT_EQ(GraphDocumentCodec::Read(withPoints(501)).status, DocumentReadStatus::Invalid);
}

// Counts what the reader allocates while a test asks for it.
std::size_t g_allocated = 0;
bool g_counting = false;

} // namespace

void *operator new(std::size_t size)
{
    if (g_counting)
        g_allocated += size;
    if (void *p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void *p) noexcept { std::free(p); }
void operator delete(void *p, std::size_t) noexcept { std::free(p); }

namespace {

// A text of millions of fields is refused after the first field past what a document holds,
// without a list of all of them.
TEST(GraphDocumentRead, HugeTextsAreRefusedWithoutSplittingThemWhole)
{
    const std::vector<std::pair<const char *, std::string>> cases = {
        {"only separators", std::string(20'000'000, 'B')},
        {"one-digit points", [] {
             std::string s = Lines("x");
             while (s.size() < 20'000'000)
                 s += "1BB";
             return s + "TrueBB2BB\r\n";
         }()},
    };
    for (const auto &[what, text] : cases) {
        SCOPED_TRACE(what);
        g_allocated = 0;
        g_counting = true;
        const DocumentReadStatus status = GraphDocumentCodec::Read(text).status;
        g_counting = false;
        EXPECT_EQ(status, DocumentReadStatus::Invalid);
        EXPECT_LT(g_allocated, std::size_t(1) << 20);
    }
}

struct WriteCase {
    const char *what;
    GraphDocument document;
    std::string bytes;
};

class GraphDocumentWrite : public ::testing::Test {
protected:
    static std::vector<WriteCase> Cases()
    {
        return {
            {"the example", {{"x^2", "", "", "", ""}, {{1, 2}, {3, 4}}, true, 2},
             "x^2BBBBBBBBBB1BB2BB3BB4BBTrueBB2BB\r\n"},
            {"no points gives seven fields", {{"", "", "", "", ""}, {}, false, 10},
             "BBBBBBBBBBFalseBB10BB\r\n"},
            {"number text of coordinates",
             {{"~x", "S(x)", "|x|", "P", "1/x"},
              {{1.5, -3}, {0.25, 1e20}, {-1.5e-07, 0.1 + 0.2}, {1234567890123456.0, -0.0}},
              true,
              7},
             "~xBBS(x)BB|x|BBPBB1/xBB1.5BB-3BB0.25BB1E+20BB-1.5E-07BB0.3BB1.23456789012346E+15BB"
             "0BBTrueBB7BB\r\n"},
        };
    }
};

TEST_F(GraphDocumentWrite, ExactBytes)
{
    for (const WriteCase &c : Cases()) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(GraphDocumentCodec::Write(c.document), c.bytes);
    }
}

TEST_F(GraphDocumentWrite, RoundTripsGiveIdenticalBytes)
{
    for (const WriteCase &c : Cases()) {
        SCOPED_TRACE(c.what);
        const DocumentReadResult r = GraphDocumentCodec::Read(c.bytes);
        ASSERT_EQ(r.status, DocumentReadStatus::Ok);
        EXPECT_EQ(GraphDocumentCodec::Write(r.document), c.bytes);
    }
}

// Under a locale whose decimal point is "," the bytes must not change.
TEST_F(GraphDocumentWrite, CommaLocaleChangesNothing)
{
    const QLocale savedQt;
    const std::string savedC = std::setlocale(LC_ALL, nullptr);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    for (const char *name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8"})
        if (std::setlocale(LC_ALL, name))
            break;
    for (const WriteCase &c : Cases()) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(GraphDocumentCodec::Write(c.document), c.bytes);
        const DocumentReadResult r = GraphDocumentCodec::Read(c.bytes);
        ASSERT_EQ(r.status, DocumentReadStatus::Ok);
        EXPECT_EQ(GraphDocumentCodec::Write(r.document), c.bytes);
    }
    std::setlocale(LC_ALL, savedC.c_str());
    QLocale::setDefault(savedQt);
}

TEST(GraphDocumentNames, DefaultNamesUseMonthDayYear)
{
    const QDate d(2026, 12, 9);
    EXPECT_EQ(DefaultDocumentName(d), QStringLiteral("Linoveta 12-09-26"));
    EXPECT_EQ(DefaultBitmapName(d), QStringLiteral("GraphBitmap 12-09-26"));
    EXPECT_EQ(DefaultBitmapName(QDate(2031, 1, 2)), QStringLiteral("GraphBitmap 01-02-31"));
}

TEST(GraphDocumentNames, CommandLinePathLosesEveryQuote)
{
    EXPECT_EQ(CommandLineDocumentPath(QStringLiteral("\"/tmp/my graphs/a b.wqz\"")),
              QStringLiteral("/tmp/my graphs/a b.wqz"));
    EXPECT_EQ(CommandLineDocumentPath(QStringLiteral("/tmp/x.wqz")), QStringLiteral("/tmp/x.wqz"));
}

// Answers the dialogs from a queue and records every request.
class ScriptedFiles : public platform::FileDialogs {
public:
    std::deque<std::optional<QString>> answers;
    std::vector<platform::FileRequest> requests;

    std::optional<QString> openFile(QWidget *, const platform::FileRequest &r) override
    {
        return next(r);
    }
    std::optional<QString> saveFile(QWidget *, const platform::FileRequest &r) override
    {
        return next(r);
    }

private:
    std::optional<QString> next(const platform::FileRequest &r)
    {
        requests.push_back(r);
        if (answers.empty())
            return std::nullopt;
        auto a = answers.front();
        answers.pop_front();
        return a;
    }
};

class GraphDocumentFiles : public ::testing::Test {
protected:
    QTemporaryDir dir;
    ScriptedFiles files;
    CommonDialogSettings dialog;

    QString path(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }
    static QByteArray contents(const QString &p)
    {
        QFile f(p);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
};

TEST_F(GraphDocumentFiles, SaveThenLoadThroughTheDialogs)
{
    const std::string bytes = "x^2BBBBBBBBBB1BB2BBTrueBB2BB\r\n";
    files.answers = {path("first"), path("first.wqz")};
    QString name = QStringLiteral("Linoveta 12-09-26");
    EXPECT_EQ(SaveGraphData(bytes, dialog, files, nullptr, dir.path(), name), SaveOutcome::Saved);
    EXPECT_EQ(name, path("first.wqz"));  // the default extension is added
    EXPECT_EQ(contents(path("first.wqz")), QByteArray::fromStdString(bytes));

    QString loaded;
    EXPECT_EQ(LoadGraphData(dialog, files, nullptr, dir.path(), loaded).text, bytes);
    EXPECT_EQ(loaded, path("first.wqz"));

    ASSERT_EQ(files.requests.size(), 2u);
    EXPECT_EQ(files.requests[0].title, QStringLiteral("Save Graph Data As"));
    EXPECT_EQ(files.requests[0].fileName, QStringLiteral("Linoveta 12-09-26"));
    EXPECT_EQ(files.requests[0].directory, dir.path());
    EXPECT_EQ(files.requests[1].title, QStringLiteral("Load Graph Data"));
    EXPECT_EQ(files.requests[1].fileName, QString());
}

TEST_F(GraphDocumentFiles, EachCommandSetsItsOwnFilter)
{
    QString name;
    const QImage picture(400, 400, QImage::Format_RGB32);
    files.answers = {std::nullopt, std::nullopt, std::nullopt, std::nullopt};
    SaveGraphData("x", dialog, files, nullptr, dir.path(), name);
    SaveGraphBitmap(dialog, files, nullptr, dir.path(), name, picture);
    LoadGraphData(dialog, files, nullptr, dir.path(), name);
    SaveGraphBitmap(dialog, files, nullptr, dir.path(), name, picture);
    ASSERT_EQ(files.requests.size(), 4u);
    EXPECT_EQ(files.requests[0].filter, kDocumentFilter);
    EXPECT_EQ(files.requests[1].filter, kBitmapFilter);
    EXPECT_EQ(files.requests[1].title, QStringLiteral("Save Graph Bitmap As"));
    EXPECT_EQ(files.requests[2].filter, kDocumentFilter);
    EXPECT_EQ(files.requests[3].filter, kBitmapFilter);
    // Settings no routine sets stay from the last use.
    EXPECT_EQ(dialog.defaultExt, QStringLiteral("bmp"));
    // The caption stays visible and Qt reads the pattern from the last brackets.
    EXPECT_TRUE(kDocumentFilter.startsWith(QStringLiteral("Linoveta files (.wqz)")));
    EXPECT_TRUE(kDocumentFilter.endsWith(QStringLiteral("(*.wqz)")));
}

TEST_F(GraphDocumentFiles, CancelledDialogsWriteAndReadNothing)
{
    QString name = QStringLiteral("keep");
    files.answers = {std::nullopt, QString()};
    EXPECT_EQ(SaveGraphData("x", dialog, files, nullptr, dir.path(), name),
              SaveOutcome::Cancelled);
    EXPECT_EQ(name, QStringLiteral("keep"));
    EXPECT_EQ(LoadGraphData(dialog, files, nullptr, dir.path(), name).status,
              FileReadStatus::Cancelled);
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

TEST_F(GraphDocumentFiles, FailedSaveLeavesTheOldFileIntact)
{
    const QString target = path("old.wqz");
    ASSERT_TRUE(WriteFileAtomically(target, "old contents\r\n"));
    // A directory that cannot be written: the new content has nowhere to go.
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    const bool writable = QFile(dir.filePath(QStringLiteral("probe"))).open(QIODevice::WriteOnly);
    if (!writable) {
        files.answers = {target};
        QString name;
        EXPECT_EQ(SaveGraphData("new", dialog, files, nullptr, dir.path(), name),
                  SaveOutcome::Failed);
    }
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile::remove(dir.filePath(QStringLiteral("probe")));
    EXPECT_EQ(contents(target), QByteArray("old contents\r\n"));

    // A path whose folder does not exist fails without creating anything.
    files.answers = {path("missing/new.wqz")};
    QString name;
    EXPECT_EQ(SaveGraphData("new", dialog, files, nullptr, dir.path(), name), SaveOutcome::Failed);
    EXPECT_FALSE(QFile::exists(path("missing/new.wqz")));
}

// Qt's save dialog, set up from a request, adds the default extension to a typed name before
// its overwrite check looks at the name.
TEST_F(GraphDocumentFiles, QtSaveDialogAddsTheExtensionBeforeAsking)
{
    platform::FileRequest request;
    request.title = QStringLiteral("Save Graph Data As");
    request.directory = dir.path();
    request.filter = kDocumentFilter;
    request.defaultSuffix = QStringLiteral("wqz");
    request.confirmOverwrite = true;
    QFileDialog dialog;
    platform::configureFileDialog(dialog, request, QFileDialog::AcceptSave);
    EXPECT_FALSE(dialog.testOption(QFileDialog::DontConfirmOverwrite));
    for (const char *typed : {"first", "first.wqz"}) {
        SCOPED_TRACE(typed);
        dialog.selectFile(QString::fromLatin1(typed));
        EXPECT_EQ(dialog.selectedFiles(), QStringList{path("first.wqz")});
    }
}

// Only a regular file no larger than any document is read; nothing else is even opened in a
// way that could wait.
TEST_F(GraphDocumentFiles, OnlyRegularFilesOfDocumentSizeAreRead)
{
    ASSERT_TRUE(WriteFileAtomically(path("empty.wqz"), ""));
    ASSERT_TRUE(WriteFileAtomically(path("doc.wqz"), "xBBBBBBBBBBTrueBB2BB\r\n"));
    ASSERT_TRUE(WriteFileAtomically(path("full.wqz"), std::string(kMaxDocumentBytes, 'x')));
    QFile big(path("big.wqz"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly) && big.resize(qint64(kMaxDocumentBytes) + 1));
    big.close();
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("pipe.wqz")).constData(), 0600), 0);

    struct Case {
        const char *what;
        QString file;
        FileReadStatus status;
        std::size_t size;
    };
    const std::vector<Case> cases = {
        {"a document", path("doc.wqz"), FileReadStatus::Read, 22},
        {"an empty file", path("empty.wqz"), FileReadStatus::Read, 0},
        {"a file at the size cap", path("full.wqz"), FileReadStatus::Read, kMaxDocumentBytes},
        {"one byte past the cap", path("big.wqz"), FileReadStatus::Refused, 0},
        {"a named pipe", path("pipe.wqz"), FileReadStatus::Refused, 0},
        {"a folder", dir.path(), FileReadStatus::Refused, 0},
        {"an endless device", QStringLiteral("/dev/zero"), FileReadStatus::Refused, 0},
        {"a missing file", path("none.wqz"), FileReadStatus::Unreadable, 0},
        {"no name at all", QString(), FileReadStatus::Unreadable, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const FileReadResult r = ReadDocumentFile(c.file);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.text.size(), c.size);
    }
}

// A save device that takes `room` bytes and then fails, and whose flush may fail: the old
// file may only be replaced when every byte was written and flushed.
class FailingReplacement final : public ReplacementFile {
public:
    FailingReplacement(qint64 room, bool flushWorks) : m_device(room), m_flushWorks(flushWorks)
    {
        m_device.open(QIODevice::WriteOnly);
    }
    QIODevice &device() override { return m_device; }
    bool flush() override
    {
        ++flushes;
        return m_flushWorks;
    }
    bool replaceTarget() override
    {
        ++replaced;
        return true;
    }
    void discard() override { ++discarded; }

    int flushes = 0, replaced = 0, discarded = 0;

private:
    class Device final : public QIODevice {
    public:
        explicit Device(qint64 room) : m_room(room) {}

    protected:
        qint64 readData(char *, qint64) override { return -1; }
        qint64 writeData(const char *, qint64 len) override
        {
            if (m_room <= 0)
                return -1;  // the disk is full
            const qint64 n = std::min(len, m_room);
            m_room -= n;
            return n;
        }

    private:
        qint64 m_room;
    };
    Device m_device;
    bool m_flushWorks;
};

TEST(GraphDocumentSave, ReplacesTheOldFileOnlyWhenEverythingWasWritten)
{
    const std::string bytes(5000, 'x');
    struct Case {
        const char *what;
        qint64 room;
        bool flushWorks;
        bool saved;
        int flushes;
    };
    const std::vector<Case> cases = {
        {"room for everything", 1 << 20, true, true, 1},
        {"the first write fails", 0, true, false, 0},
        {"a write fails part way", 4096, true, false, 0},
        {"the flush fails", 1 << 20, false, false, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        FailingReplacement file(c.room, c.flushWorks);
        EXPECT_EQ(WriteReplacement(file, bytes), c.saved);
        EXPECT_EQ(file.flushes, c.flushes);
        EXPECT_EQ(file.replaced, c.saved ? 1 : 0);
        EXPECT_EQ(file.discarded, c.saved ? 0 : 1);
    }
}

TEST_F(GraphDocumentFiles, SavedFilesKeepTheirPermissionsAndLeaveNothingBehind)
{
    const QString target = path("old.wqz");
    ASSERT_TRUE(WriteFileAtomically(target, "old"));
    const QByteArray name = QFile::encodeName(target);
    ASSERT_EQ(::chmod(name.constData(), 0640), 0);
    ASSERT_TRUE(WriteFileAtomically(target, "new contents"));
    EXPECT_EQ(contents(target), QByteArray("new contents"));
    struct stat info {};
    ASSERT_EQ(::stat(name.constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("old.wqz")});
}

TEST_F(GraphDocumentFiles, BitmapIsARealBmpOfThePicture)
{
    QImage picture(400, 400, QImage::Format_RGB32);
    picture.fill(Qt::white);
    picture.setPixelColor(10, 20, QColor(255, 0, 0));
    files.answers = {path("plot")};
    QString name = DefaultBitmapName(QDate(2026, 12, 9));
    EXPECT_EQ(SaveGraphBitmap(dialog, files, nullptr, dir.path(), name, picture),
              SaveOutcome::Saved);
    EXPECT_EQ(name, path("plot.bmp"));
    EXPECT_EQ(contents(path("plot.bmp")).left(2), QByteArray("BM"));
    const QImage back(path("plot.bmp"));
    ASSERT_EQ(back.size(), QSize(400, 400));
    EXPECT_EQ(back.pixelColor(10, 20), QColor(255, 0, 0));
    EXPECT_EQ(back.pixelColor(11, 20), QColor(Qt::white));
}

} // namespace
