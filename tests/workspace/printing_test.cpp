#include "workspace/printing.h"

#include "typeset/fonts.h"
#include "typeset/formula_typesetter.h"
#include "typeset/recording_surface.h"
#include "modal_steps.h"
#include "pdf_pages.h"

#include <QFile>
#include <array>
#include <QPrintDialog>
#include <QPushButton>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace linoveta;

namespace {

constexpr RgbValue kRed = 255, kBlue = 0xFF0000, kGreen = 0xC000, kMagenta = 0xFF00FF,
                   kOrange = 0x80FF;

PrintPage FormulaPage()
{
    PrintPage page;
    page.heading1 = QStringLiteral("Talvoran Linoveta");
    page.heading2 = QStringLiteral("12/9/2026");
    page.colours = {kRed, kBlue, kGreen, kMagenta, kOrange};
    page.plot = QImage(400, 400, QImage::Format_RGB32);
    page.plot.fill(Qt::white);
    return page;
}

const RecordedCall *FindPicture(const RecordingSurface &s)
{
    for (const RecordedCall &c : s.calls())
        if (c.kind == RecordedCall::Picture)
            return &c;
    return nullptr;
}

std::vector<RecordedCall> Texts(const RecordingSurface &s)
{
    std::vector<RecordedCall> texts;
    for (const RecordedCall &c : s.calls())
        if (c.kind == RecordedCall::Text)
            texts.push_back(c);
    return texts;
}

class PrintTheGraphTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        registerApplicationFonts();
        setFormulaMessageSink([this](const QString &m) { messages << m; });
    }
    void TearDown() override { setFormulaMessageSink({}); }

    QStringList messages;
    RecordingSurface surface;  // 800 x 600 pixels: one page unit per pixel
};

// Line height on the recording surface is 1.5 x 12 = 18 units.
TEST_F(PrintTheGraphTest, HeadingsThenOnlyTheNonEmptyLineInItsColour)
{
    PrintPage page = FormulaPage();
    page.displayTexts[2] = QStringLiteral("x+1");
    PrintTheGraph(surface, page);

    EXPECT_EQ(surface.orientation(), PageOrientation::Landscape);
    EXPECT_EQ(surface.scaleWidth(), 800);
    EXPECT_EQ(surface.scaleHeight(), 600);
    const QStringList log = surface.printLog();
    ASSERT_GE(log.size(), 7);
    EXPECT_EQ(log.mid(0, 7), (QStringList{"end", "end", "end", "'Talvoran Linoveta   ' 0,54 12 0",
                                          "end", "'12/9/2026   ' 0,72 12 0", "end"}));
    EXPECT_EQ(log.at(7), QStringLiteral("end"));  // the empty line after the headings

    const std::vector<RecordedCall> texts = Texts(surface);
    ASSERT_GT(texts.size(), 2u);
    QString formula;
    for (std::size_t i = 2; i < texts.size(); ++i) {
        formula += texts[i].text;
        EXPECT_EQ(texts[i].colour, kGreen) << texts[i].text.toStdString();
        EXPECT_EQ(texts[i].fontName, QString::fromLatin1(kSymbolFontFamily));
    }
    EXPECT_EQ(formula.simplified(), QStringLiteral("f(x)=x+1"));
    // Directly below the empty line (y 90), 12 right and 12 down.
    EXPECT_EQ(texts[2].x, 12);
    EXPECT_EQ(texts[2].y, 108 + 12);
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(PrintTheGraphTest, PlotPictureAtItsOwnSizeBelowTheText)
{
    PrintPage page = FormulaPage();
    page.displayTexts[0] = QStringLiteral("x");
    page.displayTexts[4] = QStringLiteral("2");
    PrintTheGraph(surface, page);
    const std::vector<RecordedCall> texts = Texts(surface);
    ASSERT_FALSE(texts.empty());
    const RecordedCall *picture = FindPicture(surface);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->x, 12);
    // 400 pixels of 15 twips on a page of 800 units over 12000 twips.
    EXPECT_DOUBLE_EQ(picture->x2 - picture->x, 400);
    EXPECT_DOUBLE_EQ(picture->y2 - picture->y, 400);
    EXPECT_GT(picture->y, texts.back().y + 18);
    EXPECT_EQ(surface.calls().back().kind, RecordedCall::EndDoc);
    // Each formula line starts 12 from the left edge, one below the other.
    std::vector<double> lineStarts;
    for (const RecordedCall &t : texts)
        if (t.x == 12)
            lineStarts.push_back(t.y);
    ASSERT_EQ(lineStarts.size(), 2u);
    EXPECT_LT(lineStarts[0], lineStarts[1]);
}

TEST_F(PrintTheGraphTest, PointSeriesPrintsTheEquationInBlack)
{
    PrintPage page = FormulaPage();
    page.pointSeriesMode = true;
    page.displayTexts[0] = QStringLiteral("x^2^");
    page.regressionEquation = QStringLiteral("y = 2x + 1");
    PrintTheGraph(surface, page);
    QString printed;
    const std::vector<RecordedCall> texts = Texts(surface);
    for (std::size_t i = 2; i < texts.size(); ++i) {
        printed += texts[i].text;
        EXPECT_EQ(texts[i].colour, 0);
    }
    EXPECT_EQ(printed.simplified(), QStringLiteral("y = 2x + 1"));
    EXPECT_FALSE(printed.contains(QStringLiteral("f(x)")));
}

TEST_F(PrintTheGraphTest, EmptyHeadingsStillPrintTheirBlanks)
{
    PrintPage page = FormulaPage();
    page.heading1.clear();
    page.heading2.clear();
    PrintTheGraph(surface, page);
    EXPECT_EQ(surface.printLog().mid(0, 8),
              (QStringList{"end", "end", "end", "'   ' 0,54 12 0", "end", "'   ' 0,72 12 0", "end",
                           "end"}));
    // No formula: the picture follows the text directly.
    const RecordedCall *picture = FindPicture(surface);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->y, 108 + 18);
}

// A fake printer that keeps what each document drew.
class RecordingPrinter : public PrinterService {
public:
    QString name = QStringLiteral("Office");
    bool ok = true;
    std::vector<QStringList> documents;
    std::vector<bool> ended;

    QString deviceName() const override { return name; }
    std::unique_ptr<Surface> beginDocument() override
    {
        if (name.isEmpty())
            return nullptr;
        return std::make_unique<Page>(*this);
    }
    bool lastDocumentOk() const override { return ok; }
    void setup(QWidget *) override {}

private:
    struct Page : RecordingSurface {
        explicit Page(RecordingPrinter &owner) : owner(owner) {}
        ~Page() override
        {
            owner.documents.push_back(printLog());
            owner.ended.push_back(!calls().empty() && calls().back().kind == RecordedCall::EndDoc);
        }
        RecordingPrinter &owner;
    };
};

TEST_F(PrintTheGraphTest, PrintGraphPageOneDocumentPerCall)
{
    RecordingPrinter printer;
    PrintPage page = FormulaPage();
    EXPECT_TRUE(PrintGraphPage(printer, page));
    EXPECT_TRUE(PrintGraphPage(printer, page));
    ASSERT_EQ(printer.documents.size(), 2u);
    EXPECT_EQ(printer.ended, (std::vector<bool>{true, true}));
    EXPECT_EQ(printer.documents[0], printer.documents[1]);
    EXPECT_FALSE(printer.documents[0].contains(QStringLiteral("page")));

    printer.ok = false;
    EXPECT_FALSE(PrintGraphPage(printer, page));
    printer.name.clear();
    EXPECT_FALSE(PrintGraphPage(printer, page));
    EXPECT_EQ(printer.documents.size(), 3u);
}

TEST(PrinterName, UnknownWhenItCannotBeRead)
{
    RecordingPrinter printer;
    EXPECT_EQ(PrinterNameForDisplay(printer), QStringLiteral("Office"));
    printer.name.clear();
    EXPECT_EQ(PrinterNameForDisplay(printer), QStringLiteral("Unknown"));
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        QtPrinterService none;
        EXPECT_EQ(PrinterNameForDisplay(none), QStringLiteral("Unknown"));
        EXPECT_EQ(none.beginDocument(), nullptr);
        EXPECT_FALSE(PrintGraphPage(none, FormulaPage()));
    }
}

int CountPdfPages(const QByteArray &pdf)
{
    return int(QString::fromLatin1(pdf).count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))));
}

TEST_F(PrintTheGraphTest, RealPdfHasOnePagePerPrint)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("page.pdf"));
    QtPrinterService pdf(path);
    EXPECT_EQ(PrinterNameForDisplay(pdf), QStringLiteral("PDF"));
    PrintPage page = FormulaPage();
    page.displayTexts[0] = QStringLiteral("x^2^");
    page.displayTexts[3] = QStringLiteral("#1/x#");
    page.plot.setPixelColor(200, 200, QColor(255, 0, 0));
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(PrintGraphPage(pdf, page));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        EXPECT_TRUE(bytes.startsWith("%PDF"));
        EXPECT_EQ(CountPdfPages(bytes), 1) << "round " << round;
        EXPECT_TRUE(bytes.contains("/Subtype /Image")) << "the plot picture is on the page";
        file.close();
        EXPECT_EQ(pdf.printer().pageLayout().orientation(), QPageLayout::Landscape);
    }
    EXPECT_TRUE(messages.isEmpty());
}

// Every print starts from black, whatever the job before it ended in: pages printed one after
// another in one run, each rendered as the reader sees it. The plot is blank, so the bands of
// ink are the two headings and then the formula or the equation.
TEST_F(PrintTheGraphTest, EachPagePrintsInItsOwnColoursAfterTheOneBefore)
{
    if (!test::HavePdfRenderer())
        GTEST_SKIP() << "pdftoppm is not installed: the printed pages cannot be looked at";
    enum Kind { Formula, PointSeries };
    struct Run {
        const char *what;
        std::array<Kind, 3> pages;
    };
    static constexpr std::array runs{
        Run{"formula pages one after another", {Formula, Formula, Formula}},
        Run{"the equation after a formula page", {Formula, PointSeries, Formula}},
    };
    for (const Run &run : runs) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("page.pdf"));
        QtPrinterService pdf(path);
        for (std::size_t n = 0; n < run.pages.size(); ++n) {
            SCOPED_TRACE(std::string(run.what) + ", page " + std::to_string(n + 1));
            PrintPage page = FormulaPage();
            page.displayTexts[0] = QStringLiteral("x^2^");
            page.displayTexts[1] = QStringLiteral("-3");
            page.colours[1] = kRed;  // the page ends in red
            page.pointSeriesMode = run.pages[n] == PointSeries;
            page.regressionEquation = QStringLiteral("y = 2x + 1");
            ASSERT_TRUE(PrintGraphPage(pdf, page));
            const std::vector<QImage> sheets = test::RenderPdfPages(path);
            ASSERT_EQ(sheets.size(), 1u);
            const std::vector<test::InkBand> bands = test::InkBands(sheets[0]);
            const std::size_t textBands = page.pointSeriesMode ? 3 : 4;
            ASSERT_EQ(bands.size(), textBands);
            for (std::size_t b = 0; b < 2; ++b)
                EXPECT_EQ(bands[b].coloured, 0) << "heading " << b + 1 << " is black";
            if (page.pointSeriesMode) {
                EXPECT_EQ(bands[2].coloured, 0) << "the equation is black";
            } else {
                for (std::size_t b = 2; b < 4; ++b)
                    EXPECT_GT(bands[b].reddish, bands[b].ink / 2) << "formula line " << b - 2;
            }
        }
    }
    EXPECT_TRUE(messages.isEmpty());
}

} // namespace

namespace {

// The printer set-up only chooses the printer: it is confirmed with OK, never with "Print".
TEST(PrinterSetup, ConfirmsWithOkAndKeepsCancel)
{
    QtPrinterService printer;
    QStringList captions;
    QString title;
    linoveta::whenModal<QPrintDialog>([&captions, &title](QPrintDialog *dialog) {
        title = dialog->windowTitle();
        for (QPushButton *button : dialog->findChildren<QPushButton *>())
            if (button->isVisible())
                captions << button->text().remove(QLatin1Char('&'));
        dialog->reject();
    });
    printer.setup(nullptr);
    EXPECT_TRUE(captions.contains(QStringLiteral("OK")));
    EXPECT_TRUE(captions.contains(QStringLiteral("Cancel")));
    EXPECT_FALSE(captions.contains(QStringLiteral("Print")));
    EXPECT_EQ(title, QStringLiteral("Print Setup"));
}

} // namespace
