#include "StatusMonitor.h"

#include "shell/RateCommands.h"
#include "shell/UnitGeneral.h"
#include "shell/UnitMain.h"
#include "shell/Waits.h"
#include "ui/Codec.h"
#include "ui/Dialogs.h"

TStatusMonitor::TStatusMonitor(QWidget* owner)
    : ui::Form(owner), Timer1(new ui::Timer(250, this)), Timer2(new ui::Timer(100, this)) {
    connect(Timer2, &QTimer::timeout, this, [this] { ++Timer2->Tag; });
}

void TStatusMonitor::FormHide() {
    StopPolling = true;
    mdlGeneral->RequestId = ridStopped;
    Timer1->SetEnabled(false);
    WaitTicks(*Timer2, 4);
    mdlGeneral->Comm1->TxPurge();
    mdlGeneral->Comm1->RxPurge();
    mdlGeneral->SendCommand(QByteArray(".\r"), ridNone);
    WaitSendComplete();
}

void TStatusMonitor::ReceiveStatus(QObject*) {
    if (PollStep == -1)
        SendTypedLine();
}

void TStatusMonitor::SendTypedLine() {
    PollStep = 0;
    const QByteArray typed = ui::cp932::Encode(frmMain->edtSend->text());
    const RateCommand* rate = MatchRateCommand(typed);
    if (!rate) {
        mdlGeneral->SendCommand(typed + '\r', ridTerminal);
        return;
    }
    mdlGeneral->SendCommand(typed + '\r', ridNone);
    frmMain->ChangeLineRate(*rate, *Timer2,
                            "ﾎﾞｰﾚｰﾄの変更ができませんでした。\n「設定」でﾎﾞｰﾚｰﾄを変更してください。");
}
