#include "Exchange.h"

#include "ReplyRouting.h"
#include "Waits.h"
#include "ui/CarriedText.h"
#include "ui/Dialogs.h"
#include "ui/Guard.h"
#include "ui/Wait.h"

#include <QEvent>
#include <QWidget>

#include <stdexcept>
#include <utility>

namespace {

// The one exchange that shows the progress window; its button and its OK are this one's only.
Exchange* progressOwner = nullptr;

const QString kProgressBusy =
    "別の通信を実行中です。\nその通信が終わってから、もう一度実行してください。";

// Ends its exchange as a cancel does when the window it watches is hidden or closed by the
// program or the user (not when it is minimised).
class HideWatch : public QObject {
public:
    HideWatch(QObject* window, std::function<void()> hidden)
        : QObject(window), hidden_(std::move(hidden)) {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == parent() && event->type() == QEvent::Hide && !event->spontaneous())
            ui::RunGuarded(hidden_);
        return false;
    }

private:
    std::function<void()> hidden_;
};

} // namespace

void TellAnotherTransferRuns() {
    ui::ShowWarning(kProgressBusy, "警告");
}

Exchange::Exchange(QObject* window, TRequestId replyId, bool endsWithWindow)
    : window_(window), replyId_(replyId) {
    if (replyId != ridNone)
        SetReplyReceiver(
            replyId, window, [this](QObject*) { Receive(); },
            [this](bool asked) { NotAnswered(asked); });
    // The line's owner closes the progress window and tells the user: the exchange just ends.
    mdlGeneral->OnLineLost(window, [this] { EndWith(End::LineLost); });
    if (endsWithWindow && qobject_cast<QWidget*>(window))
        hideWatch_ = new HideWatch(window, [this] {
            if (running_) EndWith(End::Cancelled);
        });
}

Exchange::~Exchange() {
    if (progressOwner == this) progressOwner = nullptr;
    delete hideWatch_;
}

namespace {

bool ProgressTakenByAnother(const Exchange* self) {
    return progressOwner && progressOwner != self && progressOwner->Running();
}

} // namespace

bool Exchange::Start(const Progress& progress) {
    if (running_) EndWith(End::Cancelled);
    if (progress.shown && ProgressTakenByAnother(this)) {
        TellAnotherTransferRuns();
        return false;
    }
    axis_ = mdlGeneral->DesignatedAxis();
    lossesAtStart_ = mdlGeneral->LineLosses();
    portError_.clear();
    writes_.clear();
    running_ = true;
    return ShowProgress(progress);
}

bool Exchange::ShowProgress(const Progress& progress) {
    if (!running_ || !progress.shown) return running_;
    if (ProgressTakenByAnother(this)) {
        TellAnotherTransferRuns();
        return false;
    }
    progressOwner = this;
    frmCommCancel->StartTransfer(progress.percent, progress.returnFocusTo);
    frmCommCancel->OnCancel = [this] { EndWith(End::Cancelled); };
    return true;
}

void Exchange::Resume() {
    if (running_) return;
    lossesAtStart_ = mdlGeneral->LineLosses();
    portError_.clear();
    writes_.clear();
    running_ = true;
}

bool Exchange::ShowsProgress() const {
    return progressOwner == this && frmCommCancel;
}

bool Exchange::StopRequested() const {
    return !running_ || ui::QuitRequested() || (ShowsProgress() && frmCommCancel->CancelRequested);
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

Ticket Exchange::Send(const QByteArray& line, TRequestId holder) {
    Ticket write;
    if (!running_ || !Sent([&] { write = mdlGeneral->SendWrite(line, holder, axis_); }) ||
        !running_)
        return nullptr;
    writes_.push_back(write);
    return write;
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

bool Exchange::WaitWritten(const Ticket& write) {
    const int losses = mdlGeneral->LineLosses();
    while (running_ && write->Waiting() && !ui::QuitRequested() &&
           mdlGeneral->LineLosses() == losses)
        ui::ProcessMessages();
    return running_ && !write->Waiting();
}

bool Exchange::WaitInStep() {
    bool inStep = false;
    return running_ && Sent([&] { inStep = WaitForAnswer(mdlGeneral->BringInStep(axis_)); }) &&
           inStep && running_;
}

void Exchange::StepTo(int done, int total) {
    if (running_ && ShowsProgress()) frmCommCancel->StepTo(done, total);
}

void Exchange::Receive() {
    if (!running_) return;
    if (mdlGeneral->LastReplyTooLong()) {
        const QString where = Where ? Where() : QString();
        return Fail(
            {QString("ドライバの応答が長すぎて読めませんでした。%1")
                 .arg(where.isEmpty() ? QString()
                                      : QString("\n%1 から後は読んでいません。").arg(where)),
             "警告"});
    }
    if (OnAnswer) OnAnswer(mdlGeneral->LastReply());
}

// A question that went out and had no answer, or one that could not go out (its axis did not
// answer the probe before it, or its send failed).
void Exchange::NotAnswered(bool asked) {
    EndWith(asked ? End::NotAnswered : End::SendFailed);
}

void Exchange::Finish(std::optional<TfrmCommCancel::Direction> direction) {
    if (!running_) return;
    if (ShowsProgress() && direction) {
        frmCommCancel->FinishTransfer(*direction);
        // The window stays until its OK, and is no longer this exchange's.
        frmCommCancel->OnCancel = nullptr;
        progressOwner = nullptr;
    }
    EndWith(End::Done);
}

void Exchange::Cancel() {
    EndWith(End::Cancelled);
}

void Exchange::Fail(End end) {
    EndWith(end);
}

void Exchange::Fail(const Report& report) {
    EndWith(End::Failed, report);
}

void Exchange::FinishWrites(const WriteRun& run) {
    const QString notWritten = run.Message();
    if (notWritten.isEmpty()) return Finish(TfrmCommCancel::Direction::Download);
    Fail({notWritten, "警告"});
}

// The one end: the questions still asked are given up (an answer that comes later goes
// nowhere), the progress window goes, and the user hears of a failure once, unless the line was
// lost meanwhile and its owner has told him.
void Exchange::EndWith(End end, std::optional<Report> report) {
    if (!running_) return;
    running_ = false;
    if (replyId_ != ridNone) mdlGeneral->Withdraw(replyId_);
    if (ShowsProgress()) {
        frmCommCancel->OnCancel = nullptr;
        if (frmCommCancel->isVisible()) frmCommCancel->AbortTransfer();
        progressOwner = nullptr;
    }
    std::optional<Report> told;
    if (end == End::SendFailed) told = sendFailed;
    if (end == End::NotAnswered) told = notAnswered;
    if (end == End::Failed && report) told = report;
    const QString cutShort = end == End::Done || !CutShort ? QString() : CutShort();
    Tell(told, cutShort, end == End::LineLost);
    if (OnEnd) OnEnd(end);
}

// One box for an end: the failure's own words, and where a transfer cut short stopped. On a
// lost line the line's owner tells, with the note in its message.
void Exchange::Tell(const std::optional<Report>& report, const QString& cutShort, bool lineLost) {
    if (lineLost || mdlGeneral->LineLostSince(lossesAtStart_)) {
        if (!cutShort.isEmpty()) mdlGeneral->NoteCutShort(cutShort);
        return;
    }
    const auto withNote = [&cutShort](const QString& text) {
        return cutShort.isEmpty() ? text : text + '\n' + cutShort;
    };
    if (!report || report->how == Report::How::Quiet) {
        if (!cutShort.isEmpty()) ui::ShowWarning(cutShort, "警告");
        return;
    }
    if (report->how == Report::How::PortError && !portError_.isEmpty())
        return ui::ShowException(std::runtime_error(withNote(portError_).toStdString()));
    const Report shown = report->how == Report::How::Message ? *report : NoDriver();
    ui::ShowWarning(withNote(shown.text), shown.caption);
}

// ---- write runs

void WriteRun::Clear() {
    values_.clear();
    lastSent_.clear();
    whole_ = false;
}

QString WriteRun::CutShortMessage() const {
    return whole_ ? QString() : WriteCutShortMessage(lastSent_);
}

void WriteRun::Sent(int row, const QString& place, Ticket write) {
    values_.push_back({row, place, std::move(write), {}});
    lastSent_ = place;
}

void WriteRun::NotSent(int row, const QString& place, const QByteArray& refusal) {
    values_.push_back({row, place, nullptr, refusal});
}

std::vector<int> WriteRun::RowsNotWritten() const {
    std::vector<int> rows;
    for (const Value& value : values_)
        if (!value.write || !value.write->Written()) rows.push_back(value.row);
    return rows;
}

namespace {

// Up to five places, and how many more.
QString Places(const QStringList& places) {
    constexpr int kShown = 5;
    QString text = places.mid(0, kShown).join("、");
    if (places.size() > kShown) text += QString(" ほか %1 件").arg(places.size() - kShown);
    return text;
}

QString Answered(const QByteArray& answer) {
    return ui::ReceivedText(answer.left(LineStep::kLongestReply));
}

} // namespace

QString WriteRun::Message() const {
    QStringList refused;
    QStringList unknown;
    for (const Value& value : values_) {
        if (!value.write && value.refusal.isEmpty()) {
            unknown.append(value.place);
        } else if (!value.write) {
            refused.append(QString("%1 (選択に %2)").arg(value.place, Answered(value.refusal)));
        } else if (value.write->Refused()) {
            refused.append(QString("%1 (%2)").arg(value.place, Answered(value.write->answer)));
        } else if (!value.write->Written()) {
            unknown.append(value.place);
        }
    }
    QStringList lines;
    if (!refused.isEmpty())
        lines.append(QString("ドライバが受け付けなかった値が %1 件あります: %2")
                         .arg(refused.size())
                         .arg(Places(refused)));
    if (!unknown.isEmpty())
        lines.append(QString("書き込まれたことを確かめられなかった値が %1 件あります: %2")
                         .arg(unknown.size())
                         .arg(Places(unknown)));
    if (lines.isEmpty()) return {};
    lines.append("これらの値は赤で示しています。");
    return lines.join('\n');
}

QString WriteCutShortMessage(const QString& lastSent) {
    if (lastSent.isEmpty()) return "書き込みを中止しました。値は一つも送っていません。";
    return QString("書き込みを中止しました。最後に送った値は %1 です。\n"
                   "それより後の値は送っていません。")
        .arg(lastSent);
}
