// Where the spectrum's samples come from: the column of a loaded table and its sampling
// frequency, told by the table's "LTIME=" cell or found in its "TIME" column. Plain C++.
#pragma once

#include "TextTable.h"

#include <optional>
#include <string>
#include <vector>

namespace fra {

// The sampling frequency a logging period gives ("LTIME=" followed by it): 1000 div v for
// v > 0, 4000 for -4, else 0; nothing when the period is not a whole number.
std::optional<double> SamplingFreqOfPeriod(const std::string& ltimeCell);

// The sampling frequency told by a time column counting milliseconds: the length n of the second
// and third runs of equal values when they agree and a fourth run starts, as n x 1000; 0 when
// the column tells none.
double SamplingFreqOfTimeColumn(const std::vector<int>& times);

struct SpectrumColumns {
    int shift = 0;                  // 1 when the first cell begins with "LTIME="
    double samplingFreq = 0.0;      // from the "LTIME=" cell, else 0
    std::vector<std::string> names; // the data columns' names (after the shift)
};

// The data columns of a table; no names when it holds none; nothing when its "LTIME=" period is
// not a whole number.
std::optional<SpectrumColumns> ReadSpectrumColumns(const TextTable& table);

// The values of column `col` (table column, shift included) in rows 1..RowCount-1; nothing when
// a cell is not a whole number.
std::optional<std::vector<int>> ColumnValues(const TextTable& table, int col);

} // namespace fra
