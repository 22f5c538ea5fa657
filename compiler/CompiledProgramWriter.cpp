// The compiled program: the rows in source order, each ended by a line end, numbered as steps
// while they are written. Every step row (bracket rows, "MBON", two-character rows) takes the
// next number of its part, counted from 1 after the "EV" or "SQ" row; other rows take none.
// A two-character marker row ("A:") is written after its step number in four places and a
// blank. Evline and Sqline end as the step counts of the event and the sequence part.
#include "Compiler.h"

namespace kaso::compiler {

namespace {

class StepCounter {
public:
    StepCounter(Generation generation, StepCounts& counts)
        : generation_(generation), counts_(counts) {}

    // The prefix to write before the row.
    std::string Classify(std::string_view row) {
        if (row.size() == 2 || row.starts_with("/EV") || row.starts_with("/SQ"))
            return ClassifyShortRow(row);
        if (row.starts_with("DEF")) {
            --step_;
            PartCount() = step_;
        } else if (BeginsWithCondition(row)) {
            PartCount() = step_;
        } else if (!row.starts_with("MBON")) {
            --step_;
            PartCount() = step_;
        }
        return {};
    }

    void RowWritten() { ++step_; }

private:
    std::string ClassifyShortRow(std::string_view row) {
        if (row.starts_with("EV")) {
            step_ = 0;
        } else if (row.starts_with("SQ")) {
            counts_.evline = step_ - 1;
            step_ = 0;
            counts_.sequenceOpen = true;
        } else if (row.starts_with("/EV")) {
            --step_;
        } else if (row.starts_with("/SQ")) {
            counts_.sqline = step_ - 1;
            counts_.sequenceOpen = false;
            step_ = generation_ == Generation::First ? 0 : counts_.evline;
        } else if (row == "()") {
            PartCount() = step_;
        } else if (row == "[]") {
            (generation_ == Generation::First ? counts_.sqline : PartCount()) = step_;
        } else if (Contains(row, ":")) {
            return PadNumber(step_, 4) + ' ';
        }
        return {};
    }

    static bool BeginsWithCondition(std::string_view row) {
        return row.starts_with("(") || row.starts_with("[") || row.starts_with("_(") ||
               row.starts_with("+(") || row.starts_with("_[") || row.starts_with("+[");
    }

    int& PartCount() { return counts_.sequenceOpen ? counts_.sqline : counts_.evline; }

    Generation generation_;
    StepCounts& counts_;
    int step_ = 1;
};

} // namespace

std::string FormatCompiledProgram(const std::vector<Row>& rows, Generation generation,
                                  StepCounts& counts) {
    counts = {};
    StepCounter counter(generation, counts);
    std::string text;
    std::size_t length = 0;
    for (const Row& row : rows)
        length += row.text.size() + 8; // the row, its mark and its line end
    text.reserve(length);
    for (const Row& row : rows) {
        text += counter.Classify(row.text);
        text += row.text;
        text += '\n';
        counter.RowWritten();
    }
    return text;
}

} // namespace kaso::compiler
