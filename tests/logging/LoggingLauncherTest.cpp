// The logging launcher and its pre-reads against the simulated driver: which window opens for
// which series and model, the drive constants and settings read, refusals and lost replies.
#include "LoggingTestSupport.h"

#include "link/UnitGeneral.h"
#include "logging/UnitLogging.h"
#include "logging/UnitLogging_QWB.h"
#include "logging/UnitLogging_QWC.h"
#include "shell/UnitMain.h"
#include "shell/UnitSetup.h"

#include <QApplication>

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

TEST_F(LoggingLauncherTest, EveryRefusalRowShowsItsMessageAndNoWindow) {
    struct Row {
        int series;
        QByteArray model;
        const char* caption;
    };
    const char* series = "ﾄﾞﾗｲﾊﾞｼﾘｰｽﾞ名ｴﾗｰ";
    const char* reception = "受信ｴﾗｰ";
    const Row rows[] = {
        {0, "QWC50A", series},  {0, "D56E-S", series}, {0, "E-S", reception},
        {1, "QWB-D56", series}, {1, "PLD8AA", series}, {1, "E-S", reception},
        {1, "QWC30", series},   {2, "D56", series},    {2, "XPLD8AA", series},
        {2, "E-S", reception},  {2, "QWB20", series},  {3, "QWB10", series},
    };
    StartOnSeries(0, "QWA-D56");
    for (const Row& row : rows) {
        frmSetup->cmbModelType->SetItemIndex(row.series);
        driver->setModelText('X', row.model);
        messages.clear();
        Launch();
        EXPECT_EQ(TakeLinesAfterPause(), (QList<QByteArray>{"VER", "VER"}))
            << row.model.constData();
        ASSERT_EQ(messages.size(), 1u) << row.model.constData();
        EXPECT_EQ(messages[0].caption, QString::fromUtf8(row.caption)) << row.model.constData();
        for (QWidget* window :
             {static_cast<QWidget*>(frmLogging), static_cast<QWidget*>(frmLogging_QWB),
              static_cast<QWidget*>(frmLogging_QWC)})
            EXPECT_FALSE(window->isVisible()) << row.model.constData();
    }
}

TEST_F(LoggingLauncherTest, Qwc30LaunchForgetsTheLoggingVersionOfAnEarlierDriver) {
    StartOnSeries(2, "QWC50A_C3");
    SetSetting("VERLG", "2");
    Launch();
    ASSERT_EQ(frmMain->LogVersion, 2);
    driver->setModelText('X', "QWC30");
    Launch();
    ASSERT_TRUE(frmLogging_QWC->isVisible());
    EXPECT_EQ(frmMain->LogVersion, 0);
    EXPECT_TRUE(frmMain->VerlgText.isEmpty());
    TakeSentLines();
    Choose(frmLogging_QWC->cmbLogTime, 1); // list B: "1"
    EXPECT_EQ(TakeLines(2), (QList<QByteArray>{"LTIME=1", "VER"}));
    frmLogging_QWC->btnRun->click();
    frmLogging_QWC->btnRun->click();
    EXPECT_TRUE(WaitFor([this] { return driver->receivedLines().contains("LTIME=1"); }));
}

TEST_F(LoggingLauncherTest, ActivationKeepsThePeriodTheUserChose) {
    StartOnSeries(2, "QWC50A_C3");
    SetSetting("LTIME", "0");
    Launch();
    TfrmLogging_QWC* w = frmLogging_QWC;
    ASSERT_TRUE(WaitFor([w] { return w->cmbLogTime->ItemIndex() == 0; }, 10000));
    Choose(w->cmbLogTime, 6); // "5"
    EXPECT_EQ(w->TimeSpan, 5000);
    QWidget other; // the user turns to another window and back
    other.show();
    other.activateWindow();
    ASSERT_TRUE(WaitFor([&] { return other.isActiveWindow(); }, 10000));
    w->activateWindow();
    ASSERT_TRUE(WaitFor([w] { return w->isActiveWindow(); }, 10000));
    EXPECT_EQ(w->cmbLogTime->ItemIndex(), 6);
    EXPECT_EQ(w->TimeSpan, 5000);
    // The next launch applies the driver's period again.
    other.activateWindow();
    ASSERT_TRUE(WaitFor([&] { return other.isActiveWindow(); }, 10000));
    SetSetting("LTIME", "0"); // the driver's period changed meanwhile
    Launch();
    ASSERT_TRUE(WaitFor([w] { return w->cmbLogTime->ItemIndex() == 0; }, 10000));
}

TEST_F(LoggingLauncherTest, ExtremeRepliesGiveThe32BitConstants) {
    StartOnSeries(2, "QWC50A_C3");
    driver->setParameter('X', 76, INT32_MAX);
    driver->setParameter('X', 1, INT32_MAX);
    driver->setParameter('X', 38, 100); // linear: #76 x #1 x 1000 / 4
    Launch();
    ASSERT_TRUE(frmLogging_QWC->isVisible());
    EXPECT_EQ(frmMain->SpeedScale, 250);
    driver->setParameter('X', 76, 67108864); // rotary: 67108864 x 60000 wraps to INT_MIN
    driver->setParameter('X', 38, 2);
    driver->setParameter('X', 8, -15); // a multiplier of -1
    Launch();
    EXPECT_EQ(frmMain->DetectMultiplier, -1);
    EXPECT_EQ(frmMain->SpeedScale, INT32_MIN);
    StopProgram();

    StartOnSeries(0, "QWA-D56");
    SetSetting("#$DFFA", "-2147483648");
    Launch();
    ASSERT_TRUE(frmLogging->isVisible());
    EXPECT_EQ(frmMain->LogTimeValue, INT32_MIN);
    EXPECT_EQ(frmLogging->cmbLogTime->ItemIndex(), -1);
    SetSetting("#$DFFA", "+-5");
    Launch();
    EXPECT_EQ(frmMain->LogTimeValue, 10);
    EXPECT_EQ(frmLogging->cmbLogTime->currentText(), "10");
}

TEST_F(LoggingLauncherTest, LostPortDuringALaunchIsToldOnce) {
    StartOnSeries(2, "QWC50A_C3");
    Launch();
    ASSERT_TRUE(frmLogging_QWC->isVisible());
    QObject::connect(driver.get(), &sim::SimulatedDriver::lineReceived, driver.get(),
                     [this](const QByteArray& line) {
                         if (line == "#7") driver->hangUp();
                     });
    Launch();
    EXPECT_FALSE(frmLogging_QWC->isVisible());
    EXPECT_FALSE(frmMain->LoggingReady);
    Pause(300);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].text.startsWith("Commポートとの接続が切れました。"));
}

// A reply lost at any command of a launch: nothing more goes on the wire, the logging windows
// are hidden and the user is told once.
const std::vector<QByteArray> kThirdSeriesLaunch = {
    "VER",   "VER",   "SVKHZ", "SVKHZ", "#0",    "#0",    "VER",  "#1",
    "#3",    "#7",    "#8",    "#38",   "#41",   "#KENC", "#76",  "LOGMD",
    "LTIME", "VERLG", "LOG1N", "LOG2N", "LOG3N", "LOG4N", "&LOGP"};
const std::vector<QByteArray> kSecondSeriesLaunch = {
    "VER", "VER",   "#0",  "#0",    "VER",   "#1",    "#3",    "#7",    "#8",   "#38",
    "#41", "#KENC", "#76", "LOGMD", "LTIME", "LOG1N", "LOG2N", "LOG3N", "LOG4N"};
const std::vector<QByteArray> kFirstSeriesLaunch = {"VER", "VER", "#0",  "#3",
                                                    "#7",  "#8",  "#41", "#$DFFA"};

class LostReplyTest : public LoggingTest,
                      public ::testing::WithParamInterface<std::tuple<int, int>> {};

TEST_P(LostReplyTest, EndsTheLaunchAtThatCommand) {
    const auto [series, lost] = GetParam();
    const std::vector<QByteArray>& commands = series == 0   ? kFirstSeriesLaunch
                                              : series == 1 ? kSecondSeriesLaunch
                                                            : kThirdSeriesLaunch;
    StartOnSeries(series, series == 0 ? "QWA-D56" : series == 1 ? "QWB20" : "QWC50A_C3");
    QWidget* window = series == 0   ? static_cast<QWidget*>(frmLogging)
                      : series == 1 ? static_cast<QWidget*>(frmLogging_QWB)
                                    : static_cast<QWidget*>(frmLogging_QWC);
    Launch();
    ASSERT_TRUE(window->isVisible());
    EXPECT_EQ(TakeSentLines(), QList<QByteArray>(commands.begin(), commands.end()));
    int received = 0;
    QObject::connect(driver.get(), &sim::SimulatedDriver::lineReceived, driver.get(),
                     [&, lost = lost](const QByteArray&) {
                         if (received++ == lost) driver->setFault(sim::Fault::Silent);
                     });
    Launch();
    EXPECT_EQ(TakeLinesAfterPause(),
              QList<QByteArray>(commands.begin(), commands.begin() + lost + 1));
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(frmMain->LoggingReady);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "ドライバと通信できませんでした。");
}

std::vector<std::tuple<int, int>> EveryLaunchCommand() {
    std::vector<std::tuple<int, int>> cases;
    for (int series = 0; series <= 2; ++series) {
        const size_t count = series == 0   ? kFirstSeriesLaunch.size()
                             : series == 1 ? kSecondSeriesLaunch.size()
                                           : kThirdSeriesLaunch.size();
        for (size_t k = 0; k < count; ++k)
            cases.emplace_back(series, static_cast<int>(k));
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(EveryCommand, LostReplyTest, ::testing::ValuesIn(EveryLaunchCommand()));

} // namespace
