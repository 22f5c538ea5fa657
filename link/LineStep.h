// The line's step with the drivers on it: which question is out and whose it is, which axis each
// line addresses, the model text each axis gave, and which received lines are discarded. A plain
// state machine with no window, timer or event loop: the data module tells it what is sent, what
// is received and the time, and carries out the actions it hands back, in their order.
//
// A question is a line the driver answers. One is out at a time; one asked meanwhile waits its
// turn, and its limit counts from when it goes out. Writes and designations want no answer and go
// out at once. A question that ends without its answer (its limit, a withdrawal) may still be
// answered late, so it leaves the line out of step: before the next question to any axis, that
// axis gets a probe, "VER", whose answer is its model text, and every line up to that answer is
// discarded (a driver answers in order). An axis that does not answer its probe holds back only
// the questions to it.
#pragma once

#include <QByteArray>

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <set>
#include <vector>

class LineStep {
public:
    using Ms = std::int64_t; // milliseconds on a monotonic clock

    // A driver answers within this time; a line quiet this long after a probe's answer is in step.
    static constexpr Ms kReplyTimeMs = 1000;
    // How long a probe waits when nothing at all comes back: longer than a question, since it goes
    // out while an earlier answer is overdue, which the driver may still be working on.
    static constexpr Ms kProbeLimitMs = 4 * kReplyTimeMs;

    LineStep();

    enum class Kind {
        Question, // answered by the designated axis; one left unanswered puts the line out of step
        Scan,     // an axis probe of the scan: silence is an absent axis's normal answer
        Sync,     // sends nothing; done once the designated axis is in step
    };

    struct Question {
        int id = 0;      // the asker's name for it, unique while it waits
        QByteArray line; // the command line with its CR
        Kind kind = Kind::Question;
        Ms limitMs = 0; // how long its answer may take once it is out; 0: no limit
    };

    struct Action {
        enum class Type {
            Send,       // put `line` on the wire; `id`: the question it carries (0: none)
            Answer,     // `line` answers question `id`
            Unanswered, // question `id` ends without an answer; `asked`: it had gone out
            Unasked,    // `line` came while no question was out
            Discard,    // `line` came while an axis was brought back in step
            CutRing,    // what has come so far, a line's start included, stays behind a line end
        };
        Type type;
        int id = 0;
        QByteArray line;
        bool asked = false;
        bool lineLost = false; // an Unanswered of a lost line, whose owner has told the user
        bool operator==(const Action&) const = default;
    };

    // The inputs. None of them sends a question: Advance does, once the data module has carried
    // out the actions they gave (so that a receiver's own writes go out before the next question).
    void Ask(Question question, Ms now);
    // A line that wants no answer goes out at once; a question after it waits until an answer to
    // it, if the driver gives one, has come and gone: about a round trip of the line, or, for an
    // axis that has been seen to answer writes, until that answer has come (a reply time at most).
    // An axis whose writes have been followed by silence a few times is trusted not to answer
    // them, until a line nobody asked for comes after one.
    void Write(const QByteArray& line, Ms now);
    // The sender waited for the answers to its writes itself, as long as the driver takes to give
    // one: the next question need not wait for them again.
    void WriteAnswersAwaited();
    // The asker gives up: a question still waiting goes without a trace, and so does a scan's. One
    // that is out stays out until its answer, which is discarded, or its reply time: only an
    // answer that has not come by then leaves the line out of step.
    void Withdraw(int id, Ms now);
    // One receive event: `lines` holds every line it completed, in order, and `delivered` the one
    // that the receive ring cut out of it (the newest), if any. Bytes without a line end count
    // as the line's activity.
    void Received(const std::vector<QByteArray>& lines, const std::optional<QByteArray>& delivered,
                  Ms now);
    // `lateMs`: how late the program came to this deadline. A question's wait after a write that
    // ended while the program was busy gets a little more time (at most twice): the driver's answer
    // to the write may still be on its way into the program.
    void Tick(Ms now, Ms lateMs = 0);
    // Sends the next question, or the probe that must come before it, when the line lets it go.
    void Advance(Ms now);
    // A Send action could not be carried out: its question, or the question its probe was for,
    // ends unanswered.
    void SendFailed(const Action& send, Ms now);
    void Purged(Ms now);     // what had come in and was not read is gone
    void PortClosed(Ms now); // nothing goes out or comes in until PortOpened
    void PortOpened(Ms now);
    void LineLost(); // every question ends; nothing more comes
    // The axes that answered the last scan, in its order: under "*" with several of them, a probe
    // asks the first by its letter.
    void SetScannedAxes(const QByteArray& letters);
    // The line's character time, for the round trip assumed before any answer has been timed.
    void SetRate(int bitsPerSecond);

    std::vector<Action> TakeActions();
    bool HasActions() const { return !actions_.empty(); }
    // When Tick must run next, if anything waits for the time.
    std::optional<Ms> NextDeadline() const;

    bool Pending(int id) const; // waiting or out
    int QuestionOut() const;    // the id of the question out, 0 when none
    bool Probing() const { return probe_.has_value(); }
    // A probe heard lines, none of which is its answer: the line's quiet will decide.
    bool ProbeUnclear() const;
    bool InStep(char axis) const { return inStep_.contains(axis); }
    char Designation() const { return designation_; }
    std::optional<QByteArray> ModelText(char axis) const;

    // A line's command (blanks, the final CR and a leading designation removed) and the axis a
    // line designates ('X' of "X:" or "X:VER", '*' of "*:", 0 when it designates none).
    static QByteArray CommandOf(QByteArray line);
    static char DesignationOf(const QByteArray& line);

private:
    struct Out {
        Question question;
        Ms sentAt;
        char axis;
        bool withdrawn = false; // its answer, when it comes in time, is discarded
    };
    struct Probe {
        char axis;           // the axis whose questions wait for it
        char asked;          // the axis the probe addresses (one scanned axis under "*")
        QByteArray expected; // its known model text; empty while it is learnt from a pair
        QByteArray previous; // while learning: the line before
        int due;             // answers still to come: the probes and late answers to "VER"
        Ms sentAt;
        bool heard = false;   // anything came since it went out
        bool matched = false; // an answer of it came
    };

    std::deque<Question> waiting_;
    std::optional<Out> out_;
    std::optional<Probe> probe_;
    char designation_ = '*'; // a driver starts with every axis designated
    std::set<char> inStep_;
    std::map<char, int> lateModelAnswers_; // unanswered "VER" questions, by axis
    std::map<char, QByteArray> modelTexts_;
    QByteArray scannedAxes_;
    bool portOpen_ = true;
    Ms lastHeard_ = 0;
    Ms settleUntil_ = 0;
    int settleExtensions_ = 0;
    // What an axis does with a write: seen to answer it, trusted not to (after some writes whose
    // wait heard nothing), or not known yet.
    enum class WriteHabit { Unknown, Answers, Silent };
    std::map<char, WriteHabit> writeHabits_;
    std::map<char, int> quietWrites_; // waits after writes to an axis that heard nothing
    char lastWriteAxis_ = 0;
    char settleAxis_ = 0; // the axis whose write the wait is for, until the wait is judged
    bool settleHeard_ = false;
    int writeAnswersDue_ = 0; // answers still to come to writes to those axes
    Ms writeAnswersDueUntil_ = 0;
    std::deque<Ms> roundTrips_;
    double msPerChar_ = 10000.0 / 1200;
    std::vector<Action> actions_;

    void Emit(Action::Type type, int id, QByteArray line = {}, bool asked = false);
    void SendLine(const QByteArray& line, int id = 0);
    void NoteDesignation(const QByteArray& line);
    bool CanGoNow(const Question& question, Ms now) const;
    char AxisOf(const Question& question) const;
    void SendQuestion(Question question, Ms now);
    void EndOut(Ms now, bool answered);
    void LeaveStep(const Out& out);
    void StartProbe(char axis, Ms now);
    void TakeProbeLine(const QByteArray& line);
    void EndProbe(bool inStep);
    void FailWaiting(char axis);
    Ms ProbeDeadline() const;
    Ms OutDeadline() const; // 0: none
    Ms SettleMs(const QByteArray& line) const;
    bool WaitsForWriteAnswers(Ms now) const;
    WriteHabit HabitOf(char axis) const;
    void JudgeSettle(Ms now);
    void TakeUnasked(const QByteArray& line, Ms now);
};
