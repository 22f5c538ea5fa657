// The analysis window's file readers: the text table, then the measurement and spectrum readers
// over it.
#include "FuzzInput.h"
#include "analysis/MeasurementFile.h"
#include "analysis/SampleSource.h"
#include "analysis/TextTable.h"

#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream stream(std::string(reinterpret_cast<const char*>(data), size));
    fra::TextTable table(10001);
    fra::ReadTextTable(table, stream);
    FUZZ_CHECK(table.RowCount <= table.MaxRows() && table.ColumnCount <= fra::TextTable::kColumns);
    // A file the readers refuse may raise their format error; nothing else may escape.
    try {
        (void)fra::ParseMeasurement(table);
    } catch (const std::exception&) {
    }
    try {
        (void)fra::ReadSpectrumColumns(table);
    } catch (const std::exception&) {
    }
    (void)fra::ParseWholeNumber(std::string(reinterpret_cast<const char*>(data), size < 64 ? size : 64));
    return 0;
}
