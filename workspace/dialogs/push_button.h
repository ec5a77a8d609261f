#pragma once
// The program's buttons. Enter presses a focused button as Space does, without the dialog's
// default-button rules (which would also make Enter in a text box press some button); a
// picture button marks its focus around its picture, where a user looks.

#include <QPushButton>

namespace linoveta {

class PushButton : public QPushButton
{
public:
    explicit PushButton(const QString &caption, QWidget *parent = nullptr);
    explicit PushButton(QWidget *parent = nullptr) : PushButton(QString(), parent) {}

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

// A button that shows only a picture (its icon).
class PictureButton : public PushButton
{
public:
    explicit PictureButton(QWidget *parent = nullptr) : PushButton(parent) {}

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace linoveta
