#pragma once

#include "typeset/surface.h"

#include <QString>
#include <QStringList>

#include <vector>

// One call that reached a RecordingSurface, with the drawing state it was made in.
struct RecordedCall
{
    enum Kind { Text, LineEnd, Line, Box, Circle, Cls, Picture, FloodFill, NewPage, EndDoc };
    Kind kind = Text;
    QString text;          // Text: the characters printed
    double x = 0, y = 0;   // in scale units: text's top-left, a line's start, a centre
    double x2 = 0, y2 = 0; // a line's or box's end, a circle's radius in x2
    double fontSize = 0;
    QString fontName;
    bool bold = false;
    RgbValue colour = 0;
    BoxStyle boxStyle = BoxStyle::Outline;
};

// A surface with fixed synthetic metrics that draws nothing and logs every call, for exact
// tests of whatever draws. Every character is FontSize / 2 pixels wide and a line is
// FontSize * 1.5 pixels high, whatever the font.
class RecordingSurface : public Surface
{
public:
    explicit RecordingSurface(QSizeF sizePixels = QSizeF(800, 600));

    const std::vector<RecordedCall> &calls() const { return m_calls; }
    void clearLog() { m_calls.clear(); }
    // Every printed text with its position, size and colour, and every line end, in order,
    // as "'x' 12,11 12 255" and "end"; new pages as "page".
    QStringList printLog() const;
    int pages() const { return m_pages; }

    void setOrientation(PageOrientation orientation) override { m_orientation = orientation; }
    PageOrientation orientation() const override { return m_orientation; }
    void newPage() override;
    void endDoc() override;
    QString deviceName() const override { return QStringLiteral("Recording"); }

protected:
    QSizeF deviceSize() const override { return m_size; }
    double devicePixelsPerTwip() const override { return 1.0 / kTwipsPerPixel; }
    QSizeF deviceTextSize(const QString &text) const override;
    void deviceText(QPointF topLeft, const QString &text) override;
    void deviceLineEnd() override;
    void deviceLine(QPointF from, QPointF to, RgbValue colour) override;
    void deviceBox(QPointF a, QPointF b, RgbValue colour, BoxStyle style) override;
    void deviceEllipse(QPointF centre, double radiusX, double radiusY, RgbValue colour) override;
    void deviceClear(RgbValue colour) override;
    void devicePicture(const QImage &picture, const QRectF &target) override;
    bool deviceFloodFill(QPointF seed, RgbValue areaColour) override;

private:
    RecordedCall stateCall(RecordedCall::Kind kind, QPointF at) const;

    QSizeF m_size;
    std::vector<RecordedCall> m_calls;
    PageOrientation m_orientation = PageOrientation::Portrait;
    int m_pages = 1;
};
