// What the formula typesetter can show: the sizes of its tables, and the display text of a
// line as the formula boxes receive it. The key handler refuses a key whose line the
// typesetter could not show.
#pragma once

#include <string>
#include <string_view>

namespace linoveta {

// Characters of a line once "S", "C" and "T" are spelled out as "sin", "cos" and "tan".
inline constexpr int kTypesetLineChars = 3000;
// Characters of one exponent or root group, and of a fraction part on the screen.
inline constexpr int kTypesetGroupChars = 250;
// Characters of a numerator or denominator on the printer and in the regression window.
inline constexpr int kTypesetFractionPartChars = 50;

// Whether every back end typesets the mark-up without its error: each group closed by its
// own mark as the typesetter reads them, and each within its table.
bool TypesetterCanShow(std::string_view text);

// The same for the screen's tables alone (formula boxes and dialog pictures), whose fraction
// parts hold as much as its other groups. A line past the printer's smaller fraction table
// is still a formula: printing it ends that line with the typesetter's message.
bool TypesetterCanShowOnScreen(std::string_view text);

// TypesetterCanShowOnScreen, and each group still open at the line's end keeps room for what
// finishing the line puts into it: an operand the last key waits for, the ")" of each "("
// and the "|" of an open bar. The key handler judges stored keys by this, so that a full
// group can always be closed.
bool TypesetterCanShowFinished(std::string_view text);

// The display text of a line as its cells hold it: the first 1001 characters of text (the
// marked cells 0..1000 joined). When that cut, or the cut after the 250th token (tokensCut),
// leaves groups open, they are closed there, innermost first; an uncut text is kept as is.
std::string ShownDisplayText(std::string text, bool tokensCut);

}  // namespace linoveta
