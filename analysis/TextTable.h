// The analysis window's reader of text tables: measurement files, spectrum sample files and the
// saved table of uploaded driver data. Cells are separated by commas, blanks or tabs. Plain C++.
#pragma once

#include <array>
#include <istream>
#include <optional>
#include <string>
#include <vector>

namespace fra {

class TextTable {
public:
    static constexpr int kColumns = 5;
    static constexpr int kCellChars = 63;

    explicit TextTable(int maxRows) : maxRows_(maxRows) {}

    int ColumnCount = 0;   // the largest column index reached, plus 1 (at most 5)
    int RowCount = 0;      // rows stored
    bool Overflow = false; // the text had more rows than the table holds; those were dropped
    // The first cell longer than kCellChars, which holds only their first kCellChars; -1 when
    // there is none.
    int CutRow = -1;
    int CutCol = -1;
    // The line (from 1) whose byte 0xFF ended the reading with more than blanks and line ends
    // after it, which were not read; 0 when none did.
    int EndMarkLine = 0;

    int MaxRows() const { return maxRows_; }
    // The cell's text, empty when nothing was stored there.
    std::string Cell(int row, int col) const;
    // The cells the text gave the row, those past the kColumns it keeps included.
    int CellCount(int row) const;
    // The row with the most cells (0 for an empty table); more than kColumns when a row had
    // cells the table does not keep.
    int MostCells() const;
    // A cell past kColumns is counted, not stored.
    void Store(int row, int col, const std::string& text);

private:
    int maxRows_;
    std::vector<std::array<std::string, kColumns>> rows_;
    std::vector<int> cellCounts_;
};

// Reads the stream to its end (or to a byte 0xFF). CR LF and LF end a line; a line that ends in
// a separator, and an empty line, do not end the row. A run of blanks and tabs is one separator;
// each comma is one. A row keeps 5 cells and a cell 63 characters; what goes beyond is told by
// CellCount and CutRow, never stored over another cell.
void ReadTextTable(TextTable& table, std::istream& stream);

// A whole decimal number as the class library reads one: optional blanks, an optional sign and
// digits, within the int range; nothing otherwise.
std::optional<int> ParseWholeNumber(const std::string& text);

// The same, raising std::invalid_argument with the class library's message when the text is not
// a whole number.
int StrToInt(const std::string& text);

} // namespace fra
