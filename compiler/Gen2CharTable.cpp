// The character table of the second-generation statement parser, built once at compile time.
#include "Gen2CharTable.h"

#include <array>
#include <string_view>

namespace kaso::compiler::gen2 {

namespace {

constexpr std::uint8_t kDigitMark = 0x70;
constexpr std::uint8_t kHexLetterMark = 0xE0;
constexpr std::uint8_t kOtherLetterMark = 0xC0;

constexpr bool IsCapital(int c) {
    return c >= 'A' && c <= 'Z';
}

constexpr CharInfo PrintableEntry(int c) {
    const auto code = static_cast<std::uint8_t>(c - 32);
    if (c >= '0' && c <= '9') return {code, kDigitMark | kClassDigit};
    if (IsCapital(c)) {
        const std::uint8_t mark = c <= 'F' ? kHexLetterMark : kOtherLetterMark;
        return {code, static_cast<std::uint8_t>(mark | kClassLetter)};
    }
    if (c == ' ') return {code, kClassSeparator};
    if (c == '*') return {code, kClassStar};
    if (c == ':') return {code, kClassAxis};
    if (c == '_') return {code, kOtherLetterMark | kClassOperator};
    return {code, kClassOperator};
}

constexpr std::array<CharInfo, 128> BuildTable() {
    std::array<CharInfo, 128> table{};
    for (int c = 0; c < 32; ++c)
        table[c] = {0, kClassDigit};
    table['\r'] = {0, kClassEnd};
    for (int c = 32; c < 96; ++c)
        table[c] = PrintableEntry(c);
    table['`'] = {64, kClassSeparator};
    for (int c = 'a'; c <= 'z'; ++c)
        table[c] = table[c - 'a' + 'A'];
    constexpr std::string_view braces = "{|}~";
    for (char c : braces)
        table[static_cast<unsigned char>(c)] = {static_cast<std::uint8_t>(c - 32), kClassOperator};
    table[127] = {0, kClassSeparator};
    return table;
}

constexpr std::array<CharInfo, 128> kCharTable = BuildTable();

} // namespace

CharInfo LookUpCharacter(unsigned char character) {
    return kCharTable[character & 0x7F];
}

int HexDigitValue(int code) {
    if (code >= 16 && code <= 25) return code - 16;
    if (code >= 33 && code <= 38) return code - 33 + 10;
    return -1;
}

} // namespace kaso::compiler::gen2
