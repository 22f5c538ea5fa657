// The serial data module: the only place that talks to the port. It opens, closes and purges the
// port, sends whole command lines, cuts reply lines out of a 50-character receive ring and hands
// each answer to the receiver of the question it answers; the line's step (LineStep) decides
// which question goes out when and what each received line is.
#pragma once

#include "LineStep.h"
#include "platform/Comm.h"
#include "ui/FileDialogs.h"
#include "ui/Guard.h"
#include "ui/Printing.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <array>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class QTimer;

// The receiver of a reply line.
using TRequestId = int;
enum : TRequestId {
    ridStopped = -1,
    ridNone = 0,
    ridTerminal = 1,
    ridStat = 2,
    ridStat_QWC = 3,
    ridPrm = 4,
    ridEditReply = 5,
    ridDataUpload = 6,
    ridLogging = 7,
    ridPrmSend = 8,
    ridLogging_QWB = 9,
    ridLogging_QWC = 10,
    ridDataTable = 12,
    ridAlarmList = 13,
    ridProgramUpload = 14,
    ridPrmLock = 15,
};

// What became of a question or a write, for the one who sent it.
struct QuestionState {
    enum class Outcome {
        Waiting,
        Answered,   // a question's answer, or the driver's answer to a write (a refusal, "OK")
        Unanswered, // a question that ended without its answer
        Taken,      // a write the driver took without a word
        Unknown,    // a write of which nothing is known: its axis said nothing after it
    };
    int id = 0;
    Outcome outcome = Outcome::Waiting;
    QByteArray answer;
    bool asked = false; // it went out (one that ended may not have: no probe answer, no send)
    bool write = false;
    bool tooLong = false; // the answer came longer than the receive ring can read
    bool Waiting() const { return outcome == Outcome::Waiting; }
    bool Answered() const { return outcome == Outcome::Answered; }
    // A write the driver answered with anything but its word that the write is done.
    bool Refused() const { return write && outcome == Outcome::Answered && answer != "OK"; }
    // A write known to be carried out.
    bool Written() const {
        return write &&
               (outcome == Outcome::Taken || (outcome == Outcome::Answered && answer == "OK"));
    }
};
using Ticket = std::shared_ptr<const QuestionState>;

class TmdlGeneral : public QObject {
    Q_OBJECT
public:
    static constexpr int kRingSize = 50;
    // A driver answers within this time.
    static constexpr int kReplyTimeMs = int(LineStep::kReplyTimeMs);
    // How long a question's answer may take once it is out: a wait gives up on the fifth tick of
    // its 250 ms timer.
    static constexpr int kReplyLimitMs = 5 * 250;

    explicit TmdlGeneral(QObject* owner = nullptr);
    ~TmdlGeneral() override;

    // The shared dialogs: each user sets the filter and title it needs before running one.
    std::unique_ptr<ui::FileDialog> SaveDialog1;
    std::unique_ptr<ui::FileDialog> OpenDialog1;
    std::unique_ptr<ui::PrintDialog> PrintDialog1;

    // The last reply line, bytes as received (decode only for display); whether a reply line has
    // come since the last send; the pad count of the logging start line at the port's rate.
    const QByteArray& LastReply() const { return lastReply_; }
    // The answer handed out last came longer than the ring can read: LastReply holds its start.
    bool LastReplyTooLong() const { return lastReplyTooLong_; }
    bool ReplyReceived() const { return replyReceived_; }
    int PadLength() const { return padLength_; }

    // Tests only: the serial component, to read its settings and to play a port that fails. The
    // program opens, closes and purges it only through the calls below.
    platform::TComm& PortForTests() { return *Comm1; }

    // Sends one command line that wants no answer (the caller appends the CR). A bare designation
    // goes at once; a write goes as soon as the line lets it (at once, unless lines to another
    // axis are still to be answered or the axis's model text is being learnt), followed by the
    // line that settles its answer. Raises the port's error when a send of this call fails. The
    // ticket tells what the driver made of it: its answer (a refusal), taken without a word, or
    // not known; the terminal and the editor's reply pane show a write's answer as they show a
    // question's. A line that answers nothing sent reaches only the terminal and the editor's
    // reply pane, when one of them holds the line (LineHolder).
    // This is the one way onto the line: whatever a box, a cell, a file or a reply put into the
    // line, it goes out as exactly one line (see CommandLine). Text goes out in CP932 or not at
    // all (see LineBytes).
    // `axis`: the axis the sender addresses (0: the axis the terminal designates, see
    // DesignatedAxis); its designation goes first when the line designates another.
    Ticket SendWrite(const QByteArray& line, TRequestId requestId, char axis = 0);
    void SendCommand(const QByteArray& line, TRequestId requestId, char axis = 0) {
        SendWrite(line, requestId, axis);
    }
    void SendCommand(const QString& line, TRequestId requestId, char axis = 0);

    // The axis the terminal designates ('*' for all, as 現在の指定軸 shows it): set by every
    // designation a user's line or the scan sends. A window's exchange addresses the axis that
    // was designated when it started, whatever is designated later.
    char DesignatedAxis() const { return designatedAxis_; }

    // The screen that holds the line: every send names it; besides, a screen takes the line
    // without sending, and frees it when its exchange ends. It decides the hand-over of a typed
    // line and where a line that answers no question goes; an answer goes to its question's
    // receiver whoever holds the line.
    TRequestId LineHolder() const { return RequestId; }
    void TakeLine(TRequestId id) { RequestId = id; }
    // No screen holds the line: at once, or only while `holder` still holds it (a reply chain
    // that ends leaves another screen's hold as it is).
    void ReleaseLine() { RequestId = ridNone; }
    void ReleaseLine(TRequestId holder);

    // The port, with the settings of the last SetCommParams. Each raises the port's error. A close
    // ends every question out or waiting, each unanswered to its asker; after an open on another
    // device or at another rate, what the line's step learnt of the axes is learnt again.
    void OpenPort();
    void ClosePort();
    bool PortOpen() const;
    int PortRate() const;
    // Drops what waits to be sent and what has come in and not been read.
    void PurgePort();
    // Switches an open port to new settings: closed, set, `whileClosed` run, opened again.
    void ReopenPort(short port, unsigned int baud, short parity,
                    const std::function<void()>& whileClosed);

    // The bytes that go on the wire for `line`: every control character is dropped except the
    // line's own final CR, so text holding a CR or LF can never become a second command.
    static QByteArray CommandLine(const QByteArray& line);

    // What a window does when the line is lost: end its exchange and give the user the controls
    // back, quietly (the data module shows the one message). Forgotten with the window.
    void OnLineLost(QObject* window, std::function<void()> returnToIdle);
    // A transfer that the lost line cut short says where it stopped, in the line's one message.
    void NoteCutShort(const QString& note) { cutShortNotes_.append(note); }
    // How often the line has been lost, so a wait can tell that it went while it waited.
    int LineLosses() const { return lineLosses_; }
    // After a failed send or an unanswered question: whether the line has been lost since
    // `lossesBefore`, in which case its own message has told the user. A send into a hung-up
    // device fails before its hang-up is seen, so pending events are taken in first.
    bool LineLostSince(int lossesBefore);

    // The one report of a driver that could not be reached (a send that failed, a question left
    // unanswered), with `caption`, unless the line has been lost since `lossesBefore`: its own
    // message has told the user then.
    void ReportNoDriver(int lossesBefore, const QString& caption = "ｴﾗ-");

    // A question is a command line that the driver answers; SendCommand alone sends lines that
    // want no answer (writes, designations), which go out at once. A question goes out once the
    // one before it has been answered or has ended, and once the axis it addresses is in step
    // (see LineStep): its answer goes to `requestId`'s receiver and to the ticket. One that ends
    // without its answer calls the receiver's no-answer routine (see SetReplyReceiver). Its limit
    // counts from when it goes out. Raises the port's error when it goes out at once and the send
    // fails, or at once when the port is not open (its no-answer routine is not called then).
    // A question keeps the axis it was asked for: the one its line designates, or else `axis`
    // (0: DesignatedAxis when it is asked).
    static constexpr int kNoReplyLimit = 0;
    Ticket SendQuestion(const QByteArray& line, TRequestId requestId, int limitMs = kReplyLimitMs,
                        char axis = 0);
    Ticket SendQuestion(const QString& line, TRequestId requestId, int limitMs = kReplyLimitMs,
                        char axis = 0);
    // One axis probe of the scan, whose only answer is `expected`: silence is an absent axis's
    // answer, so it leaves no trace unanswered; the scan withdraws it after its own wait, which
    // counts from when it went out (Ticket::asked).
    Ticket AskScanProbe(const QByteArray& line, const QByteArray& expected);
    // Sends nothing itself: answered once nothing sent can still be answered and `axis` (0: the
    // designated one) is in step (probed first when it is not), for a transfer whose own lines
    // must not meet a late answer.
    Ticket BringInStep(char axis = 0);
    // The asker gives up on a question (a cancel, a stop, a closed window): its answer, if it
    // comes, goes nowhere and the line is brought back in step before the next question.
    void Withdraw(const Ticket& ticket);
    void Withdraw(TRequestId requestId);
    bool QuestionPending(TRequestId requestId) const;
    // A line that settles what went before it is out, without its answer or its time yet.
    bool LineSettling() const { return step_.Settling(); }
    // LastReply := the ticket's answer, for a caller that waited for it.
    void KeepAnswer(const Ticket& ticket);
    // The axes that answered the last scan, in its order.
    void SetScannedAxes(const QByteArray& letters);
    // Tests only: the line's step as the data module keeps it.
    const LineStep& StepForTests() const { return step_; }

    // Port number n of Comm<n>, rate in bps, parity index (1: 7 data bits even, else 8 none).
    void SetCommParams(short port, unsigned int baud, short parity);

    void Comm1CommReceive(QObject* sender, std::uint16_t count);
    // The receive path after the read: stores one received chunk in the ring and delivers the
    // newest complete line, if any.
    void ReceiveChunk(const QByteArray& chunk);
    void Comm1CommTransmit(QObject* sender, std::uint16_t count);

private:
    platform::TComm* Comm1;
    std::array<char, kRingSize> RxBuffer{};
    int RxIndex = 0;
    int padLength_ = 0;
    bool replyReceived_ = false;
    bool lastReplyTooLong_ = false;
    QByteArray lastReply_;
    TRequestId RequestId = ridNone;

    struct LineLostHandler {
        QPointer<QObject> window;
        std::function<void()> returnToIdle;
    };
    std::vector<LineLostHandler> lineLostHandlers_;
    QStringList cutShortNotes_;
    int lineLosses_ = 0;

    LineStep step_;
    char designatedAxis_ = '*';
    // The device and rate of the last open: a reopen on another one starts the step afresh.
    QString openedDevice_;
    int openedRate_ = 0;
    QElapsedTimer clock_;
    QTimer* stepTimer_; // runs until the step's next deadline
    struct AskedQuestion {
        TRequestId receiver;
        std::shared_ptr<QuestionState> state;
    };
    std::map<int, AskedQuestion> asked_; // questions and writes still to end
    int lastQuestionId_ = 0;
    QByteArray incomingLine_; // the line coming in, as the step sees every line
    int unaskedInChunk_ = 0;  // lines of the chunk being read that answer nothing sent
    // The sends of the current call that failed, and whose no-answer routine the caller's own
    // error replaces.
    std::exception_ptr* callFailure_ = nullptr;
    std::exception_ptr* receiverFailure_ = nullptr; // what a receiver raised, for after the step
    int callQuestion_ = 0;

    void mdlGeneralCreate();
    bool CutNewestLine(QByteArray& line) const;
    void CommLost(const QString& reason);
    LineStep::Ms Now() const { return clock_.elapsed(); }
    char AxisFor(char axis) const { return axis != 0 ? axis : designatedAxis_; }
    void NoteDesignation(const QByteArray& line);
    Ticket Ask(LineStep::Question question, TRequestId requestId);
    // Feeds the step one input, carries out what it says, lets the next question go and
    // re-arms the step timer; a send of this call that failed raises here when `raise`.
    void RunStep(const std::function<void()>& input, bool raise, int callQuestion = 0);
    void Carry();
    bool Transmit(std::vector<LineStep::Action>::const_iterator first,
                  std::vector<LineStep::Action>::const_iterator last);
    void Resolve(const LineStep::Action& action);
    void ResolveWrite(const LineStep::Action& action, const AskedQuestion& asked);
    void Deliver(const QByteArray& line, bool tooLong, TRequestId receiver);
    void DeliverUnasked(const QByteArray& line);
    void CutRing();
    void StepTimerTimeout();
    void ArmStepTimer();
    std::optional<LineStep::Ms> armedDeadline_;
};

extern TmdlGeneral* mdlGeneral;

// A field of a command line or a stored value as text: every control character removed.
QString CleanLineField(const QString& text);

// Text for the line that holds a character with no CP932 code: nothing of it is sent, since the
// driver would get "?" in its place. The error's text is the message for the user.
class EUnsendableText : public ui::Error {
public:
    using ui::Error::Error;
};

// The CP932 bytes of text for the line; raises EUnsendableText when a character has no code.
QByteArray LineBytes(const QString& text);

// Whether text goes on the line exactly as it stands: no control character, which the line
// drops, and no character without a CP932 code. A transfer checks every row with it before it
// sends the first, so that nothing of a document goes out altered.
bool GoesOutUnchanged(const QString& text);

// For a box or a cell that feeds the line, before its text is sent: true when the text goes out
// as it stands (no control character, every character with a CP932 code); otherwise the user is
// told which character cannot be sent (and where), and false.
bool CheckLineText(const QString& text, const QString& place = {});
