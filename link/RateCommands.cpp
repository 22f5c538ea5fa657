#include "RateCommands.h"

#include "LineStep.h"

#include <array>

namespace {

constexpr std::array<RateCommand, 5> kRateCommands{{
    {"BH2", 38400, "38400"},
    {"BH1", 19200, "19200"},
    {"BH", 9600, "9600"},
    {"BM", 4800, "4800"},
    {"BL", 1200, "1200"},
}};

} // namespace

const RateCommand* MatchRateCommand(const QByteArray& typedLine) {
    QByteArray stripped = typedLine;
    stripped.replace(' ', QByteArray());
    for (const RateCommand& rate : kRateCommands) {
        if (!stripped.contains(rate.command)) continue;
        return stripped == rate.command ? &rate : nullptr;
    }
    return nullptr;
}

bool TypedLineIsWrite(const QByteArray& typedLine) {
    const QByteArray command = LineStep::CommandOf(typedLine);
    return command.isEmpty() || (command.contains('=') && command != "==");
}
