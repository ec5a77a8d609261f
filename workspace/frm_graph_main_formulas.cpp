// The main window's formula boxes: focus, keys, the insert commands, clearing, and the
// enabling of the graph commands after each key.

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
#include <QLabel>
#include <QPushButton>
#include <algorithm>

namespace linoveta {

using namespace main_window;

// ---------------------------------------------------------------- formula boxes

void frmGraphMain::RedrawFormulaBoxes()
{
    FormulaTables &t = m_program.engine.tables;
    for (int i = 0; i < kFormulaLinesShown; ++i) {
        ImageSurface &surface = Paper[i]->surface();
        surface.cls();
        const std::string text = char2str_disp(t, i);
        if (!text.empty()) {
            basFprint::PrintFormula(QString::fromStdString(text), surface,
                                    m_program.formulaMessages);
            t.LastFunction = std::int16_t(i);
        }
        Paper[i]->update();
    }
}

void frmGraphMain::Paper_GotFocus(int index)
{
    for (FormulaBox *box : Paper)
        box->setBackColor(kWhite);
    Paper[index]->setBackColor(kFocusYellow);
    m_program.engine.tables.CurrentFunction = std::int16_t(index);
    RedrawFormulaBoxes();
}

void frmGraphMain::Paper_LostFocus(int)
{
    for (FormulaBox *box : Paper)
        box->setBackColor(kWhite);
    RedrawFormulaBoxes();
}

void frmGraphMain::Paper_KeyDown(int, int keyCode, int shift)
{
    if (keyCode >= 33 && keyCode <= 40)
        frmGraph_KeyDown(keyCode, shift);
}

void frmGraphMain::Paper_KeyPress(int, int keyAscii)
{
    // While the point panel covers the formula boxes, a box that kept the focus must not
    // change its formula unseen.
    if (Check1->isChecked())
        return;
    // The key goes to the current line: the box that has the focus made it current.
    m_program.engine.KeyPress(std::int16_t(keyAscii), *this);
}

void frmGraphMain::sendKey(int keyAscii)
{
    Paper_KeyPress(m_program.engine.tables.CurrentFunction, keyAscii);
}

void frmGraphMain::Blinker_Click()
{
    int row = 0;
    for (int i = 1; i < kFormulaLinesShown; ++i) {
        if (Paper[i]->isHidden()) {
            row = i;
            break;
        }
    }
    // All five rows shown: there is nothing to add, and VisibleLines stays a valid row.
    if (row == 0)
        return;
    BlinkerTop += kRowStep;
    placeBlinker();
    Paper[row]->show();
    Label1[row]->show();
    Picture1[row]->show();
    if (row == 4)
        Blinker->hide();
    VisibleLines = row;
    if (m_program.AddingFromFile)
        return;
    const int current = m_program.engine.tables.CurrentFunction;
    const int next = current < 4 ? current + 1 : 4;
    Paper[next]->setFocus(Qt::OtherFocusReason);
    if (!isActiveWindow())
        Paper_GotFocus(next);
}

void frmGraphMain::mnuInsertF_Click() { Blinker_Click(); }
void frmGraphMain::mnuExponent_Click() { sendKey('^'); }
void frmGraphMain::mnuRoot_Click() { sendKey('~'); }
void frmGraphMain::mnuInsertAbs_Click() { sendKey('|'); }
void frmGraphMain::mnuInsertPi_Click() { sendKey('P'); }
void frmGraphMain::mnuSin_Click() { insertFunction('S'); }
void frmGraphMain::mnuCos_Click() { insertFunction('C'); }
void frmGraphMain::mnuTan_Click() { insertFunction('T'); }

void frmGraphMain::insertFunction(int letter)
{
    FormulaTables &t = m_program.engine.tables;
    t.AllowTrigLetters = true;
    sendKey(letter);
    const bool letterAccepted = t.KeyAccepted;
    t.AllowTrigLetters = false;
    if (!letterAccepted)
        return;
    sendKey('(');
    // A function name never stands without its "(".
    if (!t.KeyAccepted)
        sendKey(kKeyBackspace);
}

void frmGraphMain::mnuClearData_Click()
{
    if (m_platform.messages->question(this, QStringLiteral("Are you sure you would like to erase all the data?"))
        != platform::Answer::Yes)
        return;
    m_program.graph.UserWindow = false;
    toolbarButtons[1].action->setEnabled(false);
    mnuGraphIt->setEnabled(false);
    if (Check1->isChecked()) {
        ClearPointSeries();
        mnuGraphReset_Click();
        return;
    }
    FormulaTables &t = m_program.engine.tables;
    for (int i = 1; i < kFormulaLinesShown; ++i) {
        Paper[i]->hide();
        Label1[i]->hide();
        Picture1[i]->hide();
    }
    for (int i = 0; i < kFormulaLinesShown; ++i)
        str2char_expr(t, "", i);
    ClearPlotBuffers();
    m_program.ShadeOn = false;
    t.LastFunction = 0;
    t.CurrentFunction = 0;
    VisibleLines = 0;
    ClearAllFormulas(t);
    RedrawFormulaBoxes();
    mnuGraphReset_Click();
    BlinkerTop = kBlinkerStartTop;
    placeBlinker();
    Blinker->show();
    Paper[0]->setFocus(Qt::OtherFocusReason);
    if (!isActiveWindow())
        Paper_GotFocus(0);
}

void frmGraphMain::ClearPlotBuffers()
{
    plotBreaks().Clear();
}

void frmGraphMain::ClearFormulas()
{
    FormulaTables &t = m_program.engine.tables;
    ClearAllFormulas(t);
    ClearPlotBuffers();
    for (int i = 0; i < kFormulaLinesShown; ++i)
        str2char_expr(t, "", i);
}

void frmGraphMain::SetGraphCommandsEnabled(bool enabled)
{
    for (QAction *a : {toolbarButtons[1].action, toolbarButtons[12].action, toolbarButtons[13].action,
                       mnuGraphIt, mnuEvaluate, mnuShade})
        a->setEnabled(enabled);
}

} // namespace linoveta
