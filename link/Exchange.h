// One reply-driven transfer with the driver, from its start to its one end. It holds the axis
// that was designated when it started, asks its questions and sends its writes to that axis
// through the line's step, and owns every way it ends: done, cancelled (the progress window's
// button, the progress window closed, the client window closed or hidden), a send that failed,
// an answer that did not come, the line lost. Each end is reported once, with the client's
// message, and the progress window ends with it. The client window gives what to ask next and
// what to do with each answer, and nothing else of the exchange.
#pragma once

#include "UnitCommCancel.h"
#include "UnitGeneral.h"

#include <QByteArray>
#include <QPointer>
#include <QString>
#include <functional>
#include <optional>

class QWidget;

class Exchange {
public:
    enum class End { Done, Cancelled, SendFailed, NotAnswered, LineLost };

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
    // and waits).
    Exchange(QObject* window, TRequestId replyId);

    // Each answer to a question asked with Ask, in order.
    std::function<void(const QByteArray& answer)> OnAnswer;
    // The one end, after the exchange has let go of the line and reported: the client returns to
    // idle here.
    std::function<void(End end)> OnEnd;
    // What the user is told when a send fails and when an answer does not come.
    Report sendFailed = NoDriver();
    Report notAnswered = NoDriver();

    // Starts for the axis designated now; an exchange still running is cancelled first.
    void Start(const Progress& progress);
    void Start() { Start(Progress()); }
    // Starts again, without the progress window, for the axis it started for before.
    void Resume();
    // Shows the progress window for a running exchange that started without it.
    void ShowProgress(const Progress& progress);
    bool Running() const { return running_; }
    char Axis() const { return axis_; }
    // The user asked to stop, or the program ends: a loop of writes ends before its next step.
    bool StopRequested() const;

    // Within a running exchange: a write goes at once, a question waits its turn (its limit, 0
    // for none, counts from when it goes out). Each is false when the exchange has ended, by
    // this send's failure or before. A write names the screen that holds the line after it.
    bool Write(const QByteArray& line, TRequestId holder = ridNone);
    bool Ask(const QByteArray& line, int limitMs = TmdlGeneral::kNoReplyLimit);
    // Asks and waits for the answer (its limit counts from when it goes out): the answer, or
    // nothing when it did not come or the exchange ended. An answer that does not come leaves
    // the exchange running: the client decides what follows.
    std::optional<QByteArray> AskAndWait(const QByteArray& line, int limitMs);
    // Sends nothing itself: waits until nothing sent can still be answered and the axis is in
    // step; false when the axis did not answer its probe (the exchange goes on: the client
    // decides) or the exchange ended.
    bool WaitInStep();
    // The progress bar after a step.
    void StepTo(int done, int total);

    // The ends a client brings about. Done: the progress window, when shown, says the transfer
    // is complete in `direction` and stays until its OK. Cancel: the client stops it, quietly.
    // Fail: the client found the driver's answers wanting, reported as `end` is.
    void Finish(std::optional<TfrmCommCancel::Direction> direction = std::nullopt);
    void Cancel();
    void Fail(End end);

private:
    QPointer<QObject> window_;
    TRequestId replyId_;
    char axis_ = '*';
    bool running_ = false;
    bool progressShown_ = false;
    int lossesAtStart_ = 0;
    QString portError_; // the port's error of the send that failed, if one did

    bool Sent(const std::function<void()>& send);
    void Receive();
    void NotAnswered(bool asked);
    void EndWith(End end);
    void Tell(const Report& report);
};
