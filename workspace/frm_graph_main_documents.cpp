// The main window's documents, bitmaps and printing.

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

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>

namespace linoveta {

using namespace main_window;

// Documents.
void frmGraphMain::mnuSave_Click()
{
    GraphDocument document;
    for (int i = 0; i < kFormulaLinesShown; ++i)
        document.lines[std::size_t(i)] = char2str_sym(m_program.engine.tables, i);
    const int n = m_Regression->XYCount();
    for (int i = 1; i <= n && i <= linoveta::PointList::kCapacity; ++i)
        document.points.push_back({PointList(i).X, PointList(i).Y});
    document.linear = Command1->isChecked();
    document.order = Combo1->currentText().toInt();
    QString name = DefaultDocumentName(m_platform.clock->today());
    // A cancel stays silent; a failed write must not read as success.
    const SaveOutcome outcome = SaveGraphData(GraphDocumentCodec::Write(document), CommonDialog1,
                                              *m_platform.files, this, m_savedProblems, name);
    if (outcome == SaveOutcome::Failed)
        m_platform.messages->message(this, kCouldNotSaveMessage);
    else if (outcome == SaveOutcome::Saved)
        m_documentName = QFileInfo(name).fileName();
}

void frmGraphMain::mnuLoad_Click()
{
    FileReadResult file;
    QString path;
    if (!m_program.CommandFile.isEmpty()) {
        path = CommandLineDocumentPath(m_program.CommandFile);
        file = ReadDocumentFile(path);
        if (file.status != FileReadStatus::Read) {
            m_platform.messages->message(this, kCouldNotOpenMessage);
            return;
        }
    } else {
        file = LoadGraphData(CommonDialog1, *m_platform.files, this, m_savedProblems, path);
        // A pipe, a folder, a device or an oversized file is no document; a cancel or a file
        // that cannot be read ends silently.
        if (file.status == FileReadStatus::Refused) {
            m_platform.messages->message(this, kCouldNotOpenMessage);
            return;
        }
    }
    // The whole text is checked first: a file that is not a document changes nothing.
    const DocumentReadResult result = GraphDocumentCodec::Read(file.text);
    if (result.status == DocumentReadStatus::Empty)
        return;
    if (result.status == DocumentReadStatus::Invalid) {
        m_platform.messages->message(this, kCouldNotOpenMessage);
        return;
    }
    applyDocument(result.document);
    m_documentName = QFileInfo(path).fileName();
}

namespace {

// Lets the replayed keys change the tables but keeps the window's side of each key for the
// end: the boxes are typeset and the commands enabled once, from the finished lines.
class ReplayObserver final : public EngineObserver {
public:
    explicit ReplayObserver(EngineObserver &window) : m_window(window) {}
    void GraphFunctions() override { m_window.GraphFunctions(); }
    void finish(const FormulaTables &t)
    {
        m_window.RedrawFormulaBoxes();  // also sets LastFunction, which CanGraph reads
        m_window.SetGraphCommandsEnabled(CanGraph(t));
    }

private:
    EngineObserver &m_window;
};

} // namespace

void frmGraphMain::applyDocument(const GraphDocument &document)
{
    FormulaTables &t = m_program.engine.tables;
    ClearFormulas();
    for (int i = 1; i < kFormulaLinesShown; ++i) {
        Paper[i]->hide();
        Label1[i]->hide();
        Picture1[i]->hide();
    }
    BlinkerTop = 1700;
    placeBlinker();
    Blinker->show();
    QApplication::setOverrideCursor(Qt::WaitCursor);

    // Every stored symbol passes the key rules, exactly as if typed, and every line starts
    // from a fresh editing state, so a document always loads as the same formulas.
    ReplayObserver replay(*this);
    t.AllowTrigLetters = true;
    for (int i = 0; i < kFormulaLinesShown; ++i) {
        t.CurrentFunction = std::int16_t(i);
        t.DecimalInNumber = false;
        t.BarJustClosed = false;
        t.HasEquals = false;
        for (char c : document.lines[std::size_t(i)])
            m_program.engine.KeyPress(std::int16_t(static_cast<unsigned char>(c)), replay);
    }
    replay.finish(t);
    const int last = HighestFilledLine(document);
    t.AllowTrigLetters = false;
    t.CurrentFunction = 0;
    VisibleLines = 0;
    for (int i = 0; i < last; ++i) {
        m_program.AddingFromFile = true;
        Blinker_Click();
        m_program.AddingFromFile = false;
    }
    Paper[VisibleLines]->setFocus(Qt::OtherFocusReason);
    t.CurrentFunction = 0;

    ClearPointSeries();
    Command1->setChecked(document.linear);
    Command3->setChecked(!document.linear);
    Combo1->setCurrentIndex(document.order - 2);
    m_Regression->Degree(document.linear ? 1 : document.order);
    // The reader has checked every point as point entry does, so each one is added.
    for (const DocumentPoint &p : document.points)
        AddPoint(*m_Regression, PointList, p.x, p.y);
    DrawPointSeries();
    QApplication::restoreOverrideCursor();
}

void frmGraphMain::mnuBitMap_Click()
{
    saveGraphBitmap(this, DefaultBitmapName(m_platform.clock->today()));
}

void frmGraphMain::saveGraphBitmap(QWidget *over, const QString &defaultName)
{
    QString name = defaultName;
    SaveGraphBitmap(CommonDialog1, *m_platform.files, over, m_savedProblems, name,
                    frmGraph->surface().logicalPicture());
}

// Printing.
frmPrintSetup *frmGraphMain::printOptions() const { return m_printOptions; }

void frmGraphMain::setPrinter(std::unique_ptr<PrinterService> printer)
{
    m_printer = std::move(printer);
}

PrinterService &frmGraphMain::printer()
{
    if (!m_printer)
        m_printer = std::make_unique<QtPrinterService>();
    return *m_printer;
}

frmPrintSetup *frmGraphMain::openPrintOptions(QWidget *parent)
{
    if (m_printOptions)
        return m_printOptions;
    PrintSetupCommands commands;
    commands.printTheGraph = [this] { return printGraphPage(); };
    commands.printSetup = [this](QWidget *over) { printer().setup(over); };
    m_printOptions = new frmPrintSetup(printer(), commands, m_platform.clock->today(), parent);
    return m_printOptions;
}

void frmGraphMain::mnuGraphPrint_Click()
{
    frmPrintSetup *options = openPrintOptions(this);
    options->show();
    options->raise();
    options->activateWindow();
}

void frmGraphMain::showPrintOptionsModal(QWidget *over)
{
    // One Print Options at a time: a modeless one goes, and its deletion must not be waited for.
    if (m_printOptions) {
        m_printOptions->close();
        m_printOptions.clear();
    }
    QPointer<frmPrintSetup> options = openPrintOptions(over);
    options->setModal(true);
    options->exec();
}

void frmGraphMain::mnuGraphPrintSetup_Click() { printer().setup(this); }

void frmGraphMain::PrintTheGraph() { printGraphPage(); }

bool frmGraphMain::printGraphPage()
{
    PrintPage page;
    if (m_printOptions) {
        page.heading1 = m_printOptions->Text1->text();
        page.heading2 = m_printOptions->Text2->text();
    }
    page.pointSeriesMode = Check1->isChecked();
    for (int i = 0; i < kFormulaLinesShown; ++i) {
        page.displayTexts[std::size_t(i)] =
            QString::fromStdString(char2str_disp(m_program.engine.tables, i));
        page.colours[std::size_t(i)] = Picture1[i]->backColor();
    }
    if (page.pointSeriesMode)
        page.regressionEquation = QString::fromStdString(m_Regression->ReturnRegEq());
    page.plot = frmGraph->surface().image();
    page.documentName = m_documentName;
    return PrintGraphPage(printer(), page, m_program.formulaMessages);
}

} // namespace linoveta
