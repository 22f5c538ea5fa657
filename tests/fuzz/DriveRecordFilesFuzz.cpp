// The data table and alarm history readers: any bytes; entries stay inside their tables.
#include "FuzzInput.h"
#include "status/AlarmListFile.h"
#include "status/DataTableFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const int entryCount = input.Number<std::uint8_t>() % 2 ? 385 : 48;
    const QByteArray bytes = input.Rest();

    DataTableFileReader reader(bytes);
    if (!reader.StartsWithSection() || reader.FindSection("S0001")) {
        const DataTableFileReader::Result result = reader.ReadEntries(entryCount);
        for (const auto& entry : result.values)
            FUZZ_CHECK(entry.first >= 0 && entry.first < entryCount);
    }
    (void)LeadingDecimal(bytes);

    const AlarmListFileContents alarms = ReadAlarmListFile(bytes);
    FUZZ_CHECK(alarms.records.size() <= static_cast<size_t>(kAlarmRecordCount));
    return 0;
}
