#include "typeset/surface_view.h"

#include <QPainter>
#include <QResizeEvent>

int PictureRatio(const QWidget &widget) { return ImageSurface::ratioFor(widget.devicePixelRatioF()); }

void PaintSurface(QPainter &painter, const ImageSurface &surface)
{
    const QImage &picture = surface.image();
    painter.setRenderHint(QPainter::SmoothPixmapTransform,
                          picture.devicePixelRatio() != painter.device()->devicePixelRatioF());
    painter.drawImage(QRectF(QPointF(0, 0), surface.sizePixels()), picture);
}

SurfaceView::SurfaceView(QWidget *parent, RgbValue backColour)
    : QWidget(parent), m_surface(QSize(1, 1), backColour, PictureRatio(*this))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_surface.setChangedCallback([this] { update(); });
}

void SurfaceView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    PaintSurface(painter, m_surface);
    // Moved to a display of another density: draw again once this paint is over.
    if (PictureRatio(*this) != m_surface.devicePixelRatio())
        QMetaObject::invokeMethod(this, &SurfaceView::adoptDisplayRatio, Qt::QueuedConnection);
}

void SurfaceView::resizeEvent(QResizeEvent *event)
{
    m_surface.resize(event->size(), PictureRatio(*this));
    emit resized();
}

void SurfaceView::adoptDisplayRatio()
{
    if (PictureRatio(*this) == m_surface.devicePixelRatio())
        return;
    m_surface.resize(size(), PictureRatio(*this));
    emit resized();
}
