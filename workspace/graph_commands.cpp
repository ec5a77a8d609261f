#include "workspace/graph_commands.h"

#include "engine/rounding.h"
#include "workspace/flood_fill.h"
#include "typeset/image_surface.h"
#include "workspace/program.h"
#include "workspace/regression_object.h"

#include <QApplication>
#include <QHeaderView>
#include <QStyle>
#include <QTreeWidget>

#include <algorithm>
#include <cmath>

namespace linoveta {

GraphCommands::GraphCommands(GraphCommandsHost& window)
    : m_main(window),
      m_evaluator(m_calc, [this] { m_calc.PreCalcFX(m_main.hostProgram().engine.tables); }),
      m_plotter(window.hostProgram().graph, window.plotSurface(), m_evaluator, window.plotBreaks()),
      m_view(window.hostProgram().graph, window.plotSurface())
{
    ImageSurface& surface = window.plotSurface();
    surface.setFloodFiller(FloodFill);
    m_plotter.setBusy = [](bool busy) {
        if (busy)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    };
    m_view.formPaint = [this] { formPaint(); };
    m_view.pointSeriesMode = [this] { return m_main.plotControls().pointSeriesMode; };
    m_view.drawPointSeries = [this] { m_main.drawPointSeries(); };
    m_view.refresh = [this] { m_main.repaintPlot(); };
    m_view.message = [this](const std::string& text) {
        m_main.showPlotMessage(QString::fromStdString(text));
    };
    m_view.scaleChanged = [this] { placeCoordinateList(); };
}

PlotControls GraphCommands::controls() const
{
    PlotControls c = m_main.plotControls();
    c.lastFunction = m_main.hostProgram().engine.tables.LastFunction;
    return c;
}

void GraphCommands::formPaint()
{
    Program& program = m_main.hostProgram();
    ShadeBand band;
    band.ShadeOn = program.ShadeOn;
    band.ShadeFrom = program.ShadeFrom;
    band.ShadeTo = program.ShadeTo;
    band.CurrentFunction = program.engine.tables.CurrentFunction;
    m_plotter.formPaint(controls(), band);
    fillCoordinateList();
    m_main.updatePlot();
}

void GraphCommands::fillCoordinateList()
{
    // Most redraws list the same points again: the rows there are get the new texts (a row
    // whose text and colour stay is left alone), only the difference is added or removed.
    QTreeWidget* list = &m_main.coordinateList();
    const std::vector<CoordinateEntry>& entries = m_plotter.coordinates();
    const int wanted = static_cast<int>(entries.size());
    list->setUpdatesEnabled(false);
    while (list->topLevelItemCount() > wanted)
        delete list->takeTopLevelItem(list->topLevelItemCount() - 1);
    const int kept = list->topLevelItemCount();
    for (int i = 0; i < kept; ++i) {
        QTreeWidgetItem* item = list->topLevelItem(i);
        const CoordinateEntry& entry = entries[static_cast<std::size_t>(i)];
        const QString text = QString::fromStdString(entry.text);
        if (item->text(0) != text)
            item->setText(0, text);
        const QBrush colour(colourFromRgbValue(entry.colour));
        if (item->foreground(0) != colour)
            item->setForeground(0, colour);
    }
    QList<QTreeWidgetItem*> items;
    items.reserve(wanted - kept);
    for (int i = kept; i < wanted; ++i) {
        const CoordinateEntry& entry = entries[static_cast<std::size_t>(i)];
        auto* item = new QTreeWidgetItem({QString::fromStdString(entry.text)});
        item->setForeground(0, colourFromRgbValue(entry.colour));
        items.append(item);
    }
    list->addTopLevelItems(items);
    // The list widens to its longest entry, never past the plot it sits on.
    const int width = std::min(CoordinateListWidth(*list), list->parentWidget()->width());
    if (width != list->width()) {
        list->resize(width, list->height());
        placeCoordinateList();
    }
    list->setUpdatesEnabled(true);
}

int CoordinateListWidth(const QTreeWidget& list)
{
    const QStyle* style = list.style();
    // An item view keeps the focus frame's margin and one pixel on either side of a text.
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &list) + 1;
    // The view cuts a text whose laid-out width, a fraction of a pixel, exceeds the room.
    const QFontMetricsF metrics(list.font());
    qreal text = 0;
    for (int i = 0; i < list.topLevelItemCount(); ++i)
        text = std::max(text, metrics.horizontalAdvance(list.topLevelItem(i)->text(0)));
    const int column = std::max(static_cast<int>(std::ceil(text)) + 2 * margin,
                                list.header()->sectionSizeHint(0));
    return column + style->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &list)
        + 2 * list.frameWidth();
}

void GraphCommands::placeCoordinateList()
{
    QTreeWidget* list = &m_main.coordinateList();
    const QRectF r = m_view.CoordinateListRect(list->width());
    list->setGeometry(r.toRect());
}

void GraphCommands::focusCurrentBox()
{
    if (m_main.plotControls().pointSeriesMode)
        return;
    m_main.focusCurrentFormula();
}

void GraphCommands::mnuGraphIt_Click() { m_view.CommandRedraw(); }

void GraphCommands::GraphFunctions() { m_view.GraphFunctions(); }

void GraphCommands::AutoFitGraph()
{
    const FormulaTables& t = m_main.hostProgram().engine.tables;
    bool anyScript = false;
    for (int i = 0; i <= 5; ++i)
        anyScript = anyScript || !char2str_expr(t, i).empty();
    m_view.AutoFit(anyScript);
}

void GraphCommands::ZoomIn() { m_view.ZoomIn(); }

void GraphCommands::ZoomOut() { m_view.ZoomOut(); }

// Only the two zoom buttons beside the plot hand the focus back to the formula; the menu, the
// toolbar and the pop-up leave it where it was.
void GraphCommands::Command2_Click()
{
    ZoomIn();
    focusCurrentBox();
}

void GraphCommands::Command6_Click()
{
    ZoomOut();
    focusCurrentBox();
}

void GraphCommands::mnuGraphReset_Click() { m_view.Reset(); }

void GraphCommands::frmGraph_KeyDown(int keyCode) { m_view.KeyDown(keyCode); }

void GraphCommands::frmGraph_MouseDown(int button, float x, float y)
{
    const bool left = (button & 1) != 0;
    if (!left) {
        m_main.showGraphWindowMenu();
        return;
    }
    if (!m_main.plotControls().pointSeriesMode) {
        m_view.DragStart(x, y);
        return;
    }
    // A clicked point goes through the same entry checks as a typed one (the list's bound, powers
    // that stay finite), so the fit and the list never disagree.
    m_main.addClickedPoint(x, y);
}

void GraphCommands::frmGraph_MouseMove(float x, float y)
{
    const GraphWindow& w = m_main.hostProgram().graph;
    m_main.showCoordinateReadout(CoordinateReadout(x, y, w.CoordDecimals));
    if (m_view.dragging()) {
        m_view.DragMove(x, y);
        m_main.updatePlot();
    }
}

void GraphCommands::frmGraph_MouseUp() { m_view.DragEnd(); }

} // namespace linoveta
