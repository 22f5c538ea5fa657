#include "MeasurementFile.h"

#include "ui/Codec.h"

#include <algorithm>
#include <optional>

namespace fra {

namespace {

bool StartsWithLtime(const std::string& cell) {
    return cell.rfind("LTIME=", 0) == 0;
}

LoadedMeasurement Invalid() {
    return {};
}

bool HoldsControlCharacter(const std::string& text) {
    return std::any_of(text.begin(), text.end(), [](char ch) { return ui::cp932::IsControl(ch); });
}

} // namespace

LoadedMeasurement ParseMeasurement(const TextTable& table) {
    const int shift = StartsWithLtime(table.Cell(0, 0)) ? 1 : 0;
    const int rows = table.RowCount;
    if (table.ColumnCount - shift < 4 || table.Overflow || table.MostCells() > 4 + shift ||
        table.CutRow > 0)
        return Invalid();
    LoadedMeasurement loaded;
    if (table.CutRow == 0 && table.CutCol >= shift) loaded.cutName = table.CutCol - shift;
    for (int c = 0; c < 4; ++c) {
        loaded.columnNames[c] = table.Cell(0, c + shift);
        if (HoldsControlCharacter(loaded.columnNames[c])) return Invalid();
    }
    for (int r = 1; r < rows; ++r) {
        std::optional<int> words[4];
        for (int c = 0; c < 4; ++c)
            if (!(words[c] = ParseWholeNumber(table.Cell(r, shift + c)))) return Invalid();
        loaded.points.push_back({*words[0], *words[1], *words[2], *words[3]});
    }
    for (std::size_t i = 0; i < loaded.points.size(); ++i) {
        const int freq = loaded.points[i].Freq;
        if (freq < 1) return Invalid();
        loaded.fromHz = i == 0 ? freq : std::min(loaded.fromHz, freq);
        loaded.toHz = std::max(loaded.toHz, freq);
        // The first two points may be apart by less than the sweep's step; the step is taken
        // from the second difference on.
        if (i >= 2 && loaded.stepHz == 0) loaded.stepHz = freq - loaded.points[i - 1].Freq;
    }
    loaded.valid = true;
    return loaded;
}

std::string FormatMeasurement(const std::array<std::string, 4>& names,
                              const std::vector<TFraPoint>& points) {
    std::string text = names[0] + ',' + names[1] + ',' + names[2] + ',' + names[3] + "\r\n";
    for (const TFraPoint& p : points)
        text += std::to_string(p.Freq) + ',' + std::to_string(p.InjectedAmp) + ',' +
                std::to_string(p.Value3) + ',' + std::to_string(p.Value4) + "\r\n";
    return text;
}

std::string FormatSamples(const std::string& columnName, const std::vector<int>& samples) {
    std::string text = columnName + "\r\n";
    for (int value : samples)
        text += std::to_string(value) + "\r\n";
    return text;
}

} // namespace fra
