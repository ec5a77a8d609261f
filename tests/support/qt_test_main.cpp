#include "support/test_locale.h"

#include <QApplication>
#include <QLocale>
#include <gtest/gtest.h>

// Widget tests need a QApplication; they never need a real display.
int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // As a user of that locale starts the program: QApplication reads these.
    if (const char *name = linoveta::test::RequestedLocale()) {
        qputenv("LANG", name);
        qputenv("LC_ALL", name);
    }
    QApplication app(argc, argv);
    // After QApplication, which sets the C library's locale from the environment itself.
    if (!linoveta::test::ApplyCLocale())
        return 1;
    if (const char *name = linoveta::test::RequestedLocale())
        QLocale::setDefault(QLocale(QString::fromLatin1(name)));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
