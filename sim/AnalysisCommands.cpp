// The frequency response analysis commands: sine generator, logger and sweep. The generator
// drives a second-order plant; each sweep point is the logged frequency, amplitude and response
// (real and imaginary parts, or amplitude and phase), read from the log area.
#include "AnalysisState.h"
#include "DriverAxis.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <numbers>

namespace sim {

namespace {

std::optional<int> wholeNumber(const QByteArray& text) {
    int value = 0;
    const char* end = text.constData() + text.size();
    const auto [stop, error] = std::from_chars(text.constData(), end, value);
    if (text.isEmpty() || error != std::errc() || stop != end) return std::nullopt;
    return value;
}

// Commands that set something the simulation does not model; they answer nothing. The logging
// commands that the analysis sends as well ("LTIME=", "LC", "L") are the logging's.
constexpr const char* kQuietCommands[] = {"MASK", "INC",  "VEL",  "ACC",   "FOR",  "TOR",   "G",
                                          "P=0",  "V=0",  "A=0",  "F=0",   "Q=0",  "ADPOF", "/L",
                                          "S",    "SVOF", "NFOF", "NFTON", "NFTOF"};
constexpr const char* kQuietSettings[] = {"SGMD=", "FRAMD=", "LLINE=", "KIKTM="};

// What follows the first "=" of a command.
QByteArray valueOf(const QByteArray& command) {
    const qsizetype equals = command.indexOf('=');
    return equals < 0 ? QByteArray() : command.mid(equals + 1);
}

// "SGA=" followed by a value, or by "SGA+" and an offset (the driver's own expression).
std::optional<int> amplitudeSetting(const QByteArray& value, int current) {
    if (value.startsWith("SGA+")) {
        const auto offset = wholeNumber(value.mid(4));
        return offset ? std::optional(current + *offset) : std::nullopt;
    }
    return wholeNumber(value);
}

} // namespace

std::complex<double> AnalysisState::response(double hz) const {
    const double r = hz / naturalHz;
    return 1.0 / std::complex<double>(1.0 - r * r, 2.0 * damping * r);
}

std::array<int, 4> AnalysisState::loggedWords() const {
    const std::complex<double> y = double(amplitude) * response(frequency);
    std::array<int, 4> words{};
    for (int k = 0; k < 4; ++k) {
        const QByteArray& name = logNames[k];
        double value = 0.0;
        if (name == "SGF")
            value = negativeFromHz > 0 && frequency >= negativeFromHz ? -frequency : frequency;
        else if (name == "SGA")
            value = amplitude;
        else if (name == "RMAX")
            value = y.real();
        else if (name == "JMAX")
            value = y.imag();
        else if (name == "AMAX")
            value = std::abs(y);
        else if (name == "ADEG")
            value = std::arg(y) * 180.0 / std::numbers::pi;
        words[k] = static_cast<int>(std::lround(value));
    }
    return words;
}

int AnalysisState::readPoint() {
    point = loggedWords();
    return point[0];
}

namespace {

// The log area lies in the axis's memory at the logging buffer's address: while an analysis
// runs, its first four values are the point's words (the first read latches the point), and the
// continuation reads the others.
void hookLogArea(DriverMemory& memory, const std::shared_ptr<AnalysisState>& state) {
    if (state->logHooked) return;
    state->logHooked = true;
    const std::weak_ptr<AnalysisState> weak = state;
    memory.addRegion(
        {[weak, &memory](const DriverMemory::Location& at) -> std::optional<QByteArray> {
             const std::shared_ptr<AnalysisState> running = weak.lock();
             if (!running || !running->active || at.form != DriverMemory::Form::Long)
                 return std::nullopt;
             bool ok = false;
             const std::uint32_t base = running->logArea.toUInt(&ok, 16);
             const std::uint32_t step = memory.step(at.form);
             if (!ok || at.address < base || (at.address - base) % step != 0) return std::nullopt;
             const std::uint32_t word = (at.address - base) / step;
             if (word >= 4) return std::nullopt;
             const QByteArray value =
                 QByteArray::number(word == 0 ? running->readPoint() : running->point[word]);
             const auto replaced = running->replacedReplies.find(word == 0 ? "#%" : ",");
             return replaced != running->replacedReplies.end() ? replaced->second : value;
         },
         nullptr});
}

} // namespace

AnalysisState& DriverAxis::analysis() {
    if (!analysis_) analysis_ = std::make_shared<AnalysisState>();
    return *analysis_;
}

void DriverAxis::addAnalysisCommands() {
    using Reply = std::optional<QByteArray>;
    using Answer = std::function<Reply(AnalysisState&, const QByteArray& command)>;
    // A reply may be replaced by a test's fault (AnalysisState::replacedReplies).
    const auto answering = [this](Answer answer) -> CommandTable::Handler {
        return [this, answer = std::move(answer)](const QByteArray& command) {
            AnalysisState& state = analysis();
            Reply reply = answer(state, command);
            if (const auto replaced = state.replacedReplies.find(command);
                reply && replaced != state.replacedReplies.end())
                reply = replaced->second;
            return reply;
        };
    };
    const auto name = [&](const QByteArray& command, Answer answer) {
        commands_.addName(command, answering(std::move(answer)));
    };
    const auto setting = [&](const QByteArray& command, Answer answer) {
        commands_.addSetting(command, answering(std::move(answer)));
    };
    const auto assignment = [&](const QByteArray& prefix, Answer answer) {
        commands_.addPrefix(prefix, answering(std::move(answer)));
    };
    const auto constant = [&](const QByteArray& command, const QByteArray& reply) {
        name(command, [reply](AnalysisState&, const QByteArray&) { return Reply(reply); });
    };

    name("&LAORG", [this](AnalysisState& state, const QByteArray&) {
        state.active = true;
        state.logArea = loggingSetting("&LOGP");
        hookLogArea(memory_, analysis_);
        return Reply(state.logArea);
    });
    setting("VERST", [](AnalysisState& state, const QByteArray& command) {
        if (!command.contains('='))
            return Reply(state.verstReply.isEmpty() ? QByteArray::number(state.verst)
                                                    : state.verstReply);
        state.verst = wholeNumber(valueOf(command)).value_or(state.verst);
        return Reply();
    });
    assignment("SGF=", [](AnalysisState& state, const QByteArray& command) {
        state.frequency = wholeNumber(valueOf(command)).value_or(state.frequency);
        return Reply();
    });
    assignment("SGA=", [](AnalysisState& state, const QByteArray& command) {
        state.amplitude =
            amplitudeSetting(valueOf(command), state.amplitude).value_or(state.amplitude);
        return Reply();
    });
    for (const char* generator : {"SINON", "SINOF"})
        name(generator, [](AnalysisState& state, const QByteArray& command) {
            state.generatorOn = command == "SINON";
            if (!state.generatorOn) state.active = false;
            return Reply();
        });
    name("SVON", [](AnalysisState& state, const QByteArray&) {
        state.servoOn = true;
        return Reply();
    });
    name("SVONS",
         [](AnalysisState& state, const QByteArray&) { return Reply(state.servoOn ? "1" : "0"); });
    name("TCLR", [](AnalysisState& state, const QByteArray&) {
        state.timeMs = 0;
        return Reply();
    });
    name("TIME", [](AnalysisState& state, const QByteArray&) {
        state.timeMs += 100;
        return Reply(QByteArray::number(state.timeMs));
    });
    name("ALST", [](AnalysisState& state, const QByteArray&) {
        return Reply(QByteArray::number(state.alarm));
    });
    name("QREF", [](AnalysisState& state, const QByteArray&) {
        return Reply(QByteArray::number(state.torqueRef));
    });
    name("QLIM", [](AnalysisState& state, const QByteArray&) {
        return Reply(QByteArray::number(state.torqueLimit));
    });
    setting("NFST", [](AnalysisState& state, const QByteArray& command) {
        if (!command.contains('=')) return Reply(state.nfst);
        state.nfst = valueOf(command);
        return Reply();
    });
    constant("M", "2");
    constant("BACT", "280");
    constant("KENC", "100");
    constant("VXMAX", "32767");
    for (int k = 0; k < 4; ++k)
        assignment("LOG" + QByteArray::number(k + 1) + '=',
                   [k](AnalysisState& state, const QByteArray& command) {
                       state.logNames[k] = valueOf(command);
                       return Reply();
                   });
    for (const char* command : kQuietCommands)
        commands_.addName(command, [](const QByteArray&) { return std::nullopt; });
    for (const char* prefix : kQuietSettings)
        commands_.addPrefix(prefix, [](const QByteArray&) { return std::nullopt; });

    // The parameter of the driver's kind reads as a driver with the analysis function (kind 2 in
    // the ten-thousands digit) until a test writes another value.
    commands_.addName("#40", [this](const QByteArray& command) {
        if (!parameters_.contains(40)) parameters_[40] = 21040;
        return runParameterCommand(command);
    });
}

} // namespace sim
