#include "LineStep.h"

#include <algorithm>
#include <utility>

namespace {

constexpr char CR = '\r';
const QByteArray kModelQuery = "VER";
// A driver's refusal of a command is never its model text.
const QByteArray kRefusal = "E-S";
// Every key a designation can name: the letters and "*".
const QByteArray kAxisKeys = "*ABCDEFGHIJKLMNOPQRSTUVWXYZ";
// How many answered questions the round trip of the line is taken from.
constexpr std::size_t kTimedAnswers = 8;
// The round trip assumed before any answer was timed, in characters of the line.
constexpr int kAssumedRoundTripChars = 24;
// The least wait after a write, for a driver (or a program) that was busy for a moment.
constexpr LineStep::Ms kLeastSettleMs = 10;
// Waits after writes to an axis that heard nothing before the axis is trusted not to answer.
constexpr int kQuietWritesTrusted = 4;

QByteArray DesignationLine(char axis) {
    return QByteArray(1, axis) + ":" + CR;
}

} // namespace

LineStep::LineStep() {
    for (const char key : kAxisKeys)
        inStep_.insert(key);
}

QByteArray LineStep::CommandOf(QByteArray line) {
    line.replace(' ', QByteArray());
    if (line.endsWith(CR)) line.chop(1);
    if (DesignationOf(line) != 0) line.remove(0, 2);
    return line;
}

char LineStep::DesignationOf(const QByteArray& line) {
    QByteArray bare = line;
    bare.replace(' ', QByteArray());
    if (bare.size() < 2 || bare[1] != ':') return 0;
    const char axis = bare[0];
    return axis == '*' || (axis >= 'A' && axis <= 'Z') ? axis : 0;
}

void LineStep::Emit(Action::Type type, int id, QByteArray line, bool asked) {
    actions_.push_back({type, id, std::move(line), asked});
}

std::vector<LineStep::Action> LineStep::TakeActions() {
    return std::exchange(actions_, {});
}

void LineStep::SendLine(const QByteArray& line, int id) {
    Emit(Action::Type::Send, id, line);
    NoteDesignation(line);
}

void LineStep::NoteDesignation(const QByteArray& line) {
    if (const char axis = DesignationOf(line)) designation_ = axis;
}

char LineStep::AxisOf(const Question& question) const {
    const char own = question.kind == Kind::Sync ? 0 : DesignationOf(question.line);
    return own != 0 ? own : designation_;
}

bool LineStep::CanGoNow(const Question& question, Ms now) const {
    return portOpen_ && !out_ && !probe_ && waiting_.empty() && !WaitsForWriteAnswers(now) &&
           InStep(AxisOf(question));
}

void LineStep::Ask(Question question, Ms now) {
    // A designation is never held back: it goes now, and the command waits its turn for the
    // axis it designated.
    const char own = question.kind == Kind::Question ? DesignationOf(question.line) : 0;
    if (own != 0 && !CanGoNow(question, now)) {
        SendLine(DesignationLine(own));
        question.line.remove(0, question.line.indexOf(':') + 1);
    }
    waiting_.push_back(std::move(question));
}

void LineStep::Write(const QByteArray& line, Ms now) {
    SendLine(line);
    if (CommandOf(line).isEmpty()) return;
    JudgeSettle(now);
    lastWriteAxis_ = designation_;
    switch (HabitOf(lastWriteAxis_)) {
    case WriteHabit::Answers:
        ++writeAnswersDue_;
        writeAnswersDueUntil_ = now + kReplyTimeMs;
        return;
    case WriteHabit::Silent:
        return;
    case WriteHabit::Unknown:
        settleUntil_ = std::max(settleUntil_, now + SettleMs(line));
        settleExtensions_ = 0;
        if (settleAxis_ == 0) settleHeard_ = false;
        settleAxis_ = lastWriteAxis_;
        return;
    }
}

LineStep::WriteHabit LineStep::HabitOf(char axis) const {
    const auto known = writeHabits_.find(axis);
    return known == writeHabits_.end() ? WriteHabit::Unknown : known->second;
}

// A wait after a write that is over and heard nothing counts towards trusting the axis.
void LineStep::JudgeSettle(Ms now) {
    if (settleAxis_ == 0 || now < settleUntil_) return;
    if (!settleHeard_ && ++quietWrites_[settleAxis_] >= kQuietWritesTrusted)
        writeHabits_[settleAxis_] = WriteHabit::Silent;
    settleAxis_ = 0;
}

void LineStep::WriteAnswersAwaited() {
    settleUntil_ = 0;
    writeAnswersDue_ = 0;
}

bool LineStep::WaitsForWriteAnswers(Ms now) const {
    return now < settleUntil_ || (writeAnswersDue_ > 0 && now < writeAnswersDueUntil_);
}

// A line while no question is out: the answer to a write. One that comes while a question waits
// for the line's round trip after a write shows that the axis answers writes: from then on a
// question after a write to it waits for the write's answer itself.
void LineStep::TakeUnasked(const QByteArray& line, Ms now) {
    if (writeAnswersDue_ > 0) {
        --writeAnswersDue_;
    } else if (settleAxis_ != 0 && now < settleUntil_) {
        settleHeard_ = true;
        writeHabits_[settleAxis_] = WriteHabit::Answers;
    } else if (lastWriteAxis_ != 0 && HabitOf(lastWriteAxis_) == WriteHabit::Silent) {
        // Perhaps an answer to a write after all: the writes to it are waited for again.
        writeHabits_.erase(lastWriteAxis_);
        quietWrites_.erase(lastWriteAxis_);
    }
    Emit(Action::Type::Unasked, 0, line);
}

// An answer to a write, if the driver gives one, takes about as long as an answer to a question:
// the question after it waits twice the line's usual round trip (the median of the last answers,
// so that one answer held up by a busy driver does not slow every later one), and a little more.
LineStep::Ms LineStep::SettleMs(const QByteArray&) const {
    Ms roundTrip = Ms(msPerChar_ * kAssumedRoundTripChars);
    if (!roundTrips_.empty()) {
        std::vector<Ms> sorted(roundTrips_.begin(), roundTrips_.end());
        std::nth_element(sorted.begin(), sorted.begin() + sorted.size() / 2, sorted.end());
        roundTrip = sorted[sorted.size() / 2];
    }
    return std::clamp<Ms>(2 * roundTrip + 3, kLeastSettleMs, kReplyTimeMs / 2);
}

void LineStep::Withdraw(int id, Ms now) {
    const auto waiting = std::find_if(waiting_.begin(), waiting_.end(),
                                      [id](const Question& q) { return q.id == id; });
    if (waiting != waiting_.end()) {
        waiting_.erase(waiting);
        return;
    }
    if (!out_ || out_->question.id != id) return;
    if (out_->question.kind == Kind::Scan) return out_.reset();
    out_->withdrawn = true;
    Tick(now); // its reply time may be over already
}

void LineStep::Advance(Ms now) {
    while (portOpen_ && !out_ && !probe_ && !waiting_.empty()) {
        const Question& head = waiting_.front();
        const char axis = AxisOf(head);
        if (head.kind != Kind::Scan && !InStep(axis)) return StartProbe(axis, now);
        if (head.kind == Kind::Sync) {
            Emit(Action::Type::Answer, head.id);
            waiting_.pop_front();
            continue;
        }
        if (WaitsForWriteAnswers(now)) return;
        Question question = std::move(waiting_.front());
        waiting_.pop_front();
        return SendQuestion(std::move(question), now);
    }
}

void LineStep::SendQuestion(Question question, Ms now) {
    const char axis = AxisOf(question);
    SendLine(question.line, question.id);
    out_ = Out{std::move(question), now, axis};
}

void LineStep::Received(const std::vector<QByteArray>& lines,
                        const std::optional<QByteArray>& delivered, Ms now) {
    lastHeard_ = now;
    if (probe_) {
        probe_->heard = true;
        // Whatever follows the probe's answer in the same event came before any question.
        for (const QByteArray& line : lines) {
            if (probe_)
                TakeProbeLine(line);
            else
                Emit(Action::Type::Discard, 0, line);
        }
        return;
    }
    if (!delivered) return;
    if (!out_) return TakeUnasked(*delivered, now);
    const Out out = *std::exchange(out_, std::nullopt);
    roundTrips_.push_back(now - out.sentAt);
    if (roundTrips_.size() > kTimedAnswers) roundTrips_.pop_front();
    if (out.withdrawn) return Emit(Action::Type::Discard, 0, *delivered);
    // A model text is learnt only from an answer to the model query.
    if (out.question.kind == Kind::Question && CommandOf(out.question.line) == kModelQuery &&
        *delivered != kRefusal)
        modelTexts_[out.axis] = *delivered;
    Emit(Action::Type::Answer, out.question.id, *delivered);
}

// Every line that comes while a probe is out is discarded; the probe's own answers are counted
// until none is due. Before a model text is known the probe goes twice, and two equal answers in
// a row are its answers.
void LineStep::TakeProbeLine(const QByteArray& line) {
    Probe& probe = *probe_;
    Emit(Action::Type::Discard, 0, line);
    if (!probe.expected.isEmpty()) {
        if (line != probe.expected) return;
        probe.matched = true;
        if (--probe.due <= 0) EndProbe(true);
        return;
    }
    const bool pair = !line.isEmpty() && line == probe.previous && line != kRefusal;
    probe.previous = line;
    if (!pair) return;
    modelTexts_[probe.asked] = line;
    probe.expected = line;
    probe.previous.clear();
    probe.matched = true;
    probe.due -= 2;
    if (probe.due <= 0) EndProbe(true);
}

void LineStep::Tick(Ms now, Ms lateMs) {
    // An answer to a write that does not come: the axis does not answer every write after all.
    if (writeAnswersDue_ > 0 && now >= writeAnswersDueUntil_) {
        writeAnswersDue_ = 0;
        writeHabits_.erase(lastWriteAxis_);
    }
    const bool settling = !out_ && !probe_ && !waiting_.empty() && settleUntil_ > 0;
    if (settling && now >= settleUntil_ && lateMs > kLeastSettleMs / 2 && settleExtensions_ < 2) {
        ++settleExtensions_;
        settleUntil_ = now + kLeastSettleMs;
    }
    if (out_ && OutDeadline() != 0 && now >= OutDeadline()) {
        const Out out = *std::exchange(out_, std::nullopt);
        if (out.question.kind == Kind::Question) LeaveStep(out);
        if (!out.withdrawn) Emit(Action::Type::Unanswered, out.question.id, {}, true);
    }
    if (!probe_ || now < ProbeDeadline()) return;
    const Probe& probe = *probe_;
    const bool quiet = probe.heard && now < probe.sentAt + 2 * kProbeLimitMs;
    // Lines came and none was a known model text: the driver may be another one now.
    if (quiet && !probe.matched) modelTexts_.erase(probe.asked);
    EndProbe(quiet);
}

// Silence for the probe limit fails it. Once anything has come, the line's quiet for one reply
// time decides: the driver answers in order and at once, so an answer still missing then is lost
// (a probe sent while the driver was cut off, an answer that cannot be told from others). A line
// that never falls quiet fails at twice the limit.
LineStep::Ms LineStep::ProbeDeadline() const {
    const Probe& probe = *probe_;
    if (!probe.heard) return probe.sentAt + kProbeLimitMs;
    return std::min(lastHeard_ + kReplyTimeMs, probe.sentAt + 2 * kProbeLimitMs);
}

// A question's limit; a withdrawn one without a limit still gets one reply time.
LineStep::Ms LineStep::OutDeadline() const {
    const Question& question = out_->question;
    if (question.limitMs > 0) return out_->sentAt + question.limitMs;
    return out_->withdrawn ? out_->sentAt + kReplyTimeMs : 0;
}

bool LineStep::ProbeUnclear() const {
    return probe_ && probe_->heard && !probe_->matched;
}

// The question out has ended without its answer, which may still come: every axis needs a
// probe before its next question, and a late answer to "VER" will look like a probe's.
void LineStep::LeaveStep(const Out& out) {
    inStep_.clear();
    if (CommandOf(out.question.line) == kModelQuery) ++lateModelAnswers_[out.axis];
}

void LineStep::StartProbe(char axis, Ms now) {
    // Under "*" several axes would answer at once: one of those the scan found is asked.
    char asked = axis;
    if (axis == '*' && scannedAxes_.size() > 1) {
        asked = scannedAxes_[0];
        SendLine(DesignationLine(asked));
    }
    const auto known = modelTexts_.find(asked);
    const QByteArray expected = known != modelTexts_.end() ? known->second : QByteArray();
    const int probes = expected.isEmpty() ? 2 : 1;
    int due = probes + lateModelAnswers_[axis];
    if (asked != axis) due += lateModelAnswers_[asked];
    for (int i = 0; i < probes; ++i)
        SendLine(kModelQuery + CR);
    probe_ = Probe{axis, asked, expected, {}, due, now};
}

// What came in while the probe was out stays behind a line end, so the next answer is cut out
// whole. The designation the probe changed is given back before any question goes.
void LineStep::EndProbe(bool inStep) {
    const Probe probe = *std::exchange(probe_, std::nullopt);
    Emit(Action::Type::CutRing, 0);
    if (probe.asked != probe.axis && designation_ == probe.asked)
        SendLine(DesignationLine(probe.axis));
    if (!inStep) return FailWaiting(probe.axis);
    inStep_.insert(probe.axis);
    inStep_.insert(probe.asked);
    lateModelAnswers_.erase(probe.axis);
    lateModelAnswers_.erase(probe.asked);
}

// The axis did not answer its probe: the questions that wait for it end unanswered. (A scan's
// probe names its own axis, and a question waiting after a new designation gets its own probe.)
void LineStep::FailWaiting(char axis) {
    if (designation_ != axis) return;
    std::deque<Question> kept;
    for (Question& question : waiting_) {
        if (question.kind == Kind::Scan || AxisOf(question) != axis)
            kept.push_back(std::move(question));
        else
            Emit(Action::Type::Unanswered, question.id);
    }
    waiting_ = std::move(kept);
}

void LineStep::SendFailed(const Action& send, Ms) {
    if (send.id != 0) {
        if (out_ && out_->question.id == send.id) {
            out_.reset();
            Emit(Action::Type::Unanswered, send.id);
        }
        return;
    }
    // A probe's send: the question it was for ends unanswered.
    if (!probe_) return;
    probe_.reset();
    if (waiting_.empty() || waiting_.front().kind == Kind::Scan) return;
    const int id = waiting_.front().id;
    waiting_.pop_front();
    Emit(Action::Type::Unanswered, id);
}

// A probe's answer may have gone with what was dropped, or with the closed port: the question
// it was for sends another.
void LineStep::Purged(Ms) {
    probe_.reset();
}

void LineStep::PortClosed(Ms) {
    portOpen_ = false;
    probe_.reset();
}

void LineStep::PortOpened(Ms) {
    portOpen_ = true;
}

// Nothing more comes on a lost line: every question ends, and the line starts afresh.
void LineStep::LineLost() {
    if (out_) actions_.push_back({Action::Type::Unanswered, out_->question.id, {}, true, true});
    for (const Question& question : waiting_)
        actions_.push_back({Action::Type::Unanswered, question.id, {}, false, true});
    out_.reset();
    probe_.reset();
    waiting_.clear();
    lateModelAnswers_.clear();
    settleUntil_ = 0;
    writeAnswersDue_ = 0;
    for (const char key : kAxisKeys)
        inStep_.insert(key);
}

void LineStep::SetScannedAxes(const QByteArray& letters) {
    scannedAxes_ = letters;
}

void LineStep::SetRate(int bitsPerSecond) {
    if (bitsPerSecond > 0) msPerChar_ = 10000.0 / bitsPerSecond; // start, 8 bits, stop
}

std::optional<LineStep::Ms> LineStep::NextDeadline() const {
    std::optional<Ms> next;
    const auto consider = [&next](Ms at) { next = next ? std::min(*next, at) : at; };
    if (out_ && OutDeadline() != 0) consider(OutDeadline());
    if (probe_) consider(ProbeDeadline());
    if (portOpen_ && !out_ && !probe_ && !waiting_.empty()) {
        consider(settleUntil_);
        if (writeAnswersDue_ > 0) consider(writeAnswersDueUntil_);
    }
    return next;
}

bool LineStep::Pending(int id) const {
    if (out_ && out_->question.id == id && !out_->withdrawn) return true;
    return std::any_of(waiting_.begin(), waiting_.end(),
                       [id](const Question& q) { return q.id == id; });
}

int LineStep::QuestionOut() const {
    return out_ && !out_->withdrawn ? out_->question.id : 0;
}

std::optional<QByteArray> LineStep::ModelText(char axis) const {
    const auto known = modelTexts_.find(axis);
    if (known == modelTexts_.end()) return std::nullopt;
    return known->second;
}
