#pragma once

#include "engine/calc_fx.h"
#include "workspace/plot_view.h"
#include "workspace/plotter.h"

namespace linoveta {

class frmGraphMain;

// The graph window's commands as the main window runs them: the redraw entries, zoom, reset,
// panning, auto-fit and the plot's mouse, with the plotter drawing on the window's picture.
class GraphCommands
{
public:
    explicit GraphCommands(frmGraphMain& window);

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

    frmGraphMain& m_main;
    frmCalcFX m_calc;
    CalcFxEvaluator m_evaluator;
    Plotter m_plotter;
    PlotView m_view;
};

} // namespace linoveta
