// The status monitors' decoders without widgets: reply text to number, number to lamp bits and
// bar segments, and the extra input, pole sensor and output lamps of each form of those words.
#pragma once

#include <QByteArray>

#include <array>
#include <cstdint>
#include <vector>

namespace status {

// The reply as a signed 32-bit number: decimal with an optional sign, or hexadecimal after "0x"
// (up to 32 bits, the top bit giving the sign); leading blanks are skipped. Anything else, an
// empty text and a number outside 32 bits read as 0.
std::int32_t ParseNumber(const QByteArray& text);

// A hexadecimal reply without prefix ("FF", "00"), read as "0x00" followed by the reply.
std::int32_t ParseHexReply(const QByteArray& reply);

// Bit n of v, the sign kept when shifting.
bool BitSet(std::int32_t v, int n);
// An active-low lamp: on when bit n is 0 and v has no bit above bit 15.
bool ActiveLowOn(std::int32_t v, int n);

// Bits 0 to N-1 of v, lamp n on when bit n is set.
template <int N> std::array<bool, N> LampBits(std::int32_t v) {
    std::array<bool, N> lamps{};
    for (int n = 0; n < N; ++n)
        lamps[static_cast<size_t>(n)] = BitSet(v, n);
    return lamps;
}

enum class Segment { White, Olive, Red, Green };

// The torque bar, bottom segment first: 20 % per segment of |v|, olive up to 100 %, red above.
std::array<Segment, 16> TorqueBar(std::int32_t v);
// The load bar, bottom segment first: 5 % per segment, green, olive from 50 %, red from 75 %;
// a reply of -5 or below shows no segment.
std::array<Segment, 20> LoadBar(std::int32_t v);

// Which words the extra lamps come from.
enum class WordForm {
    FirstSeries, // "#$0010" (decimal)
    NewCommands, // "INSTA", "POLST", "BUSAL"
    MemoryRead,  // "##83a1" and "#$8390", active low; "POLST" changes nothing
    Unknown,     // the driver answered "E-S" to "VER": the extra lamps are left as they are
};

// The form the first monitor reads for a series, its model text and its NewStatusCommands.
WordForm StatWordForm(int series, const QByteArray& modelText, int newStatusCommands);

enum class ExtraLamp { ExtInt, Home, PoleU, PoleV, PoleW, UnderVolt, OverVolt, OverCurrent };

struct LampSetting {
    ExtraLamp lamp;
    bool on;
    bool operator==(const LampSetting&) const = default;
};

// The lamps each reply sets; lamps not listed keep their state.
std::vector<LampSetting> OtherInputLamps(WordForm form, const QByteArray& reply);
std::vector<LampSetting> PoleSensorLamps(WordForm form, const QByteArray& reply);
std::vector<LampSetting> OtherOutputLamps(WordForm form, const QByteArray& reply);

} // namespace status
