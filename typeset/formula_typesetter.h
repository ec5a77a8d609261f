#pragma once

#include "typeset/surface.h"

#include <QString>

#include <functional>
#include <utility>

// The message shown when a formula line cannot be typeset.
inline const char kFormulaErrorMessage[] = "An error occurred while displaying information.";

// Where the typesetter's error message goes, handed to every typesetting call. The program
// owns one and routes it to its message boxes; tests collect the messages. Unrouted, a
// message only goes to the log.
class FormulaMessageSink
{
public:
    using Route = std::function<void(const QString &message)>;

    void setRoute(Route route) { m_route = std::move(route); }
    void show(const QString &message) const;

private:
    Route m_route;
};

// Screen: typesets one line of display mark-up at the target's print position, in the
// target's font (TalvoranFont, size 12, pixel scale). Callers clear the target and set its
// ForeColor first. wrap breaks the line at the target's right edge.
namespace basFprint {
void PrintFormula(const QString &text, Surface &target, const FormulaMessageSink &messages,
                  bool wrap = false);
}

// Printer: a landscape page of 800 x 600 units in TalvoranFont 12. colour is the decimal
// text of the line's RGB value, used when colourOn. Breaks lines at x 765 and pages below 560.
namespace basFPrint3 {
void PrintFormula(const QString &text, Surface &target, const FormulaMessageSink &messages,
                  bool colourOn, const QString &colour);
}

// Regression window: the target is the window's surface in points, font "Book Antiqua"
// 12 bold; everything is drawn in blue.
namespace basFPrint2 {
void PrintFormula(const QString &text, Surface &target, const FormulaMessageSink &messages);
}
