#include "RecordTransfer.h"

#include "link/UnitCommCancel.h"
#include "link/Waits.h"
#include "ui/Wait.h"

namespace {

constexpr int kSelectionTicks = 3;

} // namespace

RecordTransfer::RecordTransfer(QObject* window, ui::StringGrid* grid, ui::Timer* ticks,
                               TRequestId replyId)
    : grid_(grid), ticks_(ticks), replyId_(replyId) {
    // The line's owner closes the progress window and tells the user; the transfer just ends.
    mdlGeneral->OnLineLost(window, [this] {
        EndRead();
        EndWrite();
    });
}

void RecordTransfer::SendLine(const QByteArray& line, TRequestId id) {
    mdlGeneral->SendCommand(line, id);
}

void RecordTransfer::SendSelection(const QByteArray& selection, int record) {
    SendLine(selection + QByteArray::number(record) + '\r', ridNone);
}

bool RecordTransfer::Probe(const QByteArray& line) {
    try {
        SendLine(line, ridNone);
        return true;
    } catch (const platform::ECommError&) {
        return false;
    }
}

void RecordTransfer::StartRead(const Table& table) {
    EndWrite();
    table_ = table;
    frmCommCancel->StartTransfer(true, grid_);
    // A cancel ends the read at once; a reply that comes later is stored nowhere.
    frmCommCancel->OnCancel = [this] { EndRead(); };
    lossesAtStart_ = mdlGeneral->LineLosses();
    record_ = 0;
    reading_ = true;
    try {
        SendSelection(table_.selection, 0);
        WaitTicks(*ticks_, kSelectionTicks);
        if (reading_) RequestField(0);
    } catch (const platform::ECommError&) {
        Fail();
    }
}

// The read has no reply time-out: a lost reply leaves it waiting until the user cancels.
void RecordTransfer::RequestField(int field) {
    field_ = field;
    mdlGeneral->SendQuestion(table_.requests[field] + '\r', replyId_, TmdlGeneral::kNoReplyLimit);
}

void RecordTransfer::NotAnswered() {
    if (reading_) Fail();
}

void RecordTransfer::Receive(const QByteArray& reply) {
    if (!reading_) return; // no record is awaited: a late reply changes nothing
    try {
        OnStore(record_, field_, reply);
        if (field_ + 1 < table_.requests.size()) return RequestField(field_ + 1);
        if (frmCommCancel->CancelRequested) return EndRead();
        const int done = table_.barCountsRecordDone ? record_ + 1 : record_;
        frmCommCancel->StepTo(done, table_.count);
        if (record_ + 1 >= table_.count) {
            frmCommCancel->FinishTransfer(TfrmCommCancel::Direction::Upload);
            EndRead();
            grid_->SetRow(1);
            return;
        }
        ++record_;
        grid_->SetRow(record_ + 1);
        SendSelection(table_.selection, record_);
        RequestField(0);
    } catch (const platform::ECommError&) {
        Fail();
    }
}

void RecordTransfer::Write(const QByteArray& selection, const QByteArray& command, int count,
                           const std::function<QByteArray(int)>& valueOf,
                           const std::function<void(int)>& sent) {
    EndRead();
    frmCommCancel->StartTransfer(true, grid_);
    lossesAtStart_ = mdlGeneral->LineLosses();
    writing_ = true;
    if (OnWriting) OnWriting(true);
    try {
        for (int i = 0; i < count; ++i) {
            ui::ProcessPendingMessages();
            if (frmCommCancel->CancelRequested || !writing_ || ui::QuitRequested())
                return EndWrite();
            const QByteArray value = valueOf(i);
            if (!value.isEmpty()) {
                SendSelection(selection, i);
                WaitTicks(*ticks_, kSelectionTicks);
                SendLine(command + value + '\r', ridNone);
                sent(i);
            }
            frmCommCancel->StepTo(i + 1, count);
        }
    } catch (const platform::ECommError&) {
        return Fail();
    }
    EndWrite();
    frmCommCancel->FinishTransfer(TfrmCommCancel::Direction::Download);
    grid_->SetRow(1);
}

// A request still out is given up: a reply that comes later is stored nowhere.
void RecordTransfer::EndRead() {
    if (!reading_) return;
    reading_ = false;
    frmCommCancel->OnCancel = nullptr;
    mdlGeneral->Withdraw(replyId_);
}

void RecordTransfer::EndWrite() {
    if (!writing_) return;
    writing_ = false;
    if (OnWriting) OnWriting(false);
}

void RecordTransfer::Fail() {
    EndRead();
    EndWrite();
    if (frmCommCancel->isVisible()) frmCommCancel->AbortTransfer();
    mdlGeneral->ReportNoDriver(lossesAtStart_);
}
