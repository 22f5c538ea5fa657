// Start-up and shut-down: settings read into the controls, the port opened with them, settings
// written back at the end, the close question, and the single instance.
#include "AppTest.h"
#include "ui/Wait.h"

#include "editor/UnitEdit.h"
#include "link/UnitGeneral.h"
#include "logging/UnitLogging_QWB.h"
#include "logging/UnitLogging_QWC.h"
#include "parameters/UnitPrm.h"
#include "parameters/UnitPrmLock.h"
#include "platform/InstanceLock.h"
#include "shell/UnitMain.h"
#include "shell/UnitSetup.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <sys/file.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace {

using StartupTest = AppTest;

// What `run` writes to standard error, caught at the descriptor so that every writer is heard.
QString StandardErrorOf(const std::function<void()>& run) {
    QTemporaryFile file;
    if (!file.open()) return {};
    std::fflush(stderr);
    const int saved = ::dup(STDERR_FILENO);
    ::dup2(file.handle(), STDERR_FILENO);
    run();
    std::fflush(stderr);
    ::dup2(saved, STDERR_FILENO);
    ::close(saved);
    file.seek(0);
    return QString::fromUtf8(file.readAll());
}

std::vector<int> ItemIndexes(TFourChannelLogging* window) {
    std::vector<int> indexes;
    for (auto* list : window->ChannelLists())
        indexes.push_back(list->ItemIndex());
    return indexes;
}

TEST_F(StartupTest, NoSettingsGiveTheDefaultsAndWriteThemBack) {
    StartProgram();
    EXPECT_EQ(frmSetup->cmbModelType->currentText(), "QWC");
    EXPECT_EQ(frmSetup->cmbPort->currentText(), "Comm1");
    EXPECT_EQ(frmSetup->cmbBaudrate->currentText(), "1200");
    EXPECT_EQ(frmSetup->cmbParity->currentText(), "無し");
    EXPECT_EQ(frmSetup->cmbTransmit->currentText(), "有り");
    EXPECT_EQ(frmMain->Label5->text(), "1200");
    EXPECT_EQ(frmMain->Label6->text(), "[bps], N, 8, 1");
    EXPECT_EQ(ItemIndexes(frmLogging_QWB), (std::vector<int>{0, 2, 5, 10}));
    EXPECT_EQ(ItemIndexes(frmLogging_QWC), (std::vector<int>{0, 2, 5, 11}));
    EXPECT_TRUE(frmPrm->PrmGuide_Checkbox->Checked());
    EXPECT_TRUE(frmPrmLock->PrmGuide_Checkbox->Checked());
    EXPECT_FALSE(frmMain->PortOpenFailed);
    EXPECT_TRUE(mdlGeneral->PortForTests().Opened());
    EXPECT_EQ(mdlGeneral->LineHolder(), ridTerminal);
    EXPECT_EQ(frmMain->EncoderResolution, 1000);
    EXPECT_EQ(frmMain->DriverMaxCurrent, 39);
    // The third series' guide of #000 in the list and the lock window.
    EXPECT_TRUE(frmPrm->RichEdit1->toPlainText().startsWith("名称 : ｴﾝｺｰﾀﾞ基本分解能"));
    EXPECT_EQ(frmPrmLock->RichEdit1->toPlainText().split('\n').size(), 7);
    EXPECT_TRUE(messages.empty());
    StopProgram();

    EXPECT_EQ(StoredSetting("Model", "ModelType").toInt(), 3);
    EXPECT_EQ(StoredSetting("Comm", "CommPort").toInt(), 1);
    EXPECT_EQ(StoredSetting("Comm", "Baudrate").toInt(), 1200);
    EXPECT_EQ(StoredSetting("Comm", "Parity").toInt(), 1);
    EXPECT_EQ(StoredSetting("Comm", "TransmitCheck").toInt(), 1);
    EXPECT_EQ(StoredSetting("Logging", "Log4Name_QWB").toInt(), 11);
    EXPECT_EQ(StoredSetting("Logging", "Log4Name_QWC").toInt(), 12);
    EXPECT_EQ(StoredSetting("Logging", "Log1Scal_QWC").toInt(), 5); // the windows start at step 4
    EXPECT_EQ(StoredSetting("Prm", "Guide").toInt(), 1);
}

TEST_F(StartupTest, OddStoredValuesAreTakenAsTheOriginalDid) {
    WriteSetting("Comm", "Baudrate", 2400);
    WriteSetting("Comm", "Parity", 2);
    WriteSetting("Model", "ModelType", 5);
    WriteSetting("Logging", "Log2Name_QWB", 99);
    StartProgram();
    EXPECT_EQ(frmSetup->cmbBaudrate->currentText(), "1200");
    EXPECT_EQ(frmMain->Label5->text(), "1200");
    EXPECT_EQ(mdlGeneral->PortForTests().BaudRate, 1200);
    EXPECT_EQ(frmMain->Label6->text(), "[bps], E, 7, 1");
    EXPECT_EQ(frmSetup->cmbParity->currentText(), "偶数");
    EXPECT_EQ(mdlGeneral->PortForTests().ByteSize(), platform::_7);
    EXPECT_EQ(SeriesIndex(), -1);
    EXPECT_TRUE(frmPrm->RichEdit1->toPlainText().isEmpty());
    EXPECT_FALSE(frmPrmLock->RichEdit1->toPlainText().isEmpty());
    EXPECT_EQ(frmLogging_QWB->cmbLogVal2->ItemIndex(), -1);
    StopProgram();
    EXPECT_EQ(StoredSetting("Comm", "Baudrate").toInt(), 1200);
    EXPECT_EQ(StoredSetting("Model", "ModelType").toInt(), 0);
    EXPECT_EQ(StoredSetting("Logging", "Log2Name_QWB").toInt(), 0);
}

TEST_F(StartupTest, UnlistedParityAndPortStillReachThePort) {
    WriteSetting("Comm", "Parity", 5);
    WriteSetting("Comm", "CommPort", 9);
    qputenv("KASONT_COMM9", driver->slavePath().toLocal8Bit());
    StartProgram();
    qunsetenv("KASONT_COMM9");
    EXPECT_EQ(frmMain->Label6->text(), "[bps], N, 8, 1");
    EXPECT_EQ(frmSetup->cmbParity->ItemIndex(), -1);
    EXPECT_EQ(mdlGeneral->PortForTests().ByteSize(), platform::_8);
    EXPECT_EQ(frmSetup->cmbPort->ItemIndex(), -1);
    EXPECT_EQ(mdlGeneral->PortForTests().Port, 9);
    EXPECT_TRUE(mdlGeneral->PortForTests().Opened());
    StopProgram();
    EXPECT_EQ(StoredSetting("Comm", "Parity").toInt(), 0);
    EXPECT_EQ(StoredSetting("Comm", "CommPort").toInt(), 0);
}

TEST_F(StartupTest, GuideFlagFollowsTheCheckBoxes) {
    WriteSetting("Prm", "Guide", "false");
    StartProgram();
    EXPECT_FALSE(frmPrm->PrmGuide_Checkbox->Checked());
    EXPECT_FALSE(frmPrmLock->PrmGuide_Checkbox->Checked());
    EXPECT_TRUE(frmPrm->RichEdit1->isHidden());
    EXPECT_TRUE(frmPrmLock->RichEdit1->isHidden());
    StopProgram();
    EXPECT_EQ(StoredSetting("Prm", "Guide").toInt(), 0);

    StartProgram();
    frmPrmLock->PrmGuide_Checkbox->click(); // the user checks one box: both follow
    EXPECT_TRUE(frmPrm->PrmGuide_Checkbox->Checked());
    StopProgram();
    EXPECT_EQ(StoredSetting("Prm", "Guide").toInt(), 1);
}

TEST_F(StartupTest, BadSettingsFileStartsOnDefaults) {
    QFile file(SettingsPath());
    QDir().mkpath(QFileInfo(file).absolutePath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\x01\xff[Comm\nBaudrate=fast\n=\n[Model]\nModelType=two\n");
    file.close();
    StartProgram();
    EXPECT_EQ(frmSetup->cmbModelType->currentText(), "QWC");
    EXPECT_EQ(frmMain->Label5->text(), "1200");
    StopProgram();
    EXPECT_EQ(StoredSetting("Model", "ModelType").toInt(), 3);
}

// The lines of standard error that name `device`.
QStringList LinesNaming(const QString& standardError, const QString& device) {
    return standardError.split('\n').filter(device);
}

TEST_F(StartupTest, MissingOrBusyDeviceWarnsAndStartsWithoutThePort) {
    const QString warning =
        "Commポートがオープンできませんでした。\n設定画面でポートの選択を変更してください。";
    qputenv("KASONT_COMM1", "/dev/no-such-tty");
    QString written = StandardErrorOf([this] { StartProgram(); });
    EXPECT_TRUE(HasMessage(warning));
    EXPECT_TRUE(frmMain->PortOpenFailed);
    EXPECT_EQ(mdlGeneral->LineHolder(), ridTerminal);
    // Beside the box, one line says which device and why.
    QStringList lines = LinesNaming(written, "/dev/no-such-tty");
    ASSERT_EQ(lines.size(), 1) << written.toStdString();
    EXPECT_TRUE(lines[0].endsWith(QString::fromLocal8Bit(std::strerror(ENOENT))))
        << lines[0].toStdString();
    StopProgram();

    messages.clear();
    qputenv("KASONT_COMM1", driver->slavePath().toLocal8Bit());
    const int holder = ::open(driver->slavePath().toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);
    written = StandardErrorOf([this] { StartProgram(); });
    EXPECT_TRUE(HasMessage(warning));
    EXPECT_TRUE(frmMain->PortOpenFailed);
    lines = LinesNaming(written, driver->slavePath());
    ASSERT_EQ(lines.size(), 1) << written.toStdString();
    EXPECT_TRUE(lines[0].endsWith(QString::fromLocal8Bit(std::strerror(EBUSY))))
        << lines[0].toStdString();
    StopProgram();
    ::close(holder);
}

// After opening, the port's settings are read back: what the program reports in force is what the
// device holds. The simulated driver's pseudo-terminal holds its own framing (a Linux one keeps
// 8 data bits without parity whatever it is asked): it still opens, and one line of standard
// error says which framing it has. The rate and everything else it holds as asked.
TEST_F(StartupTest, TheFramingReportedInForceIsWhatThePortReadsBack) {
    WriteSetting("Comm", "Parity", 2); // 7 data bits, even parity
    WriteSetting("Comm", "Baudrate", 9600);
    WriteSetting("Comm", "TransmitCheck", 2);
    const QString written = StandardErrorOf([this] { StartProgram(); });
    ASSERT_TRUE(mdlGeneral->PortOpen());
    EXPECT_FALSE(frmMain->PortOpenFailed);
    EXPECT_EQ(mdlGeneral->PortForTests().ByteSize(), platform::_7); // what was asked
    EXPECT_EQ(mdlGeneral->PortForTests().ParityBits(), platform::pbEven);
    const termios& inForce = mdlGeneral->PortForTests().AppliedSettings();
    const tcflag_t framing = CSIZE | PARENB | PARODD | CSTOPB;
    EXPECT_EQ(inForce.c_cflag & framing, driver->controlFlags() & framing);
    EXPECT_EQ(cfgetospeed(&inForce), static_cast<speed_t>(B9600));
    const bool heldAsAsked = (driver->controlFlags() & (CSIZE | PARENB)) == (CS7 | PARENB);
    EXPECT_EQ(frmMain->Label6->text(), "[bps], E, 7, 1"); // the setting chosen
    const QStringList lines = LinesNaming(written, driver->slavePath());
    if (heldAsAsked) {
        EXPECT_TRUE(lines.isEmpty()) << written.toStdString();
    } else {
        ASSERT_EQ(lines.size(), 1) << written.toStdString();
        EXPECT_TRUE(lines[0].endsWith("a pseudo-terminal carries no framing of its own: opened at "
                                      "8N1 (asked for 7E1)"))
            << lines[0].toStdString();
    }
    // The driver answers over it as before.
    Type(frmMain->edtSend, "VER\r");
    EXPECT_TRUE(WaitFor([] { return !frmMain->lblReceive->text().isEmpty(); }));
    EXPECT_EQ(StoredSetting("Comm", "Parity").toInt(), 2); // the setting stays as chosen
}

// A device that takes a setting without an error but holds another is told of by the setting and
// what it holds; only data bits, parity and stop bits are a pseudo-terminal's own.
TEST(LineSettingsTest, EverySettingTheDeviceDidNotTakeIsNamedWithWhatItHolds) {
    termios asked{};
    ::cfmakeraw(&asked);
    asked.c_cflag = (asked.c_cflag & ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS)) | CS7 | PARENB |
                    CLOCAL | CREAD;
    asked.c_lflag |= ICANON;
    asked.c_cc[VEOL] = '\r';
    ::cfsetispeed(&asked, B9600);
    ::cfsetospeed(&asked, B9600);
    EXPECT_TRUE(platform::UntakenSettings(asked, asked).empty());
    EXPECT_EQ(platform::FramingText(asked), "7E1");

    termios held = asked;
    held.c_cflag = (held.c_cflag & ~(CSIZE | PARENB)) | CS8;
    std::vector<platform::UntakenSetting> untaken = platform::UntakenSettings(asked, held);
    ASSERT_EQ(untaken.size(), 2u);
    EXPECT_EQ(untaken[0].text, "7 data bits (holds 8 data bits)");
    EXPECT_EQ(untaken[1].text, "even parity (holds no parity)");
    EXPECT_TRUE(untaken[0].framing && untaken[1].framing);
    EXPECT_EQ(platform::FramingText(held), "8N1");

    held = asked;
    ::cfsetospeed(&held, B4800);
    ::cfsetispeed(&held, B4800);
    held.c_iflag |= ISTRIP | IXON;
    held.c_cflag |= CSTOPB;
    untaken = platform::UntakenSettings(asked, held);
    QStringList texts;
    for (const platform::UntakenSetting& setting : untaken)
        texts.append(setting.text + (setting.framing ? " [framing]" : ""));
    EXPECT_EQ(
        texts,
        QStringList({"output at 9600 bps (holds 4800 bps)", "input at 9600 bps (holds 4800 bps)",
                     "1 stop bit (holds 2 stop bits) [framing]",
                     "software flow control off (holds on)", "input flags 0x0 (holds 0x20)"}));
}

// scripts/run.sh hands its device (the one of --device, or the simulated driver's) to the
// program as KASONT_DEVICE: the program opens it whichever port the settings hold. Without it, the
// saved port opens its own device as before.
TEST_F(StartupTest, RunScriptDeviceOpensWhicheverPortIsSaved) {
    WriteSetting("Comm", "CommPort", 3);
    WriteSetting("Devices", "Comm3", "/dev/no-such-tty");
    {
        qputenv("KASONT_DEVICE", driver->slavePath().toLocal8Bit());
        const auto unset = qScopeGuard([] { qunsetenv("KASONT_DEVICE"); });
        QProcess program;
        StartProgramProcess(program, KASONT_BINARY);
        ASSERT_TRUE(program.waitForStarted());
        // The scan at start probes the first axis on the device.
        EXPECT_TRUE(WaitFor([this] { return driver->receivedLines().contains("X:#33"); }));
        program.terminate();
        program.waitForFinished(5000);
        if (program.state() != QProcess::NotRunning) program.kill();
    }

    StartProgram();
    EXPECT_EQ(mdlGeneral->PortForTests().Port, 3);
    EXPECT_EQ(mdlGeneral->PortForTests().DevicePath(), "/dev/no-such-tty");
    EXPECT_TRUE(frmMain->PortOpenFailed);
}

TEST_F(StartupTest, CloseAsksOnlyWhenTheEditorShowsUnsavedWork) {
    StartProgram();
    frmEdit->DocModified[3] = true;
    EXPECT_TRUE(frmMain->close()); // editor hidden: no question
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(ui::QuitRequested());
    ui::ClearQuitRequest();

    frmSetup->cmbTransmit->SetItemIndex(1); // no axis scan when the window shows
    frmMain->show();
    frmEdit->Show();
    answer = ui::MsgResult::No;
    EXPECT_FALSE(frmMain->close());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text,
              "編集画面にて保存されていないﾌｧｲﾙがあります。それでも終了しますか？");
    EXPECT_EQ(messages[0].caption, "警告");
    EXPECT_EQ(messages[0].icon, ui::MsgIcon::Question);
    EXPECT_TRUE(frmMain->isVisible());

    answer = ui::MsgResult::Yes;
    EXPECT_TRUE(frmMain->close());
}

// A second start says on standard error that the program runs already, and exits 1. The lock is
// the user's own, in the temporary folder too when there is no runtime folder, and the program
// then leaves nothing else there; a lock file that cannot be opened is no sign of another
// instance: the program starts all the same, and says why it has no lock.
TEST_F(StartupTest, SecondInstanceExitsWithCodeOne) {
    QProcess first;
    StartProgramProcess(first, KASONT_BINARY);
    ASSERT_TRUE(first.waitForStarted());
    ASSERT_TRUE(WaitForInstanceLock(10000));

    QProcess second;
    StartProgramProcess(second, KASONT_BINARY);
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitCode(), 1);
    EXPECT_EQ(QString::fromUtf8(second.readAllStandardError()).trimmed(),
              "kasont: the program is already running (it holds " + runtimeDir.path() +
                  "/KasoNT.lock)");

    first.terminate();
    first.waitForFinished(5000);
    if (first.state() != QProcess::NotRunning) first.kill();

    // Without a runtime folder: the lock in the temporary folder, no word of Qt about the
    // missing folder, and nothing but the lock left there once the program has ended.
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    const QByteArray temporary = qgetenv("TMPDIR");
    const QTemporaryDir ownTemporary;
    const QString lockFile = QString("KasoNT-%1.lock").arg(::getuid());
    qunsetenv("XDG_RUNTIME_DIR");
    qputenv("TMPDIR", ownTemporary.path().toLocal8Bit());
    EXPECT_EQ(platform::InstanceLock("KasoNT").FilePath(), ownTemporary.path() + "/" + lockFile);
    QProcess withoutRuntime;
    StartProgramProcess(withoutRuntime, KASONT_BINARY);
    qputenv("XDG_RUNTIME_DIR", runtime);
    qputenv("TMPDIR", temporary);
    if (temporary.isNull()) qunsetenv("TMPDIR");
    ASSERT_TRUE(withoutRuntime.waitForStarted());
    EXPECT_TRUE(WaitForInstanceLock(10000, ownTemporary.path() + "/" + lockFile));
    Pause(500); // the main window shown
    withoutRuntime.terminate();
    EXPECT_TRUE(withoutRuntime.waitForFinished(10000));
    EXPECT_EQ(withoutRuntime.exitCode(), 0);
    EXPECT_FALSE(withoutRuntime.readAllStandardError().contains("XDG_RUNTIME_DIR"));
    const QStringList left =
        QDir(ownTemporary.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    EXPECT_EQ(left.join(' ').toStdString(), lockFile.toStdString());

    QFile::remove(runtimeDir.path() + "/KasoNT.lock");
    ASSERT_TRUE(QDir(runtimeDir.path()).mkdir("KasoNT.lock"));
    QProcess unlocked;
    StartProgramProcess(unlocked, KASONT_BINARY);
    ASSERT_TRUE(unlocked.waitForStarted());
    unlocked.setReadChannel(QProcess::StandardError);
    EXPECT_TRUE(WaitFor([&] { return unlocked.canReadLine(); }));
    EXPECT_FALSE(unlocked.waitForFinished(2000)) << "the program ran on";
    EXPECT_TRUE(QString::fromUtf8(unlocked.readAllStandardError())
                    .startsWith("kasont: the lock file " + runtimeDir.path() +
                                "/KasoNT.lock cannot be opened ("));
    unlocked.terminate();
    unlocked.waitForFinished(5000);
    if (unlocked.state() != QProcess::NotRunning) unlocked.kill();
}

} // namespace
