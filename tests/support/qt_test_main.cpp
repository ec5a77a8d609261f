#include "support/test_locale.h"

#include <QApplication>
#include <QByteArray>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Widget tests need a QApplication; they never need a real display.
int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // A home of its own for each run: the program makes its documents folder there, and
    // nothing a test does reaches the user's real files. It outlives the application.
    QTemporaryDir home;
    if (!home.isValid())
        return 1;
    const QByteArray homePath = QFile::encodeName(home.path());
    qputenv("HOME", homePath);
    qputenv("XDG_CONFIG_HOME", homePath + "/.config");
    qputenv("XDG_DATA_HOME", homePath + "/.local/share");
    qputenv("XDG_CACHE_HOME", homePath + "/.cache");
    qputenv("XDG_STATE_HOME", homePath + "/.local/state");
    qunsetenv("XDG_DOCUMENTS_DIR");
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
