// The first series' logging window against the simulated driver: the set-up lines, the start
// line, the read-back of 16-bit words and 32-bit pairs drawn on the canvas, Rolling and STOP,
// typed addresses, and the view controls and printout.
#include "LoggingTestSupport.h"

#include "link/UnitGeneral.h"
#include "logging/UnitLogging.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QTest>

namespace {

const QColor kRed(255, 0, 0);

class FirstSeriesLoggingTest : public LoggingTest {
protected:
    void SetUp() override {
        LoggingTest::SetUp();
        StartOnSeries(0, "QWA-D56");
        for (const auto& [n, value] : {std::pair{3, 16}, {7, 3000}, {8, 40}, {41, 39}})
            driver->setParameter('X', n, value);
        Launch();
        ASSERT_TRUE(frmLogging->isVisible());
        TakeSentLines();
    }
    void RunOnce() {
        frmLogging->btnRun->click();
        ASSERT_TRUE(WaitFor([] { return frmLogging->btnRun->text() == "RUN"; }, 20000));
    }
    const QImage& Picture() { return frmLogging->Canvas().Image(); }
};

TEST_F(FirstSeriesLoggingTest, OneShotRecordsSixteenBitWordsAndDrawsThem) {
    Axis().logging().waveform = [](int, int) { return 25000; }; // half of full scale 50000
    Choose(frmLogging->cmbLogVal1, 10);                         // VELACT, 16 bits
    frmLogging->trkT->setValue(1);                              // 1 ms x 1 x 2000 / 10 = 200 ms
    EXPECT_EQ(frmLogging->lblTend->text(), "200");
    EXPECT_EQ(frmLogging->Label28->text(), "20");
    EXPECT_EQ(frmLogging->Label15->text(), "rpm/div");
    frmLogging->btnRun->click();
    EXPECT_EQ(frmLogging->btnRun->text(), "STOP");
    EXPECT_TRUE(frmMain->edtSend->isReadOnly());
    EXPECT_FALSE(frmLogging->trkT->isEnabled());
    ASSERT_TRUE(WaitFor([] { return frmLogging->btnRun->text() == "RUN"; }, 20000));
    const QList<QByteArray> lines = TakeSentLines();
    ASSERT_GE(lines.size(), 11);
    // Each write goes out with the model query whose known answer settles it.
    EXPECT_EQ(lines.mid(0, 11),
              (QList<QByteArray>{"LC", "VER", "#&DFFE=007E", "VER", "#$DFFA=1", "VER", "#$DFFC=1",
                                 "VER", "L", "VER", "#$D000"}));
    // X = 500 n / 200 + 66 passes 566 at word 201: 202 words.
    EXPECT_EQ(lines.size(), 10 + 202);
    EXPECT_EQ(lines.back(), ",?");
    EXPECT_EQ(frmLogging->LogSampleIndex, 202);
    EXPECT_TRUE(frmLogging->DataValid);
    EXPECT_FALSE(frmMain->edtSend->isReadOnly());
    EXPECT_TRUE(frmLogging->trkT->isEnabled());
    // 25000 of 50000 is half way up: y = 270 - 80 = 190, drawn across the plot.
    for (int x : {70, 200, 400, 565})
        EXPECT_EQ(Picture().pixelColor(x, 190), kRed) << x;
    EXPECT_NE(Picture().pixelColor(566, 190), kRed);
}

TEST_F(FirstSeriesLoggingTest, ThirtyTwoBitSamplesArePairedLowWordFirst) {
    Axis().logging().waveform = [](int, int) { return 65535; }; // low word -1, high word 0
    frmLogging->trkT->setValue(5); // POSACT: 1 x 5 x 1000 / 10 = 500 ms
    EXPECT_EQ(frmLogging->TimeSpan, 500);
    RunOnce();
    EXPECT_TRUE(TakeSentLines().contains("#$DFFC=2"));
    EXPECT_EQ(frmLogging->LogData[0], -1);
    EXPECT_EQ(frmLogging->LogData[1], 0);
    EXPECT_EQ(frmLogging->LogSampleIndex, 1003); // word 1002 is the first past the edge
    EXPECT_EQ(frmLogging->LastPointX, 566);
    // 65535 of 1000000 is 10.48 pixels above the centre line 270.
    EXPECT_EQ(Picture().pixelColor(300, 259), kRed);
    EXPECT_NE(Picture().pixelColor(300, 270), kRed);
}

TEST_F(FirstSeriesLoggingTest, RollingRepeatsUntilStop) {
    Choose(frmLogging->cmbLogVal1, 10);
    frmLogging->trkT->setValue(1);
    Choose(frmLogging->cmbLogMode, 1);
    frmLogging->btnRun->click();
    ASSERT_TRUE(WaitFor([this] { return Axis().logging().starts >= 2; }, 20000));
    EXPECT_EQ(frmLogging->btnRun->text(), "STOP");
    frmLogging->btnRun->click();
    EXPECT_EQ(frmLogging->btnRun->text(), "RUN");
    EXPECT_FALSE(frmMain->edtSend->isReadOnly());
    const int starts = Axis().logging().starts;
    Pause(500);
    EXPECT_EQ(Axis().logging().starts, starts);
}

TEST_F(FirstSeriesLoggingTest, StopDuringTheProgressWaitReadsNothing) {
    frmLogging->btnRun->click();
    Pause(150);
    frmLogging->btnRun->click();
    ASSERT_TRUE(WaitFor([this] { return driver->receivedLines().count("LC") == 2; }));
    Pause(300);
    const QList<QByteArray> lines = TakeSentLines();
    EXPECT_FALSE(lines.contains("#$D000"));
    EXPECT_EQ(lines.mid(lines.size() - 2), (QList<QByteArray>{"LC", "VER"}));
    EXPECT_FALSE(frmLogging->TimerProgress->isActive());
}

TEST_F(FirstSeriesLoggingTest, TypedAddressesNeedFourHexDigits) {
    QTest::keyClicks(frmLogging->cmbLogVal1->lineEdit(), "");
    frmLogging->cmbLogVal1->lineEdit()->selectAll();
    QTest::keyClicks(frmLogging->cmbLogVal1->lineEdit(), "12f");
    EXPECT_EQ(frmLogging->cmbLogVal1->currentText(), "12F");
    EXPECT_EQ(frmLogging->cmbLogVal1->ItemIndex(), -1);
    frmLogging->btnRun->click();
    EXPECT_TRUE(TakeLinesAfterPause().isEmpty());
    EXPECT_EQ(frmLogging->btnRun->text(), "RUN");
    QTest::keyClicks(frmLogging->cmbLogVal1->lineEdit(), "fxy");
    frmLogging->btnRun->click();
    const QList<QByteArray> lines = TakeLines(5);
    EXPECT_TRUE(lines.contains("#&DFFE=12FFXY"));
    EXPECT_TRUE(lines.contains("#$DFFC=1"));
    frmLogging->btnRun->click(); // STOP
}

TEST_F(FirstSeriesLoggingTest, PeriodChangesAreCheckedAndSentAtOnce) {
    Choose(frmLogging->cmbLogTime, 4);
    EXPECT_EQ(TakeLines(2), (QList<QByteArray>{"#$DFFA=5", "VER"}));
    EXPECT_EQ(frmLogging->TimeSpan, 5000); // POSACT: 5 x 10 x 1000 / 10
    frmLogging->cmbLogTime->setEditable(true);
    frmLogging->cmbLogTime->setEditText("300");
    emit frmLogging->cmbLogTime->activated(-1);
    EXPECT_TRUE(HasMessage("ﾃﾞｰﾀ取込周期の設定が不正です。\n1～255の範囲で設定してください。"));
    EXPECT_TRUE(TakeLinesAfterPause().isEmpty());

    // During the read-back too: the write moves the driver's place in its memory, and the words
    // after it are still the recorded ones.
    frmLogging->cmbLogTime->setEditable(false);
    Axis().logging().waveform = [](int, int k) { return k * 37 - 20000; };
    Choose(frmLogging->cmbLogVal1, 10); // 16 bits
    frmLogging->trkT->setValue(1);
    int requests = 0;
    QObject::connect(driver.get(), &sim::SimulatedDriver::lineReceived, driver.get(),
                     [&](const QByteArray& line) {
                         if (line == ",?" && ++requests == 50) Choose(frmLogging->cmbLogTime, 2);
                     });
    RunOnce();
    const QList<QByteArray> lines = TakeSentLines();
    const qsizetype write = lines.indexOf("#$DFFA=3");
    ASSERT_GE(write, 0);
    // Word 51, the first asked after the write, is asked at 0xD000 + 2 x 51.
    EXPECT_EQ(lines.mid(write - 1, 5),
              (QList<QByteArray>{",?", "#$DFFA=3", "VER", "#$D066", ",?"}));
    ASSERT_EQ(frmLogging->LogSampleIndex, 202);
    for (int n = 0; n < 202; ++n)
        ASSERT_EQ(frmLogging->LogData[static_cast<size_t>(n)], n * 37 - 20000) << n;
}

TEST_F(FirstSeriesLoggingTest, ViewControlsRescaleAndShiftTheStoredTrace) {
    Axis().logging().waveform = [](int, int) { return 25000; };
    Choose(frmLogging->cmbLogVal1, 10);
    frmLogging->trkT->setValue(1);
    RunOnce();
    frmLogging->trkY->setValue(5); // full scale 5^5 x 80 = 250000: 25000 is 16 pixels up
    EXPECT_EQ(frmLogging->FullScale, 250000);
    EXPECT_EQ(frmLogging->Label24->text(), "7500");
    ASSERT_TRUE(WaitFor([this] { return Picture().pixelColor(300, 254) == kRed; }));
    EXPECT_NE(Picture().pixelColor(300, 190), kRed);
    frmLogging->UpDownLogData->Click(logging::UpDown::Button::Next);
    EXPECT_EQ(frmLogging->OffsetPixels, -2);
    EXPECT_EQ(frmLogging->Offset_Value->text(), "1");
    for (int i = 0; i < 9; ++i)
        frmLogging->UpDownLogData->Click(logging::UpDown::Button::Next);
    EXPECT_EQ(frmLogging->OffsetPixels, -32);
    ASSERT_TRUE(WaitFor([this] { return Picture().pixelColor(300, 222) == kRed; }));
    frmLogging->btnOffsetClearClick();
    EXPECT_EQ(frmLogging->OffsetPixels, 0);
    frmLogging->UpDownLogData->Click(logging::UpDown::Button::Previous);
    EXPECT_EQ(frmLogging->OffsetPixels, 2);
    frmLogging->trkTOffset->setValue(10); // FirstSample 2000: grid only
    EXPECT_EQ(frmLogging->FirstSample, 2000);
    ASSERT_TRUE(WaitFor([this] { return Picture().pixelColor(300, 256) != kRed; }));
    EXPECT_FALSE(HasColourInRow(Picture(), 256, 66, 566, kRed));
}

TEST_F(FirstSeriesLoggingTest, PrintsTheWindowToPdf) {
    const QString pdf = configDir.filePath("log.pdf");
    ui::SetPrintDialogResponder([&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    });
    frmLogging->btnPrint->click();
    ui::SetPrintDialogResponder({});
    EXPECT_GT(QFileInfo(pdf).size(), 1000);
    EXPECT_TRUE(frmLogging->cmbLogVal1->isVisible());
    EXPECT_FALSE(frmLogging->edtLogVal1_Dummy->isVisible());
    EXPECT_TRUE(messages.empty());
}

TEST_F(FirstSeriesLoggingTest, VaryingWaveformsAreStoredWordByWord) {
    Axis().logging().waveform = [](int, int k) { return k * 37 - 20000; };
    Choose(frmLogging->cmbLogVal1, 10); // 16 bits
    frmLogging->trkT->setValue(1);
    RunOnce();
    ASSERT_EQ(frmLogging->LogSampleIndex, 202);
    for (int n = 0; n < 202; ++n)
        ASSERT_EQ(frmLogging->LogData[static_cast<size_t>(n)], n * 37 - 20000) << n;

    Axis().logging().waveform = [](int, int k) { return k * 123457 - 5000000; };
    Choose(frmLogging->cmbLogVal1, 2); // 32 bits, low word first
    RunOnce();
    ASSERT_EQ(frmLogging->LogSampleIndex, 202);
    for (int k = 0; k < 101; ++k) {
        const auto bits = static_cast<std::uint32_t>(k * 123457 - 5000000);
        ASSERT_EQ(frmLogging->LogData[static_cast<size_t>(2 * k)],
                  static_cast<std::int16_t>(bits & 0xFFFF))
            << k;
        ASSERT_EQ(frmLogging->LogData[static_cast<size_t>(2 * k + 1)],
                  static_cast<std::int16_t>(bits >> 16))
            << k;
    }
}

TEST_F(FirstSeriesLoggingTest, StartLineCarriesItsBlanksAt9600) {
    StopProgram();
    WriteSetting("Comm", "Baudrate", 9600);
    StartProgram();
    Launch();
    ASSERT_TRUE(frmLogging->isVisible());
    driver->clearReceived();
    frmLogging->btnRun->click();
    frmLogging->btnRun->click();
    const QByteArray end = "\r#$DFFC=2\rVER\r  L\rVER\rLC\rVER\r";
    WaitFor([&] { return driver->receivedBytes().endsWith(end); });
    EXPECT_TRUE(driver->receivedBytes().endsWith(end)) << driver->receivedBytes().constData();
}

TEST_F(FirstSeriesLoggingTest, PrintFailureIsToldAndThePlainEditStandsInForTheBox) {
    frmLogging->cmbLogVal1->setEditText("12AB");
    ui::SetPrintDialogResponder([&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(configDir.filePath("no/such/folder/log.pdf"));
        return true;
    });
    frmLogging->btnPrint->click();
    ui::SetPrintDialogResponder({});
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "印刷エラーが発生しました。");
    EXPECT_EQ(messages[0].caption, "エラー");
    EXPECT_EQ(frmLogging->edtLogVal1_Dummy->text(), "12AB");
    EXPECT_TRUE(frmLogging->cmbLogVal1->isVisible());
    EXPECT_FALSE(frmLogging->edtLogVal1_Dummy->isVisible());
}

} // namespace
