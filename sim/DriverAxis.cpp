// The command set of one simulated axis.
#include "DriverAxis.h"

#include <charconv>
#include <utility>

namespace sim {

namespace {

const QByteArray NotSupported = "E-S";

// A decimal integer filling the whole text: digits, with a leading minus when signed is allowed.
std::optional<int> parseDecimal(const QByteArray& text, bool allowSign) {
    if (text.isEmpty() || (!allowSign && text.front() == '-')) return std::nullopt;
    int value = 0;
    const char* end = text.constData() + text.size();
    const auto [stop, error] = std::from_chars(text.constData(), end, value);
    if (error != std::errc() || stop != end) return std::nullopt;
    return value;
}

} // namespace

DriverAxis::DriverAxis(char letter, QByteArray modelText) : letter_(letter) {
    lockMasks_.fill(-1);
    setModelText(modelText);
    mapLoggingMemory();
    mapDataAreas();
    addDriverCommands();
    addStatusCommands();
    addDriveRecordCommands();
    addLoggingCommands();
    addAnalysisCommands();
    addTransferCommands();
}

void DriverAxis::addDriverCommands() {
    commands_.addName("VER", [this](const QByteArray&) { return modelText_; });
    commands_.addPrefix("#",
                        [this](const QByteArray& command) { return runParameterCommand(command); });
    commands_.addPrefix("PRK",
                        [this](const QByteArray& command) { return runLockMaskQuery(command); });
    // The stop of continuous output and the rate switches; the driver changes its rate without a
    // word, the program follows on its side.
    for (const char* setting : {".", "BH2", "BH1", "BH", "BM", "BL"})
        commands_.addName(setting, [](const QByteArray&) { return std::nullopt; });
    // Every address command and continuation, whoever sends it, reaches the one memory.
    commands_.addSyntax(&DriverMemory::isAddressCommand,
                        [this](const QByteArray& command) { return memory_.run(command); });
}

void DriverAxis::setModelText(const QByteArray& text) {
    modelText_ = text;
    memory_.setModel(text);
    parameterCount_ = parameterCountOfModel(text);
}

int DriverAxis::parameterCountOfModel(const QByteArray& text) {
    if (text.startsWith("QWA")) return 64;
    if (text.startsWith("QWB") || text.contains("QWC30") || text.contains("QWC50A_B0")) return 90;
    for (const char* code : {"QWC50A_B1", "QWC50A_B2", "QWC50A_C0", "QWC50A_C1", "QWC50A_C2"})
        if (text.contains(code)) return 97;
    if (text.contains("QWC50A_C3") || text.contains("QWC50A_D0")) return 110;
    return DefaultParameterCount;
}

std::optional<QByteArray> DriverAxis::run(const QByteArray& command, const QByteArray& raw) {
    if (const CommandTable::Handler* handler = commands_.find(command)) return (*handler)(command);
    // A line that no entry takes may be a program row.
    if (auto reply = program_.takeRow(command, raw.isEmpty() ? command : raw)) return *reply;
    return NotSupported;
}

int DriverAxis::parameter(int n) const {
    if (const auto stored = parameters_.find(n); stored != parameters_.end()) return stored->second;
    return n == 33 ? letter_ : 1000 + n;
}

std::optional<QByteArray> DriverAxis::runParameterCommand(const QByteArray& command) {
    const qsizetype equals = command.indexOf('=');
    const auto number = parseDecimal(command.mid(1, equals < 0 ? -1 : equals - 1), false);
    if (!number || *number >= parameterCount_) return NotSupported;
    if (equals < 0) return QByteArray::number(parameter(*number));
    const auto value = parseDecimal(command.mid(equals + 1), true);
    if (!value) return NotSupported;
    setParameter(*number, *value);
    return std::nullopt;
}

std::optional<QByteArray> DriverAxis::runLockMaskQuery(const QByteArray& command) const {
    const auto k = parseDecimal(command.mid(3), false);
    if (!k || *k >= LockMaskCount) return NotSupported;
    return QByteArray::number(lockMasks_.at(*k));
}

} // namespace sim
