#pragma once
// The handlers of the point-series panel: the grid of points, Insert, the trend type and order,
// Regression Function, and the point-series redraw. The panel's widgets belong to the main
// window; this class acts on them and on the fit, and reaches the rest of the window through
// the hooks below, so it can be driven without the window.

#include "workspace/dialogs/frm_explain.h"
#include "workspace/point_series.h"

#include <QPointer>
#include <QString>

#include <functional>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;
class QTableWidget;
class QWidget;

namespace linoveta {

// Sizes the point grid's columns to its width, room for a vertical scroll bar kept: equal
// shares while every text fits them, else as wide as each column's longest text with the rest
// shared out. Only texts wider than the whole grid make it scroll sideways.
void FitPointGridColumns(QTableWidget &grid);
// Empties every cell of the point grid and writes the "X" and "Y" headings into row 0.
void InitPointGrid(QTableWidget &grid);

struct PointPanelControls {
    QCheckBox *Check1 = nullptr;       // the mode flag
    QTableWidget *MSFlexGrid1 = nullptr;
    QLineEdit *Text2 = nullptr;        // x
    QLineEdit *Text3 = nullptr;        // y
    QRadioButton *Command1 = nullptr;  // "Linear"
    QComboBox *Combo1 = nullptr;       // order "2".."10"
    // Shown in point-series mode only: the grid, the three frames and the two buttons.
    std::vector<QWidget *> panel;
};

struct PointPanelHooks {
    std::function<void()> graphFunctions;        // the formula-mode redraw (scale, grid, axes)
    std::function<Surface &()> plot;             // the plot's surface
    std::function<PlotSpan()> span;              // ScaleLeft, XMin, XMax, XStep
    std::function<PointSeriesStyle()> style;     // swatch colours, line width, fill style
    std::function<void(const QString &)> message; // a message box with an OK button
};

class PointSeriesPanel
{
public:
    // The regression equation's window reports to typesetMessages what it cannot typeset.
    PointSeriesPanel(RegressionObject &fit, PointList &points, PointPanelControls controls,
                     PointPanelHooks hooks, const FormulaMessageSink &typesetMessages);

    bool active() const;
    // Shows or hides the six panel controls.
    void showPanel(bool visible);

    void InitPointGrid();
    void DrawPointSeries();
    void ClearPointSeries();
    void Command4_Click();
    // A left click on the plot in point-series mode.
    void AddClickedPoint(float x, float y);
    void Command1_Click();
    void Command3_Click();
    void Combo1_Click();
    void Command5_Click();

    const QString &RegEquationText() const { return m_regEquationText; }
    frmExplain *equationWindow() const { return m_equationWindow; }
    // The main window's unloading also unloads the equation window.
    void closeEquationWindow();

private:
    void refit(int degree);
    void entered(PointEntry result);

    RegressionObject &m_fit;
    PointList &m_points;
    PointPanelControls m_c;
    PointPanelHooks m_hooks;
    const FormulaMessageSink &m_typesetMessages;
    QString m_regEquationText;
    QPointer<frmExplain> m_equationWindow;
};

} // namespace linoveta
