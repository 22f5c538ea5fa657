#include "UnitStat_QWC.h"

#include "link/UnitGeneral.h"
#include "shell/UnitSetup.h"

TfrmStat_QWC* frmStat_QWC = nullptr;

TfrmStat_QWC::TfrmStat_QWC(QWidget* owner)
    : TStatusMonitor(owner, ridStat_QWC, status::Monitor::StatQwc, status::StatQwcVariableItems()) {
    alst_bit[0]->setText(" 0 (ﾊﾟﾗﾒｰﾀ警告)");
    ShowUpperOustLamps(false);
    SetGroupCaptions(false);
    FitCaptions();
    cmbAct0->SetItemIndex(0); // "$PACT"
    cmbAct1->SetItemIndex(1); // "$VACT"
}

QByteArray TfrmStat_QWC::FixedCommand(int step) {
    return status::FixedPollCommand(status::Monitor::StatQwc, SeriesIndex(), 1, step);
}
