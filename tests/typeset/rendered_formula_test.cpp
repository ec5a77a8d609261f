#include "typeset/fonts.h"
#include "typeset/formula_typesetter.h"
#include "typeset/image_surface.h"
#include "typeset/printer_surface.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <queue>
#include <vector>

// Formulas typeset on real surfaces in the real fonts. Set LINOVETA_FORMULA_PNG_DIR to keep
// the pictures for a look.
namespace {

enum class Ink { None, Dark, Red };

Ink inkAt(const QImage &image, int x, int y)
{
    const QColor c = image.pixelColor(x, y);
    if (c.red() > 150 && c.green() < 120 && c.blue() < 120)
        return Ink::Red;
    if (c.red() < 170 && c.green() < 170 && c.blue() < 170)
        return Ink::Dark;
    return Ink::None;
}

QRect inkBox(const QImage &image, Ink ink)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (inkAt(image, x, y) == ink)
                box |= QRect(x, y, 1, 1);
    return box;
}

class RenderedFormulaTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(registerApplicationFonts()); }
    void SetUp() override
    {
        sink.setRoute([this](const QString &m) { messages << m; });
    }
    void TearDown() override { EXPECT_TRUE(messages.isEmpty()); }

    // A formula box as the main window has it: pixels, TalvoranFont 12, cleared.
    QImage render(const char *text, const char *pngName)
    {
        ImageSurface surface(QSize(220, 70));
        surface.setScaleMode(ScaleMode::Pixels);
        surface.setFontName(QStringLiteral("TalvoranFont"));
        surface.setFontSize(12);
        surface.cls();
        surface.setCurrentY(20);
        basFprint::PrintFormula(QString::fromUtf8(text), surface, sink, false);
        const QString dir = qEnvironmentVariable("LINOVETA_FORMULA_PNG_DIR");
        if (!dir.isEmpty())
            surface.image().save(QDir(dir).filePath(QString::fromLatin1(pngName)), "PNG");
        return surface.image();
    }

    QStringList messages;
    FormulaMessageSink sink;
};

TEST_F(RenderedFormulaTest, ExponentInkIsSmallerAndHigher)
{
    const QImage image = render("2[^2^]", "exponent.png");
    const QRect base = inkBox(image, Ink::Dark);
    const QRect raised = inkBox(image, Ink::Red);
    ASSERT_FALSE(base.isEmpty());
    ASSERT_FALSE(raised.isEmpty());
    EXPECT_LT(raised.height(), base.height());
    EXPECT_LT(raised.top(), base.top());
    EXPECT_LT(raised.bottom(), base.bottom());
    EXPECT_GT(raised.left(), base.right() - 1);
}

// The longest run of dark pixels in one row: the fraction bar.
struct DarkRun { int y = -1, left = 0, right = -1; };

DarkRun longestDarkRun(const QImage &image)
{
    DarkRun best;
    for (int y = 0; y < image.height(); ++y) {
        int start = -1;
        for (int x = 0; x <= image.width(); ++x) {
            const bool dark = x < image.width() && inkAt(image, x, y) == Ink::Dark;
            if (dark && start < 0)
                start = x;
            if (!dark && start >= 0) {
                if (x - 1 - start > best.right - best.left)
                    best = {y, start, x - 1};
                start = -1;
            }
        }
    }
    return best;
}

TEST_F(RenderedFormulaTest, FractionBarSpansTheWiderPartBetweenTheParts)
{
    struct Row { const char *text; const char *png; bool numeratorWider; };
    for (const Row row : {Row{"#[1234]/5#", "fraction-wide-top.png", true},
                          Row{"#5/[1234]#", "fraction-wide-bottom.png", false}}) {
        SCOPED_TRACE(row.text);
        const QImage image = render(row.text, row.png);
        const QRect wide = inkBox(image, Ink::Red);
        const DarkRun bar = longestDarkRun(image);
        ASSERT_FALSE(wide.isEmpty());
        EXPECT_LE(bar.left, wide.left() + 1);
        EXPECT_GE(bar.right, wide.right() - 1);
        EXPECT_LT(bar.right - bar.left, wide.width() + 12); // ends within one bar piece
        if (row.numeratorWider)
            EXPECT_GT(bar.y, wide.bottom());
        else
            EXPECT_LT(bar.y, wide.top());
    }
}

// The 8-connected dark component holding the leftmost dark pixel: the radical sign and,
// when they meet, the bar over the radicand.
QRect radicalComponent(const QImage &image)
{
    const QRect all = inkBox(image, Ink::Dark);
    QPoint seed(-1, -1);
    for (int x = all.left(); x <= all.right() && seed.x() < 0; ++x)
        for (int y = all.top(); y <= all.bottom(); ++y)
            if (inkAt(image, x, y) == Ink::Dark) {
                seed = QPoint(x, y);
                break;
            }
    std::vector<char> seen(size_t(image.width() * image.height()), 0);
    std::queue<QPoint> queue;
    queue.push(seed);
    seen[size_t(seed.y() * image.width() + seed.x())] = 1;
    QRect box;
    while (!queue.empty()) {
        const QPoint p = queue.front();
        queue.pop();
        box |= QRect(p, QSize(1, 1));
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                const QPoint q(p.x() + dx, p.y() + dy);
                if (q.x() < 0 || q.y() < 0 || q.x() >= image.width() || q.y() >= image.height())
                    continue;
                char &mark = seen[size_t(q.y() * image.width() + q.x())];
                if (!mark && inkAt(image, q.x(), q.y()) == Ink::Dark) {
                    mark = 1;
                    queue.push(q);
                }
            }
    }
    return box;
}

TEST_F(RenderedFormulaTest, RadicalMeetsItsBar)
{
    struct Row { const char *text; const char *png; };
    for (const Row row : {Row{"~[23]~", "root.png"}, Row{"~#[1]/[2]#~", "root-tall.png"}}) {
        SCOPED_TRACE(row.text);
        const QImage image = render(row.text, row.png);
        const QRect radicand = inkBox(image, Ink::Red);
        const QRect sign = radicalComponent(image);
        ASSERT_FALSE(radicand.isEmpty());
        // One stroke runs from left of the radicand, over it, to its right end.
        EXPECT_LT(sign.left(), radicand.left());
        EXPECT_GE(sign.right(), radicand.right() - 1);
        EXPECT_LT(sign.top(), radicand.top());
        EXPECT_GT(sign.bottom(), radicand.center().y());
    }
}

// A formula box is 41 pixels high. Whatever a denominator holds, its ink ends inside the box,
// with a clear row below it: the parentheses and bars reach no deeper than the digits do.
TEST_F(RenderedFormulaTest, DenominatorsFitTheFormulaBox)
{
    constexpr int kBoxHeight = 41;
    for (const char *text : {"#2x^3^/(x-1)#", "#S(x)/C(x)#", "#1/|x|#", "#1/x+2#"}) {
        SCOPED_TRACE(text);
        // Drawn taller than the box, so the ink is measured, not clipped.
        ImageSurface surface(QSize(220, kBoxHeight + 20));
        surface.setScaleMode(ScaleMode::Pixels);
        surface.setFontName(QStringLiteral("TalvoranFont"));
        surface.setFontSize(12);
        surface.cls();
        basFprint::PrintFormula(QString::fromLatin1(text), surface, sink, false);
        const QRect ink = inkBox(surface.image(), Ink::Dark);
        ASSERT_FALSE(ink.isEmpty());
        EXPECT_LE(ink.bottom(), kBoxHeight - 2);
    }
}

TEST_F(RenderedFormulaTest, MoreFormulasForALook)
{
    for (const auto &[text, png] :
         std::vector<std::pair<const char *, const char *>>{{"S(x)+x^?^", "plain.png"},
                                                            {"#x^2^+1/~x-3~#-`", "mixed.png"},
                                                            {"x^~2~^+|x|", "root-exponent.png"}}) {
        const QImage image = render(text, png);
        EXPECT_FALSE(inkBox(image, Ink::Dark).isEmpty()) << text;
    }
}

int pdfPages(const QByteArray &pdf)
{
    return int(QString::fromLatin1(pdf).count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))));
}

TEST_F(RenderedFormulaTest, PrintedPagesEmbedTheSymbolFontInPageUnits)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("print.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    {
        PrinterSurface surface(printer);
        EXPECT_EQ(surface.orientation(), PageOrientation::Landscape);
        EXPECT_DOUBLE_EQ(surface.scaleWidth(), 800);
        surface.setFontName(QStringLiteral("TalvoranFont"));
        surface.setFontSize(12);
        // 12 points on a landscape page 800 units wide: about a dozen units, not thousands.
        EXPECT_GT(surface.textHeight(QStringLiteral("0")), 8);
        EXPECT_LT(surface.textHeight(QStringLiteral("0")), 25);
        const double width = surface.textWidth(QStringLiteral("0"));
        EXPECT_GT(width, 4);
        EXPECT_LT(width, 15);
        for (double y : {100.0, 600.0, 600.0}) {
            surface.setCurrentX(0);
            surface.setCurrentY(y);
            basFPrint3::PrintFormula(QStringLiteral("f(x)=~#x^2^/3#~-`"), surface, sink, true,
                                     QStringLiteral("33023"));
        }
        EXPECT_EQ(surface.pages(), 3);
        EXPECT_EQ(surface.deviceName(), QStringLiteral("PDF"));
        surface.endDoc();
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray pdf = file.readAll();
    EXPECT_EQ(pdfPages(pdf), 3);
    EXPECT_TRUE(pdf.contains("TalvoranFont"));
    EXPECT_TRUE(pdf.contains("/FontFile2"));
}

} // namespace
