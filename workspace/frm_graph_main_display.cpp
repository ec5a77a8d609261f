// The main window's colours, display switches, read-out precision, help and web pages.

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
#include "workspace/plotter.h"
#include "workspace/point_panel.h"
#include "workspace/point_series.h"
#include "workspace/printing.h"
#include "workspace/program.h"
#include "workspace/regression_object.h"

#include <QCheckBox>
#include <QCursor>
#include <QMenu>
#include <QTreeWidget>

#include <algorithm>

namespace linoveta {

using namespace main_window;

// ---------------------------------------------------------------- colours and switches

void frmGraphMain::redrawAfterDisplayChange(bool fullRedraw)
{
    if (Check1->isChecked())
        DrawPointSeries();
    else if (fullRedraw)
        GraphFunctions();
    else
        formPaint();
}

void frmGraphMain::Picture1_Click(int index)
{
    if (index < 0 || index > 6)
        return;
    Picture1[index]->setBackColor(m_platform.colors->chooseColor(this, Picture1[index]->backColor()));
    redrawAfterDisplayChange(false);
}

void frmGraphMain::mnuGraphGridColor_Click()
{
    const RgbValue chosen = m_platform.colors->chooseColor(this, ColourFromText(m_program.graph.GridColor).value_or(0));
    m_program.graph.GridColor = ColourText(chosen);
    redrawAfterDisplayChange(false);
}

void frmGraphMain::mnuBackColor_Click()
{
    frmGraph->setBackColor(m_platform.colors->chooseColor(this, frmGraph->backColor()));
    redrawAfterDisplayChange(false);
}

void frmGraphMain::mnuGraphDefault_Click()
{
    m_program.graph.GridColor = ColourText(kDefaultGridColour);
    m_program.graph.ShadeColor = ColourText(kDefaultShadeColour);
    frmGraph->setBackColor(kWhite);
    for (int i = 0; i < 7; ++i)
        Picture1[i]->setBackColor(kDefaultSwatchColours[i]);
    redrawAfterDisplayChange(false);
}

void frmGraphMain::mnuHideGrid_Click()
{
    mnuHideGrid->setChecked(!mnuHideGrid->isChecked());
    redrawAfterDisplayChange(true);
}

void frmGraphMain::mnuGraphQuadrant_Click()
{
    mnuGraphQuadrant->setChecked(!mnuGraphQuadrant->isChecked());
    redrawAfterDisplayChange(false);
}

void frmGraphMain::mnuToggleCoordinates_Click()
{
    const bool show = ListView1->isHidden();
    ListView1->setVisible(show);
    mnuToggleCoordinates->setChecked(show);
}

void frmGraphMain::Slider1_Change() { redrawAfterDisplayChange(true); }

void frmGraphMain::Label2_Click() { mnuRoundOptions->popup(QCursor::pos()); }

void frmGraphMain::mnuNearWhole_Click()
{
    m_program.graph.CoordDecimals = 0;
    mnuNearWhole->setChecked(true);
    mnuNearTen->setChecked(false);
}

void frmGraphMain::mnuNearTen_Click()
{
    m_program.graph.CoordDecimals = 1;
    mnuNearTen->setChecked(true);
    mnuNearWhole->setChecked(false);
}

// ---------------------------------------------------------------- help and web

void frmGraphMain::mnuHelpTopics_Click() { m_platform.help->showContents(this); }
void frmGraphMain::mnuLinoveta_Click() { openWebPage(platform::ProductPageAddress); }
void frmGraphMain::ShowHomePage() { openWebPage(platform::HomePageAddress); }
void frmGraphMain::mnuHomePage_Click() { ShowHomePage(); }
void frmGraphMain::mnuOnlineSupport_Click() { openWebPage(platform::SupportPageAddress); }

// Without a browser nothing would show that the command did anything.
void frmGraphMain::openWebPage(const QString &address)
{
    m_platform.web->openAddress(address, [this, address] {
        m_platform.messages->message(this, NoBrowserMessage(address));
    });
}

QString NoBrowserMessage(const QString &address)
{
    return QStringLiteral("Linoveta could not open %1 in a web browser.").arg(address);
}

} // namespace linoveta
