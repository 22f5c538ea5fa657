// The line's step with the drivers on it: which question is out and whose it is, which axis each
// question and write addresses, the model text each axis gave, and which received lines answer
// nothing. A plain state machine with no window, timer or event loop: the data module tells it
// what is asked, written and received and the time, and carries out the actions it hands back,
// in their order.
//
// The drivers answer in order: every line they send answers the oldest line sent to them that
// has an answer still to come. A question is a line the driver answers with one line; one is out
// at a time, one asked meanwhile waits its turn, and its limit counts from when it goes out.
// Writes and designations want no answer and go out at once, though a driver may answer a write
// (a refusal, "E-S"). So a line is only ever taken for a question's answer when no line before
// the question can still be answered: after a write, a question that ended without its answer, a
// purge or a reopened port, the next question first sends a probe whose answer is known ("VER",
// whose answer is the axis's model text), and every line up to that answer answers something
// else. An axis that does not answer its probe holds back only the questions to it, which end
// unanswered.
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
    // The longest reply line the receive ring can cut out; a longer one cannot be read.
    static constexpr int kLongestReply = 48;

    LineStep();

    enum class Kind {
        Question, // answered by its axis; one left unanswered leaves the axis out of step
        Scan,     // an axis probe of the scan: silence is an absent axis's normal answer
        Sync,     // sends nothing; done once no line out can be answered and its axis is in step
    };

    struct Question {
        int id = 0;      // the asker's name for it, unique while it waits
        QByteArray line; // the command line with its CR; it may designate its own axis
        Kind kind = Kind::Question;
        Ms limitMs = 0; // how long its answer may take once it is out; 0: no limit
        // The axis its asker addresses, when its line designates none; 0: the axis the line
        // designates when it is asked.
        char axis = 0;
    };

    struct Action {
        enum class Type {
            Send,       // put `line` on the wire; `id`: the question it belongs to (0: none)
            Answer,     // `line` answers question `id`
            Unanswered, // question `id` ends without an answer; `asked`: it had gone out
            Unasked,    // `line` answers no question (a write's answer, a continuous output)
            Discard,    // `line` came while the line was brought back in step
            CutRing,    // what has come so far, a line's start included, stays behind a line end
        };
        Type type;
        int id = 0;
        QByteArray line;
        bool asked = false;
        bool lineLost = false; // an Unanswered of a lost line, whose owner has told the user
        bool probe = false;    // a Send of a probe (or of the designation before it)
        bool operator==(const Action&) const = default;
    };

    // The inputs. None of them sends a question: Advance does, once the data module has carried
    // out the actions they gave (so that a receiver's own writes go out before the next question).
    void Ask(Question question, Ms now);
    // A line that wants no answer goes out at once, after the designation of `axis` when the line
    // designates another (0: as the line stands). Whatever answer it gets answers no question.
    void Write(const QByteArray& line, Ms now, char axis = 0);
    // The asker gives up: a question still waiting goes without a trace. One that is out stays
    // out until its answer, which is discarded, or its reply time; a scan's probe goes at once.
    // Either way its answer may still come: the line is brought back in step before the next
    // question.
    void Withdraw(int id, Ms now);
    // One receive event: `lines` holds every line it completed, in order, and `delivered` the one
    // that the receive ring cut out of it (the newest), if any.
    void Received(const std::vector<QByteArray>& lines, const std::optional<QByteArray>& delivered,
                  Ms now);
    void Tick(Ms now);
    // Sends the next question, or the probe that must come before it, when the line lets it go.
    void Advance(Ms now);
    // A Send action could not be carried out: the question it belongs to ends unanswered, and
    // nothing more of it goes out.
    void SendFailed(const Action& send, Ms now);
    void Purged(Ms now); // what had come in and was not read, and what waited to go out, is gone
    // Every question out or waiting ends unanswered; nothing goes out until PortOpened.
    void PortClosed(Ms now);
    // `sameLine`: the same device at the same rate as before the close. Otherwise what was learnt
    // of the axes (model texts, absent axes) is learnt again, and on another device the
    // designation too.
    void PortOpened(Ms now, bool sameLine = true, bool sameDevice = true);
    void LineLost(); // every question ends; nothing more comes, and everything is learnt again
    // The axes that answered the last scan, in its order: under "*" with several of them, a probe
    // asks the first by its letter.
    void SetScannedAxes(const QByteArray& letters);

    std::vector<Action> TakeActions();
    bool HasActions() const { return !actions_.empty(); }
    // When Tick must run next, if anything waits for the time; never a time already past once
    // Tick has run for it.
    std::optional<Ms> NextDeadline() const;

    bool Pending(int id) const; // waiting or out
    int QuestionOut() const;    // the id of the question out, 0 when none
    bool Probing() const { return probe_.has_value(); }
    // No line sent can still bring an answer that nobody asked for.
    bool Settled() const {
        return doubtfulWrites_ == 0 && doubtfulAnswers_ == 0 && !continuousOutput_;
    }
    bool InStep(char axis) const { return !outOfStep_.contains(axis); }
    bool Absent(char axis) const { return absent_.contains(axis); }
    char Designation() const { return designation_; } // 0: not known
    std::optional<QByteArray> ModelText(char axis) const;

    // A line's command (blanks, the final CR and a leading designation removed) and the axis a
    // line designates ('X' of "X:" or "X:VER", '*' of "*:", 0 when it designates none).
    static QByteArray CommandOf(QByteArray line);
    static char DesignationOf(const QByteArray& line);

private:
    struct Out {
        Question question;
        Ms sentAt;
        bool withdrawn = false;  // its answer, when it comes in time, is discarded
        bool answerLost = false; // its answer came too long to read: later lines are not it
    };
    struct Probe {
        char axis;           // the axis whose question waits for it
        char asked;          // the axis the probe addresses (one scanned axis under "*")
        QByteArray expected; // its known model text; empty while it is learnt
        int own;             // probes sent: one, or two while the model text is learnt
        int due;             // lines equal to the model text still to come: its own, late ones
        int settlesWrites;   // the doubtful lines sent before it, settled once it is answered
        int settlesAnswers;
        bool pairTrusted; // learning: fewer than two doubtful lines before it, which could pair
        Ms sentAt;
        std::vector<QByteArray> heard; // every line since it went out
        bool matched = false;          // an answer of it came
    };

    std::deque<Question> waiting_;
    std::optional<Out> out_;
    std::optional<Probe> probe_;
    char designation_ = '*';   // a driver starts with every axis designated
    std::set<char> outOfStep_; // axes that left a question unanswered: each is probed first
    std::set<char> absent_;    // axes whose last probe went unanswered
    // Lines sent whose answer, if the driver gives one, has not come and answers nobody: writes,
    // and questions and probes that ended without their answer (by axis when they were "VER").
    int doubtfulWrites_ = 0;
    int doubtfulAnswers_ = 0;
    std::map<char, int> lateModelAnswers_;
    // The driver runs a continuous output ("=="): its lines answer nothing, and only the line's
    // quiet, once it is stopped, brings the line back in step.
    bool continuousOutput_ = false;
    std::map<char, QByteArray> modelTexts_;
    QByteArray scannedAxes_;
    bool portOpen_ = true;
    Ms lastHeard_ = 0;
    Ms lastWriteAt_ = 0; // a write's answer may take a reply time from then
    std::vector<Action> actions_;

    void Emit(Action::Type type, int id, QByteArray line = {}, bool asked = false);
    void SendLine(const QByteArray& line, int id, bool probe = false);
    void Designate(char axis, int id, bool probe = false);
    char AxisOf(const Question& question) const;
    bool OthersWaitFor(char absentAxis) const;
    void SendQuestion(Question question, Ms now);
    void TakeAnswer(const QByteArray& line);
    void TakeUnasked(const std::vector<QByteArray>& lines, std::size_t from,
                     const std::optional<QByteArray>& delivered);
    void LeaveStep(const Question& question);
    void Doubt(const QByteArray& line, char axis);
    char ProbedAxis(char axis) const;
    void StartProbe(char axis, Ms now);
    void TakeProbeLine(const QByteArray& line);
    void LearnFromPair(Probe& probe);
    enum class ProbeEnd { Answered, Quiet, Silent, Unquiet };
    void EndProbe(ProbeEnd end);
    void LearnFromQuiet(Probe& probe);
    void ShowWhatCameBefore(const Probe& probe, ProbeEnd end);
    void FailWaiting(char axis);
    void EndEveryQuestion(bool lineLost);
    void Forget();
    Ms ProbeDeadline() const;
    Ms OutDeadline() const; // 0: none
};
