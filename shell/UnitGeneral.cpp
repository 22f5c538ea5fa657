#include "UnitGeneral.h"

#include "ReplyRouting.h"
#include "UnitCommCancel.h"
#include "ui/CarriedText.h"
#include "ui/Codec.h"
#include "ui/Dialogs.h"
#include "ui/Wait.h"

#include <QTimer>
#include <algorithm>
#include <utility>
#include <vector>

TmdlGeneral* mdlGeneral = nullptr;

namespace {

constexpr char CR = '\r';

// The receivers that get ReplyReceived set before they are called (their chains test it).
bool SetsReplyReceivedFirst(TRequestId id) {
    return id == ridPrm || id == ridDataTable || id == ridAlarmList || id == ridProgramUpload ||
           id == ridPrmLock;
}

// A line's command: blanks, the final CR and a leading designation ("X:", "*:") removed.
QByteArray CommandOf(QByteArray line) {
    line.replace(' ', QByteArray());
    if (line.endsWith(CR)) line.chop(1);
    if (line.size() >= 2 && line[1] == ':') line.remove(0, 2);
    return line;
}

// The designation a line makes ("X" of "X:" or "X:VER", "*" of "*:"); empty when it makes none.
QByteArray DesignationOf(QByteArray line) {
    line.replace(' ', QByteArray());
    const bool designates = line.size() >= 2 && line[1] == ':' &&
                            (line[0] == '*' || (line[0] >= 'A' && line[0] <= 'Z'));
    return designates ? line.left(1) : QByteArray();
}

const QByteArray kProbe = "VER";
// A driver's refusal of a command is never its model text.
const QByteArray kRefusal = "E-S";

} // namespace

TmdlGeneral::TmdlGeneral(QObject* owner)
    : QObject(owner), SaveDialog1(std::make_unique<ui::FileDialog>(ui::FileDialog::Kind::Save)),
      OpenDialog1(std::make_unique<ui::FileDialog>(ui::FileDialog::Kind::Open)),
      PrintDialog1(std::make_unique<ui::PrintDialog>()), Comm1(new platform::TComm(this)),
      probeLimit_(new QTimer(this)), quietAfterProbe_(new QTimer(this)) {
    probeLimit_->setSingleShot(true);
    probeLimit_->setInterval(kProbeLimitMs);
    connect(probeLimit_, &QTimer::timeout, this, [this] { ProbeTimedOut(); });
    quietAfterProbe_->setSingleShot(true);
    quietAfterProbe_->setInterval(kReplyTimeMs);
    connect(quietAfterProbe_, &QTimer::timeout, this, [this] { BackInStep(); });
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

void TmdlGeneral::SendCommand(const QByteArray& line, TRequestId requestId) {
    replyReceived_ = false;
    const QByteArray wire = CommandLine(line);
    Comm1->SendString(wire);
    RequestId = requestId;
    NoteDesignation(wire);
}

bool TmdlGeneral::SendQuestion(const QByteArray& line, TRequestId requestId) {
    if (!BringInStep()) {
        replyReceived_ = false;
        return false;
    }
    SendCommand(line, requestId);
    lastQuestion_ = CommandOf(CommandLine(line));
    // A line that only designates an axis is never answered.
    questionOut_ = !lastQuestion_.isEmpty() || DesignationOf(line).isEmpty();
    questionAsked_.start();
    return true;
}

bool TmdlGeneral::SendQuestion(const QString& line, TRequestId requestId) {
    return SendQuestion(LineBytes(line), requestId);
}

void TmdlGeneral::SendCommand(const QString& line, TRequestId requestId) {
    SendCommand(LineBytes(line), requestId);
}

void TmdlGeneral::ReleaseLine(TRequestId holder) {
    if (RequestId == holder) RequestId = ridNone;
}

void TmdlGeneral::OpenPort() {
    Comm1->Open();
}

void TmdlGeneral::ClosePort() {
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
    // A probe's answer may have gone with what was dropped: the next question sends another.
    if (!inStep_ && !probeAnswered_) {
        probing_ = false;
        probeLimit_->stop();
    }
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

void TmdlGeneral::ReceiveChunk(const QByteArray& chunk) {
    if (!inStep_ && !chunk.isEmpty() && probeAnswered_) quietAfterProbe_->start();
    bool sawCR = false; // a line end that came while the line is in step
    for (const char ch : chunk) {
        RxIndex = (RxIndex + 1) % kRingSize;
        RxBuffer[static_cast<size_t>(RxIndex)] = ch;
        if (inStep_)
            sawCR = sawCR || ch == CR;
        else
            TakeOutOfStepByte(ch);
    }
    if (!sawCR) return;
    QByteArray line;
    if (!CutNewestLine(line)) return;
    lastReply_ = line;
    QuestionAnswered(line);
    Dispatch();
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

void TmdlGeneral::Dispatch() {
    const TRequestId id = RequestId;
    if (SetsReplyReceivedFirst(id)) replyReceived_ = true;
    RouteReply(id, this);
    replyReceived_ = true;
}

void TmdlGeneral::Comm1CommTransmit(QObject*, std::uint16_t) {}

void TmdlGeneral::NoteDesignation(const QByteArray& line) {
    const QByteArray designation = DesignationOf(line);
    if (!designation.isEmpty()) designation_ = designation;
}

// The answer of the question out; an answer to "VER" is the designated driver's model text.
void TmdlGeneral::QuestionAnswered(const QByteArray& answer) {
    if (!std::exchange(questionOut_, false)) return;
    if (lastQuestion_ == kProbe && answer != kRefusal) modelTexts_[designation_] = answer;
}

bool TmdlGeneral::BringInStep() {
    const int losses = lineLosses_;
    const int answerDueMs = AnswerDueMs();
    if (answerDueMs > 0)
        ui::ProcessMessagesUntil([&] { return !questionOut_ || lineLosses_ != losses; },
                                 answerDueMs);
    if (questionOut_) LeaveStep(); // its reply time is over, to the millisecond or not
    if (ReadyForQuestion()) return true;
    ui::ProcessMessagesUntil([&] { return inStep_ || !probing_ || lineLosses_ != losses; });
    return inStep_;
}

bool TmdlGeneral::ReadyForQuestion() {
    if (questionOut_) {
        if (AnswerDueMs() > 0) return false;
        LeaveStep();
    }
    if (inStep_) return true;
    if (!probing_) SendProbe();
    return false;
}

int TmdlGeneral::AnswerDueMs() const {
    return questionOut_ ? kReplyTimeMs - int(questionAsked_.elapsed()) : 0;
}

// The question out has ended without its answer, which may still come.
void TmdlGeneral::LeaveStep() {
    questionOut_ = false;
    // A late answer to "VER" looks like a probe's: it is counted as one.
    if (lastQuestion_ == kProbe) ++probesOut_;
    if (!inStep_) return;
    inStep_ = false;
    probeAnswered_ = false;
    outOfStepLine_.clear();
    previousOutOfStepLine_.clear();
}

void TmdlGeneral::SendProbe() {
    const bool modelKnown = modelTexts_.contains(designation_);
    const QByteArray probe = kProbe + CR;
    strangeLines_ = false;
    probing_ = true;
    probeLimit_->start();
    try {
        for (int sent = 0; sent < (modelKnown ? 1 : 2); ++sent) {
            Comm1->SendString(probe);
            ++probesOut_;
        }
    } catch (...) {
        probing_ = false;
        probeLimit_->stop();
        throw;
    }
}

void TmdlGeneral::TakeOutOfStepByte(char ch) {
    if (ch != CR) {
        if (outOfStepLine_.size() <= kRingSize) outOfStepLine_.append(ch);
        return;
    }
    const QByteArray line = std::exchange(outOfStepLine_, QByteArray());
    if (!line.isEmpty()) TakeOutOfStepLine(line);
}

// Every line that comes while the line is out of step is discarded; the answers of the probes
// are counted until none is due.
void TmdlGeneral::TakeOutOfStepLine(const QByteArray& line) {
    const auto known = modelTexts_.find(designation_);
    if (known != modelTexts_.end()) {
        if (line == known->second)
            ProbeAnswered();
        else
            strangeLines_ = true;
        return;
    }
    // No model text yet: the probe went twice, and two equal answers in a row are its answers.
    const bool secondOfPair = line == previousOutOfStepLine_ && line != kRefusal;
    previousOutOfStepLine_ = line;
    if (!secondOfPair) {
        strangeLines_ = true;
        return;
    }
    modelTexts_[designation_] = line;
    previousOutOfStepLine_.clear();
    --probesOut_;
    ProbeAnswered();
}

// The line is back in step once every probe due has its answer, or once the line has been
// quiet for one reply time after an answer: the driver answers in order and at once, so an
// answer still missing then is lost (a probe sent while the driver was cut off, say).
void TmdlGeneral::ProbeAnswered() {
    probeAnswered_ = true;
    if (--probesOut_ <= 0) return BackInStep();
    quietAfterProbe_->start();
}

// A probe left unanswered: the exchange that asked takes its no-answer path, the line stays out
// of step. When lines came that none of the model texts explains, the driver may be another one
// now: the next probe learns its model text afresh.
void TmdlGeneral::ProbeTimedOut() {
    if (probeAnswered_) return; // the driver answers; the quiet rule ends the probe
    probing_ = false;
    if (strangeLines_) modelTexts_.erase(designation_);
}

// What came in while the line was out of step, a line's start included, stays behind a line end,
// so the next reply is cut out whole.
void TmdlGeneral::BackInStep() {
    if (!inStep_ && RxBuffer[static_cast<size_t>(RxIndex)] != CR) {
        RxIndex = (RxIndex + 1) % kRingSize;
        RxBuffer[static_cast<size_t>(RxIndex)] = CR;
    }
    inStep_ = true;
    probing_ = false;
    probesOut_ = 0;
    probeAnswered_ = false;
    probeLimit_->stop();
    quietAfterProbe_->stop();
    outOfStepLine_.clear();
    previousOutOfStepLine_.clear();
}

// The one owner of a lost line: every exchange in progress ends here, each window that runs one
// goes back to idle without a word, and the user is told once.
void TmdlGeneral::CommLost(const QString& reason) {
    ++lineLosses_;
    BackInStep(); // nothing more comes on a lost line
    questionOut_ = false;
    RequestId = ridNone;
    replyReceived_ = false;
    if (frmCommCancel) {
        frmCommCancel->CancelRequested = true; // a chain that polls the flag stops at its next step
        if (frmCommCancel->isVisible()) frmCommCancel->AbortTransfer();
    }
    std::erase_if(lineLostHandlers_, [](const LineLostHandler& h) { return h.window.isNull(); });
    const auto handlers = lineLostHandlers_; // a handler may register or delete windows
    for (const LineLostHandler& handler : handlers)
        if (!handler.window.isNull()) ui::RunGuarded(handler.returnToIdle);
    ui::ShowWarning(QString("Commポートとの接続が切れました。(%1)\n"
                            "接続を確認し、設定画面でポートを開き直してください。")
                        .arg(reason),
                    "警告");
}
