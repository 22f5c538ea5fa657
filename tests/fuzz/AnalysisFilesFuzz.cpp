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
    const fra::LoadedMeasurement measurement = fra::ParseMeasurement(table);
    FUZZ_CHECK(measurement.valid || measurement.points.empty());
    FUZZ_CHECK(measurement.points.size() <= static_cast<size_t>(fra::kMaxPoints));
    (void)fra::ReadSpectrumColumns(table);
    (void)fra::ParseWholeNumber(
        std::string(reinterpret_cast<const char*>(data), size < 64 ? size : 64));
    return 0;
}
