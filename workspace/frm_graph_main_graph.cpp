// The main window's graph commands: the graph window and view, the Calculate Area loop and
// the dialogs.

#include "workspace/frm_graph_main.h"
#include "workspace/frm_graph_main_shared.h"
#include "workspace/dialogs/dialog_commands.h"

#include "engine/formula_tables.h"
#include "engine/key_handler.h"
#include "engine/number_text.h"
#include "typeset/formula_typesetter.h"
#include "typeset/surface_view.h"
#include "workspace/dialogs/dialog_parts.h"
#include "workspace/dialogs/frm_logo.h"
#include "workspace/dialogs/frm_print_setup.h"
#include "workspace/graph_commands.h"
#include "workspace/menu_mark_style.h"
#include "workspace/point_panel.h"
#include "workspace/point_series.h"
#include "workspace/printing.h"
#include "workspace/program.h"
#include "workspace/regression_object.h"

#include <QCheckBox>
#include <QCursor>
#include <QLabel>
#include <QMenu>
#include <QSlider>

#include <algorithm>

namespace linoveta {

using namespace main_window;

// ---------------------------------------------------------------- Calculate Area loop

void frmGraphMain::mnuShade_Click()
{
    if (!showFillRange)
        return;
    FormulaTables &t = m_program.engine.tables;
    // Each answer of Shade Area or a zoom reopens the window; a loop instead of the old nested
    // calls, so many reopenings cannot exhaust the stack.
    for (;;) {
        const int choice = showFillRange();
        if (choice == 1 || (choice == 2 && m_program.ShadeOn)) {
            m_program.ShadeOn = true;
            t.CurrentFunction = t.LastFunction;
            GraphFunctions();
        } else if (choice == 2) {
            t.CurrentFunction = t.LastFunction;
            GraphFunctions();
        } else {
            m_program.ShadeOn = false;
            GraphFunctions();
            return;
        }
    }
}

// ---------------------------------------------------------------- graph window and view

// Graph window and view, plotter.
GraphCommands &frmGraphMain::graphCommands()
{
    if (!m_graphCommands)
        m_graphCommands = std::make_unique<GraphCommands>(static_cast<GraphCommandsHost &>(*this));
    return *m_graphCommands;
}

void frmGraphMain::mnuGraphIt_Click() { graphCommands().mnuGraphIt_Click(); }
void frmGraphMain::GraphFunctions() { graphCommands().GraphFunctions(); }
void frmGraphMain::formPaint() { graphCommands().formPaint(); }
void frmGraphMain::AutoFitGraph() { graphCommands().AutoFitGraph(); }
void frmGraphMain::ZoomIn() { graphCommands().ZoomIn(); }
void frmGraphMain::ZoomOut() { graphCommands().ZoomOut(); }
void frmGraphMain::mnuGraphReset_Click() { graphCommands().mnuGraphReset_Click(); }
void frmGraphMain::mnuGraphZoomIn_Click() { ZoomIn(); }
void frmGraphMain::mnuGraphZoomOut_Click() { ZoomOut(); }
void frmGraphMain::Command2_Click() { graphCommands().Command2_Click(); }
void frmGraphMain::Command6_Click() { graphCommands().Command6_Click(); }
void frmGraphMain::frmGraph_KeyDown(int keyCode, int) { graphCommands().frmGraph_KeyDown(keyCode); }
void frmGraphMain::frmGraph_MouseDown(int button, int, float x, float y)
{
    graphCommands().frmGraph_MouseDown(button, x, y);
}
void frmGraphMain::frmGraph_MouseMove(int, int, float x, float y) { graphCommands().frmGraph_MouseMove(x, y); }
void frmGraphMain::frmGraph_MouseUp(int, int, float, float) { graphCommands().frmGraph_MouseUp(); }

ImageSurface &frmGraphMain::plotSurface() { return frmGraph->surface(); }
PlotBreaks frmGraphMain::plotBreaks() { return {BreakX, BreakFlag, BreakCount}; }

PlotControls frmGraphMain::plotControls() const
{
    PlotControls c;
    c.pointSeriesMode = Check1->isChecked();
    c.hideGrid = mnuHideGrid->isChecked();
    c.quadrantLabels = mnuGraphQuadrant->isChecked();
    for (std::size_t i = 0; i < c.lineColours.size(); ++i)
        c.lineColours[i] = Picture1[i]->backColor();
    c.lineWidth = Slider1->value();
    c.lastFunction = m_program.engine.tables.LastFunction;
    return c;
}

void frmGraphMain::repaintPlot() { frmGraph->repaint(); }
void frmGraphMain::updatePlot() { frmGraph->update(); }

void frmGraphMain::showPlotMessage(const QString &text)
{
    m_platform.messages->message(this, text);
}

void frmGraphMain::focusCurrentFormula()
{
    const int current = m_program.engine.tables.CurrentFunction;
    if (current >= 0 && current < static_cast<int>(Paper.size()) && Paper[static_cast<std::size_t>(current)])
        Paper[static_cast<std::size_t>(current)]->setFocus(Qt::OtherFocusReason);
}

void frmGraphMain::showGraphWindowMenu() { mnuGraphWindowMenu->popup(QCursor::pos()); }

// A clicked point goes through the same entry checks as a typed one.
void frmGraphMain::addClickedPoint(float x, float y)
{
    if (m_pointPanel)
        m_pointPanel->AddClickedPoint(x, y);
}

void frmGraphMain::showCoordinateReadout(const QString &text) { Label2->setText(text); }

// Dialogs.
void frmGraphMain::mnuEvaluate_Click() { ShowEvaluate(*this); }
void frmGraphMain::mnuLineW_Click() { ShowLineWidth(*this); }
void frmGraphMain::mnuAbout_Click() { ShowAbout(*this); }

} // namespace linoveta
