#pragma once
// A widget that shows the persistent picture of an ImageSurface: the plot, the formula boxes
// and the dialogs' formula pictures. Painting only copies the picture; whoever draws on it
// does so on surface().

#include "typeset/image_surface.h"

#include <QWidget>

namespace linoveta {

class SurfaceWidget : public QWidget
{
public:
    // The picture starts at `size` logical pixels, white, in the pixel scale.
    SurfaceWidget(QSize size, QWidget *parent);

    ImageSurface &surface() { return m_surface; }
    const ImageSurface &surface() const { return m_surface; }

    // Changing the background erases the picture, as it did on the old picture box.
    void setBackColor(RgbValue colour);
    RgbValue backColor() const { return m_surface.backColor(); }

protected:
    void paintEvent(QPaintEvent *event) override;
    // The picture is kept at another pixel ratio than its display's (the widget moved to a
    // display of another density): called once the paint that found it is over.
    virtual void displayRatioChanged() = 0;

private:
    void checkDisplayRatio();

    ImageSurface m_surface;
    // A drawing changes the picture many times (once per line or character): one repaint
    // request until it is painted, not one per change (each request walks the widget tree).
    bool m_repaintRequested = false;
};

} // namespace linoveta
