// The data areas of the driver's memory that the editor's data transfers read and write: the cam
// table and the correction table, each with a recognisable default content until written. The
// internal-variable presets of each series lie on the logging buffer (LoggingCommands.cpp).
#include "DriverAxis.h"

#include <charconv>
#include <cmath>
#include <numbers>

namespace sim {

namespace {

// A table of `count` values of one form from `base`, stepped as the memory steps that form.
struct DataArea {
    DriverMemory::Form form;
    std::uint32_t base;
    int count;
    std::int32_t (*initial)(int index);
};

// One cam turn: a smooth lift of 100000 over the table.
std::int32_t CamLift(int index) {
    const double turn = index / static_cast<double>(DriverAxis::DataAreaValues);
    return static_cast<std::int32_t>(
        std::lround(50000.0 * (1.0 - std::cos(2 * std::numbers::pi * turn))));
}

// Small corrections that repeat every 64 positions.
std::int32_t Correction(int index) {
    return index % 64 - 32;
}

bool SameFamily(DriverMemory::Form a, DriverMemory::Form b) {
    using Form = DriverMemory::Form;
    const auto family = [](Form form) { return form == Form::HexWord ? Form::Word : form; };
    return family(a) == family(b);
}

std::optional<std::int64_t> ParseValue(const QByteArray& text, int base) {
    std::int64_t value = 0;
    const char* end = text.constData() + text.size();
    const auto [stop, error] = std::from_chars(text.constData(), end, value, base);
    if (text.isEmpty() || error != std::errc() || stop != end) return std::nullopt;
    if (value < INT32_MIN || value > 0xFFFFFFFFll) return std::nullopt;
    return value;
}

} // namespace

void DriverAxis::mapDataAreas() {
    const DataArea areas[] = {
        {DriverMemory::Form::Long, CamTableAddress, DataAreaValues, CamLift},
        {DriverMemory::Form::Word, CorrectionTableAddress, DataAreaValues, Correction},
    };
    for (const DataArea& area : areas) {
        auto written = std::make_shared<std::map<int, std::int32_t>>();
        // The index of a location in the area, or nothing when the area does not hold it.
        auto indexOf = [this, area](const DriverMemory::Location& at) -> std::optional<int> {
            const std::uint32_t step = memory_.step(area.form);
            if (!SameFamily(at.form, area.form) || at.address < area.base ||
                (at.address - area.base) % step != 0)
                return std::nullopt;
            const std::uint32_t index = (at.address - area.base) / step;
            if (index >= static_cast<std::uint32_t>(area.count)) return std::nullopt;
            return static_cast<int>(index);
        };
        memory_.addRegion(
            {[indexOf, written,
              area](const DriverMemory::Location& at) -> std::optional<QByteArray> {
                 const std::optional<int> index = indexOf(at);
                 if (!index) return std::nullopt;
                 const auto value = written->find(*index);
                 return DriverMemory::Notation(
                     at.form, value != written->end() ? value->second : area.initial(*index));
             },
             [indexOf, written](const DriverMemory::Location& at, const QByteArray& text) {
                 const std::optional<int> index = indexOf(at);
                 if (!index) return false;
                 const auto value =
                     ParseValue(text, at.form == DriverMemory::Form::HexWord ? 16 : 10);
                 if (!value) return false; // the memory answers "E-S"
                 (*written)[*index] = static_cast<std::int32_t>(static_cast<std::uint32_t>(*value));
                 return true;
             }});
    }
}

} // namespace sim
