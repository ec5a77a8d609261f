#pragma once

#include "engine/number_text.h"
#include "workspace/locale_numbers.h"

#include <QLocale>
#include <QString>

#include <algorithm>
#include <cstddef>
#include <functional>
#include <optional>

namespace linoveta {

// The area box's text: the value's number text (15 significant digits), then shown with at
// least two and at most four decimals (halves away from zero on the decimal digits) and the
// locale's decimal separator. Never "-0.00".
QString FormatArea(double value, const QLocale &locale = QLocale());

// The Riemann sum behind Calculate Area: one term f(x)*dx per point min, min+dx, ... up to max,
// plus the end term f(max)*dx when rounding left the counter at or below max.
class AreaSum
{
public:
    // f(x) for the chosen line; a failed evaluation is 0.
    using Function = std::function<double(double)>;
    // The same for many x at once: ys[i] = f(xs[i]) for i < n. The sum hands it its points
    // in groups, so that one call evaluates many terms.
    using Values = std::function<void(const double *xs, double *ys, std::size_t n)>;

    // Far above any range the 7-character boxes can describe at a sensible step, and still a
    // few seconds of evaluation at most.
    static constexpr double kMaxTerms = 20'000'000;

    struct Result
    {
        QString message;  // empty on success
        double area = 0;
        QString text;     // the area box's new text on success
    };

    static const QString kMinNotNumber;
    static const QString kMaxNotNumber;
    static const QString kDxNotNumber;
    static const QString kMaxBelowMin;
    static const QString kDxTooSmall;
    static const QString kTooManySteps;
    static const QString kAreaOverflow;

    // Checks the three boxes in order; the first failure is returned as the message and nothing
    // is evaluated. `prepare` runs once before the first term.
    static Result Calculate(const QString &min_text, const QString &max_text,
                            const QString &dx_text, const QLocale &locale, const Values &f,
                            const std::function<void()> &prepare = {});

    // kDxTooSmall or kTooManySteps when the sum would not end or would run too long.
    static QString CheckStep(double min, double max, double dx);

    // The sum itself over already checked numbers; the message is set only for a step that
    // would never end or an area that overflows.
    static Result Sum(double min, double max, double dx, const Function &f,
                      const QLocale &locale = QLocale());
    static Result Sum(double min, double max, double dx, const Values &f,
                      const QLocale &locale = QLocale());

    // The same for any callable of many x (a Values), inlined into the loop.
    template <typename V>
    static Result SumOf(double min, double max, double dx, V &&values,
                        const QLocale &locale = QLocale());

    // Points per call of a Values.
    static constexpr std::size_t kGroup = 256;

private:
    static Result Finish(double area, const QLocale &locale);
};

template <typename V>
AreaSum::Result AreaSum::SumOf(double min, double max, double dx, V &&values, const QLocale &locale)
{
    if (const QString refused = CheckStep(min, max, dx); !refused.isEmpty())
        return {refused, 0, {}};

    // Counted by repeated addition: the number of terms and the last point depend on it. The
    // points are collected a group at a time; the terms are added in order as before.
    double area = 0;
    double x = min;
    // The guard against a sum that runs away: at most kMaxTerms + 3 terms.
    auto termsLeft = static_cast<std::size_t>(kMaxTerms) + 3;
    double xs[kGroup];
    double ys[kGroup];
    for (;;) {
        const std::size_t room = std::min(kGroup, termsLeft);
        std::size_t n = 0;
        if (dx >= 0) {
            for (; n < room && x <= max; ++n, x += dx)
                xs[n] = x;
        } else {
            for (; n < room && x >= max; ++n, x += dx)
                xs[n] = x;
        }
        termsLeft -= n;
        if (n == 0)
            break;
        values(static_cast<const double *>(xs), static_cast<double *>(ys), n);
        for (std::size_t i = 0; i < n; ++i)
            area += ys[i] * dx;
    }
    // The counter may stop just past max by rounding; its 15-digit text decides.
    if (!(NumberTextValue(x) > max)) {
        double last = 0;
        values(&max, &last, std::size_t{1});
        area += last * dx;
    }
    return Finish(area, locale);
}

} // namespace linoveta
