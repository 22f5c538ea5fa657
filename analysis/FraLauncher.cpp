// The main window's "周波数応答解析(FRA)": opens the analysis window after the model check.
#include "FreqAnalyze.h"

#include "link/UnitGeneral.h"
#include "link/Waits.h"
#include "shell/UnitMain.h"
#include "ui/Dialogs.h"

void TfrmMain::btnPopupFRAClick() {
    // Both status monitors are hidden: their polls would take the analysis's replies.
    HideDriveScreensExcept({frmFRA});
    const int losses = mdlGeneral->LineLosses();
    switch (QueryDriverModel(ElapsedMs, *Timer2)) {
    case ModelQuery::SendFailed:
        LoggingReady = false;
        return;
    case ModelQuery::NoAnswer:
        ElapsedMs = 0;
        mdlGeneral->ReportNoDriver(losses);
        frmFRA->Show();
        return;
    case ModelQuery::Answered:
        break;
    }
    VersionText = mdlGeneral->LastReply();
    if (VersionText.contains("D56") || VersionText.contains("E-S") || VersionText.contains("QWB")) {
        ui::ShowWarning("ﾄﾞﾗｲﾊﾞｼﾘｰｽﾞ名が異なる為、FRA(周波数応答解析)画面は表示されません。",
                        "ﾄﾞﾗｲﾊﾞｼﾘｰｽﾞ名ｴﾗｰ");
        return;
    }
    frmFRA->Show();
}
