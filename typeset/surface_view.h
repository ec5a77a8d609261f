#pragma once

#include "typeset/image_surface.h"

#include <QWidget>

class QPainter;

// The whole ratio at which `widget`'s pictures are kept on its display.
int PictureRatio(const QWidget &widget);
// Paints the surface's picture with its top-left at the painter's origin, at its logical size;
// a picture kept at another ratio than the display's is scaled smoothly.
void PaintSurface(QPainter &painter, const ImageSurface &surface);

// Shows an ImageSurface's picture. Painting only copies the picture; whoever owns the view
// draws on surface() and reacts to resized() by drawing again (also when the display's pixel
// ratio changed).
class SurfaceView : public QWidget
{
    Q_OBJECT
public:
    explicit SurfaceView(QWidget *parent = nullptr, RgbValue backColour = 0xFFFFFF);

    ImageSurface &surface() { return m_surface; }

signals:
    void resized();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void adoptDisplayRatio();

    ImageSurface m_surface;
};
