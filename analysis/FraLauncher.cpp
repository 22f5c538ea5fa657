// The main window's "周波数応答解析(FRA)": opens the analysis window after the model check.
#include "FreqAnalyze.h"

#include "logging/UnitLogging.h"
#include "logging/UnitLogging_QWB.h"
#include "logging/UnitLogging_QWC.h"
#include "parameters/UnitPrm.h"
#include "parameters/UnitPrmLock.h"
#include "shell/UnitGeneral.h"
#include "shell/UnitMain.h"
#include "shell/Waits.h"
#include "status/UnitAlarmList.h"
#include "status/UnitDataTable.h"
#include "status/UnitStat.h"
#include "status/UnitStat_QWC.h"
#include "ui/Dialogs.h"

void TfrmMain::btnPopupFRAClick() {
    // The first status monitor is hidden as well: its polls would take the analysis's replies.
    HideDriveScreens({frmPrm, frmDataTable, frmAlarmList, frmLogging, frmLogging_QWB,
                      frmLogging_QWC, frmPrmLock, frmStat_QWC, frmStat});
    switch (QueryDriverModel(ElapsedMs, *Timer2)) {
    case ModelQuery::SendFailed:
        LoggingReady = false;
        return;
    case ModelQuery::NoAnswer:
        ElapsedMs = 0;
        ui::ShowWarning("ドライバと通信できませんでした。", "ｴﾗ-");
        frmFRA->Show();
        return;
    case ModelQuery::Answered:
        break;
    }
    VersionText = mdlGeneral->LastReply;
    if (VersionText.contains("D56") || VersionText.contains("E-S") || VersionText.contains("QWB")) {
        ui::ShowWarning("ﾄﾞﾗｲﾊﾞｼﾘｰｽﾞ名が異なる為、FRA(周波数応答解析)画面は表示されません。",
                        "ﾄﾞﾗｲﾊﾞｼﾘｰｽﾞ名ｴﾗｰ");
        return;
    }
    frmFRA->Show();
}
