#pragma once
// The style of the window's menus: a checkable item shows a check mark when it is checked and
// nothing at all when it is not, instead of the box that some styles draw around both.

#include <QProxyStyle>

namespace linoveta {

class MenuMarkStyle : public QProxyStyle
{
    Q_OBJECT
public:
    using QProxyStyle::QProxyStyle;

    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget = nullptr) const override;
};

} // namespace linoveta
