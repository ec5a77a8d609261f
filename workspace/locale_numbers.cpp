#include "workspace/locale_numbers.h"

#include "engine/number_text.h"

#include <cmath>

namespace linoveta {

QString LocaleForm(std::string_view numberText, const QLocale &locale)
{
    QString text = QString::fromLatin1(numberText.data(), static_cast<qsizetype>(numberText.size()));
    text.replace(QLatin1Char('.'), locale.decimalPoint());
    return text;
}

QString LocaleNumberText(double value, const QLocale &locale)
{
    return LocaleForm(NumberText(value), locale);
}

std::optional<double> ParseLocaleNumber(const QString &text, const QLocale &locale)
{
    bool ok = false;
    const double value = locale.toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

bool IsLocaleNumeric(const QString &text, const QLocale &locale)
{
    return ParseLocaleNumber(text, locale).has_value();
}

} // namespace linoveta
