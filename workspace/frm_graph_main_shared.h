#pragma once
// The main window's dimensions in twips, its default colours and the conversion of a twips
// rectangle, shared by the files that build the window and run its commands.

#include "workspace/fixed_layout_look.h"
#include "workspace/frm_graph_main.h"

#include <QRect>

#include <array>

namespace linoveta::main_window {

inline constexpr int kClientWidth = 11400;
inline constexpr int kClientHeight = 7065;
inline constexpr int kRowStep = 840;
inline constexpr int kBlinkerLeft = 4680;
inline constexpr int kBlinkerStartTop = 1700;
inline constexpr RgbValue kWhite = 0xFFFFFF;
inline constexpr RgbValue kBlack = 0;
inline constexpr RgbValue kFocusYellow = 0x80FFFF;
inline constexpr std::array<RgbValue, 7> kDefaultSwatchColours = {
    255, 0xFF0000, 0xC000, 0xFF00FF, 0x80FF, 255, 0xFF0000};
inline constexpr RgbValue kDefaultGridColour = 16766596;   // &HFFD684
inline constexpr RgbValue kDefaultShadeColour = 14737632;  // &HE0E0E0
inline constexpr int kFormulaLinesShown = 5;

inline QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(twips(left), twips(top), twips(width), twips(height));
}
} // namespace linoveta::main_window
