// The frequency response analysis commands: sine generator, logger and sweep. The generator
// drives a second-order plant; each sweep point is the logged frequency, amplitude and response
// (real and imaginary parts, or amplitude and phase), read from the log area.
#include "AnalysisState.h"
#include "DriverAxis.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <memory>
#include <numbers>
#include <set>

namespace sim {

namespace {

std::optional<int> wholeNumber(const QByteArray& text) {
    int value = 0;
    const char* end = text.constData() + text.size();
    const auto [stop, error] = std::from_chars(text.constData(), end, value);
    if (text.isEmpty() || error != std::errc() || stop != end) return std::nullopt;
    return value;
}

// Commands that set something the simulation does not model; they answer nothing.
bool isQuietSetting(const QByteArray& command) {
    static const std::set<QByteArray> exact = {
        "MASK", "INC",   "VEL", "ACC", "FOR",  "TOR",  "G",     "P=0",   "V=0", "A=0", "F=0",
        "Q=0",  "ADPOF", "/L",  "S",   "SVOF", "NFOF", "NFTON", "NFTOF", "LC",  "L"};
    if (exact.count(command) != 0) return true;
    for (const char* prefix : {"SGMD=", "FRAMD=", "LLINE=", "LTIME=", "KIKTM="})
        if (command.startsWith(prefix)) return true;
    return false;
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
    memory.addRegion({[weak, &memory](const DriverMemory::Location& at) -> std::optional<QByteArray> {
                          const std::shared_ptr<AnalysisState> running = weak.lock();
                          if (!running || !running->active ||
                              at.form != DriverMemory::Form::Long)
                              return std::nullopt;
                          bool ok = false;
                          const std::uint32_t base = running->logArea.toUInt(&ok, 16);
                          const std::uint32_t step = memory.step(at.form);
                          if (!ok || at.address < base || (at.address - base) % step != 0)
                              return std::nullopt;
                          const std::uint32_t word = (at.address - base) / step;
                          if (word >= 4) return std::nullopt;
                          const QByteArray value = QByteArray::number(
                              word == 0 ? running->readPoint() : running->point[word]);
                          const auto replaced =
                              running->replacedReplies.find(word == 0 ? "#%" : ",");
                          return replaced != running->replacedReplies.end() ? replaced->second
                                                                            : value;
                      },
                      nullptr});
}

} // namespace

AnalysisState& DriverAxis::analysis() {
    if (!analysis_) analysis_ = std::make_shared<AnalysisState>();
    return *analysis_;
}

bool DriverAxis::runAnalysisCommand(const QByteArray& command, std::optional<QByteArray>& reply) {
    AnalysisState& state = analysis();
    const qsizetype equals = command.indexOf('=');
    const QByteArray name = equals < 0 ? command : command.left(equals);
    const QByteArray value = equals < 0 ? QByteArray() : command.mid(equals + 1);
    reply = std::nullopt;
    if (command == "#40") {
        // A driver with the analysis function (kind 2 in the ten-thousands digit), until a test
        // writes another value; the parameter command answers it.
        if (!parameters_.contains(40)) parameters_[40] = 21040;
        return false;
    }
    if (command == "&LAORG") {
        state.active = true;
        state.logArea = loggingSetting("&LOGP");
        hookLogArea(memory_, analysis_);
        reply = state.logArea;
    } else if (name == "VERST") {
        if (equals < 0)
            reply = state.verstReply.isEmpty() ? QByteArray::number(state.verst) : state.verstReply;
        else
            state.verst = wholeNumber(value).value_or(state.verst);
    } else if (name == "SGF" && equals > 0) {
        state.frequency = wholeNumber(value).value_or(state.frequency);
    } else if (name == "SGA" && equals > 0) {
        state.amplitude = amplitudeSetting(value, state.amplitude).value_or(state.amplitude);
    } else if (command == "SINON" || command == "SINOF") {
        state.generatorOn = command == "SINON";
        if (!state.generatorOn) state.active = false;
    } else if (command == "SVON") {
        state.servoOn = true;
    } else if (command == "SVONS") {
        reply = state.servoOn ? "1" : "0";
    } else if (command == "TCLR") {
        state.timeMs = 0;
    } else if (command == "TIME") {
        state.timeMs += 100;
        reply = QByteArray::number(state.timeMs);
    } else if (command == "ALST") {
        reply = QByteArray::number(state.alarm);
    } else if (command == "QREF") {
        reply = QByteArray::number(state.torqueRef);
    } else if (command == "QLIM") {
        reply = QByteArray::number(state.torqueLimit);
    } else if (command == "LOGMD") {
        reply = "1";
    } else if (name == "NFST") {
        if (equals < 0)
            reply = state.nfst;
        else
            state.nfst = value;
    } else if (command == "M") {
        reply = "2";
    } else if (command == "BACT") {
        reply = "280";
    } else if (command == "KENC") {
        reply = "100";
    } else if (command == "VXMAX") {
        reply = "32767";
    } else if (name.size() == 4 && name.startsWith("LOG") && name[3] >= '1' && name[3] <= '4' &&
               equals > 0) {
        state.logNames[name[3] - '1'] = value;
    } else if (!isQuietSetting(command)) {
        return false;
    }
    if (const auto replaced = state.replacedReplies.find(command);
        reply && replaced != state.replacedReplies.end())
        reply = replaced->second;
    return true;
}

} // namespace sim
