#pragma once

#include <QLocale>
#include <QString>

#include <functional>
#include <string>

namespace linoveta {

// The rectangle of the x-y plane the plot shows, and the state that travels with it. Plain
// data plus the arithmetic of the commands that change it; drawing lives elsewhere.
struct GraphWindow {
    static constexpr double kStartLimit = 20.0;
    // Zoom stops: halving needs |XMin| + |XMax| >= 2, doubling needs it <= 163840.
    static constexpr double kZoomInLimit = 2.0;
    static constexpr double kZoomOutLimit = 163840.0;

    double XMin = -kStartLimit;
    double XMax = kStartLimit;
    double YMin = -kStartLimit;
    double YMax = kStartLimit;
    bool UserWindow = false;    // chosen by a drag zoom; auto-fit leaves it alone
    bool GraphVisible = false;  // a curve segment was drawn since auto-fit last cleared it
    int CoordDecimals = 0;      // decimals of the pointer read-out: 0 or 1

    // Colours as decimal text of an RGB value with red in the low byte.
    std::string GridColor;
    std::string ShadeColor;
    int ShadeFillStyle = 0;
    std::string CurveColor;     // empty until the first plot of the run

    double XStep = 0.05;        // sampling step of the plotter and the point series

    // Halve / double all four limits about the origin; false (and nothing changed) at the stops.
    bool ZoomIn();
    bool ZoomOut();
    // Back to -20..20 on both axes; clears UserWindow.
    void Reset();
    // Moves the window for the eight panning key codes (33..40); other codes change nothing.
    // Returns whether the window moved; the caller redraws either way.
    bool Pan(int keyCode);
    // The sampling step for a surface `pixelWidth` pixels wide; the sum of the absolute limits,
    // not the width, so a window that does not contain x = 0 samples more coarsely.
    static double SamplingStep(double xMin, double xMax, double pixelWidth);
    // Installs the first-plot colours when no plot has run yet; returns whether it did.
    bool InstallFirstPlotColours();
};

// Window key codes of the panning keys.
enum PanKey : int {
    kKeyPageUp = 33, kKeyPageDown = 34, kKeyEnd = 35, kKeyHome = 36,
    kKeyLeft = 37, kKeyUp = 38, kKeyRight = 39, kKeyDown = 40,
};

// The rubber band of a drag zoom, in graph units. The pointer arrives in single precision.
struct DragZoom {
    bool DragActive = false;
    double DragStartX = 0, DragStartY = 0;
    double DragEndX = 0, DragEndY = 0;

    void Start(float x, float y);
    void Move(float x, float y);
    // Ends the drag and applies the rounded rectangle to `window` when both spans are at least
    // 2 units; returns whether the window changed. Does nothing unless a drag is active.
    bool Finish(GraphWindow& window);
};

// "x = 2.2    y = 0": the read-out of the pointer position, rounded to `decimals`, in the
// locale's number text.
QString CoordinateReadout(float x, float y, int decimals, const QLocale& locale = QLocale());

inline constexpr const char* kAutoFitFailedMessage =
    "The function could not be graphed within the maximum limits.";

// What auto-fit needs from the window around it.
struct AutoFitActions {
    std::function<void()> redrawGraph;   // RedrawGraph: first-plot colours, scale, plot
    std::function<void()> refresh;       // shows the picture at once
    std::function<void()> zoomOut;       // ZoomOut with its mode redraw
    std::function<void()> reset;         // the Reset command (window -20..20, redraw)
    std::function<void(const std::string&)> message;
};

enum class AutoFitResult { NotRun, Fitted, Failed };

// Widens the window by doubling until some curve segment is drawn, at most 14 attempts.
AutoFitResult AutoFitGraph(GraphWindow& window, bool anyLineHasScript, const AutoFitActions& actions);

} // namespace linoveta
