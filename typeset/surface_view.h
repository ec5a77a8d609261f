#pragma once

#include "typeset/image_surface.h"

class QPainter;
class QWidget;

// The whole ratio at which `widget`'s pictures are kept on its display.
int PictureRatio(const QWidget &widget);
// Paints the surface's picture with its top-left at the painter's origin, at its logical size;
// a picture kept at another ratio than the display's is scaled smoothly.
void PaintSurface(QPainter &painter, const ImageSurface &surface);
