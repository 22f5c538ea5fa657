// The driver's memory addresses as the data transfers write, test and step them: a short prefix
// ("##", "#&", "#$", "#%", "*$" and the three-character "!" and "&" variants) followed by hex
// digits, or a decimal index for "*$". Plain C++ over the line's bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace editor::address {

// The prefix of a start address: 0 none recognised, 1 "##", 2 "#&", 3 "#$", 4 "#%", 5 "*$",
// 6 "!##", 7 "!#&", 8 "!#$", 9 "!#%", 10 "&##", 11 "&#&", 12 "&#$", 13 "&#%".
enum Kind : int {
    kNone = 0,
    kByte = 1,
    kWordAmp = 2,
    kWordDollar = 3,
    kLong = 4,
    kIndex = 5,
    kBangByte = 6,
    kBangWordAmp = 7,
    kBangWordDollar = 8,
    kBangLong = 9,
    kAmpByte = 10,
    kAmpWordAmp = 11,
    kAmpWordDollar = 12,
    kAmpLong = 13,
};

struct StartAddress {
    Kind kind = kNone;
    std::string prefix;  // the form's own two or three characters; empty for kNone
    std::uint32_t value; // the digits read as hex (decimal for "*$")
};

// Reads a start address. Nothing when its digits cannot be read as a number up to 0xFFFFFFFF
// (hex for the hex forms and for unrecognised prefixes, decimal for "*$").
std::optional<StartAddress> Parse(std::string_view text);

// Drivers whose model text contains "QWC50", "QWCC", "QWCD" or "QWD" address memory in steps
// half as wide, and do not take the byte forms ("##", "!##", "&##") in an upload.
bool HasHalfSteps(std::string_view modelText);

// True for the byte forms a half-step driver refuses.
bool RefusedOn(Kind kind, bool halfSteps);

// The address difference between consecutive values (1 for "*$" and for no prefix).
std::uint32_t ValueStep(Kind kind, bool halfSteps);

// The label of value number n (from 1) of an upload: the prefix and the address in upper-case
// hex of at least `hexDigits` digits, "*$" and the decimal index, or empty for no prefix.
// Addresses wrap at 32 bits, as the driver's address space does.
std::string RowLabel(const StartAddress& start, std::uint64_t n, bool halfSteps, int hexDigits);

// The dialogs' tests of the text typed as start address (its bytes as sent).
bool UploadDialogAccepts(std::string_view text);
bool DownloadDialogAccepts(std::string_view text);

// The whole text is one of the list's bare prefixes "##", "#&", "#$", "#%", "*$".
bool IsBarePrefix(std::string_view text);

} // namespace editor::address
