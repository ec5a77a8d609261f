#include "typeset/surface_view.h"

#include <QPainter>
#include <QResizeEvent>

SurfaceView::SurfaceView(QWidget *parent, RgbValue backColour)
    : QWidget(parent), m_surface(QSize(1, 1), backColour)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_surface.setChangedCallback([this] { update(); });
}

void SurfaceView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawImage(0, 0, m_surface.image());
}

void SurfaceView::resizeEvent(QResizeEvent *event)
{
    m_surface.resize(event->size());
    emit resized();
}
