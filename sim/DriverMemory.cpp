// The address space of one simulated axis: address forms, steps, regions and stored values.
#include "DriverMemory.h"

#include <charconv>

namespace sim {

namespace {

const QByteArray kNotSupported = "E-S";

struct Prefix {
    const char* text;
    DriverMemory::Form form;
};

// Longer prefixes first, so "!#%" is not read as something shorter.
constexpr Prefix kPrefixes[] = {
    {"!##", DriverMemory::Form::Byte}, {"!#&", DriverMemory::Form::HexWord},
    {"!#$", DriverMemory::Form::Word}, {"!#%", DriverMemory::Form::Long},
    {"&##", DriverMemory::Form::Byte}, {"&#&", DriverMemory::Form::HexWord},
    {"&#$", DriverMemory::Form::Word}, {"&#%", DriverMemory::Form::Long},
    {"##", DriverMemory::Form::Byte},  {"#&", DriverMemory::Form::HexWord},
    {"#$", DriverMemory::Form::Word},  {"#%", DriverMemory::Form::Long},
    {"*$", DriverMemory::Form::Index},
};

std::optional<std::int64_t> parseNumber(const QByteArray& text, int base) {
    if (text.isEmpty()) return std::nullopt;
    std::int64_t value = 0;
    const char* end = text.constData() + text.size();
    const auto [stop, error] = std::from_chars(text.constData(), end, value, base);
    if (error != std::errc() || stop != end) return std::nullopt;
    return value;
}

bool allDigits(const QByteArray& text, int base) {
    if (text.isEmpty()) return false;
    for (const char c : text) {
        const bool decimal = c >= '0' && c <= '9';
        const bool hex = (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
        if (!decimal && !(base == 16 && hex)) return false;
    }
    return true;
}

// The command up to its "=", or the whole command.
QByteArray beforeEquals(const QByteArray& command) {
    const qsizetype equals = command.indexOf('=');
    return equals < 0 ? command : command.left(equals);
}

} // namespace

QByteArray DriverMemory::Location::name() const {
    if (form == Form::Index) return prefix + QByteArray::number(address);
    return prefix + QByteArray::number(address, 16).toUpper().rightJustified(digits, '0');
}

std::optional<DriverMemory::Location> DriverMemory::parse(const QByteArray& text) {
    for (const Prefix& prefix : kPrefixes) {
        if (!text.startsWith(prefix.text)) continue;
        const QByteArray digits = text.mid(qsizetype(std::char_traits<char>::length(prefix.text)));
        const int base = prefix.form == Form::Index ? 10 : 16;
        if (!allDigits(digits, base) || digits.size() > 10) return std::nullopt;
        const auto address = parseNumber(digits, base);
        if (!address || *address > 0xFFFFFFFFll) return std::nullopt;
        return Location{prefix.form, prefix.text, static_cast<std::uint32_t>(*address),
                        static_cast<int>(digits.size())};
    }
    return std::nullopt;
}

void DriverMemory::setModel(const QByteArray& modelText) {
    wordAddressed_ = false;
    for (const char* code : {"QWC50", "QWCC", "QWCD", "QWD"})
        if (modelText.contains(code)) wordAddressed_ = true;
}

std::uint32_t DriverMemory::step(Form form) const {
    switch (form) {
    case Form::Byte:
    case Form::Index:
        return 1;
    case Form::HexWord:
    case Form::Word:
        return wordAddressed_ ? 1 : 2;
    case Form::Long:
        return wordAddressed_ ? 2 : 4;
    }
    return 1;
}

DriverMemory::Location DriverMemory::next(const Location& location) const {
    Location following = location;
    following.address += step(location.form);
    return following;
}

void DriverMemory::addRegion(Region region) {
    regions_.insert(regions_.begin(), std::move(region));
}

std::optional<QByteArray> DriverMemory::readRegions(const Location& location) const {
    for (const Region& region : regions_)
        if (region.read)
            if (std::optional<QByteArray> reply = region.read(location)) return reply;
    return std::nullopt;
}

std::pair<int, std::uint32_t> DriverMemory::key(const Location& location) const {
    // "#&" and "#$" are two notations of the same 16-bit memory.
    const int family = location.form == Form::HexWord ? int(Form::Word) : int(location.form);
    return {family, location.address};
}

std::int32_t DriverMemory::storedValue(const Location& location) const {
    const auto stored = values_.find(key(location));
    return stored == values_.end() ? 0 : stored->second;
}

void DriverMemory::storeValue(const Location& location, std::int32_t value) {
    values_[key(location)] = value;
}

QByteArray DriverMemory::read(const Location& location) const {
    if (std::optional<QByteArray> reply = readRegions(location)) return *reply;
    return Notation(location.form, storedValue(location));
}

QByteArray DriverMemory::Notation(Form form, std::int32_t value) {
    switch (form) {
    case Form::Byte:
        return QByteArray::number(value & 0xFF);
    case Form::HexWord:
        return QByteArray::number(value & 0xFFFF, 16).toUpper().rightJustified(4, '0');
    case Form::Word:
        return QByteArray::number(static_cast<std::int16_t>(value & 0xFFFF));
    case Form::Long:
    case Form::Index:
        return QByteArray::number(value);
    }
    return {};
}

bool DriverMemory::write(const Location& location, const QByteArray& value) {
    for (const Region& region : regions_)
        if (region.write && region.write(location, value)) return true;
    const auto number = parseNumber(value, location.form == Form::HexWord ? 16 : 10);
    if (!number || *number < INT32_MIN || *number > 0xFFFFFFFFll) return false;
    storeValue(location, static_cast<std::int32_t>(static_cast<std::uint32_t>(*number)));
    return true;
}

bool DriverMemory::isAddressCommand(const QByteArray& command) {
    return command.startsWith(',') || parse(beforeEquals(command)).has_value();
}

std::optional<QByteArray> DriverMemory::run(const QByteArray& command) {
    if (command.startsWith(',')) {
        const QByteArray value = command.mid(1);
        if (!last_) return kNotSupported;
        last_ = next(*last_);
        if (value.isEmpty() || value == "?") return read(*last_);
        if (!write(*last_, value)) return kNotSupported;
        return std::nullopt;
    }
    const std::optional<Location> location = parse(beforeEquals(command));
    if (!location) return kNotSupported;
    last_ = location;
    const qsizetype equals = command.indexOf('=');
    if (equals < 0) return read(*location);
    if (!write(*location, command.mid(equals + 1))) return kNotSupported;
    return std::nullopt;
}

} // namespace sim
