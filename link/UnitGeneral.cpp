#include "UnitGeneral.h"

#include "ReplyRouting.h"
#include "UnitCommCancel.h"
#include "ui/CarriedText.h"
#include "ui/Codec.h"
#include "ui/Dialogs.h"
#include "ui/Wait.h"

#include <QScopeGuard>
#include <QTimer>
#include <algorithm>
#include <utility>
#include <vector>

TmdlGeneral* mdlGeneral = nullptr;

namespace {

constexpr char CR = '\r';
constexpr char LF = '\n';

// The receivers that get ReplyReceived set before they are called (their chains test it).
bool SetsReplyReceivedFirst(TRequestId id) {
    return id == ridPrm || id == ridDataTable || id == ridAlarmList || id == ridProgramUpload ||
           id == ridPrmLock;
}

} // namespace

TmdlGeneral::TmdlGeneral(QObject* owner)
    : QObject(owner), SaveDialog1(std::make_unique<ui::FileDialog>(ui::FileDialog::Kind::Save)),
      OpenDialog1(std::make_unique<ui::FileDialog>(ui::FileDialog::Kind::Open)),
      PrintDialog1(std::make_unique<ui::PrintDialog>()), Comm1(new platform::TComm(this)),
      stepTimer_(new QTimer(this)) {
    clock_.start();
    stepTimer_->setSingleShot(true);
    connect(stepTimer_, &QTimer::timeout, this,
            [this] { ui::RunGuarded([this] { StepTimerTimeout(); }); });
    mdlGeneralCreate();
}

TmdlGeneral::~TmdlGeneral() = default;

void TmdlGeneral::mdlGeneralCreate() {
    // The ring starts as if a CR had just arrived, so the first reply is delimited like the rest.
    RxBuffer.fill(0);
    RxBuffer[0] = CR;
    RxIndex = 0;
    RequestId = ridNone;
    replyReceived_ = false;
    lastReply_.clear();
    // The port calls these from the event loop: they go through the guard, as every handler does.
    Comm1->OnCommReceive = [this](QObject* sender, std::uint16_t count) {
        ui::RunGuarded([&] { Comm1CommReceive(sender, count); });
    };
    Comm1->OnCommTransmit = [this](QObject* sender, std::uint16_t count) {
        Comm1CommTransmit(sender, count);
    };
    Comm1->OnCommLost = [this](const QString& reason) {
        ui::RunGuarded([&] { CommLost(reason); });
    };
}

QByteArray TmdlGeneral::CommandLine(const QByteArray& line) {
    const bool endsWithCR = line.endsWith(CR);
    QByteArray clean;
    clean.reserve(line.size());
    for (qsizetype i = 0; i < line.size() - (endsWithCR ? 1 : 0); ++i) {
        if (!ui::cp932::IsControl(line[i])) clean.append(line[i]);
    }
    if (endsWithCR) clean.append(CR);
    return clean;
}

QString CleanLineField(const QString& text) {
    QString clean;
    clean.reserve(text.size());
    for (const QChar ch : text)
        if (!ui::cp932::IsControl(ch.unicode())) clean.append(ch);
    return clean;
}

QByteArray LineBytes(const QString& text) {
    std::optional<QByteArray> bytes = ui::cp932::EncodeExactly(text);
    if (!bytes)
        throw EUnsendableText(
            ui::RefusalMessage(ui::CharacterName(ui::cp932::UncodedCharacter(text)), {},
                               ui::Carrier::Line)
                .toStdString());
    return *std::move(bytes);
}

bool GoesOutUnchanged(const QString& text) {
    return ui::UncarriedCharacter(text).isEmpty();
}

bool CheckLineText(const QString& text, const QString& place) {
    return ui::CheckCarried(text, place, ui::Carrier::Line);
}

void TmdlGeneral::OnLineLost(QObject* window, std::function<void()> returnToIdle) {
    lineLostHandlers_.push_back({window, std::move(returnToIdle)});
}

bool TmdlGeneral::LineLostSince(int lossesBefore) {
    ui::ProcessPendingMessages();
    return lineLosses_ != lossesBefore;
}

void TmdlGeneral::ReportNoDriver(int lossesBefore, const QString& caption) {
    if (!LineLostSince(lossesBefore)) ui::ShowWarning("ドライバと通信できませんでした。", caption);
}

// A designation that a user's line or the scan sends is the one the terminal shows.
void TmdlGeneral::NoteDesignation(const QByteArray& line) {
    if (const char axis = LineStep::DesignationOf(line)) designatedAxis_ = axis;
}

Ticket TmdlGeneral::SendWrite(const QByteArray& line, TRequestId requestId, char axis) {
    replyReceived_ = false;
    Comm1->CheckOpen(); // a closed port takes nothing, not even for later
    const QByteArray wire = CommandLine(line);
    NoteDesignation(wire);
    auto state = std::make_shared<QuestionState>();
    state->id = ++lastQuestionId_;
    state->write = true;
    const bool bare = LineStep::CommandOf(wire).isEmpty();
    if (!bare) asked_[state->id] = {requestId, state};
    const int id = state->id;
    RunStep([&] { step_.Write(id, wire, Now(), AxisFor(axis)); }, true, id);
    if (bare) {
        // Nothing answers a bare designation: once it went, it was taken.
        RequestId = requestId;
        state->asked = true;
        state->outcome = QuestionState::Outcome::Taken;
    }
    return state;
}

void TmdlGeneral::SendCommand(const QString& line, TRequestId requestId, char axis) {
    SendCommand(LineBytes(line), requestId, axis);
}

Ticket TmdlGeneral::SendQuestion(const QByteArray& line, TRequestId requestId, int limitMs,
                                 char axis) {
    const QByteArray wire = CommandLine(line);
    if (LineStep::CommandOf(wire).isEmpty() && LineStep::DesignationOf(wire) != 0) {
        // A bare designation is never answered: it goes out as the write it is.
        SendCommand(wire, requestId);
        auto state = std::make_shared<QuestionState>();
        state->outcome = QuestionState::Outcome::Unanswered;
        state->asked = true;
        return state;
    }
    NoteDesignation(wire);
    return Ask({0, wire, LineStep::Kind::Question, limitMs, AxisFor(axis), {}}, requestId);
}

Ticket TmdlGeneral::SendQuestion(const QString& line, TRequestId requestId, int limitMs,
                                 char axis) {
    return SendQuestion(LineBytes(line), requestId, limitMs, axis);
}

Ticket TmdlGeneral::AskScanProbe(const QByteArray& line, const QByteArray& expected) {
    return Ask({0, CommandLine(line), LineStep::Kind::Scan, kNoReplyLimit, 0, expected}, ridNone);
}

Ticket TmdlGeneral::BringInStep(char axis) {
    return Ask({0, {}, LineStep::Kind::Sync, kNoReplyLimit, AxisFor(axis), {}}, ridNone);
}

Ticket TmdlGeneral::Ask(LineStep::Question question, TRequestId requestId) {
    Comm1->CheckOpen(); // a closed port takes no question, not even for later
    question.id = ++lastQuestionId_;
    auto state = std::make_shared<QuestionState>();
    state->id = question.id;
    asked_[question.id] = {requestId, state};
    const int id = question.id;
    RunStep([&] { step_.Ask(std::move(question), Now()); }, true, id);
    return state;
}

void TmdlGeneral::Withdraw(const Ticket& ticket) {
    if (!ticket || !asked_.contains(ticket->id)) return;
    const int id = ticket->id;
    asked_.erase(id);
    RunStep([&] { step_.Withdraw(id, Now()); }, false);
}

void TmdlGeneral::Withdraw(TRequestId requestId) {
    std::vector<int> ids;
    for (const auto& [id, asked] : asked_)
        if (asked.receiver == requestId) ids.push_back(id);
    for (const int id : ids)
        asked_.erase(id);
    if (ids.empty()) return;
    RunStep(
        [&] {
            for (const int id : ids)
                step_.Withdraw(id, Now());
        },
        false);
}

bool TmdlGeneral::QuestionPending(TRequestId requestId) const {
    return std::any_of(asked_.begin(), asked_.end(), [requestId](const auto& entry) {
        return entry.second.receiver == requestId;
    });
}

void TmdlGeneral::KeepAnswer(const Ticket& ticket) {
    if (ticket && ticket->Answered()) lastReply_ = ticket->answer;
}

void TmdlGeneral::SetScannedAxes(const QByteArray& letters) {
    step_.SetScannedAxes(letters);
}

void TmdlGeneral::RunStep(const std::function<void()>& input, bool raise, int callQuestion) {
    std::exception_ptr failure;
    std::exception_ptr receiverFailure;
    const auto outerFailure = std::exchange(callFailure_, &failure);
    const auto outerReceiverFailure = std::exchange(receiverFailure_, &receiverFailure);
    const int outerQuestion = std::exchange(callQuestion_, callQuestion);
    const auto restore = qScopeGuard([&] {
        callFailure_ = outerFailure;
        receiverFailure_ = outerReceiverFailure;
        callQuestion_ = outerQuestion;
    });
    input();
    Carry();
    // A question that could not be sent ends, and the next one gets its turn.
    for (step_.Advance(Now()); step_.HasActions(); step_.Advance(Now()))
        Carry();
    ArmStepTimer();
    if (receiverFailure) std::rethrow_exception(receiverFailure);
    if (failure && raise) std::rethrow_exception(failure);
}

// Carries out the step's actions in their order. A receiver called from here may ask or write
// itself; what that gives is carried out at once, inside its call. Lines the step sends one
// behind another (a write and its settling "VER", a "VER" and its question) go out in one write.
void TmdlGeneral::Carry() {
    for (std::vector<LineStep::Action> actions = step_.TakeActions(); !actions.empty();
         actions = step_.TakeActions()) {
        bool sendFailed = false;
        for (auto action = actions.begin(); action != actions.end(); ++action) {
            switch (action->type) {
            case LineStep::Action::Type::Send: {
                const auto sends = std::find_if(action, actions.end(), [](const auto& next) {
                    return next.type != LineStep::Action::Type::Send;
                });
                if (!sendFailed) sendFailed = !Transmit(action, sends);
                action = std::prev(sends);
                break;
            }
            case LineStep::Action::Type::Answer:
            case LineStep::Action::Type::Unanswered:
            case LineStep::Action::Type::WriteAnswer:
            case LineStep::Action::Type::WriteTaken:
            case LineStep::Action::Type::WriteUnknown:
            case LineStep::Action::Type::Unasked:
                // A receiver that raises does not keep the other questions from their ends.
                try {
                    if (action->type == LineStep::Action::Type::Unasked)
                        ++unaskedInChunk_;
                    else
                        Resolve(*action);
                } catch (...) {
                    if (receiverFailure_ && !*receiverFailure_)
                        *receiverFailure_ = std::current_exception();
                }
                break;
            case LineStep::Action::Type::Discard:
                break;
            }
        }
    }
}

// Sends the lines of [first, last) in one write. A send names the screen that holds the line
// after it: the asker of its question, or the writer. When the write fails, none of them is known
// to have gone out whole: the step takes up again from each of them.
bool TmdlGeneral::Transmit(std::vector<LineStep::Action>::const_iterator first,
                           std::vector<LineStep::Action>::const_iterator last) {
    QByteArray lines;
    for (auto send = first; send != last; ++send)
        lines += send->line;
    replyReceived_ = false;
    try {
        Comm1->SendString(lines);
    } catch (const platform::ECommError&) {
        if (callFailure_ && !*callFailure_) *callFailure_ = std::current_exception();
        for (auto send = first; send != last; ++send)
            step_.SendFailed(*send, Now());
        return false;
    }
    for (auto send = first; send != last; ++send) {
        if (send->id == 0) continue;
        const auto asked = asked_.find(send->id);
        if (asked == asked_.end()) continue;
        RequestId = asked->second.receiver;
        asked->second.state->asked = true;
    }
    return true;
}

void TmdlGeneral::Resolve(const LineStep::Action& action) {
    const auto found = asked_.find(action.id);
    if (found == asked_.end()) return; // withdrawn
    const AskedQuestion asked = found->second;
    asked_.erase(found);
    if (asked.state->write) return ResolveWrite(action, asked);
    QuestionState& state = *asked.state;
    if (action.type == LineStep::Action::Type::Answer) {
        state.answer = action.line;
        state.tooLong = action.tooLong;
        state.outcome = QuestionState::Outcome::Answered;
        Deliver(action.line, action.tooLong, asked.receiver);
        return;
    }
    state.outcome = QuestionState::Outcome::Unanswered;
    state.asked = action.asked;
    // A lost line has told the user itself; a caller whose own send failed has its error; a
    // program that ends tells nobody.
    if (!action.lineLost && action.id != callQuestion_ && !ui::QuitRequested())
        RouteNoAnswer(asked.receiver, action.asked);
}

// A write's answer goes to its writer: the terminal and the editor's reply pane show it.
void TmdlGeneral::ResolveWrite(const LineStep::Action& action, const AskedQuestion& asked) {
    QuestionState& state = *asked.state;
    switch (action.type) {
    case LineStep::Action::Type::WriteAnswer:
        state.answer = action.line;
        state.tooLong = action.tooLong;
        state.outcome = QuestionState::Outcome::Answered;
        if (asked.receiver == ridTerminal || asked.receiver == ridEditReply) {
            Deliver(action.line, action.tooLong, asked.receiver);
        } else {
            lastReply_ = action.line.left(LineStep::kLongestReply);
            lastReplyTooLong_ = action.tooLong;
            replyReceived_ = true;
        }
        return;
    case LineStep::Action::Type::WriteTaken:
        state.outcome = QuestionState::Outcome::Taken;
        return;
    default:
        state.outcome = QuestionState::Outcome::Unknown;
        state.asked = action.asked;
        return;
    }
}

// An answer reaches its receiver in LastReply (its start, when it came too long to read).
void TmdlGeneral::Deliver(const QByteArray& line, bool tooLong, TRequestId receiver) {
    lastReply_ = tooLong ? line.left(LineStep::kLongestReply) : line;
    lastReplyTooLong_ = tooLong;
    if (SetsReplyReceivedFirst(receiver)) replyReceived_ = true;
    RouteReply(receiver, this);
    replyReceived_ = true;
}

// A line that answers nothing sent (a driver's continuous output, a stray line) is only shown,
// by the terminal or the editor's reply pane when one of them holds the line.
void TmdlGeneral::DeliverUnasked(const QByteArray& line) {
    lastReply_ = line;
    lastReplyTooLong_ = false;
    if (RequestId == ridTerminal || RequestId == ridEditReply) RouteReply(RequestId, this);
    replyReceived_ = true;
}

void TmdlGeneral::ReleaseLine(TRequestId holder) {
    if (RequestId == holder) RequestId = ridNone;
}

// A port opened afresh: nothing of a line cut off by the close is joined to what comes now.
void TmdlGeneral::OpenPort() {
    Comm1->Open();
    const QString device = Comm1->DevicePath();
    const bool first = openedDevice_.isEmpty();
    const bool sameDevice = first || device == openedDevice_;
    const bool sameLine = sameDevice && (first || Comm1->BaudRate == openedRate_);
    openedDevice_ = device;
    openedRate_ = Comm1->BaudRate;
    CutRing();
    RunStep([&] { step_.PortOpened(Now(), sameLine, sameDevice); }, false);
}

void TmdlGeneral::ClosePort() {
    RunStep([this] { step_.PortClosed(Now()); }, false);
    Comm1->Close();
}

bool TmdlGeneral::PortOpen() const {
    return Comm1->Opened();
}

int TmdlGeneral::PortRate() const {
    return Comm1->BaudRate;
}

void TmdlGeneral::PurgePort() {
    Comm1->TxPurge();
    Comm1->RxPurge();
    incomingLine_.clear();
    RunStep([this] { step_.Purged(Now()); }, false);
}

void TmdlGeneral::ReopenPort(short port, unsigned int baud, short parity,
                             const std::function<void()>& whileClosed) {
    ClosePort();
    SetCommParams(port, baud, parity);
    if (whileClosed) whileClosed();
    OpenPort();
}

void TmdlGeneral::SetCommParams(short port, unsigned int baud, short parity) {
    Comm1->BaudRate = static_cast<int>(baud);
    Comm1->Port = static_cast<std::uint8_t>(port & 0xFF);
    if (parity == 1) {
        Comm1->SetByteSize(platform::_7);
        Comm1->SetParityBits(platform::pbEven);
    } else {
        Comm1->SetByteSize(platform::_8);
        Comm1->SetParityBits(platform::pbNone);
    }
    padLength_ = static_cast<int>(baud * 3u / 8000u);
    replyReceived_ = true;
}

void TmdlGeneral::Comm1CommReceive(QObject*, std::uint16_t count) {
    std::vector<char> received(static_cast<size_t>(count) + 1);
    const int got = Comm1->Read(received.data(), count);
    ReceiveChunk(QByteArray(received.data(), got));
}

// Every byte goes into the ring; the step sees every line the chunk completed. A line longer
// than the ring is kept only as far as shows that it was too long.
void TmdlGeneral::ReceiveChunk(const QByteArray& chunk) {
    std::vector<QByteArray> lines;
    for (const char ch : chunk) {
        RxIndex = (RxIndex + 1) % kRingSize;
        RxBuffer[static_cast<size_t>(RxIndex)] = ch;
        if (ch != CR) {
            // A driver that ends its lines with CR LF: the LF belongs to the line before.
            if (ch == LF && incomingLine_.isEmpty()) continue;
            if (incomingLine_.size() <= kRingSize) incomingLine_.append(ch);
            continue;
        }
        if (!incomingLine_.isEmpty()) lines.push_back(std::exchange(incomingLine_, QByteArray()));
    }
    if (lines.empty()) return;
    unaskedInChunk_ = 0;
    RunStep([&] { step_.Received(lines, Now()); }, false);
    // Lines that answer nothing sent are shown as the ring delivers them: the newest line of the
    // chunk, if the ring can cut it out.
    QByteArray newest;
    if (std::exchange(unaskedInChunk_, 0) > 0 && CutNewestLine(newest)) DeliverUnasked(newest);
}

// Finds the newest CR and the CR before it, searching back from RxIndex at most once round the
// ring; false when the line between them is empty or longer than the ring can delimit.
bool TmdlGeneral::CutNewestLine(QByteArray& line) const {
    auto previous = [](int slot) { return slot == 0 ? kRingSize - 1 : slot - 1; };
    int end = RxIndex;
    bool foundEnd = false;
    for (int i = 0, slot = RxIndex; i < kRingSize; ++i, slot = previous(slot)) {
        if (RxBuffer[static_cast<size_t>(slot)] == CR) {
            end = slot;
            foundEnd = true;
            break;
        }
    }
    if (!foundEnd) return false;
    int start = previous(end);
    while (start != RxIndex && RxBuffer[static_cast<size_t>(start)] != CR)
        start = previous(start);
    if (start == RxIndex) return false;
    for (int slot = (start + 1) % kRingSize; slot != end; slot = (slot + 1) % kRingSize)
        line.append(RxBuffer[static_cast<size_t>(slot)]);
    return !line.isEmpty();
}

void TmdlGeneral::CutRing() {
    if (RxBuffer[static_cast<size_t>(RxIndex)] != CR) {
        RxIndex = (RxIndex + 1) % kRingSize;
        RxBuffer[static_cast<size_t>(RxIndex)] = CR;
    }
    incomingLine_.clear();
}

void TmdlGeneral::Comm1CommTransmit(QObject*, std::uint16_t) {}

// The timer runs to the step's next deadline. One armed for an earlier deadline is left running
// (it finds nothing due and runs again to the next), so that a question answered in time costs no
// timer of its own; nor does a deadline that went.
void TmdlGeneral::ArmStepTimer() {
    const std::optional<LineStep::Ms> next = step_.NextDeadline();
    if (!next || (stepTimer_->isActive() && armedDeadline_ && *armedDeadline_ <= *next)) return;
    armedDeadline_ = next;
    stepTimer_->start(int(std::clamp<LineStep::Ms>(*next - Now(), 0, 60000)));
}

// An answer already on its way wins over a limit that ran out meanwhile, and a write's answer
// over the question after it: what has come in is read before the time is looked at. A program
// that came late to the deadline may also hold a driver's answer that the event loop has yet to
// hand on (the simulated driver in the same loop takes two passes to answer a line): a few passes
// take those in too.
void TmdlGeneral::StepTimerTimeout() {
    const LineStep::Ms due = armedDeadline_.value_or(Now());
    armedDeadline_.reset();
    const bool late = Now() - due > 1;
    for (int pass = 0; pass < (late ? 3 : 1); ++pass)
        ui::ProcessPendingMessages();
    RunStep([&] { step_.Tick(Now()); }, false);
}

// The one owner of a lost line: every exchange in progress ends here, each window that runs one
// goes back to idle without a word, and the user is told once.
void TmdlGeneral::CommLost(const QString& reason) {
    ++lineLosses_;
    // Every question ends; its owner returns to idle below.
    RunStep([this] { step_.LineLost(); }, false);
    RequestId = ridNone;
    replyReceived_ = false;
    if (frmCommCancel) {
        frmCommCancel->CancelRequested = true; // a chain that polls the flag stops at its next step
        if (frmCommCancel->isVisible()) frmCommCancel->AbortTransfer();
    }
    std::erase_if(lineLostHandlers_, [](const LineLostHandler& h) { return h.window.isNull(); });
    const auto handlers = lineLostHandlers_; // a handler may register or delete windows
    cutShortNotes_.clear();
    for (const LineLostHandler& handler : handlers)
        if (!handler.window.isNull()) ui::RunGuarded(handler.returnToIdle);
    QString message = QString("Commポートとの接続が切れました。(%1)\n"
                              "接続を確認し、設定画面でポートを開き直してください。")
                          .arg(reason);
    for (const QString& note : std::exchange(cutShortNotes_, {}))
        message += "\n\n" + note;
    ui::ShowWarning(message, "警告");
}
