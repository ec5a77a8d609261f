#include "workspace/dialogs/push_button.h"

#include <QKeyEvent>
#include <QStyleOptionButton>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

namespace linoveta {

PushButton::PushButton(const QString &caption, QWidget *parent) : QPushButton(caption, parent)
{
    // In a dialog the first auto-default button would become the default: Enter in a box
    // would press it.
    setAutoDefault(false);
}

void PushButton::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const Qt::KeyboardModifiers others = event->modifiers() & ~Qt::KeypadModifier;
    if (enter && others == Qt::NoModifier) {
        // A held key presses once, as a held Space does.
        if (!event->isAutoRepeat())
            click();
        event->accept();
        return;
    }
    QPushButton::keyPressEvent(event);
}

void PictureButton::paintEvent(QPaintEvent *event)
{
    PushButton::paintEvent(event);
    if (!hasFocus())
        return;
    // The style's focus mark on a button's rim is lost beside a picture; the mark goes around
    // the picture instead, where the style puts it on a captioned button.
    QStyleOptionButton button;
    initStyleOption(&button);
    QStyleOptionFocusRect focus;
    focus.QStyleOption::operator=(button);
    focus.rect = style()->subElementRect(QStyle::SE_PushButtonFocusRect, &button, this);
    focus.backgroundColor = palette().color(QPalette::Button);
    QStylePainter painter(this);
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
}

} // namespace linoveta
