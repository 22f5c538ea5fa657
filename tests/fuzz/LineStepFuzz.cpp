// The line's step against a model of the drivers, under any order of questions, writes,
// designations, withdrawals, time, purges, reopened ports, rate changes, failed sends and lost
// lines: every answer it hands out is the driver's answer to that question, from that
// question's axis; each question ends once; and a lost line ends every question still asked.
#include "FuzzInput.h"
#include "tests/link/ModelLine.h"

#include <vector>

namespace {

const char* const kQuestions[] = {"#5\r", "VER\r", "X:VER\r", "Y:#33\r", "*DTPT\r", "==\r"};
const char* const kWrites[] = {"#12=5\r", "#DTPT=3\r", "X:\r", "Y:\r", "*:\r", "Z:\r", "\r", ".\r"};
// Questions, writes and designations go to any axis, an absent one (Z) too: the flight addresses
// one axis at a time, so another axis's answer never meets a question to Z.
constexpr char kAxes[] = {'X', 'Y', '*', 'Z'};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    model::Driver::Settings settings;
    settings.refuseChance = input.Number<std::uint8_t>() / 255.0;
    settings.refuseMs = input.Number<std::uint8_t>();
    const auto flags = input.Number<std::uint8_t>();
    settings.sameModel = flags % 2;
    settings.noModelQuery = flags & 2;
    model::Driver driver(settings, input.Number<std::uint8_t>());
    model::Line line(driver);
    std::vector<int> ids;
    while (!input.Empty()) {
        const auto op = input.Number<std::uint8_t>();
        const auto arg = input.Number<std::uint8_t>();
        switch (op % 10) {
        case 0:
        case 1: {
            if (!line.Open()) break;
            const QByteArray question = kQuestions[arg % 6];
            const model::Ms limit = arg & 0x40 ? 0 : 1250;
            ids.push_back(line.Ask(question, kAxes[(arg >> 3) % 4], limit, {}));
            break;
        }
        case 2:
            if (line.Open()) ids.push_back(line.Write(kWrites[arg % 8], kAxes[(arg >> 3) % 4]));
            break;
        case 3:
        case 4:
        case 5: { // time passes, and whatever happens meanwhile happens
            const model::Ms until = line.now + arg * 7;
            for (auto next = line.NextEvent(); next && *next <= until; next = line.NextEvent())
                line.RunEvent(*next);
            line.now = until;
            break;
        }
        case 6:
            if (!ids.empty()) line.Withdraw(ids[arg % ids.size()]);
            break;
        case 7:
            line.Purge();
            break;
        case 8:
            if (line.Open()) {
                line.Close();
            } else {
                if (arg % 2) driver.Garble();
                line.Open(arg % 2 == 0);
            }
            break;
        case 9:
            line.FailNextSend();
            break;
        }
        line.Carry();
        // A deadline that has come is never left for later.
        if (const auto next = line.step.NextDeadline(); next && *next <= line.now) {
            line.step.Tick(line.now);
            line.Carry();
            const auto after = line.step.NextDeadline();
            FUZZ_CHECK(!after || *after > line.now);
        }
        if (!line.faults.empty()) std::fprintf(stderr, "%s\n", line.faults.front().c_str());
        FUZZ_CHECK(line.wrong == 0 && line.writeWrong == 0 && line.badEnds == 0);
    }
    line.step.LineLost();
    line.Carry();
    FUZZ_CHECK(line.wrong == 0 && line.writeWrong == 0 && line.badEnds == 0);
    FUZZ_CHECK(line.Asking() == 0);
    return 0;
}
