#include "typeset/surface_view.h"
#include "workspace/dialogs/dialog_parts.h"
#include "workspace/formula_box.h"
#include "workspace/frm_graph_main.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSignalSpy>

#include <array>

namespace linoveta {
namespace {

int inkPixels(const ImageSurface &surface)
{
    const QImage &image = surface.image();
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += qGray(image.pixel(x, y)) < 128;
    return n;
}

// Shows the widget with ink on its picture, kept at the display's ratio or, when `stale`, at
// another one (as after a move to a display of another density); then paints it and lets the
// queued reaction run.
void showThenPaint(SurfaceWidget &widget, bool stale)
{
    widget.resize(120, 40);
    widget.show();
    QCoreApplication::processEvents();
    ImageSurface &picture = widget.surface();
    const int ratio = PictureRatio(widget);
    if (stale)
        picture.resize(picture.sizePixels().toSize(), ratio + 1);
    picture.line(0, 0, 60, 30);
    widget.repaint();
    QCoreApplication::processEvents();
}

struct Staleness {
    const char *name;
    bool stale;
};
constexpr std::array<Staleness, 2> kStaleness{{{"at the display's ratio", false},
                                                {"at another ratio", true}}};

TEST(SurfaceWidgetTest, ThePlotKeepsItsPictureAtTheDisplaysRatio)
{
    for (const Staleness &row : kStaleness) {
        PlotPicture plot;
        showThenPaint(plot, row.stale);
        EXPECT_EQ(plot.surface().devicePixelRatio(), PictureRatio(plot)) << row.name;
        EXPECT_GT(inkPixels(plot.surface()), 0) << row.name;
    }
}

TEST(SurfaceWidgetTest, AFormulaBoxEmptiesAStalePictureAndAsksForItAgain)
{
    for (const Staleness &row : kStaleness) {
        FormulaBox box(3);
        QSignalSpy redraw(&box, &FormulaBox::pictureRatioChanged);
        showThenPaint(box, row.stale);
        EXPECT_EQ(box.surface().devicePixelRatio(), PictureRatio(box)) << row.name;
        ASSERT_EQ(redraw.count(), row.stale ? 1 : 0) << row.name;
        if (row.stale) {
            EXPECT_EQ(redraw.at(0).at(0).toInt(), 3);
            EXPECT_EQ(inkPixels(box.surface()), 0);
        } else {
            EXPECT_GT(inkPixels(box.surface()), 0);
        }
    }
}

TEST(SurfaceWidgetTest, ADialogsFormulaPictureTypesetsItsFormulaAgain)
{
    for (const Staleness &row : kStaleness) {
        FormulaPicture picture;
        int typeset = 0;
        showThenPaint(picture, false);
        picture.showFormula(QStringLiteral("x"), 0, [&](const QString &, Surface &target) {
            ++typeset;
            target.line(0, 0, 10, 10);
        });
        if (row.stale)
            picture.surface().resize(picture.surface().sizePixels().toSize(),
                                     PictureRatio(picture) + 1);
        picture.repaint();
        QCoreApplication::processEvents();
        EXPECT_EQ(picture.surface().devicePixelRatio(), PictureRatio(picture)) << row.name;
        EXPECT_EQ(typeset, row.stale ? 2 : 1) << row.name;
        EXPECT_GT(inkPixels(picture.surface()), 0) << row.name;
    }
}

} // namespace
} // namespace linoveta
