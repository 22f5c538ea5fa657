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

void DriverAxis::addDriveRecordCommands() {
    commands_.addPrefix("#DTPT=", [this](const QByteArray& command) {
        return select(command, 6, dataTableSize(), dataTablePointer_);
    });
    commands_.addName("*DTPT", [this](const QByteArray&) -> std::optional<QByteArray> {
        if (dataTablePointer_ >= dataTableSize()) return NotSupported; // selected before it shrank
        return QByteArray::number(dataTableEntry(dataTablePointer_));
    });
    commands_.addPrefix("*DTPT=", [this](const QByteArray& command) -> std::optional<QByteArray> {
        const auto value = wholeInteger(command.mid(6));
        if (dataTablePointer_ >= dataTableSize() || !value) return NotSupported;
        setDataTableEntry(dataTablePointer_, *value);
        return std::nullopt;
    });
    commands_.addPrefix("ALHPT=", [this](const QByteArray& command) {
        return select(command, 6, AlarmRecordCount, alarmPointer_);
    });
    commands_.addName("ALH", [this](const QByteArray&) {
        return std::optional(QByteArray::number(alarmRecord(alarmPointer_).code));
    });
    commands_.addName("ALTH", [this](const QByteArray&) {
        return std::optional(QByteArray::number(alarmRecord(alarmPointer_).timeMs));
    });
}

} // namespace sim
