// The line's step against a model of the drivers: two axes, a record transfer on one (a
// selection, then the selected value, asked from inside each answer) and a parameter read on the
// other, a user designating axes meanwhile, writes refused with some chance and some delay, and
// purges, reopened ports and rate changes among them. Every answer the step hands out must be the
// driver's answer to that question, from that question's axis.
#include "ModelLine.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

using model::Ms;

struct Row {
    double refuseChance;
    Ms refuseMs;
    bool sameModel;
    bool noModelQuery = false; // "VER" answered "E-S"
    bool absentAxis = false;   // questions to Z too, which never answers
};

std::string RowName(const testing::TestParamInfo<Row>& info) {
    const Row& row = info.param;
    return "Refused" + std::to_string(int(row.refuseChance * 1000)) + "PerMilleAfter" +
           std::to_string(row.refuseMs) + "Ms" + (row.sameModel ? "OneModel" : "TwoModels") +
           (row.noModelQuery ? "WithoutVer" : "") + (row.absentAxis ? "AndAnAbsentAxis" : "");
}

// The record transfer's chain: for each entry its selection, then "*DTPT", the next entry asked
// from inside the answer. An entry whose selection was refused or not known to be taken, or
// whose question ended unanswered, is asked again; an answer that stands for its entry must be
// that entry's value.
class RecordChain {
public:
    RecordChain(model::Line& line, char axis) : line_(line), axis_(axis) {}
    void Start() {
        if (pending_ || !line_.Open()) return;
        pending_ = true;
        selected_ = false;
        line_.Write("#DTPT=" + QByteArray::number(entry_) + "\r", axis_,
                    [this](LineStep::Action::Type outcome) {
                        selected_ = outcome == LineStep::Action::Type::WriteTaken;
                    });
        line_.Ask("*DTPT\r", axis_, LineStep::kReplyTimeMs * 5 / 4,
                  [this](bool answered, const QByteArray& answer) {
                      pending_ = false;
                      if (answered && selected_) {
                          if (answer != model::Driver::Value(axis_, entry_)) ++wrongEntries;
                          ++entry_;
                      }
                      Start();
                  });
    }
    int Entries() const { return entry_; }
    int wrongEntries = 0;

private:
    model::Line& line_;
    char axis_;
    int entry_ = 0;
    bool pending_ = false;
    bool selected_ = false;
};

// Questions to an axis that never answers, each asked again when it ends.
class AbsentChain {
public:
    AbsentChain(model::Line& line, char axis) : line_(line), axis_(axis) {}
    void Start() {
        if (pending_ || !line_.Open()) return;
        pending_ = true;
        line_.Ask("#7\r", axis_, LineStep::kReplyTimeMs * 5 / 4, [this](bool, auto&) {
            pending_ = false;
            ++ended;
            Start();
        });
    }
    int ended = 0;

private:
    model::Line& line_;
    char axis_;
    bool pending_ = false;
};

// The parameter read's chain: "#n" after "#n - 1", without a limit, asked again when it ends.
class ParameterChain {
public:
    ParameterChain(model::Line& line, char axis) : line_(line), axis_(axis) {}
    void Start() {
        if (pending_ || !line_.Open()) return;
        pending_ = true;
        line_.Ask("#" + QByteArray::number(number_ % 110) + "\r", axis_, LineStep::kReplyTimeMs,
                  [this](bool answered, auto&) {
                      pending_ = false;
                      if (answered) ++number_;
                      Start();
                  });
    }
    int Answered() const { return number_; }

private:
    model::Line& line_;
    char axis_;
    int number_ = 0;
    bool pending_ = false;
};

void PrintTo(const Row& row, std::ostream* out) {
    *out << row.refuseChance << " refused after " << row.refuseMs << " ms";
}

class LineStepModel : public testing::TestWithParam<Row> {};

TEST_P(LineStepModel, EveryAnswerIsItsOwnQuestionsFromItsOwnAxis) {
    const Row row = GetParam();
    for (const std::uint32_t seed : {1u, 2u}) {
        model::Driver::Settings settings{"XY", row.refuseChance, row.refuseMs,    2,
                                         8,    row.sameModel,    row.noModelQuery};
        model::Driver driver(settings, seed);
        model::Line line(driver);
        RecordChain records(line, 'X');
        ParameterChain parameters(line, 'Y');
        AbsentChain absent(line, 'Z');
        std::mt19937 random(seed);
        const auto startChains = [&] {
            records.Start();
            parameters.Start();
            if (row.absentAxis) absent.Start();
            line.Carry();
        };
        // Now and then the user designates an axis or types a write, or the line is purged,
        // reopened or switched.
        Ms nextUpset = 500;
        startChains();
        // With every write refused no entry can be selected: the parameter read goes on.
        const bool allRefused = row.refuseChance >= 1;
        const auto progress = [&] {
            return allRefused ? parameters.Answered() / 10 : records.Entries();
        };
        const int goal = row.absentAxis ? 300 : 3000;
        while (progress() < goal && line.now < 3'600'000) {
            const std::optional<Ms> next = line.NextEvent();
            if (!next || *next > nextUpset) {
                line.now = std::max(line.now, nextUpset);
                nextUpset = line.now + std::uniform_int_distribution<Ms>(20, 4000)(random);
                switch (std::uniform_int_distribution<int>(0, 9)(random)) {
                case 0:
                    line.Purge();
                    break;
                case 1:
                    line.Close();
                    line.Carry();
                    line.Open(true);
                    break;
                case 2:
                    line.Close();
                    line.Carry();
                    driver.Garble();
                    line.Open(false);
                    break;
                case 3:
                    line.Write("#1=1\r", 'Y'); // a typed write to another axis
                    break;
                case 4:
                    line.Write("#12=5\r", 'X');
                    break;
                default:
                    line.Write(random() % 2 ? "Y:\r" : "X:\r", 0);
                    break;
                }
                line.Carry();
                // The chains that ended with the port start again, as their users would.
                startChains();
                continue;
            }
            line.RunEvent(*next);
        }
        EXPECT_EQ(line.badEnds, 0) << "seed " << seed;
        EXPECT_EQ(line.wrong + line.writeWrong, 0)
            << "seed " << seed << ": " << (line.faults.empty() ? "" : line.faults.front());
        EXPECT_EQ(records.wrongEntries, 0) << "seed " << seed;
        EXPECT_GE(progress(), goal) << "seed " << seed << ", at " << line.now << " ms";
        if (row.absentAxis) {
            EXPECT_GT(absent.ended, 0) << "seed " << seed;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    LineStepTest, LineStepModel,
    testing::Values(Row{0, 3, false}, Row{0.001, 3, false}, Row{0.01, 3, false},
                    Row{0.05, 3, false}, Row{1, 3, false}, Row{0.01, 20, false},
                    Row{0.05, 20, true}, Row{1, 20, false}, Row{0.001, 80, true},
                    Row{0.01, 80, false}, Row{0.05, 80, false}, Row{1, 80, true},
                    Row{0.2, 900, false}, Row{0.5, 900, true}, Row{0.05, 3, false, true},
                    Row{0.2, 300, true, true}, Row{0.05, 3, false, false, true},
                    Row{0.2, 900, true, false, true}, Row{0.2, 300, false, true, true}),
    RowName);

} // namespace
