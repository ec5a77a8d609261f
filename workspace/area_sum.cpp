#include "workspace/area_sum.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace linoveta {

const QString AreaSum::kMinNotNumber = QStringLiteral("The minimum range of x must be a number.");
const QString AreaSum::kMaxNotNumber = QStringLiteral("The maximum range of x must be a number.");
const QString AreaSum::kDxNotNumber = QStringLiteral("The value of dx must be a number.");
const QString AreaSum::kMaxBelowMin = QStringLiteral(
    "The maximum range of x must be greater than or equal to the minimum range.");
const QString AreaSum::kDxTooSmall =
    QStringLiteral("The value of dx is too small to step through the range of x.");
const QString AreaSum::kTooManySteps = QStringLiteral(
    "The range of x holds too many steps of dx. Please use a larger dx or a smaller range.");
const QString AreaSum::kAreaOverflow =
    QStringLiteral("The area is too large to calculate.");

std::optional<double> ParseTypedNumber(const QString &text, const QLocale &locale)
{
    bool ok = false;
    const double value = locale.toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QString FormatArea(double value, QChar decimal_point)
{
    if (!std::isfinite(value))
        return {};
    // 15 significant digits as decimal text: "d.dddddddddddddde±x".
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.14e", value);
    const std::string text(buffer);
    const bool negative = text[0] == '-';
    const std::size_t start = negative ? 1 : 0;
    const std::size_t e = text.find('e');
    std::string digits;
    for (std::size_t i = start; i < e; ++i)
        if (text[i] != '.')
            digits += text[i];
    const int exponent = std::atoi(text.c_str() + e + 1);

    // Place the digits so that `whole` and `fraction` hold the exact decimal expansion.
    std::string whole;
    std::string fraction;
    const int point = exponent + 1;  // digits before the decimal point
    if (point <= 0) {
        whole = "0";
        fraction = std::string(static_cast<std::size_t>(-point), '0') + digits;
    } else if (point >= static_cast<int>(digits.size())) {
        whole = digits + std::string(static_cast<std::size_t>(point) - digits.size(), '0');
    } else {
        whole = digits.substr(0, static_cast<std::size_t>(point));
        fraction = digits.substr(static_cast<std::size_t>(point));
    }

    // Round to four decimals, halves away from zero, carrying into the whole part.
    fraction.resize(std::max<std::size_t>(fraction.size(), 5), '0');
    const bool round_up = fraction[4] >= '5';
    fraction.resize(4);
    if (round_up) {
        std::string all = whole + fraction;
        int i = static_cast<int>(all.size()) - 1;
        while (i >= 0 && all[static_cast<std::size_t>(i)] == '9')
            all[static_cast<std::size_t>(i--)] = '0';
        if (i < 0)
            all.insert(all.begin(), '1');
        else
            ++all[static_cast<std::size_t>(i)];
        whole = all.substr(0, all.size() - 4);
        fraction = all.substr(all.size() - 4);
    }
    while (fraction.size() > 2 && fraction.back() == '0')
        fraction.pop_back();

    const bool zero = whole.find_first_not_of('0') == std::string::npos
                      && fraction.find_first_not_of('0') == std::string::npos;
    QString result = QString::fromStdString(whole);
    result += decimal_point;
    result += QString::fromStdString(fraction);
    if (negative && !zero)
        result.prepend(QLatin1Char('-'));
    return result;
}

AreaSum::Result AreaSum::Calculate(const QString &min_text, const QString &max_text,
                                   const QString &dx_text, const QLocale &locale,
                                   const Values &f, const std::function<void()> &prepare)
{
    const auto min = ParseTypedNumber(min_text, locale);
    if (!min)
        return {kMinNotNumber, 0, {}};
    const auto max = ParseTypedNumber(max_text, locale);
    if (!max)
        return {kMaxNotNumber, 0, {}};
    const auto dx = ParseTypedNumber(dx_text, locale);
    if (!dx)
        return {kDxNotNumber, 0, {}};
    if (*min > *max)
        return {kMaxBelowMin, 0, {}};
    if (const QString refused = CheckStep(*min, *max, *dx); !refused.isEmpty())
        return {refused, 0, {}};
    if (prepare)
        prepare();
    return Sum(*min, *max, *dx, f, locale.decimalPoint().at(0));
}

QString AreaSum::CheckStep(double min, double max, double dx)
{
    // A step that leaves x where it is would never reach the end of the range.
    const double widest = std::max(std::fabs(min), std::fabs(max));
    if (!(dx != 0) || widest + std::fabs(dx) == widest)
        return kDxTooSmall;
    if (dx > 0 && (max - min) / dx + 1 > kMaxTerms)
        return kTooManySteps;
    return {};
}

AreaSum::Result AreaSum::Sum(double min, double max, double dx, const Function &f,
                             QChar decimal_point)
{
    return SumOf(
        min, max, dx,
        [&f](const double *xs, double *ys, std::size_t n) {
            for (std::size_t i = 0; i < n; ++i)
                ys[i] = f(xs[i]);
        },
        decimal_point);
}

AreaSum::Result AreaSum::Sum(double min, double max, double dx, const Values &f,
                             QChar decimal_point)
{
    return SumOf(min, max, dx, f, decimal_point);
}

AreaSum::Result AreaSum::Finish(double area, QChar decimal_point)
{
    if (!std::isfinite(area))
        return {kAreaOverflow, 0, {}};
    return {{}, area, FormatArea(area, decimal_point)};
}

} // namespace linoveta
