// The main window's " ｽﾃｰﾀｽ " button: asks the driver for its model and opens the status monitor
// of its series and model.
#include "analysis/FreqAnalyze.h"
#include "logging/UnitLogging.h"
#include "logging/UnitLogging_QWB.h"
#include "logging/UnitLogging_QWC.h"
#include "parameters/UnitPrm.h"
#include "parameters/UnitPrmLock.h"
#include "shell/UnitGeneral.h"
#include "shell/UnitMain.h"
#include "shell/UnitSetup.h"
#include "shell/Waits.h"
#include "status/UnitAlarmList.h"
#include "status/UnitDataTable.h"
#include "status/UnitStat.h"
#include "status/UnitStat_QWC.h"
#include "ui/Dialogs.h"

namespace {

// No answer to "VER": no monitor opens.
void ShowNoStatusAnswer() {
    frmMain->Timer2->SetEnabled(false);
    StopStatusMonitor();
    ui::ShowWarning("ドライバと通信できませんでした。", "ｴﾗ-");
}

} // namespace

void TfrmMain::btnStatClick() {
    // The monitors themselves keep polling; the other drive screens give up the line.
    HideDriveScreens({frmPrm, frmDataTable, frmAlarmList, frmLogging, frmLogging_QWB,
                      frmLogging_QWC, frmPrmLock, frmFRA});
    switch (QueryDriverModel(ElapsedMs, *Timer2)) {
    case ModelQuery::SendFailed:
        return;
    case ModelQuery::NoAnswer:
        return ShowNoStatusAnswer();
    case ModelQuery::Answered:
        break;
    }
    VersionText = mdlGeneral->LastReply;
    mdlGeneral->SendCommand(QByteArray("#STAT\r"), ridNone);
    WaitSendComplete();
    if (status::OpensQwcMonitor(SeriesIndex(), VersionText))
        frmStat_QWC->Show();
    else
        frmStat->Show();
}
