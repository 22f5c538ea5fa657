// The measurement run against the simulated driver: the command order, the points that land in
// the buffer, stops, refusals and failures.
#include "FraFixture.h"

#include "link/UnitGeneral.h"
#include "ui/Widgets.h"

#include <QTimer>

TEST_F(FraTest, SweepFillsTheBufferWithThePlantsResponse) {
    OpenWindow();
    RunSweep(50, 150, 10);
    const TFraBuffer& buffer = frmFRA->Buffers[0];
    ASSERT_EQ(buffer.Count, 11);
    for (int i = 0; i < buffer.Count; ++i) {
        const TFraPoint& p = buffer.Points[i];
        EXPECT_EQ(p.Freq, 50 + 10 * i);
        EXPECT_EQ(p.InjectedAmp, 1024);
        const std::complex<double> y = 1024.0 * Plant().response(p.Freq);
        EXPECT_NEAR(p.Value3, y.real(), 0.5);
        EXPECT_NEAR(p.Value4, y.imag(), 0.5);
    }
    EXPECT_EQ(buffer.ColumnNames[2], "RMAX");
    EXPECT_EQ(frmFRA->RunFlag, 0);
    EXPECT_EQ(frmFRA->btAnalyze->text(), "解析開始");
    EXPECT_EQ(frmFRA->edFreqToBuf[0]->text(), "150");
    EXPECT_EQ(frmFRA->sgParams1->Cell(1, 0), QString::number(driver->parameter('X', 3)));
    EXPECT_EQ(frmFRA->sgParams3->Cell(1, 6), "100");
}

TEST_F(FraTest, StepGrowsAboveEachDecade) {
    OpenWindow();
    RunSweep(95, 110, 1);
    const TFraBuffer& buffer = frmFRA->Buffers[0];
    ASSERT_EQ(buffer.Count, 11);
    EXPECT_EQ(buffer.Points[4].Freq, 99);
    EXPECT_EQ(buffer.Points[5].Freq, 100);
    EXPECT_EQ(buffer.Points[6].Freq, 102); // 2 Hz steps from 100 Hz on
    EXPECT_EQ(buffer.Points[10].Freq, 110);
    frmFRA->cbDecMaxEnable->SetChecked(false);
    RunSweep(95, 110, 1, 1);
    EXPECT_EQ(frmFRA->Buffers[1].Count, 16);
}

TEST_F(FraTest, TheEndIsCutToHalfTheControlFrequency) {
    driver->axis('X').setControlFrequency("16");
    const int limit = 8000;
    OpenWindow();
    frmFRA->cbDecMaxEnable->SetChecked(false);
    TakeSentLines();
    RunSweep(limit - 20, limit + 1000, 10);
    EXPECT_EQ(frmFRA->edFreqTo->text(), QString::number(limit));
    const TFraBuffer& buffer = frmFRA->Buffers[0];
    ASSERT_EQ(buffer.Count, 3);
    EXPECT_EQ(buffer.Points[2].Freq, limit);
    for (const QByteArray& line : TakeSentLines()) {
        if (line.startsWith("SGF=")) {
            EXPECT_LE(line.mid(4).toInt(), limit);
        }
    }
    // A start above the cut end is refused before the generator is started.
    RunSweep(limit + 10, limit + 1000, 10, 1);
    EXPECT_EQ(messages.back().text,
              "詳細設定で設定された項目に誤りがあります。\n「開始周波数[Hz]」を確認してください。");
    EXPECT_FALSE(Sent(TakeSentLines(), "SGMD=0"));
}

TEST_F(FraTest, StopKeepsThePointsReadSoFar) {
    OpenWindow();
    QObject::connect(driver.get(), &sim::SimulatedDriver::lineReceived, frmFRA,
                     [](const QByteArray& line) {
                         if (line == "SGF=30")
                             QTimer::singleShot(0, [] { frmFRA->btAnalyze2->click(); });
                     });
    RunSweep(10, 100, 5);
    const TFraBuffer& buffer = frmFRA->Buffers[0];
    EXPECT_GE(buffer.Count, 4);
    EXPECT_LE(buffer.Count, 5);
    EXPECT_EQ(frmFRA->edFreqToBuf[0]->text(),
              QString::number(buffer.Points[buffer.Count - 1].Freq));
    EXPECT_EQ(frmFRA->btAnalyze->text(), "解析開始");
    EXPECT_TRUE(frmMain->btnPrm->isEnabled());
}

TEST_F(FraTest, DuringARunTheMainWindowsToolsAreLockedAndTheWindowStaysOpen) {
    OpenWindow();
    frmMain->edtSend->setText("typed");
    bool checked = false;
    QObject::connect(driver.get(), &sim::SimulatedDriver::lineReceived, frmFRA,
                     [&](const QByteArray& line) {
                         if (line != "SGF=20" || checked) return;
                         checked = true;
                         EXPECT_FALSE(frmMain->btnPrm->isEnabled());
                         EXPECT_FALSE(frmMain->btnSetup->isEnabled());
                         EXPECT_TRUE(frmMain->edtSend->isReadOnly());
                         EXPECT_EQ(frmMain->edtSend->text(), "");
                         EXPECT_FALSE(frmFRA->btOpen->isEnabled());
                         EXPECT_FALSE(frmFRA->gbAnalyzeSetting->isEnabled());
                         EXPECT_FALSE(frmFRA->pcAnalyze->isTabVisible(3));
                         EXPECT_EQ(frmFRA->btAnalyze2->text(), "解析停止");
                         EXPECT_FALSE(frmFRA->close());
                     });
    RunSweep(10, 30, 10);
    EXPECT_TRUE(checked);
    EXPECT_TRUE(frmMain->btnPrm->isEnabled());
    EXPECT_FALSE(frmMain->edtSend->isReadOnly());
    EXPECT_TRUE(frmFRA->pcAnalyze->isTabVisible(3));
    EXPECT_TRUE(frmFRA->close());
}

TEST_F(FraTest, RefusalsBeforeAnythingIsSent) {
    OpenWindow();
    RunSweep(10, 30, 10);
    ASSERT_EQ(frmFRA->Buffers[0].Count, 3);
    TakeSentLines();
    answer = ui::MsgResult::No;
    RunSweep(10, 30, 10);
    EXPECT_TRUE(HasMessage("バッファ1の内容が更新されますがよろしいですか？"));
    EXPECT_TRUE(TakeSentLines().isEmpty());
    EXPECT_EQ(frmFRA->Buffers[0].Count, 3);

    RunSweep(40, 30, 10, 1);
    EXPECT_TRUE(HasMessage(
        "詳細設定で設定された項目に誤りがあります。\n「終了周波数[Hz]」を確認してください。"));
    frmFRA->edSGA->setText("abc");
    RunSweep(10, 30, 10, 1);
    EXPECT_EQ(messages.back().text,
              "詳細設定で設定された項目に誤りがあります。\n「振幅」を確認してください。");
    EXPECT_TRUE(TakeSentLines().isEmpty());
    frmFRA->edSGA->setText("1024");

    driver->setParameter('X', 40, 1040);
    RunSweep(10, 30, 10, 1);
    EXPECT_EQ(messages.back().text, "御使用のドライバではこの機能を利用できません。");
    EXPECT_EQ(messages.back().caption, "警告");
    driver->setParameter('X', 40, 31040);
    Plant().verstReply = "E-S";
    RunSweep(10, 30, 10, 1);
    EXPECT_EQ(messages.back().text, "ご使用のドライバではこの機能を利用できません。");
    EXPECT_EQ(messages.back().caption, "確認");
    EXPECT_EQ(frmFRA->pnAnalyze->text(), " 解析中止");
    EXPECT_EQ(frmFRA->edFreqFromBuf[1]->text(), "");
    EXPECT_EQ(frmFRA->RunFlag, 0);
}

TEST_F(FraTest, ASilentDriverEndsTheRunThroughTheErrorPath) {
    OpenWindow();
    QObject::connect(driver.get(), &sim::SimulatedDriver::lineReceived, frmFRA,
                     [this](const QByteArray& line) {
                         if (line == "SGF=20") driver->setFault(sim::Fault::Silent);
                     });
    RunSweep(10, 50, 10);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "通信エラーが発生しました。");
    EXPECT_EQ(messages[0].caption, "Error");
    EXPECT_EQ(frmFRA->Buffers[0].Count, 0);
    EXPECT_EQ(frmFRA->pnAnalyze->text(), " 解析中止");
    EXPECT_TRUE(frmMain->btnPrm->isEnabled());
    EXPECT_EQ(frmFRA->btAnalyze->text(), "解析開始");
}

TEST_F(FraTest, NegativeFrequencyWordDropsTheMeasurement) {
    Plant().negativeFromHz = 30;
    OpenWindow();
    TakeSentLines();
    RunSweep(10, 60, 10);
    EXPECT_TRUE(HasMessage("不正なデータを検出しました。\n解析中のデータは破棄されます。"));
    EXPECT_EQ(frmFRA->Buffers[0].Count, 0);
    EXPECT_EQ(frmFRA->edFreqFromBuf[0]->text(), "");
    const QList<QByteArray> lines = TakeSentLines();
    EXPECT_FALSE(Sent(lines, "SGF=40"));
    EXPECT_TRUE(Sent(lines, "SINOF"));
}

TEST_F(FraTest, NotchTestSavesAndRestoresTheNotchFilter) {
    Plant().nfst = "7";
    OpenWindow();
    frmFRA->cbFRASET->SetItemIndex(9);
    frmFRA->cbComplex->SetChecked(false);
    TakeSentLines();
    RunSweep(10, 20, 10);
    const QList<QByteArray> lines = WithoutModelQueries(TakeSentLines());
    const qsizetype svof = lines.indexOf("SVOF");
    ASSERT_GT(svof, 0);
    EXPECT_EQ(lines.mid(svof, 4), (QList<QByteArray>{"SVOF", "NFST", "NFOF", "NFTON"}));
    EXPECT_TRUE(Sent(lines, "FRAMD=10"));
    EXPECT_TRUE(Sent(lines, "G"));
    EXPECT_TRUE(Sent(lines, "LOG3=AMAX"));
    const qsizetype end = lines.lastIndexOf("/L");
    EXPECT_EQ(lines.mid(end, 6),
              (QList<QByteArray>{"/L", "S", "SINOF", "NFTOF", "NFST=7", "VERST=0"}));
    EXPECT_EQ(frmFRA->sgParams3->Cell(1, 4), "TEST");
    EXPECT_EQ(frmFRA->Buffers[0].ColumnNames[3], "ADEG");
    EXPECT_EQ(frmFRA->Buffers[0].Count, 2);
}

TEST_F(FraTest, StatusPanelShowsAlarmAndTorqueReference) {
    OpenWindow();
    frmFRA->RunFlag = 0;
    TakeSentLines();
    EXPECT_EQ(frmFRA->ShowDriverStatus(), 1);
    EXPECT_EQ(TakeSentLines(), QList<QByteArray>{"ALST"});
    EXPECT_EQ(frmFRA->pnStatus->text(), "");

    frmFRA->RunFlag = 1;
    Plant().torqueRef = 42;
    EXPECT_EQ(frmFRA->ShowDriverStatus(), 1);
    EXPECT_EQ(frmFRA->pnStatus->text(), "ALST=    0, QREF=   42");
    EXPECT_EQ(ui::TextColor(frmFRA->pnStatus), ui::WindowTextColor());
    Plant().torqueRef = 300; // at the limit
    frmFRA->ShowDriverStatus();
    EXPECT_EQ(ui::TextColor(frmFRA->pnStatus), QColor(Qt::red));
    Plant().torqueRef = 0;
    Plant().alarm = 12;
    frmFRA->ShowDriverStatus();
    EXPECT_EQ(frmFRA->pnStatus->text(), "ALST=   12, QREF=    0");
    EXPECT_EQ(ui::TextColor(frmFRA->pnStatus), QColor(Qt::red));
    frmFRA->RunFlag = 0;

    // A command sent without a reply buffer does not wait for an answer.
    driver->setFault(sim::Fault::Silent);
    EXPECT_EQ(frmFRA->SendAndWait("SGA=0", nullptr), 0);
    QByteArray reply;
    EXPECT_EQ(frmFRA->SendAndWait("ALST", &reply), -1);
}
