#include "LineStep.h"

#include <utility>

namespace {

constexpr char CR = '\r';
const QByteArray kModelQuery = "VER";
// The driver's refusal of a command, and its word that a long write is done: a write's answers.
const QByteArray kRefusal = "E-S";
const QByteArray kWriteDone = "OK";
// The command that starts the driver's continuous output; its lines go on after the answer.
const QByteArray kContinuousOutput = "==";
constexpr std::size_t kSendsKept = 256;

QByteArray DesignationLine(char axis) {
    return QByteArray(1, axis) + ":" + CR;
}

bool Readable(const QByteArray& line) {
    return !line.isEmpty() && line.size() <= LineStep::kLongestReply;
}

template <class T> void Dedupe(std::vector<T>& values) {
    std::vector<T> unique;
    for (T& value : values)
        if (std::find(unique.begin(), unique.end(), value) == unique.end())
            unique.push_back(std::move(value));
    values = std::move(unique);
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

void LineStep::Emit(Action::Type type, int id, QByteArray line, bool asked, bool lineLost) {
    Action action{type, id, std::move(line), asked, lineLost};
    action.tooLong = (type == Action::Type::Answer || type == Action::Type::WriteAnswer) &&
                     action.line.size() > kLongestReply;
    actions_.push_back(std::move(action));
}

std::vector<LineStep::Action> LineStep::TakeActions() {
    ++batch_;
    return std::exchange(actions_, {});
}

void LineStep::SendLine(const QByteArray& line, int actionId, int entryId, bool probe,
                        int itemSeq) {
    Action send{Action::Type::Send, actionId, line};
    send.probe = probe;
    send.serial = ++nextSendSerial_;
    actions_.push_back(std::move(send));
    sent_.push_back({nextSendSerial_, batch_, itemSeq, entryId});
    if (sent_.size() > kSendsKept) sent_.pop_front();
    if (const char axis = DesignationOf(line)) designation_ = axis;
    lastSent_ = now_;
}

void LineStep::Designate(char axis, int actionId, int entryId, bool probe) {
    if (designation_ != axis) SendLine(DesignationLine(axis), actionId, entryId, probe, 0);
}

// Under "*" several axes would answer at once: the settling line asks one of those the scan
// found, by its letter.
char LineStep::ProbedAxis(char axis) const {
    return axis == '*' && scannedAxes_.size() > 1 ? scannedAxes_[0] : axis;
}

std::optional<QByteArray> LineStep::KnownModel(char axis) const {
    const auto known = modelTexts_.find(axis);
    if (known == modelTexts_.end()) return std::nullopt;
    return known->second;
}

// A model text that no write is ever answered with: a line that equals it is the settling
// line's answer for sure.
bool LineStep::Distinctive(char axis) const {
    const auto known = KnownModel(axis);
    return known && *known != kRefusal && *known != kWriteDone;
}

// ---- what is asked and written

// A question keeps the axis it was asked for: its own designation, or its asker's.
void LineStep::Ask(Question question, Ms now) {
    now_ = now;
    const char own = question.kind == Kind::Sync ? 0 : DesignationOf(question.line);
    if (own != 0)
        question.axis = own;
    else if (question.axis == 0)
        question.axis = designation_ != 0 ? designation_ : '*';
    Entry entry{Entry::Type::Question, question.id, question.line, question.axis, question};
    waiting_.push_back(std::move(entry));
}

void LineStep::Write(int id, const QByteArray& line, Ms now, char axis) {
    now_ = now;
    if (CommandOf(line).isEmpty()) {
        // A bare designation or a blank line: nothing answers it, and it goes at once.
        SendLine(line, id, id, false, 0);
        return;
    }
    const char own = DesignationOf(line);
    const char target = own != 0 ? own : axis != 0 ? axis : designation_ != 0 ? designation_ : '*';
    waiting_.push_back({Entry::Type::Write, id, line, target, {}});
}

void LineStep::Withdraw(int id, Ms now) {
    now_ = now;
    const auto waiting = std::find_if(waiting_.begin(), waiting_.end(),
                                      [id](const Entry& entry) { return entry.id == id; });
    if (waiting != waiting_.end()) {
        waiting_.erase(waiting);
        return;
    }
    bool changed = false;
    for (Item& item : flight_) {
        if (item.id != id || item.ended) continue;
        item.ended = true;
        if (item.kind == ItemKind::Write) continue; // its answer still comes, for nobody
        // The answer may still come within its reply time; then nothing waits for it.
        const Ms at = item.sentAt + kReplyTimeMs;
        if (item.kind == ItemKind::Scan || now >= at)
            MakeOptional(item);
        else
            item.giveUpAt = at;
        changed = true;
    }
    if (!changed) return;
    Reread();
    Commit();
}

// ---- sending

void LineStep::Advance(Ms now) {
    now_ = now;
    if (!portOpen_) return;
    if (quietNeeded_) {
        if (now < QuietAt()) return;
        quietNeeded_ = false;
    }
    bool questionsWait = false;
    for (std::size_t i = 0; i < waiting_.size();) {
        const Entry entry = waiting_[i];
        if (entry.type == Entry::Type::Question && questionsWait) {
            ++i;
            continue;
        }
        const Go go = entry.type == Entry::Type::Write ? SendWrite(entry) : SendQuestion(entry);
        if (go == Go::Block) return;
        if (go == Go::Wait) {
            questionsWait = true;
            ++i;
            continue;
        }
        const auto sent = std::find_if(waiting_.begin(), waiting_.end(),
                                       [&](const Entry& e) { return e.id == entry.id; });
        if (sent != waiting_.end()) waiting_.erase(sent);
    }
}

int LineStep::Push(Item item) {
    item.seq = ++nextSeq_;
    item.sentAt = now_;
    item.heardBefore = nextSerial_;
    flight_.push_back(std::move(item));
    return flight_.back().seq;
}

// The flight addresses one axis at a time; the scan's probes, whose answers are known, stand
// aside.
bool LineStep::FlightAllows(char axis) const {
    return std::all_of(flight_.begin(), flight_.end(), [axis](const Item& item) {
        return item.kind == ItemKind::Scan || item.axis == axis;
    });
}

bool LineStep::OnlyScansInFlight() const {
    return std::all_of(flight_.begin(), flight_.end(),
                       [](const Item& item) { return item.kind == ItemKind::Scan; });
}

bool LineStep::NeedsLearning(char axis) const {
    const char asked = ProbedAxis(axis);
    return !KnownModel(asked) && !noModel_.contains(asked);
}

// Every line out that may or may not be answered has a settling line after it, so that the
// next question's answer cannot be taken for its.
bool LineStep::Delimited() const {
    std::size_t settled = 0;
    for (std::size_t i = 0; i < flight_.size(); ++i) {
        const Item& item = flight_[i];
        if ((item.kind == ItemKind::Settle || item.kind == ItemKind::Learn) && item.required)
            settled = i + 1;
    }
    for (std::size_t i = settled; i < flight_.size(); ++i)
        if (!flight_[i].required && flight_[i].closedAt == 0) return false;
    return true;
}

bool LineStep::Settling() const {
    return std::any_of(flight_.begin(), flight_.end(), [](const Item& item) {
        return (item.kind == ItemKind::Settle || item.kind == ItemKind::Learn) && item.required;
    });
}

bool LineStep::QuestionInFlight() const {
    return std::any_of(flight_.begin(), flight_.end(), [](const Item& item) {
        return ((item.kind == ItemKind::Question || item.kind == ItemKind::Scan) && !item.ended) ||
               (item.kind == ItemKind::Learn && item.required);
    });
}

bool LineStep::ContinuousInFlight() const {
    return std::any_of(flight_.begin(), flight_.end(),
                       [](const Item& item) { return item.kind == ItemKind::Continuous; });
}

LineStep::Go LineStep::SendWrite(const Entry& entry) {
    const char axis = entry.axis;
    const bool ownDesignation = DesignationOf(entry.line) != 0;
    if (!FlightAllows(axis)) return Go::Block;
    if (ContinuousInFlight()) {
        // Its answer, if any, is lost in the driver's output: nothing can settle it.
        if (!ownDesignation) Designate(axis, entry.id, entry.id, false);
        SendLine(entry.line, entry.id, entry.id, false, 0);
        Emit(Action::Type::WriteUnknown, entry.id, {}, true);
        return Go::Sent;
    }
    // A write goes at once; while its axis's model text is not known, nothing can go with it to
    // settle it, and the question after it learns the model text first.
    const char asked = ProbedAxis(axis);
    if (!ownDesignation) Designate(axis, entry.id, entry.id, false);
    Item write{ItemKind::Write};
    write.id = entry.id;
    write.axis = axis;
    write.asked = axis;
    write.command = CommandOf(entry.line);
    write.required = false;
    if (Distinctive(asked)) write.excluded = *KnownModel(asked);
    write.doubtful = Absent(axis);
    write.unproven = NeedsLearning(axis);
    const int seq = Push(write);
    SendLine(entry.line, entry.id, entry.id, false, seq);
    if (KnownModel(asked) && !Absent(axis)) PushSettle(axis, entry.id);
    return Go::Sent;
}

LineStep::Go LineStep::SendQuestion(const Entry& entry) {
    const Question& question = entry.question;
    const char axis = question.axis;
    if (question.kind == Kind::Scan) return SendScan(entry);
    if (QuestionInFlight()) return Go::Wait;
    if (Absent(axis) && OthersWaitFor(axis)) {
        // An axis known not to answer does not hold the line for the others.
        Emit(Action::Type::Unanswered, entry.id);
        return Go::Sent;
    }
    if (!FlightAllows(axis)) return Go::Block;
    if (ContinuousInFlight()) return Go::Wait;
    if (!Delimited()) {
        if (NeedsLearning(axis)) return Learn(axis, entry.id);
        // An axis without a usable model text is settled by the line's quiet alone.
        if (!KnownModel(ProbedAxis(axis))) return Go::Block;
        PushSettle(axis, entry.id);
    }
    if (question.kind == Kind::Sync) {
        if (!flight_.empty()) return Go::Block;
        Emit(Action::Type::Answer, entry.id);
        return Go::Sent;
    }
    const char own = DesignationOf(question.line);
    if (own == 0) Designate(axis, entry.id, entry.id, false);
    Item item{ItemKind::Question};
    item.id = entry.id;
    item.axis = axis;
    item.asked = own != 0 ? own : axis;
    item.command = CommandOf(question.line);
    item.limitMs = question.limitMs;
    const int seq = Push(item);
    SendLine(question.line, entry.id, entry.id, false, seq);
    if (item.command == kContinuousOutput) {
        Item output{ItemKind::Continuous};
        output.axis = axis;
        output.asked = item.asked;
        output.required = false;
        Push(output);
    }
    return Go::Sent;
}

// A probe of the scan goes once nothing but other probes can still be answered: its known answer
// tells it from theirs.
LineStep::Go LineStep::SendScan(const Entry& entry) {
    if (QuestionInFlight()) return Go::Wait;
    if (!OnlyScansInFlight()) return Go::Block;
    const Question& question = entry.question;
    Item item{ItemKind::Scan};
    item.id = entry.id;
    item.axis = item.asked = question.axis;
    item.command = CommandOf(question.line);
    item.expected = question.expected;
    item.required = false;
    item.limitMs = question.limitMs;
    const int seq = Push(item);
    SendLine(question.line, entry.id, entry.id, false, seq);
    return Go::Sent;
}

// An axis whose model text is not known is asked "VER" twice, once no question is out: the first
// two equal lines after what the lines out may still bring are its model text. Nothing else goes
// until they have come.
LineStep::Go LineStep::Learn(char axis, int entryId) {
    if (QuestionInFlight() || ContinuousInFlight()) return Go::Block;
    // The answers that writes took before say nothing of the text learnt now.
    for (Reading& reading : readings_)
        reading.written.clear();
    const char asked = ProbedAxis(axis);
    Designate(asked, 0, entryId, true);
    for (const bool second : {false, true}) {
        Item learn{ItemKind::Learn};
        learn.axis = axis;
        learn.asked = asked;
        learn.command = kModelQuery;
        learn.second = second;
        const int seq = Push(learn);
        SendLine(kModelQuery + CR, 0, entryId, true, seq);
    }
    return Go::Block;
}

void LineStep::PushSettle(char axis, int entryId) {
    const char asked = ProbedAxis(axis);
    Designate(asked, 0, entryId, true);
    Item settle{ItemKind::Settle};
    settle.axis = axis;
    settle.asked = asked;
    settle.command = kModelQuery;
    settle.expected = *KnownModel(asked);
    const int seq = Push(settle);
    SendLine(kModelQuery + CR, 0, entryId, true, seq);
}

// A line out whose answer need not come any more: a late answer of a question other than "VER"
// is never the model text.
void LineStep::MakeOptional(Item& item) {
    if (!item.required) return;
    item.required = false;
    const char settledBy = ProbedAxis(item.axis);
    if (item.kind == ItemKind::Question && item.command != kModelQuery && Distinctive(settledBy) &&
        item.excluded.isEmpty())
        item.excluded = *KnownModel(settledBy);
}

// ---- reading the answers

bool LineStep::Accepts(const Item& item, const PendingLine& line, const Reading& reading) const {
    if (item.closedAt != 0 && line.serial >= item.closedAt) return false;
    switch (item.kind) {
    case ItemKind::Write:
    case ItemKind::Question:
        return item.excluded.isEmpty() || line.text != item.excluded;
    case ItemKind::Settle:
    case ItemKind::Scan:
        return line.text == item.expected;
    case ItemKind::Learn:
        return Readable(line.text) && (!item.second || line.text == reading.learnt);
    case ItemKind::Continuous:
        return true;
    }
    return false;
}

// While the lines are read as they come, a line out that must be answered is not passed over;
// once the flight is given up (finalizing), any may have gone unanswered.
bool LineStep::Skippable(const Item& item, bool finalizing) const {
    return finalizing || !item.required || item.closedAt != 0;
}

// While a model text is learnt, a reading in which a write was answered with it does not stand,
// whether the write took it before or after the text was learnt: no write is answered with a
// model text (a refusal or "OK" are not taken for one).
bool LineStep::WriteAnsweredWithModel(const Item& item, const PendingLine& line,
                                      const Reading& reading) const {
    if (line.text == kRefusal || line.text == kWriteDone) return false;
    if (item.kind == ItemKind::Write)
        return !reading.learnt.isEmpty() && line.text == reading.learnt;
    if (item.kind != ItemKind::Learn || item.second) return false;
    return std::find(reading.written.begin(), reading.written.end(), line.text) !=
           reading.written.end();
}

void LineStep::Extend(const Reading& reading, const PendingLine& line, bool finalizing,
                      std::vector<Reading>& out) const {
    Reading passed = reading;
    for (std::size_t q = reading.next; q < flight_.size(); ++q) {
        const Item& item = flight_[q];
        if (Accepts(item, line, passed) && !WriteAnsweredWithModel(item, line, passed)) {
            Reading taken = passed;
            taken.takers.push_back(q);
            taken.next = item.kind == ItemKind::Continuous ? q : q + 1;
            if (item.kind == ItemKind::Learn && !item.second) taken.learnt = line.text;
            if (item.kind == ItemKind::Write) taken.written.push_back(line.text);
            out.push_back(std::move(taken));
        }
        if (!Skippable(item, finalizing)) return;
        if (item.required && item.closedAt == 0) ++passed.skipped;
    }
}

std::optional<std::vector<LineStep::Reading>>
LineStep::ReadAll(bool finalizing, std::vector<std::size_t>& unread) const {
    std::vector<Reading> readings{Reading{}};
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        std::vector<Reading> next;
        for (const Reading& reading : readings)
            Extend(reading, lines_[i], finalizing, next);
        Dedupe(next);
        if (next.empty()) {
            unread.push_back(i);
            continue;
        }
        if (next.size() > kMostReadings) return std::nullopt;
        readings = std::move(next);
    }
    return readings;
}

// The ways of reading the pending lines again, after a line out changed (it may go unanswered
// now, or it can take no more lines).
void LineStep::Reread() {
    std::vector<std::size_t> unread;
    auto readings = ReadAll(false, unread);
    if (!readings) return GiveUp();
    for (auto line = unread.rbegin(); line != unread.rend(); ++line) {
        Emit(Action::Type::Discard, 0, lines_[*line].text);
        lines_.erase(lines_.begin() + std::ptrdiff_t(*line));
    }
    readings_ = std::move(*readings);
}

void LineStep::Received(const std::vector<QByteArray>& lines, Ms now) {
    now_ = now;
    for (const QByteArray& line : lines)
        TakeLine(line);
    ResolveClosedFront();
}

void LineStep::TakeLine(const QByteArray& text) {
    lastHeard_ = now_;
    const PendingLine line{text, nextSerial_++};
    if (quietNeeded_) return Emit(Action::Type::Discard, 0, text);
    std::vector<Reading> next;
    for (const Reading& reading : readings_)
        Extend(reading, line, false, next);
    Dedupe(next);
    // A line that answers nothing sent: a driver's own output, or a line from another source.
    if (next.empty()) return Emit(Action::Type::Unasked, 0, text);
    lines_.push_back(line);
    readings_ = std::move(next);
    if (readings_.size() > kMostReadings) return GiveUp();
    Commit();
}

// Puts each pending line to its item while every reading agrees on it; the items that every
// reading passed over took no line.
void LineStep::Commit() {
    while (!lines_.empty()) {
        if (ScanProbesAlike()) continue;
        const std::size_t taker = readings_.front().takers.front();
        if (!std::all_of(readings_.begin(), readings_.end(),
                         [taker](const Reading& r) { return r.takers.front() == taker; })) {
            std::size_t first = taker;
            for (const Reading& reading : readings_)
                first = std::min(first, reading.takers.front());
            if (first > 0) ResolveFront(first, Silence::Spoke);
            break;
        }
        CommitLine(taker);
    }
    ResolveClosedFront();
}

// The scan asks each letter twice: a late answer to the first probe shows the axis as well as
// the second's would, and goes to the second when the readings differ on nothing else.
bool LineStep::ScanProbesAlike() {
    std::vector<std::size_t> takers;
    for (const Reading& reading : readings_)
        takers.push_back(reading.takers.front());
    Dedupe(takers);
    if (takers.size() < 2) return false;
    const Item& first = flight_[takers.front()];
    const bool alike = std::all_of(takers.begin(), takers.end(), [&](std::size_t taker) {
        const Item& item = flight_[taker];
        return item.kind == ItemKind::Scan && item.asked == first.asked &&
               item.expected == first.expected;
    });
    if (!alike) return false;
    const std::size_t chosen = *std::max_element(takers.begin(), takers.end());
    std::erase_if(readings_,
                  [chosen](const Reading& reading) { return reading.takers.front() != chosen; });
    CommitLine(chosen);
    return true;
}

void LineStep::CommitLine(std::size_t taker) {
    const QByteArray text = lines_.front().text;
    lines_.erase(lines_.begin());
    for (Reading& reading : readings_)
        reading.takers.erase(reading.takers.begin());
    ResolveFront(taker, Silence::Spoke);
    Item& item = flight_.front();
    Finish(item, &text, Silence::Spoke);
    if (item.kind != ItemKind::Continuous) {
        flight_.erase(flight_.begin());
        Shift(1);
    }
    Dedupe(readings_);
}

// The readings after the first `count` items left the flight.
void LineStep::Shift(std::size_t count) {
    for (Reading& reading : readings_) {
        for (std::size_t& taker : reading.takers)
            taker -= count;
        reading.next = reading.next > count ? reading.next - count : 0;
    }
}

void LineStep::ResolveFront(std::size_t count, Silence silence) {
    for (std::size_t i = 0; i < count; ++i)
        Finish(flight_[i], nullptr, silence);
    flight_.erase(flight_.begin(), flight_.begin() + std::ptrdiff_t(count));
    Shift(count);
}

// The first items can take no more lines and no reading gave them one: they took none.
void LineStep::ResolveClosedFront() {
    while (!flight_.empty() && flight_.front().closedAt != 0 &&
           std::none_of(readings_.begin(), readings_.end(), [](const Reading& reading) {
               return std::find(reading.takers.begin(), reading.takers.end(), 0u) !=
                      reading.takers.end();
           })) {
        ResolveFront(1, Silence::Expired);
        Dedupe(readings_);
    }
}

// What an item's end tells its asker: its answer, or how it went without one.
void LineStep::Finish(Item& item, const QByteArray* line, Silence silence) {
    if (line && item.kind != ItemKind::Write && item.kind != ItemKind::Continuous) {
        absent_.erase(item.asked);
        absent_.erase(item.axis);
    }
    switch (item.kind) {
    case ItemKind::Write:
        if (item.ended) return;
        item.ended = true;
        if (line) Emit(Action::Type::WriteAnswer, item.id, *line);
        // An axis that never gave its model text may not be there at all: its silence alone
        // after a write tells nothing; a line after it does.
        else if (silence == Silence::Lost || item.doubtful ||
                 (silence == Silence::Expired && item.unproven))
            Emit(Action::Type::WriteUnknown, item.id, {}, true);
        else
            Emit(Action::Type::WriteTaken, item.id);
        return;
    case ItemKind::Settle:
        if (line) Emit(Action::Type::Discard, 0, *line);
        return;
    case ItemKind::Learn:
        if (!line) return;
        if (item.second) {
            modelTexts_[item.asked] = *line;
            noModel_.erase(item.asked);
        }
        Emit(Action::Type::Discard, 0, *line);
        return;
    case ItemKind::Question:
    case ItemKind::Scan:
        if (item.ended) {
            if (line) Emit(Action::Type::Discard, 0, *line);
            return;
        }
        item.ended = true;
        if (!line) return Emit(Action::Type::Unanswered, item.id, {}, true);
        // An answer to "VER" is the axis's model text, known for sure once it is this question's
        // (another driver may have come on the line since the text was learnt).
        if (item.kind == ItemKind::Question && item.command == kModelQuery && Readable(*line) &&
            *line != kRefusal && *line != kWriteDone && !noModel_.contains(item.asked))
            modelTexts_[item.asked] = *line;
        Emit(Action::Type::Answer, item.id, *line);
        return;
    case ItemKind::Continuous:
        if (line) Emit(Action::Type::Unasked, 0, *line);
        return;
    }
}

// The line has been quiet for a reply time (or the flight is given up): every line out that
// could be answered has been. Of the ways of reading the pending lines, those that leave the
// fewest lines out unanswered that had to be answered stand; where they disagree, nothing can
// be told of the lines out they disagree on.
void LineStep::SettleByQuiet(bool finalizing) {
    std::vector<std::size_t> unread;
    auto all = ReadAll(finalizing, unread);
    for (auto line = unread.rbegin(); line != unread.rend(); ++line) {
        Emit(Action::Type::Discard, 0, lines_[*line].text);
        lines_.erase(lines_.begin() + std::ptrdiff_t(*line));
    }
    if (!all || lines_.empty()) {
        if (!all) {
            for (const PendingLine& line : lines_)
                Emit(Action::Type::Discard, 0, line.text);
            lines_.clear();
        }
        readings_ = {Reading{}};
        return;
    }
    const auto cost = [this](const Reading& reading) {
        int unanswered = reading.skipped;
        for (std::size_t q = reading.next; q < flight_.size(); ++q)
            if (flight_[q].required && flight_[q].closedAt == 0) ++unanswered;
        return unanswered;
    };
    int least = cost(all->front());
    for (const Reading& reading : *all)
        least = std::min(least, cost(reading));
    std::vector<Reading> best;
    for (const Reading& reading : *all)
        if (cost(reading) == least) best.push_back(reading);
    const bool agree = std::all_of(best.begin(), best.end(), [&](const Reading& reading) {
        return reading.takers == best.front().takers;
    });
    if (agree) {
        readings_ = {best.front()};
        Commit();
        return;
    }
    std::size_t last = 0;
    for (const Reading& reading : best)
        last = std::max(last, reading.takers.back());
    for (std::size_t q = 0; q <= last; ++q) {
        // The line item q took in each reading (lines_.size(): none).
        std::vector<std::size_t> took;
        for (const Reading& reading : best) {
            const auto found = std::find(reading.takers.begin(), reading.takers.end(), q);
            took.push_back(found == reading.takers.end()
                               ? lines_.size()
                               : std::size_t(found - reading.takers.begin()));
        }
        const bool same = std::all_of(took.begin(), took.end(),
                                      [&](std::size_t line) { return line == took.front(); });
        if (!same)
            Finish(flight_[q], nullptr, Silence::Lost);
        else if (took.front() < lines_.size())
            Finish(flight_[q], &lines_[took.front()].text, Silence::Spoke);
        else
            Finish(flight_[q], nullptr, Silence::Spoke);
    }
    flight_.erase(flight_.begin(), flight_.begin() + std::ptrdiff_t(last + 1));
    lines_.clear();
    readings_ = {Reading{}};
}

// Every line out ends: what can be read of the pending lines is, the rest went unanswered.
void LineStep::CloseFlight() {
    SettleByQuiet(true);
    for (Item& item : flight_)
        Finish(item, nullptr, Silence::Lost);
    flight_.clear();
    lines_.clear();
    readings_ = {Reading{}};
}

// Too many ways to read the lines: the step gives up on the lines out and waits for the line's
// quiet before anything more goes.
void LineStep::GiveUp() {
    for (const PendingLine& line : lines_)
        Emit(Action::Type::Discard, 0, line.text);
    lines_.clear();
    readings_ = {Reading{}};
    for (Item& item : flight_)
        Finish(item, nullptr, Silence::Lost);
    flight_.clear();
    quietNeeded_ = true;
}

// ---- time

// The first line out that need not be answered has had its reply time once the line has been
// quiet that long since it went: the driver answers in order.
// A question that went unanswered was answered later than a driver answers: its answer may be
// later still, up to a settling line's limit. The driver's continuous output has its reply time
// after the last line sent too (the line that stops it).
std::optional<LineStep::Ms> LineStep::ExpiryOf(const Item& item) const {
    if (item.required || item.closedAt != 0) return std::nullopt;
    const bool overdue = item.kind == ItemKind::Question && item.told;
    const Ms from = std::max(
        {item.sentAt, lastHeard_, item.kind == ItemKind::Continuous ? lastSent_ : item.sentAt});
    return from + (overdue ? kProbeLimitMs : kReplyTimeMs);
}

void LineStep::ExpireFront() {
    while (!flight_.empty()) {
        Item& front = flight_.front();
        const auto at = ExpiryOf(front);
        if (!at || now_ < *at) return;
        front.closedAt = nextSerial_;
        const int seq = front.seq;
        ResolveClosedFront();
        if (!flight_.empty() && flight_.front().seq == seq) return;
    }
}

void LineStep::Tick(Ms now) {
    now_ = now;
    bool changed = false;
    for (Item& item : flight_) {
        const bool asked = item.kind == ItemKind::Question || item.kind == ItemKind::Scan;
        if (asked && !item.ended && item.limitMs > 0 && now >= item.sentAt + item.limitMs) {
            item.ended = item.told = true;
            MakeOptional(item);
            Emit(Action::Type::Unanswered, item.id, {}, true);
            changed = true;
        }
        if (item.required && item.giveUpAt != 0 && now >= item.giveUpAt) {
            MakeOptional(item);
            changed = true;
        }
    }
    for (const Item& item : flight_)
        if ((item.kind == ItemKind::Settle || item.kind == ItemKind::Learn) && item.required &&
            now >= item.sentAt + kProbeLimitMs)
            return ProbeTimedOut(item);
    if (changed) {
        Reread();
        Commit();
    }
    ExpireFront();
    if (!lines_.empty() && now >= QuietAt()) {
        SettleByQuiet(false);
        ResolveClosedFront();
        ExpireFront();
    }
    if (quietNeeded_ && now >= QuietAt()) quietNeeded_ = false;
}

// A settling line without its answer in its limit. When nothing at all came since it went, its
// axis is absent: every line out to it went unanswered, and the questions waiting for it end.
// When lines came but not the one it waited for, the axis answers but not with the model text
// the step knew: it is learnt again (or, when its answers to "VER" did not agree, the axis is
// settled by the line's quiet from now on).
void LineStep::ProbeTimedOut(Item probe) {
    const bool silent = nextSerial_ == probe.heardBefore;
    CloseFlight();
    if (silent) {
        absent_.insert(probe.axis);
        absent_.insert(probe.asked);
        FailWaiting(probe.axis);
    } else if (probe.kind == ItemKind::Learn) {
        noModel_.insert(probe.asked);
    } else {
        modelTexts_.erase(probe.asked);
    }
}

// ---- the port

// The sends from the failed one to the end of its batch did not go: what they went for ends, and
// what went of the line is not known (the next line designates again).
void LineStep::SendFailed(const Action& send, Ms now) {
    now_ = now;
    designation_ = 0;
    const auto failed = std::find_if(sent_.begin(), sent_.end(), [&](const SentLine& line) {
        return line.serial == send.serial;
    });
    if (failed == sent_.end()) return;
    std::set<int> items;
    std::vector<int> entries;
    auto end = failed;
    for (; end != sent_.end() && end->batch == failed->batch; ++end) {
        if (end->itemSeq != 0) items.insert(end->itemSeq);
        if (end->entryId != 0 &&
            std::find(entries.begin(), entries.end(), end->entryId) == entries.end())
            entries.push_back(end->entryId);
    }
    sent_.erase(failed, end);
    std::vector<Item> unsent;
    std::erase_if(flight_, [&](const Item& item) {
        if (!items.contains(item.seq)) return false;
        unsent.push_back(item);
        return true;
    });
    for (const int id : entries) {
        const auto waiting = std::find_if(waiting_.begin(), waiting_.end(),
                                          [id](const Entry& entry) { return entry.id == id; });
        bool write = false;
        if (waiting != waiting_.end()) {
            write = waiting->type == Entry::Type::Write;
            waiting_.erase(waiting);
        } else {
            const auto own = std::find_if(unsent.begin(), unsent.end(),
                                          [id](const Item& item) { return item.id == id; });
            if (own == unsent.end()) continue; // its own line went before the failure
            write = own->kind == ItemKind::Write;
        }
        Emit(write ? Action::Type::WriteUnknown : Action::Type::Unanswered, id);
    }
    Reread();
    Commit();
}

// What had come in and what waited to go out is gone, and with it perhaps the answer to any line
// out: the questions out end, and no line out need be answered any more.
void LineStep::Purged(Ms now) {
    now_ = now;
    for (Item& item : flight_) {
        item.doubtful = true;
        if ((item.kind == ItemKind::Question || item.kind == ItemKind::Scan) && !item.ended) {
            item.ended = item.told = true;
            Emit(Action::Type::Unanswered, item.id, {}, true);
        }
        MakeOptional(item);
    }
    Reread();
    Commit();
}

void LineStep::EndFlightAndWaiting(bool lineLost) {
    for (Item& item : flight_) {
        item.doubtful = true;
        if (item.ended) continue;
        if (item.kind == ItemKind::Question || item.kind == ItemKind::Scan) {
            item.ended = item.told = true;
            Emit(Action::Type::Unanswered, item.id, {}, true, lineLost);
        } else if (item.kind == ItemKind::Write) {
            item.ended = true;
            Emit(Action::Type::WriteUnknown, item.id, {}, true, lineLost);
        }
        MakeOptional(item);
    }
    for (const Entry& entry : waiting_)
        Emit(entry.type == Entry::Type::Write ? Action::Type::WriteUnknown
                                              : Action::Type::Unanswered,
             entry.id, {}, false, lineLost);
    waiting_.clear();
}

// A closed port takes nothing more: every question and write ends now, once. Whatever was still
// to be answered may come after the port reopens, and answers nothing then.
void LineStep::PortClosed(Ms now) {
    now_ = now;
    portOpen_ = false;
    EndFlightAndWaiting(false);
    Reread();
    Commit();
}

void LineStep::PortOpened(Ms now, bool sameLine, bool sameDevice) {
    now_ = now;
    portOpen_ = true;
    if (!sameDevice) {
        // Another device: nothing sent before will be answered on it.
        for (const PendingLine& line : lines_)
            Emit(Action::Type::Discard, 0, line.text);
        lines_.clear();
        flight_.clear();
        readings_ = {Reading{}};
        designation_ = 0;
    }
    if (sameLine) return;
    modelTexts_.clear();
    absent_.clear();
    noModel_.clear();
    LoosenFlight();
}

// At another rate the answers still to come arrive garbled: any line, or none, may be theirs.
void LineStep::LoosenFlight() {
    for (Item& item : flight_) {
        if (item.kind == ItemKind::Continuous) continue;
        item.kind = ItemKind::Question;
        item.ended = true;
        item.required = false;
        item.expected.clear();
        item.excluded.clear();
    }
    Reread();
    Commit();
}

// Nothing more comes on a lost line: every question and write ends, and the line starts afresh
// with whatever device is opened next.
void LineStep::LineLost() {
    EndFlightAndWaiting(true);
    flight_.clear();
    lines_.clear();
    readings_ = {Reading{}};
    Forget();
}

void LineStep::Forget() {
    modelTexts_.clear();
    absent_.clear();
    noModel_.clear();
    quietNeeded_ = false;
    designation_ = 0;
}

// The axis did not answer its settling line: the questions that wait for it end unanswered.
void LineStep::FailWaiting(char axis) {
    std::deque<Entry> kept;
    for (Entry& entry : waiting_) {
        if (entry.type == Entry::Type::Question && entry.question.kind != Kind::Scan &&
            entry.axis == axis)
            Emit(Action::Type::Unanswered, entry.id);
        else
            kept.push_back(std::move(entry));
    }
    waiting_ = std::move(kept);
}

// An axis that is known not to answer does not hold the line for the others: its question ends
// at once while something for another axis waits, and is asked again only when nothing does.
bool LineStep::OthersWaitFor(char absentAxis) const {
    return std::any_of(waiting_.begin(), waiting_.end(), [&](const Entry& entry) {
        return entry.axis != absentAxis && !Absent(entry.axis);
    });
}

void LineStep::SetScannedAxes(const QByteArray& letters) {
    scannedAxes_ = letters;
}

std::optional<LineStep::Ms> LineStep::NextDeadline() const {
    std::optional<Ms> next;
    const auto consider = [&next](Ms at) { next = next ? std::min(*next, at) : at; };
    for (const Item& item : flight_) {
        const bool asked = item.kind == ItemKind::Question || item.kind == ItemKind::Scan;
        if (asked && !item.ended && item.limitMs > 0) consider(item.sentAt + item.limitMs);
        if (item.required && item.giveUpAt != 0) consider(item.giveUpAt);
        if ((item.kind == ItemKind::Settle || item.kind == ItemKind::Learn) && item.required)
            consider(item.sentAt + kProbeLimitMs);
    }
    if (!flight_.empty())
        if (const auto at = ExpiryOf(flight_.front())) consider(*at);
    if (!lines_.empty() || quietNeeded_) consider(QuietAt());
    return next;
}

bool LineStep::Pending(int id) const {
    if (std::any_of(waiting_.begin(), waiting_.end(),
                    [id](const Entry& entry) { return entry.id == id; }))
        return true;
    return std::any_of(flight_.begin(), flight_.end(),
                       [id](const Item& item) { return item.id == id && !item.ended; });
}

int LineStep::QuestionOut() const {
    for (const Item& item : flight_)
        if ((item.kind == ItemKind::Question || item.kind == ItemKind::Scan) && !item.ended)
            return item.id;
    return 0;
}

std::optional<QByteArray> LineStep::ModelText(char axis) const {
    return KnownModel(axis);
}
