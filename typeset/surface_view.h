#pragma once

#include "typeset/image_surface.h"

#include <QWidget>

// Shows an ImageSurface's picture. Painting only copies the picture; whoever owns the view
// draws on surface() and reacts to resized() by drawing again.
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
    ImageSurface m_surface;
};
