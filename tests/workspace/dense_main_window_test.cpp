// The main window on a display of twice the density: its pictures are kept at the display's
// resolution while the layout, the mouse, the rubber band and the bitmap stay in logical pixels.
#include "main_window_fixture.h"

#include "workspace/dialogs/frm_about.h"
#include "workspace/dialogs/frm_logo.h"
#include "workspace/system_info.h"

#include <QDialog>
#include <QMouseEvent>

#include <array>
#include <string>
#include <QLabel>
#include <QPushButton>

namespace {
// Set before the test program's QApplication is made.
const bool kDenseDisplay = qputenv("QT_SCALE_FACTOR", "2");
} // namespace

namespace linoveta {
namespace {

TEST_F(MainWindowTest, PicturesAreKeptAtTheDisplaysDensityInTheSameLayout)
{
    ASSERT_TRUE(kDenseDisplay);
    ASSERT_EQ(window->devicePixelRatioF(), 2.0);
    const ImageSurface &plot = window->frmGraph->surface();
    EXPECT_EQ(plot.devicePixelRatio(), 2);
    EXPECT_EQ(plot.sizePixels(), QSizeF(400, 400));
    EXPECT_EQ(plot.image().size(), QSize(800, 800));
    EXPECT_EQ(window->frmGraph->size(), QSize(400, 400));
    EXPECT_EQ(window->Paper[0]->surface().devicePixelRatio(), 2);
    EXPECT_EQ(window->Paper[0]->surface().sizePixels(), QSizeF(window->Paper[0]->size()));

    // A grid line one pixel wide is two device pixels wide, the axes of two pixels four,
    // each where a ratio-1 picture has it.
    QTest::keyClicks(window->Paper[0], "x");
    QTest::keyClick(window->Paper[0], Qt::Key_Return);
    const QImage &image = plot.image();
    struct Line {
        const char *what;
        QPointF on;        // a point of the line between crossings, in the window's units
        bool vertical;
        QRgb colour;
        int first, last;   // the logical pixels across it at ratio 1, from the line's own
    };
    const QRgb grid = colourFromRgbValue(program.graph.GridColor.empty()
                                             ? 16766596
                                             : std::stoll(program.graph.GridColor)).rgb();
    const std::array<Line, 2> lines{{
        {"grid line x = -15", QPointF(-15, 10.5), true, grid, 0, 0},
        {"x axis", QPointF(-15.5, 0), false, qRgb(0, 0, 0), -1, 0},
    }};
    for (const Line &l : lines) {
        const QPoint at = plot.toDevice(l.on.x(), l.on.y()).toPoint();
        const int across = l.vertical ? at.x() : at.y();
        for (int d = 2 * (across + l.first) - 2; d <= 2 * (across + l.last) + 3; ++d) {
            const QPoint device = l.vertical ? QPoint(d, 2 * at.y()) : QPoint(2 * at.x(), d);
            const bool inside = d >= 2 * (across + l.first) && d <= 2 * (across + l.last) + 1;
            EXPECT_EQ(image.pixel(device) == l.colour, inside) << l.what << " at " << d;
        }
    }
    EXPECT_GT(inkPixels(*window->Paper[0]), 0);
}

TEST_F(MainWindowTest, TheMouseAndTheRubberBandWorkInLogicalPixels)
{
    // A move over the picture, as the window system hands it on in logical pixels.
    QMouseEvent move(QEvent::MouseMove, QPointF(250, 270), window->frmGraph->mapToGlobal(QPointF(250, 270)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(window->frmGraph, &move);
    EXPECT_EQ(window->Label2->text(), "x = 5    y = -7");

    const QImage before = window->frmGraph->surface().image().copy();
    QTest::mousePress(window->frmGraph, Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mouseMove(window->frmGraph, QPoint(300, 250));
    EXPECT_NE(window->frmGraph->surface().image(), before);
    QTest::mouseMove(window->frmGraph, QPoint(100, 100));
    EXPECT_EQ(window->frmGraph->surface().image(), before);
    QTest::mouseMove(window->frmGraph, QPoint(300, 250));
    QTest::mouseRelease(window->frmGraph, Qt::LeftButton, {}, QPoint(300, 250));
    EXPECT_TRUE(program.graph.UserWindow);
    EXPECT_EQ(program.graph.XMin, -10);
    EXPECT_EQ(program.graph.XMax, 10);
    EXPECT_EQ(program.graph.YMin, -5);
    EXPECT_EQ(program.graph.YMax, 10);
}

TEST_F(MainWindowTest, TheBitmapIsTheFourHundredPixelPicture)
{
    QTest::keyClicks(window->Paper[0], "x");
    QTest::keyClick(window->Paper[0], Qt::Key_Return);
    script.savePaths.push_back(folder.filePath(QStringLiteral("plot")));
    window->mnuBitMap_Click();
    const QImage bitmap(folder.filePath(QStringLiteral("plot.bmp")));
    ASSERT_EQ(bitmap.size(), QSize(400, 400));
    const ImageSurface &plot = window->frmGraph->surface();
    const QPoint axis = plot.toDevice(-15.5, 0).toPoint();
    EXPECT_EQ(bitmap.pixel(axis), qRgb(0, 0, 0));
    EXPECT_EQ(bitmap.pixel(axis + QPoint(0, 1)), qRgb(255, 255, 255));
}

TEST_F(MainWindowTest, WindowsShowTheProgramsIconSharpAtTwiceTheSize)
{
    EXPECT_FALSE(window->windowIcon().isNull());
    EXPECT_TRUE(window->windowIcon().availableSizes().contains(QSize(256, 256)));
    QDialog dialog(window.get());
    EXPECT_EQ(dialog.windowIcon().cacheKey(), window->windowIcon().cacheKey());
    // A toolbar picture asked for at twice its size comes from the dense drawing, not scaled.
    const QIcon zoom = window->Command2->icon();
    const QImage dense = zoom.pixmap(QSize(48, 48), 2.0).toImage();
    EXPECT_EQ(dense.size(), QSize(96, 96));
    EXPECT_EQ(dense.convertToFormat(QImage::Format_ARGB32),
              QImage(QStringLiteral(":/images/zoom_in@2x.png")).convertToFormat(QImage::Format_ARGB32));
}

TEST_F(MainWindowTest, AboutAndSplashPicturesComeFromTheirDenseDrawings)
{
    frmAbout about(SystemInfoServices(), *window->services().messages, window.get());
    frmLogo splash(window.get());
    struct Row {
        const char *what;
        const QLabel *image;
        QSize size;          // logical pixels, as at ratio 1
        const char *dense;
    };
    const std::array<Row, 2> rows{{
        {"About", about.Image1, QSize(261, 110), ":/images/about@2x.png"},
        {"splash", splash.Image1, QSize(542, 240), ":/images/splash@2x.png"},
    }};
    for (const Row &row : rows) {
        const QPixmap picture = row.image->pixmap();
        EXPECT_EQ(picture.devicePixelRatio(), 2.0) << row.what;
        EXPECT_EQ(picture.deviceIndependentSize().toSize(), row.size) << row.what;
        EXPECT_EQ(picture.toImage().convertToFormat(QImage::Format_RGB32),
                  QImage(QString::fromLatin1(row.dense)).convertToFormat(QImage::Format_RGB32))
            << row.what;
    }
}

} // namespace
} // namespace linoveta
