#include "workspace/point_series.h"

#include "engine/rounding.h"

#include <cmath>

namespace linoveta {

namespace {

// The highest polynomial order the trend list offers.
constexpr int kHighestOrder = 10;

} // namespace

QString PointEntryMessage(PointEntry result)
{
    switch (result) {
    case PointEntry::Added:
        return {};
    case PointEntry::NotNumbers:
        return QString::fromLatin1(kPointsNotNumbersMessage);
    case PointEntry::ListFull:
        return QString::fromLatin1(kPointListFullMessage);
    case PointEntry::TooLarge:
        return QString::fromLatin1(kPointTooLargeMessage);
    }
    return {};
}

bool PointFitsEveryOrder(double x, double y)
{
    if (!std::isfinite(x) || !std::isfinite(y))
        return false;
    const double count = PointList::kCapacity;
    const double ax = std::fabs(x), ay = std::fabs(y);
    double p = 1;
    for (int k = 0; k <= 2 * kHighestOrder; ++k) {
        if (!std::isfinite(p * count))
            return false;
        if (k <= kHighestOrder && !std::isfinite(p * ay * count))
            return false;
        p *= ax;
    }
    return true;
}

PointEntry AddPoint(RegressionObject &fit, PointList &points, double x, double y)
{
    if (fit.XYCount() >= PointList::kCapacity)
        return PointEntry::ListFull;
    if (!PointFitsEveryOrder(x, y))
        return PointEntry::TooLarge;
    try {
        fit.XYAdd(x, y);
    } catch (const RegressionError &) {
        return PointEntry::TooLarge;
    }
    points(fit.XYCount()) = {x, y};
    return PointEntry::Added;
}

PointEntry AddTypedPoint(RegressionObject &fit, PointList &points, const QString &xText,
                         const QString &yText, const QLocale &locale)
{
    const std::optional<double> x = ParseLocaleNumber(xText, locale);
    const std::optional<double> y = ParseLocaleNumber(yText, locale);
    if (!x || !y)
        return PointEntry::NotNumbers;
    return AddPoint(fit, points, *x, *y);
}

PointEntry AddClickedPoint(RegressionObject &fit, PointList &points, float x, float y)
{
    return AddPoint(fit, points, Round(x, 0), Round(y, 0));
}

int TrendDegree(bool linear, const QString &orderText)
{
    if (linear)
        return 1;
    bool ok = false;
    const int order = orderText.trimmed().toInt(&ok);
    return ok ? order : 2;
}

void Refit(RegressionObject &fit, PointList &points, int degree)
{
    const int count = fit.XYCount();
    std::vector<PointXY> kept;
    kept.reserve(static_cast<std::size_t>(count));
    for (int j = 1; j <= count; ++j)
        kept.push_back(points(j));
    fit.Degree(degree);
    // Every stored point passed the entry check for the highest order, so none is refused here.
    for (const PointXY &p : kept) {
        fit.XYAdd(p.X, p.Y);
        points(fit.XYCount()) = p;
    }
}

void DrawPointSeriesOn(Surface &surface, RegressionObject &fit, const PointList &points,
                       const PlotSpan &span, const PointSeriesStyle &style)
{
    const int count = fit.XYCount();
    if (count == 0)
        return;

    // The surface takes single precision, as the old drawing calls did.
    const auto drawable = [](double v) { return std::isfinite(static_cast<float>(v)); };
    surface.setDrawWidth(style.drawWidth);
    const double startY = fit.RegVal(span.scaleLeft);
    if (drawable(startY)) {
        surface.setCurrentX(static_cast<float>(span.scaleLeft));
        surface.setCurrentY(static_cast<float>(startY));
    }
    for (double x = span.xMin; x <= span.xMax; x += span.xStep) {
        const double y = fit.RegVal(x);
        if (drawable(x) && drawable(y))
            surface.line(surface.currentX(), surface.currentY(), static_cast<float>(x),
                         static_cast<float>(y), style.lineColour);
        if (!(span.xStep > 0) || x + span.xStep == x)
            break; // a step that cannot move x would never end the loop
    }

    surface.setFillColor(style.pointColour);
    surface.setFillStyle(style.fillStyle);
    for (int i = 1; i <= count; ++i) {
        const PointXY &p = points(i);
        if (drawable(p.X) && drawable(p.Y))
            surface.circle(static_cast<float>(p.X), static_cast<float>(p.Y), 0.2f,
                           style.pointColour);
    }
}

} // namespace linoveta
