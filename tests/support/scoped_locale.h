#pragma once
// Runs a block of a test in a chosen locale: the C library's (as QApplication sets it at start)
// and QLocale's default together, both restored afterwards.

#include <QLocale>
#include <QString>

#include <clocale>
#include <string>

namespace linoveta::test {

// The two locales a separator-dependent table is checked in.
struct LocaleChoice
{
    const char *cName;     // for setlocale
    const char *qtName;    // for QLocale
    bool comma;            // the decimal separator is ","
};

inline constexpr LocaleChoice kDotLocale{"C", "en_US", false};
inline constexpr LocaleChoice kCommaLocale{"de_DE.UTF-8", "de_DE", true};
inline constexpr LocaleChoice kBothLocales[] = {kDotLocale, kCommaLocale};

class ScopedLocale
{
public:
    explicit ScopedLocale(const LocaleChoice &choice)
        : m_savedC(std::setlocale(LC_ALL, nullptr)), m_savedQt(QLocale())
    {
        m_ok = std::setlocale(LC_ALL, choice.cName) != nullptr;
        QLocale::setDefault(QLocale(QString::fromLatin1(choice.qtName)));
    }
    ~ScopedLocale()
    {
        std::setlocale(LC_ALL, m_savedC.c_str());
        QLocale::setDefault(m_savedQt);
    }
    ScopedLocale(const ScopedLocale &) = delete;
    ScopedLocale &operator=(const ScopedLocale &) = delete;

    // False when the C library does not know the locale (not generated on this machine).
    bool ok() const { return m_ok; }

private:
    std::string m_savedC;
    QLocale m_savedQt;
    bool m_ok = false;
};

// The expectation for the locale the test runs in: the dot form, or the comma form when the
// default QLocale writes "," (as in the comma-locale pass of the suite).
inline const char *InCurrentLocale(const char *dot, const char *comma)
{
    return QLocale().decimalPoint() == QStringLiteral(",") ? comma : dot;
}

} // namespace linoveta::test
