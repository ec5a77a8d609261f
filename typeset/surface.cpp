#include "typeset/surface.h"

#include <algorithm>
#include <cmath>

QColor colourFromRgbValue(RgbValue value)
{
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

RgbValue rgbValueFromColour(const QColor &colour)
{
    return rgbValue(colour.red(), colour.green(), colour.blue());
}

Qt::BrushStyle fillBrushStyle(int fillStyle)
{
    switch (fillStyle) {
    case FillSolid: return Qt::SolidPattern;
    case FillHorizontal: return Qt::HorPattern;
    case FillVertical: return Qt::VerPattern;
    case FillUpwardDiagonal: return Qt::BDiagPattern;
    case FillDownwardDiagonal: return Qt::FDiagPattern;
    case FillCross: return Qt::CrossPattern;
    case FillDiagonalCross: return Qt::DiagCrossPattern;
    default: return Qt::NoBrush;
    }
}

bool clipSegment(double &x1, double &y1, double &x2, double &y2, double xMin, double xMax,
                 double yMin, double yMax)
{
    // Both ends inside (most segments of a curve): nothing to cut, and no divisions.
    if (x1 >= xMin && x1 <= xMax && x2 >= xMin && x2 <= xMax && y1 >= yMin && y1 <= yMax &&
        y2 >= yMin && y2 <= yMax)
        return true;
    const double dx = x2 - x1, dy = y2 - y1;
    double t0 = 0, t1 = 1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x1 - xMin, xMax - x1, y1 - yMin, yMax - y1};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1)
            return false;
    }
    const double ox = x1, oy = y1;
    if (t1 < 1) {
        x2 = ox + t1 * dx;
        y2 = oy + t1 * dy;
    }
    if (t0 > 0) {
        x1 = ox + t0 * dx;
        y1 = oy + t0 * dy;
    }
    return true;
}

Surface::Surface() : m_fontName(QStringLiteral("MS Sans Serif")) {}

Surface::~Surface() = default;

void Surface::setScaleMode(ScaleMode mode)
{
    if (mode == ScaleMode::User) {
        // Freeze the current scale as a user scale.
        setScale(scaleLeft(), scaleTop(), scaleWidth(), scaleHeight());
        return;
    }
    m_scaleMode = mode;
}

void Surface::setScale(double left, double top, double width, double height)
{
    m_scaleMode = ScaleMode::User;
    m_userLeft = left;
    m_userTop = top;
    // A zero extent cannot map; keep the old one rather than divide by zero.
    if (width != 0)
        m_userWidth = width;
    if (height != 0)
        m_userHeight = height;
}

void Surface::setScaleLeft(double left) { setScale(left, scaleTop(), scaleWidth(), scaleHeight()); }
void Surface::setScaleTop(double top) { setScale(scaleLeft(), top, scaleWidth(), scaleHeight()); }
void Surface::setScaleWidth(double width) { setScale(scaleLeft(), scaleTop(), width, scaleHeight()); }
void Surface::setScaleHeight(double height) { setScale(scaleLeft(), scaleTop(), scaleWidth(), height); }

double Surface::scaleLeft() const { return m_scaleMode == ScaleMode::User ? m_userLeft : 0.0; }
double Surface::scaleTop() const { return m_scaleMode == ScaleMode::User ? m_userTop : 0.0; }

static double unitsPerPixel(ScaleMode mode, double pixelsPerTwip)
{
    switch (mode) {
    case ScaleMode::Twips: return 1.0 / pixelsPerTwip;
    case ScaleMode::Points: return 1.0 / (pixelsPerTwip * kTwipsPerPoint);
    default: return 1.0;
    }
}

double Surface::scaleWidth() const
{
    if (m_scaleMode == ScaleMode::User)
        return m_userWidth;
    return deviceSize().width() * unitsPerPixel(m_scaleMode, devicePixelsPerTwip());
}

double Surface::scaleHeight() const
{
    if (m_scaleMode == ScaleMode::User)
        return m_userHeight;
    return deviceSize().height() * unitsPerPixel(m_scaleMode, devicePixelsPerTwip());
}

double Surface::widthTwips() const { return deviceSize().width() / devicePixelsPerTwip(); }
double Surface::heightTwips() const { return deviceSize().height() / devicePixelsPerTwip(); }

double Surface::unitsPerPixelX() const
{
    const double w = deviceSize().width();
    if (m_scaleMode != ScaleMode::User)
        return unitsPerPixel(m_scaleMode, devicePixelsPerTwip());
    return w > 0 ? m_userWidth / w : 1.0;
}

double Surface::unitsPerPixelY() const
{
    const double h = deviceSize().height();
    if (m_scaleMode != ScaleMode::User)
        return unitsPerPixel(m_scaleMode, devicePixelsPerTwip());
    return h > 0 ? m_userHeight / h : 1.0;
}

double Surface::toDeviceX(double x) const { return (x - scaleLeft()) / unitsPerPixelX(); }
double Surface::toDeviceY(double y) const { return (y - scaleTop()) / unitsPerPixelY(); }
QPointF Surface::toDevice(double x, double y) const { return QPointF(toDeviceX(x), toDeviceY(y)); }

QPointF Surface::fromDevice(QPointF pixel) const
{
    return QPointF(scaleLeft() + pixel.x() * unitsPerPixelX(),
                   scaleTop() + pixel.y() * unitsPerPixelY());
}

void Surface::print(const QString &text)
{
    const QPointF at = toDevice(m_currentX, m_currentY);
    if (!text.isEmpty() && mappable(at))
        deviceText(at, text);
    m_currentX += textWidth(text);
}

void Surface::printLine(const QString &text)
{
    print(text);
    deviceLineEnd();
    m_currentX = scaleLeft();
    m_currentY += textHeight(text);
}

double Surface::textWidth(const QString &text) const
{
    return deviceTextSize(text).width() * unitsPerPixelX();
}

double Surface::textHeight(const QString &text) const
{
    return deviceTextSize(text).height() * unitsPerPixelY();
}

void Surface::setFontName(const QString &name)
{
    m_fontName = name;
    fontChanged();
}

void Surface::setFontSize(double points)
{
    if (points > 0 && std::isfinite(points))
        m_fontSize = points;
    fontChanged();
}

void Surface::setFontBold(bool bold)
{
    m_fontBold = bold;
    fontChanged();
}

void Surface::setFillStyle(int style)
{
    if (style >= FillSolid && style <= FillDiagonalCross)
        m_fillStyle = style;
}

void Surface::setDrawWidth(int pixels) { m_drawWidth = pixels < 1 ? 1 : pixels; }

void Surface::line(double x1, double y1, double x2, double y2) { line(x1, y1, x2, y2, m_foreColor); }

void Surface::line(double x1, double y1, double x2, double y2, RgbValue colour)
{
    const QPointF a = toDevice(x1, y1), b = toDevice(x2, y2);
    if (mappable(a) && mappable(b))
        deviceLine(a, b, colour);
    m_currentX = x2;
    m_currentY = y2;
}

void Surface::lines(const QLineF *segments, std::size_t count)
{
    if (count == 0)
        return;
    // The same arithmetic as toDeviceX/Y, with the scale read once.
    const double left = scaleLeft(), top = scaleTop();
    const double perPixelX = unitsPerPixelX(), perPixelY = unitsPerPixelY();
    m_mappedLines.clear();
    for (std::size_t i = 0; i < count; ++i) {
        const QLineF &s = segments[i];
        const QPointF a((s.x1() - left) / perPixelX, (s.y1() - top) / perPixelY);
        const QPointF b((s.x2() - left) / perPixelX, (s.y2() - top) / perPixelY);
        if (mappable(a) && mappable(b))
            m_mappedLines.emplace_back(a, b);
    }
    if (!m_mappedLines.empty())
        deviceLines(m_mappedLines.data(), m_mappedLines.size(), m_foreColor);
    m_currentX = segments[count - 1].x2();
    m_currentY = segments[count - 1].y2();
}

void Surface::deviceLines(const QLineF *lines, std::size_t count, RgbValue colour)
{
    for (std::size_t i = 0; i < count; ++i)
        deviceLine(lines[i].p1(), lines[i].p2(), colour);
}

void Surface::box(double x1, double y1, double x2, double y2, BoxStyle style)
{
    box(x1, y1, x2, y2, m_foreColor, style);
}

void Surface::box(double x1, double y1, double x2, double y2, RgbValue colour, BoxStyle style)
{
    const QPointF a = toDevice(x1, y1), b = toDevice(x2, y2);
    if (mappable(a) && mappable(b))
        deviceBox(a, b, colour, style);
    m_currentX = x2;
    m_currentY = y2;
}

void Surface::circle(double x, double y, double radius) { circle(x, y, radius, m_foreColor); }

void Surface::circle(double x, double y, double radius, RgbValue colour)
{
    const QPointF c = toDevice(x, y);
    // The radius is measured along x; a round circle stays round under an uneven scale.
    const double r = std::fabs(radius / unitsPerPixelX());
    if (mappable(c) && mappable(QPointF(r, r)))
        deviceEllipse(c, r, r, colour);
    m_currentX = x;
    m_currentY = y;
}

void Surface::cls()
{
    deviceClear(m_backColor);
    m_currentX = 0;
    m_currentY = 0;
}

void Surface::paintPicture(const QImage &picture, double x, double y, double width, double height)
{
    const QPointF a = toDevice(x, y), b = toDevice(x + width, y + height);
    if (!picture.isNull() && mappable(a) && mappable(b))
        devicePicture(picture, QRectF(a, b).normalized());
}

bool Surface::savePicture(const QString &) const { return false; }

bool Surface::floodFill(double x, double y, RgbValue areaColour)
{
    const QPointF seed = toDevice(x, y);
    return mappable(seed) && deviceFloodFill(seed, areaColour);
}
