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

private:
    // "ask ID COMMAND [nolimit]" asks under the line's designation, "askon AXIS ID COMMAND
    // [nolimit]" for that axis; "scan ID LINE", "sync ID", "write LINE", "writeon AXIS LINE".
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
            LineStep::Question question{std::stoi(arg(first)), line(arg(first + 1))};
            question.limitMs = arg(first + 2) == "nolimit" ? 0 : 1250;
            if (verb == "askon") question.axis = arg(0)[0];
            step_.Ask(question, now);
        } else if (verb == "scan") {
            step_.Ask({std::stoi(arg(0)), line(arg(1)), LineStep::Kind::Scan, 0}, now);
        } else if (verb == "sync") {
            step_.Ask({std::stoi(arg(0)), {}, LineStep::Kind::Sync, 0}, now);
        } else if (verb == "write") {
            step_.Write(line(arg(0)), now);
        } else if (verb == "writeon") {
            step_.Write(line(arg(1)), now, arg(0)[0]);
        } else if (verb == "recv") {
            std::vector<QByteArray> lines;
            for (const QByteArray& part : QByteArray::fromStdString(arg(0)).split('|'))
                lines.push_back(part);
            step_.Received(lines, lines.back(), now);
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
        } else if (verb == "instep") {
            done.push_back(std::string("instep ") + (step_.InStep(arg(0)[0]) ? "yes" : "no"));
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

// The model texts the driver answers to "VER" in these roads: QWC30 (X), QWC50A_C3 (Y, or the
// only axis under "*").
const std::vector<Road> kRoads = {
    {"AQuestionGoesAtOnceAndItsAnswerGoesToIt",
     {{0, "ask 1 #5", {"send #5 q1"}}, {5, "recv 55", {"answer q1 55"}}}},
    {"AQuestionAskedWhileAnotherIsOutWaitsItsTurnAndItsLimitStartsWhenItGoes",
     {{0, "ask 1 #5", {"send #5 q1"}},
      {10, "ask 2 #6", {}},
      {1000, "recv 55", {"answer q1 55", "send #6 q2"}},
      {1250, "tick", {}}, // q1's limit, not q2's
      {2240, "recv 66", {"answer q2 66"}}}},
    {"WritesAndDesignationsGoAtOnceAndAWritesRefusalIsNeverTheNextAnswer",
     {{0, "ask 1 #5", {"send #5 q1"}},
      {1, "write Y:", {"send Y:"}},
      {2, "write #12=5", {"send #12=5"}},
      {3, "ask 2 Y:VER", {}}, // it waits its turn with its own designation
      // The write may be answered: its model text not known yet, Y is asked it twice first.
      {8, "recv 55", {"answer q1 55", "send VER", "send VER"}},
      {12, "recv E-S", {}},
      {14, "recv QWC50A_C3", {}},
      {16,
       "recv QWC50A_C3",
       {"unasked E-S", "discard QWC50A_C3", "discard QWC50A_C3", "cut", "send Y:VER q2"}},
      {20, "recv QWC50A_C3", {"answer q2 QWC50A_C3"}}}},
    // A data table read: a selection, then its value, each asked from inside the last answer.
    {"ARefusedSelectionInAChainShiftsNoAnswer",
     {{0, "ask 1 VER", {"send VER q1"}},
      {5, "recv QWC50A_C3", {"answer q1 QWC50A_C3"}},
      {10, "write #DTPT=9", {"send #DTPT=9"}},
      {10, "ask 2 *DTPT nolimit", {"send VER"}},
      {15, "recv QWC50A_C3", {"discard QWC50A_C3", "cut", "send *DTPT q2"}},
      {20, "recv 900", {"answer q2 900"}},
      {20, "write #DTPT=10", {"send #DTPT=10"}},
      {20, "ask 3 *DTPT nolimit", {"send VER"}},
      {22, "recv E-S", {}}, // refused at once
      {25, "recv QWC50A_C3", {"unasked E-S", "discard QWC50A_C3", "cut", "send *DTPT q3"}},
      {30, "recv 900", {"answer q3 900"}},
      {30, "write #DTPT=11", {"send #DTPT=11"}},
      {30, "ask 4 *DTPT nolimit", {"send VER"}},
      {35, "recv QWC50A_C3", {"discard QWC50A_C3", "cut", "send *DTPT q4"}},
      {40, "recv 1100", {"answer q4 1100"}}}},
    {"AWriteAnsweredLaterThanAnyQuestionIsStillNotTheQuestionsAnswer",
     {{0, "ask 1 VER", {"send VER q1"}},
      {5, "recv QWC30", {"answer q1 QWC30"}},
      {10, "write EEPW", {"send EEPW"}},
      {10, "ask 2 #5", {"send VER"}},
      // Nothing to do until the probe's limit: the wait sleeps.
      {11, "deadline", {"deadline 4010"}},
      {600, "recv OK", {}},
      {601, "deadline", {"deadline 1600"}},
      {602, "recv QWC30", {"unasked OK", "discard QWC30", "cut", "send #5 q2"}},
      {605, "recv 55", {"answer q2 55"}},
      {606, "deadline", {"deadline -"}}}},
    {"AHundredSilentWritesDoNotMakeTheNextRefusalAnAnswer",
     {{0, "ask 1 VER", {"send VER q1"}},
      {5, "recv QWC30", {"answer q1 QWC30"}},
      {10, "write #1=1", {"send #1=1"}},
      {10, "ask 2 #1", {"send VER"}},
      {15, "recv QWC30", {"discard QWC30", "cut", "send #1 q2"}},
      {20, "recv 1", {"answer q2 1"}},
      {20, "write #2=1", {"send #2=1"}},
      {20, "ask 3 #2", {"send VER"}},
      {25, "recv QWC30", {"discard QWC30", "cut", "send #2 q3"}},
      {30, "recv 1", {"answer q3 1"}},
      {30, "write #3=1", {"send #3=1"}},
      {30, "ask 4 #3", {"send VER"}},
      {35, "recv QWC30", {"discard QWC30", "cut", "send #3 q4"}},
      {40, "recv 1", {"answer q4 1"}},
      {40, "write #4=1", {"send #4=1"}},
      {40, "ask 5 #4", {"send VER"}},
      {45, "recv QWC30", {"discard QWC30", "cut", "send #4 q5"}},
      {50, "recv 1", {"answer q5 1"}},
      {50, "write #5=1", {"send #5=1"}},
      {50, "ask 6 #5", {"send VER"}},
      {53, "recv E-S", {}},
      {55, "recv QWC30", {"unasked E-S", "discard QWC30", "cut", "send #5 q6"}},
      {60, "recv 0", {"answer q6 0"}}}},
    {"ARateChangeForgetsTheModelTexts",
     {{0, "ask 1 VER", {"send VER q1"}},
      {5, "recv QWC30", {"answer q1 QWC30"}},
      {10, "close", {}},
      {20, "open other-rate", {}},
      {30, "model *", {"model -"}},
      {30, "write #1=1", {"send #1=1"}},
      {30, "ask 2 #1", {"send VER", "send VER"}},
      {40, "recv QWC30|QWC30", {"discard QWC30", "discard QWC30", "cut", "send #1 q2"}},
      {45, "recv 1", {"answer q2 1"}},
      {50, "model *", {"model QWC30"}}}},
    {"AQuestionTypedForAnAbsentAxisNeverGoesToAnother",
     {{0, "ask 1 Z:#1", {"send Z:#1 q1"}},
      {1250, "tick", {"unanswered q1 asked"}},
      {1300, "ask 2 Z:#2", {"send VER", "send VER"}},
      {1301, "write X:", {"send X:"}},
      {5299, "tick", {}},
      {5300, "tick", {"cut", "unanswered q2"}},
      {5400, "ask 3 #7", {"send #7 q3"}}, // asked under X: silence settled the line
      {5405, "recv 7", {"answer q3 7"}}}},
    {"AQuestionKeepsTheAxisItWasAskedFor",
     {{0, "ask 1 #5", {"send #5 q1"}},
      {1, "ask 2 Y:#7", {}},
      {2, "write X:", {"send X:"}},
      {3, "ask 3 #8", {}}, // under X now
      {4, "write Y:", {"send Y:"}},
      {5, "recv 55", {"answer q1 55", "send Y:#7 q2"}},
      {10, "recv 77", {"answer q2 77", "send X: q3", "send #8 q3"}},
      {15, "recv 88", {"answer q3 88"}},
      {20, "askon Y 4 #9", {"send Y: q4", "send #9 q4"}},
      {25, "recv 99", {"answer q4 99"}}}},
    {"AQuestionAskedUnderAllAxesKeepsAllAxes",
     {{0, "ask 1 #5", {"send #5 q1"}},
      {1, "ask 2 #6", {}},
      {2, "write Y:", {"send Y:"}},
      {5, "recv 55", {"answer q1 55", "send *: q2", "send #6 q2"}}}},
    {"AQuestionWhoseDesignationFailsEndsAndNothingOfItGoesLater",
     {{0, "ask 1 X:VER", {"send X:VER q1"}},
      {5, "recv QWC30", {"answer q1 QWC30"}},
      {10, "failnext", {}},
      {10, "askon Y 2 #5", {"fails Y: q2", "unanswered q2"}},
      // What went of the line is not known: the next question designates again, after a probe.
      {20, "askon X 3 #6", {"send X:", "send VER"}},
      {25, "recv QWC30", {"discard QWC30", "cut", "send #6 q3"}},
      {30, "recv 66", {"answer q3 66"}}}},
    {"BehindAnAbsentAxisAnotherAxisWaitsOnceAtMostTheProbesLimit",
     {{0, "ask 1 X:VER", {"send X:VER q1"}},
      {5, "recv QWC30", {"answer q1 QWC30"}},
      {10, "askon Z 2 #1", {"send Z: q2", "send #1 q2"}},
      {1260, "tick", {"unanswered q2 asked"}},
      {1300, "askon Z 3 #2", {"send VER", "send VER"}},
      {1310, "askon X 4 #5", {}},
      {5300, "tick", {"cut", "unanswered q3", "send X: q4", "send #5 q4"}},
      {5305, "recv 55", {"answer q4 55"}},
      {5306, "askon X 5 #6", {"send #6 q5"}},
      {5307, "askon Z 6 #3", {}},
      {5308, "askon X 7 #7", {}},
      {5310, "recv 66", {"answer q5 66", "unanswered q6", "send #7 q7"}},
      {5315, "recv 77", {"answer q7 77"}}}},
    {"ASilentAxisHoldsBackOnlyItsOwnQuestionsAndIsAskedAgainWhenAlone",
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
    {"AQuestionWithoutALimitOutWhenThePortClosesEndsThere",
     {{0, "ask 1 *DTPT nolimit", {"send *DTPT q1"}},
      {5, "ask 2 #5", {}},
      {10, "close", {"unanswered q1 asked", "unanswered q2"}},
      {20, "open", {}},
      {30, "scan 3 X:#33", {"send X:#33 q3"}},
      {35, "recv 88", {"answer q3 88"}}}},
    {"NothingReceivedAfterAReopenAnswersAQuestionSentBeforeIt",
     {{0, "ask 1 VER", {"send VER q1"}},
      {5, "recv QWC30", {"answer q1 QWC30"}},
      {10, "ask 2 #5", {"send #5 q2"}},
      {20, "close", {"unanswered q2 asked"}},
      {30, "open", {}},
      {40, "ask 3 #6", {"send VER"}},
      {45, "recv 55", {}}, // q2's answer
      {50, "recv QWC30", {"discard 55", "discard QWC30", "cut", "send #6 q3"}},
      {55, "recv 66", {"answer q3 66"}}}},
    {"ALostLineForgetsTheAxesAndTheDesignation",
     {{0, "ask 1 Y:VER", {"send Y:VER q1"}},
      {5, "recv QWC50A_C3", {"answer q1 QWC50A_C3"}},
      {10, "ask 2 #5", {"send #5 q2"}},
      {15, "lost", {"unanswered q2 asked lost"}},
      {20, "open other-device", {}},
      {25, "model Y", {"model -"}},
      {30, "askon Y 3 #6", {"send Y: q3", "send #6 q3"}}}},
    {"AScansProbeAnsweredLateAnswersNoLaterQuestion",
     {{0, "scan 1 X:#33", {"send X:#33 q1"}},
      {150, "withdraw 1", {}},
      {151, "scan 2 X:#33", {"send X:#33 q2"}},
      {200, "recv 88", {"answer q2 88"}}, // the first probe's answer, taken by the scan itself
      {300, "withdraw 2", {}},
      {301, "write *:", {"send *:"}},
      {302, "ask 3 #5", {"send VER", "send VER"}},
      {305, "recv 88", {}}, // the second probe's answer, late
      {310,
       "recv QWC30|QWC30",
       {"discard 88", "discard QWC30", "discard QWC30", "cut", "send #5 q3"}},
      {315, "recv 55", {"answer q3 55"}}}},
    {"APurgeWhileProbingCountsTheFirstProbesAnswer",
     {{0, "ask 1 VER", {"send VER q1"}},
      {5, "recv QWC30", {"answer q1 QWC30"}},
      {10, "ask 2 #5", {"send #5 q2"}},
      {1260, "tick", {"unanswered q2 asked"}},
      {1300, "ask 3 #6", {"send VER"}},
      {1310, "purge", {"send VER"}},
      {1320, "recv QWC30", {}}, // the first probe's answer, after the purge
      {1325, "recv QWC30", {"discard QWC30", "discard QWC30", "cut", "send #6 q3"}},
      {1330, "recv 66", {"answer q3 66"}}}},
    {"AWaitForTheLinesStepIsGrantedOnlyOnceAWritesAnswerIsSettled",
     {{0, "ask 1 VER", {"send VER q1"}},
      {5, "recv QWC30", {"answer q1 QWC30"}},
      {10, "write #1=1", {"send #1=1"}},
      {10, "sync 2", {"send VER"}},
      {30, "recv E-S", {}},
      {32, "recv QWC30", {"unasked E-S", "discard QWC30", "cut", "answer q2 "}}}},
    {"AnAbsentAxisTheNextQuestionToAnotherAxisGetsItsOwnProbe",
     {{0, "ask 1 X:VER", {"send X:VER q1"}},
      {5, "recv QWC50A_C3", {"answer q1 QWC50A_C3"}},
      {10, "ask 2 Z:#1", {"send Z:#1 q2"}},
      {1260, "tick", {"unanswered q2 asked"}},
      {1300, "instep Z", {"instep no"}},
      {1300, "write X:", {"send X:"}},
      {1310, "ask 3 VER", {"send VER"}}, // X's model text is known: one probe
      {1315, "recv QWC50A_C3", {"discard QWC50A_C3", "cut", "send VER q3"}},
      {1320, "recv QWC50A_C3", {"answer q3 QWC50A_C3"}},
      {1330, "ask 4 #5", {"send #5 q4"}}}},
    {"TwoAxesWithDifferentModelsAProbeTakesOnlyItsOwnAxissModelText",
     {{0, "ask 1 X:VER", {"send X:VER q1"}},
      {5, "recv QWC30", {"answer q1 QWC30"}},
      {10, "ask 2 Y:VER", {"send Y:VER q2"}},
      {15, "recv QWC50A_C3", {"answer q2 QWC50A_C3"}},
      {20, "ask 3 VER", {"send VER q3"}},
      {1270, "tick", {"unanswered q3 asked"}},
      {1300, "write X:", {"send X:"}},
      {1310, "ask 4 #5", {"send VER"}},
      {1320, "recv QWC50A_C3", {}}, // Y's late answer is not X's model text
      {1330, "recv QWC30", {"discard QWC50A_C3", "discard QWC30", "cut", "send #5 q4"}},
      {1335, "recv 55", {"answer q4 55"}},
      // Y is still to prove that it answers: its own probe.
      {1400, "ask 5 Y:#5", {"send Y:", "send VER"}},
      {1405, "recv QWC50A_C3", {"discard QWC50A_C3", "cut", "send Y:#5 q5"}},
      {1415, "recv 5", {"answer q5 5"}}}},
    {"UnderAllAxesWithOneAxisTheProbeGoesToAllAndLearnsFromTwoAnswers",
     {{0, "scanned X", {}},
      {0, "ask 1 #5", {"send #5 q1"}},
      {1250, "tick", {"unanswered q1 asked"}},
      {1300, "ask 2 #6", {"send VER", "send VER"}},
      {1305, "recv 55", {}}, // the late answer
      {1306, "recv QWC50A_C3", {}},
      {1307,
       "recv QWC50A_C3",
       {"discard 55", "discard QWC50A_C3", "discard QWC50A_C3", "cut", "send #6 q2"}},
      {1310, "model *", {"model QWC50A_C3"}}}},
    {"UnderAllAxesWithSeveralTheProbeAsksTheFirstByItsLetter",
     {{0, "scanned XAC", {}},
      {0, "ask 1 #5", {"send #5 q1"}},
      {1250, "tick", {"unanswered q1 asked"}},
      {1300, "ask 2 #6", {"send X:", "send VER", "send VER"}},
      {1305, "recv QWC30", {}},
      {1306, "recv QWC30", {"discard QWC30", "discard QWC30", "cut", "send *: q2", "send #6 q2"}},
      {1310, "model X", {"model QWC30"}}}},
    {"ModelQueryAnsweredEsGivesNoModelTextAndTheQuietLetsTheQuestionGo",
     {{0, "ask 1 #5", {"send #5 q1"}},
      {1250, "tick", {"unanswered q1 asked"}},
      {1300, "ask 2 #6", {"send VER", "send VER"}},
      {1305, "recv E-S", {}},
      {1306, "recv E-S", {}},
      {2305, "tick", {}},
      {2306, "tick", {"discard E-S", "discard E-S", "cut", "send #6 q2"}},
      {2310, "model *", {"model -"}},
      {2320, "ask 3 VER", {}},
      {2330, "recv E-S", {"answer q2 E-S", "send VER q3"}},
      {2340, "recv E-S", {"answer q3 E-S"}},
      {2350, "model *", {"model -"}}}},
    {"ModelQueryAnsweredWithGarbageForgetsTheKnownModelTextAfterTheQuiet",
     {{0, "ask 1 VER", {"send VER q1"}},
      {5, "recv QWC30", {"answer q1 QWC30"}},
      {10, "ask 2 #5", {"send #5 q2"}},
      {1260, "tick", {"unanswered q2 asked"}},
      {1300, "ask 3 #6", {"send VER"}},
      {1305, "recv \x81zq", {}},
      {2305, "tick", {"discard \x81zq", "cut", "send #6 q3"}},
      {2310, "model *", {"model -"}}}},
    // A write sent while the probe waits has its own reply time before the quiet ends the probe.
    {"AWriteSentWhileTheProbeWaitsIsAnsweredBeforeTheQuietLetsTheQuestionGo",
     {{0, "ask 1 VER", {"send VER q1"}},
      {5, "recv QWC30", {"answer q1 QWC30"}},
      {10, "ask 2 #5", {"send #5 q2"}},
      {1260, "tick", {"unanswered q2 asked"}},
      {1300, "ask 3 #6", {"send VER"}},
      {1305, "recv \x81zq", {}},
      {2200, "write #12=5", {"send #12=5"}},
      {2305, "tick", {}},
      {2400, "recv E-S", {}},
      {3399, "tick", {}},
      {3400, "tick", {"discard \x81zq", "discard E-S", "cut", "send #6 q3"}},
      {3405, "recv 66", {"answer q3 66"}}}},
    {"AProbeAnsweredAfterItsLimitAnswersNothing",
     {{0, "ask 1 VER", {"send VER q1"}},
      {5, "recv QWC30", {"answer q1 QWC30"}},
      {10, "ask 2 #5", {"send #5 q2"}},
      {1260, "tick", {"unanswered q2 asked"}},
      {1300, "ask 3 #6", {"send VER"}},
      {5300, "tick", {"cut", "unanswered q3"}},
      {5400, "recv QWC30", {"unasked QWC30"}},
      {5500, "ask 4 #7", {"send VER"}}}},
    {"AScanWhileOutOfStepGoesAtOnceAndTeachesNoModelText",
     {{0, "ask 1 #5", {"send #5 q1"}},
      {1250, "tick", {"unanswered q1 asked"}},
      {1300, "scan 2 X:#33", {"send X:#33 q2"}},
      {1305, "recv 88", {"answer q2 88"}},
      {1310, "scan 3 Y:#33", {"send Y:#33 q3"}},
      {1460, "withdraw 3", {}}, // silence: an absent axis, nothing more
      {1470, "model X", {"model -"}},
      {1470, "instep *", {"instep no"}}}},
    {"APortClosedWhileProbingEndsTheQuestionAndTheNextProbeCountsTheFirst",
     {{0, "ask 1 #5", {"send #5 q1"}},
      {1250, "tick", {"unanswered q1 asked"}},
      {1300, "ask 2 #6", {"send VER", "send VER"}},
      {1320, "close", {"unanswered q2"}},
      {1420, "open", {}},
      {1430, "ask 3 #7", {"send VER", "send VER"}},
      // Five lines may come before the probe's two: the line's quiet decides.
      {1435, "recv 55|QWC30|QWC30|QWC30", {}},
      {1440, "recv QWC30", {}},
      {2440,
       "tick",
       {"discard 55", "discard QWC30", "discard QWC30", "discard QWC30", "discard QWC30", "cut",
        "send #7 q3"}},
      {2445, "model *", {"model QWC30"}}}},
    {"ALineLostWhileProbingEndsEveryQuestionAndTheNextGoesAtOnce",
     {{0, "ask 1 #5", {"send #5 q1"}},
      {1250, "tick", {"unanswered q1 asked"}},
      {1300, "ask 2 #6", {"send VER", "send VER"}},
      {1310, "ask 3 #7", {}},
      {1320, "lost", {"unanswered q2 lost", "unanswered q3 lost"}},
      {2000, "ask 4 #8", {"send *: q4", "send #8 q4"}}}},
    {"AWithdrawnQuestionsAnswerInItsReplyTimeIsDiscardedAndKeepsTheStep",
     {{0, "ask 1 #5 nolimit", {"send #5 q1"}},
      {10, "withdraw 1", {}},
      {20, "ask 2 #6", {}},
      {30, "recv 55", {"discard 55", "send #6 q2"}},
      {40, "recv 66", {"answer q2 66"}},
      {50, "ask 3 #7 nolimit", {"send #7 q3"}},
      {2000, "withdraw 3", {}}, // long overdue: out of step at once
      {2000, "instep *", {"instep no"}}}},
    {"ASyncAnswersAtOnceOnALineInStepAndAfterTheProbeOtherwise",
     {{0, "sync 1", {"answer q1 "}},
      {10, "ask 2 #5", {"send #5 q2"}},
      {1260, "tick", {"unanswered q2 asked"}},
      {1300, "sync 3", {"send VER", "send VER"}},
      {1305, "recv QWC30|QWC30", {"discard QWC30", "discard QWC30", "cut", "answer q3 "}}}},
    {"ASendThatFailsEndsItsQuestionUnaskedAndTheNextIsTried",
     {{0, "failnext", {}},
      {0, "ask 1 #5", {"fails #5 q1", "unanswered q1"}},
      {10, "ask 2 #6", {"send *:", "send VER", "send VER"}},
      {15, "recv QWC30|QWC30", {"discard QWC30", "discard QWC30", "cut", "send #6 q2"}}}},
    {"TwoLinesInOneEventTheFirstAnswersTheQuestion",
     {{0, "ask 1 #5", {"send #5 q1"}},
      {1, "write #6=1", {"send #6=1"}},
      {5, "recv 55|E-S", {"answer q1 55", "unasked E-S"}}}},
    {"AnAnswerTooLongToReadLeavesItsQuestionToItsLimitAndAnswersNothingElse",
     {{0, "ask 1 #5", {"send #5 q1"}},
      {1, "write #6=1", {"send #6=1"}},
      {5, "recv " + std::string(49, 'x'), {}},
      {8, "recv E-S", {"unasked E-S"}},
      {1250, "tick", {"unanswered q1 asked"}},
      {1260, "ask 2 #7", {"send VER", "send VER"}}}},
    {"AContinuousOutputAnswersNothingAndOnlyTheQuietEndsIt",
     {{0, "ask 1 ==", {"send == q1"}},
      {5, "recv 100", {"answer q1 100"}},
      {10, "recv 101", {"unasked 101"}},
      {20, "write .", {"send ."}},
      {20, "ask 2 #5", {"send VER", "send VER"}},
      {25, "recv 102", {}},
      {30, "recv QWC30|QWC30", {}},
      {1030, "tick", {"unasked 102", "discard QWC30", "discard QWC30", "cut", "send #5 q2"}}}},
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
