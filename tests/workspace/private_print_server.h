#pragma once
// A print server of the test's own: cupsd on its own configuration folder and a free loopback
// port, with a PDF queue (cups-pdf) whose files land in the folder, and a second one that says
// it accepts jobs but denies them to the user the test runs as. The PDF back end reads
// its settings from one fixed system path, so the server runs in a mount namespace of its own
// where that path shows the test's settings; nothing outside the folder is changed. Started and
// stopped by the test, every wait bounded.

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QString>
#include <QTemporaryDir>
#include <QThread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace linoveta::test {

class PrivatePrintServer {
public:
    static constexpr const char *kQueue = "linoveta_test";
    static constexpr const char *kDenyingQueue = "linoveta_denying";

    PrivatePrintServer() = default;
    PrivatePrintServer(const PrivatePrintServer &) = delete;
    PrivatePrintServer &operator=(const PrivatePrintServer &) = delete;
    ~PrivatePrintServer() { stop(); }

    // Starts the server and its queue: empty when it runs, else why it could not.
    QString start()
    {
        if (geteuid() != 0)
            return QStringLiteral("not running as root (the PDF back end and the mount namespace need it)");
        const QString cupsd = tool("cupsd"), lpadmin = tool("lpadmin"), unshare = tool("unshare");
        if (cupsd.isEmpty() || lpadmin.isEmpty() || unshare.isEmpty() || tool("cupsreject").isEmpty())
            return QStringLiteral("cupsd, lpadmin, cupsreject or unshare is not installed");
        const QString backend = QStringLiteral("/usr/lib/cups/backend/cups-pdf");
        const QString ppd = QStringLiteral("/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd");
        const QString systemPdfSettings = QStringLiteral("/etc/cups/cups-pdf.conf");
        if (!QFileInfo::exists(backend) || !QFileInfo::exists(ppd) ||
            !QFileInfo::exists(systemPdfSettings))
            return QStringLiteral("the cups-pdf queue driver is not installed");
        if (!m_dir.isValid())
            return QStringLiteral("no temporary folder");
        m_port = freePort();
        if (m_port <= 0)
            return QStringLiteral("no free loopback port");

        // The filters run as another user: they must reach the folder and write its temp.
        const QString root = m_dir.path();
        chmod(QFile::encodeName(root).constData(), 0755);
        for (const char *sub : {"spool", "tmp", "state", "cache", "log", "out", "pdfspool"})
            QDir(root).mkpath(QString::fromLatin1(sub));
        chmod(QFile::encodeName(path("tmp")).constData(), 01777);
        write("cupsd.conf", QStringLiteral("Listen 127.0.0.1:%1\n"
                                           "LogLevel info\n"
                                           "WebInterface No\n"
                                           "Browsing No\n"
                                           "BrowseLocalProtocols none\n"
                                           "DefaultAuthType None\n"
                                           "DefaultPolicy open\n"
                                           "<Policy open>\n<Limit All>\nOrder deny,allow\n</Limit>\n</Policy>\n"
                                           "<Location />\nOrder allow,deny\nAllow from 127.0.0.1\n</Location>\n")
                                .arg(m_port));
        write("cups-files.conf",
              QStringLiteral("ServerRoot %1\nRequestRoot %1/spool\nTempDir %1/tmp\nStateDir %1/state\n"
                             "CacheDir %1/cache\nAccessLog %1/log/access_log\n"
                             "ErrorLog %1/log/error_log\nPageLog %1/log/page_log\n"
                             "ServerBin /usr/lib/cups\nDataDir /usr/share/cups\nSystemGroup root\n")
                  .arg(root));
        write("cups-pdf.conf", QStringLiteral("Out %1/out\nAnonDirName %1/out\nSpool %1/pdfspool\n"
                                              "Log %1/log\nGrp root\n")
                                   .arg(root));

        m_server.setProcessChannelMode(QProcess::MergedChannels);
        m_server.start(unshare,
                       {QStringLiteral("--mount"), QStringLiteral("--propagation"),
                        QStringLiteral("private"), QStringLiteral("sh"), QStringLiteral("-c"),
                        QStringLiteral("mount --bind \"$1\" \"$2\" && exec \"$3\" -f -c \"$4\" -s \"$5\""),
                        QStringLiteral("sh"), path("cups-pdf.conf"), systemPdfSettings, cupsd,
                        path("cupsd.conf"), path("cups-files.conf")});
        if (!m_server.waitForStarted(5000))
            return QStringLiteral("cupsd could not be started");
        if (!waitUntilListening(15000)) {
            const QString output = QString::fromLocal8Bit(m_server.readAll()).trimmed();
            stop();
            return QStringLiteral("cupsd did not answer on port %1: %2").arg(m_port).arg(output);
        }
        const QString added = run(lpadmin, {QStringLiteral("-p"), QString::fromLatin1(kQueue),
                                            QStringLiteral("-E"), QStringLiteral("-v"),
                                            QStringLiteral("cups-pdf:/"), QStringLiteral("-P"), ppd});
        const passwd *user = getpwuid(geteuid());
        const QString denying = added.isEmpty() && user
            ? run(lpadmin, {QStringLiteral("-p"), QString::fromLatin1(kDenyingQueue),
                            QStringLiteral("-E"), QStringLiteral("-v"), QStringLiteral("cups-pdf:/"),
                            QStringLiteral("-P"), ppd, QStringLiteral("-u"),
                            QStringLiteral("deny:") + QString::fromLocal8Bit(user->pw_name)})
            : QString();
        if (!added.isEmpty() || !denying.isEmpty() || !user) {
            stop();
            return QStringLiteral("the PDF queues could not be added: ") + added + denying;
        }
        return QString();
    }

    void stop()
    {
        if (m_server.state() == QProcess::NotRunning)
            return;
        m_server.terminate();
        if (!m_server.waitForFinished(10000)) {
            m_server.kill();
            m_server.waitForFinished(5000);
        }
    }

    QString address() const { return QStringLiteral("127.0.0.1:%1").arg(m_port); }

    // Runs a print-system tool (cupsreject, cupsaccept, ...) against this server: empty when it
    // succeeded, else its output.
    QString run(const QString &program, const QStringList &arguments) const
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("CUPS_SERVER"), address());
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(program.contains(QLatin1Char('/')) ? program : tool(program.toLatin1().constData()),
                      arguments);
        if (!process.waitForFinished(20000)) {
            process.kill();
            process.waitForFinished(5000);
            return program + QStringLiteral(" did not finish");
        }
        if (process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
            return QString();
        const QString output = QString::fromLocal8Bit(process.readAll()).trimmed();
        return output.isEmpty() ? program + QStringLiteral(" failed") : output;
    }

    // The PDF files the queue has written so far, oldest first.
    QStringList outputs() const
    {
        QStringList files;
        const QFileInfoList entries = QDir(path("out")).entryInfoList(
            {QStringLiteral("*.pdf")}, QDir::Files, QDir::Time | QDir::Reversed);
        for (const QFileInfo &entry : entries)
            files << entry.absoluteFilePath();
        return files;
    }

    // Waits until `count` PDF files have arrived and the last one is complete.
    bool waitForOutputs(int count, int milliseconds) const
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < milliseconds) {
            const QStringList files = outputs();
            if (files.size() >= count && complete(files.last()))
                return true;
            QThread::msleep(100);
        }
        return false;
    }

    // The server's log, for a failing test's message.
    QString log() const
    {
        QFile file(path("log/error_log"));
        return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll().right(4000))
                                              : QString();
    }

private:
    static QString tool(const char *name)
    {
        const QString found = QStandardPaths::findExecutable(QString::fromLatin1(name));
        return found.isEmpty()
            ? QStandardPaths::findExecutable(QString::fromLatin1(name),
                                             {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")})
            : found;
    }

    QString path(const char *name) const { return m_dir.filePath(QString::fromLatin1(name)); }

    void write(const char *name, const QString &text) const
    {
        QFile file(path(name));
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(text.toUtf8());
    }

    static bool complete(const QString &pdf)
    {
        QFile file(pdf);
        return file.open(QIODevice::ReadOnly) && file.size() > 0 && file.readAll().contains("%%EOF");
    }

    static int freePort()
    {
        const int s = socket(AF_INET, SOCK_STREAM, 0);
        if (s < 0)
            return -1;
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        int port = -1;
        if (bind(s, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0 &&
            getsockname(s, reinterpret_cast<sockaddr *>(&address), &length) == 0)
            port = ntohs(address.sin_port);
        close(s);
        return port;
    }

    bool waitUntilListening(int milliseconds)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < milliseconds && m_server.state() == QProcess::Running) {
            const int s = socket(AF_INET, SOCK_STREAM, 0);
            sockaddr_in address{};
            address.sin_family = AF_INET;
            address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            address.sin_port = htons(quint16(m_port));
            const bool up = s >= 0 &&
                ::connect(s, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
            if (s >= 0)
                close(s);
            if (up)
                return true;
            m_server.waitForFinished(100);
        }
        return false;
    }

    QTemporaryDir m_dir;
    QProcess m_server;
    int m_port = 0;
};

} // namespace linoveta::test
