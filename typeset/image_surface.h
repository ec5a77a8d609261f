#pragma once

#include "typeset/surface.h"

#include <QFont>
#include <QImage>

#include <functional>

// A surface whose persistent picture is a QImage (RGB32, 96 dots per inch). Lines and fills
// are drawn aliased so that flood-fill walls are watertight; text is antialiased.
class ImageSurface : public Surface
{
public:
    explicit ImageSurface(QSize sizePixels = QSize(1, 1), RgbValue backColour = 0xFFFFFF);

    const QImage &image() const { return m_image; }
    QImage &image() { return m_image; }
    // A new size keeps the picture's top-left part and fills the rest with BackColor.
    void resize(QSize sizePixels);
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
    void deviceBox(QPointF a, QPointF b, RgbValue colour, BoxStyle style) override;
    void deviceEllipse(QPointF centre, double radiusX, double radiusY, RgbValue colour) override;
    void deviceClear(RgbValue colour) override;
    void devicePicture(const QImage &picture, const QRectF &target) override;
    bool deviceFloodFill(QPointF seed, RgbValue areaColour) override;
    void fontChanged() override;

private:
    void changed();
    // Paints through fn; in XOR mode the covered pixels' RGB bits are flipped by colour.
    template <typename Paint> void paintShape(RgbValue colour, Paint fn);

    QImage m_image;
    QFont m_font;
    std::function<void()> m_changed;
    FloodFiller m_floodFiller;
};
