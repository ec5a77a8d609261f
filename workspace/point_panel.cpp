#include "workspace/point_panel.h"

#include "workspace/dialogs/frm_explain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QStyle>
#include <QTableWidget>

#include <algorithm>
#include <vector>

namespace linoveta {

void FitPointGridColumns(QTableWidget &grid)
{
    const int columns = grid.columnCount();
    if (columns == 0)
        return;
    const int room = grid.width() - 2 * grid.frameWidth()
        - grid.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &grid);
    const QAbstractItemView &view = grid;   // the table's own measure, public through its base
    std::vector<int> need(static_cast<std::size_t>(columns));
    int total = 0;
    for (int c = 0; c < columns; ++c)
        total += need[static_cast<std::size_t>(c)] = view.sizeHintForColumn(c);
    const int share = room / columns;
    const bool evenShares =
        std::all_of(need.begin(), need.end(), [share](int n) { return n <= share; });
    // Equal columns while the texts fit them, else each its need and what is left shared out;
    // only texts wider than the grid make it scroll sideways.
    const int extra = total < room ? (room - total) / columns : 0;
    for (int c = 0; c < columns; ++c)
        grid.setColumnWidth(c, evenShares ? share : need[static_cast<std::size_t>(c)] + extra);
}

PointSeriesPanel::PointSeriesPanel(RegressionObject &fit, PointList &points,
                                   PointPanelControls controls, PointPanelHooks hooks,
                                   const FormulaMessageSink &typesetMessages)
    : m_fit(fit), m_points(points), m_c(std::move(controls)), m_hooks(std::move(hooks)),
      m_typesetMessages(typesetMessages)
{
}

bool PointSeriesPanel::active() const
{
    return m_c.Check1 && m_c.Check1->isChecked();
}

void PointSeriesPanel::showPanel(bool visible)
{
    for (QWidget *w : m_c.panel)
        w->setVisible(visible);
}

void InitPointGrid(QTableWidget &grid)
{
    for (int r = 0; r < grid.rowCount(); ++r)
        for (int c = 0; c < grid.columnCount(); ++c)
            grid.setItem(r, c, new QTableWidgetItem());
    grid.item(0, 0)->setText(QStringLiteral("X"));
    grid.item(0, 1)->setText(QStringLiteral("Y"));
}

void PointSeriesPanel::InitPointGrid() { linoveta::InitPointGrid(*m_c.MSFlexGrid1); }

void PointSeriesPanel::DrawPointSeries()
{
    if (!active())
        return;
    InitPointGrid();
    if (m_hooks.graphFunctions)
        m_hooks.graphFunctions();
    const int count = m_fit.XYCount();
    if (count == 0)
        return;

    DrawPointSeriesOn(m_hooks.plot(), m_fit, m_points, m_hooks.span(), m_hooks.style());

    // One blank row always follows the last point.
    QTableWidget *grid = m_c.MSFlexGrid1;
    grid->setRowCount(count + 2);
    const QLocale locale;
    for (int r = 1; r <= count + 1; ++r) {
        for (int c = 0; c < 2; ++c) {
            QString text;
            if (r <= count)
                text = LocaleNumberText(c == 0 ? m_points(r).X : m_points(r).Y, locale);
            grid->setItem(r, c, new QTableWidgetItem(text));
        }
    }
    FitPointGridColumns(*grid);
    grid->setFocus(Qt::OtherFocusReason);
    grid->scrollToBottom();
}

void PointSeriesPanel::ClearPointSeries()
{
    m_fit.Degree(m_fit.Degree());
    DrawPointSeries();
    m_c.MSFlexGrid1->setRowCount(2);
    InitPointGrid();
    FitPointGridColumns(*m_c.MSFlexGrid1);
    if (m_hooks.graphFunctions)
        m_hooks.graphFunctions();
}

void PointSeriesPanel::entered(PointEntry result)
{
    if (result == PointEntry::Added) {
        DrawPointSeries();
        return;
    }
    if (m_hooks.message)
        m_hooks.message(PointEntryMessage(result));
}

void PointSeriesPanel::Command4_Click()
{
    // The boxes keep their text.
    entered(AddTypedPoint(m_fit, m_points, m_c.Text2->text(), m_c.Text3->text()));
}

void PointSeriesPanel::AddClickedPoint(float x, float y)
{
    entered(linoveta::AddClickedPoint(m_fit, m_points, x, y));
}

void PointSeriesPanel::refit(int degree)
{
    Refit(m_fit, m_points, degree);
    DrawPointSeries();
}

void PointSeriesPanel::Command1_Click()
{
    refit(1);
}

void PointSeriesPanel::Command3_Click()
{
    refit(TrendDegree(false, m_c.Combo1->currentText()));
}

void PointSeriesPanel::Combo1_Click()
{
    // With "Linear" selected the order waits until "Polynomial" is chosen.
    if (!m_c.Command1->isChecked())
        refit(TrendDegree(false, m_c.Combo1->currentText()));
}

void PointSeriesPanel::Command5_Click()
{
    m_regEquationText = QString::fromStdString(m_fit.ReturnRegEq());
    closeEquationWindow();
    m_equationWindow =
        frmExplain::ShowEquation(m_regEquationText, m_c.Command1->isChecked(), m_typesetMessages);
}

void PointSeriesPanel::closeEquationWindow()
{
    if (m_equationWindow)
        m_equationWindow->close();
}

} // namespace linoveta
