#include "RecordTransfer.h"

#include "link/Waits.h"
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

bool RecordTransfer::SendSelection(const QByteArray& selection, int record) {
    return exchange_.Write(selection + QByteArray::number(record) + '\r');
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
    exchange_.Start({true, true, grid_});
    table_ = table;
    record_ = 0;
    if (!SendSelection(table_.selection, 0)) return;
    WaitTicks(*ticks_, kSelectionTicks);
    RequestField(0);
}

// The read has no reply time-out: a lost reply leaves it waiting until the user cancels.
bool RecordTransfer::RequestField(int field) {
    field_ = field;
    return exchange_.Ask(table_.requests[field] + '\r');
}

void RecordTransfer::Receive(const QByteArray& reply) {
    if (!Reading()) return; // no record is awaited: a late reply changes nothing
    OnStore(record_, field_, reply);
    if (field_ + 1 < table_.requests.size()) {
        RequestField(field_ + 1);
        return;
    }
    if (exchange_.StopRequested()) return exchange_.Cancel();
    exchange_.StepTo(table_.barCountsRecordDone ? record_ + 1 : record_, table_.count);
    if (record_ + 1 >= table_.count) {
        exchange_.Finish(TfrmCommCancel::Direction::Upload);
        grid_->StopFollowing();
        grid_->SetRow(1);
        return;
    }
    ++record_;
    grid_->FollowRow(record_ + 1);
    if (SendSelection(table_.selection, record_)) RequestField(0);
}

void RecordTransfer::Write(const QByteArray& selection, const QByteArray& command, int count,
                           const std::function<QByteArray(int)>& valueOf,
                           const std::function<void(int)>& sent) {
    exchange_.Start({true, true, grid_});
    writing_ = true;
    if (OnWriting) OnWriting(true);
    for (int i = 0; i < count; ++i) {
        ui::ProcessPendingMessages();
        if (exchange_.StopRequested()) return exchange_.Cancel();
        const QByteArray value = valueOf(i);
        if (!value.isEmpty()) {
            if (!SendSelection(selection, i)) return;
            WaitTicks(*ticks_, kSelectionTicks);
            if (!exchange_.Write(command + value + '\r')) return;
            sent(i);
        }
        exchange_.StepTo(i + 1, count);
    }
    exchange_.Finish(TfrmCommCancel::Direction::Download);
    grid_->StopFollowing();
    grid_->SetRow(1);
}

// However the transfer ended, the window gets its buttons back.
void RecordTransfer::Ended() {
    grid_->StopFollowing();
    if (!writing_) return;
    writing_ = false;
    if (OnWriting) OnWriting(false);
}
