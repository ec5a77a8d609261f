// Starts the built program itself on a command line that names no document file: a named pipe
// or an endless device must not keep the main window from showing.
#include "workspace/graph_document.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include <sys/stat.h>

namespace {

TEST(ProgramStart, MainWindowShowsWhateverTheCommandLineNames)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString pipe = dir.filePath(QStringLiteral("pipe.wqz"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const std::vector<std::pair<const char *, QString>> cases = {
        {"a named pipe", pipe},
        {"an endless device", QStringLiteral("/dev/zero")},
    };
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("LINOVETA_REPORT_FIRST_PAINT"), QStringLiteral("1"));

    // All start at once; the splash alone takes three seconds.
    std::vector<std::unique_ptr<QProcess>> programs;
    for (const auto &c : cases) {
        auto program = std::make_unique<QProcess>();
        program->setProcessEnvironment(environment);
        program->setProcessChannelMode(QProcess::MergedChannels);
        program->start(QStringLiteral(LINOVETA_PROGRAM), {c.second});
        ASSERT_TRUE(program->waitForStarted(5000));
        programs.push_back(std::move(program));
    }
    const QDeadlineTimer deadline(20000);
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].first);
        QProcess &program = *programs[i];
        QByteArray output;
        while (!output.contains("main window painted") && !deadline.hasExpired() &&
               program.state() == QProcess::Running) {
            program.waitForReadyRead(int(deadline.remainingTime()));
            output += program.readAll();
        }
        EXPECT_TRUE(output.contains("main window painted")) << output.toStdString();
        // The program still runs: its message waits for the user.
        EXPECT_EQ(program.state(), QProcess::Running);
        program.kill();
        program.waitForFinished(5000);
    }
}

} // namespace
