// One reply-driven transfer with the driver, from its start to its one end. It holds the axis
// that was designated when it started, asks its questions and sends its writes to that axis
// through the line's step, and owns every way it ends: done, cancelled (the progress window's
// button, the progress window closed, the client window closed or hidden), a send that failed,
// an answer that did not come or could not be read, the driver's refusal, the line lost. Each
// end is reported once, with the client's message, and the progress window ends with it; it
// serves one exchange at a time. The client window gives what to ask next and what to do with
// each answer, and nothing else of the exchange.
#pragma once

#include "UnitCommCancel.h"
#include "UnitGeneral.h"

#include <QByteArray>
#include <QPointer>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

class QWidget;
class WriteRun;

class Exchange {
public:
    enum class End { Done, Cancelled, SendFailed, NotAnswered, LineLost, Failed };

    // How the user hears of an end: a message box with its text and caption, the port's own
    // error in the application's default error box, or not at all.
    struct Report {
        enum class How { Message, PortError, Quiet };
        QString text;
        QString caption;
        How how = How::Message;
    };
    static Report NoDriver() { return {"ドライバと通信できませんでした。", "ｴﾗ-"}; }
    static Report PortError() { return {{}, {}, Report::How::PortError}; }
    static Report Quiet() { return {{}, {}, Report::How::Quiet}; }

    // How the progress window goes with the exchange.
    struct Progress {
        bool shown = false;  // the exchange shows the progress window
        bool percent = true; // with its bar
        QWidget* returnFocusTo =
            nullptr; // the client's control that the window's button gives the keys to
    };

    // `window` owns it; the answers to its questions come under `replyId` (ridNone: it only asks
    // and waits). Hiding or closing the window ends it as a cancel does, when `window` is a
    // widget and `endsWithWindow`.
    Exchange(QObject* window, TRequestId replyId, bool endsWithWindow = true);
    ~Exchange();
    Exchange(const Exchange&) = delete;
    Exchange& operator=(const Exchange&) = delete;

    // Each answer to a question asked with Ask, in order. An answer too long to read ends the
    // exchange instead, told with Where.
    std::function<void(const QByteArray& answer)> OnAnswer;
    // The one end, after the exchange has let go of the line and reported: the client returns to
    // idle here.
    std::function<void(End end)> OnEnd;
    // What the user is told when a send fails and when an answer does not come.
    Report sendFailed = NoDriver();
    Report notAnswered = NoDriver();
    // Where the transfer stands ("#012"), for the message of an answer that cannot be read.
    std::function<QString()> Where;
    // What a transfer cut short has to say of where it stopped (empty: nothing): told after a
    // cancel, a failed send, a closed window, and with the lost line's own message.
    std::function<QString()> CutShort;

    // Starts for the axis designated now; an exchange still running is cancelled first. False,
    // told to the user, when another transfer shows the progress window: it is not shared.
    bool Start(const Progress& progress);
    bool Start() { return Start(Progress()); }
    // Shows the progress window for a running exchange that started without it; false, told,
    // when another transfer shows it.
    bool ShowProgress(const Progress& progress);
    // Starts again, without the progress window, for the axis it started for before.
    void Resume();
    bool Running() const { return running_; }
    char Axis() const { return axis_; }
    // The user asked to stop, or the program ends: a loop of writes ends before its next step.
    bool StopRequested() const;

    // Within a running exchange: a write goes as soon as the line lets it, and its ticket tells
    // what the driver made of it (nullptr: the exchange has ended, by this send's failure or
    // before); a question waits its turn (its limit, 0 for none, counts from when it goes out).
    // A write names the screen that holds the line after it.
    Ticket Send(const QByteArray& line, TRequestId holder = ridNone);
    bool Write(const QByteArray& line, TRequestId holder = ridNone) {
        return Send(line, holder) != nullptr;
    }
    bool Ask(const QByteArray& line, int limitMs = TmdlGeneral::kNoReplyLimit);
    // Asks and waits for the answer (its limit counts from when it goes out): the answer, or
    // nothing when it did not come or the exchange ended. An answer that does not come leaves
    // the exchange running: the client decides what follows.
    std::optional<QByteArray> AskAndWait(const QByteArray& line, int limitMs);
    // Waits until the driver has answered or taken the write, or nothing more can be known of
    // it; false when the exchange ended meanwhile.
    bool WaitWritten(const Ticket& write);
    // Sends nothing of its own unless a line out must be settled: waits until every line sent
    // has had its answer or its time; false when the axis did not answer (the exchange goes on:
    // the client decides) or the exchange ended.
    bool WaitInStep();
    // The progress bar after a step.
    void StepTo(int done, int total);

    // The ends a client brings about. Done: the progress window, when shown, says the transfer
    // is complete in `direction` and stays until its OK. Cancel: the client stops it. Fail: the
    // client found the driver's answers wanting, reported as `end` is, or with `report`.
    void Finish(std::optional<TfrmCommCancel::Direction> direction = std::nullopt);
    void Cancel();
    void Fail(End end);
    void Fail(const Report& report);
    // The end of a whole write run: done when the driver took every value, else a failure that
    // names the values it did not take.
    void FinishWrites(const WriteRun& run);

private:
    QPointer<QObject> window_;
    TRequestId replyId_;
    QObject* hideWatch_ = nullptr;
    char axis_ = '*';
    bool running_ = false;
    int lossesAtStart_ = 0;
    QString portError_; // the port's error of the send that failed, if one did
    std::vector<Ticket> writes_;

    bool Sent(const std::function<void()>& send);
    bool ShowsProgress() const;
    void Receive();
    void NotAnswered(bool asked);
    void EndWith(End end, std::optional<Report> report = std::nullopt);
    void Tell(const std::optional<Report>& report, const QString& cutShort, bool lineLost);
};

// The values of a write run and what became of each: the client notes every value it sends and
// every one it could not send; once the run has ended, the rows the driver did not take are
// named and marked.
class WriteRun {
public:
    void Clear();
    // A value sent for `row` (`place` names it for the user).
    void Sent(int row, const QString& place, Ticket write);
    // A value that did not go, since its selection was refused or not known to be taken.
    void NotSent(int row, const QString& place, const QByteArray& refusal);
    // The rows whose value the driver refused or that are not known to be written.
    std::vector<int> RowsNotWritten() const;
    // The warning for the rows not written; empty when every value was written.
    QString Message() const;
    // The place of the last value sent, for a run cut short; empty before the first.
    QString LastSent() const { return lastSent_; }
    // Every value of the run has been sent (or kept back): nothing was cut short.
    void Whole() { whole_ = true; }
    // Where a run that ended before it was whole stopped; empty for a whole one.
    QString CutShortMessage() const;

private:
    struct Value {
        int row;
        QString place;
        Ticket write;       // nullptr: not sent
        QByteArray refusal; // of its selection, when not sent
    };
    std::vector<Value> values_;
    QString lastSent_;
    bool whole_ = false;
};

// A transfer asked for while another runs is refused, and the user is told so: two transfers
// never share the line or a progress window.
void TellAnotherTransferRuns();

// What a transfer cut short says of a write run: where it stopped.
QString WriteCutShortMessage(const QString& lastSent);
