// The line's step under any order of questions, writes, received lines, time, withdrawals,
// purges, closed ports and lost lines: one question is out at a time, each question goes out at
// most once and ends at most once, and a lost line ends every question still asked.
#include "FuzzInput.h"
#include "link/LineStep.h"

#include <map>

namespace {

enum class Fate { Waiting, Sent, Ended };

const char* const kLines[] = {"#5\r",    "VER\r", "X:VER\r", "Y:#33\r", "*:\r",
                              "#12=5\r", "Z:\r",  "\r",      "==\r",    "A:#1=2\r"};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    LineStep step;
    std::map<int, Fate> fates; // every question asked and not withdrawn
    LineStep::Ms now = 0;
    int lastId = 0;
    bool failNext = false;
    const auto drain = [&] {
        for (auto actions = step.TakeActions(); !actions.empty(); actions = step.TakeActions()) {
            bool failed = false;
            for (const LineStep::Action& action : actions) {
                const auto fate = fates.find(action.id);
                switch (action.type) {
                case LineStep::Action::Type::Send:
                    if (failed) break;
                    if (action.id != 0 && fate != fates.end()) {
                        FUZZ_CHECK(fate->second == Fate::Waiting);
                        fate->second = Fate::Sent;
                    }
                    if (failNext) {
                        failed = true;
                        failNext = false;
                        step.SendFailed(action, now);
                    }
                    break;
                case LineStep::Action::Type::Answer:
                case LineStep::Action::Type::Unanswered:
                    if (fate == fates.end()) break; // withdrawn
                    FUZZ_CHECK(fate->second != Fate::Ended);
                    fate->second = Fate::Ended;
                    break;
                default:
                    break;
                }
            }
        }
    };
    const auto carry = [&] {
        drain();
        for (step.Advance(now); step.HasActions(); step.Advance(now))
            drain();
        int out = 0;
        for (const auto& [id, fate] : fates)
            out += fate == Fate::Sent ? 1 : 0;
        FUZZ_CHECK(out <= 1);
    };
    while (!input.Empty()) {
        const auto op = input.Number<std::uint8_t>();
        now += input.Number<std::uint8_t>() * 37;
        switch (op % 12) {
        case 0:
        case 1: {
            LineStep::Question question{++lastId, kLines[input.Number<std::uint8_t>() % 10]};
            question.kind = static_cast<LineStep::Kind>(input.Number<std::uint8_t>() % 3);
            question.limitMs = input.Number<std::uint8_t>() % 2 ? 1250 : 0;
            if (question.kind == LineStep::Kind::Sync) question.line.clear();
            fates[question.id] = Fate::Waiting;
            step.Ask(question, now);
            break;
        }
        case 2:
            step.Write(kLines[input.Number<std::uint8_t>() % 10], now);
            break;
        case 3:
        case 4: {
            std::vector<QByteArray> lines;
            for (const QByteArray& line : input.Bytes(60).split('\r'))
                if (!line.isEmpty()) lines.push_back(line.left(51));
            const std::optional<QByteArray> delivered =
                lines.empty() ? std::nullopt : std::optional(lines.back());
            step.Received(lines, delivered, now);
            break;
        }
        case 5:
        case 6:
            step.Tick(now);
            break;
        case 7:
            if (lastId > 0) {
                const int id = 1 + input.Number<std::uint8_t>() % lastId;
                fates.erase(id);
                step.Withdraw(id, now);
            }
            break;
        case 8:
            step.Purged(now);
            break;
        case 9:
            if (input.Number<std::uint8_t>() % 2)
                step.PortClosed(now);
            else
                step.PortOpened(now);
            break;
        case 10:
            failNext = true;
            break;
        case 11:
            step.SetScannedAxes(input.Number<std::uint8_t>() % 2 ? "XAC" : "Y");
            break;
        }
        carry();
        // A deadline that has come is never left for later.
        if (const auto next = step.NextDeadline(); next && *next <= now) {
            step.Tick(now);
            carry();
        }
    }
    step.LineLost();
    carry();
    for (const auto& [id, fate] : fates)
        FUZZ_CHECK(fate == Fate::Ended);
    return 0;
}
