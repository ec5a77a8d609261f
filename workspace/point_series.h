#pragma once
// The plain logic of point-series mode: the list of entered points kept equal to the fit, the
// checks every entry passes (typed, clicked or read from a document), the re-fit on a change of
// trend, and the drawing of the points and the fitted curve on a surface.

#include "typeset/surface.h"
#include "workspace/locale_numbers.h"
#include "workspace/regression_object.h"

#include <QLocale>
#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace linoveta {

struct PointXY {
    double X = 0;
    double Y = 0;
};

// Entries 1..500 in entry order; only 1..XYCount of the fit are valid, later ones are stale.
class PointList
{
public:
    static constexpr int kCapacity = 500;

    // Both spellings of an entry: PointList(k) and PointList[k].
    PointXY &operator[](int index) { return (*this)(index); }
    const PointXY &operator[](int index) const { return (*this)(index); }
    PointXY &operator()(int index) { return m_entries.at(static_cast<std::size_t>(index)); }
    const PointXY &operator()(int index) const
    {
        return m_entries.at(static_cast<std::size_t>(index));
    }

private:
    std::array<PointXY, kCapacity + 1> m_entries{};
};

enum class PointEntry { Added, NotNumbers, ListFull, TooLarge };

inline constexpr const char *kPointsNotNumbersMessage = "X and Y must be numbers.";
inline constexpr const char *kPointListFullMessage =
    "The point series is full: it holds at most 500 points.";
inline constexpr const char *kPointTooLargeMessage =
    "The point is too large for the regression: its powers would overflow.";

// The message for a refused entry; empty for Added.
QString PointEntryMessage(PointEntry result);

// Whether the point's powers up to the highest order offered (x^20 and x^10 * y), summed over a
// full list, stay finite, so no re-fit at any order can overflow.
bool PointFitsEveryOrder(double x, double y);

// The one way a point enters the series: refused when the list is full or the point too large,
// otherwise added to the fit and stored at PointList(XYCount).
PointEntry AddPoint(RegressionObject &fit, PointList &points, double x, double y);

// Insert: both texts must pass the locale's numeric test and are read by the same rule.
PointEntry AddTypedPoint(RegressionObject &fit, PointList &points, const QString &xText,
                         const QString &yText, const QLocale &locale = QLocale());

// A click on the plot adds the point under the mouse rounded to whole numbers.
PointEntry AddClickedPoint(RegressionObject &fit, PointList &points, float x, float y);

// The degree of a trend choice: 1 for Linear, else the whole number of the order list's text.
int TrendDegree(bool linear, const QString &orderText);

// Sets the degree (which empties the fit) and re-adds PointList(1..XYCount) in order.
void Refit(RegressionObject &fit, PointList &points, int degree);

struct PointSeriesStyle {
    RgbValue lineColour = 255;        // Picture1(5)
    RgbValue pointColour = 0xFF0000;  // Picture1(6)
    int drawWidth = 1;                // Slider1
    int fillStyle = FillSolid;        // the plot's fill style
};

struct PlotSpan {
    double scaleLeft = -20;
    double xMin = -20;
    double xMax = 20;
    double xStep = 0.05;
};

// The fitted curve sampled from xMin to xMax and a filled circle of radius 0.2 round every point;
// nothing when the series is empty. Statements that cannot be drawn are skipped.
void DrawPointSeriesOn(Surface &surface, RegressionObject &fit, const PointList &points,
                       const PlotSpan &span, const PointSeriesStyle &style);

} // namespace linoveta
