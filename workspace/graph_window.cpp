#include "workspace/graph_window.h"

#include "engine/rounding.h"
#include "workspace/locale_numbers.h"

#include <cmath>

namespace linoveta {

bool GraphWindow::ZoomIn()
{
    if (!(std::fabs(XMin) + std::fabs(XMax) >= kZoomInLimit))
        return false;
    XMin /= 2;
    YMin /= 2;
    XMax /= 2;
    YMax /= 2;
    return true;
}

bool GraphWindow::ZoomOut()
{
    if (!(std::fabs(XMin) + std::fabs(XMax) <= kZoomOutLimit))
        return false;
    XMin *= 2;
    YMin *= 2;
    XMax *= 2;
    YMax *= 2;
    return true;
}

void GraphWindow::Reset()
{
    XMin = -kStartLimit;
    XMax = kStartLimit;
    YMin = -kStartLimit;
    YMax = kStartLimit;
    UserWindow = false;
}

bool GraphWindow::Pan(int keyCode)
{
    double dx = 0, dy = 0;
    switch (keyCode) {
    case kKeyUp: dy = 1; break;
    case kKeyDown: dy = -1; break;
    case kKeyLeft: dx = -1; break;
    case kKeyRight: dx = 1; break;
    case kKeyPageUp: dy = 10; break;
    case kKeyPageDown: dy = -10; break;
    case kKeyHome: dx = -10; break;
    case kKeyEnd: dx = 10; break;
    default: return false;
    }
    XMin += dx;
    XMax += dx;
    YMin += dy;
    YMax += dy;
    return true;
}

double GraphWindow::SamplingStep(double xMin, double xMax, double pixelWidth)
{
    return ((std::fabs(xMax) + std::fabs(xMin)) / 2) / pixelWidth;
}

bool GraphWindow::InstallFirstPlotColours()
{
    if (!CurveColor.empty())
        return false;
    GridColor = "16766596";  // &HFFD684, light blue
    ShadeColor = "14737632"; // &HE0E0E0, light grey
    ShadeFillStyle = 0;
    return true;
}

void DragZoom::Start(float x, float y)
{
    DragActive = true;
    DragStartX = DragEndX = x;
    DragStartY = DragEndY = y;
}

void DragZoom::Move(float x, float y)
{
    DragEndX = x;
    DragEndY = y;
}

bool DragZoom::Finish(GraphWindow& window)
{
    if (!DragActive)
        return false;
    DragActive = false;
    const double rx1 = Round(DragStartX, 0);
    const double rx2 = Round(DragEndX, 0);
    const double ry1 = Round(DragStartY, 0);
    const double ry2 = Round(DragEndY, 0);
    if (!(std::fabs(rx2 - rx1) > 1 && std::fabs(ry2 - ry1) > 1))
        return false;
    window.UserWindow = true;
    // Ordered by the unrounded corners, so the window never inverts whichever way the drag went.
    if (DragStartX <= DragEndX) {
        window.XMin = rx1;
        window.XMax = rx2;
    } else {
        window.XMin = rx2;
        window.XMax = rx1;
    }
    if (DragStartY <= DragEndY) {
        window.YMin = ry1;
        window.YMax = ry2;
    } else {
        window.YMin = ry2;
        window.YMax = ry1;
    }
    return true;
}

QString CoordinateReadout(float x, float y, int decimals, const QLocale& locale)
{
    return QStringLiteral("x = ") + LocaleNumberText(Round(x, decimals), locale) +
           QStringLiteral("    y = ") + LocaleNumberText(Round(y, decimals), locale);
}

AutoFitResult AutoFitGraph(GraphWindow& window, bool anyLineHasScript, const AutoFitActions& actions)
{
    window.GraphVisible = false;
    if (!anyLineHasScript || window.UserWindow)
        return AutoFitResult::NotRun;
    constexpr int kAttempts = 14;
    for (int attempt = 0;; ++attempt) {
        if (window.GraphVisible)
            return AutoFitResult::Fitted;
        if (attempt == kAttempts)
            break;
        actions.redrawGraph();
        actions.refresh();
        // The zoom's own redraw may draw a segment; it counts at the next attempt's check.
        if (!window.GraphVisible)
            actions.zoomOut();
        actions.refresh();
    }
    actions.reset();
    actions.redrawGraph();
    actions.refresh();
    actions.message(kAutoFitFailedMessage);
    return AutoFitResult::Failed;
}

} // namespace linoveta
