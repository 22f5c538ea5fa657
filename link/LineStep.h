// The line's step with the drivers on it: which lines are out and whose they are, which axis each
// question and write addresses, the model text each axis gave, and which received line answers
// which line sent. A plain state machine with no window, timer or event loop: the data module
// tells it what is asked, written and received and the time, and carries out the actions it
// hands back, in their order.
//
// The drivers answer in order, each within a reply time: every line they send answers the
// oldest line sent that has an answer still to come. A question is answered with one line; a
// write ("#12=5") may be answered or not (a refusal, "E-S"; an "OK" when a long write is done).
// So that a write's answer is never taken for a question's, every write is followed on the wire
// by the axis's "VER", whose answer, the axis's model text, is known: a line before that answer
// answers the write, and the write was taken without a word when the model text comes first.
// The same known line goes before a question whose answer could otherwise meet a late one (a
// question that ended without its answer). These settling lines cost their bytes, not a round
// trip: they go out together with what follows them.
//
// The step keeps every line sent whose answer has still to come (the flight) and every line
// received that it could not yet put to one of them, and follows every way of reading the lines
// received that the drivers' order allows; a line goes to its question or write once every way
// agrees. The flight addresses one axis at a time: a line to another axis waits until every line
// out has had its answer or its time (the scan's probes, whose answers are known, excepted), so
// that an axis that does not answer never lends its place to another's answer. An axis whose
// model text is not known yet is asked "VER" twice on a settled line first; the two answers,
// when they agree, are its model text.
#pragma once

#include <QByteArray>

#include <algorithm>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <set>
#include <vector>

class LineStep {
public:
    using Ms = std::int64_t; // milliseconds on a monotonic clock

    // A driver answers each line within this time.
    static constexpr Ms kReplyTimeMs = 1000;
    // How long a settling line may wait for its answer: longer than a question, since the lines
    // before it may be answered late themselves.
    static constexpr Ms kProbeLimitMs = 4 * kReplyTimeMs;
    // The longest reply line the receive ring can cut out; a longer one cannot be read.
    static constexpr int kLongestReply = 48;
    // The most ways of reading the lines received that the step follows at once; beyond it the
    // step gives up on the lines out and waits for the line's quiet.
    static constexpr std::size_t kMostReadings = 64;

    LineStep();

    enum class Kind {
        Question, // answered by its axis with one line
        Scan,     // an axis probe of the scan: answered with `expected`, or not at all
        Sync,     // sends nothing; done once every line out has had its answer or its time
    };

    struct Question {
        int id = 0;      // the asker's name for it, unique while it waits
        QByteArray line; // the command line with its CR; it may designate its own axis
        Kind kind = Kind::Question;
        Ms limitMs = 0; // how long its answer may take once it is out; 0: no limit
        // The axis its asker addresses, when its line designates none; 0: the axis the line
        // designates when it is asked.
        char axis = 0;
        QByteArray expected; // Scan: the one answer that shows the axis
    };

    struct Action {
        enum class Type {
            Send,         // put `line` on the wire; `id`: the question or write it belongs to
            Answer,       // `line` answers question `id`; `tooLong`: it could not be read
            Unanswered,   // question `id` ends without an answer; `asked`: it had gone out
            WriteAnswer,  // `line` is the driver's answer to write `id`
            WriteTaken,   // write `id` was taken without an answer
            WriteUnknown, // write `id`: whether the driver took it is not known; `asked`: it went
            Unasked,      // `line` answers nothing sent (a continuous output, a stray line)
            Discard,      // `line` answers a line of the step's own or one given up on
        };
        Type type;
        int id = 0;
        QByteArray line;
        bool asked = false;
        bool lineLost = false; // an Unanswered of a lost line, whose owner has told the user
        bool probe = false;    // a Send of a settling line (or of the designation before it)
        bool tooLong = false;
        int serial = 0; // of a Send: which of the step's sends it is
        bool operator==(const Action&) const = default;
    };

    // The inputs. None of them sends anything: Advance does, once the data module has carried
    // out the actions they gave (so that a receiver's own lines go out before the next question).
    void Ask(Question question, Ms now);
    // A line that wants no answer, to `axis` when the line designates none (0: the line's
    // designation as it stands). A bare designation goes at once; a write goes as soon as the
    // flight lets it, with the line that settles it behind it.
    void Write(int id, const QByteArray& line, Ms now, char axis = 0);
    // The asker gives up: a question or write still waiting goes without a trace; a question
    // out stays out until its answer, which is discarded, or its reply time.
    void Withdraw(int id, Ms now);
    // One receive event: `lines` holds every line it completed, in order.
    void Received(const std::vector<QByteArray>& lines, Ms now);
    void Tick(Ms now);
    // Sends what the line lets go now: writes, the next question, the lines that settle them.
    void Advance(Ms now);
    // A Send could not be carried out: it and every send after it in its batch did not go; what
    // they belonged to ends.
    void SendFailed(const Action& send, Ms now);
    void Purged(Ms now); // what had come in and was not read, and what waited to go out, is gone
    // Every question out or waiting ends unanswered; nothing goes out until PortOpened.
    void PortClosed(Ms now);
    // `sameLine`: the same device at the same rate as before the close. Otherwise what was learnt
    // of the axes (model texts, absent axes) is learnt again, and on another device the
    // designation too and nothing sent before is answered.
    void PortOpened(Ms now, bool sameLine = true, bool sameDevice = true);
    // Every question and write ends; nothing more comes; everything is learnt again.
    void LineLost();
    // The axes that answered the last scan, in its order: under "*" with several of them, the
    // settling line asks the first by its letter.
    void SetScannedAxes(const QByteArray& letters);

    std::vector<Action> TakeActions();
    bool HasActions() const { return !actions_.empty(); }
    // When Tick must run next, if anything waits for the time; never a time already past once
    // Tick has run for it.
    std::optional<Ms> NextDeadline() const;

    bool Pending(int id) const; // waiting or out, and not given up
    int QuestionOut() const;    // the id of the question out, 0 when none
    // Every line sent has had its answer or its time.
    bool Settled() const { return flight_.empty() && !quietNeeded_; }
    // A settling line is out and has neither its answer nor its time yet.
    bool Settling() const;
    bool Absent(char axis) const { return absent_.contains(axis); }
    char Designation() const { return designation_; } // 0: not known
    std::optional<QByteArray> ModelText(char axis) const;

    // A line's command (blanks, the final CR and a leading designation removed) and the axis a
    // line designates ('X' of "X:" or "X:VER", '*' of "*:", 0 when it designates none).
    static QByteArray CommandOf(QByteArray line);
    static char DesignationOf(const QByteArray& line);

private:
    // A line out whose answer has still to come.
    enum class ItemKind { Write, Settle, Learn, Question, Scan, Continuous };
    struct Item {
        explicit Item(ItemKind itemKind) : kind(itemKind) {}
        ItemKind kind;
        int seq = 0;           // the step's own name for it
        int id = 0;            // the asker's or writer's; 0 for the step's own lines
        char axis = 0;         // the axis of the flight it belongs to
        char asked = 0;        // the axis the line addressed (a settling line under "*": one axis)
        QByteArray command;    // as sent, without designation and CR
        QByteArray expected;   // the only answer it can have (empty: any)
        QByteArray excluded;   // an answer it can never have (the model text, for a write)
        bool required = true;  // its answer comes while its axis answers
        bool ended = false;    // its asker has been told, or gave up: its answer is discarded
        bool told = false;     // ended by telling the asker (not by a withdrawal)
        bool second = false;   // Learn: the second of the pair, whose answer equals the first's
        bool doubtful = false; // its answer may have been lost (purge, close): silence says nothing
        bool unproven = false; // a write to an axis that never gave its model text
        Ms sentAt = 0;
        Ms limitMs = 0;      // Question: its limit from sentAt; 0 none
        Ms giveUpAt = 0;     // a question given up on: no longer required from then
        int closedAt = 0;    // the serial of the first line it cannot take (0: open)
        int heardBefore = 0; // the serial of the next line to come when it went out
    };
    struct PendingLine {
        QByteArray text;
        int serial;
    };
    // One way of reading the lines received that are not put to an item yet.
    struct Reading {
        std::size_t next = 0;            // the first item that may take the next line
        std::vector<std::size_t> takers; // the item that took each pending line
        QByteArray learnt;               // what the first of a learning pair took
        int skipped = 0; // lines out that had to have an answer and were read as unanswered
        std::vector<QByteArray> written; // what the writes took
        bool operator==(const Reading&) const = default;
    };
    // What waits to go out.
    struct Entry {
        enum class Type { Write, Question } type;
        int id = 0;
        QByteArray line;
        char axis = 0;
        Question question; // Question entries
    };

    std::deque<Entry> waiting_;
    std::vector<Item> flight_;
    std::vector<PendingLine> lines_;
    std::vector<Reading> readings_{Reading{}};
    char designation_ = '*'; // a driver starts with every axis designated
    std::set<char> absent_;  // axes whose settling line went unanswered in silence
    std::set<char> noModel_; // axes whose answers to "VER" did not agree: settled by the quiet
    std::map<char, QByteArray> modelTexts_;
    QByteArray scannedAxes_;
    bool portOpen_ = true;
    Ms now_ = 0;
    bool quietNeeded_ = false; // the step lost count: nothing goes until the line is quiet
    Ms lastHeard_ = 0;
    Ms lastSent_ = 0;
    int nextSeq_ = 0;
    int nextSerial_ = 1; // of the received lines
    int nextSendSerial_ = 0;
    std::vector<Action> actions_;
    // The sends of the batch the data module carries now, with the items they put out.
    struct SentLine {
        int serial;
        int batch;   // the TakeActions that handed it out
        int itemSeq; // 0: a designation
        int entryId; // the question or write it went for
    };
    std::deque<SentLine> sent_; // the latest sends
    int batch_ = 0;

    void Emit(Action::Type type, int id, QByteArray line = {}, bool asked = false,
              bool lineLost = false);
    // `actionId`: the id the Send action carries; `entryId`: the question or write it goes for.
    void SendLine(const QByteArray& line, int actionId, int entryId, bool probe, int itemSeq);
    void Designate(char axis, int actionId, int entryId, bool probe);
    char AxisOf(const Question& question) const;
    char ProbedAxis(char axis) const;
    std::optional<QByteArray> KnownModel(char axis) const;
    bool Distinctive(char axis) const;

    // Sending. Sent: the entry is done with; Wait: questions behind it wait, writes may pass;
    // Block: nothing behind it goes.
    enum class Go { Sent, Wait, Block };
    Go SendWrite(const Entry& entry);
    Go SendQuestion(const Entry& entry);
    Go SendScan(const Entry& entry);
    Go Learn(char axis, int entryId);
    bool FlightAllows(char axis) const;
    bool OnlyScansInFlight() const;
    bool NeedsLearning(char axis) const;
    bool Delimited() const;
    bool QuestionInFlight() const;
    bool ContinuousInFlight() const;
    void PushSettle(char axis, int entryId);
    int Push(Item item);
    void MakeOptional(Item& item);

    // Reading the answers.
    bool Accepts(const Item& item, const PendingLine& line, const Reading& reading) const;
    bool Skippable(const Item& item, bool finalizing) const;
    bool WriteAnsweredWithModel(const Item& item, const PendingLine& line,
                                const Reading& reading) const;
    void Extend(const Reading& reading, const PendingLine& line, bool finalizing,
                std::vector<Reading>& out) const;
    // Every way of reading the pending lines; the lines that fit no way go into `unread`. None
    // when there are too many ways to follow.
    std::optional<std::vector<Reading>> ReadAll(bool finalizing,
                                                std::vector<std::size_t>& unread) const;
    void Reread();
    void TakeLine(const QByteArray& text);
    void Commit();
    void CommitLine(std::size_t taker);
    bool ScanProbesAlike();
    void Shift(std::size_t count);
    // How an item that took no line ended: a later line of its axis came, its reply time went by
    // in quiet, or its axis did not answer at all.
    enum class Silence { Spoke, Expired, Lost };
    void ResolveFront(std::size_t count, Silence silence);
    void ResolveClosedFront();
    void Finish(Item& item, const QByteArray* line, Silence silence);
    void SettleByQuiet(bool finalizing);
    void CloseFlight();
    void GiveUp();

    // Time.
    Ms QuietAt() const { return std::max(lastHeard_, lastSent_) + kReplyTimeMs; }
    std::optional<Ms> ExpiryOf(const Item& item) const;
    void ExpireFront();
    void ProbeTimedOut(Item probe);

    void FailWaiting(char axis);
    bool OthersWaitFor(char absentAxis) const;
    void EndFlightAndWaiting(bool lineLost);
    void LoosenFlight();
    void Forget();
};
