#pragma once
// frmFillRange, "Calculate Area": the area under one formula line as a sum of f(x)*dx, the
// shading request for the plotter, zooms about the origin, print and bitmap.

#include "workspace/dialogs/dialog_parts.h"
#include "workspace/graph_window.h"
#include "workspace/platform/platform.h"

#include <QDialog>
#include <QPoint>

#include <array>
#include <functional>
#include <string>

class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;

namespace linoveta {

// What the dialog keeps from one closing to the next reopening, for the whole run.
struct FillRangeMemory {
    QPoint formPos;   // formL, formT: where the dialog was when it last closed
    QString AreaRem;
    int slideRem = 1;
    double dxRem = 0.1;
};

// Everything the dialog reads and writes, given by the main window.
struct FillRangeContext {
    GraphWindow *graph = nullptr;   // XMin..YMax, ShadeColor, ShadeFillStyle
    double *ShadeFrom = nullptr;
    double *ShadeTo = nullptr;
    int *FillRangeChoice = nullptr;
    int *CurrentFunction = nullptr;
    int LastFunction = 0;
    FillRangeMemory *memory = nullptr;

    std::function<QString(int line)> displayText;   // char2str_disp
    std::function<RgbValue(int line)> lineColor;     // the main window's swatch colours
    std::function<RgbValue()> plotBackColor;
    std::function<int()> plotFillStyle;
    std::function<void(int)> setPlotFillStyle;
    FormulaTypesetter typeset;
    std::function<void()> preCalc;                    // PreCalcFX
    // CalculateYArea as numbers: ys[i] for xs[i], i < n.
    std::function<void(const double *xs, double *ys, std::size_t n, int line)> areaValues;
    platform::MessageService *messages = nullptr;
    platform::ColorDialog *colors = nullptr;
    std::function<void(QWidget *over)> printGraph;    // Print Options, modal over the dialog
    std::function<void(QWidget *over, const QString &defaultName)> saveBitmap;
    std::function<QDate()> today;
};

class frmFillRange : public QDialog
{
    Q_OBJECT
public:
    frmFillRange(FillRangeContext context, QWidget *parent = nullptr);

    // The default shading colour (light grey) when none has been set.
    static constexpr RgbValue kDefaultShadeColor = 0xE0E0E0;

    QSlider *Slider1 = nullptr;
    FormulaPicture *Picture1 = nullptr;
    QGroupBox *Frame2 = nullptr;
    QLabel *Label3 = nullptr, *Label2 = nullptr, *Label4 = nullptr, *Label1 = nullptr,
           *Label5 = nullptr;
    QLineEdit *Text1 = nullptr, *Text2 = nullptr, *Text3 = nullptr, *Text4 = nullptr;
    QPushButton *Command1 = nullptr;   // Shade Area
    QPushButton *Command3 = nullptr;   // Calculate Area
    QGroupBox *Frame1 = nullptr;
    std::array<QWidget *, 8> Shape1{};
    std::array<QRadioButton *, 8> Option1{};
    QPushButton *Command4 = nullptr;   // Shade Color
    QGroupBox *Frame3 = nullptr;
    QPushButton *Command5 = nullptr, *Command6 = nullptr, *Command7 = nullptr,
                *Command8 = nullptr;
    QPushButton *Command2 = nullptr;   // Close

    int selectedStyle() const;

public slots:
    void Slider1_Change();
    void Command3_Click();
    void Command1_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    void Command7_Click();
    void Command8_Click();
    void Command2_Click();

    void done(int result) override;

private:
    void buildLayout();
    void Form_Load();
    void Form_Unload();
    void drawFormula(int line);
    void paintSwatches();
    void takeShadeRange();
    void zoom(bool in);
    RgbValue shadeColorValue() const;

    FillRangeContext m_ctx;
    bool m_loaded = false;
    bool m_unloaded = false;
};

} // namespace linoveta
