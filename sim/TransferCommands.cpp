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

std::optional<std::optional<QByteArray>> ProgramStore::runCommand(const QByteArray& command) {
    using Reply = std::optional<QByteArray>;
    if (command == "MBCL") {
        rows_.clear();
        echo_ = command;
        writing_ = true;
        return Reply();
    }
    if (command == "RRX") {
        if (faults.silentReadBack) return Reply();
        if (faults.wrongEcho && !echo_.isEmpty()) {
            QByteArray wrong = echo_;
            wrong.back() = wrong.back() == 'X' ? 'Y' : 'X';
            return Reply(wrong);
        }
        return Reply(echo_);
    }
    if (command.startsWith("FLPT=")) {
        const std::optional<int> row = rowNumber(command.mid(5));
        if (!row) return Reply("E-S");
        pointer_ = *row;
        return Reply();
    }
    if (command == "FL") return Reply(rowAt(pointer_));
    if (command == "FL+") {
        if (pointer_ < rows_.size()) ++pointer_;
        return Reply(rowAt(pointer_));
    }
    return std::nullopt;
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
    for (const char* start : {"(", "[", "_(", "+(", "_[", "+[", "/EV", "/SQ", "DEF", "MBON",
                              "MBOF", "\"", "'"})
        if (command.startsWith(start)) return true;
    return command == "EV" || command == "SQ" || command.contains(':');
}

QByteArray ProgramStore::rowAt(int index) const {
    return index < rows_.size() ? rows_.at(index) : QByteArray(1, kEndMark);
}

bool DriverAxis::runTransferCommand(const QByteArray& command, std::optional<QByteArray>& reply) {
    if (auto answer = program_.runCommand(command)) return reply = *answer, true;
    return false;
}

} // namespace sim
