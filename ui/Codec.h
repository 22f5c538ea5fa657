// The one text codec at the program's boundaries: files and the serial line carry Shift-JIS in
// its Windows form (CP932); inside the program texts are Unicode.
//
// Decoding and encoding again gives back every byte sequence exactly, so a text opened and saved
// unchanged keeps its bytes, and an edited text keeps the codes of the characters it kept:
// - a code that shares its character with another code (NEC row 13 and the NEC-selected and IBM
//   extensions repeat some characters) decodes to that character followed by a variation
//   selector (U+FE00 for the first such code of a character, U+FE01 for the second), which shows
//   nothing and keeps the code;
// - a byte that starts no CP932 character (0x80, 0xA0, 0xFD to 0xFF, a lead byte without its
//   trail byte) decodes to the private-use character U+F700 + byte.
// The tables are built once, at first use; each call then costs one table look-up a character.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace ui::cp932 {

// A byte that starts a double-byte character (0x81 to 0x9F, 0xE0 to 0xFC): the byte after it is
// its trail byte, whatever it looks like.
constexpr bool IsLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// A control character (below 0x20, or DEL), which no field, command line or program row carries.
// Takes a character's code or a byte as it is: a char above 0x7F converts to a code far above
// 0x7F, so its sign does not matter.
constexpr bool IsControl(char32_t code) {
    return code < 0x20 || code == 0x7F;
}

// Characters without a CP932 form become '?'; a variation selector that marks no repeated code
// is left out.
QByteArray Encode(const QString& text);

// As Encode, but nothing at all when a character of the text has no CP932 form: for text that
// must go out exactly as it stands.
std::optional<QByteArray> EncodeExactly(const QString& text);

// The first character of the text without a CP932 form (a surrogate pair is one character), or
// an empty string when every character has one.
QString UncodedCharacter(const QString& text);

QString Decode(const QByteArray& bytes);

// The byte that a character of a decoded text stands in for, when it is the stand-in of a byte
// that starts no CP932 character.
std::optional<unsigned char> RawByteOf(char16_t ch);

// For showing bytes to the user: Decode, with each byte that starts no CP932 character written
// as "\xFF" (its value in hexadecimal) instead of its invisible stand-in. Display only: encoding
// the result does not give those bytes back.
QString DecodeForDisplay(const QByteArray& bytes);

// The number of CP932 bytes of a text: the width that fixed-width names and columns count.
int ByteWidth(const QString& text);

} // namespace ui::cp932
