// The axis scans: at start-up with the splash window, and the setup dialog's check.
#include "AppTest.h"

#include "link/UnitGeneral.h"
#include "shell/AxisScan.h"
#include "shell/UnitMain.h"
#include "shell/UnitSetup.h"
#include "shell/UnitSplashWindow.h"
#include "ui/Wait.h"

#include <QTimer>

namespace {

class AxisScanTest : public AppTest {
protected:
    void SetUp() override {
        driverConfig.axes = "XAC";
        AppTest::SetUp();
    }
    static QString Answered(AxisBoxes* boxes) {
        QString letters;
        for (char letter = 'A'; letter <= 'Z'; ++letter)
            if (boxes->BoxOf(letter)->text() == "OK") letters += letter;
        return letters;
    }
    static QList<QByteArray> Probes(char letter) {
        const QByteArray line = QByteArray(1, letter) + ":#33";
        return {line, line};
    }
};

TEST_F(AxisScanTest, StartupScanFindsExactlyThePresentAxes) {
    StartProgram();
    bool splashSeen = false;
    QObject::connect(driver.get(), &sim::SimulatedDriver::lineReceived, driver.get(), [&] {
        splashSeen = splashSeen || (frmSplashWindow && frmSplashWindow->isVisible());
    });
    frmMain->show();
    EXPECT_TRUE(splashSeen);
    EXPECT_EQ(frmSplashWindow, nullptr);
    EXPECT_EQ(frmMain->AxisMask, (1 << 23) | (1 << 0) | (1 << 2));
    EXPECT_EQ(Answered(frmSetup->grpAxisCondition), "ACX");
    EXPECT_EQ(frmSetup->grpAxisCondition->BoxOf('X')->palette().color(QPalette::Base),
              QColor(0, 255, 0));
    ASSERT_TRUE(WaitFor([this] { return driver->receivedLines().size() == 53; }));
    const QList<QByteArray> lines = TakeSentLines();
    EXPECT_EQ(lines.mid(0, 2), Probes('X'));
    EXPECT_EQ(lines.mid(6, 2), Probes('A'));
    EXPECT_EQ(lines.mid(50, 2), Probes('W'));
    EXPECT_EQ(lines.last(), "*:");
    EXPECT_TRUE(messages.empty());
}

TEST_F(AxisScanTest, StartupScanOffSendsNothing) {
    WriteSetting("Comm", "TransmitCheck", 2);
    StartProgram();
    frmMain->show();
    Pause(200);
    EXPECT_TRUE(driver->receivedLines().isEmpty());
    EXPECT_EQ(frmMain->AxisMask, 0);
}

TEST_F(AxisScanTest, CancelledStartupScanKeepsWhatItFoundAndStillDesignatesAll) {
    driver->setAxes("C");
    StartProgram();
    int lines = 0;
    QObject::connect(driver.get(), &sim::SimulatedDriver::lineReceived, driver.get(), [&] {
        if (++lines == 4 && frmSplashWindow) // during Y: X was silent
            frmSplashWindow->btnCancel->click();
    });
    frmMain->show();
    EXPECT_EQ(frmMain->AxisMask, 0);
    EXPECT_TRUE(messages.empty()); // no "not found" after a cancel
    ASSERT_TRUE(WaitFor([this] { return driver->receivedLines().size() == 5; }));
    EXPECT_EQ(driver->receivedLines().last(), "*:");
}

TEST_F(AxisScanTest, NoAnsweringAxisIsReportedAtStartup) {
    driver->setAxes("");
    StartProgram();
    frmMain->show();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].caption, "通信確立ﾁｪｯｸ完了");
    EXPECT_TRUE(messages[0].text.startsWith("通信可能なﾄﾞﾗｲﾊﾞが見つかりませんでした。"));
}

TEST_F(AxisScanTest, ProbeCountsOnlyTheSecondReplyExactly) {
    StartProgram();
    // A driver that misses the first probe but answers the second counts.
    int seen = 0;
    auto connection =
        QObject::connect(driver.get(), &sim::SimulatedDriver::lineReceived, driver.get(), [&] {
            ++seen;
            driver->setFault(seen == 1 ? sim::Fault::Silent : sim::Fault::None);
        });
    EXPECT_TRUE(ProbeAxis('A', *frmMain->Timer3));
    // One that answers only the first probe does not.
    seen = 0;
    QObject::disconnect(connection);
    QObject::connect(driver.get(), &sim::SimulatedDriver::lineReceived, driver.get(), [&] {
        if (++seen == 2) driver->setFault(sim::Fault::Silent);
    });
    driver->setFault(sim::Fault::None);
    EXPECT_FALSE(ProbeAxis('A', *frmMain->Timer3));
    // The right number with extra characters does not count.
    driver->setFault(sim::Fault::None);
    driver->setParameter('X', 33, 880);
    seen = -100;
    EXPECT_FALSE(ProbeAxis('X', *frmMain->Timer3));
}

TEST_F(AxisScanTest, SetupCheckOpensScansDesignatesAndClosesThePort) {
    WriteSetting("Comm", "TransmitCheck", 2);
    StartProgram();
    frmMain->lblAxis->setText("A");
    std::vector<ui::MessageRecord> inDialog;
    ui::SetModalResponder([&](ui::Form&) {
        frmSetup->cmbBaudrate->SetItemIndex(2); // 9600 needs a check before the dialog closes
        frmSetup->btnClose->click();
        inDialog = messages;
        frmSetup->btnCheck->click();
        EXPECT_EQ(frmSetup->btnCheck->text(), "確認");
        EXPECT_TRUE(frmSetup->btnClose->isEnabled());
        EXPECT_FALSE(mdlGeneral->PortForTests().Opened());
        frmSetup->btnClose->click();
        return frmSetup->ModalResultValue();
    });
    frmMain->btnSetup->click();
    ASSERT_EQ(inDialog.size(), 1u);
    EXPECT_EQ(inDialog[0].text, "通信設定が変更されましたので通信確立状況を確認してください。");
    EXPECT_EQ(inDialog[0].caption, "通信確立ﾁｪｯｸ確認");
    EXPECT_TRUE(HasMessage("通信確立ﾁｪｯｸ処理が完了しました。"));
    EXPECT_EQ(frmMain->AxisMask, (1 << 23) | (1 << 0) | (1 << 2));
    EXPECT_EQ(Answered(frmSetup->grpAxisCondition), "ACX");
    EXPECT_EQ(frmMain->Label5->text(), "9600");
    EXPECT_EQ(mdlGeneral->PortForTests().BaudRate, 9600);
    EXPECT_TRUE(mdlGeneral->PortForTests().Opened()); // reopened by the setup button
    EXPECT_EQ(mdlGeneral->LineHolder(), ridTerminal);
    EXPECT_EQ(driver->inputSpeed(), B9600);
    ASSERT_TRUE(WaitFor([this] { return driver->receivedLines().size() == 53; }));
    EXPECT_EQ(driver->receivedLines().last(), "A:");
}

// The simulated driver's pseudo-terminal has no parity to set: at the rate it already runs, some
// kernels refuse even parity outright, others keep 8 data bits without it. The check still opens
// it, what is in force is what it holds, and the axes answer.
TEST_F(AxisScanTest, SetupCheckAtEvenParityFindsTheSimulatedAxes) {
    WriteSetting("Comm", "TransmitCheck", 2);
    StartProgram();
    ui::SetModalResponder([&](ui::Form&) {
        frmSetup->cmbParity->SetItemIndex(1);
        frmSetup->btnCheck->click();
        frmSetup->btnClose->click();
        return frmSetup->ModalResultValue();
    });
    frmMain->btnSetup->click();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "通信確立ﾁｪｯｸ処理が完了しました。");
    EXPECT_EQ(frmMain->AxisMask, (1 << 23) | (1 << 0) | (1 << 2));
    EXPECT_EQ(Answered(frmSetup->grpAxisCondition), "ACX");
    EXPECT_EQ(frmMain->Label6->text(), "[bps], E, 7, 1");
    EXPECT_EQ(mdlGeneral->PortForTests().ByteSize(), platform::_7);
    EXPECT_EQ(mdlGeneral->PortForTests().ParityBits(), platform::pbEven);
    const termios& applied = mdlGeneral->PortForTests().AppliedSettings();
    const tcflag_t framing = CSIZE | PARENB | PARODD;
    EXPECT_EQ(applied.c_cflag & framing, driver->controlFlags() & framing);
    EXPECT_TRUE(mdlGeneral->PortForTests().Opened()); // reopened by the setup button
    EXPECT_FALSE(frmMain->PortOpenFailed);
}

TEST_F(AxisScanTest, SetupCheckStoppedEarlyStillDesignatesAndSummarises) {
    WriteSetting("Comm", "TransmitCheck", 2);
    StartProgram();
    int lines = 0;
    QObject::connect(driver.get(), &sim::SimulatedDriver::lineReceived, driver.get(), [&] {
        if (++lines == 6) // during Z
            QTimer::singleShot(0, [] { frmSetup->btnCheck->click(); });
    });
    ui::SetModalResponder([&](ui::Form&) {
        frmSetup->btnCheck->click();
        frmSetup->btnClose->click();
        return frmSetup->ModalResultValue();
    });
    frmMain->btnSetup->click();
    EXPECT_EQ(frmSetup->ProgressBar1->value(), 0);
    EXPECT_EQ(frmMain->AxisMask, 1 << 23);
    EXPECT_EQ(Answered(frmSetup->grpAxisCondition), "X");
    EXPECT_TRUE(HasMessage("通信確立ﾁｪｯｸ処理が完了しました。"));
    ASSERT_TRUE(WaitFor([this] { return driver->receivedLines().size() == 7; }));
    EXPECT_EQ(driver->receivedLines().last(), "*:");
}

// 確認 on a port that will not open: one warning, nothing sent, and the end of the program with
// the settings the dialog shows.
TEST_F(AxisScanTest, SetupCheckWithAPortThatWillNotOpenSendsNothing) {
    WriteSetting("Comm", "TransmitCheck", 2);
    StartProgram();
    ui::SetModalResponder([&](ui::Form&) {
        frmSetup->cmbPort->SetItemIndex(1); // Comm2 has no device here
        frmSetup->btnCheck->click();
        return frmSetup->ModalResultValue();
    });
    driver->clearReceived();
    frmMain->btnSetup->click();
    // One warning, and the program ends: no word of drivers not found, since nothing was sent,
    // and no second warning from the setup button.
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text,
              "Commポートがオープンできませんでした。\n再度ｱﾌﾟﾘｹｰｼｮﾝを立ち上げ直してください。");
    EXPECT_EQ(messages[0].caption, "警告");
    EXPECT_EQ(frmSetup->btnCheck->text(), "確認");
    EXPECT_TRUE(frmSetup->btnClose->isEnabled());
    EXPECT_FALSE(frmSetup->isVisible());
    EXPECT_TRUE(ui::QuitRequested());
    EXPECT_EQ(frmSetup->cmbPort->ItemIndex(), 1); // kept, to be saved as the dialog shows it
    Pause(100);
    EXPECT_TRUE(driver->receivedLines().isEmpty());
    EXPECT_TRUE(frmMain->PortOpenFailed);
}

TEST_F(AxisScanTest, SendFailureInTheCheckReturnsTheDialogToIdle) {
    WriteSetting("Comm", "TransmitCheck", 2);
    StartProgram();
    int lines = 0;
    QObject::connect(driver.get(), &sim::SimulatedDriver::lineReceived, driver.get(), [&] {
        if (++lines == 3) driver->hangUp();
    });
    ui::SetModalResponder([&](ui::Form&) {
        frmSetup->btnCheck->click();
        EXPECT_EQ(frmSetup->btnCheck->text(), "確認");
        EXPECT_TRUE(frmSetup->btnClose->isEnabled());
        EXPECT_FALSE(mdlGeneral->PortForTests().Opened());
        frmSetup->btnClose->click();
        return frmSetup->ModalResultValue();
    });
    frmMain->btnSetup->click();
    // The lost line is told once, by the owner of the line; the scan adds no second box. (The
    // port that cannot be reopened after the dialog is a failure of its own.)
    ASSERT_GE(messages.size(), 1u);
    EXPECT_TRUE(messages[0].text.startsWith("Commポートとの接続が切れました。"));
    EXPECT_FALSE(HasMessage("通信確立中に送信エラーを検知しました。"));
    for (size_t i = 1; i < messages.size(); ++i)
        EXPECT_TRUE(messages[i].text.startsWith("Commポートがオープンできませんでした。"))
            << messages[i].text.toStdString();
}

TEST_F(AxisScanTest, SendFailureWithoutALostLineIsToldInTheScansWords) {
    WriteSetting("Comm", "TransmitCheck", 2);
    StartProgram();
    ui::SetModalResponder([&](ui::Form&) {
        mdlGeneral->PortForTests().Close(); // the scan opens the port, so close it behind its back
        QObject::connect(driver.get(), &sim::SimulatedDriver::lineReceived, driver.get(),
                         [] { mdlGeneral->PortForTests().Close(); });
        frmSetup->btnCheck->click();
        EXPECT_EQ(frmSetup->btnCheck->text(), "確認");
        frmSetup->btnClose->click();
        return frmSetup->ModalResultValue();
    });
    frmMain->btnSetup->click();
    EXPECT_TRUE(HasMessage("通信確立中に送信エラーを検知しました。"));
    EXPECT_EQ(mdlGeneral->LineLosses(), 0);
}

} // namespace
