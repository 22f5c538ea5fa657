// The program transfer commands of the editor: the program store's rows, its read-back and its
// upload pointer.
#include "DriverAxis.h"

#include <charconv>

namespace sim {

namespace {

std::optional<int> rowNumber(const QByteArray& text) {
    int value = 0;
    const char* end = text.constData() + text.size();
    const auto [stop, error] = std::from_chars(text.constData(), end, value);
    if (text.isEmpty() || error != std::errc() || stop != end || value < 0) return std::nullopt;
    return value;
}

} // namespace

void ProgramStore::clear() {
    rows_.clear();
    echo_ = "MBCL";
    writing_ = true;
}

std::optional<QByteArray> ProgramStore::readBack() const {
    if (faults.silentReadBack) return std::nullopt;
    if (faults.wrongEcho && !echo_.isEmpty()) {
        QByteArray wrong = echo_;
        wrong.back() = wrong.back() == 'X' ? 'Y' : 'X';
        return wrong;
    }
    return echo_;
}

std::optional<QByteArray> ProgramStore::setPointer(const QByteArray& row) {
    const std::optional<int> number = rowNumber(row);
    if (!number) return "E-S";
    pointer_ = *number;
    return std::nullopt;
}

QByteArray ProgramStore::nextRow() {
    if (pointer_ < rows_.size()) ++pointer_;
    return rowAt(pointer_);
}

std::optional<std::optional<QByteArray>> ProgramStore::takeRow(const QByteArray& command,
                                                               const QByteArray& raw) {
    if (!writing_ && !shapedLikeRow(command)) return std::nullopt;
    writing_ = true;
    rows_.append(raw);
    echo_ = raw;
    if (faults.replyToRows) return std::optional<QByteArray>("E-S");
    return std::optional<QByteArray>();
}

bool ProgramStore::shapedLikeRow(const QByteArray& command) {
    for (const char* start :
         {"(", "[", "_(", "+(", "_[", "+[", "/EV", "/SQ", "DEF", "MBON", "MBOF", "\"", "'"})
        if (command.startsWith(start)) return true;
    return command == "EV" || command == "SQ" || command.contains(':');
}

QByteArray ProgramStore::rowAt(int index) const {
    return index < rows_.size() ? rows_.at(index) : QByteArray(1, kEndMark);
}

void DriverAxis::addTransferCommands() {
    commands_.addName("MBCL", [this](const QByteArray&) {
        program_.clear();
        return std::nullopt;
    });
    commands_.addName("RRX", [this](const QByteArray&) { return program_.readBack(); });
    commands_.addPrefix(
        "FLPT=", [this](const QByteArray& command) { return program_.setPointer(command.mid(5)); });
    commands_.addName("FL",
                      [this](const QByteArray&) { return std::optional(program_.rowAtPointer()); });
    commands_.addName("FL+",
                      [this](const QByteArray&) { return std::optional(program_.nextRow()); });
}

} // namespace sim
