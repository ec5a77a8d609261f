#include "typeset/image_surface.h"

#include "typeset/surface_font.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kDotsPerMeter = 3780; // 96 dots per inch, as the metric rounds back

QImage blankImage(QSize size, RgbValue colour, int ratio)
{
    QImage image(size.expandedTo(QSize(1, 1)) * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.setDotsPerMeterX(kDotsPerMeter);
    image.setDotsPerMeterY(kDotsPerMeter);
    image.fill(colourFromRgbValue(colour));
    return image;
}

QPen linePen(RgbValue colour, int width)
{
    QPen pen(colourFromRgbValue(colour));
    pen.setWidth(width);
    pen.setCapStyle(Qt::SquareCap);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

// The segment clipped to `r`, in the rectangle's own sense of top and bottom.
bool clipSegment(QPointF &a, QPointF &b, const QRectF &r)
{
    double x1 = a.x(), y1 = a.y(), x2 = b.x(), y2 = b.y();
    if (!::clipSegment(x1, y1, x2, y2, r.left(), r.right(), r.top(), r.bottom()))
        return false;
    a = QPointF(x1, y1);
    b = QPointF(x2, y2);
    return true;
}

} // namespace

ImageSurface::ImageSurface(QSize sizePixels, RgbValue backColour, int ratio)
    : m_image(blankImage(sizePixels, backColour, std::max(ratio, 1))),
      m_size(sizePixels.expandedTo(QSize(1, 1))),
      m_ratio(std::max(ratio, 1))
{
    setBackColor(backColour);
    fontChanged();
}

ImageSurface::~ImageSurface() { finishPainting(); }

QPainter &ImageSurface::copyPainter()
{
    flushLines();
    if (!m_copyPainter) {
        m_copyPainter = std::make_unique<QPainter>(&m_image);
        m_copyPainter->setRenderHint(QPainter::Antialiasing, false);
        m_linePenSet = false;
    }
    return *m_copyPainter;
}

void ImageSurface::flushLines() const
{
    if (m_pendingLines.empty())
        return;
    m_copyPainter->drawLines(m_pendingLines.data(), static_cast<int>(m_pendingLines.size()));
    m_pendingLines.clear();
}

void ImageSurface::finishPainting() const
{
    flushLines();
    m_copyPainter.reset();
}

void ImageSurface::resize(QSize sizePixels) { resize(sizePixels, m_ratio); }

void ImageSurface::resize(QSize sizePixels, int ratio)
{
    sizePixels = sizePixels.expandedTo(QSize(1, 1));
    ratio = std::max(ratio, 1);
    if (sizePixels == m_size && ratio == m_ratio)
        return;
    finishPainting();
    QImage next = blankImage(sizePixels, backColor(), ratio);
    {
        QPainter painter(&next);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, ratio != m_ratio);
        painter.drawImage(0, 0, m_image);
    }
    m_image = std::move(next);
    m_size = sizePixels;
    m_ratio = ratio;
    // Sizes were measured on the old picture.
    m_textSizesByFont.clear();
    fontChanged();
    changed();
}

int ImageSurface::ratioFor(double displayRatio)
{
    if (!(displayRatio > 1))
        return 1;
    return int(std::min(std::ceil(displayRatio - 1e-6), 8.0));
}

QRgb ImageSurface::pixelAt(int x, int y) const
{
    const QImage &picture = image();
    if (x < 0 || y < 0 || x >= m_size.width() || y >= m_size.height())
        return 0;
    return picture.pixel(x * m_ratio, y * m_ratio);
}

QImage ImageSurface::logicalPicture() const
{
    if (m_ratio == 1)
        return image();
    // Each block becomes its mean colour: lines and fills, which cover whole blocks, keep
    // their colours exactly.
    QImage picture = image().scaled(m_size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    picture.setDevicePixelRatio(1);
    return picture;
}

bool ImageSurface::savePicture(const QString &path) const
{
    return logicalPicture().save(path, "BMP");
}

void ImageSurface::refresh() { changed(); }

void ImageSurface::changed()
{
    if (m_changed)
        m_changed();
}

QSizeF ImageSurface::deviceSize() const { return QSizeF(m_size); }

double ImageSurface::devicePixelsPerTwip() const { return 1.0 / kTwipsPerPixel; }

void ImageSurface::fontChanged()
{
    m_font = surfaceFont(fontName(), fontSize(), fontBold());
    m_textSizes = &m_textSizesByFont[FontKey(fontName(), fontSize(), fontBold())];
}

QSizeF ImageSurface::deviceTextSize(const QString &text) const
{
    // Longer texts (labels) are rare and would only fill the table.
    constexpr qsizetype kLongestKept = 8;
    constexpr qsizetype kMostKept = 4096;
    if (text.size() <= kLongestKept) {
        if (const auto it = m_textSizes->constFind(text); it != m_textSizes->constEnd())
            return *it;
    }
    const QFontMetricsF metrics(m_font, &m_image);
    const QSizeF size(metrics.horizontalAdvance(text), metrics.height());
    if (text.size() <= kLongestKept) {
        if (m_textSizes->size() >= kMostKept)
            m_textSizes->clear();
        m_textSizes->insert(text, size);
    }
    return size;
}

void ImageSurface::deviceText(QPointF topLeft, const QString &text)
{
    // A long formula runs far past the box: text that starts beyond the right or bottom edge,
    // or ends above the top, leaves no ink (no glyph reaches two line heights from its
    // origin), so the painter is not opened for it.
    const double reach = 2 * deviceTextSize(text).height();
    if (topLeft.x() > m_image.width() + reach || topLeft.y() > m_image.height() + reach ||
        topLeft.y() + reach < 0) {
        changed();
        return;
    }
    const QFontMetricsF metrics(m_font, &m_image);
    finishPainting();
    {
        QPainter painter(&m_image);
        painter.setRenderHint(QPainter::TextAntialiasing, true);
        painter.setFont(m_font);
        painter.setPen(colourFromRgbValue(foreColor()));
        painter.drawText(QPointF(topLeft.x(), topLeft.y() + metrics.ascent()), text);
    }
    changed();
}

void ImageSurface::setShapePen(QPainter &painter, const QPen &pen) const
{
    painter.setPen(pen);
    if (m_ratio == 1)
        return;
    // At ratio 1 an odd-width aliased pen covers the pixels from its line's coordinate on.
    // Scaled up it is centred on the coordinate; moved on by half a device pixel less than
    // half a block it covers the blocks of the ratio-1 line whatever the fraction (a whole
    // block later loses the picture's last row and column, and shifts the rest).
    if (pen.style() != Qt::NoPen && pen.width() % 2 == 1) {
        const double shift = (m_ratio - 1) / (2.0 * m_ratio);
        painter.setTransform(QTransform::fromTranslate(shift, shift));
    } else {
        painter.resetTransform();
    }
}

template <typename Paint> void ImageSurface::paintShape(RgbValue colour, Paint fn)
{
    if (drawMode() == DrawMode::Copy) {
        QPainter &painter = copyPainter();
        painter.setBrush(Qt::NoBrush);
        m_linePenSet = false;
        fn(painter, colour);
    } else {
        finishPainting();
        // Paint the shape into a mask, then flip each covered pixel once, so that drawing it
        // twice gives back the picture byte for byte (alpha untouched).
        QImage mask(m_image.size(), QImage::Format_ARGB32);
        mask.setDevicePixelRatio(m_ratio);
        mask.fill(Qt::transparent);
        {
            QPainter painter(&mask);
            painter.setRenderHint(QPainter::Antialiasing, false);
            fn(painter, RgbValue(0xFFFFFF));
        }
        const QRgb bits = colourFromRgbValue(colour).rgb() & 0x00FFFFFF;
        for (int y = 0; y < m_image.height(); ++y) {
            const QRgb *in = reinterpret_cast<const QRgb *>(mask.constScanLine(y));
            QRgb *out = reinterpret_cast<QRgb *>(m_image.scanLine(y));
            for (int x = 0; x < m_image.width(); ++x)
                if (qAlpha(in[x]) != 0)
                    out[x] ^= bits;
        }
    }
    changed();
}

void ImageSurface::useLinePen(RgbValue colour, int width)
{
    // The plotter's curves are thousands of short lines of one pen: set it only when it changes.
    if (!m_copyPainter || !m_linePenSet || m_linePenColour != colour || m_linePenWidth != width) {
        setShapePen(copyPainter(), linePen(colour, width));
        m_linePenSet = true;
        m_linePenColour = colour;
        m_linePenWidth = width;
    }
}

void ImageSurface::queueLine(QPointF from, QPointF to)
{
    if (from == to) {
        copyPainter().drawPoint(from);
    } else {
        m_pendingLines.emplace_back(from, to);
        if (m_pendingLines.size() >= 512)
            flushLines();
    }
}

bool ImageSurface::fillAxisLine(QPointF from, QPointF to, RgbValue colour)
{
    // The painter's aliased one-pixel line cuts each end to a 64th of a pixel toward zero and
    // sets every pixel from the first end's to the last end's along its run; a line shorter
    // than a 64th sets none. Stroked, that is one span per pixel; as a rectangle, one fill.
    // Only on a picture of ratio 1, where the painter maps nothing.
    if (m_ratio != 1 || drawWidth() != 1 || from == to)
        return false;
    const bool column = from.x() == to.x();
    if (!column && from.y() != to.y())
        return false;
    auto fixed = [](double v) { return static_cast<int>(v * 64.0); };
    const int across = fixed(column ? from.x() : from.y()) >> 6;
    int first = fixed(column ? from.y() : from.x());
    int last = fixed(column ? to.y() : to.x());
    if (first == last)
        return true;
    if (first > last)
        std::swap(first, last);
    first >>= 6;
    last >>= 6;
    const int length = column ? m_size.height() : m_size.width();
    const int breadth = column ? m_size.width() : m_size.height();
    first = std::max(first, 0);
    last = std::min(last, length - 1);
    if (across < 0 || across >= breadth || first > last)
        return true;
    const QRect pixels = column ? QRect(across, first, 1, last - first + 1)
                                : QRect(first, across, last - first + 1, 1);
    // Lines of this pen still queued are the same colour, so the order does not matter.
    m_copyPainter->fillRect(pixels, colourFromRgbValue(colour));
    return true;
}

void ImageSurface::deviceLine(QPointF from, QPointF to, RgbValue colour)
{
    const int width = drawWidth();
    const double margin = width + 2.0;
    if (!clipSegment(from, to, QRectF(-margin, -margin, m_size.width() + 2 * margin,
                                      m_size.height() + 2 * margin)))
        return;
    if (drawMode() == DrawMode::Copy) {
        useLinePen(colour, width);
        if (!fillAxisLine(from, to, colour))
            queueLine(from, to);
        changed();
        return;
    }
    paintShape(colour, [&](QPainter &painter, RgbValue c) {
        setShapePen(painter, linePen(c, width));
        if (from == to)
            painter.drawPoint(from);
        else
            painter.drawLine(from, to);
    });
}

void ImageSurface::deviceLines(const QLineF *lines, std::size_t count, RgbValue colour)
{
    if (drawMode() != DrawMode::Copy) {
        Surface::deviceLines(lines, count, colour);
        return;
    }
    const int width = drawWidth();
    const double margin = width + 2.0;
    const QRectF bounds(-margin, -margin, m_size.width() + 2 * margin, m_size.height() + 2 * margin);
    const bool fillsAxisLines = m_ratio == 1 && width == 1;
    bool drawn = false;
    for (std::size_t i = 0; i < count; ++i) {
        QPointF from = lines[i].p1(), to = lines[i].p2();
        if (!clipSegment(from, to, bounds))
            continue;
        if (!drawn)
            useLinePen(colour, width);
        drawn = true;
        if (fillsAxisLines && (from.x() == to.x() || from.y() == to.y()) && fillAxisLine(from, to, colour))
            continue;
        queueLine(from, to);
    }
    if (drawn)
        changed();
}

void ImageSurface::deviceBox(QPointF a, QPointF b, RgbValue colour, BoxStyle style)
{
    const int width = drawWidth();
    const int fill = fillStyle();
    const RgbValue fillColour = fillColor();
    const QRectF rect = QRectF(a, b).normalized();
    paintShape(colour, [&](QPainter &painter, RgbValue c) {
        if (style == BoxStyle::Filled) {
            setShapePen(painter, QPen(Qt::NoPen));
            painter.fillRect(QRectF(rect.topLeft(), rect.size() + QSizeF(1, 1)),
                             colourFromRgbValue(c));
            return;
        }
        const bool xorMask = c != colour;
        setShapePen(painter, linePen(c, width));
        painter.setBrush(QBrush(colourFromRgbValue(xorMask ? c : fillColour), fillBrushStyle(fill)));
        painter.drawRect(rect);
    });
}

void ImageSurface::deviceEllipse(QPointF centre, double radiusX, double radiusY, RgbValue colour)
{
    const int width = drawWidth();
    const int fill = fillStyle();
    const RgbValue fillColour = fillColor();
    paintShape(colour, [&](QPainter &painter, RgbValue c) {
        const bool xorMask = c != colour;
        setShapePen(painter, linePen(c, width));
        painter.setBrush(QBrush(colourFromRgbValue(xorMask ? c : fillColour), fillBrushStyle(fill)));
        painter.drawEllipse(centre, radiusX, radiusY);
    });
}

void ImageSurface::deviceClear(RgbValue colour)
{
    finishPainting();
    m_image.fill(colourFromRgbValue(colour));
    changed();
}

void ImageSurface::devicePicture(const QImage &picture, const QRectF &target)
{
    finishPainting();
    {
        QPainter painter(&m_image);
        painter.drawImage(target, picture);
    }
    changed();
}

bool ImageSurface::deviceFloodFill(QPointF seed, RgbValue areaColour)
{
    if (!m_floodFiller)
        return false;
    finishPainting();
    // The seed names a logical pixel; its block's first device pixel stands for it.
    const long painted = m_floodFiller(m_image, int(std::floor(seed.x())) * m_ratio,
                                       int(std::floor(seed.y())) * m_ratio,
                                       colourFromRgbValue(areaColour).rgb(),
                                       colourFromRgbValue(fillColor()).rgb(), fillStyle());
    changed();
    return painted > 0;
}
