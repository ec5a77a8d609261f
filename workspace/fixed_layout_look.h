#pragma once
// Fonts and colours of the windows laid out at fixed twips. Their text must fit the rectangles
// the layout gives it whatever the desktop's font, so their controls use the bundled fonts at
// fixed sizes; and text drawn on a background the program fixes (the wood, the pictures, the
// area box) gets a fixed colour to match, whatever the desktop's palette.

#include "typeset/surface.h"

#include <QFont>
#include <QString>

class QWidget;

namespace linoveta {

// Twips of a fixed layout to screen pixels, 15 twips to the pixel, rounded to the nearest.
constexpr int twips(int value) { return (value * 2 + 15) / 30; }

// The design font of the fixed layouts, for every control that names no font of its own.
inline constexpr char kLayoutFontName[] = "MS Sans Serif";
inline constexpr double kLayoutFontPoints = 8.25;

// `name` at `points`, sized in pixels at the layouts' 15 twips per pixel (20 twips per point),
// so that neither the desktop's font nor its dots per inch change it.
QFont LayoutFont(const QString &name, double points, bool bold = false);

// Gives `widget` and the controls inside it the design font. Child windows (message boxes,
// menus, pop-ups) and tool tips keep the desktop's font.
void UseLayoutFont(QWidget &widget);

// Text of `widget` and the controls inside it in `text` (labels, frame captions, option
// captions: the palette's window text), for text drawn straight on a fixed background.
void FixWindowText(QWidget &widget, RgbValue text);

// Background and text of a box or list: `background` behind its entries, `text` for them.
void FixBoxColours(QWidget &widget, RgbValue background, RgbValue text);

// A panel the program paints itself: `background` filled behind its controls, `text` for
// their window text.
void FixPanelColours(QWidget &widget, RgbValue background, RgbValue text);

} // namespace linoveta
