#include "main_window_fixture.h"
#include "support/scoped_locale.h"

#include "typeset/recording_surface.h"
#include "workspace/dialogs/frm_print_setup.h"
#include "workspace/graph_document.h"
#include "workspace/printing.h"
#include "workspace/regression_object.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace linoveta {
namespace {

// A printer that keeps the print log of every document.
class LogPrinter : public PrinterService {
public:
    explicit LogPrinter(std::vector<std::vector<RecordedCall>> &documents) : m_documents(documents)
    {
    }
    QString deviceName() const override { return QStringLiteral("Test Printer"); }
    std::unique_ptr<Surface> beginDocument() override { return std::make_unique<Page>(m_documents); }
    bool lastDocumentOk() const override { return true; }
    void setup(QWidget *) override { ++setups; }
    int setups = 0;

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
    started.setProgramFolder(folder.path());
    started.setSplashDelay(0);
    started.setCommandLine(QLatin1Char('"') + path + QLatin1Char('"'));
    started.Form_Load();
    EXPECT_EQ(char2str_sym(other.engine.tables, 0), "x-3");
    EXPECT_EQ(started.Combo1->currentText(), QStringLiteral("4"));
    EXPECT_TRUE(other.CommandFile.isEmpty());
    EXPECT_TRUE(otherScript.fileRequests.empty());
    EXPECT_TRUE(otherScript.messages.empty());
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

} // namespace
} // namespace linoveta
