#include "UnitStat.h"

#include "link/UnitGeneral.h"
#include "shell/UnitSetup.h"

TfrmStat* frmStat = nullptr;

TfrmStat::TfrmStat(QWidget* owner)
    : TStatusMonitor(owner, ridStat, status::Monitor::Stat, status::StatVariableItems()),
      lblOust5(lblOust[5]), oust_bit5(oust_bit[5]), lblOust6(lblOust[6]), oust_bit6(oust_bit[6]),
      lblOust7(lblOust[7]), oust_bit7(oust_bit[7]), alst_bit1(alst_bit[1]), alst_bit8(alst_bit[8]),
      alst_bit9(alst_bit[9]), alst_bit12(alst_bit[12]), alst_bit13(alst_bit[13]),
      alst_bit14(alst_bit[14]), alst_bit15(alst_bit[15]) {
    ApplySeriesTexts(SeriesIndex());
    cmbAct0->SetItemIndex(1); // "$PACT"
    cmbAct1->SetItemIndex(2); // "$VACT"
}

void TfrmStat::ApplySeriesTexts(int series) {
    if (series < 0 || series > 3) return;
    const bool first = series == 0;
    ShowUpperOustLamps(first);
    for (QWidget* w : std::initializer_list<QWidget*>{
             grpPoleSens,    lblPole_U,   Pole_U,       lblPole_V, Pole_V,      lblPole_W,
             Pole_W,         grpAnother2, lblUnderVolt, UnderVolt, lblOverVolt, OverVolt,
             lblOverCurrent, OverCurrent, grpMailBox,   lblMbst,   MBST,        lblSqpt,
             SQPT,           Bevel6,      Bevel7})
        w->setVisible(!first);
    alst_bit1->setText(first ? " 1 (予約)" : " 1 (電流ﾁｭｰﾆﾝｸﾞ)");
    alst_bit8->setText(first ? " 8 (予約)" : " 8 (電源ｴﾗｰ)");
    alst_bit9->setText(first ? " 9 (暴走検知)" : " 9 (暴走or断線)");
    alst_bit12->setText(first ? " 12(予約)" : " 12(送信ﾊﾞｯﾌｧ)");
    alst_bit13->setText(first ? " 13(予約)" : " 13(ﾎﾟｲﾝﾀｴﾗｰ)");
    alst_bit14->setText(first ? " 14(予約)" : " 14(ﾒﾓﾘｱﾄﾞﾚｽｴﾗｰ)");
    alst_bit15->setText(first ? " 15(予約)" : " 15(ｵﾌﾟｼｮﾝｴﾗｰ)");
    SetGroupCaptions(first);
    FitCaptions();
}

void TfrmStat::SetNewStatusCommands() {
    NewStatusCommands = status::NewStatusCommandsOf(ModelText, NewStatusCommands);
}

// The status commands or the memory reads are chosen afresh before each of their steps.
QByteArray TfrmStat::FixedCommand(int step) {
    const int series = SeriesIndex();
    if ((step == 10 && series != 0) || step == 12) SetNewStatusCommands();
    return status::FixedPollCommand(status::Monitor::Stat, series, NewStatusCommands, step);
}

status::WordForm TfrmStat::ExtraWordForm() const {
    return status::StatWordForm(SeriesIndex(), ModelText, NewStatusCommands);
}
