// The main window's "ﾃﾞｰﾀﾛｷﾞﾝｸﾞ": reads the drive constants and the logging settings, then opens
// the logging window of the driver's series.
#include "LoggingRules.h"
#include "UnitLogging.h"
#include "UnitLogging_QWB.h"
#include "UnitLogging_QWC.h"
#include "link/UnitGeneral.h"
#include "link/Waits.h"
#include "shell/UnitMain.h"
#include "shell/UnitSetup.h"
#include "ui/Dialogs.h"

namespace {

bool ContainsAny(const QByteArray& text, std::initializer_list<const char*> codes) {
    for (const char* code : codes)
        if (text.contains(code)) return true;
    return false;
}

void Refuse(const QByteArray& model) {
    if (model == "E-S")
        ui::ShowWarning(
            "正しく受信できませんでした。\n( QWAｼﾘｰｽﾞｵﾌﾟｼｮﾝ無し(Ver4)のﾄﾞﾗｲﾊﾞではﾛｷﾞﾝｸﾞ機能"
            "は使用できません。)",
            "受信ｴﾗｰ");
    else
        ui::ShowWarning("ﾄﾞﾗｲﾊﾞｼﾘｰｽﾞ名が異なる為、ﾛｷﾞﾝｸﾞ画面は表示されません。",
                        "ﾄﾞﾗｲﾊﾞｼﾘｰｽﾞ名ｴﾗｰ");
}

// "SVKHZ\r" twice; the second reply is the control frequency, whose control cycle becomes the
// fastest period of the third series' list.
bool ReadControlFrequency(TfrmMain& main) {
    for (int round = 0; round < 2; ++round) {
        if (!AskAndWait(QByteArray("SVKHZ\r"), main.ElapsedMs, *main.Timer2)) {
            main.btnLoggingClick(main.Timer2);
            return false;
        }
    }
    main.ControlKhzText = mdlGeneral->LastReply();
    const std::optional<int> khz = logging::DecimalReply(main.ControlKhzText);
    if (!khz) logging::RaiseNotAnInteger(QString::fromLatin1(main.ControlKhzText));
    if (const std::optional<QString> text = logging::FastestPeriodText(*khz))
        frmLogging_QWC->cmbLogTime->setItemText(0, *text);
    return true;
}

} // namespace

void TfrmMain::btnPopupLoggingClick() {
    LoggingReady = true;
    loggingLaunchLosses_ = mdlGeneral->LineLosses();
    HideDriveScreensExcept(DriveScreenKind::Logging);
    switch (QueryDriverModel(ElapsedMs, *Timer2)) {
    case ModelQuery::SendFailed:
        LoggingReady = false;
        return;
    case ModelQuery::NoAnswer:
        btnLoggingClick(Timer2);
        return;
    case ModelQuery::Answered:
        break;
    }
    VersionText = mdlGeneral->LastReply();
    const QByteArray& model = VersionText;
    ui::Form* window = nullptr;
    switch (SeriesIndex()) {
    case 0:
        if (ContainsAny(model, {"D56", "PLD8AA"}) && !model.contains("E-S")) {
            PrepareLogging_QWA();
            window = frmLogging;
        }
        break;
    case 1:
        if (!ContainsAny(model, {"D56", "PLD8AA", "E-S", "QWC"})) {
            PrepareLogging_QWB();
            window = frmLogging_QWB;
        }
        break;
    case 2:
    case 3:
        if (!ContainsAny(model, {"D56", "PLD8AA", "E-S", "QWB"})) {
            if (!ReadControlFrequency(*this)) return;
            PrepareLogging_QWC();
            window = frmLogging_QWC;
        }
        break;
    default:
        Timer2->SetEnabled(false);
        return;
    }
    if (!window) {
        Refuse(model);
        return;
    }
    if (!LoggingReady) return;
    window->Show();
    window->activateWindow();
    Timer2->SetEnabled(false);
}

void TfrmMain::btnLoggingClick(QObject*) {
    Timer2->SetEnabled(false);
    HideDriveScreensOf(DriveScreenKind::Logging);
    // A reply that did not come because the port went has been reported by its loss.
    mdlGeneral->ReportNoDriver(loggingLaunchLosses_);
    LoggingReady = false;
}
