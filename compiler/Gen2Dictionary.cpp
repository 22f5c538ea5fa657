// The shipped dictionary of the second-generation parser, kept as data apart from the automaton,
// and the packed tables it is looked up in.
#include "Gen2Dictionary.h"

#include "Gen2CharTable.h"
#include "Gen2Codes.h"

#include <stdexcept>
#include <string>

namespace kaso::compiler::gen2 {

namespace {

constexpr std::uint16_t Output(int n) {
    return static_cast<std::uint16_t>(0x0200 + 4 * (n - 1));
}
constexpr std::uint16_t OutputKind(int n) {
    return static_cast<std::uint16_t>(kKindOutputFirst + n - 1);
}
constexpr std::uint16_t Jump(int k) {
    return static_cast<std::uint16_t>(kKindJumpFirst + 4 * k);
}

// Words and their roles. Statement words carry their instruction word as value code.
constexpr WordDefinition kShippedWords[] = {
    // Program parts and mailbox switches.
    {"EV", kKindFixedEnd, 0x0150},
    {"/EV", kKindFixedEnd, 0x0151},
    {"SQ", kKindAreaEnter, 0x0140},
    {"/SQ", kKindAreaLeave, 0x0141},
    {"MBON", kKindStatement, 0x0110},
    {"MBOF", kKindStatement, 0x0111},
    {"MBCL", kKindStatement, 0x0112},
    // Jumps: a step number follows directly; GOTO and CALL are refused without one.
    {"GOTO", Jump(0), Jump(0)},
    {"CALL", Jump(1), Jump(1)},
    {"EVSL", Jump(2), Jump(2)},
    {"EVWK", Jump(3), Jump(3)},
    {"SQSL", Jump(4), Jump(4)},
    {"SQWK", Jump(5), Jump(5)},
    // Commands.
    {"SVON", kKindStatement, 0x0120},
    {"SVOF", kKindStatement, 0x0121},
    {"STOP", kKindStatement, 0x0122},
    {"RST", kKindStatement, 0x0123},
    {"END", kKindStatement, 0x0124},
    {"RET", kKindStatement, 0x0125},
    {"MOVE", kKindStatement, kInstrMove},
    {"JOG", kKindStatement, kInstrJog},
    {"INCH", kKindStatement, kInstrInch},
    {"HOME", kKindDirectionFamily | 1, 0x0240},
    {"SRCH", kKindDirectionFamily | 2, 0x0244},
    {"WAIT", kKindCommaList, 0x0490},
    {"TIME", kKindCommaList, 0x0494},
    {"OUTW", kKindHexWord, 0x0160},
    {"INW", kKindHexWord, 0x0164},
    {"MSG", kKindText, kValueText},
    {"TITLE", kKindNameTakingA, 0x04B0},
    {"NAME", kKindNameTakingB, 0x04B4},
    {"N", kKindRestartPrefix, 0x0250},
    {"DEF", kKindStatement, kInstrDefine},
    {"UNDEF", kKindStatement, kInstrUndefine},
    {"_", kKindAreaPrefix, 0x0001},
    // Outputs: '+' switches one on, '-' off.
    {"OUT1", OutputKind(1), Output(1)},
    {"OUT2", OutputKind(2), Output(2)},
    {"OUT3", OutputKind(3), Output(3)},
    {"OUT4", OutputKind(4), Output(4)},
    {"OUT5", OutputKind(5), Output(5)},
    {"OUT6", OutputKind(6), Output(6)},
    {"OUT7", OutputKind(7), Output(7)},
    {"OUT8", OutputKind(8), Output(8)},
    {"OUT9", OutputKind(9), Output(9)},
    // Status bits for conditions.
    {"IN1", kKindStatusBit, 0x0001},
    {"IN2", kKindStatusBit, 0x0002},
    {"IN3", kKindStatusBit, 0x0003},
    {"IN4", kKindStatusBit, 0x0004},
    {"IN5", kKindStatusBit, 0x0005},
    {"IN6", kKindStatusBit, 0x0006},
    {"IN7", kKindStatusBit, 0x0007},
    {"IN8", kKindStatusBit, 0x0008},
    {"INPOS", kKindStatusBit, 0x0010},
    {"SVRDY", kKindStatusBit, 0x0011},
    {"ALM", kKindStatusBit, 0x0012},
    {"BUSY", kKindStatusBit, 0x0013},
    // Driver variables, read and written through '#', '$' and '&'.
    {"STAT", kKindStatusRead, 0x0180},
    {"INST", kKindVariable, 0x0181},
    {"OUST", kKindVariable, 0x0182},
    {"ALST", kKindVariable, 0x0183},
    {"QREF", kKindVariable, 0x0184},
    {"LOAD", kKindVariable, 0x0185},
    {"SQPT", kKindVariable, 0x0187},
    {"KENC", kKindVariable, 0x0188},
    {"DTPT", kKindVariable, 0x0189},
    {"LOGP", kKindVariable, 0x018A},
    {"SPD", kKindVariable, 0x018B},
    {"POS", kKindVariable, 0x018C},
    {"ACC", kKindVariable, 0x018D},
    {"DEC", kKindVariable, 0x018E},
    {"PACT", kKindVariable, kValueRegister96},
    {"FLG", kKindVariable, kValueBitArea},
    // Tables, indexed with '['.
    {"DT", kKindIndexTable, kValueDataTable},
    {"PT", kKindIndexTable, kValuePointTable},
};

int FirstCharacterCode(std::uint32_t packedWord, int length) {
    return static_cast<int>(packedWord >> (6 * (length - 1)));
}

} // namespace

std::uint32_t PackWord(std::string_view text) {
    std::uint32_t packed = 0;
    for (char c : text)
        packed = packed * 64 + LookUpCharacter(static_cast<unsigned char>(c)).code;
    return packed;
}

Gen2Dictionary::Gen2Dictionary(std::span<const WordDefinition> words) {
    for (const WordDefinition& word : words) {
        const std::string text(word.text);
        const int length = static_cast<int>(text.size());
        if (length < 1 || length > kMaxWordLength || word.kind == 0)
            throw std::invalid_argument("dictionary word cannot be read: " + text);
        for (char c : text) {
            const auto u = static_cast<unsigned char>(c);
            if (u < 32 || u > 95) throw std::invalid_argument("dictionary word character: " + text);
        }
        const DictionaryEntry entry{PackWord(text), word.kind, word.value};
        if (LookUp(entry.packedWord, length))
            throw std::invalid_argument("dictionary word listed twice: " + text);
        if (length == 4 && word.kind == kKindVariable && word.value == kValueRegister96)
            register96_ = entry;
        if (length == 1) {
            oneCharacter_[entry.packedWord] = entry;
            continue;
        }
        const int first = FirstCharacterCode(entry.packedWord, length);
        if (first >= kBucketCount)
            throw std::invalid_argument("dictionary word has no bucket: " + text);
        buckets_[length - 2][first].push_back(entry);
    }
}

const Gen2Dictionary& Gen2Dictionary::Shipped() {
    static const Gen2Dictionary shipped{ShippedWords()};
    return shipped;
}

std::optional<DictionaryEntry> Gen2Dictionary::LookUp(std::uint32_t packedWord, int length) const {
    if (length == 1) {
        if (packedWord >= oneCharacter_.size() || oneCharacter_[packedWord].kind == 0)
            return std::nullopt;
        return oneCharacter_[packedWord];
    }
    if (length < 2 || length > kMaxWordLength) return std::nullopt;
    const int first = FirstCharacterCode(packedWord, length);
    if (first >= kBucketCount) return std::nullopt;
    for (const DictionaryEntry& entry : buckets_[length - 2][first])
        if (entry.packedWord == packedWord) return entry;
    return std::nullopt;
}

std::span<const WordDefinition> ShippedWords() {
    return kShippedWords;
}

} // namespace kaso::compiler::gen2
