// Closing the main window ends the program whatever else shows: the event loop ends, the
// settings are written and the single-instance lock is free for the next start.
#include "AppTest.h"

#include "link/UnitCommCancel.h"
#include "link/UnitGeneral.h"
#include "parameters/UnitPrm.h"
#include "platform/InstanceLock.h"
#include "shell/UnitMain.h"
#include "status/UnitStat.h"
#include "status/UnitStat_QWC.h"
#include "ui/Wait.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>
#include <csignal>

namespace {

class ShutdownTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        WriteSetting("Comm", "TransmitCheck", 2);
        ui::ClearQuitRequest();
    }
    void TearDown() override {
        AppTest::TearDown();
        ui::ClearQuitRequest();
        if (!lockedFolder.isEmpty())
            QFile::setPermissions(lockedFolder,
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    // The settings file cannot be written, whoever runs the program: its folder is read-only,
    // and as root writes into a read-only folder all the same, a folder stands in its place.
    void MakeSettingsUnwritable() {
        QFile::remove(SettingsPath());
        ASSERT_TRUE(QDir().mkpath(SettingsPath()));
        lockedFolder = QFileInfo(SettingsPath()).absolutePath();
        ASSERT_TRUE(QFile::setPermissions(lockedFolder, QFile::ReadOwner | QFile::ExeOwner));
    }
    // Runs the program's message loop as its entry does, closes the main window `closeAfterMs`
    // after the loop starts (or after the driver received `afterLine`), and gives how long the
    // loop ran on after the close (-1: it did not end).
    qint64 RunLoopAndClose(int closeAfterMs, const QByteArray& afterLine = {}) {
        QElapsedTimer sinceClose;
        QTimer close;
        close.setSingleShot(true);
        QObject::connect(&close, &QTimer::timeout, frmMain, [&] {
            sinceClose.start();
            frmMain->close();
        });
        if (afterLine.isEmpty())
            close.start(closeAfterMs);
        else
            QObject::connect(driver.get(), &sim::SimulatedDriver::lineReceived, &close,
                             [&](const QByteArray& line) {
                                 if (line == afterLine) close.start(closeAfterMs);
                             });
        bool ended = false;
        QTimer stuck;
        stuck.setSingleShot(true);
        QObject::connect(&stuck, &QTimer::timeout, [&] {
            if (!ended) QCoreApplication::exit(1);
        });
        stuck.start(closeAfterMs + 20000);
        const int code = QApplication::exec();
        ended = true;
        return code == 0 && sinceClose.isValid() ? sinceClose.elapsed() : -1;
    }
    // The end of the entry: the windows go (writing the settings), then the lock.
    void EndProgram(platform::InstanceLock& lock) {
        QFile::remove(SettingsPath());
        StopProgram();
        lock.Release();
    }
    void ExpectSettingsWrittenAndLockFree() {
        EXPECT_TRUE(QFile::exists(SettingsPath()));
        EXPECT_EQ(StoredSetting("Comm", "TransmitCheck").toInt(), 2);
        EXPECT_EQ(StoredSetting("Model", "ModelType").toInt(), 3);
        platform::InstanceLock next("KasoNT");
        EXPECT_TRUE(next.Acquire());
    }
    // Whether `program` catches `signal` within `timeoutMs` (its caught-signal mask): a signal
    // sent before its handler is in place ends it where it stands.
    static bool WaitForTerminationHandler(const QProcess& program, int timeoutMs,
                                          int signal = SIGTERM) {
        const QString status = QString("/proc/%1/status").arg(program.processId());
        return WaitFor(
            [&] {
                QFile file(status);
                if (!file.open(QIODevice::ReadOnly)) return false;
                for (const QByteArray& line : file.readAll().split('\n'))
                    if (line.startsWith("SigCgt:")) {
                        const quint64 caught = line.mid(7).trimmed().toULongLong(nullptr, 16);
                        return ((caught >> (signal - 1)) & 1) != 0;
                    }
                return false;
            },
            timeoutMs);
    }
    QString lockedFolder;
};

TEST_F(ShutdownTest, ClosingTheMainWindowWhileTheMonitorPollsEndsTheProgram) {
    platform::InstanceLock lock("KasoNT");
    ASSERT_TRUE(lock.Acquire());
    StartProgram();
    frmMain->show();
    frmMain->btnStat->click();
    ASSERT_TRUE(
        WaitFor([] { return (frmStat && frmStat->isVisible()) || frmStat_QWC->isVisible(); }));
    TakeSentLines();
    ASSERT_TRUE(WaitFor([this] { return driver->receivedLines().size() >= 3; })); // polling
    const qint64 after = RunLoopAndClose(100);
    EXPECT_GE(after, 0);
    EXPECT_LT(after, 2000);
    EXPECT_TRUE(ui::QuitRequested());
    EndProgram(lock);
    ExpectSettingsWrittenAndLockFree();
}

TEST_F(ShutdownTest, ClosingTheMainWindowWithTheProgressWindowUpEndsTheProgram) {
    platform::InstanceLock lock("KasoNT");
    ASSERT_TRUE(lock.Acquire());
    StartProgram();
    frmMain->show();
    frmMain->btnPopupPrm->trigger();
    QObject::connect(driver.get(), &sim::SimulatedDriver::lineReceived, driver.get(),
                     [this](const QByteArray& line) {
                         if (line == "#3") driver->setFault(sim::Fault::Silent);
                     });
    // The read starts inside the loop, and waits for a reply that never comes.
    QTimer::singleShot(0, frmPrm, [] { frmPrm->btnReadPrm->click(); });
    const qint64 after = RunLoopAndClose(300, "#3");
    EXPECT_GE(after, 0);
    EXPECT_LT(after, 2000);
    EXPECT_TRUE(frmCommCancel->isVisible() || frmPrm->Busy == 1); // it was still running
    EndProgram(lock);
    ExpectSettingsWrittenAndLockFree();
}

TEST_F(ShutdownTest, ClosingTheMainWindowDuringAWriteEndsTheProgram) {
    platform::InstanceLock lock("KasoNT");
    ASSERT_TRUE(lock.Acquire());
    StartProgram();
    frmMain->show();
    frmMain->btnPopupPrm->trigger();
    for (int row = 1; row <= 110; ++row)
        frmPrm->grdPrm->SetCell(1, row, QString::number(row));
    QObject::connect(driver.get(), &sim::SimulatedDriver::lineReceived, driver.get(),
                     [](const QByteArray& line) {
                         if (line.startsWith("#40="))
                             frmMain->close(); // while the write's loop runs
                     });
    QTimer::singleShot(0, frmPrm, [] { frmPrm->btnSendPrm->click(); });
    QTimer stuck;
    QObject::connect(&stuck, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    stuck.start(5000);
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_TRUE(ui::QuitRequested());
    Pause(100);
    EXPECT_FALSE(TakeSentLines().contains("#100=101")); // the write stopped with the program
    EndProgram(lock);
    ExpectSettingsWrittenAndLockFree();
}

TEST_F(ShutdownTest, SettingsThatCannotBeWrittenAreReportedWhenTheUserCloses) {
    StartProgram();
    frmMain->show();
    MakeSettingsUnwritable();
    EXPECT_GE(RunLoopAndClose(100), 0);
    StopProgram();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "初期化オブジェクトの破棄に失敗しました。");
    EXPECT_EQ(messages[0].caption, "警告");
    EXPECT_EQ(messages[0].icon, ui::MsgIcon::Exclamation);
}

// With nobody to answer a box, the program's end says it on standard error instead.
TEST_F(ShutdownTest, SettingsThatCannotBeWrittenAreReportedOnStandardErrorAfterASignal) {
    MakeSettingsUnwritable(); // read at start as missing: the start-up scan runs
    QProcess program;
    StartProgramProcess(program, KASONT_BINARY);
    ASSERT_TRUE(program.waitForStarted());
    // The scan's first probe: the program is up and its signal handler in place.
    ASSERT_TRUE(WaitFor([this] { return !driver->receivedLines().isEmpty(); }, 10000));
    ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    ASSERT_TRUE(WaitFor([&] { return program.state() == QProcess::NotRunning; }, 5000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    const QString errors = QString::fromUtf8(program.readAllStandardError());
    EXPECT_TRUE(errors.contains("警告: 初期化オブジェクトの破棄に失敗しました。\n"))
        << errors.toStdString();
}

// The program as its own process, ended by SIGTERM once it is up, and by SIGHUP.
TEST_F(ShutdownTest, TerminationSignalEndsTheProgramAndTheNextStartRuns) {
    QProcess first;
    StartProgramProcess(first, KASONT_BINARY);
    ASSERT_TRUE(first.waitForStarted());
    ASSERT_TRUE(WaitForInstanceLock(10000));
    ASSERT_TRUE(WaitForTerminationHandler(first, 10000));
    ASSERT_EQ(first.state(), QProcess::Running);
    QFile::remove(SettingsPath());
    QElapsedTimer clock;
    clock.start();
    ::kill(static_cast<pid_t>(first.processId()), SIGTERM);
    ASSERT_TRUE(WaitFor([&] { return first.state() == QProcess::NotRunning; }, 5000));
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_EQ(first.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(first.exitCode(), 0);
    EXPECT_EQ(StoredSetting("Comm", "TransmitCheck").toInt(), 2);

    // The next start takes the lock and keeps running. A hang-up (the terminal that started it
    // closed) ends it as SIGTERM does, settings written.
    QProcess second;
    StartProgramProcess(second, KASONT_BINARY);
    ASSERT_TRUE(second.waitForStarted());
    ASSERT_TRUE(WaitForInstanceLock(10000));
    ASSERT_TRUE(WaitForTerminationHandler(second, 10000, SIGHUP));
    EXPECT_EQ(second.state(), QProcess::Running);
    QFile::remove(SettingsPath());
    ::kill(static_cast<pid_t>(second.processId()), SIGHUP);
    ASSERT_TRUE(WaitFor([&] { return second.state() == QProcess::NotRunning; }, 5000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(StoredSetting("Comm", "TransmitCheck").toInt(), 2);
}

TEST_F(ShutdownTest, TerminationSignalDuringTheStartupScanEndsTheProgram) {
    WriteSetting("Comm", "TransmitCheck", 1);
    QProcess program;
    StartProgramProcess(program, KASONT_BINARY);
    ASSERT_TRUE(program.waitForStarted());
    // The scan runs while the main window is being shown, before the event loop starts.
    ASSERT_TRUE(WaitFor([&] { return driver->receivedLines().contains("Y:#33"); }, 10000));
    ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    ASSERT_TRUE(WaitFor([&] { return program.state() == QProcess::NotRunning; }, 5000));
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_FALSE(driver->receivedLines().contains("W:#33")); // the scan ended with the signal
}

} // namespace
