#include "workspace/fixed_layout_look.h"

#include <QPalette>
#include <QWidget>

#include <cmath>

namespace linoveta {

namespace {

// Every state but disabled: a disabled control keeps the palette's own faint text.
void setEnabledColour(QPalette &palette, QPalette::ColorRole role, RgbValue colour)
{
    const QColor c = colourFromRgbValue(colour);
    palette.setColor(QPalette::Active, role, c);
    palette.setColor(QPalette::Inactive, role, c);
}

} // namespace

QFont LayoutFont(const QString &name, double points, bool bold)
{
    QFont font(name);
    font.setPixelSize(static_cast<int>(std::lround(points * kTwipsPerPoint / kTwipsPerPixel)));
    font.setBold(bold);
    return font;
}

void UseLayoutFont(QWidget &widget)
{
    widget.setFont(LayoutFont(QString::fromLatin1(kLayoutFontName), kLayoutFontPoints));
}

void FixWindowText(QWidget &widget, RgbValue text)
{
    QPalette palette = widget.palette();
    setEnabledColour(palette, QPalette::WindowText, text);
    widget.setPalette(palette);
}

void FixBoxColours(QWidget &widget, RgbValue background, RgbValue text)
{
    QPalette palette = widget.palette();
    const QColor back = colourFromRgbValue(background);
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, QPalette::Base, back);
    setEnabledColour(palette, QPalette::Text, text);
    widget.setPalette(palette);
}

void FixPanelColours(QWidget &widget, RgbValue background, RgbValue text)
{
    QPalette palette = widget.palette();
    const QColor back = colourFromRgbValue(background);
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, QPalette::Window, back);
    setEnabledColour(palette, QPalette::WindowText, text);
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

} // namespace linoveta
