#include "workspace/area_sum.h"

#include <charconv>
#include <cmath>
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

QString FormatArea(double value, const QLocale &locale)
{
    if (!std::isfinite(value))
        return {};
    // The number text: "[-]d[.ddd]" and maybe an exponent "E+xx" or "E-xx"; 15 digits at most.
    const std::string text = NumberText(value);
    const bool negative = text[0] == '-';
    const std::size_t start = negative ? 1 : 0;
    const std::size_t e = std::min(text.find('E'), text.size());
    std::string digits;
    int point = 0;  // digits before the decimal point
    bool seenPoint = false;
    for (std::size_t i = start; i < e; ++i) {
        if (text[i] == '.') {
            seenPoint = true;
            continue;
        }
        digits += text[i];
        point += seenPoint ? 0 : 1;
    }
    if (e < text.size()) {
        const std::size_t from = e + 1 + (text[e + 1] == '+' ? 1 : 0);
        int exponent = 0;
        std::from_chars(text.data() + from, text.data() + text.size(), exponent);
        point += exponent;
    }

    // Place the digits so that `whole` and `fraction` hold the exact decimal expansion.
    std::string whole;
    std::string fraction;
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
    const std::string result = (negative && !zero ? "-" : "") + whole + "." + fraction;
    return LocaleForm(result, locale);
}

AreaSum::Result AreaSum::Calculate(const QString &min_text, const QString &max_text,
                                   const QString &dx_text, const QLocale &locale,
                                   const Values &f, const std::function<void()> &prepare)
{
    // Each box is read by the same locale rule that accepted it as a number.
    const auto min = ParseLocaleNumber(min_text, locale);
    if (!min)
        return {kMinNotNumber, 0, {}};
    const auto max = ParseLocaleNumber(max_text, locale);
    if (!max)
        return {kMaxNotNumber, 0, {}};
    const auto dx = ParseLocaleNumber(dx_text, locale);
    if (!dx)
        return {kDxNotNumber, 0, {}};
    if (*min > *max)
        return {kMaxBelowMin, 0, {}};
    if (const QString refused = CheckStep(*min, *max, *dx); !refused.isEmpty())
        return {refused, 0, {}};
    if (prepare)
        prepare();
    return Sum(*min, *max, *dx, f, locale);
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
                             const QLocale &locale)
{
    return SumOf(
        min, max, dx,
        [&f](const double *xs, double *ys, std::size_t n) {
            for (std::size_t i = 0; i < n; ++i)
                ys[i] = f(xs[i]);
        },
        locale);
}

AreaSum::Result AreaSum::Sum(double min, double max, double dx, const Values &f,
                             const QLocale &locale)
{
    return SumOf(min, max, dx, f, locale);
}

AreaSum::Result AreaSum::Finish(double area, const QLocale &locale)
{
    if (!std::isfinite(area))
        return {kAreaOverflow, 0, {}};
    return {{}, area, FormatArea(area, locale)};
}

} // namespace linoveta
