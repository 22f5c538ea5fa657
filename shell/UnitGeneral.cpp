#include "UnitGeneral.h"

#include "ReplyRouting.h"
#include "UnitCommCancel.h"
#include "ui/Codec.h"
#include "ui/Dialogs.h"
#include "ui/Wait.h"

#include <QTimer>
#include <algorithm>
#include <vector>

TmdlGeneral* mdlGeneral = nullptr;

namespace {

constexpr char CR = '\r';

// The receivers that get ReplyReceived set before they are called (their chains test it).
bool SetsReplyReceivedFirst(TRequestId id) {
    return id == ridPrm || id == ridDataTable || id == ridAlarmList || id == ridProgramUpload ||
           id == ridPrmLock;
}

// The message that names a character the line cannot carry, and the box or row (`place`) that
// holds it when there is one.
QString UnsendableTextMessage(const QString& character, const QString& place = {}) {
    const QString what = QString("送信できない文字「%1」").arg(character);
    return (place.isEmpty() ? what + "が含まれています。" : place + " に" + what + "があります。") +
           "\n入力内容を確認してください。";
}

// The first character of the text that the line cannot carry, as the user is told of it: a
// control character by its code ("U+0009"), since it shows as nothing in a box; a character
// without a CP932 code as itself. Empty when the whole text can go out.
QString UnsendableCharacter(const QString& text) {
    const auto control = std::find_if(text.cbegin(), text.cend(),
                                      [](QChar ch) { return ui::cp932::IsControl(ch.unicode()); });
    const QString uncoded = ui::cp932::UncodedCharacter(text.first(control - text.cbegin()));
    if (!uncoded.isEmpty() || control == text.cend()) return uncoded;
    return QString("U+%1").arg(control->unicode(), 4, 16, QChar('0')).toUpper();
}

} // namespace

TmdlGeneral::TmdlGeneral(QObject* owner)
    : QObject(owner), Comm1(new platform::TComm(this)),
      SaveDialog1(std::make_unique<ui::FileDialog>(ui::FileDialog::Kind::Save)),
      OpenDialog1(std::make_unique<ui::FileDialog>(ui::FileDialog::Kind::Open)),
      PrintDialog1(std::make_unique<ui::PrintDialog>()), outOfStep_(new QTimer(this)) {
    outOfStep_->setSingleShot(true);
    outOfStep_->setInterval(kReplyTimeMs);
    connect(outOfStep_, &QTimer::timeout, this, [this] { BackInStep(); });
    mdlGeneralCreate();
}

TmdlGeneral::~TmdlGeneral() = default;

void TmdlGeneral::mdlGeneralCreate() {
    // The ring starts as if a CR had just arrived, so the first reply is delimited like the rest.
    RxBuffer.fill(0);
    RxBuffer[0] = CR;
    RxIndex = 0;
    SendComplete = true;
    RequestId = ridNone;
    ReplyReceived = false;
    LastReply.clear();
    Comm1->OnCommReceive = [this](QObject* sender, std::uint16_t count) {
        Comm1CommReceive(sender, count);
    };
    Comm1->OnCommTransmit = [this](QObject* sender, std::uint16_t count) {
        Comm1CommTransmit(sender, count);
    };
    Comm1->OnCommLost = [this](const QString& reason) { CommLost(reason); };
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
            UnsendableTextMessage(ui::cp932::UncodedCharacter(text)).toStdString());
    return *std::move(bytes);
}

bool GoesOutUnchanged(const QString& text) {
    return CleanLineField(text) == text && ui::cp932::EncodeExactly(text).has_value();
}

bool CheckLineText(const QString& text, const QString& place) {
    const QString character = UnsendableCharacter(text);
    if (character.isEmpty()) return true;
    ui::ShowWarning(UnsendableTextMessage(character, place), "入力エラー");
    return false;
}

void TmdlGeneral::OnLineLost(QObject* window, std::function<void()> returnToIdle) {
    lineLostHandlers_.push_back({window, std::move(returnToIdle)});
}

bool TmdlGeneral::LineLostSince(int lossesBefore) {
    ui::ProcessPendingMessages();
    return lineLosses_ != lossesBefore;
}

void TmdlGeneral::ReportNoDriver(int lossesBefore, const QString& caption) {
    if (!LineLostSince(lossesBefore)) ShowNoDriver(caption);
}

void TmdlGeneral::ShowNoDriver(const QString& caption) {
    ui::ShowWarning("ドライバと通信できませんでした。", caption);
}

void TmdlGeneral::SendCommand(const QByteArray& line, TRequestId requestId) {
    ReplyReceived = false;
    SendComplete = false;
    Comm1->SendString(CommandLine(line));
    RequestId = requestId;
    SendComplete = true;
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
    PadLength = static_cast<int>(baud * 3u / 8000u);
    ReplyReceived = true;
}

void TmdlGeneral::Comm1CommReceive(QObject*, std::uint16_t count) {
    std::vector<char> received(static_cast<size_t>(count) + 1);
    const int got = Comm1->Read(received.data(), count);
    ReceiveChunk(QByteArray(received.data(), got));
}

void TmdlGeneral::ReceiveChunk(const QByteArray& chunk) {
    const bool discarding = !LineInStep();
    if (discarding && !chunk.isEmpty()) outOfStep_->start();
    bool sawCR = false;
    for (const char ch : chunk) {
        RxIndex = (RxIndex + 1) % kRingSize;
        RxBuffer[static_cast<size_t>(RxIndex)] = ch;
        sawCR = sawCR || ch == CR;
    }
    if (!sawCR || discarding) return;
    QByteArray line;
    if (!CutNewestLine(line)) return;
    LastReply = line;
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
    if (SetsReplyReceivedFirst(id)) ReplyReceived = true;
    RouteReply(id, this);
    ReplyReceived = true;
}

void TmdlGeneral::Comm1CommTransmit(QObject*, std::uint16_t) {}

void TmdlGeneral::ReplyTimedOut() {
    outOfStep_->start();
}

bool TmdlGeneral::LineInStep() const {
    return !outOfStep_->isActive();
}

// What came in while the line was out of step, a line's start included, stays behind a line end,
// so the next reply is cut out whole.
void TmdlGeneral::BackInStep() {
    RxIndex = (RxIndex + 1) % kRingSize;
    RxBuffer[static_cast<size_t>(RxIndex)] = CR;
}

// The one owner of a lost line: every exchange in progress ends here, each window that runs one
// goes back to idle without a word, and the user is told once.
void TmdlGeneral::CommLost(const QString& reason) {
    ++lineLosses_;
    outOfStep_->stop(); // nothing more comes on a lost line
    RequestId = ridNone;
    ReplyReceived = false;
    SendComplete = true;
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
