#include "DataAddress.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>

namespace editor::address {

namespace {

struct Prefix {
    std::string_view text;
    Kind kind;
};

constexpr std::array<Prefix, 5> kTwoCharacterPrefixes{
    {{"##", kByte}, {"#&", kWordAmp}, {"#$", kWordDollar}, {"#%", kLong}, {"*$", kIndex}}};

constexpr std::array<Prefix, 8> kThreeCharacterPrefixes{{{"!##", kBangByte},
                                                         {"!#&", kBangWordAmp},
                                                         {"!#$", kBangWordDollar},
                                                         {"!#%", kBangLong},
                                                         {"&##", kAmpByte},
                                                         {"&#&", kAmpWordAmp},
                                                         {"&#$", kAmpWordDollar},
                                                         {"&#%", kAmpLong}}};

constexpr std::string_view kIndexPrefix = "*$";

std::optional<std::uint32_t> ReadNumber(std::string_view digits, int base) {
    if (digits.empty()) return std::nullopt;
    std::uint64_t value = 0;
    const char* end = digits.data() + digits.size();
    const auto [stop, error] = std::from_chars(digits.data(), end, value, base);
    if (error != std::errc() || stop != end || value > 0xFFFFFFFFu) return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// Every character from index `from` to the end is a hex digit.
bool HexFrom(std::string_view text, std::size_t from) {
    return std::all_of(text.begin() + static_cast<std::ptrdiff_t>(from), text.end(), IsHexDigit);
}

bool Contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

// The base form that a "!" or "&" variant steps like.
Kind BaseKind(Kind kind) {
    switch (kind) {
    case kBangByte:
    case kAmpByte:
        return kByte;
    case kBangWordAmp:
    case kAmpWordAmp:
        return kWordAmp;
    case kBangWordDollar:
    case kAmpWordDollar:
        return kWordDollar;
    case kBangLong:
    case kAmpLong:
        return kLong;
    default:
        return kind;
    }
}

} // namespace

std::optional<StartAddress> Parse(std::string_view text) {
    for (const Prefix& prefix : kTwoCharacterPrefixes) {
        if (!text.starts_with(prefix.text)) continue;
        const auto value = ReadNumber(text.substr(2), prefix.kind == kIndex ? 10 : 16);
        if (!value) return std::nullopt;
        return StartAddress{prefix.kind, std::string(prefix.text), *value};
    }
    for (const Prefix& prefix : kThreeCharacterPrefixes) {
        if (!text.starts_with(prefix.text)) continue;
        const auto value = ReadNumber(text.substr(3), 16);
        if (!value) return std::nullopt;
        return StartAddress{prefix.kind, std::string(prefix.text), *value};
    }
    // Sent as typed; its rows carry no label, so its number is never used.
    return StartAddress{kNone, std::string(), 0};
}

bool HasHalfSteps(std::string_view modelText) {
    return Contains(modelText, "QWC50") || Contains(modelText, "QWCC") ||
           Contains(modelText, "QWCD") || Contains(modelText, "QWD");
}

bool RefusedOn(Kind kind, bool halfSteps) {
    return halfSteps && BaseKind(kind) == kByte;
}

std::uint32_t ValueStep(Kind kind, bool halfSteps) {
    switch (BaseKind(kind)) {
    case kWordAmp:
    case kWordDollar:
        return halfSteps ? 1 : 2;
    case kLong:
        return halfSteps ? 2 : 4;
    default:
        return 1;
    }
}

std::string RowLabel(const StartAddress& start, std::uint64_t n, bool halfSteps, int hexDigits) {
    if (start.kind == kNone) return {};
    if (start.kind == kIndex)
        return std::string(kIndexPrefix) + std::to_string(std::uint64_t{start.value} + n - 1);
    // Unsigned arithmetic: the product and the sum wrap, and the low 32 bits stay exact.
    const std::uint64_t offset = std::uint64_t{ValueStep(start.kind, halfSteps)} * (n - 1);
    const auto address = static_cast<std::uint32_t>((start.value + offset) & 0xFFFFFFFFu);
    char digits[16];
    std::snprintf(digits, sizeof digits, "%0*X", std::clamp(hexDigits, 1, 8),
                  static_cast<unsigned>(address));
    return start.prefix + digits;
}

bool UploadDialogAccepts(std::string_view text) {
    const std::size_t length = text.size();
    if (length == 6 || length == 10) return HexFrom(text, 2);
    if (Contains(text, kIndexPrefix)) return true;
    if (length != 11) return false;
    return HexFrom(text, 3) &&
           std::any_of(kThreeCharacterPrefixes.begin(), kThreeCharacterPrefixes.end(),
                       [text](const Prefix& prefix) { return Contains(text, prefix.text); });
}

bool DownloadDialogAccepts(std::string_view text) {
    const std::size_t length = text.size();
    if (length == 6 || length == 10) return HexFrom(text, 2);
    return Contains(text, kIndexPrefix);
}

bool IsBarePrefix(std::string_view text) {
    return std::any_of(kTwoCharacterPrefixes.begin(), kTwoCharacterPrefixes.end(),
                       [text](const Prefix& prefix) { return text == prefix.text; });
}

} // namespace editor::address
