#include "workspace/formula_box.h"

#include "typeset/surface_view.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace linoveta {

FormulaBox::FormulaBox(int index, QWidget *parent)
    : SurfaceWidget(QSize(1, 1), parent), m_index(index)
{
    setFocusPolicy(Qt::StrongFocus);
    setToolTip(QStringLiteral("Click in the box to enter data."));
    surface().setFontName(QStringLiteral("TalvoranFont"));
    surface().setFontSize(12);
}

int FormulaBox::shiftState(Qt::KeyboardModifiers modifiers)
{
    int shift = 0;
    if (modifiers & Qt::ShiftModifier)
        shift |= 1;
    if (modifiers & Qt::ControlModifier)
        shift |= 2;
    if (modifiers & Qt::AltModifier)
        shift |= 4;
    return shift;
}

int FormulaBox::windowKeyCode(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    default: return 0;
    }
}

void FormulaBox::resizeEvent(QResizeEvent *)
{
    surface().resize(size(), PictureRatio(*this));
    surface().setScaleMode(ScaleMode::Pixels);
}

void FormulaBox::displayRatioChanged()
{
    surface().resize(size(), PictureRatio(*this));
    surface().cls();
    emit pictureRatioChanged(m_index);
}

void FormulaBox::keyPressEvent(QKeyEvent *event)
{
    const int code = windowKeyCode(event->key());
    if (code != 0) {
        emit keyDown(m_index, code, shiftState(event->modifiers()));
        return;
    }
    // Character keys: Backspace is 8 and Enter 13, as the key handler expects.
    int ascii = 0;
    if (event->key() == Qt::Key_Backspace)
        ascii = 8;
    else if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        ascii = 13;
    else if (!(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        const QString text = event->text();
        if (text.size() == 1 && text.at(0).unicode() >= 32 && text.at(0).unicode() < 127)
            ascii = text.at(0).unicode();
    }
    if (ascii != 0) {
        emit keyPress(m_index, ascii);
        return;
    }
    QWidget::keyPressEvent(event);
}

void FormulaBox::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    emit gotFocus(m_index);
}

void FormulaBox::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    // Opening a menu or a pop-up keeps the box current and yellow.
    if (event->reason() != Qt::PopupFocusReason)
        emit lostFocus(m_index);
}

void FormulaBox::mousePressEvent(QMouseEvent *event)
{
    setFocus(Qt::MouseFocusReason);
    QWidget::mousePressEvent(event);
}

} // namespace linoveta
