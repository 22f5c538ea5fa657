// Reply parsing, lamp bits and bar segments of the status monitors.
#include "StatusDecoders.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>

namespace status {

namespace {

constexpr int kTorqueStepPercent = 20;
constexpr int kTorqueOliveSegments = 5;
constexpr int kLoadStepPercent = 5;
constexpr int kLoadGreenSegments = 10;
constexpr int kLoadOliveEnd = 15;

bool IsHexPrefix(const char* first, const char* last) {
    return last - first > 2 && first[0] == '0' && (first[1] == 'x' || first[1] == 'X');
}

} // namespace

std::int32_t ParseNumber(const QByteArray& text) {
    const char* first = text.constData();
    const char* last = first + text.size();
    while (first != last && *first == ' ')
        ++first;
    if (IsHexPrefix(first, last)) {
        std::uint32_t value = 0;
        const auto [stop, error] = std::from_chars(first + 2, last, value, 16);
        return error == std::errc() && stop == last ? static_cast<std::int32_t>(value) : 0;
    }
    if (first != last && *first == '+') {
        ++first; // from_chars takes a minus only
        if (first != last && *first == '-') return 0;
    }
    std::int32_t value = 0;
    const auto [stop, error] = std::from_chars(first, last, value);
    return first != last && error == std::errc() && stop == last ? value : 0;
}

std::int32_t ParseHexReply(const QByteArray& reply) {
    return ParseNumber("0x00" + reply);
}

bool BitSet(std::int32_t v, int n) {
    return ((v >> n) & 1) == 1;
}

bool ActiveLowOn(std::int32_t v, int n) {
    const std::int32_t mask = 0xFFFF & ~(1 << n);
    return (v | mask) == mask;
}

std::array<Segment, 16> TorqueBar(std::int32_t v) {
    // In 64 bits: the magnitude of the most negative reply does not fit in 32.
    const long long magnitude = std::llabs(static_cast<long long>(v));
    const long long lit =
        magnitude == 0 ? 0 : std::min<long long>((magnitude - 1) / kTorqueStepPercent, 15) + 1;
    std::array<Segment, 16> bar{};
    for (int i = 0; i < 16; ++i)
        bar[static_cast<size_t>(i)] = i >= lit                   ? Segment::White
                                      : i < kTorqueOliveSegments ? Segment::Olive
                                                                 : Segment::Red;
    return bar;
}

std::array<Segment, 20> LoadBar(std::int32_t v) {
    const int k = std::min(v / kLoadStepPercent, 19);
    const int lit = k >= 0 ? k + 1 : 0;
    std::array<Segment, 20> bar{};
    for (int i = 0; i < 20; ++i)
        bar[static_cast<size_t>(i)] = i >= lit                 ? Segment::White
                                      : i < kLoadGreenSegments ? Segment::Green
                                      : i < kLoadOliveEnd      ? Segment::Olive
                                                               : Segment::Red;
    return bar;
}

WordForm StatWordForm(int series, const QByteArray& modelText, int newStatusCommands) {
    if (series == 0) return WordForm::FirstSeries;
    if (modelText == "E-S") return WordForm::Unknown;
    return newStatusCommands != 0 ? WordForm::NewCommands : WordForm::MemoryRead;
}

std::vector<LampSetting> OtherInputLamps(WordForm form, const QByteArray& reply) {
    switch (form) {
    case WordForm::FirstSeries: {
        const std::int32_t v = ParseNumber(reply);
        return {{ExtraLamp::ExtInt, BitSet(v, 2)}, {ExtraLamp::Home, BitSet(v, 4)}};
    }
    case WordForm::NewCommands: {
        const std::int32_t v = ParseHexReply(reply);
        return {{ExtraLamp::ExtInt, BitSet(v, 0)}, {ExtraLamp::Home, BitSet(v, 1)}};
    }
    case WordForm::MemoryRead: {
        const std::int32_t v = ParseHexReply(reply);
        return {{ExtraLamp::ExtInt, ActiveLowOn(v, 0)},
                {ExtraLamp::Home, ActiveLowOn(v, 5)},
                {ExtraLamp::PoleU, ActiveLowOn(v, 2)},
                {ExtraLamp::PoleV, ActiveLowOn(v, 3)},
                {ExtraLamp::PoleW, ActiveLowOn(v, 4)}};
    }
    case WordForm::Unknown:
        break;
    }
    return {};
}

std::vector<LampSetting> PoleSensorLamps(WordForm form, const QByteArray& reply) {
    if (form == WordForm::MemoryRead || form == WordForm::Unknown) return {};
    const std::int32_t v = ParseHexReply(reply);
    return {{ExtraLamp::PoleU, BitSet(v, 0)},
            {ExtraLamp::PoleV, BitSet(v, 1)},
            {ExtraLamp::PoleW, BitSet(v, 2)}};
}

std::vector<LampSetting> OtherOutputLamps(WordForm form, const QByteArray& reply) {
    if (form == WordForm::Unknown) return {};
    const std::int32_t v = ParseNumber(reply);
    if (form == WordForm::MemoryRead)
        return {{ExtraLamp::UnderVolt, ActiveLowOn(v, 3)},
                {ExtraLamp::OverVolt, ActiveLowOn(v, 4)},
                {ExtraLamp::OverCurrent, ActiveLowOn(v, 5)}};
    return {{ExtraLamp::UnderVolt, BitSet(v, 0)},
            {ExtraLamp::OverVolt, BitSet(v, 1)},
            {ExtraLamp::OverCurrent, BitSet(v, 2)}};
}

} // namespace status
