#include "workspace/menu_mark_style.h"

#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionMenuItem>

#include <algorithm>

namespace linoveta {

void MenuMarkStyle::drawControl(ControlElement element, const QStyleOption *option,
                                QPainter *painter, const QWidget *widget) const
{
    const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
    if (element != CE_MenuItem || !item || item->checkType != QStyleOptionMenuItem::NonExclusive) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    // The item as a plain one (its text keeps the room of the check column), then the mark.
    QStyleOptionMenuItem plain(*item);
    plain.checkType = QStyleOptionMenuItem::NotCheckable;
    plain.checked = false;
    QProxyStyle::drawControl(element, &plain, painter, widget);
    if (!item->checked)
        return;

    const QRect row = item->rect;
    const double unit = row.height() / 24.0;
    const QPointF centre(row.left() + 4 + std::max(item->maxIconWidth, 20) / 2.0, row.center().y() + 0.5);
    QPainterPath tick;
    tick.moveTo(centre + QPointF(-4.5, 0.0) * unit);
    tick.lineTo(centre + QPointF(-1.5, 3.5) * unit);
    tick.lineTo(centre + QPointF(4.5, -4.0) * unit);
    const bool selected = item->state & State_Selected;
    const bool enabled = item->state & State_Enabled;
    const QPalette::ColorGroup group = enabled ? QPalette::Normal : QPalette::Disabled;
    const QColor colour = item->palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->setPen(QPen(colour, 2.0 * unit, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter->setBrush(Qt::NoBrush);
    painter->drawPath(tick);
    painter->restore();
}

} // namespace linoveta
