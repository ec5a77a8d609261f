#include "typeset/recording_surface.h"

RecordingSurface::RecordingSurface(QSizeF sizePixels) : m_size(sizePixels) {}

QSizeF RecordingSurface::deviceTextSize(const QString &text) const
{
    return QSizeF(text.size() * fontSize() / 2.0, fontSize() * 1.5);
}

RecordedCall RecordingSurface::stateCall(RecordedCall::Kind kind, QPointF at) const
{
    RecordedCall call;
    call.kind = kind;
    const QPointF user = fromDevice(at);
    call.x = user.x();
    call.y = user.y();
    call.fontSize = fontSize();
    call.fontName = fontName();
    call.bold = fontBold();
    call.colour = foreColor();
    return call;
}

void RecordingSurface::deviceText(QPointF topLeft, const QString &text)
{
    RecordedCall call = stateCall(RecordedCall::Text, topLeft);
    // Log the cursor itself, not the round trip through device pixels.
    call.x = currentX();
    call.y = currentY();
    call.text = text;
    m_calls.push_back(call);
}

void RecordingSurface::deviceLineEnd()
{
    RecordedCall call;
    call.kind = RecordedCall::LineEnd;
    m_calls.push_back(call);
}

void RecordingSurface::deviceLine(QPointF from, QPointF to, RgbValue colour)
{
    RecordedCall call = stateCall(RecordedCall::Line, from);
    const QPointF end = fromDevice(to);
    call.x2 = end.x();
    call.y2 = end.y();
    call.colour = colour;
    m_calls.push_back(call);
}

void RecordingSurface::deviceBox(QPointF a, QPointF b, RgbValue colour, BoxStyle style)
{
    RecordedCall call = stateCall(RecordedCall::Box, a);
    const QPointF end = fromDevice(b);
    call.x2 = end.x();
    call.y2 = end.y();
    call.colour = colour;
    call.boxStyle = style;
    m_calls.push_back(call);
}

void RecordingSurface::deviceEllipse(QPointF centre, double radiusX, double, RgbValue colour)
{
    RecordedCall call = stateCall(RecordedCall::Circle, centre);
    call.x2 = radiusX * unitsPerPixelX();
    call.colour = colour;
    m_calls.push_back(call);
}

void RecordingSurface::deviceClear(RgbValue colour)
{
    RecordedCall call = stateCall(RecordedCall::Cls, QPointF());
    call.colour = colour;
    m_calls.push_back(call);
}

void RecordingSurface::devicePicture(const QImage &, const QRectF &target)
{
    RecordedCall call = stateCall(RecordedCall::Picture, target.topLeft());
    const QPointF end = fromDevice(target.bottomRight());
    call.x2 = end.x();
    call.y2 = end.y();
    m_calls.push_back(call);
}

bool RecordingSurface::deviceFloodFill(QPointF seed, RgbValue areaColour)
{
    RecordedCall call = stateCall(RecordedCall::FloodFill, seed);
    call.colour = areaColour;
    m_calls.push_back(call);
    return true;
}

void RecordingSurface::newPage()
{
    ++m_pages;
    RecordedCall call;
    call.kind = RecordedCall::NewPage;
    m_calls.push_back(call);
}

void RecordingSurface::endDoc()
{
    RecordedCall call;
    call.kind = RecordedCall::EndDoc;
    m_calls.push_back(call);
}

QStringList RecordingSurface::printLog() const
{
    QStringList log;
    for (const RecordedCall &call : m_calls) {
        switch (call.kind) {
        case RecordedCall::Text:
            log << QStringLiteral("'%1' %2,%3 %4 %5")
                       .arg(call.text)
                       .arg(call.x, 0, 'g', 10)
                       .arg(call.y, 0, 'g', 10)
                       .arg(call.fontSize, 0, 'g', 10)
                       .arg(call.colour);
            break;
        case RecordedCall::LineEnd: log << QStringLiteral("end"); break;
        case RecordedCall::NewPage: log << QStringLiteral("page"); break;
        default: break;
        }
    }
    return log;
}
