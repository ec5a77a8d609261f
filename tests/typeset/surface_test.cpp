#include "typeset/image_surface.h"
#include "typeset/recording_surface.h"

#include <gtest/gtest.h>

#include <QPainter>
#include <QTemporaryDir>

#include <array>
#include <cmath>
#include <random>
#include <tuple>
#include <vector>

namespace {

TEST(ColourTest, RedIsTheLowByte)
{
    struct Row { RgbValue value; int r, g, b; };
    const std::array<Row, 4> rows = {{{0x0080FF, 255, 128, 0}, {0xFFFFFE, 254, 255, 255},
                                      {0xFF0000, 0, 0, 255}, {255, 255, 0, 0}}};
    for (const Row &row : rows) {
        const QColor colour = colourFromRgbValue(row.value);
        EXPECT_EQ(colour, QColor(row.r, row.g, row.b)) << row.value;
        EXPECT_EQ(rgbValueFromColour(colour), row.value);
        EXPECT_EQ(rgbValue(row.r, row.g, row.b), row.value);
    }
}

TEST(SurfaceScaleTest, ModesAndUserScalesMapToPixels)
{
    struct Row
    {
        const char *what;
        void (*setUp)(Surface &);
        double x, y;       // a point in the scale
        double px, py;     // where it lands on the 300 x 150 pixel surface
        double width, height; // the scale's extent
    };
    const std::array<Row, 5> rows = {{
        {"pixels", [](Surface &s) { s.setScaleMode(ScaleMode::Pixels); }, 30, 15, 30, 15, 300, 150},
        {"twips, 15 to a pixel", [](Surface &s) { s.setScaleMode(ScaleMode::Twips); }, 450, 150,
         30, 10, 4500, 2250},
        {"points, 0.75 to a pixel", [](Surface &s) { s.setScaleMode(ScaleMode::Points); }, 30, 15,
         40, 20, 225, 112.5},
        {"a user scale with y up", [](Surface &s) { s.setScale(-10, 5, 20, -10); }, 0, 0, 150, 75,
         20, -10},
        {"a user scale of 800 x 600", [](Surface &s) { s.setScale(0, 0, 800, 600); }, 400, 600,
         150, 150, 800, 600},
    }};
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        RecordingSurface surface(QSizeF(300, 150));
        row.setUp(surface);
        const QPointF p = surface.toDevice(row.x, row.y);
        EXPECT_DOUBLE_EQ(p.x(), row.px);
        EXPECT_DOUBLE_EQ(p.y(), row.py);
        EXPECT_DOUBLE_EQ(surface.scaleWidth(), row.width);
        EXPECT_DOUBLE_EQ(surface.scaleHeight(), row.height);
        const QPointF back = surface.fromDevice(p);
        EXPECT_DOUBLE_EQ(back.x(), row.x);
        EXPECT_DOUBLE_EQ(back.y(), row.y);
    }
}

TEST(SurfaceScaleTest, TwipsSizeOfTheClientArea)
{
    RecordingSurface surface(QSizeF(300, 150));
    EXPECT_DOUBLE_EQ(surface.widthTwips(), 4500);
    EXPECT_DOUBLE_EQ(surface.heightTwips(), 2250);
}

TEST(SurfaceTextTest, TextSizeCarriesTheScaleSign)
{
    RecordingSurface surface(QSizeF(300, 150));
    surface.setFontSize(12); // 6 x 18 pixels a character
    surface.setScale(0, 10, 600, -15);
    EXPECT_DOUBLE_EQ(surface.textWidth(QStringLiteral("ab")), 24);
    EXPECT_DOUBLE_EQ(surface.textHeight(QStringLiteral("ab")), -1.8);
    EXPECT_DOUBLE_EQ(surface.fontSize(), 12);
    surface.setFontSize(8.3);
    EXPECT_DOUBLE_EQ(surface.fontSize(), 8.3);
}

TEST(SurfaceTextTest, PrintKeepsTheLineAndPrintLineStartsTheNext)
{
    RecordingSurface surface(QSizeF(300, 150));
    surface.setFontSize(12);
    surface.setScale(-5, 0, 300, 150);
    surface.setCurrentX(10);
    surface.setCurrentY(20);
    surface.print(QStringLiteral("ab"));
    EXPECT_DOUBLE_EQ(surface.currentX(), 22);
    EXPECT_DOUBLE_EQ(surface.currentY(), 20);
    surface.printLine(QStringLiteral("c"));
    EXPECT_DOUBLE_EQ(surface.currentX(), -5);
    EXPECT_DOUBLE_EQ(surface.currentY(), 38);
    EXPECT_EQ(surface.printLog(),
              (QStringList{"'ab' 10,20 12 0", "'c' 22,20 12 0", "end"}));
}

TEST(SurfaceDrawingTest, LinesMoveThePenAndClsPutsItAtTheOrigin)
{
    RecordingSurface surface(QSizeF(300, 150));
    surface.setScale(0, 100, 100, -100);
    surface.line(10, 20, 30, 40, 0x0000FF);
    EXPECT_DOUBLE_EQ(surface.currentX(), 30);
    EXPECT_DOUBLE_EQ(surface.currentY(), 40);
    surface.box(1, 2, 3, 4, BoxStyle::Filled);
    EXPECT_DOUBLE_EQ(surface.currentX(), 3);
    surface.circle(50, 60, 5);
    EXPECT_DOUBLE_EQ(surface.currentX(), 50);
    EXPECT_DOUBLE_EQ(surface.currentY(), 60);
    surface.cls();
    EXPECT_DOUBLE_EQ(surface.currentX(), 0);
    EXPECT_DOUBLE_EQ(surface.currentY(), 0);
    ASSERT_EQ(surface.calls().size(), 4u);
    EXPECT_EQ(surface.calls()[0].kind, RecordedCall::Line);
    EXPECT_DOUBLE_EQ(surface.calls()[0].y2, 40);
    EXPECT_EQ(surface.calls()[0].colour, 0x0000FF);
    EXPECT_EQ(surface.calls()[1].boxStyle, BoxStyle::Filled);
    EXPECT_DOUBLE_EQ(surface.calls()[2].x2, 5);
    EXPECT_EQ(surface.calls()[3].kind, RecordedCall::Cls);
}

TEST(SurfaceDrawingTest, CoordinatesTooFarOutAreNotDrawn)
{
    RecordingSurface surface(QSizeF(300, 150));
    surface.line(0, 0, 1e300, 5);
    surface.line(0, 0, std::nan(""), 5);
    EXPECT_TRUE(surface.calls().empty());
}

TEST(ImageSurfaceTest, LinesAreAliasedInThePenColour)
{
    ImageSurface surface(QSize(20, 20));
    surface.setScaleMode(ScaleMode::Pixels);
    surface.line(2, 5, 17, 5, 0x0080FF);
    EXPECT_EQ(surface.image().pixel(10, 5), qRgb(255, 128, 0));
    EXPECT_EQ(surface.image().pixel(10, 4), qRgb(255, 255, 255));
    EXPECT_EQ(surface.image().pixel(10, 6), qRgb(255, 255, 255));
}

// Lines are collected and drawn later in groups: whatever comes next (a line of another pen, a
// point, a box, text, a fill, an XOR line) must still land on top of them, in order.
TEST(ImageSurfaceTest, CollectedLinesKeepTheDrawingOrder)
{
    ImageSurface surface(QSize(30, 30));
    surface.setScaleMode(ScaleMode::Pixels);
    surface.line(0, 5, 29, 5, 0x0000FF);   // red
    surface.line(10, 5, 20, 5, 0xFF0000);  // blue over part of it
    surface.line(15, 5, 15, 5, 0x00FF00);  // a green point over that
    surface.line(0, 10, 29, 10, 0x0000FF);
    surface.setFillStyle(FillSolid);
    surface.setFillColor(0x000000);
    surface.box(12, 8, 14, 12, 0x000000, BoxStyle::Filled);  // black over the red line
    surface.line(0, 20, 29, 20, 0x0000FF);
    surface.setDrawMode(DrawMode::Xor);
    surface.line(0, 20, 29, 20, 0xFFFFFF);  // flips the red line just drawn
    const QImage &image = surface.image();
    EXPECT_EQ(image.pixel(5, 5), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(12, 5), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(15, 5), qRgb(0, 255, 0));
    EXPECT_EQ(image.pixel(5, 10), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(13, 10), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(5, 20), qRgb(0, 255, 255));
}

TEST(ImageSurfaceTest, LinesReachingFarOutsideAreClippedNotLost)
{
    ImageSurface surface(QSize(20, 20));
    surface.setScaleMode(ScaleMode::Pixels);
    surface.line(-5e6, 10, 5e6, 10, 0);   // far beyond both edges, crossing the picture
    surface.line(30, -4e6, 30, 4e6, 0);   // wholly to the right: nothing to draw
    for (int x : {0, 10, 19})
        EXPECT_EQ(surface.image().pixel(x, 10), qRgb(0, 0, 0)) << x;
    EXPECT_EQ(surface.image().pixel(10, 9), qRgb(255, 255, 255));
}

// A line along a row or a column is filled as a rectangle rather than stroked: it must set
// exactly the pixels the painter's own aliased line sets, at every fraction of a pixel (ends
// cut toward zero, so -0.01 is in pixel 0 and -0.5 in pixel -1), in both directions, shorter
// than a pixel, and reaching past the edges.
TEST(ImageSurfaceTest, LinesAlongARowOrAColumnSetThePixelsThePainterSets)
{
    const QSize size(24, 18);
    auto painted = [&](QPointF from, QPointF to) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, false);
        QPen pen(QColor(255, 128, 0));
        pen.setWidth(1);
        pen.setCapStyle(Qt::SquareCap);
        pen.setJoinStyle(Qt::MiterJoin);
        painter.setPen(pen);
        if (from == to)
            painter.drawPoint(from);
        else
            painter.drawLine(from, to);
        return image;
    };
    auto check = [&](double across, double from, double to) {
        for (const bool column : {true, false}) {
            const QPointF a = column ? QPointF(across, from) : QPointF(from, across);
            const QPointF b = column ? QPointF(across, to) : QPointF(to, across);
            ImageSurface surface(size);
            surface.setScaleMode(ScaleMode::Pixels);
            surface.line(a.x(), a.y(), b.x(), b.y(), 0x0080FF);
            EXPECT_EQ(surface.image(), painted(a, b)) << (column ? "column " : "row ") << across
                                                      << ": " << from << " to " << to;
        }
    };
    const std::array<double, 17> places = {-2.5, -1, -0.5, -0.01, 0, 0.01, 0.49, 0.5, 0.51,
                                           0.99, 1, 3.25, 7.999, 16.5, 17.99, 18, 23.5};
    for (double across : places)
        for (double from : places)
            for (double to : places)
                check(across, from, to);
    check(4, 5, 5 + 1.0 / 128);  // shorter than the painter's 64th
    check(4, 5.3, 5.3 + 1.0 / 64);
    std::mt19937 random(19);
    std::uniform_real_distribution<double> coordinate(-4, 28);
    for (int i = 0; i < 300; ++i)
        check(coordinate(random), coordinate(random), coordinate(random));
}

// lines() draws a run of segments exactly as line() draws them one at a time: the same
// pixels (in copy and XOR mode), the same calls on a recording, the same cursor.
TEST(SurfaceDrawingTest, ARunOfLinesDrawsWhatLineByLineDraws)
{
    const std::vector<QLineF> run = {
        {1, 1, 8, 6}, {8, 6, 8, 14}, {8, 14, 8, 14}, {-30, 5, 50, 5}, {2, 9, 2.5, 9.5},
        {0, 0, 1e300, 3}, {3, 3, std::nan(""), 4}, {14.5, -2, 14.5, 40}, {5, 12, 17, 2},
    };
    for (const int ratio : {1, 2}) {
        for (const DrawMode mode : {DrawMode::Copy, DrawMode::Xor}) {
            for (const int width : {1, 3}) {
                ImageSurface one(QSize(20, 16), 0x123456, ratio), together(QSize(20, 16), 0x123456, ratio);
                for (ImageSurface *s : {&one, &together}) {
                    s->setScale(-2, 18, 24, -20);
                    s->setDrawMode(mode);
                    s->setDrawWidth(width);
                    s->setForeColor(0x0080FF);
                }
                for (const QLineF &l : run)
                    one.line(l.x1(), l.y1(), l.x2(), l.y2());
                together.lines(run.data(), run.size());
                EXPECT_EQ(together.image(), one.image()) << ratio << " " << int(mode) << " " << width;
                EXPECT_EQ(together.currentX(), one.currentX());
                EXPECT_EQ(together.currentY(), one.currentY());
            }
        }
    }
    RecordingSurface one(QSizeF(20, 16)), together(QSizeF(20, 16));
    for (RecordingSurface *s : {&one, &together}) {
        s->setScale(-2, 18, 24, -20);
        s->setForeColor(0xFF);
    }
    for (const QLineF &l : run)
        one.line(l.x1(), l.y1(), l.x2(), l.y2());
    together.lines(run.data(), run.size());
    ASSERT_EQ(together.calls().size(), one.calls().size());
    for (std::size_t i = 0; i < one.calls().size(); ++i) {
        const RecordedCall &a = one.calls()[i], &b = together.calls()[i];
        EXPECT_EQ(std::tie(a.kind, a.x, a.y, a.x2, a.y2, a.colour),
                  std::tie(b.kind, b.x, b.y, b.x2, b.y2, b.colour)) << i;
    }
}

TEST(ImageSurfaceTest, XorDrawnTwiceRestoresThePictureByteForByte)
{
    ImageSurface surface(QSize(40, 30), 0x123456);
    surface.setScaleMode(ScaleMode::Pixels);
    surface.line(0, 0, 39, 29, 0x00FF00);
    surface.setFillStyle(FillSolid);
    surface.setFillColor(0x0000FF);
    surface.circle(20, 15, 6);
    const QImage before = surface.image().copy();
    surface.setDrawMode(DrawMode::Xor);
    surface.setDrawWidth(2);
    surface.box(5, 5, 30, 20, 0xFFFFFF);
    surface.line(3, 25, 35, 2, 0x808080);
    EXPECT_NE(surface.image(), before);
    surface.line(3, 25, 35, 2, 0x808080);
    surface.box(5, 5, 30, 20, 0xFFFFFF);
    EXPECT_EQ(surface.image(), before);
}

TEST(ImageSurfaceTest, FillStylesInsideABox)
{
    struct Row { int style; bool centreFilled; };
    for (const Row row : {Row{FillSolid, true}, Row{FillTransparent, false}}) {
        ImageSurface surface(QSize(20, 20));
        surface.setScaleMode(ScaleMode::Pixels);
        surface.setFillStyle(row.style);
        surface.setFillColor(0x0000FF);
        surface.box(2, 2, 17, 17, 0);
        EXPECT_EQ(surface.image().pixel(2, 10), qRgb(0, 0, 0));
        EXPECT_EQ(surface.image().pixel(10, 10) == qRgb(255, 0, 0), row.centreFilled);
    }
}

TEST(ImageSurfaceTest, SavePictureWritesABitmap)
{
    QTemporaryDir dir;
    ImageSurface surface(QSize(12, 7), 0x0080FF);
    const QString path = dir.filePath(QStringLiteral("plot.bmp"));
    ASSERT_TRUE(surface.savePicture(path));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.read(2), QByteArray("BM"));
    const QImage back(path);
    EXPECT_EQ(back.size(), QSize(12, 7));
    EXPECT_EQ(back.pixel(5, 3), qRgb(255, 128, 0));
}

TEST(ImageSurfaceTest, FloodFillHandsTheSeedAndColoursToTheFiller)
{
    ImageSurface surface(QSize(20, 20));
    surface.setScale(0, 10, 10, -10); // 2 pixels a unit, y up
    surface.setFillColor(0x00FF00);
    surface.setFillStyle(FillCross);
    EXPECT_FALSE(surface.floodFill(1, 1, 0xFFFFFF)); // no filler: nothing happens
    struct Seen { int x = -1, y = -1; QRgb area = 0, fill = 0; int style = -1; } seen;
    surface.setFloodFiller([&seen](QImage &, int x, int y, QRgb area, QRgb fill, int style) {
        seen = {x, y, area, fill, style};
        return 5L;
    });
    EXPECT_TRUE(surface.floodFill(1.2, 1.2, 0x0080FF));
    EXPECT_EQ(seen.x, 2);
    EXPECT_EQ(seen.y, 17);
    EXPECT_EQ(seen.area, qRgb(255, 128, 0));
    EXPECT_EQ(seen.fill, qRgb(0, 255, 0));
    EXPECT_EQ(seen.style, FillCross);
}

TEST(ImageSurfaceTest, ResizeKeepsThePictureAndPaintPictureStretches)
{
    ImageSurface surface(QSize(4, 4), 0xFFFFFF);
    surface.setScaleMode(ScaleMode::Pixels);
    QImage red(1, 1, QImage::Format_RGB32);
    red.fill(Qt::red);
    surface.paintPicture(red, 0, 0, 2, 2);
    surface.resize(QSize(8, 6));
    EXPECT_EQ(surface.image().size(), QSize(8, 6));
    EXPECT_EQ(surface.image().pixel(1, 1), qRgb(255, 0, 0));
    EXPECT_EQ(surface.image().pixel(2, 2), qRgb(255, 255, 255));
    EXPECT_EQ(surface.image().pixel(7, 5), qRgb(255, 255, 255));
}

// Text mostly outside the picture still leaves exactly the ink that shows of it: the same text
// on a larger picture, cut to the small one's place, is the same pixel for pixel.
TEST(ImageSurfaceTest, TextAtTheEdgesLeavesTheInkThatShows)
{
    const QSize small(40, 30);
    const int margin = 60;  // the small picture's place inside the large one
    const struct {
        const char *where;
        double x, y;
    } cases[] = {
        {"across the right edge", 34, 5},
        {"across the bottom edge", 5, 24},
        {"across the top edge", 5, -18},
        {"across the left edge", -12, 5},
        {"just past the right edge", 41, 5},
        {"far past the right edge", 400, 5},
        {"far below", 5, 300},
        {"far above", 5, -300},
    };
    for (const auto &c : cases) {
        ImageSurface part(small);
        ImageSurface whole(small + QSize(2 * margin, 2 * margin));
        for (ImageSurface *s : {&part, &whole}) {
            s->setScaleMode(ScaleMode::Pixels);
            s->setFontSize(24);
            s->setFontBold(true);
        }
        part.setCurrentX(c.x);
        part.setCurrentY(c.y);
        part.print(QStringLiteral("Wj"));
        whole.setCurrentX(c.x + margin);
        whole.setCurrentY(c.y + margin);
        whole.print(QStringLiteral("Wj"));
        EXPECT_EQ(part.image(), whole.image().copy(QRect(QPoint(margin, margin), small))) << c.where;
    }
}

// Measured sizes are kept per font: one surface that switches between fonts and measures the
// same texts again must get what a fresh surface in each font measures.
TEST(ImageSurfaceTest, TextSizesFollowEveryFontChange)
{
    const struct {
        const char *font;
        double size;
        bool bold;
        const char *text;
    } steps[] = {
        {"MS Sans Serif", 12, false, "W"}, {"MS Sans Serif", 24, false, "W"},
        {"MS Sans Serif", 24, true, "W"},  {"Courier", 24, true, "W"},
        {"MS Sans Serif", 12, false, "W"}, {"MS Sans Serif", 12, false, "Wi"},
        {"Courier", 24, true, "i"},        {"MS Sans Serif", 24, true, "W"},
    };
    ImageSurface reused(QSize(50, 50));
    reused.setScaleMode(ScaleMode::Pixels);
    for (const auto &step : steps) {
        ImageSurface fresh(QSize(50, 50));
        fresh.setScaleMode(ScaleMode::Pixels);
        for (ImageSurface *s : {&reused, &fresh}) {
            s->setFontName(QString::fromLatin1(step.font));
            s->setFontSize(step.size);
            s->setFontBold(step.bold);
        }
        const QString text = QString::fromLatin1(step.text);
        EXPECT_EQ(reused.textWidth(text), fresh.textWidth(text)) << step.font << " " << step.size;
        EXPECT_EQ(reused.textHeight(text), fresh.textHeight(text)) << step.font << " " << step.size;
    }
    // A resized picture measures as a new one of that size.
    reused.resize(QSize(80, 60));
    ImageSurface fresh(QSize(80, 60));
    fresh.setScaleMode(ScaleMode::Pixels);
    fresh.setFontName(QStringLiteral("MS Sans Serif"));
    fresh.setFontSize(24);
    fresh.setFontBold(true);
    EXPECT_EQ(reused.textWidth(QStringLiteral("W")), fresh.textWidth(QStringLiteral("W")));
}

} // namespace
