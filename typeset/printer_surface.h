#pragma once

#include "typeset/surface.h"

#include <QFont>
#include <QPainter>

class QPrinter;

// A surface on a printer's pages: landscape, with a user scale of 800 x 600 units over the
// printable area. The scale is mapped here and point sizes stay points, so the painter keeps
// the device's own coordinates (a painter window would scale text and pens with it).
// Painting begins with the first drawing call; endDoc finishes the document.
class PrinterSurface : public Surface
{
public:
    explicit PrinterSurface(QPrinter &printer);
    ~PrinterSurface() override;

    void setOrientation(PageOrientation orientation) override;
    PageOrientation orientation() const override;
    void newPage() override;
    void endDoc() override;
    QString deviceName() const override;
    // Pages begun so far in the current document.
    int pages() const { return m_pages; }

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
    QPainter &painter();
    QPen pen(RgbValue colour) const;
    // The surface's font, or for text with characters it has no glyph for (a heading may
    // hold any), the same font with other fonts filling in those characters as on screen.
    const QFont &fontFor(const QString &text) const;

    QPrinter &m_printer;
    QPainter m_painter;
    QFont m_font;
    QFont m_fontWithFallback;
    int m_pages = 0;
};
