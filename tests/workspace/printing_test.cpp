#include "workspace/printing.h"

#include "typeset/fonts.h"
#include "typeset/formula_typesetter.h"
#include "typeset/recording_surface.h"
#include "modal_steps.h"
#include "pdf_pages.h"

#include <QFile>
#include <QPageSize>
#include <QPainter>
#include <array>
#include <QPrintDialog>
#include <QPushButton>
#include <QPrinterInfo>
#include <QProcess>
#include <QStandardPaths>
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
        sink.setRoute([this](const QString &m) { messages << m; });
    }

    QStringList messages;
    FormulaMessageSink sink;
    RecordingSurface surface;  // 800 x 600 pixels: one page unit per pixel
};

// Line height on the recording surface is 1.5 x 12 = 18 units.
TEST_F(PrintTheGraphTest, HeadingsThenOnlyTheNonEmptyLineInItsColour)
{
    PrintPage page = FormulaPage();
    page.displayTexts[2] = QStringLiteral("x+1");
    PrintTheGraph(surface, page, sink);

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
    PrintTheGraph(surface, page, sink);
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
    PrintTheGraph(surface, page, sink);
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
    PrintTheGraph(surface, page, sink);
    EXPECT_EQ(surface.printLog().mid(0, 8),
              (QStringList{"end", "end", "end", "'   ' 0,54 12 0", "end", "'   ' 0,72 12 0", "end",
                           "end"}));
    // No formula: the picture follows the text directly.
    const RecordedCall *picture = FindPicture(surface);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->y, 108 + 18);
}

// A display text of `count` terms "x+1+x+1...", long enough to wrap on the page.
QString LongFormula(int count)
{
    QString text = QStringLiteral("x");
    for (int i = 1; i < count; ++i)
        text += i % 2 ? QStringLiteral("+1") : QStringLiteral("+x");
    return text;
}

// However many rows the formulas take, the whole plot is printed, its proportions kept: at its
// own size when it fits below the text, smaller when at least half of it does, else on a page
// of its own at its own size. (On this surface the plot is 400 of the page's 600 units high.)
TEST_F(PrintTheGraphTest, WholePlotBelowTheTextOrOnTheNextPage)
{
    enum Placement { OwnSize, ScaledDown, OwnPage };
    struct Case {
        const char *what;
        int lines;
        int terms;
        Placement placement;
        int pages;
    };
    static constexpr std::array cases{
        Case{"no formula", 0, 0, OwnSize, 1},
        Case{"two short formulas", 2, 3, OwnSize, 1},
        Case{"five short formulas", 5, 3, ScaledDown, 1},
        Case{"five formulas of two rows", 5, 70, ScaledDown, 1},
        Case{"five formulas of three rows", 5, 150, ScaledDown, 1},
        Case{"five formulas of four rows", 5, 220, OwnPage, 2},
        // The text itself runs onto a second page; the plot follows it there.
        Case{"five formulas of eight rows", 5, 500, OwnSize, 2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        RecordingSurface page;
        PrintPage content = FormulaPage();
        for (int i = 0; i < c.lines; ++i)
            content.displayTexts[std::size_t(i)] = LongFormula(c.terms);
        PrintTheGraph(page, content, sink);
        EXPECT_EQ(page.pages(), c.pages);
        // The lowest text on the page the plot is on, and whether text follows the plot.
        double textBottom = 0;
        const RecordedCall *picture = nullptr;
        bool textAfterPicture = false;
        for (const RecordedCall &call : page.calls()) {
            if (call.kind == RecordedCall::NewPage)
                textBottom = 0;
            if (call.kind == RecordedCall::Text && !call.text.trimmed().isEmpty()) {
                textBottom = std::max(textBottom, call.y);
                textAfterPicture |= picture != nullptr;
            }
            if (call.kind == RecordedCall::Picture)
                picture = &call;
        }
        ASSERT_NE(picture, nullptr);
        EXPECT_FALSE(textAfterPicture);
        const double width = picture->x2 - picture->x, height = picture->y2 - picture->y;
        EXPECT_EQ(picture->x, 12);
        EXPECT_DOUBLE_EQ(width, height) << "the square plot stays square";
        EXPECT_LE(picture->y2, 600) << "the plot's bottom is on the page";
        EXPECT_LE(picture->x2, 800);
        switch (c.placement) {
        case OwnSize:
            EXPECT_DOUBLE_EQ(height, 400);
            EXPECT_GT(picture->y, textBottom + 18) << "below the text";
            break;
        case ScaledDown:
            EXPECT_LT(height, 400);
            EXPECT_GE(height, 200);
            EXPECT_GT(picture->y, textBottom + 18) << "below the text";
            EXPECT_DOUBLE_EQ(picture->y2, 600) << "as large as the room allows";
            break;
        case OwnPage:
            EXPECT_DOUBLE_EQ(height, 400);
            EXPECT_DOUBLE_EQ(picture->y, 24);
            EXPECT_EQ(textBottom, 0) << "no text on the plot's page";
            break;
        }
    }
    EXPECT_TRUE(messages.isEmpty());
}

// The bounding box of the blue ink on a page and how much of its top and bottom rows is blue.
struct BlueFrame {
    QRect box;
    double topRowShare = 0, bottomRowShare = 0;
};

BlueFrame FindBlueFrame(const QImage &page)
{
    auto blue = [](QRgb p) { return qBlue(p) > 150 && qRed(p) < 100 && qGreen(p) < 100; };
    BlueFrame frame;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (blue(page.pixel(x, y)))
                frame.box |= QRect(x, y, 1, 1);
    if (frame.box.isEmpty())
        return frame;
    auto share = [&](int y) {
        int n = 0;
        for (int x = frame.box.left(); x <= frame.box.right(); ++x)
            n += blue(page.pixel(x, y));
        return double(n) / frame.box.width();
    };
    frame.topRowShare = share(frame.box.top() + 1);
    frame.bottomRowShare = share(frame.box.bottom() - 1);
    return frame;
}

// On a real A4 landscape sheet, five formulas that wrap leave the plot whole: its framed edge
// is on the page all round and it stays square.
TEST_F(PrintTheGraphTest, LongFormulasLeaveTheWholePlotOnTheSheet)
{
    if (!test::HavePdfRenderer())
        GTEST_SKIP() << "pdftoppm is not installed: the printed pages cannot be looked at";
    struct Case {
        const char *what;
        int terms;
    };
    static constexpr std::array cases{Case{"two rows each", 70}, Case{"three rows each", 150}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("page.pdf"));
        QtPrinterService pdf(path);
        pdf.printer().setPageSize(QPageSize(QPageSize::A4));
        PrintPage page = FormulaPage();
        for (QString &text : page.displayTexts)
            text = LongFormula(c.terms);
        page.colours.fill(kRed);  // the only blue is the plot's frame
        QPainter frame(&page.plot);
        frame.fillRect(page.plot.rect(), QColor(0, 0, 255));
        frame.fillRect(page.plot.rect().adjusted(8, 8, -8, -8), Qt::white);
        frame.end();
        ASSERT_TRUE(PrintGraphPage(pdf, page, sink));
        const std::vector<QImage> sheets = test::RenderPdfPages(path, 72);
        ASSERT_FALSE(sheets.empty());
        const BlueFrame plot = FindBlueFrame(sheets.back());
        ASSERT_FALSE(plot.box.isEmpty());
        EXPECT_NEAR(plot.box.width(), plot.box.height(), 2);
        EXPECT_GT(plot.topRowShare, 0.95);
        EXPECT_GT(plot.bottomRowShare, 0.95) << "the plot's bottom edge is printed";
        EXPECT_LT(plot.box.bottom(), sheets.back().height() - 1);
    }
    EXPECT_TRUE(messages.isEmpty());
}

// A heading prints every character it shows, also those the symbol font has no glyph for.
TEST_F(PrintTheGraphTest, HeadingsPrintCharactersOutsideTheSymbolFont)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext is not installed: the printed text cannot be read back";
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("page.pdf"));
    QtPrinterService pdf(path);
    PrintPage page = FormulaPage();
    page.heading1 = QStringLiteral("Circle: A = \u03C0r\u00B2");
    page.heading2 = QStringLiteral("\u0394x = 0.1");
    ASSERT_TRUE(PrintGraphPage(pdf, page, sink));
    QProcess read;
    read.start(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
    ASSERT_TRUE(read.waitForFinished(30000));
    const QString text = QString::fromUtf8(read.readAllStandardOutput());
    EXPECT_TRUE(text.contains(page.heading1)) << text.toStdString();
    EXPECT_TRUE(text.contains(page.heading2)) << text.toStdString();
}

// A fake printer that keeps what each document drew.
class RecordingPrinter : public PrinterService {
public:
    QString name = QStringLiteral("Office");
    bool ok = true;
    std::vector<QStringList> documents;
    std::vector<bool> ended;
    QStringList jobNames;

    QString deviceName() const override { return name; }
    std::unique_ptr<Surface> beginDocument(const QString &jobName) override
    {
        if (name.isEmpty())
            return nullptr;
        jobNames << jobName;
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
    EXPECT_TRUE(PrintGraphPage(printer, page, sink));
    EXPECT_TRUE(PrintGraphPage(printer, page, sink));
    ASSERT_EQ(printer.documents.size(), 2u);
    EXPECT_EQ(printer.ended, (std::vector<bool>{true, true}));
    EXPECT_EQ(printer.documents[0], printer.documents[1]);
    EXPECT_FALSE(printer.documents[0].contains(QStringLiteral("page")));

    printer.ok = false;
    EXPECT_FALSE(PrintGraphPage(printer, page, sink));
    printer.name.clear();
    EXPECT_FALSE(PrintGraphPage(printer, page, sink));
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
        EXPECT_EQ(none.beginDocument(QStringLiteral("Linoveta")), nullptr);
        const FormulaMessageSink logged;
        EXPECT_FALSE(PrintGraphPage(none, FormulaPage(), logged));
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
        ASSERT_TRUE(PrintGraphPage(pdf, page, sink));
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
            ASSERT_TRUE(PrintGraphPage(pdf, page, sink));
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
