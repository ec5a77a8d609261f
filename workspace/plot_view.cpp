#include "workspace/plot_view.h"

#include "typeset/image_surface.h"
#include "typeset/surface.h"

#include <algorithm>
#include <cmath>

namespace linoveta {

PlotView::PlotView(GraphWindow& window, Surface& surface) : m_window(window), m_surface(surface) {}

void PlotView::SetGraphScale()
{
    GraphWindow& w = m_window;
    // The surface takes its scale in single precision.
    const float left = static_cast<float>(w.XMin);
    const float top = static_cast<float>(w.YMax);
    const float width = static_cast<float>(w.XMax - w.XMin);
    const float height = static_cast<float>(w.YMin - w.YMax);
    if (std::isfinite(width) && std::isfinite(height) && width != 0 && height != 0)
        m_surface.setScale(left, top, width, height);

    const double pixels = m_surface.widthTwips() / kTwipsPerPixel;
    const double step = GraphWindow::SamplingStep(w.XMin, w.XMax, pixels);
    if (pixels > 0 && std::isfinite(step))
        w.XStep = step;
    if (scaleChanged)
        scaleChanged();
}

QRectF PlotView::CoordinateListRect(double widthPixels) const
{
    const QSizeF size = m_surface.sizePixels();
    return QRectF(size.width() - widthPixels, 0, widthPixels, size.height() / 2);
}

void PlotView::RedrawGraph()
{
    if (m_window.InstallFirstPlotColours())
        m_surface.setFillStyle(FillSolid);
    SetGraphScale();
    if (formPaint)
        formPaint();
}

void PlotView::GraphFunctions() { RedrawGraph(); }

void PlotView::ModeRedraw()
{
    if (pointSeriesMode && pointSeriesMode()) {
        if (drawPointSeries)
            drawPointSeries();
        return;
    }
    SetGraphScale();
    if (formPaint)
        formPaint();
}

void PlotView::CommandRedraw()
{
    if (pointSeriesMode && pointSeriesMode()) {
        if (drawPointSeries)
            drawPointSeries();
        return;
    }
    GraphFunctions();
}

void PlotView::ZoomIn()
{
    if (m_window.ZoomIn())
        ModeRedraw();
}

void PlotView::ZoomOut()
{
    if (m_window.ZoomOut())
        ModeRedraw();
}

void PlotView::Reset()
{
    m_window.Reset();
    CommandRedraw();
}

void PlotView::KeyDown(int keyCode)
{
    m_window.Pan(keyCode);
    ModeRedraw(); // any key redraws, panning or not
}

AutoFitResult PlotView::AutoFit(bool anyLineHasScript)
{
    AutoFitActions actions;
    actions.redrawGraph = [this] { RedrawGraph(); };
    actions.refresh = [this] {
        if (refresh)
            refresh();
    };
    actions.zoomOut = [this] { ZoomOut(); };
    actions.reset = [this] { Reset(); };
    actions.message = [this](const std::string& text) {
        if (message)
            message(text);
    };
    return AutoFitGraph(m_window, anyLineHasScript, actions);
}

void PlotView::DragStart(float x, float y)
{
    m_drag.Start(x, y);
    m_surface.setDrawMode(DrawMode::Xor);
}

void PlotView::DragMove(float x, float y)
{
    if (!m_drag.DragActive)
        return;
    XorRectangle(m_drag.DragStartX, m_drag.DragStartY, m_drag.DragEndX, m_drag.DragEndY);
    m_drag.Move(x, y);
    XorRectangle(m_drag.DragStartX, m_drag.DragStartY, m_drag.DragEndX, m_drag.DragEndY);
}

void PlotView::DragEnd()
{
    if (!m_drag.DragActive)
        return;
    m_surface.setDrawMode(DrawMode::Copy);
    m_drag.Finish(m_window);
    ModeRedraw(); // also when the rectangle was too small; the redraw removes the band
}

void PlotView::XorRectangle(double x1, double y1, double x2, double y2)
{
    auto* image_surface = dynamic_cast<ImageSurface*>(&m_surface);
    if (!image_surface || image_surface->image().depth() != 32)
        return;
    QImage& image = image_surface->image();
    const QPointF a = m_surface.toDevice(x1, y1), b = m_surface.toDevice(x2, y2);
    if (!std::isfinite(a.x()) || !std::isfinite(a.y()) || !std::isfinite(b.x()) || !std::isfinite(b.y()))
        return;
    // Corners as whole pixels, clamped just outside the image so huge values stay harmless.
    auto pixel = [](double v, int size) {
        return static_cast<int>(std::clamp(std::floor(v), -1.0, static_cast<double>(size)));
    };
    // Pixels are logical; on a denser picture each one flips its whole block.
    const int ratio = image_surface->devicePixelRatio();
    const int width = image.width() / ratio;
    const int height = image.height() / ratio;
    const int left = pixel(std::min(a.x(), b.x()), width);
    const int right = pixel(std::max(a.x(), b.x()), width);
    const int top = pixel(std::min(a.y(), b.y()), height);
    const int bottom = pixel(std::max(a.y(), b.y()), height);
    const QRgb bits = colourFromRgbValue(m_surface.foreColor()).rgb() & RGB_MASK;
    auto flip = [&](int px, int py) {
        if (px < 0 || py < 0 || px >= width || py >= height)
            return;
        for (int dy = 0; dy < ratio; ++dy) {
            QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(py * ratio + dy));
            for (int dx = 0; dx < ratio; ++dx)
                row[px * ratio + dx] ^= bits;
        }
    };
    for (int px = left; px <= right; ++px) {
        flip(px, top);
        if (bottom != top)
            flip(px, bottom);
    }
    for (int py = top + 1; py < bottom; ++py) {
        flip(left, py);
        if (right != left)
            flip(right, py);
    }
    m_surface.refresh();
}

} // namespace linoveta
