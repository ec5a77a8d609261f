#pragma once
// Paper(i): a formula box. It has no caret and no text of its own; the main window typesets the
// line's display form into its persistent picture after every key. Keys and focus changes are
// handed on as the old events: KeyDown with the window key code, KeyPress with the character.

#include "workspace/surface_widget.h"

#include <QWidget>

namespace linoveta {

class FormulaBox : public SurfaceWidget
{
    Q_OBJECT
public:
    explicit FormulaBox(int index, QWidget *parent = nullptr);

    int index() const { return m_index; }

    // Shift state bits of the old events: 1 Shift, 2 Ctrl, 4 Alt.
    static int shiftState(Qt::KeyboardModifiers modifiers);
    // The old window key code of a Qt key (33..40 for the navigation keys), or 0.
    static int windowKeyCode(int qtKey);

signals:
    void gotFocus(int index);
    void lostFocus(int index);
    void keyDown(int index, int keyCode, int shift);
    void keyPress(int index, int keyAscii);
    // The picture was kept at another pixel ratio than its display's and has been emptied
    // at the new one: the owner draws it again.
    void pictureRatioChanged(int index);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    // Empties the picture at the new ratio and asks the owner to draw it again.
    void displayRatioChanged() override;
    int m_index;
};

} // namespace linoveta
