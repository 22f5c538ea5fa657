// The data table and alarm history commands: a selection sets the axis's pointer and answers
// nothing; a query answers the selected entry or record; a write sets the selected entry.
#include "DriverAxis.h"

#include <charconv>

namespace sim {

namespace {

const QByteArray NotSupported = "E-S";

// A signed decimal integer filling the whole text.
std::optional<int> wholeInteger(const QByteArray& text) {
    int value = 0;
    const char* end = text.constData() + text.size();
    const auto [stop, error] = std::from_chars(text.constData(), end, value);
    if (text.isEmpty() || error != std::errc() || stop != end) return std::nullopt;
    return value;
}

// Sets `pointer` to the index after `prefix` when it lies in 0..count-1; the reply is nothing,
// or "E-S" for an index outside.
std::optional<QByteArray> select(const QByteArray& command, qsizetype prefixLength, int count,
                                 int& pointer) {
    const auto index = wholeInteger(command.mid(prefixLength));
    if (!index || *index < 0 || *index >= count) return NotSupported;
    pointer = *index;
    return std::nullopt;
}

} // namespace

int DriverAxis::dataTableSize() const {
    if (modelText_.startsWith("QWA")) return FirstSeriesDataTableSize;
    if (!modelText_.contains("C50") && parameter(40) % 10 == 1) return FirstSeriesDataTableSize;
    return DataTableSize;
}

int DriverAxis::dataTableEntry(int n) const {
    const auto stored = dataTable_.find(n);
    return stored != dataTable_.end() ? stored->second : 2000 + n;
}

DriverAxis::AlarmRecord DriverAxis::alarmRecord(int n) const {
    const auto stored = alarms_.find(n);
    return stored != alarms_.end() ? stored->second : AlarmRecord{100 + n, 5000 + 1000LL * n};
}

bool DriverAxis::runDriveRecordCommand(const QByteArray& command,
                                       std::optional<QByteArray>& reply) {
    if (command.startsWith("#DTPT=")) {
        reply = select(command, 6, dataTableSize(), dataTablePointer_);
    } else if (dataTablePointer_ >= dataTableSize() && command.startsWith("*DTPT")) {
        reply = NotSupported; // selected before the table shrank
    } else if (command == "*DTPT") {
        reply = QByteArray::number(dataTableEntry(dataTablePointer_));
    } else if (command.startsWith("*DTPT=")) {
        const auto value = wholeInteger(command.mid(6));
        if (value) setDataTableEntry(dataTablePointer_, *value);
        reply = value ? std::nullopt : std::optional(NotSupported);
    } else if (command.startsWith("ALHPT=")) {
        reply = select(command, 6, AlarmRecordCount, alarmPointer_);
    } else if (command == "ALH") {
        reply = QByteArray::number(alarmRecord(alarmPointer_).code);
    } else if (command == "ALTH") {
        reply = QByteArray::number(alarmRecord(alarmPointer_).timeMs);
    } else {
        return false;
    }
    return true;
}

} // namespace sim
