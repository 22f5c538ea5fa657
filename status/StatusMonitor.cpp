// The poll cycle of a status monitor: one command outstanding, the next sent from the reply
// handler; a watchdog restarts the cycle at its first step when the driver falls silent.
#include "StatusMonitor.h"

#include "link/RateCommands.h"
#include "link/UnitGeneral.h"
#include "link/Waits.h"
#include "shell/UnitMain.h"
#include "shell/UnitSetup.h"
#include "ui/CarriedText.h"
#include "ui/Codec.h"
#include "ui/Dialogs.h"
#include "ui/Guard.h"

#include <QLineEdit>

#include <utility>

namespace {

const QString kRateFailure =
    "ﾎﾞｰﾚｰﾄの変更ができませんでした。\n「設定」でﾎﾞｰﾚｰﾄを変更してください。";
const QString kLineDown = "ドライバにコマンドを送れませんでした。\n"
                          "通信ポートが使えるようになると、ステータスの表示を再開します。";
constexpr int kStopTicks = 4;

// The selected item of an editable selector: -1 once the typed text matches no item.
int SelectedItem(const QComboBox* box) {
    const int index = box->currentIndex();
    if (index >= 0 && box->itemText(index) == box->currentText()) return index;
    return box->findText(box->currentText(), Qt::MatchExactly);
}

} // namespace

TStatusMonitor::TStatusMonitor(QWidget* owner, int requestId, status::Monitor monitor,
                               const QStringList& variableItems)
    : ui::Form(owner), Timer1(new ui::Timer(250, this)), Timer2(new ui::Timer(100, this)),
      requestId_(requestId), polls_(this, requestId), monitor_(monitor),
      variableItems_(variableItems) {
    ui::Connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    ui::Connect(Timer2, &QTimer::timeout, this, [this] { Timer2Timer(); });
    BuildLayout();
    JoinDriveScreens(this, DriveScreenKind::StatusMonitor);
    // The monitor tells of a failed send itself, once an outage.
    polls_.sendFailed = Exchange::Quiet();
    polls_.notAnswered = Exchange::Quiet();
    polls_.OnAnswer = [this](const QByteArray&) { ReceiveStatus(mdlGeneral); };
    // The line's owner tells the user; the cycle starts again by itself once the port is back.
    polls_.OnEnd = [this](Exchange::End end) {
        if (end != Exchange::End::LineLost) return;
        lineDown_ = true;
        PollStep = 0;
        WatchdogMs = 0;
    };
    // Return reaches the edit box however the key came (the selector hands its keys on to it).
    ui::Connect(cmbAct0->lineEdit(), &QLineEdit::returnPressed, this, [this] {
        QChar enter('\r');
        cmbAct0KeyPress(enter);
    });
    ui::Connect(cmbAct1->lineEdit(), &QLineEdit::returnPressed, this, [this] {
        QChar enter('\r');
        cmbAct1KeyPress(enter);
    });
}

// Every send of the monitor goes through here: while the port is down the watchdog keeps
// trying, the user hears of it once, and the first send that goes out ends the outage.
bool TStatusMonitor::Send(const QByteArray& line, TRequestId id, char axis) {
    return Deliver([&] {
        mdlGeneral->SendCommand(line, id, axis);
        return true;
    });
}

bool TStatusMonitor::Ask(const QByteArray& line, TRequestId id) {
    return Deliver([&] {
        mdlGeneral->SendQuestion(line, id);
        return true;
    });
}

bool TStatusMonitor::AskPoll(const QByteArray& line) {
    polls_.Resume();
    return Deliver([&] { return polls_.Ask(line, TmdlGeneral::kReplyLimitMs); });
}

bool TStatusMonitor::Deliver(const std::function<bool()>& send) {
    try {
        if (!send()) {
            SendFailed();
            return false;
        }
    } catch (const platform::ECommError&) {
        SendFailed();
        return false;
    }
    lineDown_ = false;
    lossesAtLastSend_ = mdlGeneral->LineLosses();
    return true;
}

void TStatusMonitor::SendFailed() {
    if (lineDown_) return;
    lineDown_ = true;
    if (!mdlGeneral->LineLostSince(lossesAtLastSend_)) ui::ShowWarning(kLineDown, "ｴﾗ-");
}

void TStatusMonitor::ReceiveStatus(QObject* sender) {
    WatchdogMs = 0;
    if (sender == Timer1) return RestartCycle();
    try {
        DecodeStep(PollStep, mdlGeneral->LastReply());
    } catch (const std::exception&) {
        return; // no command follows; the watchdog restarts the cycle
    }
    if (StopPolling) {
        PollStep = StoppedStep();
        return;
    }
    if (PollStep == -1) {
        SendTypedLine();
        return;
    }
    if (++PollStep > LastStep()) PollStep = 0;
    SendPoll(PollStep);
}

// A poll that had no answer in the watchdog's time is given up (its late answer goes nowhere)
// and the cycle starts again at its first step, behind the line that settles the lost answer.
// While that line is still out, a restart would only pile more lines behind it that a silent
// driver loses: the watchdog looks again on its next tick.
void TStatusMonitor::RestartCycle() {
    if (mdlGeneral->LineSettling()) {
        WatchdogMs = kWatchdogLimitMs;
        return;
    }
    if (mdlGeneral->QuestionPending(requestId_)) mdlGeneral->Withdraw(requestId_);
    PollStep = 0;
    SendPoll(0);
}

void TStatusMonitor::SendPoll(int step) {
    AskPoll(PollCommand(step) + '\r');
}

void TStatusMonitor::DecodeStep(int step, const QByteArray& reply) {
    switch (step) {
    case 0:
        return DecodeStat(reply);
    case 1:
        return DecodeAlst(reply);
    case 2:
        return DecodeInst(reply);
    case 3:
        return DecodeOust(reply);
    case 4:
        return lblVal0->setText(ui::cp932::Decode(reply));
    case 5:
        return lblVal1->setText(ui::cp932::Decode(reply));
    case 6:
        lblQref->setText(ui::cp932::Decode(reply));
        return DecodeQref(reply);
    case 7:
        lblLoad->setText(ui::cp932::Decode(reply));
        return DecodeLoad(reply);
    case 8:
        return lblMode->setText(ui::cp932::Decode(reply));
    default:
        if (step > 8) DecodeLaterStep(step, reply);
    }
}

// The first monitor polls the model text at step 9, before the steps that both monitors share,
// so its later steps come one after the other monitor's.
void TStatusMonitor::DecodeLaterStep(int step, const QByteArray& reply) {
    const bool pollsModelText = monitor_ == status::Monitor::Stat;
    if (pollsModelText && step == 9) return StoreModelText(reply);
    switch (pollsModelText ? step - 1 : step) {
    case 9:
        return DecodeAnother(reply);
    case 10:
        return DecodePoleSens(reply);
    case 11:
        return DecodeAnother2(reply);
    case 12:
        return lblMbst->setText(ui::cp932::Decode(reply));
    case 13:
        return lblSqpt->setText(ui::cp932::Decode(reply));
    default:
        return;
    }
}

QByteArray TStatusMonitor::PollCommand(int step) {
    if (step == 4)
        return LineBytes(
            status::VariableCommand(variableItems_, SelectedItem(cmbAct0), CustomName0));
    if (step == 5)
        return LineBytes(
            status::VariableCommand(variableItems_, SelectedItem(cmbAct1), CustomName1));
    return FixedCommand(step);
}

int TStatusMonitor::LastStep() const {
    return status::LastPollStep(monitor_, SeriesIndex());
}

// One past the longest cycle of the monitor, whatever the series.
int TStatusMonitor::StoppedStep() const {
    return status::LastPollStep(monitor_, 1) + 1;
}

// The typed line goes out in place of the next poll; the watchdog resumes the cycle.
void TStatusMonitor::SendTypedLine() {
    const QString text = frmMain->edtSend->text();
    if (!CheckLineText(text, ui::PlaceOf(frmMain->edtSend))) return;
    const QByteArray typed = LineBytes(text);
    const RateCommand* rate = MatchRateCommand(typed);
    if (!rate) {
        if (TypedLineIsWrite(typed))
            Send(typed + '\r', ridTerminal);
        else
            Ask(typed + '\r', ridTerminal);
        return;
    }
    if (!Send(typed + '\r', ridNone)) return;
    // The port is closed while the rate changes, and a failure is told by the rate change: the
    // watchdog's restarts meanwhile stay quiet until a send goes out again.
    lineDown_ = true;
    frmMain->ChangeLineRate(*rate, *Timer2, kRateFailure);
}

void TStatusMonitor::Timer1Timer() {
    WatchdogMs += Timer1->interval();
    if (WatchdogMs <= kWatchdogLimitMs) return;
    WatchdogMs = 0;
    ReceiveStatus(Timer1);
}

// A name is one field of a command line: a name that cannot be sent as the box shows it (a
// pasted line end, say) is not taken.
void TStatusMonitor::cmbAct0KeyPress(QChar& key) {
    const QString name = cmbAct0->currentText();
    if (key == '\r' && !name.isEmpty() && CheckLineText(name, ui::PlaceOf(cmbAct0)))
        CustomName0 = name;
}

void TStatusMonitor::cmbAct1KeyPress(QChar& key) {
    const QString name = cmbAct1->currentText();
    if (key == '\r' && !name.isEmpty() && CheckLineText(name, ui::PlaceOf(cmbAct1)))
        CustomName1 = name;
}

void TStatusMonitor::FormShow() {
    polls_.Start();
    StopPolling = false;
    lineDown_ = false;
    lossesAtLastSend_ = mdlGeneral->LineLosses();
    WatchdogMs = kWatchdogLimitMs; // the first tick starts the cycle
    Timer1->SetEnabled(true);
}

void TStatusMonitor::FormActivate() {
    setWindowTitle(frmMain->lblAxis->text() + "軸の ｽﾃｰﾀｽ");
}

// Late replies are kept away by the stopped request id while the line settles; the driver's
// continuous output, if any, is ended by ".".
void TStatusMonitor::FormHide() {
    StopPolling = true;
    polls_.Cancel();
    mdlGeneral->TakeLine(ridStopped);
    Timer1->SetEnabled(false);
    WaitTicks(*Timer2, kStopTicks);
    mdlGeneral->PurgePort();
    if (!Send(QByteArray(".\r"), ridNone, polls_.Axis()))
        mdlGeneral->ReleaseLine(); // the line is free for whoever comes next
}
