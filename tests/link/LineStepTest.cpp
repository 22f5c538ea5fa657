// The line's step on its own, without windows or a driver: each road is a script of inputs at
// given times and the actions the step answers with, carried out as the data module does (the
// actions of an input, then the next question once the line lets it go).
#include "link/LineStep.h"

#include <QList>

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

using Ms = LineStep::Ms;

struct Step {
    Ms at;
    std::string input;
    std::vector<std::string> actions; // what the step does, in order
};

struct Road {
    const char* name;
    std::vector<Step> steps;
};

std::string Text(const LineStep::Action& action) {
    using Type = LineStep::Action::Type;
    std::string line = action.line.toStdString();
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::string id = "q" + std::to_string(action.id);
    switch (action.type) {
    case Type::Send:
        return "send " + line + (action.id ? " " + id : "");
    case Type::Answer:
        return "answer " + id + " " + line;
    case Type::Unanswered:
        return "unanswered " + id + (action.asked ? " asked" : "") +
               (action.lineLost ? " lost" : "");
    case Type::Unasked:
        return "unasked " + line;
    case Type::Discard:
        return "discard " + line;
    case Type::CutRing:
        return "cut";
    }
    return "?";
}

class Driver {
public:
    // Runs one input ("ask 1 #5", "recv A|B", "tick", ...) and returns what the step did.
    std::vector<std::string> Run(const std::string& input, Ms now) {
        std::istringstream words(input);
        std::string verb;
        words >> verb;
        std::vector<std::string> done;
        if (verb == "failnext") {
            failNext_ = true;
            return done;
        }
        Input(verb, words, now, done);
        Carry(now, done);
        for (step_.Advance(now); step_.HasActions(); step_.Advance(now))
            Carry(now, done);
        return done;
    }
    LineStep step_;

private:
    void Input(const std::string& verb, std::istringstream& words, Ms now,
               std::vector<std::string>& done) {
        std::string arg;
        std::string more;
        words >> arg;
        words >> more;
        const auto line = [&] { return QByteArray::fromStdString(arg + "\r"); };
        if (verb == "ask" || verb == "scan" || verb == "sync") {
            const int id = std::stoi(arg);
            std::string command;
            command = more;
            std::string limit;
            words >> limit;
            LineStep::Question question{id, QByteArray::fromStdString(command + "\r")};
            question.limitMs = limit == "nolimit" ? 0 : 1250;
            if (verb == "scan") {
                question.kind = LineStep::Kind::Scan;
                question.limitMs = 0;
            }
            if (verb == "sync") question = {id, {}, LineStep::Kind::Sync, 0};
            step_.Ask(question, now);
        } else if (verb == "write") {
            step_.Write(line(), now);
        } else if (verb == "recv") {
            std::vector<QByteArray> lines;
            for (const QByteArray& part : QByteArray::fromStdString(arg).split('|'))
                lines.push_back(part);
            step_.Received(lines, lines.back(), now);
        } else if (verb == "tick") {
            step_.Tick(now);
        } else if (verb == "latetick") { // the program came `arg` ms late to the deadline
            step_.Tick(now, std::stoi(arg));
        } else if (verb == "withdraw") {
            step_.Withdraw(std::stoi(arg), now);
        } else if (verb == "purge") {
            step_.Purged(now);
        } else if (verb == "close") {
            step_.PortClosed(now);
        } else if (verb == "open") {
            step_.PortOpened(now);
        } else if (verb == "lost") {
            step_.LineLost();
        } else if (verb == "scanned") {
            step_.SetScannedAxes(QByteArray::fromStdString(arg));
        } else if (verb == "model") { // model X QWC30, or model X - for none
            const auto known = step_.ModelText(arg[0]);
            done.push_back("model " + (known ? known->toStdString() : std::string("-")));
        } else if (verb == "instep") {
            done.push_back(std::string("instep ") + (step_.InStep(arg[0]) ? "yes" : "no"));
        } else {
            ADD_FAILURE() << "unknown input " << verb;
        }
    }
    // Carries out the actions as the data module does: a send that fails is told to the step,
    // and the sends after it in the same batch are not made.
    void Carry(Ms now, std::vector<std::string>& done) {
        for (auto actions = step_.TakeActions(); !actions.empty(); actions = step_.TakeActions()) {
            bool failed = false;
            for (const LineStep::Action& action : actions) {
                if (action.type == LineStep::Action::Type::Send) {
                    if (failed) continue;
                    if (failNext_) {
                        failNext_ = false;
                        failed = true;
                        done.push_back("fails " + Text(action).substr(5));
                        step_.SendFailed(action, now);
                        continue;
                    }
                }
                done.push_back(Text(action));
            }
        }
    }
    bool failNext_ = false;
};

// The answers the driver gives to "VER" in these roads.
const std::vector<Road> kRoads = {
    {"a question goes at once, its answer goes to it",
     {{0, "ask 1 #5", {"send #5 q1"}}, {5, "recv 55", {"answer q1 55"}}}},
    {"a question asked while another is out waits its turn; its limit starts when it goes out",
     {{0, "ask 1 #5", {"send #5 q1"}},
      {10, "ask 2 #6", {}},
      {1000, "recv 55", {"answer q1 55", "send #6 q2"}},
      {1250, "tick", {}}, // q1's limit, not q2's
      {2240, "recv 66", {"answer q2 66"}}}},
    {"a designation and a write go out at once, even while a question is out",
     {{0, "ask 1 #5", {"send #5 q1"}},
      {1, "write Y:", {"send Y:"}},
      {2, "write #12=5", {"send #12=5"}},
      {3, "ask 2 Y:VER", {"send Y:"}}, // its designation now, the command in its turn
      {8, "recv 55", {"answer q1 55"}},
      // No round trip timed yet when the write went: 24 characters at 1200 bps, twice, and 3 ms.
      {404, "tick", {}},
      {405, "tick", {"send VER q2"}}}},
    {"an absent axis: the question to it ends, the next to another axis gets its own probe",
     {{0, "ask 1 X:VER", {"send X:VER q1"}},
      {5, "recv QWC50A_C3", {"answer q1 QWC50A_C3"}},
      {10, "ask 2 Z:#1", {"send Z:#1 q2"}},
      {1260, "tick", {"unanswered q2 asked"}},
      {1300, "instep X", {"instep no"}},
      {1300, "write X:", {"send X:"}},
      {1310, "ask 3 VER", {"send VER"}}, // X's model text is known: one probe
      {1315, "recv QWC50A_C3", {"discard QWC50A_C3", "cut", "send VER q3"}},
      {1320, "recv QWC50A_C3", {"answer q3 QWC50A_C3"}},
      {1330, "ask 4 #5", {"send #5 q4"}}}},
    {"a silent axis holds back only its own questions, and is asked again when it comes back",
     {{0, "ask 1 VER", {"send VER q1"}},
      {5, "recv QWC30", {"answer q1 QWC30"}},
      {10, "ask 2 #5", {"send #5 q2"}},
      {1260, "tick", {"unanswered q2 asked"}},
      {1300, "ask 3 #6", {"send VER"}},
      {1400, "ask 4 #7", {}},
      {5300, "tick", {"cut", "unanswered q3", "unanswered q4"}},
      {6000, "ask 5 #8", {"send VER"}},
      {6005, "recv QWC30", {"discard QWC30", "cut", "send #8 q5"}},
      {6010, "recv 8", {"answer q5 8"}}}},
    {"two axes with different models: a probe takes only its own axis's model text",
     {{0, "ask 1 X:VER", {"send X:VER q1"}},
      {5, "recv QWC30", {"answer q1 QWC30"}},
      {10, "ask 2 Y:VER", {"send Y:VER q2"}},
      {15, "recv QWC50A_C3", {"answer q2 QWC50A_C3"}},
      {20, "ask 3 VER", {"send VER q3"}},
      {1270, "tick", {"unanswered q3 asked"}},
      {1300, "write X:", {"send X:"}},
      {1310, "ask 4 #5", {"send VER"}},
      // Y's late answer to "VER" is not X's model text.
      {1320, "recv QWC50A_C3", {"discard QWC50A_C3"}},
      {1330, "recv QWC30", {"discard QWC30", "cut", "send #5 q4"}},
      {1335, "recv 55", {"answer q4 55"}},
      // Y is still out of step: its own probe, which counts Y's late "VER" answer too.
      {1400, "ask 5 Y:#5", {"send Y:", "send VER"}},
      {1405, "recv QWC50A_C3", {"discard QWC50A_C3"}},
      {1410, "recv QWC50A_C3", {"discard QWC50A_C3", "cut", "send #5 q5"}},
      {1415, "recv 5", {"answer q5 5"}}}},
    {"under * with one axis the probe goes to *; its model text is learnt from two answers",
     {{0, "scanned X", {}},
      {0, "ask 1 #5", {"send #5 q1"}},
      {1250, "tick", {"unanswered q1 asked"}},
      {1300, "ask 2 #6", {"send VER", "send VER"}},
      {1305, "recv 55", {"discard 55"}}, // the late answer
      {1306, "recv QWC50A_C3", {"discard QWC50A_C3"}},
      {1307, "recv QWC50A_C3", {"discard QWC50A_C3", "cut", "send #6 q2"}},
      {1310, "model *", {"model QWC50A_C3"}}}},
    {"under * with several axes the probe asks the first by its letter, then * again",
     {{0, "scanned XAC", {}},
      {0, "ask 1 #5", {"send #5 q1"}},
      {1250, "tick", {"unanswered q1 asked"}},
      {1300, "ask 2 #6", {"send X:", "send VER", "send VER"}},
      {1305, "recv QWC30", {"discard QWC30"}},
      {1306, "recv QWC30", {"discard QWC30", "cut", "send *:", "send #6 q2"}},
      {1310, "model X", {"model QWC30"}}}},
    {"\"VER\" answered E-S: no model text, and the line's quiet lets the question go",
     {{0, "ask 1 #5", {"send #5 q1"}},
      {1250, "tick", {"unanswered q1 asked"}},
      {1300, "ask 2 #6", {"send VER", "send VER"}},
      {1305, "recv E-S", {"discard E-S"}},
      {1306, "recv E-S", {"discard E-S"}},
      {2305, "tick", {}},
      {2306, "tick", {"cut", "send #6 q2"}},
      {2310, "model *", {"model -"}},
      {2320, "ask 3 VER", {}},
      {2330, "recv E-S", {"answer q2 E-S", "send VER q3"}},
      {2340, "recv E-S", {"answer q3 E-S"}},
      {2350, "model *", {"model -"}}}},
    {"\"VER\" answered with garbage: the known model text is forgotten after the quiet",
     {{0, "ask 1 VER", {"send VER q1"}},
      {5, "recv QWC30", {"answer q1 QWC30"}},
      {10, "ask 2 #5", {"send #5 q2"}},
      {1260, "tick", {"unanswered q2 asked"}},
      {1300, "ask 3 #6", {"send VER"}},
      {1305, "recv \x81zq", {"discard \x81zq"}},
      {2305, "tick", {"cut", "send #6 q3"}},
      {2310, "model *", {"model -"}}}},
    {"\"VER\" not answered at all: the question waiting for the probe ends unanswered",
     {{0, "ask 1 #5", {"send #5 q1"}},
      {1250, "tick", {"unanswered q1 asked"}},
      {1300, "ask 2 #6", {"send VER", "send VER"}},
      {5299, "tick", {}},
      {5300, "tick", {"cut", "unanswered q2"}}}},
    {"a probe answered late: the answer comes after the limit and answers nothing",
     {{0, "ask 1 VER", {"send VER q1"}},
      {5, "recv QWC30", {"answer q1 QWC30"}},
      {10, "ask 2 #5", {"send #5 q2"}},
      {1260, "tick", {"unanswered q2 asked"}},
      {1300, "ask 3 #6", {"send VER"}},
      {5300, "tick", {"cut", "unanswered q3"}},
      {5400, "recv QWC30", {"unasked QWC30"}},
      {5500, "ask 4 #7", {"send VER"}}}},
    {"a scan while out of step: its probes go at once and teach no model text",
     {{0, "ask 1 #5", {"send #5 q1"}},
      {1250, "tick", {"unanswered q1 asked"}},
      {1300, "scan 2 X:#33", {"send X:#33 q2"}},
      {1305, "recv 88", {"answer q2 88"}},
      {1310, "scan 3 Y:#33", {"send Y:#33 q3"}},
      {1460, "withdraw 3", {}}, // silence: an absent axis, nothing more
      {1470, "model X", {"model -"}},
      {1470, "instep X", {"instep no"}}}},
    {"a purge and a port reopened while probing send the probe again",
     {{0, "ask 1 #5", {"send #5 q1"}},
      {1250, "tick", {"unanswered q1 asked"}},
      {1300, "ask 2 #6", {"send VER", "send VER"}},
      {1310, "purge", {"send VER", "send VER"}},
      {1320, "close", {}},
      {1420, "open", {"send VER", "send VER"}},
      {1425, "recv QWC30|QWC30", {"discard QWC30", "discard QWC30", "cut", "send #6 q2"}}}},
    {"a line lost while probing ends every question; the next goes at once",
     {{0, "ask 1 #5", {"send #5 q1"}},
      {1250, "tick", {"unanswered q1 asked"}},
      {1300, "ask 2 #6", {"send VER", "send VER"}},
      {1310, "ask 3 #7", {}},
      {1320, "lost", {"unanswered q2 lost", "unanswered q3 lost"}},
      {2000, "ask 4 #8", {"send #8 q4"}}}},
    {"a write answered: its answer answers nothing, and the question after it waits for it",
     {{0, "ask 1 #5", {"send #5 q1"}},
      {10, "recv 55", {"answer q1 55"}},
      {20, "write #12=5", {"send #12=5"}},
      {21, "ask 2 #6", {}}, // two round trips and 3 ms after the write
      {30, "recv OK", {"unasked OK"}},
      {42, "tick", {}},
      {43, "tick", {"send #6 q2"}},
      {50, "recv 66", {"answer q2 66"}},
      // The axis answers writes: the next question waits for the answer itself.
      {60, "write #13=6", {"send #13=6"}},
      {61, "ask 3 #7", {}},
      {200, "tick", {}},
      {250, "recv OK", {"unasked OK", "send #7 q3"}},
      {260, "recv 77", {"answer q3 77"}},
      // An answer that does not come holds the question a reply time at most.
      {300, "write #14=1", {"send #14=1"}},
      {301, "ask 4 #8", {}},
      {1300, "tick", {"send #8 q4"}},
      {1310, "recv 88", {"answer q4 88"}},
      // The axis is no longer taken to answer every write: the round trip is waited again.
      {1320, "write #15=1", {"send #15=1"}},
      {1321, "ask 5 #9", {}},
      {1345, "tick", {"send #9 q5"}}}},
    {"an axis whose writes were followed by silence four times is trusted, until a stray line",
     {{0, "ask 1 #5", {"send #5 q1"}},
      {10, "recv 55", {"answer q1 55"}},
      {20, "write #1=1", {"send #1=1"}},
      {21, "ask 2 #6", {}},
      {43, "tick", {"send #6 q2"}},
      {53, "recv 6", {"answer q2 6"}},
      {60, "write #2=1", {"send #2=1"}},
      {61, "ask 3 #7", {}},
      {83, "tick", {"send #7 q3"}},
      {93, "recv 7", {"answer q3 7"}},
      {100, "write #3=1", {"send #3=1"}},
      {101, "ask 4 #8", {}},
      {123, "tick", {"send #8 q4"}},
      {133, "recv 8", {"answer q4 8"}},
      {140, "write #4=1", {"send #4=1"}},
      {141, "ask 5 #9", {}},
      {163, "tick", {"send #9 q5"}},
      {173, "recv 9", {"answer q5 9"}},
      {180, "write #5=1", {"send #5=1"}},
      {181, "ask 6 #10", {"send #10 q6"}}, // no wait any more
      {190, "recv 10", {"answer q6 10"}},
      {200, "recv OK", {"unasked OK"}}, // a line nobody asked for
      {210, "write #6=1", {"send #6=1"}},
      {211, "ask 7 #11", {}},
      {233, "tick", {"send #11 q7"}}}},
    {"a wait after a write that ended while the program was busy gets more time",
     {{0, "ask 1 #5", {"send #5 q1"}},
      {10, "recv 55", {"answer q1 55"}},
      {20, "write #12=5", {"send #12=5"}},
      {21, "ask 2 #6", {}},
      {80, "latetick 37", {}},
      {85, "recv OK", {"unasked OK"}},
      {90, "tick", {"send #6 q2"}}}},
    {"a withdrawn question: an answer in its reply time is discarded and keeps the step",
     {{0, "ask 1 #5 nolimit", {"send #5 q1"}},
      {10, "withdraw 1", {}},
      {20, "ask 2 #6", {}},
      {30, "recv 55", {"discard 55", "send #6 q2"}},
      {40, "recv 66", {"answer q2 66"}},
      {50, "ask 3 #7 nolimit", {"send #7 q3"}},
      {2000, "withdraw 3", {}}, // long overdue: out of step at once
      {2000, "instep *", {"instep no"}}}},
    {"a sync answers at once on a line in step, and after the probe otherwise",
     {{0, "sync 1", {"answer q1 "}},
      {10, "ask 2 #5", {"send #5 q2"}},
      {1260, "tick", {"unanswered q2 asked"}},
      {1300, "sync 3", {"send VER", "send VER"}},
      {1305, "recv QWC30|QWC30", {"discard QWC30", "discard QWC30", "cut", "answer q3 "}}}},
    {"a send that fails ends its question unasked; the next one is tried",
     {{0, "failnext", {}},
      {0, "ask 1 #5", {"fails #5 q1", "unanswered q1"}},
      {10, "ask 2 #6", {"send #6 q2"}}}},
};

TEST(LineStepTest, EveryRoad) {
    for (const Road& road : kRoads) {
        Driver driver;
        for (const Step& step : road.steps)
            EXPECT_EQ(driver.Run(step.input, step.at), step.actions)
                << road.name << ": at " << step.at << " ms, " << step.input;
    }
}

} // namespace
