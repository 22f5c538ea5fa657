// The main window's " ｽﾃｰﾀｽ " button: asks the driver for its model and opens the status monitor
// of its series and model.
#include "link/UnitGeneral.h"
#include "link/Waits.h"
#include "shell/UnitMain.h"
#include "shell/UnitSetup.h"
#include "status/UnitStat.h"
#include "status/UnitStat_QWC.h"

namespace {

// No answer to "VER": no monitor opens. When the line was lost since the launch began
// (`losses`), its owner has told the user.
void ShowNoStatusAnswer(int losses) {
    frmMain->Timer2->SetEnabled(false);
    StopStatusMonitor();
    mdlGeneral->ReportNoDriver(losses);
}

} // namespace

void TfrmMain::btnStatClick() {
    // The monitors themselves keep polling; the other drive screens give up the line.
    HideDriveScreensExcept(DriveScreenKind::StatusMonitor);
    const int losses = mdlGeneral->LineLosses();
    switch (QueryDriverModel(ElapsedMs, *Timer2)) {
    case ModelQuery::SendFailed:
        return;
    case ModelQuery::NoAnswer:
        return ShowNoStatusAnswer(losses);
    case ModelQuery::Answered:
        break;
    }
    VersionText = mdlGeneral->LastReply();
    try {
        // Nobody reads its answer, but the driver gives one: the monitor's first poll waits
        // for it.
        mdlGeneral->SendQuestion(QByteArray("#STAT\r"), ridNone);
    } catch (const platform::ECommError&) {
        mdlGeneral->ReportNoDriver(losses);
        return;
    }
    if (status::OpensQwcMonitor(SeriesIndex(), VersionText))
        frmStat_QWC->Show();
    else
        frmStat->Show();
}
