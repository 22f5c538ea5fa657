// The logging commands: set-up, start and read-back of recordings. Settings are kept by command
// name and answered back; the recorded buffer holds four channels interleaved per sample and is
// read one value per request through the axis's memory ("#%address" for the four-channel series,
// "#$D000" then ",?" for the first series' 16-bit words).
#include "DriverAxis.h"

#include <cmath>
#include <numbers>

namespace sim {

namespace {

constexpr int kChannels = 4;
constexpr int kSamples = 1000;
constexpr std::uint32_t kSecondSeriesBuffer = 0x0020C000;

// The settings a query reads back, with what the driver holds before anything is written.
const std::map<QByteArray, QByteArray>& Defaults() {
    static const std::map<QByteArray, QByteArray> defaults = {
        {"SVKHZ", "8"},      {"LTIME", "1"},        {"LOGMD", "1"},    {"LMODE", "1"},
        {"VERLG", "1"},      {"LOG1N", "TIME"},     {"LOG2N", "PACT"}, {"LOG3N", "VACT"},
        {"LOG4N", "QREF"},   {"&LOGP", "0010C000"}, {"#KENC", "100"},  {"#$DFFA", "1"},
        {"#$0020041A", "1"}, {"#&DFFE", "0068"},    {"#$DFFC", "1"},
    };
    return defaults;
}

QByteArray Number(std::int32_t value) {
    return QByteArray::number(value);
}

// A 32-bit value's word as the driver answers it: a signed 16-bit number.
std::int32_t Word(std::uint32_t bits) {
    return static_cast<std::int16_t>(bits & 0xFFFFu);
}

} // namespace

QByteArray DriverAxis::loggingSetting(const QByteArray& name) const {
    if (const auto set = logging_.settings.find(name); set != logging_.settings.end())
        return set->second;
    const auto fallback = Defaults().find(name);
    return fallback != Defaults().end() ? fallback->second : QByteArray();
}

std::int32_t DriverAxis::defaultLoggedSample(int channel, int sample) {
    const double phase = 2 * std::numbers::pi * sample / 200.0 + channel * std::numbers::pi / 2;
    return static_cast<std::int32_t>(std::lround(1000.0 * (channel + 1) * std::sin(phase)));
}

std::int32_t DriverAxis::loggedSample(int channel, int sample) const {
    return logging_.waveform ? logging_.waveform(channel, sample)
                             : defaultLoggedSample(channel, sample);
}

void DriverAxis::addLoggingCommands() {
    commands_.addName("LC", [](const QByteArray&) { return std::nullopt; });
    commands_.addName("L", [this](const QByteArray&) {
        ++logging_.starts;
        return std::nullopt;
    });
    // The settings with an address for a name are reached through the memory (mapLoggingMemory).
    for (const auto& entry : Defaults()) {
        const QByteArray name = entry.first;
        if (DriverMemory::parse(name)) continue;
        commands_.addSetting(name, [this, name](const QByteArray& command) {
            const qsizetype equals = command.indexOf('=');
            if (equals < 0) return std::optional(loggingSetting(name));
            logging_.settings[name] = command.mid(equals + 1);
            return std::optional<QByteArray>();
        });
    }
}

void DriverAxis::mapLoggingMemory() {
    using Location = DriverMemory::Location;
    using Form = DriverMemory::Form;
    // The settings that have an address for a name ("#$DFFA", "#&DFFE", ...).
    memory_.addRegion({[this](const Location& at) -> std::optional<QByteArray> {
                           const QByteArray name = at.name();
                           if (logging_.settings.count(name) == 0 && Defaults().count(name) == 0)
                               return std::nullopt;
                           return loggingSetting(name);
                       },
                       [this](const Location& at, const QByteArray& value) {
                           const QByteArray name = at.name();
                           if (logging_.settings.count(name) == 0 && Defaults().count(name) == 0)
                               return false;
                           logging_.settings[name] = value;
                           return true;
                       }});
    // The first series' buffer: 16-bit words from #$D000, two per sample of a 32-bit variable
    // (low first) when #$DFFC is 2.
    memory_.addRegion({[this](const Location& at) -> std::optional<QByteArray> {
                           constexpr std::uint32_t kFirstWord = 0xD000;
                           const std::uint32_t step = memory_.step(Form::Word);
                           if (at.form != Form::Word || at.address < kFirstWord ||
                               (at.address - kFirstWord) % step != 0)
                               return std::nullopt;
                           const auto word = static_cast<int>((at.address - kFirstWord) / step);
                           if (word >= 2 * kSamples) return std::nullopt;
                           if (loggingSetting("#$DFFC") == "2") {
                               const auto bits =
                                   static_cast<std::uint32_t>(loggedSample(0, word / 2));
                               return Number(Word(word % 2 == 0 ? bits : bits >> 16));
                           }
                           return Number(Word(static_cast<std::uint32_t>(loggedSample(0, word))));
                       },
                       nullptr});
    // The four-channel buffer: value n (from 0) is channel n mod 4 of sample n div 4, at the
    // buffer's address plus n steps of 4 (second series, QWC30) or 2 bytes.
    memory_.addRegion(
        {[this](const Location& at) -> std::optional<QByteArray> {
             if (at.form != Form::Long) return std::nullopt;
             const bool second = modelText_.startsWith("QWB");
             bool baseOk = true;
             const std::uint32_t base =
                 second ? kSecondSeriesBuffer : loggingSetting("&LOGP").toUInt(&baseOk, 16);
             const std::uint32_t step = second || modelText_.contains("QWC30") ? 4 : 2;
             const std::uint32_t offset = at.address - base;
             if (!baseOk || at.address < base || offset % step != 0 ||
                 offset / step >= kChannels * kSamples)
                 return std::nullopt;
             const auto n = static_cast<int>(offset / step);
             return Number(loggedSample(n % kChannels, n / kChannels));
         },
         nullptr});
}

} // namespace sim
