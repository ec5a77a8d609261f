// A picture kept for a display of twice the density: drawn at the display's resolution, with
// every position, size and pixel read still in logical pixels.
#include "typeset/fonts.h"
#include "typeset/image_surface.h"

#include <QTemporaryDir>

#include <array>
#include <functional>
#include <gtest/gtest.h>

namespace {

constexpr QRgb kWhite = 0xFFFFFFFF;

using Drawing = std::function<void(ImageSurface &)>;

struct Shape {
    const char *what;
    Drawing draw;
};

// Where each logical pixel's block at ratio 2 differs from that pixel at ratio 1.
std::vector<QPoint> BlocksUnlikeRatioOne(const Drawing &draw, QSize size = QSize(30, 30))
{
    ImageSurface one(size, 0xFFFFFF, 1), two(size, 0xFFFFFF, 2);
    one.setScaleMode(ScaleMode::Pixels);
    two.setScaleMode(ScaleMode::Pixels);
    draw(one);
    draw(two);
    std::vector<QPoint> unlike;
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x) {
            const QRect block = two.deviceBlock(x, y);
            bool same = true;
            for (int dy = 0; dy < block.height(); ++dy)
                for (int dx = 0; dx < block.width(); ++dx)
                    same = same && two.image().pixel(block.x() + dx, block.y() + dy)
                                       == one.image().pixel(x, y);
            if (!same)
                unlike.emplace_back(x, y);
        }
    return unlike;
}

TEST(DenseImageSurface, AliasedShapesCoverTheBlocksOfTheirRatioOnePixels)
{
    const std::array<Shape, 8> shapes{{
        {"horizontal line", [](ImageSurface &s) { s.line(2, 5, 20, 5, 0x0000FF); }},
        {"vertical line", [](ImageSurface &s) { s.line(7, 3, 7, 25, 0x0000FF); }},
        {"line of width 2", [](ImageSurface &s) { s.setDrawWidth(2); s.line(2, 9, 20, 9, 0xFF0000); }},
        {"line of width 3", [](ImageSurface &s) { s.setDrawWidth(3); s.line(12, 2, 12, 27, 0xFF0000); }},
        {"point", [](ImageSurface &s) { s.line(14, 4, 14, 4, 0x00FF00); }},
        {"box outline", [](ImageSurface &s) { s.box(3, 4, 17, 12, 0); }},
        {"box with a solid inside", [](ImageSurface &s) {
             s.setFillStyle(FillSolid);
             s.setFillColor(0x00FF00);
             s.box(4, 14, 22, 26, 0x0000FF);
         }},
        {"filled box", [](ImageSurface &s) { s.box(20, 3, 26, 8, 0x808080, BoxStyle::Filled); }},
    }};
    for (const Shape &shape : shapes) {
        const std::vector<QPoint> unlike = BlocksUnlikeRatioOne(shape.draw);
        EXPECT_TRUE(unlike.empty()) << shape.what << ": first at " << unlike.front().x() << ","
                                    << unlike.front().y();
    }
}

// Between pixels the denser picture places a line more finely, within a pixel of the ratio-1
// line (whose pixels are rounded from the same coordinates).
TEST(DenseImageSurface, LinesBetweenPixelsLandWithinAPixel)
{
    const Drawing draw = [](ImageSurface &s) {
        s.setScale(-1.5, 2.25, 6, -6); // 5 pixels a unit, y up
        s.line(-1, 1, 3.5, 1, 0x0000FF);
        s.line(0.3, -3, 0.3, 2, 0x0000FF);
        s.line(-1.2, -2.9, 3.3, 1.7, 0x0000FF);
    };
    ImageSurface one(QSize(30, 30), 0xFFFFFF, 1), two(QSize(30, 30), 0xFFFFFF, 2);
    draw(one);
    draw(two);
    auto inked = [](const QImage &image, int x, int y) {
        return x >= 0 && y >= 0 && x < image.width() && y < image.height()
            && image.pixel(x, y) != kWhite;
    };
    int stray = 0, inkOne = 0, inkTwo = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 60; ++x) {
            if (!inked(two.image(), x, y))
                continue;
            ++inkTwo;
            bool near = false;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    near = near || inked(one.image(), x / 2 + dx, y / 2 + dy);
            stray += !near;
        }
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x)
            inkOne += inked(one.image(), x, y);
    EXPECT_EQ(stray, 0);
    EXPECT_GT(inkTwo, 3 * inkOne);
}

TEST(DenseImageSurface, AOnePixelLineIsTwoDevicePixelsWide)
{
    ImageSurface surface(QSize(20, 20), 0xFFFFFF, 2);
    surface.setScaleMode(ScaleMode::Pixels);
    surface.line(2, 5, 17, 5, 0x0080FF);
    const QImage &image = surface.image();
    ASSERT_EQ(image.size(), QSize(40, 40));
    EXPECT_EQ(surface.sizePixels(), QSizeF(20, 20));
    for (int y = 8; y <= 13; ++y)
        EXPECT_EQ(image.pixel(21, y) == qRgb(255, 128, 0), y == 10 || y == 11) << y;
    EXPECT_EQ(surface.pixelAt(10, 5), qRgb(255, 128, 0));
    EXPECT_EQ(surface.pixelAt(10, 6), kWhite);
}

TEST(DenseImageSurface, AnXorShapeDrawnTwiceRestoresThePictureByteForByte)
{
    ImageSurface surface(QSize(40, 30), 0x123456, 2);
    surface.setScaleMode(ScaleMode::Pixels);
    surface.line(0, 0, 39, 29, 0x00FF00);
    surface.setFillStyle(FillSolid);
    surface.setFillColor(0x0000FF);
    surface.circle(20, 15, 6);
    surface.print(QStringLiteral("xy"));
    const QImage before = surface.image().copy();
    surface.setDrawMode(DrawMode::Xor);
    for (int width : {1, 2}) {
        surface.setDrawWidth(width);
        surface.box(5, 5, 30, 20, 0xFFFFFF);
        surface.line(3, 25, 35, 2, 0x808080);
        EXPECT_NE(surface.image(), before);
        surface.line(3, 25, 35, 2, 0x808080);
        surface.box(5, 5, 30, 20, 0xFFFFFF);
        EXPECT_EQ(surface.image(), before) << "width " << width;
    }
}

TEST(DenseImageSurface, TextIsMeasuredAndPlacedInLogicalPixels)
{
    registerApplicationFonts();
    for (const char *font : {"TalvoranFont", "MS Sans Serif"}) {
        ImageSurface one(QSize(200, 40), 0xFFFFFF, 1), two(QSize(200, 40), 0xFFFFFF, 2);
        for (ImageSurface *s : {&one, &two}) {
            s->setScaleMode(ScaleMode::Pixels);
            s->setFontName(QString::fromLatin1(font));
            s->setFontSize(12);
            s->print(QStringLiteral("f(x)=x+12"));
        }
        EXPECT_DOUBLE_EQ(two.textWidth(QStringLiteral("f(x)=x+12")),
                         one.textWidth(QStringLiteral("f(x)=x+12"))) << font;
        EXPECT_DOUBLE_EQ(two.textHeight(QStringLiteral("x")), one.textHeight(QStringLiteral("x")));
        EXPECT_DOUBLE_EQ(two.currentX(), one.currentX());
        // The ink lies in the same logical columns, give or take the edge of a glyph.
        auto inkColumns = [](const ImageSurface &s) {
            const QImage picture = s.logicalPicture();
            int first = -1, last = -1;
            for (int x = 0; x < picture.width(); ++x)
                for (int y = 0; y < picture.height(); ++y)
                    if (qGray(picture.pixel(x, y)) < 128) {
                        if (first < 0)
                            first = x;
                        last = x;
                    }
            return std::pair(first, last);
        };
        const auto [firstOne, lastOne] = inkColumns(one);
        const auto [firstTwo, lastTwo] = inkColumns(two);
        EXPECT_NEAR(firstTwo, firstOne, 1) << font;
        EXPECT_NEAR(lastTwo, lastOne, 1) << font;
    }
}

TEST(DenseImageSurface, TheBitmapKeepsOnePixelPerLogicalPixel)
{
    QTemporaryDir dir;
    ImageSurface surface(QSize(400, 400), 0xFFFFFF, 2);
    surface.setScaleMode(ScaleMode::Pixels);
    surface.line(0, 100, 399, 100, 0x0000FF);
    surface.box(50, 200, 80, 220, 0xFF0000, BoxStyle::Filled);
    const QString path = dir.filePath(QStringLiteral("plot.bmp"));
    ASSERT_TRUE(surface.savePicture(path));
    const QImage back(path);
    ASSERT_EQ(back.size(), QSize(400, 400));
    EXPECT_EQ(back.pixel(200, 100), qRgb(255, 0, 0));
    EXPECT_EQ(back.pixel(200, 99), qRgb(255, 255, 255));
    EXPECT_EQ(back.pixel(200, 101), qRgb(255, 255, 255));
    EXPECT_EQ(back.pixel(65, 210), qRgb(0, 0, 255));
    EXPECT_EQ(back.pixel(81, 210), qRgb(255, 255, 255));
}

TEST(DenseImageSurface, FloodFillSeedsTheBlockOfTheLogicalPixel)
{
    ImageSurface surface(QSize(20, 20), 0xFFFFFF, 2);
    surface.setScale(0, 10, 10, -10); // 2 logical pixels a unit, y up
    struct Seen { int x = -1, y = -1; double ratio = 0; } seen;
    surface.setFloodFiller([&seen](QImage &image, int x, int y, QRgb, QRgb, int) {
        seen = {x, y, image.devicePixelRatio()};
        return 1L;
    });
    EXPECT_TRUE(surface.floodFill(1.2, 1.2, 0xFFFFFF));
    EXPECT_EQ(seen.x, 4);   // logical pixel 2
    EXPECT_EQ(seen.y, 34);  // logical pixel 17
    EXPECT_EQ(seen.ratio, 2.0);
}

TEST(DenseImageSurface, ANewRatioKeepsTheLogicalSizeAndThePicture)
{
    ImageSurface surface(QSize(10, 8), 0xFFFFFF, 1);
    surface.setScaleMode(ScaleMode::Pixels);
    surface.box(0, 0, 3, 3, 0x0000FF, BoxStyle::Filled);
    surface.resize(QSize(10, 8), 2);
    EXPECT_EQ(surface.devicePixelRatio(), 2);
    EXPECT_EQ(surface.sizePixels(), QSizeF(10, 8));
    EXPECT_EQ(surface.image().size(), QSize(20, 16));
    EXPECT_EQ(surface.pixelAt(1, 1), qRgb(255, 0, 0));
    EXPECT_EQ(surface.pixelAt(6, 6), kWhite);

    struct Ratio { double display; int kept; };
    for (const Ratio r : {Ratio{1, 1}, Ratio{1.25, 2}, Ratio{2, 2}, Ratio{2.0000001, 2}, Ratio{3, 3},
                          Ratio{0, 1}})
        EXPECT_EQ(ImageSurface::ratioFor(r.display), r.kept) << r.display;
}

} // namespace
