#include "RecordTransfer.h"

#include "link/Waits.h"
#include "ui/CarriedText.h"
#include "ui/Wait.h"

namespace {

constexpr int kSelectionTicks = 3;

} // namespace

RecordTransfer::RecordTransfer(QObject* window, ui::StringGrid* grid, ui::Timer* ticks,
                               TRequestId replyId)
    : grid_(grid), ticks_(ticks), exchange_(window, replyId) {
    exchange_.OnAnswer = [this](const QByteArray& reply) { Receive(reply); };
    exchange_.OnEnd = [this](Exchange::End) { Ended(); };
}

Ticket RecordTransfer::SendSelection(const QByteArray& selection, int record) {
    return exchange_.Send(selection + QByteArray::number(record) + '\r');
}

QString RecordTransfer::RecordName(int record) const {
    return grid_->Cell(0, record + 1).trimmed();
}

bool RecordTransfer::Probe(const QByteArray& line) {
    try {
        mdlGeneral->SendCommand(line, ridNone);
        return true;
    } catch (const platform::ECommError&) {
        return false;
    }
}

void RecordTransfer::StartRead(const Table& table) {
    if (!exchange_.Start({true, true, grid_})) return;
    table_ = table;
    record_ = 0;
    exchange_.Where = [this] { return RecordName(record_); };
    exchange_.CutShort = nullptr;
    selection_ = SendSelection(table_.selection, 0);
    if (!selection_) return;
    WaitTicks(*ticks_, kSelectionTicks);
    RequestField(0);
}

// The read has no reply time-out: a lost reply leaves it waiting until the user cancels.
bool RecordTransfer::RequestField(int field) {
    field_ = field;
    return exchange_.Ask(table_.requests[field] + '\r');
}

// The driver answers in order, so the selection's own answer is known by the time its record's
// first field is answered. A refused one left the driver's pointer where it was: that answer is
// another record's, and so is every one after it.
bool RecordTransfer::SelectionRefused() {
    if (!selection_ || !selection_->Refused()) return false;
    const QString record = RecordName(record_);
    ClearFrom(record_);
    exchange_.Fail(
        {QString("ドライバが %1 の選択を受け付けませんでした（%2）。\n%1 から後は読んでいません。")
             .arg(record, ui::ReceivedText(selection_->answer)),
         "警告"});
    return true;
}

void RecordTransfer::ClearFrom(int record) {
    for (int r = record; r < table_.count; ++r)
        for (int field = 0; field < table_.requests.size(); ++field)
            OnStore(r, field, {});
}

// What goes out next goes before the screen shows the answer: the line's turnaround waits for
// nothing the screen does.
void RecordTransfer::Receive(const QByteArray& reply) {
    if (!Reading()) return; // no record is awaited: a late reply changes nothing
    if (field_ == 0 && SelectionRefused()) return;
    const int record = record_;
    const int field = field_;
    if (field + 1 < table_.requests.size()) {
        RequestField(field + 1);
        return OnStore(record, field, reply);
    }
    const bool last = record + 1 >= table_.count;
    const bool stop = exchange_.StopRequested();
    if (!last && !stop) {
        ++record_;
        selection_ = SendSelection(table_.selection, record_);
        if (selection_) RequestField(0);
    }
    OnStore(record, field, reply);
    if (stop) return exchange_.Cancel();
    exchange_.StepTo(table_.barCountsRecordDone ? record + 1 : record, table_.count);
    if (last) {
        exchange_.Finish(TfrmCommCancel::Direction::Upload);
        grid_->StopFollowing();
        grid_->SetRow(1);
        return;
    }
    if (Reading()) grid_->FollowRow(record + 2);
}

void RecordTransfer::Write(const QByteArray& selection, const QByteArray& command, int count,
                           const std::function<QByteArray(int)>& valueOf,
                           const std::function<void(int)>& sent) {
    if (!exchange_.Start({true, true, grid_})) return;
    writing_ = true;
    run_.Clear();
    exchange_.Where = nullptr;
    exchange_.CutShort = [this] { return writing_ ? run_.CutShortMessage() : QString(); };
    if (OnWriting) OnWriting(true);
    if (OnMarkNotWritten)
        for (int i = 0; i < count; ++i)
            OnMarkNotWritten(i, false);
    WriteRecords(selection, command, count, valueOf, sent);
}

// A value goes only once its selection is known to be taken: after a refused one it would land
// in the record selected before.
void RecordTransfer::WriteRecords(const QByteArray& selection, const QByteArray& command, int count,
                                  const std::function<QByteArray(int)>& valueOf,
                                  const std::function<void(int)>& sent) {
    Ticket last;
    for (int i = 0; i < count; ++i) {
        ui::ProcessPendingMessages();
        if (exchange_.StopRequested()) return exchange_.Cancel();
        const QByteArray value = valueOf(i);
        if (!value.isEmpty()) {
            const Ticket selected = SendSelection(selection, i);
            if (!selected) return;
            WaitTicks(*ticks_, kSelectionTicks);
            if (!exchange_.WaitWritten(selected)) return;
            if (!selected->Written()) {
                run_.NotSent(i, RecordName(i), selected->Refused() ? selected->answer : "");
            } else {
                last = exchange_.Send(command + value + '\r');
                if (!last) return;
                run_.Sent(i, RecordName(i), last);
                sent(i);
            }
        }
        exchange_.StepTo(i + 1, count);
    }
    if (last && !exchange_.WaitWritten(last)) return;
    EndWrite();
}

void RecordTransfer::EndWrite() {
    run_.Whole();
    exchange_.FinishWrites(run_);
    grid_->SetRow(1);
}

// However the transfer ended, the window gets its buttons back, and a write marks the values
// the driver did not take.
void RecordTransfer::Ended() {
    grid_->StopFollowing();
    if (!writing_) return;
    writing_ = false;
    if (OnMarkNotWritten)
        for (int record : run_.RowsNotWritten())
            OnMarkNotWritten(record, true);
    if (OnWriting) OnWriting(false);
}
