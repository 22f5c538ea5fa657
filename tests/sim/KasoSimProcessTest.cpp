// Tests of the kaso-sim executable as the run script uses it: its options, the device path it
// prints, the link it makes, and its clean end on a signal.
#include "SimClient.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>

namespace {

// Starts kaso-sim with the given options and waits for the device path on its first line.
QString StartSim(QProcess& process, const QStringList& options) {
    process.start(KASO_SIM_BINARY, options);
    if (!process.waitForStarted(10000)) return {};
    QDeadlineTimer deadline(10000);
    while (!process.canReadLine() && !deadline.hasExpired() && process.state() == QProcess::Running)
        process.waitForReadyRead(int(deadline.remainingTime()));
    return QString::fromLocal8Bit(process.readLine()).trimmed();
}

std::optional<QByteArray> Ask(SimClient& client, const QByteArray& line, int timeoutMs = 5000) {
    client.send(line + "\r");
    return client.reply(timeoutMs);
}

} // namespace

TEST(KasoSimProcess, AnswersAsItsOptionsSayAndEndsCleanlyOnASignal) {
    QTemporaryDir dir;
    const QString link = dir.filePath("line");
    QProcess process;
    const QString device =
        StartSim(process, {"--series", "qwb", "--axes", "xy", "--model", "QWB10", "--link", link});
    ASSERT_TRUE(device.startsWith("/dev/pts/")) << device.toStdString();
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), device);

    {
        SimClient client(link); // the link serves as the device
        ASSERT_GE(client.fd(), 0);
        EXPECT_EQ(Ask(client, "Y:VER"), "QWB10");
        EXPECT_EQ(Ask(client, "X:#33"), "88");
        EXPECT_EQ(Ask(client, "A:#33", 300), std::nullopt); // no axis A on this line
    }

    ::kill(pid_t(process.processId()), SIGTERM);
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0);
    // Each received line is logged on standard error; the link goes with the process.
    const QByteArray log = process.readAllStandardError();
    EXPECT_TRUE(log.contains("Y:VER\n")) << log.toStdString();
    EXPECT_FALSE(QFileInfo(link).isSymLink());

    // SIGINT ends it the same way, without a link.
    QProcess second;
    ASSERT_TRUE(StartSim(second, {}).startsWith("/dev/pts/"));
    ::kill(pid_t(second.processId()), SIGINT);
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
}

TEST(KasoSimProcess, RefusesAnUnknownSeriesAndALinkOverAFile) {
    QProcess process;
    process.start(KASO_SIM_BINARY, {"--series", "QWZ"});
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_EQ(process.exitCode(), 2);
    EXPECT_EQ(process.readAllStandardError(), "kaso-sim: unknown series QWZ\n");
    EXPECT_TRUE(process.readAllStandardOutput().isEmpty());

    QTemporaryDir dir;
    const QString file = dir.filePath("plain");
    QFile(file).open(QIODevice::WriteOnly);
    process.start(KASO_SIM_BINARY, {"--link", file});
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_EQ(process.exitCode(), 2);
    EXPECT_TRUE(process.readAllStandardError().contains("exists and is not a symbolic link"));
    EXPECT_TRUE(QFileInfo(file).isFile()); // left alone
}
