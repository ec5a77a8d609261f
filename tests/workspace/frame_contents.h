#pragma once
// A check for dialogs laid out by fixed positions: the controls placed inside a frame must sit
// in its inner area, neither under its caption nor across its border.

#include <QGroupBox>
#include <QStringList>
#include <QWidget>

#include <string>

// Empty when all fit; otherwise one line per misplaced control.
inline std::string ControlsOutsideFrame(const QGroupBox &frame)
{
    QStringList outside;
    // The style keeps a margin of a few pixels between the border and the contents rectangle;
    // a control may use that margin, not the border or the caption above it.
    const QRect inner = frame.contentsRect().adjusted(-2, -2, 2, 2);
    const auto children = frame.findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    for (const QWidget *child : children) {
        if (child->isHidden() || inner.contains(child->geometry()))
            continue;
        const QRect g = child->geometry();
        outside << QStringLiteral("%1 \"%2\" at %3,%4 %5x%6 outside %7,%8 %9x%10")
                       .arg(QString::fromLatin1(child->metaObject()->className()),
                            child->property("text").toString())
                       .arg(g.x()).arg(g.y()).arg(g.width()).arg(g.height())
                       .arg(inner.x()).arg(inner.y()).arg(inner.width()).arg(inner.height());
    }
    return outside.join(QLatin1Char('\n')).toStdString();
}
