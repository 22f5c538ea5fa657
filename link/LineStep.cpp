#include "LineStep.h"

#include <algorithm>
#include <utility>

namespace {

constexpr char CR = '\r';
const QByteArray kModelQuery = "VER";
// A driver's refusal of a command is never its model text.
const QByteArray kRefusal = "E-S";
// The command that starts the driver's continuous output; its lines go on after the answer.
const QByteArray kContinuousOutput = "==";

QByteArray DesignationLine(char axis) {
    return QByteArray(1, axis) + ":" + CR;
}

bool CanBeModelText(const QByteArray& line) {
    return !line.isEmpty() && line != kRefusal && line.size() <= LineStep::kLongestReply;
}

} // namespace

LineStep::LineStep() = default;

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

void LineStep::SendLine(const QByteArray& line, int id, bool probe) {
    Action send{Action::Type::Send, id, line};
    send.probe = probe;
    actions_.push_back(std::move(send));
    if (const char axis = DesignationOf(line)) designation_ = axis;
}

void LineStep::Designate(char axis, int id, bool probe) {
    if (designation_ != axis) SendLine(DesignationLine(axis), id, probe);
}

// A question keeps the axis it was asked for: its own designation, or its asker's.
void LineStep::Ask(Question question, Ms) {
    const char own = question.kind == Kind::Sync ? 0 : DesignationOf(question.line);
    if (own != 0)
        question.axis = own;
    else if (question.axis == 0)
        question.axis = designation_ != 0 ? designation_ : '*';
    waiting_.push_back(std::move(question));
}

void LineStep::Write(const QByteArray& line, Ms now, char axis) {
    const bool command = !CommandOf(line).isEmpty();
    if (command && axis != 0 && DesignationOf(line) == 0) Designate(axis, 0);
    SendLine(line, 0);
    if (!command) return;
    ++doubtfulWrites_;
    lastWriteAt_ = now;
}

void LineStep::Withdraw(int id, Ms now) {
    const auto waiting = std::find_if(waiting_.begin(), waiting_.end(),
                                      [id](const Question& q) { return q.id == id; });
    if (waiting != waiting_.end()) {
        waiting_.erase(waiting);
        return;
    }
    if (!out_ || out_->question.id != id) return;
    if (out_->question.kind == Kind::Scan) {
        // The scan goes on at once; the answer it gave up on may still come.
        if (!out_->answerLost) Doubt(out_->question.line, out_->question.axis);
        out_.reset();
        return;
    }
    out_->withdrawn = true;
    Tick(now); // its reply time may be over already
}

// An axis that is known not to answer does not hold the line for the others: its question ends
// at once while a question to another axis waits, and is probed again only when none does.
bool LineStep::OthersWaitFor(char absentAxis) const {
    return std::any_of(waiting_.begin(), waiting_.end(),
                       [&](const Question& q) { return q.axis != absentAxis && !Absent(q.axis); });
}

void LineStep::Advance(Ms now) {
    while (portOpen_ && !out_ && !probe_ && !waiting_.empty()) {
        const Question& head = waiting_.front();
        if (head.kind == Kind::Scan) break;
        const char axis = head.axis;
        if (Absent(axis) && OthersWaitFor(axis)) {
            Emit(Action::Type::Unanswered, head.id);
            waiting_.pop_front();
            continue;
        }
        if (!Settled() || !InStep(axis)) return StartProbe(axis, now);
        if (head.kind == Kind::Sync) {
            Emit(Action::Type::Answer, head.id);
            waiting_.pop_front();
            continue;
        }
        break;
    }
    if (!portOpen_ || out_ || probe_ || waiting_.empty()) return;
    Question question = std::move(waiting_.front());
    waiting_.pop_front();
    SendQuestion(std::move(question), now);
}

// Before a question goes to another axis than the line designates, its designation goes; a line
// that designates its own axis goes as it stands.
void LineStep::SendQuestion(Question question, Ms now) {
    if (DesignationOf(question.line) == 0) Designate(question.axis, question.id);
    SendLine(question.line, question.id);
    out_ = Out{std::move(question), now};
}

void LineStep::Received(const std::vector<QByteArray>& lines,
                        const std::optional<QByteArray>& delivered, Ms now) {
    lastHeard_ = now;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (probe_)
            TakeProbeLine(lines[i]);
        else if (out_ && !out_->answerLost)
            TakeAnswer(lines[i]);
        else
            return TakeUnasked(lines, i, delivered);
    }
}

// The driver answers in order and nothing sent before the question can still be answered: the
// first line after it is its answer.
void LineStep::TakeAnswer(const QByteArray& line) {
    if (line.size() > kLongestReply) {
        // The ring cannot cut it out: the question had its answer, unread, and waits its limit;
        // the lines after it answer something else.
        out_->answerLost = true;
        return;
    }
    const Out out = *std::exchange(out_, std::nullopt);
    const Question& question = out.question;
    absent_.erase(question.axis);
    if (out.withdrawn) return Emit(Action::Type::Discard, 0, line);
    const QByteArray command = CommandOf(question.line);
    if (question.kind == Kind::Question && command == kModelQuery && line != kRefusal)
        modelTexts_[question.axis] = line;
    if (command == kContinuousOutput) continuousOutput_ = true;
    Emit(Action::Type::Answer, question.id, line);
}

// Lines while nothing is asked: a driver's answer to a write, its continuous output. As the
// receive ring shows them, only the newest of an event is seen.
void LineStep::TakeUnasked(const std::vector<QByteArray>& lines, std::size_t from,
                           const std::optional<QByteArray>& delivered) {
    if (delivered && from < lines.size()) Emit(Action::Type::Unasked, 0, *delivered);
}

// Every line that comes while a probe is out answers something sent before it. With the model
// text known, the probe's own answers are counted until none is due; while it is learnt, two
// equal answers in a row are the probe's, when fewer than two lines before could have paired.
void LineStep::TakeProbeLine(const QByteArray& line) {
    Probe& probe = *probe_;
    probe.heard.push_back(line);
    if (probe.expected.isEmpty()) {
        const std::size_t n = probe.heard.size();
        if (!probe.pairTrusted || n < 2 || probe.heard[n - 2] != line || !CanBeModelText(line))
            return;
        LearnFromPair(probe);
    } else if (line == probe.expected) {
        --probe.due;
    } else {
        return;
    }
    probe.matched = true;
    if (probe.due <= 0) EndProbe(ProbeEnd::Answered);
}

void LineStep::LearnFromPair(Probe& probe) {
    probe.expected = probe.heard.back();
    modelTexts_[probe.asked] = probe.expected;
    probe.due -= int(std::count(probe.heard.begin(), probe.heard.end(), probe.expected));
}

void LineStep::Tick(Ms now) {
    if (out_ && OutDeadline() != 0 && now >= OutDeadline()) {
        const Out out = *std::exchange(out_, std::nullopt);
        LeaveStep(out.question);
        if (!out.withdrawn) Emit(Action::Type::Unanswered, out.question.id, {}, true);
    }
    if (!probe_ || now < ProbeDeadline()) return;
    const Probe& probe = *probe_;
    if (probe.heard.empty())
        EndProbe(ProbeEnd::Silent);
    else
        EndProbe(now < probe.sentAt + 2 * kProbeLimitMs ? ProbeEnd::Quiet : ProbeEnd::Unquiet);
}

// Silence for the probe limit fails it. Once anything has come, the line's quiet for one reply
// time decides: the driver answers in order and within the reply time, so once it falls quiet
// every line sent has had its answer. A line that never falls quiet fails at twice the limit.
// Writes go out while the probe waits: the quiet counts from the last of them too, so that each
// has had its reply time.
LineStep::Ms LineStep::ProbeDeadline() const {
    const Probe& probe = *probe_;
    const Ms writeAnswered = lastWriteAt_ + kReplyTimeMs;
    if (probe.heard.empty()) return std::max(probe.sentAt + kProbeLimitMs, writeAnswered);
    return std::min(std::max(lastHeard_ + kReplyTimeMs, writeAnswered),
                    probe.sentAt + 2 * kProbeLimitMs);
}

// A question's limit; a withdrawn one without a limit still gets one reply time.
LineStep::Ms LineStep::OutDeadline() const {
    const Question& question = out_->question;
    if (question.limitMs > 0) return out_->sentAt + question.limitMs;
    return out_->withdrawn ? out_->sentAt + kReplyTimeMs : 0;
}

// A question ended without its answer, which may still come: its axis is probed before its next
// question, and any question waits for the line to be brought back in step.
void LineStep::LeaveStep(const Question& question) {
    if (question.kind == Kind::Question) outOfStep_.insert(question.axis);
    Doubt(question.line, question.axis);
}

void LineStep::Doubt(const QByteArray& line, char axis) {
    ++doubtfulAnswers_;
    if (CommandOf(line) == kModelQuery) ++lateModelAnswers_[axis];
}

// Under "*" several axes would answer at once: one of those the scan found is asked.
char LineStep::ProbedAxis(char axis) const {
    return axis == '*' && scannedAxes_.size() > 1 ? scannedAxes_[0] : axis;
}

void LineStep::StartProbe(char axis, Ms now) {
    const char asked = ProbedAxis(axis);
    Designate(asked, 0, true);
    const auto known = modelTexts_.find(asked);
    const QByteArray expected = known != modelTexts_.end() ? known->second : QByteArray();
    const int own = expected.isEmpty() ? 2 : 1;
    // A late answer to "VER" of an axis whose model text may be the same looks like the probe's.
    int late = 0;
    for (const auto& [lateAxis, count] : lateModelAnswers_) {
        const auto text = modelTexts_.find(lateAxis);
        if (expected.isEmpty() || text == modelTexts_.end() || text->second == expected)
            late += count;
    }
    const bool trusted = doubtfulWrites_ + doubtfulAnswers_ < 2 && !continuousOutput_;
    // A continuous output is ended by the line's quiet only: no count of answers can end it.
    const int due = continuousOutput_ ? 1 << 30 : own + late;
    probe_ =
        Probe{axis, asked, expected, own, due, doubtfulWrites_, doubtfulAnswers_, trusted, now, {}};
    for (int i = 0; i < own; ++i)
        SendLine(kModelQuery + CR, 0, true);
}

// How a probe ends. Answered: its answers have come, and with them the answer, if any, to every
// line sent before it. Quiet: lines came and then none for a reply time: the driver answers in
// order and within that time, so every line sent has had its answer. Silent: nothing came for the
// whole limit: nothing sent before will be answered any more, and the axis is taken to be absent.
// Unquiet: lines never stopped; the probe's own answers may still come.
void LineStep::EndProbe(ProbeEnd end) {
    Probe probe = *std::exchange(probe_, std::nullopt);
    switch (end) {
    case ProbeEnd::Answered:
        doubtfulWrites_ -= probe.settlesWrites;
        doubtfulAnswers_ -= probe.settlesAnswers;
        break;
    case ProbeEnd::Quiet:
        LearnFromQuiet(probe);
        [[fallthrough]];
    case ProbeEnd::Silent:
        doubtfulWrites_ = 0;
        doubtfulAnswers_ = 0;
        continuousOutput_ = false;
        break;
    case ProbeEnd::Unquiet:
        break;
    }
    if (end == ProbeEnd::Unquiet) {
        doubtfulAnswers_ += probe.own;
        lateModelAnswers_[probe.asked] += probe.own;
    } else {
        lateModelAnswers_.clear();
    }
    ShowWhatCameBefore(probe, end);
    Emit(Action::Type::CutRing, 0);
    if (end == ProbeEnd::Answered || end == ProbeEnd::Quiet) {
        for (const char axis : {probe.axis, probe.asked}) {
            outOfStep_.erase(axis);
            absent_.erase(axis);
        }
        return;
    }
    outOfStep_.insert(probe.axis);
    absent_.insert(probe.axis);
    FailWaiting(probe.axis);
}

// While the model text is learnt, the last two lines before the quiet are the probe's answers
// when they agree. A known model text that did not come at all is forgotten: the driver may be
// another one now.
void LineStep::LearnFromQuiet(Probe& probe) {
    const std::size_t n = probe.heard.size();
    if (probe.expected.isEmpty()) {
        if (n >= 2 && probe.heard[n - 1] == probe.heard[n - 2] &&
            CanBeModelText(probe.heard[n - 1])) {
            probe.expected = probe.heard.back();
            modelTexts_[probe.asked] = probe.expected;
        }
    } else if (!probe.matched) {
        modelTexts_.erase(probe.asked);
        probe.expected.clear();
    }
}

// Where no question could have been answered before the probe, the lines that are not its
// answers are the answers to writes or a continuous output, and are shown as those are; the
// others are discarded.
void LineStep::ShowWhatCameBefore(const Probe& probe, ProbeEnd end) {
    const bool writesOnly = probe.settlesAnswers == 0 && !probe.expected.isEmpty() &&
                            (end == ProbeEnd::Answered || end == ProbeEnd::Quiet);
    for (const QByteArray& line : probe.heard) {
        const bool writeAnswer =
            writesOnly && line != probe.expected && line.size() <= kLongestReply;
        Emit(writeAnswer ? Action::Type::Unasked : Action::Type::Discard, 0, line);
    }
}

// The axis did not answer its probe: the questions that wait for it end unanswered.
void LineStep::FailWaiting(char axis) {
    std::deque<Question> kept;
    for (Question& question : waiting_) {
        if (question.kind == Kind::Scan || question.axis != axis)
            kept.push_back(std::move(question));
        else
            Emit(Action::Type::Unanswered, question.id);
    }
    waiting_ = std::move(kept);
}

// What went of a line that failed is not known: the line designates no known axis, and any
// answer to it answers nothing.
void LineStep::SendFailed(const Action& send, Ms) {
    designation_ = 0;
    ++doubtfulAnswers_;
    if (send.probe) {
        // The question the probe was for ends unanswered.
        probe_.reset();
        if (waiting_.empty() || waiting_.front().kind == Kind::Scan) return;
        const int id = waiting_.front().id;
        waiting_.pop_front();
        Emit(Action::Type::Unanswered, id);
        return;
    }
    if (send.id != 0 && out_ && out_->question.id == send.id) {
        const bool withdrawn = out_->withdrawn;
        out_.reset();
        if (!withdrawn) Emit(Action::Type::Unanswered, send.id);
    }
}

// What had come in and what waited to go out is gone, and with it perhaps the answer to the
// question out or to the probe: the question ends, and the line is brought back in step.
void LineStep::Purged(Ms) {
    if (out_) {
        const Out out = *std::exchange(out_, std::nullopt);
        Doubt(out.question.line, out.question.axis);
        if (!out.withdrawn) Emit(Action::Type::Unanswered, out.question.id, {}, true);
    }
    if (probe_) {
        for (int i = 0; i < probe_->own; ++i)
            Doubt(kModelQuery, probe_->asked);
        probe_.reset();
    }
}

void LineStep::EndEveryQuestion(bool lineLost) {
    if (out_) {
        const Out out = *std::exchange(out_, std::nullopt);
        if (!out.answerLost) Doubt(out.question.line, out.question.axis);
        if (!out.withdrawn)
            actions_.push_back({Action::Type::Unanswered, out.question.id, {}, true, lineLost});
    }
    if (probe_) {
        for (int i = 0; i < probe_->own; ++i)
            Doubt(kModelQuery, probe_->asked);
        probe_.reset();
    }
    for (const Question& question : waiting_)
        actions_.push_back({Action::Type::Unanswered, question.id, {}, false, lineLost});
    waiting_.clear();
}

// A closed port takes nothing more: every question ends now, once. Whatever was still to be
// answered may come after the port reopens, and answers nothing then.
void LineStep::PortClosed(Ms) {
    portOpen_ = false;
    EndEveryQuestion(false);
}

void LineStep::PortOpened(Ms, bool sameLine, bool sameDevice) {
    portOpen_ = true;
    if (!sameLine) {
        modelTexts_.clear();
        absent_.clear();
    }
    if (!sameDevice) designation_ = 0;
}

// Nothing more comes on a lost line: every question ends, and the line starts afresh with
// whatever device is opened next.
void LineStep::LineLost() {
    EndEveryQuestion(true);
    Forget();
}

void LineStep::Forget() {
    modelTexts_.clear();
    absent_.clear();
    outOfStep_.clear();
    lateModelAnswers_.clear();
    doubtfulWrites_ = 0;
    doubtfulAnswers_ = 0;
    continuousOutput_ = false;
    designation_ = 0;
}

void LineStep::SetScannedAxes(const QByteArray& letters) {
    scannedAxes_ = letters;
}

std::optional<LineStep::Ms> LineStep::NextDeadline() const {
    std::optional<Ms> next;
    const auto consider = [&next](Ms at) { next = next ? std::min(*next, at) : at; };
    if (out_ && OutDeadline() != 0) consider(OutDeadline());
    if (probe_) consider(ProbeDeadline());
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
