#pragma once

#include "workspace/graph_window.h"

#include <QRectF>

#include <functional>
#include <string>

class Surface;
class ImageSurface;

namespace linoveta {

// The commands that change the graph window and redraw: scale, the redraw entries, zoom,
// reset, panning, auto-fit and the drag zoom with its rubber band. No widget: the main window
// forwards its events here and supplies the drawing through the hooks.
class PlotView
{
public:
    PlotView(GraphWindow& window, Surface& surface);

    // Hooks. formPaint draws the plot; the point-series pair stands in for it in that mode.
    std::function<void()> formPaint;
    std::function<bool()> pointSeriesMode;
    std::function<void()> drawPointSeries;
    std::function<void()> refresh;
    std::function<void(const std::string&)> message;
    // Runs after every SetGraphScale, e.g. to place the coordinate list.
    std::function<void()> scaleChanged;

    // User scale = the window (y upwards), the sampling step. Each part stands alone: a window
    // the surface cannot take as a scale keeps the old scale and still gets its step.
    void SetGraphScale();
    // Where ListView1 goes, in surface pixels: the top-right corner, half the plot's height.
    QRectF CoordinateListRect(double widthPixels) const;

    void RedrawGraph();    // first-plot colours, scale, plot
    void GraphFunctions(); // the redraw entry of formula mode
    void ModeRedraw();     // point series, or scale and plot without the first-plot colours
    void CommandRedraw();  // point series, or GraphFunctions

    void ZoomIn();
    void ZoomOut();
    void Reset();          // the Reset command: start window, UserWindow off, command redraw
    void KeyDown(int keyCode);
    AutoFitResult AutoFit(bool anyLineHasScript);

    // Mouse, positions in graph units as the pointer reports them.
    void DragStart(float x, float y);
    void DragMove(float x, float y);
    void DragEnd();
    bool dragging() const { return m_drag.DragActive; }
    const DragZoom& drag() const { return m_drag; }

    // Flips, once per pixel, the outline of the rectangle with these graph-unit corners by the
    // surface's foreground colour; twice restores the picture byte for byte.
    void XorRectangle(double x1, double y1, double x2, double y2);

private:
    GraphWindow& m_window;
    Surface& m_surface;
    DragZoom m_drag;
};

} // namespace linoveta
