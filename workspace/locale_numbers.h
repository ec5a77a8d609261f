#pragma once
// The number conversions that follow the user's locale. Their "."-only partners live in the
// engine: NumberText (what the evaluator and the documents write) and ParseLeadingNumber (the
// leading number of a text with "." as decimal point, 0 when there is none). Every number a user
// reads or types goes through the functions here; every number a machine reads uses ".".

#include <QLocale>
#include <QString>

#include <optional>
#include <string_view>

namespace linoveta {

// A number text as the engine writes it ("-1.5", "1.5E-11", "NA", "") with the locale's decimal
// separator in place of ".". Texts without a "." come back unchanged.
QString LocaleForm(std::string_view numberText, const QLocale &locale = QLocale());

// The number text in the locale's form: at most 15 significant digits, exponent form for very
// large or small magnitudes ("1,5E-11" under a comma locale), "0" for both zeros.
QString LocaleNumberText(double value, const QLocale &locale = QLocale());

// The locale's number parse: "1,5" is 1.5 under a comma locale, blanks around the number are
// allowed; infinities, NaN and texts out of a double's range are not numbers. It reads back
// every LocaleNumberText of the same locale as the value that text stands for.
std::optional<double> ParseLocaleNumber(const QString &text, const QLocale &locale = QLocale());

// The locale's numeric test: the texts ParseLocaleNumber accepts. An entry that passes it is
// read with ParseLocaleNumber, so it never reads as another number.
bool IsLocaleNumeric(const QString &text, const QLocale &locale = QLocale());

} // namespace linoveta
