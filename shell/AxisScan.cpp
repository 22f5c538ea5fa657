#include "AxisScan.h"

#include "UnitMain.h"
#include "UnitSetup.h"
#include "UnitSplashWindow.h"
#include "link/UnitGeneral.h"
#include "link/Waits.h"
#include "ui/Dialogs.h"
#include "ui/Wait.h"

#include <cstdint>
#include <memory>
#include <string_view>

namespace {

const QString kSendError = "通信確立中に送信エラーを検知しました。";
const QString kScanCaption = "通信確立ﾁｪｯｸ完了";
const QString kCannotClose = "Commポートがクローズできませんでした。";

// A send failure during a scan, told in the scan's words unless the line was lost meanwhile: the
// user has then been told once already.
void ReportScanSendError(int lossesBefore) {
    if (!mdlGeneral->LineLostSince(lossesBefore)) ui::ShowWarning(kSendError, "通信ｴﾗｰ");
}

// One probe and its wait, counted from when it went out (it waits for a settled line first); a
// probe still unanswered then is given up, as silence is an absent axis's answer.
Ticket SendProbe(const QByteArray& line, const QByteArray& expected, ui::Timer& ticks) {
    const Ticket probe = mdlGeneral->AskScanProbe(line, expected);
    WaitUntilAsked(probe);
    WaitTicksOrAnswer(probe, ticks, 10);
    mdlGeneral->Withdraw(probe);
    return probe;
}

// The letters of the axes that answered, in the scan's order.
QByteArray ScannedAxes(int mask) {
    QByteArray letters;
    for (const char letter : std::string_view(kProbeOrder))
        if (mask & AxisBit(letter)) letters += letter;
    return letters;
}

} // namespace

bool ProbeAxis(char letter, ui::Timer& ticks) {
    const QByteArray line = QByteArray(1, letter) + ":#33\r";
    const QByteArray code = QByteArray::number(static_cast<int>(letter));
    SendProbe(line, code, ticks); // the first reply only wakes the driver up
    return SendProbe(line, code, ticks)->Answered();
}

// The start-up scan, with the splash window, when the main window is shown.
void TfrmMain::FormShow() {
    std::unique_ptr<TfrmSplashWindow> splash(new TfrmSplashWindow(this));
    frmSplashWindow = splash.get();
    auto releaseSplash = [&splash] {
        splash.reset();
        frmSplashWindow = nullptr;
    };
    AxisMask = 0;
    splash->CancelRequested = false;
    if (PortOpenFailed || frmSetup->cmbTransmit->ItemIndex() != 0) return releaseSplash();
    splash->Show();
    const int losses = mdlGeneral->LineLosses();
    try {
        for (int i = 0; i < 26; ++i) {
            ui::ProcessPendingMessages();
            if (splash->CancelRequested || ui::QuitRequested()) break;
            const char letter = kProbeOrder[i];
            const bool answered = ProbeAxis(letter, *Timer3);
            splash->grpAxisCondition->ShowAnswer(letter, answered);
            frmSetup->grpAxisCondition->ShowAnswer(letter, answered);
            if (answered) AxisMask |= AxisBit(letter);
            splash->ProgressBar1->setValue(i + 1);
        }
        if (AxisMask == 0 && !splash->CancelRequested)
            ui::ShowWarning("通信可能なﾄﾞﾗｲﾊﾞが見つかりませんでした。\n"
                            "設定画面で各種通信設定を確認してください。",
                            kScanCaption);
        releaseSplash();
        mdlGeneral->SetScannedAxes(ScannedAxes(AxisMask));
        mdlGeneral->SendCommand(QByteArray("*:\r"), ridNone);
    } catch (const platform::ECommError&) {
        releaseSplash();
        ReportScanSendError(losses);
    }
}

void TfrmSetup::ReturnToIdle() {
    btnClose->setEnabled(true);
    btnCheck->setText("確認");
}

// The setup dialog's check button: starts a check, or asks the running one to stop.
void TfrmSetup::btnCheckClick() {
    if (btnCheck->text() == "停止") {
        ReturnToIdle();
        btnClose->setFocus();
        return;
    }
    RunCheck();
    if (closeRequested_) {
        closeRequested_ = false;
        close();
    }
}

void TfrmSetup::RunCheck() {
    btnClose->setEnabled(false);
    btnCheck->setText("停止");
    RecordCheckedSettings();
    const int rate = BaudOfIndex(cmbBaudrate->ItemIndex());
    frmMain->Label5->setText(QString::number(rate));
    frmMain->Label6->setText(FormatOfParity(cmbParity->ItemIndex()));
    mdlGeneral->SetCommParams(static_cast<short>(cmbPort->ItemIndex() + 1),
                              static_cast<unsigned>(rate),
                              static_cast<short>(cmbParity->ItemIndex()));
    portOpenFailed_ = false;
    const bool opened = OpenPortOrAskForRestart();
    frmMain->AxisMask = 0;
    grpAxisCondition->ClearAll();
    if (!opened) {
        // The warning told the user to start again, and the program ends once the dialog has
        // closed: nothing was sent, so no summary of drivers found or not found follows it.
        mdlGeneral->SetScannedAxes(ScannedAxes(0));
        portOpenFailed_ = true;
        closeRequested_ = true;
        ReturnToIdle();
        btnClose->setFocus();
        return;
    }
    const int losses = mdlGeneral->LineLosses();
    try {
        for (int i = 0; i < 26; ++i) {
            if (btnCheck->text() != "停止" || ui::QuitRequested()) {
                ProgressBar1->setValue(0);
                break;
            }
            const char letter = kProbeOrder[i];
            const bool answered = ProbeAxis(letter, *Timer1);
            grpAxisCondition->ShowAnswer(letter, answered);
            if (answered) frmMain->AxisMask |= AxisBit(letter);
            ProgressBar1->setValue(i + 1);
        }
        mdlGeneral->SetScannedAxes(ScannedAxes(frmMain->AxisMask));
        // Nothing is sent on a port that a lost line has closed meanwhile.
        if (mdlGeneral->PortOpen()) {
            mdlGeneral->SendCommand(frmMain->lblAxis->text() + ":\r", ridNone);
        }
    } catch (const platform::ECommError&) {
        ReportScanSendError(losses);
        ReturnToIdle();
        try {
            mdlGeneral->ClosePort();
        } catch (const platform::ECommError&) {
            ui::ShowWarning(kCannotClose, "警告");
        }
        return;
    }
    try {
        mdlGeneral->ClosePort();
    } catch (const platform::ECommError&) {
        ui::ShowWarning(kCannotClose, "警告");
        frmMain->edtSend->setFocus();
        ReturnToIdle();
        return;
    }
    ui::ShowWarning(frmMain->AxisMask != 0
                        ? QString("通信確立ﾁｪｯｸ処理が完了しました。")
                        : QString("通信可能なﾄﾞﾗｲﾊﾞが見つかりませんでした。\n[ 主な要因 ]\n"
                                  "1. COMﾎﾟｰﾄ番号が異なっている。\n2. ﾎﾞｰﾚｰﾄが異なっている。\n"
                                  "3. 電源が投入されていない。"),
                    kScanCaption);
    ReturnToIdle();
    btnClose->setFocus();
}
