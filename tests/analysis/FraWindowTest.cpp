// The analysis window and its launcher: the model check, the window without a driver, the twin
// controls of the Bode and vector pages and the option handlers.
#include "FraFixture.h"

#include "status/UnitStat.h"

TEST_F(FraTest, LauncherRefusesOtherDriverSeries) {
    for (const char* model : {"QWB20", "QWC-D56", "E-S"}) {
        driver->setModelText('X', model);
        messages.clear();
        frmMain->btnPopupFRA->trigger();
        EXPECT_FALSE(frmFRA->Showing()) << model;
        ASSERT_EQ(messages.size(), 1u) << model;
        EXPECT_EQ(messages[0].text,
                  "ﾄﾞﾗｲﾊﾞｼﾘｰｽﾞ名が異なる為、FRA(周波数応答解析)画面は表示されません。");
        EXPECT_EQ(messages[0].caption, "ﾄﾞﾗｲﾊﾞｼﾘｰｽﾞ名ｴﾗｰ");
        EXPECT_EQ(frmMain->VersionText, model);
    }
    driver->setModelText('X', "QWD50A");
    TakeSentLines();
    frmMain->btnPopupFRA->trigger();
    EXPECT_TRUE(frmFRA->Showing());
    EXPECT_EQ(TakeSentLines(), (QList<QByteArray>{"VER", "VER"}));
    EXPECT_EQ(frmFRA->windowTitle(), "周波数応答解析");
}

TEST_F(FraTest, WithoutAnAnswerTheWindowOpensAllTheSame) {
    driver->setFault(sim::Fault::Silent);
    frmMain->btnPopupFRA->trigger();
    EXPECT_TRUE(frmFRA->Showing());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "ドライバと通信できませんでした。");
    EXPECT_EQ(messages[0].caption, "ｴﾗ-");
    EXPECT_FALSE(frmMain->Timer2->isActive());
}

// The date and time stand in the window from the moment the user opens it, and its clock stops
// when the user closes it.
TEST_F(FraTest, TheClockStampsAtOnceAndStopsWithTheWindow) {
    for (QLabel* label : frmFRA->lblTimeNow)
        label->clear();
    OpenWindow();
    for (QLabel* label : frmFRA->lblTimeNow)
        EXPECT_FALSE(label->text().isEmpty());
    EXPECT_TRUE(frmFRA->DateTimer->isActive());
    frmFRA->close();
    EXPECT_FALSE(frmFRA->Showing());
    EXPECT_FALSE(frmFRA->DateTimer->isActive());
}

TEST_F(FraTest, LauncherHidesTheStatusMonitorsFirst) {
    frmStat->Show();
    ASSERT_TRUE(frmStat->Showing());
    OpenWindow();
    EXPECT_FALSE(frmStat->Showing());
}

TEST_F(FraTest, TwinControlsFollowEachOtherAndRedrawTheVisiblePlot) {
    OpenWindow();
    RunSweep(50, 150, 10, 1);
    ASSERT_EQ(frmFRA->Buffers[1].Count, 11);
    EXPECT_GT(CountColour(Bode(), kRed), 50);
    frmFRA->cbBuf[1]->click();
    EXPECT_FALSE(frmFRA->cb2Buf[1]->isChecked());
    EXPECT_EQ(CountColour(Bode(), kRed), 0);
    frmFRA->pcAnalyze->setCurrentWidget(frmFRA->tsVector);
    EXPECT_EQ(CountColour(Vector(), kRed), 0);
    frmFRA->cb2Buf[1]->click();
    EXPECT_TRUE(frmFRA->cbBuf[1]->isChecked());
    EXPECT_GT(CountColour(Vector(), kRed), 20);

    frmFRA->cb2OL[2]->click();
    EXPECT_TRUE(frmFRA->cbOL[2]->isChecked());
    frmFRA->rb2ActiveBuf[2]->click();
    EXPECT_TRUE(frmFRA->rbActiveBuf[2]->isChecked());
    EXPECT_EQ(frmFRA->GetActiveBuffer(), 2);
}

TEST_F(FraTest, OptionHandlers) {
    OpenWindow();
    frmFRA->cbPhase->click();
    for (QWidget* w :
         std::initializer_list<QWidget*>{frmFRA->edCurPhase, frmFRA->edM1Phase, frmFRA->edM2Phase,
                                         frmFRA->lbPhase, frmFRA->shBufP[1], frmFRA->cbPhaseRO})
        EXPECT_TRUE(w->isHidden());
    frmFRA->cbPhase->click();
    EXPECT_FALSE(frmFRA->edCurPhase->isHidden());
    EXPECT_FALSE(frmFRA->edKIKTM->isEnabled());
    frmFRA->cbVirtual->click();
    EXPECT_TRUE(frmFRA->edKIKTM->isEnabled());
    EXPECT_TRUE(frmFRA->lbKIKTM->isEnabled());
    EXPECT_EQ(frmFRA->cbFRASET->currentText(), "速度");
    EXPECT_EQ(frmFRA->cbFRASET->count(), 10);
    EXPECT_EQ(frmFRA->sgParams2->Cell(0, 0), "#79 ＰＩＤ選択 (1=↓, 0=↑）");
    EXPECT_EQ(frmFRA->sgParams3->Cell(0, 2), "VERST  仮想モータ");
    frmFRA->DateTimerTimer();
    EXPECT_FALSE(frmFRA->lblTimeNow[2]->text().isEmpty());
}

TEST_F(FraTest, VirtualModeSendsTheAccelerationConstant) {
    OpenWindow();
    frmFRA->cbVirtual->SetChecked(true);
    frmFRA->edKIKTM->setText("12");
    TakeSentLines();
    RunSweep(10, 20, 10);
    const QList<QByteArray> lines = WithoutModelQueries(TakeSentLines());
    const qsizetype verst = lines.indexOf("VERST=7");
    ASSERT_GT(verst, 0);
    EXPECT_EQ(lines.at(verst + 1), "KIKTM=12");
}
