#pragma once
// frmGraphMain: the start-up window. It holds the five formula rows, the plot picture, the
// point-series panel (hidden in formula mode), the menu bar and the toolbar, and forwards every
// command to the code that owns it. The graph window's commands, the point-series panel and the
// dialogs keep their own code; the methods below forward to them.

#include "engine/engine_observer.h"
#include "typeset/image_surface.h"
#include "workspace/formula_box.h"
#include "workspace/graph_commands.h"
#include "workspace/graph_document.h"
#include "workspace/platform/platform.h"
#include "workspace/point_series.h"
#include "workspace/surface_widget.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QSlider;
class QTableWidget;
class QToolBar;
class QToolButton;
class QTreeWidget;

class RegressionObject;

namespace linoveta {

struct Program;
class PrinterService;
class frmPrintSetup;
class GraphCommands;
class PointSeriesPanel;

// frmGraph: the 400 x 400 plot picture. It keeps its drawing in an ImageSurface and hands
// mouse and key events on in the old form (button 1 left, 2 right; shift bits 1, 2, 4;
// positions in the surface's user scale).
class PlotPicture : public SurfaceWidget
{
    Q_OBJECT
public:
    explicit PlotPicture(QWidget *parent = nullptr);

signals:
    void mouseDown(int button, int shift, float x, float y);
    void mouseMove(int button, int shift, float x, float y);
    void mouseUp(int button, int shift, float x, float y);
    void keyDown(int keyCode, int shift);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void emitMouse(QMouseEvent *event, int kind);
    // The plot keeps its picture, scaled to the new ratio; the next redraw is sharp again.
    void displayRatioChanged() override;
};

// A colour swatch Picture1(i): its background colour is the colour it stands for.
class ColorSwatch : public QWidget
{
    Q_OBJECT
public:
    explicit ColorSwatch(int index, QWidget *parent = nullptr);
    int index() const { return m_index; }
    void setBackColor(RgbValue colour);
    RgbValue backColor() const { return m_colour; }

signals:
    void clicked(int index);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    int m_index;
    RgbValue m_colour = 0xFFFFFF;
};

// One toolbar button: its current key, image key and tool tip (the drop-down buttons change
// all three).
struct ToolbarButton {
    QString key;
    QString image;
    QString toolTip;
    QAction *action = nullptr;       // nullptr for separators and the placeholder
    QToolButton *button = nullptr;   // the widget, for the drop-down buttons
};


class frmGraphMain : public QMainWindow, public EngineObserver, private GraphCommandsHost
{
    Q_OBJECT
public:
    // The window does not own `program`; it owns the platform services it is given.
    frmGraphMain(Program &program, platform::Platform platform, QWidget *parent = nullptr);
    ~frmGraphMain() override;

    Program &program() { return m_program; }
    platform::Platform &services() { return m_platform; }

    // The splash's closing delay in ms (tests set 0); used by Form_Load.
    void setSplashDelay(int ms) { m_splashDelay = ms; }
    // The command line, joined; Form_Load trims it into CommandFile.
    void setCommandLine(const QString &line) { m_commandLine = line; }
    // The folder that holds "Saved Problems"; the user's documents folder unless set.
    void setDocumentsFolder(const QString &folder) { m_documentsFolder = folder; }
    // Where "Saved Problems" was found or made (empty when neither place could be used).
    QString savedProblemsFolder() const { return m_savedProblems; }

    // Start-up sequence; main() and tests call it once after construction.
    void Form_Load();

    // ---- Controls (names of the layout) ----
    QToolBar *Toolbar1 = nullptr;
    std::array<ToolbarButton, 17> toolbarButtons{};   // index 1..16; 0 unused
    std::array<QLabel *, 5> Label1{};
    std::array<FormulaBox *, 5> Paper{};
    std::array<ColorSwatch *, 7> Picture1{};          // 0..4 curves, 5 regression line, 6 points
    QPushButton *Blinker = nullptr;
    PlotPicture *frmGraph = nullptr;
    QFrame *Shape1 = nullptr;
    QPushButton *Command2 = nullptr;   // zoom in
    QPushButton *Command6 = nullptr;   // zoom out
    QFrame *Shape2 = nullptr;
    QFrame *Shape3 = nullptr;
    QLabel *Label2 = nullptr;          // coordinate read-out
    QSlider *Slider1 = nullptr;        // line width 1..10, hidden
    QTreeWidget *ListView1 = nullptr;  // coordinates list, child of frmGraph, hidden
    // Point-series panel, hidden in formula mode.
    QCheckBox *Check1 = nullptr;       // 1 = point-series mode
    QGroupBox *Frame1 = nullptr;       // "Insert Point"
    QLineEdit *Text2 = nullptr;        // x
    QLineEdit *Text3 = nullptr;        // y
    QPushButton *Command4 = nullptr;   // "Insert"
    QTableWidget *MSFlexGrid1 = nullptr;
    QGroupBox *Frame2 = nullptr;       // "Trend Type"
    QRadioButton *Command1 = nullptr;  // "Linear"
    QRadioButton *Command3 = nullptr;  // "Polynomial"
    QComboBox *Combo1 = nullptr;       // "2".."10"
    QGroupBox *Frame3 = nullptr;       // "Colors"
    QPushButton *Command5 = nullptr;   // "Regression Function"
    QPushButton *Command7 = nullptr;   // "Exit"

    // ---- Menus ----
    QMenu *mnuGraphFile = nullptr, *mnuFunctions = nullptr, *mnuTrigMenu = nullptr,
          *mnuGraphOptions = nullptr, *mnuGraphSettingsMenu = nullptr,
          *mnuGraphWindowMenu = nullptr, *mnuHelp = nullptr, *mnuWebMenu = nullptr,
          *mnuRoundOptions = nullptr;
    QAction *mnuGraphPrint = nullptr, *mnuGraphPrintSetup = nullptr, *mnuSave = nullptr,
            *mnuLoad = nullptr, *mnuBitMap = nullptr, *mnuGraphExit = nullptr;
    QAction *mnuGraphIt = nullptr, *mnuInsertF = nullptr, *mnuClearData = nullptr,
            *mnuExponent = nullptr, *mnuRoot = nullptr, *mnuInsertPi = nullptr,
            *mnuInsertAbs = nullptr, *mnuTrig = nullptr, *mnuSin = nullptr, *mnuCos = nullptr,
            *mnuTan = nullptr, *mnuEvaluate = nullptr, *mnuShade = nullptr,
            *mnuPtSeries = nullptr;
    QAction *mnuToggleCoordinates = nullptr, *mnuGraphQuadrant = nullptr,
            *mnuHideGrid = nullptr, *mnuGraphSettings = nullptr, *mnuGraphGridColor = nullptr,
            *mnuBackColor = nullptr, *mnuGraphDefault = nullptr, *mnuLineW = nullptr;
    QAction *mnuGraphWindow = nullptr, *mnuGraphReset = nullptr, *mnuGraphZoomIn = nullptr,
            *mnuGraphZoomOut = nullptr;
    QAction *mnuHelpTopics = nullptr, *mnuWeb = nullptr, *mnuLinoveta = nullptr,
            *mnuHomePage = nullptr, *mnuOnlineSupport = nullptr, *mnuAbout = nullptr;
    QAction *mnuNearWhole = nullptr, *mnuNearTen = nullptr;

    // ---- Window-level state ----
    std::unique_ptr<RegressionObject> m_Regression;   // degree 1 after start-up
    linoveta::PointList PointList;                    // entries 1..500
    std::unique_ptr<PointSeriesPanel> m_pointPanel;   // the panel's handlers, made in Form_Load
    int VisibleLines = 0;                             // newest visible formula row, 0..4
    std::array<double, 1001> BreakX{};
    std::array<bool, 1001> BreakFlag{};
    int BreakCount = 0;
    int BlinkerTop = 1700;                            // in twips, moves 840 per row

    // The Calculate Area window, shown modally; returns FillRangeChoice (1 Shade Area, 2 a zoom
    // button, anything else closed). Set by the Calculate Area window when the window is built.
    std::function<int()> showFillRange;

    // The graph window's commands and the plotter, made on first use.
    GraphCommands &graphCommands();

    // ---- Documents and printing ----
    CommonDialogSettings CommonDialog1;   // carries its settings from one use to the next
    // The printer of the run (a Qt printer unless a test gives another).
    void setPrinter(std::unique_ptr<PrinterService> printer);
    PrinterService &printer();
    // Print Options while it is open.
    frmPrintSetup *printOptions() const;
    // Print Options modal over `over` (the Calculate Area window).
    void showPrintOptionsModal(QWidget *over);
    // The bitmap export of the plot, as the Calculate Area window asks for it.
    void saveGraphBitmap(QWidget *over, const QString &defaultName);

public slots:
    // ---- Formula boxes and insert commands ----
    void RedrawFormulaBoxes() override;
    void Paper_GotFocus(int index);
    void Paper_LostFocus(int index);
    void Paper_KeyDown(int index, int keyCode, int shift);
    void Paper_KeyPress(int index, int keyAscii);
    void Blinker_Click();
    void mnuInsertF_Click();
    void mnuExponent_Click();
    void mnuRoot_Click();
    void mnuInsertAbs_Click();
    void mnuInsertPi_Click();
    void mnuSin_Click();
    void mnuCos_Click();
    void mnuTan_Click();
    void mnuClearData_Click();
    void ClearPlotBuffers();
    void ClearFormulas();

    // ---- Toolbar ----
    void Toolbar1_ButtonClick(int index);
    void Toolbar1_ButtonMenuClick(const QString &itemText);

    // ---- Colours, display switches, read-out precision ----
    void Picture1_Click(int index);
    void mnuGraphGridColor_Click();
    void mnuBackColor_Click();
    void mnuGraphDefault_Click();
    void mnuHideGrid_Click();
    void mnuGraphQuadrant_Click();
    void mnuToggleCoordinates_Click();
    void Slider1_Change();
    void Label2_Click();
    void mnuNearWhole_Click();
    void mnuNearTen_Click();

    // ---- Help, web, exit ----
    void mnuHelpTopics_Click();
    void mnuLinoveta_Click();
    void ShowHomePage();
    void mnuHomePage_Click();
    void mnuOnlineSupport_Click();
    void mnuGraphExit_Click();

    // ---- Graph window, point series, documents, printing, dialogs ----
    void mnuGraphIt_Click();          // graph window and view
    void GraphFunctions() override;   // formula-mode redraw
    void formPaint();                 // the plotter alone
    void AutoFitGraph();
    void ZoomIn();
    void ZoomOut();
    void mnuGraphReset_Click();
    void mnuGraphZoomIn_Click();
    void mnuGraphZoomOut_Click();
    void Command2_Click();            // zoom buttons beside the plot
    void Command6_Click();
    void frmGraph_KeyDown(int keyCode, int shift);
    void frmGraph_MouseDown(int button, int shift, float x, float y);
    void frmGraph_MouseMove(int button, int shift, float x, float y);
    void frmGraph_MouseUp(int button, int shift, float x, float y);
    void mnuPtSeries_Click();         // point series
    void Check1_Click();
    void DrawPointSeries();
    void ClearPointSeries();
    void Text2_KeyPress(int keyAscii);
    void Text3_KeyPress(int keyAscii);
    void mnuSave_Click();             // documents
    void mnuLoad_Click();
    void mnuBitMap_Click();
    void mnuGraphPrint_Click();       // printing
    void mnuGraphPrintSetup_Click();
    void PrintTheGraph();
    void mnuShade_Click();            // Calculate Area loop
    void mnuEvaluate_Click();         // dialogs
    void mnuLineW_Click();
    void mnuAbout_Click();
    void MakeGraphable() {}

public:
    // EngineObserver: the translator enables Graph, Evaluate and Area after each key.
    void SetGraphCommandsEnabled(bool enabled) override;

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // GraphCommandsHost: what the graph window's commands read and call here.
    Program &hostProgram() override { return m_program; }
    ImageSurface &plotSurface() override;
    PlotBreaks plotBreaks() override;
    PlotControls plotControls() const override;
    void drawPointSeries() override { DrawPointSeries(); }
    void repaintPlot() override;
    void updatePlot() override;
    void showPlotMessage(const QString &text) override;
    QTreeWidget &coordinateList() override { return *ListView1; }
    void focusCurrentFormula() override;
    void showGraphWindowMenu() override;
    void addClickedPoint(float x, float y) override;
    void showCoordinateReadout(const QString &text) override;

    void buildLayout();
    void buildMenus();
    void buildToolbar();
    void showSplash();
    void setToolbarFace(int index, const QString &key, const QString &toolTip);
    void placeBlinker();
    void redrawAfterDisplayChange(bool fullRedraw);
    void sendKey(int keyAscii);
    void insertFunction(int letter);
    void Form_Unload();
    void makePointPanel();
    void openWebPage(const QString &address);

    Program &m_program;
    platform::Platform m_platform;
    QString m_commandLine;
    QString m_documentsFolder;
    QString m_savedProblems;
    int m_splashDelay = 3000;
    std::unique_ptr<PrinterService> m_printer;
    QPointer<frmPrintSetup> m_printOptions;
    // The file name of the document loaded or saved last, which print jobs carry.
    QString m_documentName;
    frmPrintSetup *openPrintOptions(QWidget *parent);
    bool printGraphPage();
    void applyDocument(const GraphDocument &document);
    std::unique_ptr<GraphCommands> m_graphCommands;
};

// What the web commands say when no browser could be started for `address`.
QString NoBrowserMessage(const QString &address);

} // namespace linoveta
