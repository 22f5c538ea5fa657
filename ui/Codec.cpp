// The CP932 codec: tables built once from the system's iconv "CP932" conversion (every single
// byte and every double-byte code decoded, and every other BMP character tried once for the
// one-way encodings such as U+301C to 0x8160), then plain look-ups per character.
#include "Codec.h"

#include <QChar>
#include <algorithm>
#include <array>
#include <cstdint>
#include <iconv.h>
#include <optional>
#include <stdexcept>
#include <vector>

namespace ui::cp932 {
namespace {

constexpr char16_t kRawByteBase = 0xF700;
constexpr char16_t kFirstSelector = 0xFE00;
constexpr char16_t kLastSelector = 0xFE0F;
constexpr std::uint16_t kNoCode = 0xFFFF;

bool IsSelector(char16_t ch) {
    return ch >= kFirstSelector && ch <= kLastSelector;
}

bool IsTrailByte(unsigned byte) {
    return byte >= 0x40 && byte <= 0xFC && byte != 0x7F;
}

// What a double-byte code decodes to: its character and, for a repeated code, the selector that
// names it; a zero character marks a code the code page does not define.
struct Unit {
    char16_t ch = 0;
    char16_t selector = 0;
};

// One iconv descriptor for the table build.
class Conversion {
public:
    Conversion(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error("CP932 conversion is not available");
    }
    ~Conversion() { iconv_close(cd_); }
    Conversion(const Conversion&) = delete;
    Conversion& operator=(const Conversion&) = delete;

    // The whole input converted, or nothing.
    std::optional<std::vector<unsigned char>> Run(const void* input, std::size_t size) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* in = static_cast<char*>(const_cast<void*>(input));
        std::size_t inLeft = size;
        std::array<unsigned char, 16> out{};
        char* outPtr = reinterpret_cast<char*>(out.data());
        std::size_t outLeft = out.size();
        if (iconv(cd_, &in, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) ||
            inLeft != 0)
            return std::nullopt;
        return std::vector<unsigned char>(out.data(), reinterpret_cast<unsigned char*>(outPtr));
    }

private:
    iconv_t cd_;
};

struct Tables {
    std::array<char16_t, 256> single{};                  // a byte on its own
    std::vector<Unit> pair = std::vector<Unit>(0x10000); // by lead << 8 | trail
    std::vector<std::uint16_t> code =
        std::vector<std::uint16_t>(0x10000, kNoCode); // by UTF-16 unit
    // Repeated codes by (character << 4 | selector number), sorted.
    std::vector<std::pair<std::uint32_t, std::uint16_t>> repeated;

    std::uint16_t RepeatedCode(char16_t ch, char16_t selector) const {
        const std::uint32_t key = std::uint32_t(ch) << 4 | std::uint32_t(selector - kFirstSelector);
        const auto it = std::lower_bound(repeated.begin(), repeated.end(),
                                         std::make_pair(key, std::uint16_t(0)));
        return it != repeated.end() && it->first == key ? it->second : kNoCode;
    }
};

// The BMP character a CP932 sequence decodes to, if it decodes to exactly one.
std::optional<char16_t> DecodeOne(Conversion& decoder, const unsigned char* bytes,
                                  std::size_t size) {
    const auto out = decoder.Run(bytes, size);
    if (!out || out->size() != 4) return std::nullopt;
    const std::uint32_t cp =
        (*out)[0] | (*out)[1] << 8 | (*out)[2] << 16 | std::uint32_t((*out)[3]) << 24;
    if (cp > 0xFFFF || QChar::isSurrogate(cp)) return std::nullopt;
    return static_cast<char16_t>(cp);
}

std::uint16_t EncodeOne(Conversion& encoder, char16_t ch) {
    const std::uint32_t cp = ch;
    const auto out = encoder.Run(&cp, sizeof cp);
    if (!out || out->empty() || out->size() > 2) return kNoCode;
    return out->size() == 1 ? (*out)[0] : std::uint16_t((*out)[0] << 8 | (*out)[1]);
}

// Characters the tables reserve for themselves: no code may decode to one of them.
bool IsReserved(char16_t ch) {
    return IsSelector(ch) || (ch >= kRawByteBase + 0x80 && ch <= kRawByteBase + 0xFF);
}

// CJK ideographs (extension A and the unified block), Yi, Hangul syllables, surrogates, the
// private-use area and the variation selectors.
bool IsLeftOutOfProbe(unsigned ch) {
    return (ch >= 0x3400 && ch < 0xA4D0) || (ch >= 0xAC00 && ch < 0xF900) ||
           IsSelector(static_cast<char16_t>(ch));
}

Tables BuildTables() {
    Conversion decoder("UTF-32LE", "CP932");
    Conversion encoder("CP932", "UTF-32LE");
    Tables t;

    for (unsigned byte = 0; byte < 0x100; ++byte) {
        const unsigned char b = static_cast<unsigned char>(byte);
        const std::optional<char16_t> ch = DecodeOne(decoder, &b, 1);
        const bool keeps = ch && !IsReserved(*ch) && EncodeOne(encoder, *ch) == byte;
        t.single[byte] = keeps ? *ch : char16_t(kRawByteBase + byte);
        t.code[t.single[byte]] = static_cast<std::uint16_t>(byte);
    }

    std::vector<unsigned> repeatsOf(0x10000, 0);
    for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
        if (!IsLeadByte(lead)) continue;
        for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
            if (!IsTrailByte(trail)) continue;
            const std::uint16_t code = static_cast<std::uint16_t>(lead << 8 | trail);
            const unsigned char bytes[2] = {static_cast<unsigned char>(lead),
                                            static_cast<unsigned char>(trail)};
            const std::optional<char16_t> ch = DecodeOne(decoder, bytes, 2);
            if (!ch || *ch == 0 || IsReserved(*ch)) continue;
            if (EncodeOne(encoder, *ch) == code) {
                t.pair[code] = {*ch, 0};
                t.code[*ch] = code;
                continue;
            }
            const unsigned number = repeatsOf[*ch]++;
            if (kFirstSelector + number > kLastSelector) continue;
            t.pair[code] = {*ch, char16_t(kFirstSelector + number)};
            t.repeated.emplace_back(std::uint32_t(*ch) << 4 | number, code);
        }
    }
    std::sort(t.repeated.begin(), t.repeated.end());

    // One-way encodings: characters no code decodes to that the conversion still encodes (such
    // as U+301C and U+2212). The ideographs and syllables a code page lacks have none, so their
    // blocks are not tried.
    for (unsigned ch = 0x80; ch < 0x10000; ++ch) {
        if (t.code[ch] != kNoCode || IsLeftOutOfProbe(ch)) continue;
        t.code[ch] = EncodeOne(encoder, static_cast<char16_t>(ch));
    }
    return t;
}

const Tables& TheTables() {
    static const Tables tables = BuildTables();
    return tables;
}

// Calls visit(code, at) for each character of the text in turn: its CP932 code (a byte, or lead
// and trail byte in one number), or kNoCode for a character without one, and where in the text
// the character starts.
template <typename Visit> void ForEachCode(const QString& text, Visit visit) {
    const Tables& t = TheTables();
    const auto* s = reinterpret_cast<const char16_t*>(text.utf16());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t ch = s[i];
        const qsizetype at = i;
        if (IsSelector(ch)) continue;
        if (QChar::isHighSurrogate(ch)) {
            if (i + 1 < n && QChar::isLowSurrogate(s[i + 1])) ++i;
            visit(kNoCode, at);
            continue;
        }
        std::uint16_t code = t.code[ch];
        if (i + 1 < n && IsSelector(s[i + 1])) {
            if (const std::uint16_t repeated = t.RepeatedCode(ch, s[i + 1]); repeated != kNoCode)
                code = repeated;
            ++i;
        }
        visit(code, at);
    }
}

void AppendCode(QByteArray& out, std::uint16_t code) {
    if (code < 0x100) {
        out.append(static_cast<char>(code));
    } else {
        out.append(static_cast<char>(code >> 8));
        out.append(static_cast<char>(code & 0xFF));
    }
}

} // namespace

QByteArray Encode(const QString& text) {
    QByteArray out;
    out.reserve(text.size() * 2);
    ForEachCode(text, [&out](std::uint16_t code, qsizetype) {
        AppendCode(out, code == kNoCode ? std::uint16_t('?') : code);
    });
    return out;
}

std::optional<QByteArray> EncodeExactly(const QString& text) {
    QByteArray out;
    out.reserve(text.size() * 2);
    bool exact = true;
    ForEachCode(text, [&](std::uint16_t code, qsizetype) {
        exact = exact && code != kNoCode;
        if (exact) AppendCode(out, code);
    });
    if (!exact) return std::nullopt;
    return out;
}

QString UncodedCharacter(const QString& text) {
    qsizetype first = -1;
    ForEachCode(text, [&first](std::uint16_t code, qsizetype at) {
        if (code == kNoCode && first < 0) first = at;
    });
    if (first < 0) return {};
    const bool pair = first + 1 < text.size() && text[first].isHighSurrogate() &&
                      text[first + 1].isLowSurrogate();
    return text.mid(first, pair ? 2 : 1);
}

QString Decode(const QByteArray& bytes) {
    const Tables& t = TheTables();
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype n = bytes.size();
    // A byte gives at most one UTF-16 unit: a double-byte code gives one or two.
    QString text(n, Qt::Uninitialized);
    auto* out = reinterpret_cast<char16_t*>(text.data());
    char16_t* const start = out;
    for (qsizetype i = 0; i < n;) {
        const unsigned char byte = in[i];
        if (IsLeadByte(byte) && i + 1 < n) {
            const Unit unit = t.pair[byte << 8 | in[i + 1]];
            if (unit.ch != 0) {
                *out++ = unit.ch;
                if (unit.selector != 0) *out++ = unit.selector;
                i += 2;
                continue;
            }
        }
        *out++ = t.single[byte];
        ++i;
    }
    text.truncate(out - start);
    return text;
}

std::optional<unsigned char> RawByteOf(char16_t ch) {
    if (ch < kRawByteBase + 0x80 || ch > kRawByteBase + 0xFF) return std::nullopt;
    return static_cast<unsigned char>(ch - kRawByteBase);
}

QString DecodeForDisplay(const QByteArray& bytes) {
    // The stand-ins of the bytes that start no character (0x80 to 0xFF; every ASCII byte decodes).
    const auto isRawByte = [](QChar ch) {
        return ch.unicode() >= kRawByteBase + 0x80 && ch.unicode() <= kRawByteBase + 0xFF;
    };
    const QString text = Decode(bytes);
    if (std::none_of(text.begin(), text.end(), isRawByte)) return text;
    QString shown;
    for (const QChar ch : text) {
        if (isRawByte(ch))
            shown += "\\x" + QString::number(ch.unicode() - kRawByteBase, 16).toUpper();
        else
            shown += ch;
    }
    return shown;
}

int ByteWidth(const QString& text) {
    int width = 0;
    ForEachCode(text, [&width](std::uint16_t code, qsizetype) {
        width += code != kNoCode && code >= 0x100 ? 2 : 1;
    });
    return width;
}

} // namespace ui::cp932
