#include "SampleSource.h"

namespace fra {

std::optional<double> SamplingFreqOfPeriod(const std::string& ltimeCell) {
    const std::optional<int> period = ParseWholeNumber(ltimeCell.substr(6));
    if (!period) return std::nullopt;
    if (*period > 0) return 1000 / *period;
    return *period == -4 ? 4000.0 : 0.0;
}

double SamplingFreqOfTimeColumn(const std::vector<int>& times) {
    if (times.empty()) return 0.0;
    std::vector<int> runs{1};
    for (std::size_t i = 1; i < times.size() && runs.size() < 4; ++i) {
        if (times[i] == times[i - 1])
            ++runs.back();
        else
            runs.push_back(1);
    }
    if (runs.size() < 4 || runs[1] != runs[2]) return 0.0;
    return runs[1] * 1000.0;
}

std::optional<SpectrumColumns> ReadSpectrumColumns(const TextTable& table) {
    SpectrumColumns columns;
    const std::string first = table.Cell(0, 0);
    if (table.RowCount > 0 && first.rfind("LTIME=", 0) == 0) {
        columns.shift = 1;
        const std::optional<double> fs = SamplingFreqOfPeriod(first);
        if (!fs) return std::nullopt;
        columns.samplingFreq = *fs;
    }
    if (table.RowCount < 1) return columns; // an empty text holds no column
    for (int c = columns.shift; c < table.ColumnCount; ++c)
        columns.names.push_back(table.Cell(0, c));
    return columns;
}

std::optional<std::vector<int>> ColumnValues(const TextTable& table, int col) {
    std::vector<int> values;
    for (int r = 1; r < table.RowCount; ++r) {
        const std::optional<int> value = ParseWholeNumber(table.Cell(r, col));
        if (!value) return std::nullopt;
        values.push_back(*value);
    }
    return values;
}

} // namespace fra
