#include "typeset/fonts.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QPainterPath>
#include <QRawFont>

#include <array>

namespace {

QRawFont symbolFont(double pixelSize)
{
    QFile file(QStringLiteral(":/fonts/TalvoranFont.ttf"));
    if (!file.open(QIODevice::ReadOnly))
        return QRawFont();
    return QRawFont(file.readAll(), pixelSize, QFont::PreferNoHinting);
}

quint32 glyphOf(const QRawFont &font, char c)
{
    const QList<quint32> glyphs = font.glyphIndexesForString(QString(QLatin1Char(c)));
    return glyphs.isEmpty() ? 0 : glyphs.first();
}

TEST(FontsTest, BundledFontsRegisterAndTheOtherNamesResolveToThem)
{
    ASSERT_TRUE(registerApplicationFonts());
    EXPECT_TRUE(registerApplicationFonts()); // a second call does no harm
    EXPECT_TRUE(QFontDatabase::families().contains(QString::fromLatin1(kSymbolFontFamily)));
    struct Row { const char *asked; const char *family; };
    const std::array<Row, 4> rows = {{{"TalvoranFont", kSymbolFontFamily},
                                      {"Book Antiqua", kSerifFontFamily},
                                      {"MS Sans Serif", kSansFontFamily},
                                      {"Courier", kMonoFontFamily}}};
    for (const Row &row : rows) {
        QFont font(QString::fromLatin1(row.asked));
        font.setPointSize(12);
        EXPECT_EQ(QFontInfo(font).family(), QString::fromLatin1(row.family)) << row.asked;
    }
}

TEST(FontsTest, SymbolFontHasOneFamilyName)
{
    const QRawFont font = symbolFont(16);
    ASSERT_TRUE(font.isValid());
    EXPECT_EQ(font.familyName(), QStringLiteral("TalvoranFont"));
}

TEST(FontsTest, SpecialGlyphsHaveOutlines)
{
    const QRawFont font = symbolFont(100);
    ASSERT_TRUE(font.isValid());
    for (const char c : {'~', '&', '_', '`'}) {
        const quint32 glyph = glyphOf(font, c);
        ASSERT_NE(glyph, 0u) << c;
        const QPainterPath path = font.pathForGlyph(glyph);
        EXPECT_FALSE(path.isEmpty()) << c;
        EXPECT_GT(path.boundingRect().width(), 5) << c;
        EXPECT_GT(path.boundingRect().height(), 2) << c;
    }
}

TEST(FontsTest, BarSitsAtTheFootOfTheCellAndOverlapsItsNeighbour)
{
    const QRawFont font = symbolFont(100);
    const quint32 bar = glyphOf(font, '_');
    const QRectF box = font.pathForGlyph(bar).boundingRect(); // y down from the baseline
    const double advance = font.advancesForGlyphIndexes(QList<quint32>{bar}).first().x();
    EXPECT_LE(box.left(), 0);
    EXPECT_GE(box.right(), advance); // the next bar starts at the advance: no seam
    EXPECT_NEAR(box.bottom(), font.descent(), 0.5);
}

TEST(FontsTest, RadicalTopReachesTheBarHeight)
{
    // The bar over a radicand is printed 18 pixels higher (1.5 x 12 points) than the radicand,
    // the radical sign 2 pixels higher; at 16 pixels to the em their tops must meet.
    const QRawFont font = symbolFont(16);
    const QRectF radical = font.pathForGlyph(glyphOf(font, '~')).boundingRect();
    const QRectF bar = font.pathForGlyph(glyphOf(font, '_')).boundingRect();
    const double barTopSeenFromRadical = bar.top() - 18 + 2;
    const double barBottomSeenFromRadical = bar.bottom() - 18 + 2;
    EXPECT_LE(radical.top(), barBottomSeenFromRadical);
    EXPECT_GE(radical.top(), barTopSeenFromRadical - 0.5);
    // Its top-right corner reaches the bar's start, 8 pixels right of the sign's origin.
    EXPECT_GE(radical.right(), 8);
}

TEST(FontsTest, PlainCharactersKeepProportionalWidths)
{
    const QRawFont font = symbolFont(16);
    const auto advance = [&](char c) {
        return font.advancesForGlyphIndexes(QList<quint32>{glyphOf(font, c)}).first().x();
    };
    EXPECT_GT(advance(' '), 2);
    EXPECT_LT(advance(' '), advance('0'));
    EXPECT_LT(advance('i'), advance('m'));
}

} // namespace
