#include "Exchange.h"

#include "ReplyRouting.h"
#include "Waits.h"
#include "ui/Dialogs.h"
#include "ui/Guard.h"
#include "ui/Wait.h"

#include <stdexcept>
#include <utility>

Exchange::Exchange(QObject* window, TRequestId replyId) : window_(window), replyId_(replyId) {
    if (replyId != ridNone)
        SetReplyReceiver(
            replyId, window, [this](QObject*) { Receive(); },
            [this](bool asked) { NotAnswered(asked); });
    // The line's owner closes the progress window and tells the user: the exchange just ends.
    mdlGeneral->OnLineLost(window, [this] { EndWith(End::LineLost); });
}

void Exchange::Start(const Progress& progress) {
    if (running_) EndWith(End::Cancelled);
    axis_ = mdlGeneral->DesignatedAxis();
    lossesAtStart_ = mdlGeneral->LineLosses();
    portError_.clear();
    running_ = true;
    progressShown_ = false;
    ShowProgress(progress);
}

void Exchange::ShowProgress(const Progress& progress) {
    if (!running_ || !progress.shown) return;
    progressShown_ = true;
    frmCommCancel->StartTransfer(progress.percent, progress.returnFocusTo);
    frmCommCancel->OnCancel = [this] { EndWith(End::Cancelled); };
}

void Exchange::Resume() {
    if (running_) return;
    lossesAtStart_ = mdlGeneral->LineLosses();
    portError_.clear();
    running_ = true;
}

bool Exchange::StopRequested() const {
    return !running_ || ui::QuitRequested() || (progressShown_ && frmCommCancel->CancelRequested);
}

// One send of the exchange: a port that raises ends it as a failed send, told once.
bool Exchange::Sent(const std::function<void()>& send) {
    try {
        send();
        return true;
    } catch (const platform::ECommError& error) {
        portError_ = QString::fromLocal8Bit(error.what());
        EndWith(End::SendFailed);
        return false;
    }
}

bool Exchange::Write(const QByteArray& line, TRequestId holder) {
    return running_ && Sent([&] { mdlGeneral->SendCommand(line, holder, axis_); }) && running_;
}

bool Exchange::Ask(const QByteArray& line, int limitMs) {
    return running_ && Sent([&] { mdlGeneral->SendQuestion(line, replyId_, limitMs, axis_); }) &&
           running_;
}

std::optional<QByteArray> Exchange::AskAndWait(const QByteArray& line, int limitMs) {
    Ticket question;
    if (!running_ ||
        !Sent([&] { question = mdlGeneral->SendQuestion(line, ridNone, limitMs, axis_); }))
        return std::nullopt;
    if (!WaitForAnswer(question) || !running_) return std::nullopt;
    mdlGeneral->KeepAnswer(question);
    return question->answer;
}

bool Exchange::WaitInStep() {
    bool inStep = false;
    return running_ && Sent([&] { inStep = WaitForAnswer(mdlGeneral->BringInStep(axis_)); }) &&
           inStep && running_;
}

void Exchange::StepTo(int done, int total) {
    if (running_ && progressShown_) frmCommCancel->StepTo(done, total);
}

void Exchange::Receive() {
    if (running_ && OnAnswer) OnAnswer(mdlGeneral->LastReply());
}

// A question that went out and had no answer, or one that could not go out (its axis did not
// answer the probe before it, or its send failed).
void Exchange::NotAnswered(bool asked) {
    EndWith(asked ? End::NotAnswered : End::SendFailed);
}

void Exchange::Finish(std::optional<TfrmCommCancel::Direction> direction) {
    if (!running_) return;
    if (progressShown_ && direction) frmCommCancel->FinishTransfer(*direction);
    progressShown_ = false; // the window stays until its OK, and is no longer this exchange's
    EndWith(End::Done);
}

void Exchange::Cancel() {
    EndWith(End::Cancelled);
}

void Exchange::Fail(End end) {
    EndWith(end);
}

// The one end: the questions still asked are given up (an answer that comes later goes
// nowhere), the progress window goes, and the user hears of a failure once, unless the line was
// lost meanwhile and its owner has told him.
void Exchange::EndWith(End end) {
    if (!running_) return;
    running_ = false;
    if (replyId_ != ridNone) mdlGeneral->Withdraw(replyId_);
    if (progressShown_) {
        frmCommCancel->OnCancel = nullptr;
        if (end != End::Done && frmCommCancel->isVisible()) frmCommCancel->AbortTransfer();
        progressShown_ = false;
    }
    if (end == End::SendFailed) Tell(sendFailed);
    if (end == End::NotAnswered) Tell(notAnswered);
    if (OnEnd) OnEnd(end);
}

void Exchange::Tell(const Report& report) {
    if (report.how == Report::How::Quiet || mdlGeneral->LineLostSince(lossesAtStart_)) return;
    if (report.how == Report::How::PortError && !portError_.isEmpty())
        return ui::ShowException(std::runtime_error(portError_.toStdString()));
    const Report shown = report.how == Report::How::Message ? report : NoDriver();
    ui::ShowWarning(shown.text, shown.caption);
}
