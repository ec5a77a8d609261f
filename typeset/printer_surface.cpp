#include "typeset/printer_surface.h"

#include "typeset/surface_font.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPaintEngine>
#include <QPrinter>

PrinterSurface::PrinterSurface(QPrinter &printer) : m_printer(printer)
{
    m_printer.setPageOrientation(QPageLayout::Landscape);
    setScale(0, 0, 800, 600);
    fontChanged();
}

PrinterSurface::~PrinterSurface()
{
    if (m_painter.isActive())
        m_painter.end();
}

void PrinterSurface::setOrientation(PageOrientation orientation)
{
    m_printer.setPageOrientation(orientation == PageOrientation::Landscape ? QPageLayout::Landscape
                                                                           : QPageLayout::Portrait);
}

PageOrientation PrinterSurface::orientation() const
{
    return m_printer.pageLayout().orientation() == QPageLayout::Landscape
        ? PageOrientation::Landscape
        : PageOrientation::Portrait;
}

QPainter &PrinterSurface::painter()
{
    if (!m_painter.isActive()) {
        m_painter.begin(&m_printer);
        // The printer's paint engine outlives each job and keeps the pen and brush the last
        // one ended with; the new painter's defaults equal them on paper only once sent.
        if (QPaintEngine *engine = m_painter.paintEngine())
            engine->setDirty(QPaintEngine::AllDirty);
        m_pages = 1;
    }
    return m_painter;
}

void PrinterSurface::newPage()
{
    painter();
    if (m_printer.newPage())
        ++m_pages;
}

void PrinterSurface::endDoc()
{
    if (m_painter.isActive())
        m_painter.end();
}

QString PrinterSurface::deviceName() const
{
    const QString name = m_printer.printerName();
    if (name.isEmpty() && m_printer.outputFormat() == QPrinter::PdfFormat)
        return QStringLiteral("PDF");
    return name;
}

QSizeF PrinterSurface::deviceSize() const
{
    return m_printer.pageLayout().paintRectPixels(m_printer.resolution()).size();
}

double PrinterSurface::devicePixelsPerTwip() const
{
    return m_printer.resolution() / 1440.0;
}

void PrinterSurface::fontChanged()
{
    m_font = surfaceFont(fontName(), fontSize(), fontBold());
    m_fontWithFallback = m_font;
    m_fontWithFallback.setStyleStrategy(QFont::PreferAntialias);
}

const QFont &PrinterSurface::fontFor(const QString &text) const
{
    const QFontMetricsF metrics(m_font, &m_printer);
    for (const char32_t c : text.toUcs4())
        if (!metrics.inFontUcs4(c))
            return m_fontWithFallback;
    return m_font;
}

QSizeF PrinterSurface::deviceTextSize(const QString &text) const
{
    const QFontMetricsF metrics(fontFor(text), &m_printer);
    return QSizeF(metrics.horizontalAdvance(text), metrics.height());
}

void PrinterSurface::deviceText(QPointF topLeft, const QString &text)
{
    QPainter &p = painter();
    const QFont &font = fontFor(text);
    const QFontMetricsF metrics(font, &m_printer);
    p.setFont(font);
    p.setPen(colourFromRgbValue(foreColor()));
    p.drawText(QPointF(topLeft.x(), topLeft.y() + metrics.ascent()), text);
}

QPen PrinterSurface::pen(RgbValue colour) const
{
    QPen pen(colourFromRgbValue(colour));
    pen.setWidth(drawWidth());
    return pen;
}

void PrinterSurface::deviceLine(QPointF from, QPointF to, RgbValue colour)
{
    QPainter &p = painter();
    p.setPen(pen(colour));
    p.drawLine(from, to);
}

static QBrush fillBrush(int style, RgbValue colour)
{
    return QBrush(colourFromRgbValue(colour), fillBrushStyle(style));
}

void PrinterSurface::deviceBox(QPointF a, QPointF b, RgbValue colour, BoxStyle style)
{
    QPainter &p = painter();
    const QRectF rect = QRectF(a, b).normalized();
    if (style == BoxStyle::Filled) {
        p.fillRect(rect, colourFromRgbValue(colour));
        return;
    }
    p.setPen(pen(colour));
    p.setBrush(fillBrush(fillStyle(), fillColor()));
    p.drawRect(rect);
}

void PrinterSurface::deviceEllipse(QPointF centre, double radiusX, double radiusY, RgbValue colour)
{
    QPainter &p = painter();
    p.setPen(pen(colour));
    p.setBrush(fillBrush(fillStyle(), fillColor()));
    p.drawEllipse(centre, radiusX, radiusY);
}

void PrinterSurface::deviceClear(RgbValue colour)
{
    QPainter &p = painter();
    p.fillRect(QRectF(QPointF(0, 0), deviceSize()), colourFromRgbValue(colour));
}

void PrinterSurface::devicePicture(const QImage &picture, const QRectF &target)
{
    painter().drawImage(target, picture);
}

// A printer page keeps no picture to fill.
bool PrinterSurface::deviceFloodFill(QPointF, RgbValue) { return false; }
