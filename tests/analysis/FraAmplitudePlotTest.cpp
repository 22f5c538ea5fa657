// The spectrum page: a column of a recorded table loaded with its sampling frequency, the
// choice dialogs, the windowed transform drawn on a linear or decibel scale, and its readouts.
#include "FraFixture.h"

#include "analysis/SelectCel.h"
#include "analysis/SelectFreq.h"

#include <cmath>
#include <numbers>

namespace {

// A logging table as the editor saves it: "LTIME=" and three columns, TIME, A (a sine of
// amplitude 1000 at 50 Hz with fs = 1000) and B.
QByteArray LoggingTable(int rows, const char* ltime = "LTIME=1") {
    QByteArray text = QByteArray(ltime) + "     TIME        A           B\r\n";
    for (int i = 0; i < rows; ++i) {
        const long a = std::lround(1000.0 * std::sin(2 * std::numbers::pi * 50 * i / 1000.0));
        text += "#%0010C000  " + QByteArray::number(i) + "  " + QByteArray::number(a) + "  7\r\n";
    }
    return text;
}

int SpectrumX(double hz) {
    return int(std::log10(hz) * 145 + 75);
}

} // namespace

class FraSpectrumTest : public FraTest {
protected:
    void SetUp() override {
        FraTest::SetUp();
        OpenWindow();
        frmFRA->pcAnalyze->setCurrentWidget(frmFRA->tsSpectrum);
        ui::SetModalResponder([this](ui::Form& form) {
            modals << form.windowTitle();
            if (&form == frmSelectCell) {
                frmSelectCell->rb2->setChecked(true);
                visibleChoices = !frmSelectCell->rb3->isHidden() + !frmSelectCell->rb4->isHidden();
                return int(ui::mrOk);
            }
            frmFreqSel->RadioButton3->setChecked(true);
            frmFreqSel->Button1Click();
            return frmFreqSel->ModalResultValue();
        });
    }
    QStringList modals;
    int visibleChoices = 0;
};

TEST_F(FraSpectrumTest, LoggingTableGivesTheColumnAndTheSamplingFrequency) {
    chosenFile = Path("log.txt");
    WriteFile(chosenFile, LoggingTable(1000));
    frmFRA->btOpen->click();
    EXPECT_EQ(modals, QStringList{"データ選択"});
    EXPECT_EQ(visibleChoices, 1); // TIME, A, B: the fourth choice is hidden
    EXPECT_EQ(frmFRA->Spectrum.ColumnName, "A");
    EXPECT_EQ(frmFRA->Spectrum.SampleCount, 1000);
    EXPECT_EQ(frmFRA->Spectrum.SamplingFreq, 1000.0);
    EXPECT_EQ(frmFRA->edSpecVal->text(), "A");
    EXPECT_EQ(frmFRA->edSpecFreq->text(), "1000");
    EXPECT_EQ(frmFRA->edSpecFL->text(), "2");
    EXPECT_EQ(frmFRA->edSpecFH->text(), "10000");
    // Bin 50 holds half the amplitude; it is drawn at 51 Hz on a linear scale up to 600.
    EXPECT_NEAR(std::hypot(frmFRA->Spectrum.Re[50], frmFRA->Spectrum.Im[50]), 500.0, 0.5);
    EXPECT_DOUBLE_EQ(frmFRA->SpectrumTop, 600.0);
    EXPECT_TRUE(ColourNear(SpectrumImage(), SpectrumX(51), 250 - 500 * 220 / 600, kBlue));
    EXPECT_FALSE(ColourNear(SpectrumImage(), SpectrumX(200), 250 - 500 * 220 / 600, kBlue));

    // The decibel scales put the largest sample at the top.
    frmFRA->rbAmplitude->SetItemIndex(1);
    frmFRA->DrawActivePage();
    EXPECT_DOUBLE_EQ(frmFRA->SpectrumTop, 0.0);
    EXPECT_DOUBLE_EQ(frmFRA->SpectrumBottom, -100.0);
    EXPECT_TRUE(ColourNear(SpectrumImage(), SpectrumX(51), 30, kBlue));

    // A window function recomputes: the Hanning window halves the peak.
    frmFRA->cbWinFunc->SetItemIndex(1);
    frmFRA->ComputeSpectrum();
    EXPECT_NEAR(std::hypot(frmFRA->Spectrum.Re[50], frmFRA->Spectrum.Im[50]), 250.0, 0.5);
}

TEST_F(FraSpectrumTest, SampleFileAsksForTheFrequencyAndTimeColumnsTellIt) {
    OpenWindow();
    chosenFile = Path("samples.csv");
    WriteFile(chosenFile, "V\r\n1\r\n2\r\n3\r\n4\r\n");
    frmFRA->btOpen->click();
    EXPECT_EQ(modals, QStringList{"ロギング周波数選択"});
    EXPECT_EQ(frmFRA->Spectrum.SamplingFreq, 8000.0);
    EXPECT_EQ(frmFRA->edSpecFL->text(), "2001");

    modals.clear();
    WriteFile(chosenFile, "TIME,V\r\n0,1\r\n0,2\r\n1,3\r\n1,4\r\n1,5\r\n1,6\r\n2,1\r\n2,1\r\n"
                          "2,1\r\n2,1\r\n3,1\r\n");
    frmFRA->btOpen->click();
    EXPECT_EQ(modals, QStringList{"データ選択"});
    EXPECT_EQ(frmFRA->Spectrum.SamplingFreq, 4000.0);

    modals.clear();
    WriteFile(chosenFile, LoggingTable(20, "LTIME=-4"));
    frmFRA->btOpen->click();
    EXPECT_EQ(frmFRA->Spectrum.SamplingFreq, 4000.0);
    EXPECT_FALSE(modals.contains("ロギング周波数選択"));

    // The sample file written back: the column name and one value a line.
    chosenFile = Path("written.csv");
    frmFRA->btSave->click();
    EXPECT_EQ(dialogTitle, "スペクトル用データを保存");
    EXPECT_TRUE(ReadFile(chosenFile).startsWith("A\r\n0\r\n309\r\n588\r\n"));

    // A column without a name: its file would read its first sample as the name.
    chosenFile = Path("nameless.csv");
    WriteFile(chosenFile, "A,,C\r\n1,2,3\r\n2,3,4\r\n");
    frmFRA->btOpen->click();
    ASSERT_EQ(frmFRA->Spectrum.SampleCount, 2);
    messages.clear();
    chosenFile = Path("unsaved.csv");
    frmFRA->btSave->click();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "列名が空のため、保存できません。");
    EXPECT_FALSE(QFile::exists(chosenFile));
}

TEST_F(FraSpectrumTest, InvalidFilesLeaveTheSpectrumAsItWas) {
    chosenFile = Path("empty.txt");
    WriteFile(chosenFile, "");
    frmFRA->btOpen->click();
    EXPECT_EQ(messages.back().text, "ファイル形式が無効です。");
    EXPECT_EQ(frmFRA->Spectrum.SampleCount, 0);
    EXPECT_DOUBLE_EQ(frmFRA->SpectrumTop, 100.0);

    chosenFile = Path("good.txt");
    WriteFile(chosenFile, LoggingTable(100));
    frmFRA->btOpen->click();
    ASSERT_EQ(frmFRA->Spectrum.SampleCount, 100);
    const std::vector<int> samples = frmFRA->Spectrum.Samples;
    for (const QByteArray& bad :
         {QByteArray(""), QByteArray("V\r\n"), QByteArray("LTIME=1 TIME A B\r\n"),
          QByteArray("LTIME=x A\r\n1 2\r\n"), QByteArray("V\r\n1\r\nx\r\n3\r\n"),
          QByteArray("V\r\n1\r\n99999999999999999999\r\n"), QByteArray("TIME,V\r\n0,1\r\nz,2\r\n"),
          // A sixth cell (it would overwrite the first), a value cut to its cell.
          QByteArray("A B C D E F\r\n1 2 3 4 5\r\n"), QByteArray("V,W\r\n1,2,3,4,5,6\r\n"),
          "V\r\n1\r\n" + QByteArray(70, '0') + "2\r\n"}) {
        messages.clear();
        WriteFile(chosenFile = Path("bad.txt"), bad);
        frmFRA->btOpen->click();
        ASSERT_EQ(messages.size(), 1u) << bad.toStdString();
        EXPECT_EQ(messages[0].text, "ファイル形式が無効です。");
        EXPECT_EQ(messages[0].caption, "エラー");
        EXPECT_EQ(frmFRA->Spectrum.SampleCount, 100);
        EXPECT_EQ(frmFRA->Spectrum.Samples, samples);
        EXPECT_EQ(frmFRA->Spectrum.FileName, Path("good.txt"));
        EXPECT_EQ(frmFRA->edSpecVal->text(), "A");
    }
}

TEST_F(FraSpectrumTest, ASourceCutAtTenThousandSamplesSaysSo) {
    chosenFile = Path("long.txt");
    WriteFile(chosenFile, LoggingTable(10000));
    frmFRA->btOpen->click();
    EXPECT_FALSE(HasMessage("データが10000点を超えるため、先頭の10000点を読み込みました。"));
    EXPECT_EQ(frmFRA->Spectrum.SampleCount, 10000);
    WriteFile(chosenFile, LoggingTable(10003));
    frmFRA->btOpen->click();
    ASSERT_TRUE(HasMessage("データが10000点を超えるため、先頭の10000点を読み込みました。"));
    EXPECT_EQ(messages.back().icon, ui::MsgIcon::Information);
    EXPECT_EQ(frmFRA->Spectrum.SampleCount, 10000);
}

TEST_F(FraSpectrumTest, ANewSamplingRateUpdatesTheResolution) {
    chosenFile = Path("log.txt");
    WriteFile(chosenFile, LoggingTable(100));
    frmFRA->btOpen->click();
    ASSERT_EQ(int(frmFRA->FreqResolution), 10);
    EXPECT_EQ(frmFRA->edSpecFL->text(), "11");
    const QImage before = SpectrumImage();

    frmFRA->edSpecFreq->setFocus();
    frmFRA->edSpecFreq->setText("16000");
    Type(frmFRA->edSpecFreq, "\r");
    EXPECT_EQ(frmFRA->Spectrum.SamplingFreq, 16000.0);
    EXPECT_DOUBLE_EQ(frmFRA->FreqResolution, 160.0);
    EXPECT_EQ(frmFRA->edSpecFL->text(), "160"); // raised to the new lower bound
    // The label under the plot tells the new resolution.
    const QRect label(200, 255, 280, 30);
    EXPECT_NE(SpectrumImage().copy(label), before.copy(label));
    frmFRA->FreqResolution = 10;
    frmFRA->DrawActivePage();
    EXPECT_EQ(SpectrumImage().copy(label), before.copy(label));
    frmFRA->FreqResolution = 160;
    frmFRA->edSpecFL->setText("50");
    Type(frmFRA->edSpecFL, "\r");
    EXPECT_EQ(frmFRA->edSpecFL->text(), "160");

    frmFRA->edSpecFreq->setText("abc");
    Type(frmFRA->edSpecFreq, "\r");
    EXPECT_EQ(frmFRA->edSpecFreq->text(), "1");
    EXPECT_EQ(frmFRA->Spectrum.SamplingFreq, 1.0);
    EXPECT_DOUBLE_EQ(frmFRA->FreqResolution, 1.0);
}

TEST_F(FraSpectrumTest, ScaleReadoutsAndMarkers) {
    frmFRA->rbAmplitude->SetItemIndex(2);
    frmFRA->DrawActivePage();
    frmFRA->AnSpectrumMouseMove(75 + 145, 30 + 110);
    EXPECT_EQ(frmFRA->edCur3Freq->text(), " 10.00");
    EXPECT_EQ(frmFRA->edCur3Amp->text(), " -80.00");
    frmFRA->AnSpectrumMouseUp(Qt::LeftButton, 700, 0);
    EXPECT_EQ(frmFRA->edLFreq->text(), " 10000.00");
    EXPECT_EQ(frmFRA->edLAmp->text(), " 0.00");
    EXPECT_EQ(frmFRA->SpecMarker1X, 700); // the stored position is kept
    EXPECT_EQ(SpectrumImage().pixelColor(655, 100), QColor(128, 0, 128));
    frmFRA->AnSpectrumMouseUp(Qt::MiddleButton, 0, 0);
    EXPECT_EQ(frmFRA->edLFreq->text(), "");
    EXPECT_EQ(frmFRA->SpecMarker1X, -1);
}

TEST_F(FraSpectrumTest, EntryChecksOfTheSpectrumRange) {
    chosenFile = Path("fast.txt");
    WriteFile(chosenFile, LoggingTable(100, "LTIME=x").replace("LTIME=x", "LTIME=-4"));
    frmFRA->btOpen->click();
    ASSERT_EQ(int(frmFRA->FreqResolution), 40);
    frmFRA->edSpecFL->setText("10");
    Type(frmFRA->edSpecFL, "\r");
    EXPECT_EQ(frmFRA->edSpecFL->text(), "40");
    frmFRA->edSpecFH->setText("20000");
    frmFRA->edSpecFH->OnExit();
    EXPECT_EQ(frmFRA->edSpecFH->text(), "10000");
    frmFRA->edSpecFH->setText("30");
    Type(frmFRA->edSpecFH, "\r");
    EXPECT_EQ(frmFRA->edSpecFH->text(), "40");
}

// The choice windows on screen, at the keyboard: the arrows move the choice round the buttons
// shown, Return presses "OK", and Escape closes the window as its close box would.
TEST_F(FraSpectrumTest, ChoiceWindowsAnswerTheKeyboard) {
    ui::SetModalResponder({});
    chosenFile = Path("log.txt");
    WriteFile(chosenFile, LoggingTable(100)); // TIME, A and B: the fourth button is hidden
    auto result =
        KeysToNextModal({Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Up, Qt::Key_Return});
    frmFRA->btOpen->click();
    EXPECT_EQ(*result, ui::mrOk);
    EXPECT_EQ(frmSelectCell->SelectedIndex, 2);
    EXPECT_EQ(frmFRA->Spectrum.ColumnName, "B");
    EXPECT_FALSE(frmSelectCell->isVisible());

    // Opened again, the first column is chosen and Down goes to the second.
    result = KeysToNextModal({Qt::Key_Down, Qt::Key_Enter});
    frmFRA->btOpen->click();
    EXPECT_EQ(*result, ui::mrOk);
    EXPECT_EQ(frmFRA->Spectrum.ColumnName, "A");

    chosenFile = Path("samples.csv");
    WriteFile(chosenFile, "V\r\n1\r\n2\r\n3\r\n4\r\n");
    result = KeysToNextModal({Qt::Key_Right, Qt::Key_Right, Qt::Key_Return});
    frmFRA->btOpen->click();
    EXPECT_EQ(*result, ui::mrOk);
    EXPECT_EQ(frmFreqSel->SelectedFrequency, 8000);
    EXPECT_EQ(frmFRA->Spectrum.SamplingFreq, 8000.0);

    // Left from the first goes round to the last; Escape leaves the last frequency chosen by OK.
    result = KeysToNextModal({Qt::Key_Left, Qt::Key_Escape});
    frmFRA->btOpen->click();
    EXPECT_EQ(*result, ui::mrCancel);
    EXPECT_TRUE(frmFreqSel->RadioButton4->isChecked());
    EXPECT_FALSE(frmFreqSel->isVisible());
    EXPECT_EQ(frmFRA->Spectrum.SamplingFreq, 8000.0);
}
