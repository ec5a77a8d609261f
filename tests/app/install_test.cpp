// Installing this build into an empty prefix gives a program that a desktop lists in its menu.
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Outcome {
    int exitCode = -1;
    QString output;
};

Outcome RunProgram(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), QString::fromLocal8Bit(process.readAll())};
}

TEST(Install, PutsTheProgramItsMenuEntryAndIconUnderThePrefix)
{
    QTemporaryDir prefix;
    ASSERT_TRUE(prefix.isValid());
    const Outcome install = RunProgram(QStringLiteral(LINOVETA_CMAKE),
                                   {QStringLiteral("--install"), QStringLiteral(LINOVETA_BUILD_DIR),
                                    QStringLiteral("--prefix"), prefix.path()});
    ASSERT_EQ(install.exitCode, 0) << install.output.toStdString();

    const QFileInfo program(prefix.filePath(QStringLiteral("bin/linoveta")));
    EXPECT_TRUE(program.isFile() && program.isExecutable());
    for (const char *licence : {"LICENSE-DejaVu.txt", "LICENSE-TeXGyre.txt", "README.md"})
        EXPECT_TRUE(QFileInfo::exists(prefix.filePath(QStringLiteral("share/doc/linoveta/")
                                                      + QLatin1String(licence))))
            << licence;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QImage icon(prefix.filePath(
            QStringLiteral("share/icons/hicolor/%1x%1/apps/linoveta.png").arg(size)));
        EXPECT_EQ(icon.size(), QSize(size, size)) << size;
    }

    const QString entry = prefix.filePath(QStringLiteral("share/applications/linoveta.desktop"));
    const Outcome validate = RunProgram(QStringLiteral("desktop-file-validate"), {entry});
    EXPECT_EQ(validate.exitCode, 0) << validate.output.toStdString();
    EXPECT_TRUE(validate.output.trimmed().isEmpty()) << validate.output.toStdString();
    // The entry starts the installed program, with a document when one is opened with it,
    // and shows the installed icon.
    QSettings desktop(entry, QSettings::IniFormat);
    desktop.beginGroup(QStringLiteral("Desktop Entry"));
    EXPECT_EQ(desktop.value(QStringLiteral("Exec")).toString(), QStringLiteral("linoveta %f"));
    EXPECT_EQ(desktop.value(QStringLiteral("Icon")).toString(), QStringLiteral("linoveta"));
    EXPECT_EQ(desktop.value(QStringLiteral("Name")).toString(), QStringLiteral("Linoveta"));
}

} // namespace
