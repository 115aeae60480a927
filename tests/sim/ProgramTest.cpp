#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include "tests/sim/LineEnd.h"

#include <gtest/gtest.h>

#include <csignal>

namespace {

using namespace std::chrono_literals;

// Reads the program's output up to `lines` lines, for at most two seconds.
QStringList readLines(QProcess& process, int lines) {
    QStringList read;
    for (int round = 0; round < 40 && read.size() < lines; ++round) {
        if (!process.canReadLine())
            process.waitForReadyRead(50);
        while (process.canReadLine())
            read << QString::fromLocal8Bit(process.readLine()).chopped(1);
    }
    return read;
}

TEST(ProgramTest, PrintsItsDeviceThenEachCommandAndStopsOnSignals) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString link = dir.filePath("robot");
    QProcess process;
    process.start(MARLO_SIM_PROGRAM, {"--link", link, "--temperature", "21", "--humidity", "50"});
    ASSERT_TRUE(process.waitForStarted(2000));

    const QStringList first = readLines(process, 1);
    ASSERT_EQ(first.size(), 1);
    ASSERT_TRUE(first[0].startsWith("marlo-sim: listening on /dev/pts/")) << first[0].toStdString();
    const QString device = first[0].section(' ', -1);
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), device);

    {
        const sim_test::LineEnd line(link.toStdString());
        line.write("L\x1eT");
        EXPECT_EQ(line.readText(11, 2000ms), "AAT01480512");
    }
    EXPECT_EQ(readLines(process, 2), (QStringList{"lights level 30", "telemetry request"}));

    for (const int signal : {SIGTERM, SIGINT}) {
        if (signal == SIGINT) {
            process.start(MARLO_SIM_PROGRAM, {"--quiet"});
            ASSERT_TRUE(process.waitForStarted(2000));
            ASSERT_EQ(readLines(process, 1).size(), 1);
        }
        ::kill(static_cast<pid_t>(process.processId()), signal);
        ASSERT_TRUE(process.waitForFinished(2000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 0);
        EXPECT_FALSE(QFileInfo(link).isSymLink());
    }
}

TEST(ProgramTest, RefusesBadOptions) {
    QProcess process;
    process.start(MARLO_SIM_PROGRAM, {"--fault", "often"});
    ASSERT_TRUE(process.waitForFinished(2000));
    EXPECT_EQ(process.exitCode(), 2);
    EXPECT_EQ(process.readAllStandardError(), "marlo-sim: invalid value for --fault: often\n");
}

} // namespace
