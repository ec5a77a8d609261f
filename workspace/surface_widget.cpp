#include "workspace/surface_widget.h"

#include "typeset/surface_view.h"

#include <QPainter>

namespace linoveta {

SurfaceWidget::SurfaceWidget(QSize size, QWidget *parent)
    : QWidget(parent), m_surface(size, 0xFFFFFF, PictureRatio(*this))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_surface.setScaleMode(ScaleMode::Pixels);
    m_surface.setChangedCallback([this] {
        if (m_repaintRequested)
            return;
        m_repaintRequested = true;
        update();
    });
}

void SurfaceWidget::setBackColor(RgbValue colour)
{
    m_surface.setBackColor(colour);
    m_surface.cls();
    update();
}

void SurfaceWidget::paintEvent(QPaintEvent *)
{
    m_repaintRequested = false;
    QPainter painter(this);
    PaintSurface(painter, m_surface);
    if (PictureRatio(*this) != m_surface.devicePixelRatio())
        QMetaObject::invokeMethod(this, &SurfaceWidget::checkDisplayRatio, Qt::QueuedConnection);
}

void SurfaceWidget::checkDisplayRatio()
{
    if (PictureRatio(*this) != m_surface.devicePixelRatio())
        displayRatioChanged();
}

} // namespace linoveta
