// The main window's point-series panel: making it, switching the mode, drawing and the
// entry boxes.

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
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTableWidgetItem>
#include <QTreeWidget>

#include <algorithm>

namespace linoveta {

using namespace main_window;

// Point series.
void frmGraphMain::makePointPanel()
{
    PointPanelHooks hooks;
    hooks.graphFunctions = [this] { GraphFunctions(); };
    hooks.plot = [this]() -> Surface & { return frmGraph->surface(); };
    hooks.span = [this] {
        const GraphWindow &w = m_program.graph;
        return PlotSpan{frmGraph->surface().scaleLeft(), w.XMin, w.XMax, w.XStep};
    };
    hooks.style = [this] {
        return PointSeriesStyle{Picture1[5]->backColor(), Picture1[6]->backColor(),
                                Slider1->value(), m_program.graph.ShadeFillStyle};
    };
    hooks.message = [this](const QString &text) { m_platform.messages->message(this, text); };
    m_pointPanel = std::make_unique<PointSeriesPanel>(
        *m_Regression, PointList,
        PointPanelControls{Check1, MSFlexGrid1, Text2, Text3, Command1, Combo1,
                           {MSFlexGrid1, Frame1, Frame2, Frame3, Command5, Command7}},
        std::move(hooks), m_program.formulaMessages);
    Command4->setToolTip(QStringLiteral("Click here to insert point into point series."));
    Command5->setToolTip(QStringLiteral("Click here to display the regression function."));
    Command7->setToolTip(QStringLiteral("Click here to return to Graph Analysis."));
    connect(Command4, &QPushButton::clicked, this, [this] { m_pointPanel->Command4_Click(); });
    connect(Command1, &QRadioButton::clicked, this, [this] { m_pointPanel->Command1_Click(); });
    connect(Command3, &QRadioButton::clicked, this, [this] { m_pointPanel->Command3_Click(); });
    connect(Combo1, &QComboBox::activated, this, [this] { m_pointPanel->Combo1_Click(); });
    connect(Command5, &QPushButton::clicked, this, [this] { m_pointPanel->Command5_Click(); });
    connect(Command7, &QPushButton::clicked, this, &frmGraphMain::mnuPtSeries_Click);
}

void frmGraphMain::mnuPtSeries_Click()
{
    if (!Check1->isChecked()) {
        Check1->setChecked(true);
        mnuPtSeries->setChecked(true);
        ListView1->hide();
        mnuToggleCoordinates->setChecked(false);
        setToolbarFace(14, QStringLiteral("gra"), QStringLiteral("Graph Analysis"));
    } else {
        Check1->setChecked(false);
        mnuPtSeries->setChecked(false);
        setToolbarFace(14, QStringLiteral("regress"), QStringLiteral("Regression Analysis"));
    }
    Check1_Click();
}

void frmGraphMain::Check1_Click()
{
    const bool on = Check1->isChecked();
    const bool canGraph = CanGraph(m_program.engine.tables);
    if (m_pointPanel)
        m_pointPanel->showPanel(on);
    for (QAction *a : {mnuToggleCoordinates, mnuExponent, mnuRoot, mnuTrig, mnuInsertF,
                       mnuInsertAbs, mnuInsertPi})
        a->setEnabled(!on);
    toolbarButtons[9].action->setEnabled(!on);
    toolbarButtons[10].action->setEnabled(!on);
    if (on) {
        mnuShade->setEnabled(canGraph);
        mnuEvaluate->setEnabled(canGraph);
        toolbarButtons[12].action->setEnabled(false);
        toolbarButtons[13].action->setEnabled(false);
        frmGraph->setToolTip(QStringLiteral("Click on graph to enter point."));
        DrawPointSeries();
    } else {
        toolbarButtons[12].action->setEnabled(canGraph);
        toolbarButtons[13].action->setEnabled(canGraph);
        frmGraph->setToolTip(QStringLiteral("Drag mouse to select display region."));
        GraphFunctions();
        Paper[VisibleLines]->setFocus(Qt::OtherFocusReason);
    }
}

void frmGraphMain::DrawPointSeries()
{
    if (m_pointPanel)
        m_pointPanel->DrawPointSeries();
}

void frmGraphMain::ClearPointSeries()
{
    if (m_pointPanel)
        m_pointPanel->ClearPointSeries();
}

void frmGraphMain::Text2_KeyPress(int keyAscii)
{
    if (keyAscii == 13)
        Text3->setFocus(Qt::OtherFocusReason);
}

void frmGraphMain::Text3_KeyPress(int keyAscii)
{
    if (keyAscii == 13)
        Command4->setFocus(Qt::OtherFocusReason);
}

} // namespace linoveta
