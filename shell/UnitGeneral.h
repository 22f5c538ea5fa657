// The serial data module: the only place that talks to the port. It opens, closes and purges the
// port, sends whole command lines, cuts reply lines out of a 50-character receive ring and routes
// each line to the screen that the current request id names.
#pragma once

#include "platform/Comm.h"
#include "ui/FileDialogs.h"
#include "ui/Guard.h"
#include "ui/Printing.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <vector>

class QTimer;

// The receiver of the next reply line.
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

class TmdlGeneral : public QObject {
    Q_OBJECT
public:
    static constexpr int kRingSize = 50;
    // How long a question waits for its answer.
    static constexpr int kReplyTimeMs = 1000;

    explicit TmdlGeneral(QObject* owner = nullptr);
    ~TmdlGeneral() override;

    // The shared dialogs: each user sets the filter and title it needs before running one.
    std::unique_ptr<ui::FileDialog> SaveDialog1;
    std::unique_ptr<ui::FileDialog> OpenDialog1;
    std::unique_ptr<ui::PrintDialog> PrintDialog1;

    // The last reply line, bytes as received (decode only for display); whether a reply line has
    // come since the last send; the pad count of the logging start line at the port's rate.
    const QByteArray& LastReply() const { return lastReply_; }
    bool ReplyReceived() const { return replyReceived_; }
    int PadLength() const { return padLength_; }

    // Tests only: the serial component, to read its settings and to play a port that fails. The
    // program opens, closes and purges it only through the calls below.
    platform::TComm& PortForTests() { return *Comm1; }

    // Sends one command line (the caller appends the CR): the port has taken it when this
    // returns; raises the port's error on failure.
    // This is the one way onto the line: whatever a box, a cell, a file or a reply put into the
    // line, it goes out as exactly one line (see CommandLine). Text goes out in CP932 or not at
    // all (see LineBytes).
    void SendCommand(const QByteArray& line, TRequestId requestId);
    void SendCommand(const QString& line, TRequestId requestId);

    // The receiver of the next reply line. Every send names it; besides, a screen takes the line
    // for a receiver without sending, and frees it when its exchange ends.
    TRequestId LineHolder() const { return RequestId; }
    void TakeLine(TRequestId id) { RequestId = id; }
    // The next reply goes to no receiver: at once, or only while `holder` still holds the line
    // (a reply chain that ends leaves another screen's request as it is).
    void ReleaseLine() { RequestId = ridNone; }
    void ReleaseLine(TRequestId holder);

    // The port, with the settings of the last SetCommParams. Each raises the port's error.
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

    // A question is a command line that the driver answers (SendCommand alone sends lines that
    // want no answer). The line is in step while every question sent has had its answer. The
    // next question waits for the answer to the one before for the rest of its reply time; one
    // still unanswered then has ended without it (a time-out, a cancel, a stop, a closed window),
    // and its answer may yet come: the line is brought back in step first (BringInStep).
    // Returns false, sending nothing, when that fails: to the caller the question went
    // unanswered. Raises the port's error as SendCommand does.
    [[nodiscard]] bool SendQuestion(const QByteArray& line, TRequestId requestId);
    [[nodiscard]] bool SendQuestion(const QString& line, TRequestId requestId);

    // Brings the line back in step, waiting: a probe ("VER") whose answer is the model text the
    // driver gave before goes out, and every line before that answer is discarded (a driver
    // answers in order). Before any model text is known, the probe goes twice and two equal
    // answers in a row end it. A probe still unanswered counts as a question: the next one
    // waits for its answer too. True at once when the line is in step; false when the probe
    // went unanswered (kProbeLimitMs). Raises the port's error.
    bool BringInStep();
    // The same without waiting, for a caller that tries again later (a timer's handler): true
    // when a question may go out now; otherwise the answer of the question before is still
    // within its reply time, or the probe is under way, and the result is false.
    bool ReadyForQuestion();
    bool LineInStep() const { return inStep_; }
    // How long a probe waits for its answer: longer than a question, since it goes out while an
    // earlier answer is overdue, which the driver may still be working on.
    static constexpr int kProbeLimitMs = 4 * kReplyTimeMs;

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
    QByteArray lastReply_;
    TRequestId RequestId = ridNone;

    struct LineLostHandler {
        QPointer<QObject> window;
        std::function<void()> returnToIdle;
    };
    std::vector<LineLostHandler> lineLostHandlers_;
    int lineLosses_ = 0;

    // The line's step with the driver (see SendQuestion and BringInStep).
    bool questionOut_ = false; // a question has gone out and its answer has not come
    QElapsedTimer questionAsked_;
    QByteArray lastQuestion_; // its command, blanks and designation removed
    QByteArray designation_;  // the axis the lines sent last designated ("X", "*"; "": none)
    std::map<QByteArray, QByteArray> modelTexts_; // the driver's answer to "VER", by designation
    bool inStep_ = true;
    bool probing_ = false;       // a probe waits for its answer
    int probesOut_ = 0;          // probes (and unanswered "VER" questions) whose answer is due
    bool probeAnswered_ = false; // an answer of a probe has come since the line left its step
    bool strangeLines_ = false;  // lines that answer no probe came in the probe's time
    QByteArray outOfStepLine_;   // the line coming in while out of step
    QByteArray previousOutOfStepLine_;
    QTimer* probeLimit_;
    QTimer* quietAfterProbe_; // runs after an answer of a probe; every byte received restarts it

    void mdlGeneralCreate();
    bool CutNewestLine(QByteArray& line) const;
    void Dispatch();
    void CommLost(const QString& reason);
    void NoteDesignation(const QByteArray& line);
    void QuestionAnswered(const QByteArray& answer);
    // How much longer the answer to the question out may take within its reply time.
    int AnswerDueMs() const;
    void LeaveStep();
    void SendProbe();
    void TakeOutOfStepByte(char ch);
    void TakeOutOfStepLine(const QByteArray& line);
    void ProbeAnswered();
    void ProbeTimedOut();
    void BackInStep();
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
