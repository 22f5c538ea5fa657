// Character codes and classes read by the second-generation statement parser: the 6-bit code and
// the class byte of every 7-bit character, and the hex digit value of a code.
#pragma once

#include <cstdint>

namespace kaso::compiler::gen2 {

// The low four bits of a class byte.
enum CharClass : std::uint8_t {
    kClassDigit = 0, // decimal digits; control characters other than CR
    kClassEnd = 1,   // CR
    kClassLetter = 4,
    kClassSeparator = 8,
    kClassOperator = 10, // '_' among them is a word character
    kClassStar = 12,
    kClassAxis = 14,
};

// The whole class byte of a decimal digit.
inline constexpr std::uint8_t kDecimalDigitClassByte = 0x70;

struct CharInfo {
    std::uint8_t code = 0;      // 6-bit code (64 and above for '`', '{', '|', '}', '~')
    std::uint8_t classByte = 0; // class in the low four bits, digit or letter marks above
};

// The code and class of a character 0..127; callers refuse bytes above 127 before asking.
CharInfo LookUpCharacter(unsigned char character);

inline int ClassOf(std::uint8_t classByte) {
    return classByte & 0x0F;
}

// The value 0..15 of a hex digit's code, or -1 when the code is no hex digit.
int HexDigitValue(int code);

} // namespace kaso::compiler::gen2
