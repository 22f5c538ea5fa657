// The main window's command terminal: a typed line goes to the driver on Enter and its reply
// shows below it; the line designates the axis, may switch the line rate, or is handed to a
// polling status monitor; the arrow keys recall the last 20 lines.
#include "UnitMain.h"
#include "UnitSetup.h"
#include "link/UnitGeneral.h"
#include "link/Waits.h"
#include "status/UnitStat.h"
#include "status/UnitStat_QWC.h"
#include "ui/CarriedText.h"
#include "ui/Dialogs.h"

#include <algorithm>

namespace {

const QString kContinuousOutput = "==";
const QString kCannotCommunicate = "Can not communication to driver.";
const QString kTerminalRateFailure =
    "ﾎﾞｰﾚｰﾄの変更ができませんでした。\n設定画面でﾎﾞｰﾚｰﾄを変更してください。";

// The designation a typed line makes: the text before its first colon (the scan starts after a
// leading colon); false when the line has no colon to scan.
bool DesignationOf(const QString& typed, QString& axis) {
    const int start = typed.startsWith(':') ? 1 : 0;
    const int colon = typed.indexOf(':', start);
    if (colon < 0) return false;
    axis = typed.mid(start, colon - start);
    return true;
}

} // namespace

void TfrmMain::ShowTerminalReply(const QString& line) {
    lblReceive->setText(line);
    ui::SetTextColor(lblReceive, ui::WindowTextColor());
}

void TfrmMain::edtSendKeyPress(QChar& key) {
    if (key != '\r') {
        if (SentState) {
            ui::SetTextColor(edtSend, ui::WindowTextColor());
            edtSend->clear();
            SentState = false;
        }
        return;
    }
    const QString typed = edtSend->text();
    if (typed.isEmpty() || !CheckLineText(typed, ui::PlaceOf(edtSend))) return;
    QString axis;
    if (DesignationOf(typed, axis)) lblAxis->setText(axis);

    const TRequestId holder = mdlGeneral->LineHolder();
    const bool monitorKeepsStop = holder == ridStat && typed == kContinuousOutput;
    if (!monitorKeepsStop) {
        if (holder == ridStat || holder == ridStat_QWC) {
            // The polling monitor sends the line in place of its next poll.
            frmStat->PollStep = -1;
            frmStat_QWC->PollStep = -1;
        } else {
            try {
                SendTypedLine(typed);
            } catch (const platform::ECommError&) {
                ui::SetTextColor(edtSend, ui::clGray);
                edtSend->SetSelStart(0);
                SentState = true;
                ui::ShowWarning(kCannotCommunicate, "Error");
                return;
            }
        }
        ui::SetTextColor(lblReceive, ui::clGray);
        ui::SetTextColor(edtSend, ui::clGray);
    }
    StoreInHistory(typed);
    key = QChar();
    SentState = true;
    edtSend->SetSelStart(0);
}

// Sends a typed line; raises when the send fails. A line that sets a value or designates goes out
// at once; a question waits for the one out, and its answer shows when it comes. A rate command
// switches the port afterwards.
void TfrmMain::SendTypedLine(const QString& typed) {
    if (mdlGeneral->LineHolder() < ridTerminal) mdlGeneral->TakeLine(ridTerminal);
    const QByteArray line = LineBytes(typed);
    const RateCommand* rate = MatchRateCommand(line);
    if (rate) {
        mdlGeneral->SendCommand(line + '\r', ridNone);
        ChangeLineRate(*rate, *Timer1, kTerminalRateFailure);
    } else if (TypedLineIsWrite(line)) {
        mdlGeneral->SendCommand(line + '\r', ridTerminal);
    } else {
        mdlGeneral->SendQuestion(line + '\r', ridTerminal);
    }
}

// A typed question that could not be asked: its axis did not answer the probe before it.
void TfrmMain::TerminalLineNotAsked() {
    ui::ShowWarning(kCannotCommunicate, "Error");
}

void TfrmMain::ChangeLineRate(const RateCommand& rate, ui::Timer& ticks,
                              const QString& failureMessage) {
    try {
        mdlGeneral->ReopenPort(static_cast<short>(frmSetup->cmbPort->ItemIndex() + 1),
                               static_cast<unsigned>(rate.baud),
                               static_cast<short>(frmSetup->cmbParity->ItemIndex()),
                               [&ticks] { WaitTicks(ticks, 4); });
        Label5->setText(rate.label);
        return;
    } catch (const platform::ECommError&) {
        ui::ShowWarning(failureMessage, "警告");
    }
    // One more attempt to open; the label then shows the rate really in force.
    try {
        if (!mdlGeneral->PortOpen()) mdlGeneral->OpenPort();
        PortOpenFailed = false;
        Label5->setText(QString::number(mdlGeneral->PortRate()));
    } catch (const platform::ECommError&) {
        PortOpenFailed = true;
        Label5->setText("*****");
        ui::ShowWarning(
            "Commポートがオープンできませんでした。\n設定画面でポートの選択を変更してください。",
            "警告");
    }
}

void TfrmMain::StoreInHistory(const QString& typed) {
    const int lines = kHistorySlots - 1;
    int slot = 0;
    while (slot < lines && !History[static_cast<size_t>(slot)].isEmpty())
        ++slot;
    if (slot == lines) {
        std::move(History.begin() + 1, History.begin() + lines, History.begin());
        slot = lines - 1;
    }
    History[static_cast<size_t>(slot)] = typed;
    HistoryIndex = slot + 1;
    HistoryDir = 0;
}

void TfrmMain::ShowHistoryLine(const QString& line) {
    edtSend->setText(line);
    ui::SetTextColor(edtSend, ui::WindowTextColor());
    SentState = false;
}

void TfrmMain::edtSendKeyDown(int& key, Qt::KeyboardModifiers) {
    if (edtSend->text() == kContinuousOutput && SentState && mdlGeneral->LineHolder() != ridStat)
        mdlGeneral->SendCommand(QByteArray(".\r"), ridNone);

    if (key == ui::VK_UP) {
        HistoryIndex -= HistoryDir == 1 ? 2 : 1;
        HistoryIndex = std::max(HistoryIndex, 0);
        if (History[static_cast<size_t>(HistoryIndex)].isEmpty())
            HistoryIndex = std::min(HistoryIndex + 1, kHistorySlots - 1);
        ShowHistoryLine(History[static_cast<size_t>(HistoryIndex)]);
        key = 0;
        HistoryDir = 2;
    } else if (key == ui::VK_DOWN) {
        if (HistoryDir == 2) ++HistoryIndex;
        HistoryIndex = std::min(HistoryIndex, kHistorySlots - 1);
        const QString& slot = History[static_cast<size_t>(HistoryIndex)];
        if (!slot.isEmpty()) {
            ShowHistoryLine(slot);
            ++HistoryIndex;
        } else {
            ShowHistoryLine(HistoryIndex == 0 ? QString()
                                              : History[static_cast<size_t>(HistoryIndex - 1)]);
        }
        key = 0;
        HistoryDir = 1;
    }
}

void TfrmMain::StopContinuousOutput() {
    if (edtSend->text() != kContinuousOutput || !SentState) return;
    mdlGeneral->SendCommand(QByteArray(".\r"), ridNone);
}

void TfrmMain::FormDeactivate() {
    StopContinuousOutput();
}
