#pragma once

#include "engine/calc_fx.h"
#include "typeset/image_surface.h"
#include "workspace/plot_view.h"
#include "workspace/plotter.h"

#include <QString>

class QTreeWidget;

namespace linoveta {

struct Program;

// The width that shows the coordinate list's header and every entry whole, with room for its
// frame and a vertical scroll bar.
int CoordinateListWidth(const QTreeWidget& list);

// What the graph window's commands read and call on the main window that owns the plot, its
// switches and the coordinate list.
class GraphCommandsHost
{
public:
    virtual ~GraphCommandsHost() = default;
    virtual Program& hostProgram() = 0;
    virtual ImageSurface& plotSurface() = 0;
    virtual PlotBreaks plotBreaks() = 0;
    // The point-series switch, grid and quadrant marks, line colours and width.
    virtual PlotControls plotControls() const = 0;
    virtual void drawPointSeries() = 0;
    virtual void repaintPlot() = 0;   // at once
    virtual void updatePlot() = 0;    // at the next paint
    virtual void showPlotMessage(const QString& text) = 0;
    virtual QTreeWidget& coordinateList() = 0;
    virtual void focusCurrentFormula() = 0;
    virtual void showGraphWindowMenu() = 0;
    virtual void addClickedPoint(float x, float y) = 0;
    virtual void showCoordinateReadout(const QString& text) = 0;
};

// The graph window's commands as the main window runs them: the redraw entries, zoom, reset,
// panning, auto-fit and the plot's mouse, with the plotter drawing on the window's picture.
class GraphCommands
{
public:
    explicit GraphCommands(GraphCommandsHost& window);

    void mnuGraphIt_Click();
    void GraphFunctions();
    void formPaint();
    void AutoFitGraph();
    void ZoomIn();
    void ZoomOut();
    void Command2_Click();   // the zoom buttons
    void Command6_Click();
    void mnuGraphReset_Click();
    void frmGraph_KeyDown(int keyCode);
    void frmGraph_MouseDown(int button, float x, float y);
    void frmGraph_MouseMove(float x, float y);
    void frmGraph_MouseUp();

    PlotView& view() { return m_view; }
    Plotter& plotter() { return m_plotter; }
    frmCalcFX& calc() { return m_calc; }

private:
    PlotControls controls() const;
    void fillCoordinateList();
    void placeCoordinateList();
    void focusCurrentBox();

    GraphCommandsHost& m_main;
    frmCalcFX m_calc;
    CalcFxEvaluator m_evaluator;
    Plotter m_plotter;
    PlotView m_view;
};

} // namespace linoveta
