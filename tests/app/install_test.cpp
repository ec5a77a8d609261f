// Installing this build into an empty prefix gives a program that a desktop lists in its menu
// and opens documents with; uninstalling takes all of it away again.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

struct Outcome {
    int exitCode = -1;
    QString output;
};

Outcome RunProgram(const QString &program, const QStringList &arguments,
                   const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(environment);
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

// A desktop session of its own: its home and its data folders are temporary, and besides the
// system's folders it sees only `prefix`. The desktop's tools are asked as GNOME's are.
class DesktopSession
{
public:
    explicit DesktopSession(const QString &prefix) : m_environment(QProcessEnvironment::systemEnvironment())
    {
        m_environment.insert(QStringLiteral("HOME"), m_home.path());
        m_environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.filePath(QStringLiteral(".config")));
        m_environment.insert(QStringLiteral("XDG_DATA_HOME"), m_home.filePath(QStringLiteral(".local/share")));
        m_environment.insert(QStringLiteral("XDG_CACHE_HOME"), m_home.filePath(QStringLiteral(".cache")));
        m_environment.insert(QStringLiteral("XDG_DATA_DIRS"), prefix + QStringLiteral("/share:/usr/share"));
        m_environment.insert(QStringLiteral("XDG_CURRENT_DESKTOP"), QStringLiteral("GNOME"));
        // The suite may run under make: this make is not one of its jobs.
        for (const char *name : {"MAKEFLAGS", "MFLAGS", "MAKELEVEL"})
            m_environment.remove(QLatin1String(name));
    }
    bool isValid() const { return m_home.isValid(); }
    Outcome run(const QString &program, const QStringList &arguments) const
    {
        return RunProgram(program, arguments, m_environment);
    }
    Outcome make(const QString &target, const QString &prefix) const
    {
        return run(QStringLiteral("make"),
                   {QStringLiteral("-C"), QStringLiteral(LINOVETA_SOURCE_DIR), target,
                    QStringLiteral("BUILD=") + QStringLiteral(LINOVETA_BUILD_DIR),
                    QStringLiteral("PREFIX=") + prefix, QStringLiteral("JOBS=2")});
    }
    // The type the desktop gives a file, as a file manager asks for it.
    QString typeOf(const QString &file) const
    {
        return run(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("filetype"), file})
            .output.trimmed();
    }

private:
    QTemporaryDir m_home;
    QProcessEnvironment m_environment;
};

// Every file and folder under `root`, relative to it.
std::set<std::string> Contents(const QString &root)
{
    std::set<std::string> paths;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        paths.insert(QDir(root).relativeFilePath(it.next()).toStdString());
    return paths;
}

bool WriteFile(const QString &path, const QByteArray &contents)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
}

// A document is of the program's type, shown with its icon and opened by it.
TEST(Install, DocumentsOpenWithTheInstalledProgram)
{
    QTemporaryDir prefix;
    ASSERT_TRUE(prefix.isValid());
    const DesktopSession desktop(prefix.path());
    ASSERT_TRUE(desktop.isValid());
    const Outcome install = desktop.make(QStringLiteral("install"), prefix.path());
    ASSERT_EQ(install.exitCode, 0) << install.output.toStdString();

    const QString document = prefix.filePath(QStringLiteral("work/Linoveta 12-09-26.wqz"));
    const QString notes = prefix.filePath(QStringLiteral("work/notes.txt"));
    ASSERT_TRUE(WriteFile(document, "xBBBBBBBBBBTrueBB2BB\r\n"));
    ASSERT_TRUE(WriteFile(notes, "x\n"));
    EXPECT_EQ(desktop.typeOf(document), QStringLiteral("application/x-linoveta"));
    EXPECT_EQ(desktop.typeOf(notes), QStringLiteral("text/plain"));

    const Outcome opener = desktop.run(QStringLiteral("xdg-mime"),
                                       {QStringLiteral("query"), QStringLiteral("default"),
                                        QStringLiteral("application/x-linoveta")});
    EXPECT_EQ(opener.output.trimmed(), QStringLiteral("linoveta.desktop"));
    const Outcome icon = desktop.run(QStringLiteral("gio"), {QStringLiteral("info"), QStringLiteral("-a"),
                                                            QStringLiteral("standard::icon"), document});
    EXPECT_TRUE(icon.output.contains(QStringLiteral("standard::icon: linoveta,"))) << icon.output.toStdString();

    // The menu entry names the type, and the desktop's checker accepts it.
    const QString entry = prefix.filePath(QStringLiteral("share/applications/linoveta.desktop"));
    QFile entryFile(entry);
    ASSERT_TRUE(entryFile.open(QIODevice::ReadOnly));
    EXPECT_TRUE(entryFile.readAll().contains("\nMimeType=application/x-linoveta;\n"));
    const Outcome validate = desktop.run(QStringLiteral("desktop-file-validate"), {entry});
    EXPECT_EQ(validate.exitCode, 0) << validate.output.toStdString();
    EXPECT_TRUE(validate.output.trimmed().isEmpty()) << validate.output.toStdString();
}

// `make uninstall` leaves the prefix as it found it: nothing of the program, and whatever else
// was there still in place and still known to the desktop.
TEST(Install, UninstallLeavesThePrefixAsItWas)
{
    const QByteArray otherType =
        "<?xml version=\"1.0\"?>\n"
        "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
        "  <mime-type type=\"application/x-other\"><glob pattern=\"*.oth\"/></mime-type>\n"
        "</mime-info>\n";
    const QByteArray otherEntry = "[Desktop Entry]\nType=Application\nName=Other\nExec=other %f\n"
                                  "MimeType=application/x-other;\n";
    const struct {
        const char *what;
        bool withOtherProgram;
        bool prefixExists;
    } cases[] = {
        {"an empty prefix", false, true},
        {"a prefix holding another program", true, true},
        {"a prefix that the install makes", false, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir top;
        ASSERT_TRUE(top.isValid());
        const QString prefix = c.prefixExists ? top.path() : top.filePath(QStringLiteral("new"));
        const DesktopSession desktop(prefix);
        ASSERT_TRUE(desktop.isValid());
        const QString share = prefix + QStringLiteral("/share");
        if (c.withOtherProgram) {
            ASSERT_TRUE(WriteFile(prefix + QStringLiteral("/bin/other"), "#!/bin/sh\n"));
            ASSERT_TRUE(WriteFile(share + QStringLiteral("/mime/packages/other.xml"), otherType));
            ASSERT_TRUE(WriteFile(share + QStringLiteral("/applications/other.desktop"), otherEntry));
            ASSERT_EQ(desktop.run(QStringLiteral("update-mime-database"), {share + QStringLiteral("/mime")}).exitCode, 0);
            ASSERT_EQ(desktop.run(QStringLiteral("update-desktop-database"),
                                  {share + QStringLiteral("/applications")}).exitCode, 0);
        }
        const std::set<std::string> before = Contents(top.path());

        const Outcome install = desktop.make(QStringLiteral("install"), prefix);
        ASSERT_EQ(install.exitCode, 0) << install.output.toStdString();
        ASSERT_TRUE(QFileInfo(prefix + QStringLiteral("/bin/linoveta")).isExecutable());
        const Outcome uninstall = desktop.make(QStringLiteral("uninstall"), prefix);
        ASSERT_EQ(uninstall.exitCode, 0) << uninstall.output.toStdString();
        EXPECT_EQ(Contents(top.path()), before);

        const QString document = top.filePath(QStringLiteral("graph.wqz"));
        const QString other = top.filePath(QStringLiteral("data.oth"));
        ASSERT_TRUE(WriteFile(document, "xBBBBBBBBBBTrueBB2BB\r\n"));
        ASSERT_TRUE(WriteFile(other, "x"));
        EXPECT_NE(desktop.typeOf(document), QStringLiteral("application/x-linoveta"));
        if (c.withOtherProgram) {
            EXPECT_EQ(desktop.typeOf(other), QStringLiteral("application/x-other"));
            QFile cache(share + QStringLiteral("/applications/mimeinfo.cache"));
            ASSERT_TRUE(cache.open(QIODevice::ReadOnly));
            EXPECT_FALSE(cache.readAll().contains("linoveta"));
        }
        QFile::remove(document);
        QFile::remove(other);

        // A second uninstall finds nothing to do.
        const Outcome again = desktop.make(QStringLiteral("uninstall"), prefix);
        EXPECT_EQ(again.exitCode, 0) << again.output.toStdString();
        EXPECT_EQ(Contents(top.path()), before);
    }
}

} // namespace
