#include "workspace/dialogs/dialog_commands.h"

#include "engine/formula_tables.h"
#include "typeset/formula_typesetter.h"
#include "workspace/dialogs/frm_about.h"
#include "workspace/dialogs/frm_eval_fx.h"
#include "workspace/dialogs/frm_fill_range.h"
#include "workspace/dialogs/frm_line_width.h"
#include "workspace/dialogs/frm_print_setup.h"
#include "workspace/frm_graph_main.h"
#include "workspace/graph_commands.h"
#include "workspace/program.h"

#include <memory>

namespace linoveta {

namespace {

QString displayText(frmGraphMain &w, int line)
{
    return QString::fromStdString(char2str_disp(w.program().engine.tables, line));
}

RgbValue lineColor(frmGraphMain &w, int line)
{
    if (line < 0 || line >= 5 || !w.Picture1[static_cast<std::size_t>(line)])
        return 0;
    return w.Picture1[static_cast<std::size_t>(line)]->backColor();
}

// The dialogs' formula pictures, typeset as the formula boxes are.
FormulaTypesetter formulaTypesetter(frmGraphMain &w)
{
    const FormulaMessageSink &messages = w.program().formulaMessages;
    return [&messages](const QString &text, Surface &target) {
        basFprint::PrintFormula(text, target, messages);
    };
}

} // namespace

void InstallFillRange(frmGraphMain &window)
{
    struct Kept {
        FillRangeMemory memory;
        int choice = 0;
    };
    auto kept = std::make_shared<Kept>();
    frmGraphMain *w = &window;
    window.showFillRange = [w, kept]() {
        Program &program = w->program();
        FormulaTables &t = program.engine.tables;
        int current = t.CurrentFunction;
        FillRangeContext c;
        c.graph = &program.graph;
        c.ShadeFrom = &program.ShadeFrom;
        c.ShadeTo = &program.ShadeTo;
        c.FillRangeChoice = &kept->choice;
        c.CurrentFunction = &current;
        c.LastFunction = t.LastFunction;
        c.memory = &kept->memory;
        c.displayText = [w](int line) { return displayText(*w, line); };
        c.lineColor = [w](int line) { return lineColor(*w, line); };
        c.plotBackColor = [w] { return w->frmGraph->backColor(); };
        c.plotFillStyle = [w] { return w->frmGraph->surface().fillStyle(); };
        c.setPlotFillStyle = [w](int style) { w->frmGraph->surface().setFillStyle(style); };
        c.typeset = formulaTypesetter(*w);
        c.preCalc = [w] { w->graphCommands().calc().PreCalcFX(w->program().engine.tables); };
        c.areaValues = [w](const double *xs, double *ys, std::size_t n, int line) {
            w->graphCommands().calc().CalculateYAreaValues(xs, n, line, ys);
        };
        c.messages = w->services().messages.get();
        c.colors = w->services().colors.get();
        // Print Options opens modally over this dialog, which stays open behind it; a modeless
        // one would belong to the blocked main window and could not be used.
        c.printGraph = [w](QWidget *over) { w->showPrintOptionsModal(over); };
        // The file dialog, like Print Options, belongs over this dialog, not the blocked window.
        c.saveBitmap = [w](QWidget *over, const QString &name) { w->saveGraphBitmap(over, name); };
        c.today = [w] { return w->services().clock->today(); };
        {
            frmFillRange dialog(std::move(c), w);
            dialog.exec();
        }
        t.CurrentFunction = static_cast<std::int16_t>(current);
        return kept->choice;
    };
}

void ShowEvaluate(frmGraphMain &window)
{
    frmGraphMain *w = &window;
    EvalFxContext c;
    c.LastFunction = w->program().engine.tables.LastFunction;
    c.displayText = [w](int line) { return displayText(*w, line); };
    c.lineColor = [w](int line) { return lineColor(*w, line); };
    c.typeset = formulaTypesetter(*w);
    c.preCalc = [w] { w->graphCommands().calc().PreCalcFX(w->program().engine.tables); };
    c.evaluate = [w](double x, int line) {
        return QString::fromStdString(w->graphCommands().calc().CalculateYEval(x, line));
    };
    c.messages = w->services().messages.get();
    frmEvalFX dialog(std::move(c), w);
    dialog.exec();
}

void ShowLineWidth(frmGraphMain &window)
{
    if (!window.Slider1)
        return;
    frmLineWidth dialog(*window.Slider1, &window);
    dialog.exec();
}

void ShowAbout(frmGraphMain &window)
{
    frmAbout dialog(DesktopSystemInfoServices(), *window.services().messages, &window);
    dialog.exec();
}

} // namespace linoveta
