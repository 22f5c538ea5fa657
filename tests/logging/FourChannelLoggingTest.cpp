// The four-channel logging windows against the simulated driver: the set-up controls that send
// at once, the run with its read-back walking the buffer, the live traces, Rolling and STOP, and
// the view controls and printout.
#include "LoggingTestSupport.h"

#include "link/UnitGeneral.h"
#include "logging/UnitLogging_QWB.h"
#include "logging/UnitLogging_QWC.h"
#include "sim/DriverAxis.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QTest>

namespace {

const QColor kRed(255, 0, 0);
const QColor kLime(0, 255, 0);

class FourChannelLoggingTest : public LoggingTest {
protected:
    void Open(int series, const QByteArray& model) {
        StartOnSeries(series, model);
        Launch();
        window = series == 1 ? static_cast<TFourChannelLogging*>(frmLogging_QWB)
                             : static_cast<TFourChannelLogging*>(frmLogging_QWC);
        ASSERT_TRUE(window->isVisible());
        TakeSentLines();
    }
    void RunOnce() {
        window->btnRun->click();
        ASSERT_TRUE(WaitFor([this] { return window->btnRun->text() == "RUN"; }, 60000));
    }
    const QImage& Picture() { return window->Canvas().Image(); }
    // The driver answers "E-S" from the first read request on.
    void OnFirstRead() {
        QObject::connect(driver.get(), &sim::SimulatedDriver::lineReceived, driver.get(),
                         [this](const QByteArray& line) {
                             if (line.startsWith("#%")) driver->setFault(sim::Fault::NotSupported);
                         });
    }
    TFourChannelLogging* window = nullptr;
};

TEST_F(FourChannelLoggingTest, RunSetsUpStartsAndReadsTheBufferBack) {
    Open(2, "QWC50A_C3");
    Axis().logging().waveform = [](int channel, int) { return channel == 0 ? 25000 : -500000; };
    window->CheckBox2->click(); // CH2 shown: PACT, full scale 1000000
    window->trkT->setValue(1);  // 1 ms: 100 ms across the plot
    EXPECT_EQ(window->TimeSpan, 100);
    EXPECT_EQ(window->lblTend->text(), "100");
    EXPECT_EQ(window->Label28->text(), "10");
    window->btnRun->click();
    EXPECT_EQ(window->btnRun->text(), "STOP");
    EXPECT_TRUE(frmMain->edtSend->isReadOnly());
    EXPECT_FALSE(frmLogging_QWC->btnCursor->isEnabled());
    ASSERT_TRUE(WaitFor([this] { return window->btnRun->text() == "RUN"; }, 20000));
    const QList<QByteArray> lines = TakeSentLines();
    // Each write goes out with the model query whose known answer settles it.
    EXPECT_EQ(lines.mid(0, 17),
              (QList<QByteArray>{"LC", "VER", "LTIME=1", "VER", "LOG1N=TIME", "VER", "LOG2N=PACT",
                                 "VER", "LOG3N=VACT", "VER", "LOG4N=QREF", "VER", "L", "VER",
                                 "#%0010C000", "#%0010C002", "#%0010C004"}));
    // x = 66 + 5 k passes 566 at sample 101, after its CH1 value: 405 requests.
    EXPECT_EQ(lines.size(), 14 + 405);
    EXPECT_EQ(lines.back(), "#%0010C328");
    EXPECT_TRUE(window->DataValid);
    EXPECT_FALSE(frmMain->edtSend->isReadOnly());
    EXPECT_TRUE(frmLogging_QWC->btnCursor->isEnabled());
    EXPECT_EQ(window->LogData[0][101], 25000);
    EXPECT_EQ(window->LogData[1][100], -500000);
    EXPECT_EQ(window->LogData[1][101], 0);
    // CH1 at half its full scale (y 110), CH2 at minus half (y 270).
    for (int x : {70, 300, 560}) {
        EXPECT_EQ(Picture().pixelColor(x, 110), kRed) << x;
        EXPECT_EQ(Picture().pixelColor(x, 270), kLime) << x;
    }
}

TEST_F(FourChannelLoggingTest, EmptyBoxesAreSentEmptyAndNotStored) {
    Open(2, "QWC30");
    for (ui::ComboBox* box : {window->cmbLogVal2, window->cmbLogVal3, window->cmbLogVal4})
        box->setEditText("");
    window->LogData[1][0] = 77;
    window->trkT->setValue(1);
    RunOnce();
    const QList<QByteArray> lines = WithoutModelQueries(TakeSentLines());
    EXPECT_EQ(lines.mid(2, 4), (QList<QByteArray>{"LOG1N=TIME", "LOG2N=", "LOG3N=", "LOG4N="}));
    EXPECT_EQ(lines.mid(7, 3), (QList<QByteArray>{"#%0010C000", "#%0010C004", "#%0010C008"}));
    EXPECT_EQ(window->LogData[1][0], 77);
}

TEST_F(FourChannelLoggingTest, SecondSeriesWalksItsFixedBufferInStepsOfFour) {
    Open(1, "QWB20");
    Axis().logging().waveform = [](int channel, int sample) { return channel * 1000 + sample; };
    window->trkT->setValue(1);
    RunOnce();
    const QList<QByteArray> lines = WithoutModelQueries(TakeSentLines());
    EXPECT_EQ(lines.mid(0, 3), (QList<QByteArray>{"LC", "LTIME=1", "LOG1N=TIME"}));
    EXPECT_EQ(lines.mid(7, 3), (QList<QByteArray>{"#%0020C000", "#%0020C004", "#%0020C008"}));
    EXPECT_EQ(window->LogData[2][7], 2007);
}

TEST_F(FourChannelLoggingTest, RollingClearsAndRepeatsUntilStop) {
    Open(2, "QWC50A_C3");
    Choose(window->cmbLogMode, 1);
    window->trkT->setValue(1);
    window->btnRun->click();
    ASSERT_TRUE(WaitFor([this] { return Axis().logging().starts >= 2; }, 20000));
    EXPECT_EQ(window->btnRun->text(), "STOP");
    EXPECT_TRUE(window->SuppressRedraw);
    window->btnRun->click();
    EXPECT_EQ(window->btnRun->text(), "RUN");
    EXPECT_FALSE(frmMain->edtSend->isReadOnly());
    EXPECT_TRUE(window->trkT->isEnabled());
    const int starts = Axis().logging().starts;
    Pause(400);
    EXPECT_EQ(Axis().logging().starts, starts);
}

TEST_F(FourChannelLoggingTest, RunChecksComeBeforeAnythingIsSent) {
    Open(2, "QWC50A_C3");
    for (ui::ComboBox* box : window->ChannelLists())
        box->setEditText("");
    window->btnRun->click();
    EXPECT_TRUE(HasMessage("ﾃﾞｰﾀﾛｷﾞﾝｸﾞする変数名を指定してください。\n"));
    window->cmbLogMode->SetItemIndex(-1);
    window->btnRun->click();
    EXPECT_TRUE(HasMessage("ﾛｷﾞﾝｸﾞ変数ｴﾘｱでのﾓｰﾄﾞを指定してください。\n"));
    EXPECT_TRUE(TakeLinesAfterPause().isEmpty());
    EXPECT_EQ(window->btnRun->text(), "RUN");
}

TEST_F(FourChannelLoggingTest, AVariableNameThatCannotBeSentIsRefused) {
    Open(2, "QWC50A_C3");
    QLineEdit* box = window->cmbLogVal1->lineEdit();
    box->clear();
    Type(box, "a€");
    EXPECT_EQ(window->cmbLogVal1->currentText(), "A€");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text,
              "CH1の変数名 に送信できない文字「€」があります。\n入力内容を確認してください。");
    EXPECT_EQ(messages[0].caption, "入力エラー");
    EXPECT_EQ(TakeLinesAfterPause(), (QList<QByteArray>{"LOG1N=A", "VER"}));

    window->btnRun->click(); // nothing of the run goes out either
    EXPECT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages.back().caption, "入力エラー");
    EXPECT_EQ(window->btnRun->text(), "RUN");
    EXPECT_TRUE(TakeLinesAfterPause().isEmpty());
}

TEST_F(FourChannelLoggingTest, PeriodChoicesAreSentAtOnce) {
    Open(2, "QWC50A_C3");
    Choose(window->cmbLogTime, 6); // "5"
    EXPECT_EQ(TakeLines(2), (QList<QByteArray>{"LTIME=5", "VER"}));
    EXPECT_EQ(window->TimeSpan, 5000);
    EXPECT_EQ(window->Label28->text(), "500");
    Choose(window->cmbLogTime, 0); // one control cycle at 8 kHz
    EXPECT_EQ(TakeLines(2), (QList<QByteArray>{"LTIME=0", "VER"}));
    EXPECT_EQ(window->lblTend->text(), "125");
    EXPECT_EQ(window->Label28->text(), "12.5");
    Choose(window->cmbLogTime, 1); // "0.25" with a logging version
    EXPECT_EQ(TakeLines(2), (QList<QByteArray>{"LTIME=-4", "VER"}));
    EXPECT_EQ(window->TimeSpan, 250);
}

TEST_F(FourChannelLoggingTest, ActivationSelectsTheControlCycleForPeriodZero) {
    SetSetting("LTIME", "0");
    SetSetting("SVKHZ", "16");
    Open(2, "QWC50A_C3");
    frmLogging_QWC->FormActivate();
    EXPECT_EQ(window->cmbLogTime->ItemIndex(), 0);
    EXPECT_EQ(window->cmbLogTime->currentText(), "0.0625");
    EXPECT_EQ(window->lblTend->text(), "62.5");
    EXPECT_EQ(window->Label28->text(), "6.25");
    EXPECT_EQ(window->windowTitle(), "*軸のデータロギング");
}

TEST_F(FourChannelLoggingTest, Qwb10TakesItsPeriodAtAnAddress) {
    Open(1, "QWB10");
    Choose(window->cmbLogTime, 10);
    EXPECT_EQ(TakeLines(2), (QList<QByteArray>{"#$0020041A=20", "VER"}));
}

TEST_F(FourChannelLoggingTest, VariableChoicesAreSentAndScaled) {
    Open(2, "QWC30");
    window->CheckBox3->click();
    Choose(window->cmbLogVal3, 30); // IACTQ: not on this model
    EXPECT_TRUE(HasMessage("このﾄﾞﾗｲﾊﾞでこのﾛｷﾞﾝｸﾞ変数名は設定できません。\n"));
    EXPECT_EQ(window->cmbLogVal3->currentText(), "TIME");
    EXPECT_EQ(TakeLines(2), (QList<QByteArray>{"LOG3N=TIME", "VER"}));
    Choose(window->cmbLogVal3, 12); // QREFR is
    EXPECT_EQ(TakeLines(2), (QList<QByteArray>{"LOG3N=QREFR", "VER"}));
    EXPECT_EQ(window->UnitLabels[2]->text(), "%/div");
    Choose(window->cmbLogVal3, 33); // the custom item sends nothing
    EXPECT_TRUE(TakeLinesAfterPause().isEmpty());
    window->cmbLogVal1->lineEdit()->clear();
    QTest::keyClicks(window->cmbLogVal1->lineEdit(), "ab");
    EXPECT_EQ(TakeLines(4), (QList<QByteArray>{"LOG1N=A", "VER", "LOG1N=AB", "VER"}));
    EXPECT_EQ(window->cmbLogVal1->ItemIndex(), -1);
    // Enter on a custom name sends it.
    Choose(window->cmbLogVal4, 33);
    window->cmbLogVal4->setEditText("MYVAR");
    QTest::keyClick(window->cmbLogVal4->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(TakeLines(2), (QList<QByteArray>{"LOG4N=MYVAR", "VER"}));
    window->cmbLogVal4->setEditText("");
    QTest::keyClick(window->cmbLogVal4->lineEdit(), Qt::Key_Return);
    EXPECT_TRUE(HasMessage("CH4のﾛｷﾞﾝｸﾞ変数名の設定が不正です。\n"));
}

TEST_F(FourChannelLoggingTest, ViewControlsRedrawTheStoredTraces) {
    Open(2, "QWC50A_C3");
    Axis().logging().waveform = [](int, int sample) { return sample < 50 ? 25000 : 0; };
    window->trkT->setValue(1);
    RunOnce();
    EXPECT_EQ(Picture().pixelColor(200, 110), kRed); // samples 0..49 at half scale
    window->trkTOffset->setValue(1);                 // from sample 100: all zero
    EXPECT_EQ(window->FirstSample, 100);
    ASSERT_TRUE(WaitFor([this] { return Picture().pixelColor(200, 110) != kRed; }));
    EXPECT_EQ(Picture().pixelColor(200, 190), kRed);
    window->trkTOffset->setValue(0);
    window->UpDownLogData->Click(logging::UpDown::Button::Next);
    window->UpDownLogData->Click(logging::UpDown::Button::Next);
    EXPECT_EQ(window->OffsetPixels[0], -6);
    EXPECT_EQ(window->lblch[0]->y(), 190 - 6 - 5);
    ASSERT_TRUE(WaitFor([this] { return Picture().pixelColor(200, 104) == kRed; }));
    window->CheckBox1->click(); // hidden: not drawn
    EXPECT_FALSE(window->lblch[0]->isVisible());
    ASSERT_TRUE(WaitFor([this] { return !HasColourInRow(Picture(), 104, 66, 566, kRed); }));
    window->CheckBox1->click();
    window->trkY->setValue(5); // CH1 full scale 5 x 10^5 x 5: 25000 is 8 pixels up
    EXPECT_EQ(window->FullScale[0], 500000);
    ASSERT_TRUE(WaitFor([this] { return Picture().pixelColor(200, 176) == kRed; }));
    window->Ch2_Vertical->click();
    EXPECT_EQ(window->trkY->Position(), 4);
    Choose(window->Vertical_Scale, 2);
    EXPECT_EQ(window->ScaleMultiplier[1], 2);
    EXPECT_EQ(window->ScaleMultiplier[0], 0);
}

TEST_F(FourChannelLoggingTest, SecondSeriesLongestPeriodSpansTheWholeBuffer) {
    Open(1, "QWB20");
    Choose(window->cmbLogTime, 19);
    EXPECT_EQ(TakeLines(2), (QList<QByteArray>{"LTIME=20000", "VER"}));
    EXPECT_EQ(window->TimeSpan, 20000000);
    EXPECT_EQ(window->Label28->text(), "2000000");
    for (auto& sample : window->LogData[0])
        sample = 25000;
    window->DataValid = true;
    window->Screen->Invalidate();
    EXPECT_EQ(Picture().pixelColor(66, 110), kRed);
    EXPECT_EQ(Picture().pixelColor(564, 110), kRed); // sample 999 at x 565, its end point
    EXPECT_FALSE(HasColourInRow(Picture(), 110, 566, 620, kRed));
}

TEST_F(FourChannelLoggingTest, ClosingDuringARunLeavesItRunning) {
    Open(2, "QWC50A_C3");
    EXPECT_TRUE(WaitFor([this] { return window->windowTitle() == "*軸のデータロギング"; }, 10000));
    window->trkT->setValue(1);
    window->btnRun->click();
    window->btnLoggingClose->click();
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(frmMain->edtSend->isReadOnly());
    ASSERT_TRUE(WaitFor([this] { return window->btnRun->text() == "RUN"; }, 20000));
    EXPECT_TRUE(window->DataValid);
    EXPECT_FALSE(frmMain->edtSend->isReadOnly());
}

TEST_F(FourChannelLoggingTest, BufferAddressThatIsNotHexadecimalIsReported) {
    SetSetting("&LOGP", "E-S");
    Open(2, "QWC50A_C3");
    window->trkT->setValue(1);
    window->btnRun->click();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "ﾛｸﾞﾊﾞｯﾌｧのｱﾄﾞﾚｽ \"E-S\" は16進数ではありません。");
    EXPECT_TRUE(TakeLinesAfterPause().isEmpty());
    EXPECT_EQ(window->btnRun->text(), "RUN");
    EXPECT_FALSE(frmMain->edtSend->isReadOnly());

    // An address that goes bad while the driver records ("0x" is no part of an address): the
    // read-back is not started and the window returns to idle.
    frmMain->LogpText = "0010C000";
    window->btnRun->click();
    ASSERT_EQ(window->btnRun->text(), "STOP");
    frmMain->LogpText = "0x10C000";
    ASSERT_TRUE(WaitFor([this] { return messages.size() == 2; }, 10000));
    EXPECT_EQ(messages[1].text, "ﾛｸﾞﾊﾞｯﾌｧのｱﾄﾞﾚｽ \"0x10C000\" は16進数ではありません。");
    EXPECT_EQ(window->btnRun->text(), "RUN");
    EXPECT_FALSE(frmMain->edtSend->isReadOnly());
    EXPECT_TRUE(window->trkT->isEnabled());
    EXPECT_FALSE(TakeLinesAfterPause().join(' ').contains("#%"));
}

TEST_F(FourChannelLoggingTest, FullReadBackLeavesTheLastSampleOfChannelsTwoToFourAsItWas) {
    Open(2, "QWC50A_C3");
    Choose(window->cmbLogTime, 2); // "1" ms: 1000 ms across the plot at full width
    TakeLines(2);
    for (int c = 1; c < 4; ++c)
        window->LogData[c][999] = -77;
    RunOnce();
    const QList<QByteArray> lines = TakeSentLines();
    EXPECT_EQ(lines.size(), 14 + 3997);
    EXPECT_EQ(lines.back(), "#%0010DF38"); // value 3997 at 0010C000 + 3996 x 2
    for (int k : {0, 1, 500, 998, 999})
        EXPECT_EQ(window->LogData[0][k], sim::DriverAxis::defaultLoggedSample(0, k)) << k;
    for (int c = 1; c < 4; ++c) {
        EXPECT_EQ(window->LogData[c][998], sim::DriverAxis::defaultLoggedSample(c, 998)) << c;
        EXPECT_EQ(window->LogData[c][999], -77) << c;
    }
}

TEST_F(FourChannelLoggingTest, NotSupportedReadRepliesAreStoredAsZero) {
    Open(2, "QWC50A_C3");
    window->LogData[0][5] = 123;
    window->trkT->setValue(1);
    OnFirstRead();
    RunOnce();
    EXPECT_EQ(window->LogData[0][5], 0);
    EXPECT_EQ(window->LogData[0][100], 0);
    EXPECT_TRUE(window->DataValid);
    EXPECT_TRUE(messages.empty());
}

TEST_F(FourChannelLoggingTest, StartLineBlanksByBaudRate) {
    WriteSetting("Comm", "Baudrate", 38400);
    Open(1, "QWB20");
    window->btnRun->click();
    window->btnRun->click();
    const QByteArray start = "\r" + QByteArray(13, ' ') + "L\rVER\rLC\r";
    WaitFor([&] { return driver->receivedBytes().contains(start); });
    EXPECT_TRUE(driver->receivedBytes().contains(start)) << driver->receivedBytes().constData();
}

TEST_F(FourChannelLoggingTest, PeriodZeroReadsOneValueAndDrawsNothingOutside) {
    SetSetting("LTIME", "0");
    SetSetting("SVKHZ", "3"); // no control cycle for 3 kHz: entry 0 keeps "0"
    Open(2, "QWC50A_C3");
    ASSERT_TRUE(WaitFor([this] { return window->cmbLogTime->ItemIndex() == 0; }, 10000));
    EXPECT_EQ(window->cmbLogTime->currentText(), "0");
    EXPECT_EQ(window->TimeSpan, 0);
    RunOnce();
    const QList<QByteArray> lines = TakeSentLines();
    EXPECT_EQ(WithoutModelQueries(lines).mid(1, 1), QList<QByteArray>{"LTIME=0"});
    EXPECT_EQ(lines.back(), "#%0010C000");
    EXPECT_TRUE(window->DataValid);
    window->Screen->Invalidate();
    EXPECT_FALSE(HasColourInRow(Picture(), 190, 567, 799, kRed));
}

TEST_F(FourChannelLoggingTest, PrintsTheWindowToPdf) {
    Open(1, "QWB20");
    const QString pdf = configDir.filePath("log4.pdf");
    ui::SetPrintDialogResponder([&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    });
    window->btnPrint->click();
    ui::SetPrintDialogResponder({});
    EXPECT_GT(QFileInfo(pdf).size(), 1000);
    EXPECT_TRUE(window->cmbLogVal3->isVisible());
    EXPECT_FALSE(window->DummyEdits[2]->isVisible());
    EXPECT_TRUE(messages.empty());
}

} // namespace
