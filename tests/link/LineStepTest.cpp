// The line's step on its own, without windows or a driver: each road is a script of inputs at
// given times and the actions the step answers with, carried out as the data module does (the
// actions of an input, then the next question once the line lets it go). The lines received in
// each road are those a driver that answers in order would send.
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
    const char* name; // letters, digits and underscores: the test's name
    std::vector<Step> steps;
};

std::string Text(const LineStep::Action& action) {
    using Type = LineStep::Action::Type;
    std::string line = action.line.toStdString();
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (action.tooLong) line = "(" + std::to_string(line.size()) + " characters)";
    const std::string id = "q" + std::to_string(action.id);
    switch (action.type) {
    case Type::Send:
        return "send " + line + (action.id ? " " + id : "");
    case Type::Answer:
        return "answer " + id + " " + line;
    case Type::Unanswered:
        return "unanswered " + id + (action.asked ? " asked" : "") +
               (action.lineLost ? " lost" : "");
    case Type::WriteAnswer:
        return "refused " + id + " " + line;
    case Type::WriteTaken:
        return "taken " + id;
    case Type::WriteUnknown:
        return "unknown " + id + (action.asked ? " asked" : "") + (action.lineLost ? " lost" : "");
    case Type::Unasked:
        return "unasked " + line;
    case Type::Discard:
        return "discard " + line;
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

private:
    // "ask ID COMMAND [nolimit]" asks under the line's designation, "askon AXIS ID COMMAND
    // [nolimit]" for that axis; "scan ID LINE EXPECTED", "sync ID", "write ID LINE", "writeon
    // AXIS ID LINE".
    void Input(const std::string& verb, std::istringstream& words, Ms now,
               std::vector<std::string>& done) {
        std::vector<std::string> args;
        for (std::string word; words >> word;)
            args.push_back(word);
        const auto arg = [&args](std::size_t i) { return i < args.size() ? args[i] : ""; };
        const auto line = [](const std::string& text) {
            return QByteArray::fromStdString(text + "\r");
        };
        if (verb == "ask" || verb == "askon") {
            const std::size_t first = verb == "askon" ? 1 : 0;
            LineStep::Question question;
            question.id = std::stoi(arg(first));
            question.line = line(arg(first + 1));
            question.limitMs = arg(first + 2) == "nolimit" ? 0 : 1250;
            if (verb == "askon") question.axis = arg(0)[0];
            step_.Ask(question, now);
        } else if (verb == "scan") {
            LineStep::Question probe;
            probe.id = std::stoi(arg(0));
            probe.line = line(arg(1));
            probe.kind = LineStep::Kind::Scan;
            probe.expected = QByteArray::fromStdString(arg(2));
            step_.Ask(probe, now);
        } else if (verb == "sync") {
            LineStep::Question sync;
            sync.id = std::stoi(arg(0));
            sync.kind = LineStep::Kind::Sync;
            step_.Ask(sync, now);
        } else if (verb == "write") {
            step_.Write(std::stoi(arg(0)), line(arg(1)), now);
        } else if (verb == "writeon") {
            step_.Write(std::stoi(arg(1)), line(arg(2)), now, arg(0)[0]);
        } else if (verb == "recv") {
            std::vector<QByteArray> lines;
            for (const QByteArray& part : QByteArray::fromStdString(arg(0)).split('|'))
                lines.push_back(part);
            step_.Received(lines, now);
        } else if (verb == "tick") {
            step_.Tick(now);
        } else if (verb == "withdraw") {
            step_.Withdraw(std::stoi(arg(0)), now);
        } else if (verb == "purge") {
            step_.Purged(now);
        } else if (verb == "close") {
            step_.PortClosed(now);
        } else if (verb == "open") { // open, open other-rate, open other-device
            step_.PortOpened(now, arg(0).empty(), arg(0) != "other-device");
        } else if (verb == "lost") {
            step_.LineLost();
        } else if (verb == "scanned") {
            step_.SetScannedAxes(QByteArray::fromStdString(arg(0)));
        } else if (verb == "model") { // model X: the model text the step holds for X, or -
            const auto known = step_.ModelText(arg(0)[0]);
            done.push_back("model " + (known ? known->toStdString() : std::string("-")));
        } else if (verb == "settled") {
            done.push_back(std::string("settled ") + (step_.Settled() ? "yes" : "no"));
        } else if (verb == "deadline") { // when the step must be woken next
            const auto next = step_.NextDeadline();
            done.push_back("deadline " + (next ? std::to_string(*next) : std::string("-")));
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
    LineStep step_;
    bool failNext_ = false;
};

// The model texts the driver answers to "VER" in these roads: QWC30 (X, or the only axis under
// "*"), QWC50A_C3 (Y).
const std::vector<Road> kRoads = {
    {"AQuestionGoesAtOnceAndItsAnswerGoesToIt",
     {{0, "ask 1 #5", {"send #5 q1"}}, {5, "recv 55", {"answer q1 55"}}}},
    {"AQuestionAskedWhileAnotherIsOutWaitsItsTurnAndItsLimitStartsWhenItGoes",
     {{0, "ask 1 #5", {"send #5 q1"}},
      {10, "ask 2 #6", {}},
      {1000, "recv 55", {"answer q1 55", "send #6 q2"}},
      {1250, "tick", {}}, // q1's limit, not q2's
      {2240, "recv 66", {"answer q2 66"}}}},
    // A write goes with the line that settles it, and a question after it goes at once behind
    // them.
    {"AWriteGoesWithItsSettlingLineAndTheQuestionAfterItGoesAtOnce",
     {{0, "ask 1 VER", {"send VER q1"}},
      {5, "recv QWC30", {"answer q1 QWC30"}},
      {10, "write 2 #12=5", {"send #12=5 q2", "send VER"}},
      {11, "ask 3 #12", {"send #12 q3"}},
      {15, "recv E-S", {"refused q2 E-S"}},
      {16, "recv QWC30", {"discard QWC30"}},
      {17, "recv 7", {"answer q3 7"}}}},
    // Before the axis's model text is known a write goes alone; the question after it learns the
    // model text first.
    {"AFirstWriteGoesAtOnceAndTheQuestionAfterItLearnsTheModelText",
     {{0, "write 1 #12=5", {"send #12=5 q1"}},
      {1, "ask 2 #12", {"send VER", "send VER"}},
      {5, "recv QWC30|QWC30", {"taken q1", "discard QWC30", "discard QWC30", "send #12 q2"}},
      {10, "recv 7", {"answer q2 7"}},
      {11, "model *", {"model QWC30"}},
      {20, "write 3 #13=5", {"send #13=5 q3", "send VER"}}}},
    // A data table read: a selection, then its value; a refused selection is told to the write
    // that selected, before the value's answer.
    {"ASelectionsRefusalGoesToTheSelectionNotToTheValue",
     {{0, "ask 1 VER", {"send VER q1"}},
      {5, "recv QWC30", {"answer q1 QWC30"}},
      {10, "write 2 #DTPT=9", {"send #DTPT=9 q2", "send VER"}},
      {10, "ask 3 *DTPT nolimit", {"send *DTPT q3"}},
      {15, "recv QWC30|900", {"taken q2", "discard QWC30", "answer q3 900"}},
      {20, "write 4 #DTPT=10", {"send #DTPT=10 q4", "send VER"}},
      {20, "ask 5 *DTPT nolimit", {"send *DTPT q5"}},
      {620, "recv E-S", {"refused q4 E-S"}}, // refused late
      {625, "recv QWC30|950", {"discard QWC30", "answer q5 950"}}}},
    {"EachWriteOfARunIsToldItsOwnAnswer",
     {{0, "ask 1 VER", {"send VER q1"}},
      {5, "recv QWC30", {"answer q1 QWC30"}},
      {10, "write 2 #1=1", {"send #1=1 q2", "send VER"}},
      {10, "write 3 #2=1", {"send #2=1 q3", "send VER"}},
      {10, "write 4 #3=1", {"send #3=1 q4", "send VER"}},
      {20,
       "recv QWC30|E-S|QWC30|OK|QWC30",
       {"taken q2", "discard QWC30", "refused q3 E-S", "discard QWC30", "refused q4 OK",
        "discard QWC30"}},
      {21, "settled", {"settled yes"}}}},
    {"AQuestionAfterOneThatWentUnansweredGoesWithASettlingLine",
     {{0, "ask 1 VER", {"send VER q1"}},
      {5, "recv QWC30", {"answer q1 QWC30"}},
      {10, "ask 2 #5", {"send #5 q2"}},
      {1260, "tick", {"unanswered q2 asked"}},
      {1300, "ask 3 #6", {"send VER", "send #6 q3"}},
      {1400, "recv 55", {"discard 55"}}, // q2's late answer
      {1405, "recv QWC30|66", {"discard QWC30", "answer q3 66"}}}},
    // Not knowing the axis's model text, the step learns it behind the late answer.
    {"AModelTextIsLearntBehindALateAnswer",
     {{0, "ask 1 #5", {"send #5 q1"}},
      {1250, "tick", {"unanswered q1 asked"}},
      {1300, "ask 2 #6", {"send VER", "send VER"}},
      {1305, "recv 55|QWC30|QWC30", {"discard 55", "discard QWC30", "discard QWC30", "send #6 q2"}},
      {1310, "recv 66", {"answer q2 66"}}}},
    // Where the late answer may be either of two lines, the line's quiet decides: a driver
    // answers the line that had to be answered.
    {"WhereTwoReadingsStandTheQuietDecides",
     {{0, "ask 1 #5", {"send #5 q1"}},
      {1250, "tick", {"unanswered q1 asked"}},
      {1300, "ask 2 #6", {"send VER", "send VER"}},
      {1305, "recv QWC30|QWC30", {}},
      {2304, "tick", {}},
      {2305, "tick", {"discard QWC30", "discard QWC30", "send #6 q2"}}}},
    // The flight addresses one axis at a time: behind an absent axis's settling line, another
    // axis's question and write wait at most its limit, and the absent axis's questions end.
    {"BehindAnAbsentAxisAnotherAxisWaitsOnceAtMostTheProbesLimit",
     {{0, "ask 1 X:VER", {"send X:VER q1"}},
      {5, "recv QWC30", {"answer q1 QWC30"}},
      {10, "askon Z 2 #1", {"send Z: q2", "send #1 q2"}},
      {1260, "tick", {"unanswered q2 asked"}},
      {1300, "askon Z 3 #2", {"send VER", "send VER"}},
      {1310, "askon X 4 #5", {}},
      {1310, "writeon X 5 #12=5", {}},
      {5300, "tick", {"unanswered q3", "send X: q4", "send #5 q4", "send #12=5 q5", "send VER"}},
      {5305, "recv 55", {"answer q4 55"}},
      {5306, "recv QWC30", {"taken q5", "discard QWC30"}},
      // While another axis's question waits, the absent axis's end at once.
      {5400, "askon X 6 #6", {"send #6 q6"}},
      {5401, "askon Z 7 #3", {}},
      {5402, "askon X 8 #7", {}},
      {5410, "recv 66", {"answer q6 66", "unanswered q7", "send #7 q8"}},
      {5415, "recv 77", {"answer q8 77"}}}},
    {"ASilentAxisIsAskedAgainWhenNothingElseWaits",
     {{0, "ask 1 VER", {"send VER q1"}},
      {5, "recv QWC30", {"answer q1 QWC30"}},
      {10, "ask 2 #5", {"send #5 q2"}},
      {1260, "tick", {"unanswered q2 asked"}},
      {1300, "ask 3 #6", {"send VER", "send #6 q3"}},
      {2550, "tick", {"unanswered q3 asked"}},
      {5300, "tick", {}},
      {6000, "ask 4 #8", {"send #8 q4"}},
      {6005, "recv 8", {"answer q4 8"}}}},
    // A late answer of one axis can take no place of another's: the other's question goes once
    // it has come, or once its time is over.
    {"AnotherAxissQuestionWaitsForTheLateAnswer",
     {{0, "ask 1 X:#5", {"send X:#5 q1"}},
      {1250, "tick", {"unanswered q1 asked"}},
      {1300, "askon Z 2 VER", {}},
      {1400, "recv 55", {"discard 55", "send Z: q2", "send VER q2"}},
      {1405, "recv QWC-Z", {"answer q2 QWC-Z"}},
      {1410, "model Z", {"model QWC-Z"}},
      {1410, "askon X 3 #6", {"send X: q3", "send #6 q3"}},
      {2660, "tick", {"unanswered q3 asked"}},
      {2700, "askon Z 4 #7", {}},
      {5409, "tick", {}},
      {5410, "tick", {"send Z: q4", "send #7 q4"}}}},
    {"AQuestionKeepsTheAxisItWasAskedFor",
     {{0, "ask 1 #5", {"send #5 q1"}},
      {1, "ask 2 Y:#7", {}},
      {2, "write 3 X:", {"send X: q3"}},
      {3, "ask 4 #8", {}}, // under X now
      {4, "write 5 Y:", {"send Y: q5"}},
      {5, "recv 55", {"answer q1 55", "send Y:#7 q2"}},
      {10, "recv 77", {"answer q2 77", "send X: q4", "send #8 q4"}},
      {15, "recv 88", {"answer q4 88"}},
      {20, "askon Y 6 #9", {"send Y: q6", "send #9 q6"}},
      {25, "recv 99", {"answer q6 99"}}}},
    {"UnderAllAxesWithSeveralTheSettlingLineAsksTheFirstByItsLetter",
     {{0, "scanned XAC", {}},
      {0, "ask 1 #5", {"send #5 q1"}},
      {1250, "tick", {"unanswered q1 asked"}},
      {1300, "ask 2 #6", {"send X:", "send VER", "send VER"}},
      {1305,
       "recv 55|QWC30|QWC30",
       {"discard 55", "discard QWC30", "discard QWC30", "send *: q2", "send #6 q2"}},
      {1310, "model X", {"model QWC30"}}}},
    {"AScansProbesWaitForASettledLineAndTellTheirAnswersApart",
     {{0, "ask 1 VER", {"send VER q1"}},
      {5, "recv QWC30", {"answer q1 QWC30"}},
      {10, "write 2 #12=5", {"send #12=5 q2", "send VER"}},
      {11, "scan 3 X:#33 88", {}},
      {15, "recv E-S|QWC30", {"refused q2 E-S", "discard QWC30", "send X:#33 q3"}},
      {165, "withdraw 3", {}},
      {166, "scan 4 X:#33 88", {"send X:#33 q4"}},
      {200, "recv 88", {"answer q4 88"}}, // the first probe's, late: it shows X all the same
      {316, "withdraw 4", {}},
      {317, "scan 5 Z:#33 90", {"send Z:#33 q5"}},
      {320, "recv 88", {"unasked 88"}}, // the second probe's, later still: stray
      {467, "withdraw 5", {}},
      {468, "scan 6 A:#33 65", {"send A:#33 q6"}},
      {470, "recv 90", {"discard 90"}}, // Z's, too late to show it
      {475, "recv 65", {"answer q6 65"}}}},
    {"ARateChangeForgetsTheModelTexts",
     {{0, "ask 1 VER", {"send VER q1"}},
      {5, "recv QWC30", {"answer q1 QWC30"}},
      {10, "close", {}},
      {20, "open other-rate", {}},
      {30, "model *", {"model -"}},
      {30, "write 2 #1=1", {"send #1=1 q2"}},
      {31, "ask 3 #1", {"send VER", "send VER"}},
      {40, "recv QWC30|QWC30", {"taken q2", "discard QWC30", "discard QWC30", "send #1 q3"}}}},
    // A driver without "VER" answers it "E-S": that answer settles the writes as well; where a
    // refusal and the settling line cannot be told apart, the next line or the quiet does it.
    {"AModelQueryAnsweredEsSettlesToo",
     {{0, "write 1 #DTPT=1", {"send #DTPT=1 q1"}},
      {1, "ask 2 *DTPT nolimit", {"send VER", "send VER"}},
      {5, "recv E-S|E-S", {}},
      {1005, "tick", {"taken q1", "discard E-S", "discard E-S", "send *DTPT q2"}},
      {1010, "recv 900", {"answer q2 900"}},
      {20, "write 3 #DTPT=2", {"send #DTPT=2 q3", "send VER"}},
      {21, "ask 4 *DTPT nolimit", {"send *DTPT q4"}},
      {25, "recv E-S|E-S|950", {"refused q3 E-S", "discard E-S", "answer q4 950"}},
      {30, "write 5 #DTPT=3", {"send #DTPT=3 q5", "send VER"}},
      {31, "ask 6 *DTPT nolimit", {"send *DTPT q6"}},
      {35, "recv E-S|E-S", {}},
      {1035, "tick", {"taken q5", "discard E-S", "answer q6 E-S"}}}},
    {"ASyncIsAnsweredOnceEveryLineOutHasBeen",
     {{0, "sync 1", {"answer q1 "}},
      {10, "ask 2 VER", {"send VER q2"}},
      {15, "recv QWC30", {"answer q2 QWC30"}},
      {20, "write 3 #1=1", {"send #1=1 q3", "send VER"}},
      {20, "sync 4", {}},
      {30, "recv E-S", {"refused q3 E-S"}},
      {32, "recv QWC30", {"discard QWC30", "answer q4 "}}}},
    {"ASendThatFailsEndsWhatItWentFor",
     {{0, "failnext", {}},
      {0, "ask 1 #5", {"fails #5 q1", "unanswered q1"}},
      {10, "ask 2 #6", {"send *: q2", "send #6 q2"}},
      {15, "recv 66", {"answer q2 66"}},
      {20, "failnext", {}},
      {20, "write 3 #1=1", {"fails #1=1 q3", "unknown q3"}}}},
    {"AContinuousOutputAnswersNothingAndOnlyTheQuietEndsIt",
     {{0, "ask 1 ==", {"send == q1"}},
      {5, "recv 100", {"answer q1 100"}},
      {10, "recv 101", {"unasked 101"}},
      {20, "write 2 .", {"send . q2", "unknown q2 asked"}},
      {20, "ask 3 #5", {}},
      {25, "recv 102", {"unasked 102"}},
      {1024, "tick", {}},
      {1025, "tick", {"send #5 q3"}},
      {1030, "recv 55", {"answer q3 55"}}}},
    {"AnAnswerTooLongToReadIsItsQuestionsAndTheNextIsNotShifted",
     {{0, "ask 1 #5", {"send #5 q1"}},
      {5, "recv " + std::string(49, 'x'), {"answer q1 (49 characters)"}},
      {10, "ask 2 #6", {"send #6 q2"}},
      {15, "recv 66", {"answer q2 66"}}}},
    {"APurgeEndsTheQuestionOutAndTheNextIsSettled",
     {{0, "ask 1 VER", {"send VER q1"}},
      {5, "recv QWC30", {"answer q1 QWC30"}},
      {10, "ask 2 #5", {"send #5 q2"}},
      {12, "purge", {"unanswered q2 asked"}},
      {20, "ask 3 #6", {"send VER", "send #6 q3"}},
      {25, "recv 55", {"discard 55"}},
      {26, "recv QWC30|66", {"discard QWC30", "answer q3 66"}}}},
    {"AClosedPortEndsEveryQuestionAndWrite",
     {{0, "ask 1 VER", {"send VER q1"}},
      {5, "recv QWC30", {"answer q1 QWC30"}},
      {10, "write 2 #1=1", {"send #1=1 q2", "send VER"}},
      {10, "ask 3 *DTPT nolimit", {"send *DTPT q3"}},
      {11, "ask 4 #5", {}},
      {12, "close", {"unknown q2 asked", "unanswered q3 asked", "unanswered q4"}},
      {20, "open", {}},
      {30, "ask 5 #6", {"send VER", "send #6 q5"}},
      {35,
       "recv QWC30|900|QWC30|66",
       {"discard QWC30", "discard 900", "discard QWC30", "answer q5 66"}}}},
    {"ALostLineEndsEverythingAndForgetsTheAxesAndTheDesignation",
     {{0, "ask 1 Y:VER", {"send Y:VER q1"}},
      {5, "recv QWC50A_C3", {"answer q1 QWC50A_C3"}},
      {10, "write 2 #1=1", {"send #1=1 q2", "send VER"}},
      {10, "ask 3 #5", {"send #5 q3"}},
      {15, "lost", {"unknown q2 asked lost", "unanswered q3 asked lost"}},
      {20, "open other-device", {}},
      {25, "model Y", {"model -"}},
      {30, "askon Y 4 #6", {"send Y: q4", "send #6 q4"}}}},
    {"AWithdrawnQuestionsAnswerIsDiscardedAndTheNextIsNotShifted",
     {{0, "ask 1 #5 nolimit", {"send #5 q1"}},
      {10, "withdraw 1", {}},
      {20, "ask 2 #6", {"send #6 q2"}},
      {30, "recv 55", {"discard 55"}},
      {40, "recv 66", {"answer q2 66"}}}},
    {"TwoLinesInOneEventEachGoesToItsOwn",
     {{0, "ask 1 VER", {"send VER q1"}},
      {5, "recv QWC30", {"answer q1 QWC30"}},
      {10, "ask 2 #5", {"send #5 q2"}},
      {11, "write 3 #6=1", {"send #6=1 q3", "send VER"}},
      {15, "recv 55|E-S|QWC30", {"answer q2 55", "refused q3 E-S", "discard QWC30"}}}},
    {"ALineThatAnswersNothingSentIsUnasked",
     {{0, "recv 123", {"unasked 123"}}, {5, "settled", {"settled yes"}}}},
};

// A failing road is named by its test's name; its steps are not printed as bytes.
void PrintTo(const Road& road, std::ostream* out) {
    *out << road.name;
}

class LineStepRoad : public testing::TestWithParam<Road> {};

TEST_P(LineStepRoad, EveryStepDoesWhatTheRoadSays) {
    Driver driver;
    for (const Step& step : GetParam().steps)
        EXPECT_EQ(driver.Run(step.input, step.at), step.actions)
            << "at " << step.at << " ms, " << step.input;
}

INSTANTIATE_TEST_SUITE_P(LineStepTest, LineStepRoad, testing::ValuesIn(kRoads),
                         [](const testing::TestParamInfo<Road>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
