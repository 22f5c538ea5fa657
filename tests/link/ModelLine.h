// A model of a line of drivers and of the program's side of it, for testing the line's step
// against the other side rather than against its own constants. The drivers answer in order:
// each line sent that has an answer gets one line, no sooner than its own delay and never before
// the answer to the line before it. Questions are answered after a few milliseconds, writes are
// refused ("E-S") with a given chance and delay, and "VER" gets the axis's model text. The
// program's side carries out the step's actions as the data module does; askers chain their next
// question from inside each answer, as the transfers do. Every answer the step hands out is
// checked against the line the driver answered with it.
#pragma once

#include "link/LineStep.h"

#include <QByteArray>
#include <QtGlobal>

#include <cstdio>

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace model {

using Ms = LineStep::Ms;

class Driver {
public:
    struct Settings {
        QByteArray axes = "XY";  // the axes present; the others answer nothing
        double refuseChance = 0; // a write is answered "E-S" with this chance...
        Ms refuseMs = 3;         // ...this long after it came
        Ms questionMinMs = 2;    // a question is answered this long after it came, at the least
        Ms questionMaxMs = 8;
        bool sameModel = false;    // every axis gives the same model text
        bool noModelQuery = false; // "VER" is answered "E-S", as a driver without it does
    };
    struct Reply {
        Ms at;
        QByteArray line;
        int answers; // the serial of the line it answers; -1: none (garbled on the way)
    };

    Driver(const Settings& settings, std::uint32_t seed) : settings_(settings), random_(seed) {}

    QByteArray ModelText(char axis) const {
        return settings_.sameModel ? QByteArray("QWC50A_C3") : QByteArray("QWC-") + axis;
    }
    static QByteArray Value(char axis, int entry) {
        return QByteArray("V") + axis + QByteArray::number(entry);
    }

    // A line from the program, with its CR, as the `serial`th line sent.
    void Take(QByteArray line, int serial, Ms at) {
        line.replace("\r", "");
        if (line.size() >= 2 && line[1] == ':') {
            designation_ = line[0];
            line.remove(0, 2);
        }
        const char axis = AnsweringAxis();
        axes_[serial] = axis;
        if (line.isEmpty() || axis == 0) return;
        // "==" is a question like any other here (its continuous output is not modelled).
        if (line.contains('=') && line != "==") return TakeWrite(line, axis, serial, at);
        QByteArray reply = "E-S";
        if (line == "VER")
            reply = settings_.noModelQuery ? QByteArray("E-S") : ModelText(axis);
        else if (line == "*DTPT")
            reply = Value(axis, selection_[axis]);
        else if (line.startsWith('#'))
            reply = QByteArray("P") + axis + line.mid(1);
        Answer(reply, serial, at + Delay(settings_.questionMinMs, settings_.questionMaxMs));
    }

    // The axis that took line `serial`: the designated one, or under "*" the first present.
    char AxisOf(int serial) const {
        const auto found = axes_.find(serial);
        return found == axes_.end() ? 0 : found->second;
    }
    char Designation() const { return designation_; }
    // Whether the write sent as line `serial` reached a driver and was carried out.
    bool Took(int serial) const { return taken_.contains(serial); }

    std::deque<Reply>& Output() { return output_; }
    // What is on its way after a rate change arrives garbled.
    void Garble() {
        for (Reply& reply : output_) {
            reply.line = "\x81?" + QByteArray::number(reply.answers);
            reply.answers = -1;
        }
    }
    // A purge drops what has come in and was not read.
    void Drop(Ms until) {
        std::erase_if(output_, [until](const Reply& reply) { return reply.at <= until; });
    }

private:
    char AnsweringAxis() const {
        if (designation_ != '*') return settings_.axes.contains(designation_) ? designation_ : 0;
        return settings_.axes.isEmpty() ? 0 : settings_.axes[0];
    }
    void TakeWrite(const QByteArray& line, char axis, int serial, Ms at) {
        // A refused write is not carried out: a refused selection leaves the pointer.
        if (std::bernoulli_distribution(settings_.refuseChance)(random_))
            return Answer("E-S", serial, at + settings_.refuseMs);
        taken_.insert(serial);
        if (line.startsWith("#DTPT=")) selection_[axis] = line.mid(6).toInt();
    }
    Ms Delay(Ms least, Ms most) { return std::uniform_int_distribution<Ms>(least, most)(random_); }
    void Answer(const QByteArray& line, int serial, Ms at) {
        const Ms after = output_.empty() ? lastAnswerAt_ : output_.back().at;
        at = std::max(at, after + 1);
        lastAnswerAt_ = at;
        output_.push_back({at, line, serial});
    }

    Settings settings_;
    std::mt19937 random_;
    char designation_ = '*';
    std::map<char, int> selection_;
    std::map<int, char> axes_;
    std::set<int> taken_;
    std::deque<Reply> output_;
    Ms lastAnswerAt_ = 0;
};

// The program's side of the line.
class Line {
public:
    using Done = std::function<void(bool answered, const QByteArray& answer)>;

    explicit Line(Driver& driver)
        : driver_(driver), trace_(qEnvironmentVariableIsSet("KASONT_TRACE_MODEL")) {}

    LineStep step;
    Ms now = 0;
    int answered = 0;
    int unanswered = 0;
    int wrong = 0;      // answers that were not their question's, or came from another axis
    int writeWrong = 0; // a write told another line's answer, or told taken when it was not
    int badEnds = 0;    // ends of a question that had ended or was withdrawn
    std::vector<std::string> faults;

    int Ask(const QByteArray& line, char axis, Ms limitMs, Done done) {
        const int id = ++lastId_;
        // A line that designates its own axis addresses that one.
        const char own = LineStep::DesignationOf(line);
        asked_[id] = {own != 0 ? own : axis, -1, std::move(done)};
        step.Ask({id, line, LineStep::Kind::Question, limitMs, axis, {}}, now);
        return id;
    }
    // A write; `done` hears whether the driver took it (as the step tells it).
    using Written = std::function<void(LineStep::Action::Type outcome)>;
    int Write(const QByteArray& line, char axis, Written done = {}) {
        const int id = ++lastId_;
        writes_[id] = {-1, std::move(done)};
        step.Write(id, line, now, axis);
        return id;
    }
    void Withdraw(int id) {
        if (asked_.erase(id)) gone_.insert(id);
        step.Withdraw(id, now);
    }
    // Questions asked that have not ended.
    std::size_t Asking() const { return asked_.size(); }
    // The next send fails, as a port that raises; the sends after it in its batch are not made.
    void FailNextSend() { failNext_ = true; }
    bool Open() const { return open_; }
    void Close() {
        open_ = false;
        step.PortClosed(now);
    }
    void Open(bool sameLine) {
        open_ = true;
        step.PortOpened(now, sameLine, true);
    }
    void Purge() {
        driver_.Drop(now + 2);
        step.Purged(now);
    }

    // Carries out what the step says, then lets the next question go, as the data module does.
    void Carry() {
        Take();
        for (step.Advance(now); step.HasActions(); step.Advance(now))
            Take();
    }

    // The next moment something happens: a line arrives, or the step's deadline.
    std::optional<Ms> NextEvent() const {
        std::optional<Ms> next = step.NextDeadline();
        if (!driver_.Output().empty()) {
            const Ms at = driver_.Output().front().at;
            next = next ? std::min(*next, at) : at;
        }
        return next;
    }
    // Runs that moment: the arrival of a line (lost while the port is closed), or the deadline.
    void RunEvent(Ms at) {
        now = std::max(now, at);
        auto& output = driver_.Output();
        if (!output.empty() && output.front().at <= now) {
            const Driver::Reply reply = output.front();
            output.pop_front();
            if (trace_)
                std::fprintf(stderr, "%lld recv '%s' (answers #%d)%s\n", (long long)now,
                             reply.line.constData(), reply.answers, open_ ? "" : " lost");
            if (open_) {
                received_.push_back(reply);
                if (received_.size() > 64) received_.pop_front();
                step.Received({reply.line}, now);
            }
            Carry();
            return;
        }
        step.Tick(now);
        Carry();
    }

private:
    struct Asked {
        char axis;
        int serial; // of the line that carried its command
        Done done;
    };

    void Take() {
        for (auto actions = step.TakeActions(); !actions.empty(); actions = step.TakeActions()) {
            failed_ = false;
            for (const LineStep::Action& action : actions)
                Carry(action);
        }
    }
    void Carry(const LineStep::Action& action) {
        using Type = LineStep::Action::Type;
        if (trace_)
            std::fprintf(stderr, "%lld act %d id %d '%s'%s\n", (long long)now, int(action.type),
                         action.id, action.line.trimmed().constData(),
                         action.type == Type::Send ? (" #" + std::to_string(serial_ + 1)).c_str()
                                                   : "");
        switch (action.type) {
        case Type::Send: {
            if (failed_) return;
            if (failNext_) {
                failNext_ = false;
                failed_ = true;
                step.SendFailed(action, now);
                return;
            }
            const int serial = ++serial_;
            if (open_) driver_.Take(action.line, serial, now);
            const auto asked = asked_.find(action.id);
            if (asked != asked_.end() && !LineStep::CommandOf(action.line).isEmpty())
                asked->second.serial = serial;
            const auto write = writes_.find(action.id);
            if (write != writes_.end() && !LineStep::CommandOf(action.line).isEmpty())
                write->second.serial = serial;
            return;
        }
        case Type::Answer:
        case Type::Unanswered:
            return End(action);
        case Type::WriteAnswer:
        case Type::WriteTaken:
        case Type::WriteUnknown:
            return EndWrite(action);
        default:
            return;
        }
    }
    // A write's answer is the driver's answer to it; one told taken was carried out.
    void EndWrite(const LineStep::Action& action) {
        const auto found = writes_.find(action.id);
        if (found == writes_.end()) {
            ++badEnds;
            return;
        }
        const WrittenLine write = found->second;
        writes_.erase(found);
        const bool right =
            action.type == LineStep::Action::Type::WriteAnswer
                ? Heard(write.serial, action.line)
                : action.type != LineStep::Action::Type::WriteTaken || driver_.Took(write.serial);
        if (!right) {
            ++writeWrong;
            if (faults.size() < 5)
                faults.push_back("at " + std::to_string(now) + " ms: write line " +
                                 std::to_string(write.serial) + " told " +
                                 (action.type == LineStep::Action::Type::WriteTaken
                                      ? std::string("taken")
                                      : "answered " + action.line.toStdString()));
        }
        if (write.done) write.done(action.type);
    }
    void End(const LineStep::Action& action) {
        const auto found = asked_.find(action.id);
        if (found == asked_.end()) {
            if (gone_.contains(action.id)) ++badEnds;
            return;
        }
        const Asked asked = found->second;
        asked_.erase(found);
        gone_.insert(action.id);
        const bool answered = action.type == LineStep::Action::Type::Answer;
        if (answered) {
            ++this->answered;
            Check(asked, action.line);
        } else {
            ++unanswered;
        }
        if (asked.done) asked.done(answered, action.line);
    }
    // The answer is the line the driver gave to the question's own command, from its own axis.
    void Check(const Asked& asked, const QByteArray& answer) {
        const char took = driver_.AxisOf(asked.serial);
        const bool ownAxis = asked.axis == '*' || took == asked.axis;
        if (Heard(asked.serial, answer) && ownAxis) return;
        ++wrong;
        if (faults.size() < 5)
            faults.push_back("at " + std::to_string(now) + " ms: answer " + answer.toStdString() +
                             " to line " + std::to_string(asked.serial) + " of axis " +
                             std::string(1, asked.axis) + ", the driver's answer to line " +
                             HeardFor(answer) + " from axis " + std::string(1, took ? took : '-'));
    }

    struct WrittenLine {
        int serial;
        Written done;
    };
    Driver& driver_;
    std::map<int, Asked> asked_;
    std::map<int, WrittenLine> writes_;
    std::set<int> gone_;
    bool failNext_ = false;
    bool failed_ = false;
    bool trace_;
    int lastId_ = 0;
    int serial_ = 0;
    bool open_ = true;
    // The lines received lately: an answer handed out is one of them, the driver's answer to
    // the line it was handed out for (the step may hand it out some time after it came).
    std::deque<Driver::Reply> received_;
    bool Heard(int serial, const QByteArray& line) const {
        return std::any_of(received_.begin(), received_.end(), [&](const Driver::Reply& reply) {
            return reply.answers == serial && reply.line == line;
        });
    }
    std::string HeardFor(const QByteArray& line) const {
        for (auto reply = received_.rbegin(); reply != received_.rend(); ++reply)
            if (reply->line == line) return std::to_string(reply->answers);
        return "-";
    }
};

} // namespace model
