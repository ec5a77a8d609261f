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

// A fixed background, the same in every state, under text fixed to match it.
QPalette fixedColours(const QWidget &widget, QPalette::ColorRole backRole, RgbValue background,
                      QPalette::ColorRole textRole, RgbValue text)
{
    QPalette palette = widget.palette();
    palette.setColor(backRole, colourFromRgbValue(background));
    setEnabledColour(palette, textRole, text);
    return palette;
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
    widget.setPalette(fixedColours(widget, QPalette::Base, background, QPalette::Text, text));
}

void FixPanelColours(QWidget &widget, RgbValue background, RgbValue text)
{
    widget.setPalette(
        fixedColours(widget, QPalette::Window, background, QPalette::WindowText, text));
    widget.setAutoFillBackground(true);
}

} // namespace linoveta
