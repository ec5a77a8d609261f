#pragma once
// The suite runs twice: as the environment gives it, and with LINOVETA_TEST_LOCALE naming a
// locale (de_DE.UTF-8, whose decimal separator is ","). The test mains set the C library's
// locale to it here; the Qt main also makes it QLocale's default.

#include <clocale>
#include <cstdlib>
#include <iostream>

namespace linoveta::test {

// The locale the suite runs in, or nullptr for the environment's own.
inline const char *RequestedLocale()
{
    const char *name = std::getenv("LINOVETA_TEST_LOCALE");
    return name && *name ? name : nullptr;
}

// False when the requested locale does not exist here: a pass that silently ran in another
// locale would prove nothing.
inline bool ApplyCLocale()
{
    const char *name = RequestedLocale();
    if (!name)
        return true;
    if (!std::setlocale(LC_ALL, name)) {
        std::cerr << "The locale " << name << " is not installed (generate it with locale-gen).\n";
        return false;
    }
    return true;
}

} // namespace linoveta::test
