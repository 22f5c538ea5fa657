// The logging launcher and its pre-reads against the simulated driver: which window opens for
// which series and model, the drive constants and settings read, refusals and lost replies.
#include "LoggingTestSupport.h"

#include "logging/UnitLogging.h"
#include "logging/UnitLogging_QWB.h"
#include "logging/UnitLogging_QWC.h"
#include "shell/UnitGeneral.h"
#include "shell/UnitMain.h"

namespace {

using LoggingLauncherTest = LoggingTest;

TEST_F(LoggingLauncherTest, ThirdSeriesReadsConstantsAndSettingsThenOpens) {
    StartOnSeries(2, "QWC50A_C3");
    driver->setParameter('X', 0, 2000);
    driver->setParameter('X', 8, 123);
    driver->setParameter('X', 38, -1);
    driver->setParameter('X', 76, 0);
    SetSetting("#KENC", "5000");
    SetSetting("LTIME", "-4");
    SetSetting("VERLG", "2");
    SetSetting("LOGMD", "0");
    SetSetting("LOG2N", "FOO");
    Launch();
    ASSERT_TRUE(frmLogging_QWC->isVisible());
    EXPECT_TRUE(frmMain->LoggingReady);
    EXPECT_EQ(
        TakeSentLines(),
        (QList<QByteArray>{"VER",   "VER",   "SVKHZ", "SVKHZ", "#0",    "#0",    "VER",  "#1",
                           "#3",    "#7",    "#8",    "#38",   "#41",   "#KENC", "#76",  "LOGMD",
                           "LTIME", "VERLG", "LOG1N", "LOG2N", "LOG3N", "LOG4N", "&LOGP"}));
    EXPECT_EQ(frmMain->EncoderResolution, 2000);
    EXPECT_EQ(frmMain->DetectMultiplier, 2);
    EXPECT_EQ(frmMain->MotorType, 2);
    EXPECT_EQ(frmMain->KencValue, 1000);
    EXPECT_EQ(frmMain->SpeedMultiplier, 1);
    EXPECT_EQ(frmMain->PulseScale, 2000000);
    EXPECT_EQ(frmMain->SpeedScale, 30000);
    EXPECT_EQ(frmMain->LogVersion, 2);
    EXPECT_EQ(frmMain->LogpText, "0010C000");
    EXPECT_EQ(frmMain->ControlKhzText, "8");
    EXPECT_EQ(frmLogging_QWC->cmbLogMode->currentText(), "Rolling");
    EXPECT_EQ(frmLogging_QWC->cmbLogTime->itemText(0), "0.125");
    EXPECT_EQ(frmLogging_QWC->cmbLogTime->currentText(), "0.25"); // list D, period -4
    EXPECT_EQ(frmLogging_QWC->cmbLogVal1->ItemIndex(), 0);
    EXPECT_EQ(frmLogging_QWC->cmbLogVal2->ItemIndex(), 33);
    EXPECT_EQ(frmLogging_QWC->cmbLogVal2->currentText(), "FOO");
    EXPECT_EQ(frmLogging_QWC->cmbLogVal3->currentText(), "VACT");
    // CH1 (TIME, ticked) was scaled with the constants read.
    EXPECT_EQ(frmLogging_QWC->ValueLabels[0]->text(), "10000");
}

TEST_F(LoggingLauncherTest, ModelsOfAnotherSeriesAreRefused) {
    StartOnSeries(1, "QWC30");
    Launch();
    EXPECT_FALSE(frmLogging_QWB->isVisible());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "ﾄﾞﾗｲﾊﾞｼﾘｰｽﾞ名が異なる為、ﾛｷﾞﾝｸﾞ画面は表示されません。");
    EXPECT_EQ(messages[0].caption, "ﾄﾞﾗｲﾊﾞｼﾘｰｽﾞ名ｴﾗｰ");
    EXPECT_EQ(TakeSentLines(), (QList<QByteArray>{"VER", "VER"}));

    driver->setFault(sim::Fault::NotSupported);
    Launch();
    driver->setFault(sim::Fault::None);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].caption, "受信ｴﾗｰ");
    EXPECT_TRUE(frmMain->LoggingReady);
}

TEST_F(LoggingLauncherTest, FirstSeriesPreReadComputesItsOwnFactor) {
    StartOnSeries(0, "QWA-PLD8AA");
    driver->setParameter('X', 0, 0); // 0 becomes 1000
    driver->setParameter('X', 3, 16);
    driver->setParameter('X', 7, 3000);
    driver->setParameter('X', 8, 40);
    driver->setParameter('X', 41, 39);
    SetSetting("#$DFFA", "300");
    Launch();
    ASSERT_TRUE(frmLogging->isVisible());
    EXPECT_EQ(TakeSentLines(),
              (QList<QByteArray>{"VER", "VER", "#0", "#3", "#7", "#8", "#41", "#$DFFA"}));
    EXPECT_EQ(frmMain->EncoderResolution, 1000);
    EXPECT_EQ(frmMain->DetectMultiplier, 4);
    EXPECT_EQ(frmMain->KencValue, 100);
    EXPECT_EQ(frmMain->LogTimeValue, 300);
    EXPECT_EQ(frmLogging->cmbLogTime->ItemIndex(), -1);
    EXPECT_EQ(frmLogging->cmbLogMode->ItemIndex(), 0);
    EXPECT_EQ(frmLogging->Label24->text(), "2000");
    // RUN with no period reports it.
    frmLogging->btnRun->click();
    EXPECT_TRUE(HasMessage("ﾃﾞｰﾀ取込周期を指定してください。\n"));
}

TEST_F(LoggingLauncherTest, SecondSeriesModelQwb10ReadsItsPeriodAtAnAddress) {
    StartOnSeries(1, "QWB10");
    SetSetting("#$0020041A", "20000");
    Launch();
    ASSERT_TRUE(frmLogging_QWB->isVisible());
    const QList<QByteArray> lines = TakeSentLines();
    EXPECT_TRUE(lines.contains("LMODE"));
    EXPECT_TRUE(lines.contains("#$0020041A"));
    EXPECT_FALSE(lines.contains("#76"));
    EXPECT_EQ(frmMain->PulseScale, 1);
    EXPECT_EQ(frmLogging_QWB->cmbLogTime->currentText(), "20000");

    driver->setModelText('X', "QWB10A");
    SetSetting("LTIME", "15");
    Launch();
    const QList<QByteArray> again = TakeSentLines();
    EXPECT_TRUE(again.contains("#76"));
    EXPECT_TRUE(again.contains("LOGMD"));
    EXPECT_TRUE(again.contains("LTIME"));
    EXPECT_EQ(frmLogging_QWB->cmbLogTime->currentText(), "10");
}

TEST_F(LoggingLauncherTest, Qwc30ModelKeepsTheFastestPeriodInListB) {
    StartOnSeries(2, "QWC30");
    SetSetting("SVKHZ", "2");
    SetSetting("LTIME", "0");
    Launch();
    ASSERT_TRUE(frmLogging_QWC->isVisible());
    EXPECT_FALSE(TakeSentLines().contains("VERLG"));
    EXPECT_EQ(frmLogging_QWC->cmbLogTime->ItemIndex(), 0);
    EXPECT_EQ(frmLogging_QWC->cmbLogTime->currentText(), "0.5");
    EXPECT_EQ(frmLogging_QWC->cmbLogTime->itemText(1), "1");
    EXPECT_EQ(frmLogging_QWC->cmbLogTime->itemText(21), "");
}

TEST_F(LoggingLauncherTest, LostReplyHidesTheLoggingWindows) {
    StartOnSeries(2, "QWC50A_C3");
    Launch();
    ASSERT_TRUE(frmLogging_QWC->isVisible());
    int versionQueries = 0;
    QObject::connect(driver.get(), &sim::SimulatedDriver::lineReceived, driver.get(),
                     [&](const QByteArray& line) {
                         if (line == "VER" && ++versionQueries == 1)
                             driver->setFault(sim::Fault::Silent);
                     });
    Launch();
    EXPECT_FALSE(frmLogging_QWC->isVisible());
    EXPECT_FALSE(frmMain->LoggingReady);
    EXPECT_TRUE(HasMessage("ドライバと通信できませんでした。"));
    EXPECT_EQ(messages.back().caption, "ｴﾗ-");
}

TEST_F(LoggingLauncherTest, ChannelNamesSelectTheirItemOrTheCustomOne) {
    StartOnSeries(1, "QWB20");
    frmMain->SetLogChannelByName("QFFD", 2);
    EXPECT_EQ(frmLogging_QWB->cmbLogVal2->ItemIndex(), 20);
    frmMain->SetLogChannelByName("qffd", 2);
    EXPECT_EQ(frmLogging_QWB->cmbLogVal2->ItemIndex(), 27);
    frmMain->SetLogChannelByName("TIME", 5);
    EXPECT_EQ(frmLogging_QWB->cmbLogVal2->ItemIndex(), 27);
}

} // namespace
