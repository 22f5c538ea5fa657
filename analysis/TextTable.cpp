// The table reader is a character-at-a-time state machine: the current row and column, the text
// of the current cell, and the blanks and commas seen since the last ordinary character.
#include "TextTable.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>

namespace fra {

std::string TextTable::Cell(int row, int col) const {
    if (row < 0 || row >= static_cast<int>(rows_.size()) || col < 0 || col >= kColumns) return {};
    return rows_[row][col];
}

int TextTable::CellCount(int row) const {
    if (row < 0 || row >= static_cast<int>(cellCounts_.size())) return 0;
    return cellCounts_[row];
}

int TextTable::MostCells() const {
    return cellCounts_.empty() ? 0 : *std::max_element(cellCounts_.begin(), cellCounts_.end());
}

void TextTable::Store(int row, int col, const std::string& text) {
    if (row >= maxRows_) {
        Overflow = true;
        return;
    }
    if (row >= static_cast<int>(rows_.size())) {
        rows_.resize(row + 1);
        cellCounts_.resize(row + 1);
    }
    cellCounts_[row] = std::max(cellCounts_[row], col + 1);
    if (col >= kColumns) return;
    if (text.size() > static_cast<std::size_t>(kCellChars) && CutRow < 0) {
        CutRow = row;
        CutCol = col;
    }
    rows_[row][col] = text.substr(0, kCellChars);
}

namespace {

class TableReader {
public:
    explicit TableReader(TextTable& table) : table_(table) {}

    // Takes one character; -1 is the end of the text.
    void Take(int ch) {
        table_.ColumnCount = std::max(table_.ColumnCount, std::min(col_, TextTable::kColumns - 1));
        if (ch == '\n' || ch < 0) {
            if (!text_.empty()) {
                table_.Store(row_, col_, text_);
                ++row_;
                col_ = 0;
            }
            text_.clear();
        } else if (ch == ' ' || ch == '\t') {
            if (blanks_ == 0 && commas_ == 0) StoreAndAdvance();
            ++blanks_;
        } else if (ch == ',') {
            StoreAndAdvance();
            ++commas_;
        } else {
            blanks_ = commas_ = 0;
            text_.push_back(static_cast<char>(ch));
        }
    }

    void Finish() {
        table_.RowCount = std::min(row_, table_.MaxRows());
        table_.ColumnCount += 1;
    }

private:
    void StoreAndAdvance() {
        table_.Store(row_, col_, text_);
        text_.clear();
        ++col_;
    }

    TextTable& table_;
    int row_ = 0;
    int col_ = 0;
    std::string text_;
    int blanks_ = 0;
    int commas_ = 0;
};

// Whether the rest of the stream holds more than blanks and line ends.
bool MoreFollows(std::istream& stream) {
    for (int ch = stream.get(); ch != std::char_traits<char>::eof(); ch = stream.get())
        if (ch != ' ' && ch != '\t' && ch != '\r' && ch != '\n') return true;
    return false;
}

} // namespace

void ReadTextTable(TextTable& table, std::istream& stream) {
    TableReader reader(table);
    int line = 1;
    for (;;) {
        int ch = stream.get();
        if (ch == std::char_traits<char>::eof() || ch == 0xFF) {
            reader.Take(-1);
            if (ch == 0xFF && MoreFollows(stream)) table.EndMarkLine = line;
            break;
        }
        if (ch == '\n') ++line;
        if (ch == '\r' && stream.peek() == '\n')
            continue; // CR LF is one line end, as a text-mode read gives it
        reader.Take(ch);
    }
    reader.Finish();
}

std::optional<int> ParseWholeNumber(const std::string& text) {
    std::size_t start = text.find_first_not_of(' ');
    if (start == std::string::npos) return std::nullopt;
    // One sign at most: a '+' is passed over, so a '-' may not follow it.
    if (text[start] == '+' && ++start < text.size() && text[start] == '-') return std::nullopt;
    int value = 0;
    const char* first = text.data() + start;
    const char* last = text.data() + text.size();
    const auto [stop, error] = std::from_chars(first, last, value);
    if (error != std::errc() || stop != last || first == last) return std::nullopt;
    return value;
}

int StrToInt(const std::string& text) {
    if (const std::optional<int> value = ParseWholeNumber(text)) return *value;
    throw std::invalid_argument("'" + text + "' is not a valid integer value");
}

} // namespace fra
