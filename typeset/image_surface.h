#pragma once

#include "typeset/surface.h"

#include <QFont>
#include <QImage>
#include <QLineF>

#include <QHash>
#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <tuple>
#include <vector>

class QPainter;

// A surface whose persistent picture is a QImage (RGB32, 96 dots per inch). Lines and fills
// are drawn aliased so that flood-fill walls are watertight; text is antialiased.
// On a high-density display the picture holds `ratio` device pixels per logical pixel in each
// direction, so it is drawn at the display's resolution; the scale, sizes, cursor and every
// position stay in logical pixels, and each logical pixel is a ratio x ratio block.
class ImageSurface : public Surface
{
public:
    explicit ImageSurface(QSize sizePixels = QSize(1, 1), RgbValue backColour = 0xFFFFFF,
                          int ratio = 1);
    ~ImageSurface() override;
    ImageSurface(const ImageSurface &) = delete;
    ImageSurface &operator=(const ImageSurface &) = delete;

    // The picture with every drawing call so far in it.
    const QImage &image() const
    {
        finishPainting();
        return m_image;
    }
    QImage &image()
    {
        finishPainting();
        return m_image;
    }
    // A new size keeps the picture's top-left part and fills the rest with BackColor.
    void resize(QSize sizePixels);
    // The same with another ratio: the old picture is scaled to it until it is drawn again.
    void resize(QSize sizePixels, int ratio);
    int devicePixelRatio() const { return m_ratio; }
    // The whole ratio at which a widget's picture is kept: a fractional display ratio rounds
    // up, and the screen scales the sharper picture down.
    static int ratioFor(double displayRatio);
    // The device pixels of the logical pixel (x, y).
    QRect deviceBlock(int x, int y) const { return QRect(x * m_ratio, y * m_ratio, m_ratio, m_ratio); }
    // The colour of the logical pixel (x, y) (its block's top-left device pixel).
    QRgb pixelAt(int x, int y) const;
    // The picture with one pixel per logical pixel, as a bitmap file keeps it.
    QImage logicalPicture() const;
    bool savePicture(const QString &path) const override;
    void refresh() override;
    // Called after every drawing call and on refresh, e.g. to schedule a repaint.
    void setChangedCallback(std::function<void()> callback) { m_changed = std::move(callback); }

    // The scan-line fill that floodFill runs on the picture (the plotter's own, which lives
    // above this library): image, seed, colour of the area, fill colour, FillStyle; returns
    // the pixels painted. Without one, floodFill does nothing.
    using FloodFiller = std::function<long(QImage &, int, int, QRgb, QRgb, int)>;
    void setFloodFiller(FloodFiller filler) { m_floodFiller = std::move(filler); }

    // The font the current FontName/FontSize/FontBold select, sized for this image.
    QFont currentFont() const { return m_font; }

protected:
    QSizeF deviceSize() const override;
    double devicePixelsPerTwip() const override;
    QSizeF deviceTextSize(const QString &text) const override;
    void deviceText(QPointF topLeft, const QString &text) override;
    void deviceLine(QPointF from, QPointF to, RgbValue colour) override;
    void deviceLines(const QLineF *lines, std::size_t count, RgbValue colour) override;
    void deviceBox(QPointF a, QPointF b, RgbValue colour, BoxStyle style) override;
    void deviceEllipse(QPointF centre, double radiusX, double radiusY, RgbValue colour) override;
    void deviceClear(RgbValue colour) override;
    void devicePicture(const QImage &picture, const QRectF &target) override;
    bool deviceFloodFill(QPointF seed, RgbValue areaColour) override;
    void fontChanged() override;

private:
    void changed();
    // Copy-mode shapes share one painter that stays open between calls (opening a painter per
    // line costs more than the line); everything else that touches the pixels ends it first.
    // Lines of one pen are collected and drawn together; anything else draws them first.
    QPainter &copyPainter();
    void flushLines() const;
    void finishPainting() const;
    // Paints through fn; in XOR mode the covered pixels' RGB bits are flipped by colour.
    template <typename Paint> void paintShape(RgbValue colour, Paint fn);
    // Sets a shape's pen; on a denser picture an odd-width pen is moved half a logical pixel
    // so that it covers the blocks of the pixels it covers at ratio 1.
    void setShapePen(QPainter &painter, const QPen &pen) const;
    // The copy painter with the line pen of this colour and the current width.
    void useLinePen(RgbValue colour, int width);
    // Queues a copy-mode line already clipped (a point when both ends are the same).
    void queueLine(QPointF from, QPointF to);
    // Draws a one-pixel line along a row or a column as the filled rectangle of the pixels
    // the painter's aliased line sets; false (nothing drawn) for any other line.
    bool fillAxisLine(QPointF from, QPointF to, RgbValue colour);

    QImage m_image;
    QSize m_size; // in logical pixels
    int m_ratio = 1;
    QFont m_font;
    std::function<void()> m_changed;
    FloodFiller m_floodFiller;
    mutable std::unique_ptr<QPainter> m_copyPainter;
    // The line pen last set on m_copyPainter; shapes other than lines clear it.
    bool m_linePenSet = false;
    RgbValue m_linePenColour = 0;
    int m_linePenWidth = 0;
    mutable std::vector<QLineF> m_pendingLines;
    // Sizes of short texts already measured, per font (name, size, bold): a typeset formula
    // measures one character at a time, and measuring shapes the text anew each time.
    // m_textSizes is the current font's table.
    using FontKey = std::tuple<QString, double, bool>;
    mutable std::map<FontKey, QHash<QString, QSizeF>> m_textSizesByFont;
    mutable QHash<QString, QSizeF> *m_textSizes = nullptr;
};
