#pragma once

#include <QLocale>
#include <QString>

#include <functional>
#include <optional>

namespace linoveta {

// A number typed by the user: the locale's numeric test and the value it accepted, read by the
// same rule so that an accepted entry never reads as something else. Non-finite texts
// ("inf", "nan") are not numbers.
std::optional<double> ParseTypedNumber(const QString &text, const QLocale &locale);

// The area box's text: the value rounded to 15 significant digits, then shown with at least two
// and at most four decimals (halves away from zero on the decimal digits) and the given decimal
// separator. Never "-0.00".
QString FormatArea(double value, QChar decimal_point = QLatin1Char('.'));

// The Riemann sum behind Calculate Area: one term f(x)*dx per point min, min+dx, ... up to max,
// plus the end term f(max)*dx when rounding left the counter at or below max.
class AreaSum
{
public:
    // f(x) for the chosen line; a failed evaluation is 0.
    using Function = std::function<double(double)>;

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
                            const QString &dx_text, const QLocale &locale, const Function &f,
                            const std::function<void()> &prepare = {});

    // kDxTooSmall or kTooManySteps when the sum would not end or would run too long.
    static QString CheckStep(double min, double max, double dx);

    // The sum itself over already checked numbers; the message is set only for a step that
    // would never end or an area that overflows.
    static Result Sum(double min, double max, double dx, const Function &f,
                      QChar decimal_point = QLatin1Char('.'));
};

// The number-to-text round trip at 15 significant digits, "." as decimal point.
double RoundTo15Digits(double value);

} // namespace linoveta
