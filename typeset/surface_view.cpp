#include "typeset/surface_view.h"

#include <QPainter>
#include <QWidget>

int PictureRatio(const QWidget &widget) { return ImageSurface::ratioFor(widget.devicePixelRatioF()); }

void PaintSurface(QPainter &painter, const ImageSurface &surface)
{
    const QImage &picture = surface.image();
    painter.setRenderHint(QPainter::SmoothPixmapTransform,
                          picture.devicePixelRatio() != painter.device()->devicePixelRatioF());
    painter.drawImage(QRectF(QPointF(0, 0), surface.sizePixels()), picture);
}
