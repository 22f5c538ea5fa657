// Measurement files (a header of four column names, then one line of four integers per sweep
// point) and spectrum sample files (a column name, then one integer per line): what a loaded
// table means and the bytes a save writes. Plain C++, no Qt.
#pragma once

#include "FraResponse.h"
#include "TextTable.h"

#include <array>
#include <string>
#include <vector>

namespace fra {

inline constexpr int kMaxPoints = 10000;
// The loaders' table: a header row and up to 10000 data rows.
inline constexpr int kTableRows = kMaxPoints + 1;

struct LoadedMeasurement {
    bool valid = false;
    std::array<std::string, 4> columnNames;
    std::vector<TFraPoint> points;
    int fromHz = 0;
    int toHz = 0;
    int stepHz = 0;
    // The column name that the table cut to its kCellChars characters, -1 when none was.
    int cutName = -1;
};

// The measurement in a table: four value columns after an optional first cell beginning with
// "LTIME=", then at most 10000 points of four whole numbers each, every frequency 1 Hz or more
// (a sweep may pass 10000 Hz when the control frequency allows it). Anything else leaves it not
// valid: a column name holding a control character (binary junk), a row of more cells than
// these (a fifth value or name, or a line joined to the next by a separator at its end), a value
// cut to the table's cell.
LoadedMeasurement ParseMeasurement(const TextTable& table);

// The measurement file's text with CR LF line ends.
std::string FormatMeasurement(const std::array<std::string, 4>& columnNames,
                              const std::vector<TFraPoint>& points);
// The spectrum sample file's text with CR LF line ends.
std::string FormatSamples(const std::string& columnName, const std::vector<int>& samples);

} // namespace fra
