// The code words of the second-generation statement parser: the kind and value codes of its
// dictionary, the instruction and operand word forms it builds, and the code-stack slot each
// statement mode gives a converted token. Nothing outside the parser reads these words; the
// numeric ranges tested by the automaton (marked "range") are fixed, the rest is our own layout.
#pragma once

#include <array>
#include <cstdint>

namespace kaso::compiler::gen2 {

// ---- Kind codes of dictionary words (0 = not in the dictionary) -----------------------------

inline constexpr std::uint16_t kKindStatement = 0x0101;       // value = its instruction word
inline constexpr std::uint16_t kKindFixedEnd = 0x0102;        // EV, /EV: fixed word at line end
inline constexpr std::uint16_t kKindAreaEnter = 0x0103;       // SQ: the sequence area follows
inline constexpr std::uint16_t kKindAreaLeave = 0x0104;       // /SQ: back to the event area
inline constexpr std::uint16_t kKindCommaList = 0x0105;       // ',' after it opens its operand
inline constexpr std::uint16_t kKindHexWord = 0x0106;         // takes exactly four hex digits
inline constexpr std::uint16_t kKindText = 0x0107;            // '"' after "=" opens a text
inline constexpr std::uint16_t kKindNameTakingA = 0x010A;     // '"' after "=" takes a name
inline constexpr std::uint16_t kKindNameTakingB = 0x010B;     // the second such pattern
inline constexpr std::uint16_t kKindRestartPrefix = 0x010C;   // one character; see restart rule
inline constexpr std::uint16_t kKindIndexTable = 0x010D;      // '[' after it opens an index
inline constexpr std::uint16_t kKindAreaPrefix = 0x010E;      // '_' before '(' or '['
inline constexpr std::uint16_t kKindStatusRead = 0x0110;      // STAT: fixed kind unless last
inline constexpr std::uint16_t kKindDirectionFamily = 0x0150; // high 12 bits; '+'/'-' set slot 5
inline constexpr std::uint16_t kKindOutputFirst = 129;        // range: '+' / '-' complete them
inline constexpr std::uint16_t kKindOutputLast = 137;
inline constexpr std::uint16_t kKindJumpFirst = 1056; // six jump words, 1056 + 4 k
inline constexpr int kJumpWordCount = 6;
inline constexpr std::uint16_t kKindLongSuffixFirst = 1056; // range: 'L' after their number
inline constexpr std::uint16_t kKindLongSuffixLast = 1083;
inline constexpr std::uint16_t kKindVariable = 0x6000;  // class 6: limited outside '#'
inline constexpr std::uint16_t kKindStatusBit = 0xC010; // class 12: value marked 0x1000

// Kinds the parser gives tokens that are no dictionary words.
inline constexpr std::uint16_t kKindMemory = 0x6010;       // '#' and a number
inline constexpr std::uint16_t kKindRegister = 0x6020;     // '$' and a number
inline constexpr std::uint16_t kKindLongRegister = 0x6030; // the second register kind
inline constexpr std::uint16_t kKindStatusFixed = 0xC011;  // STAT when more follows
inline constexpr std::uint16_t kKindLocalName = 0x0180;
inline constexpr std::uint16_t kKindByteAddress = 0x0191; // "##", "#@": steps by 1
inline constexpr std::uint16_t kKindWordAddress = 0x0192; // "#&": steps by 2
inline constexpr std::uint16_t kKindDataAddress = 0x0193; // "#$": steps by 2
inline constexpr std::uint16_t kKindLongAddress = 0x0194; // "#%": even, steps by 2
inline constexpr std::uint16_t kKindBitNumber = 0x01A0;
inline constexpr std::uint16_t kKindNumber = 0x01A1;
inline constexpr std::uint16_t kKindCharLiteral = 0x01A2; // no digit may follow directly
inline constexpr std::uint16_t kKindTextValue = 0x01A3;   // no digit may follow directly
inline constexpr std::uint16_t kKindPackedName = 0x01A4;

// The 6-bit code of '/', which begins the words "/EV" and "/SQ".
inline constexpr std::uint32_t kSlashCode = 15;

// ---- Value codes -----------------------------------------------------------------------------

inline constexpr std::uint16_t kValueDataTable = 0x7000;  // DT: index and repeats up to 383
inline constexpr std::uint16_t kValuePointTable = 0x7400; // PT: repeats up to 126
inline constexpr std::uint16_t kValueBitArea = 0x0190;    // FLG: bit numbers up to 199
inline constexpr std::uint16_t kValueRegister96 = 0x0060; // PACT, also "$96"
inline constexpr std::uint16_t kValueText = 0x04A0;       // MSG
inline constexpr std::uint16_t kValueStatusFixed = 0x0E01;
inline constexpr std::uint16_t kValueRegister78 = 0x0E02;
inline constexpr std::uint16_t kValueOddHighRegister = 0x0E03; // 191, 193, ... 199
inline constexpr std::uint16_t kValueLocalNameFirst = 0x0E80;  // + 16 * table + place
inline constexpr std::uint16_t kValueLocalNumberFirst = 0x0EC0;
inline constexpr std::uint16_t kTableFamilyMask = 0xFC00;
inline constexpr std::uint16_t kIndexedMark = 0x0200; // a table code with its index merged
inline constexpr int kMaxMergedIndex = 0x01FF;
inline constexpr int kTableNumberLimit = 383;
inline constexpr int kDataTableRepeatLimit = 383;
inline constexpr int kPointTableRepeatLimit = 126;
inline constexpr int kBitAreaLimit = 199;

// ---- Instruction words -----------------------------------------------------------------------

inline constexpr std::uint16_t kInstrDefine = 0x0130;   // DEF: defines local names
inline constexpr std::uint16_t kInstrUndefine = 0x0134; // UNDEF: removes local names
inline constexpr std::uint16_t kInstrMove = 0x0480;     // '+' / '-' then a number
inline constexpr std::uint16_t kInstrJog = 0x4810;      // '+' / '-' after its number
inline constexpr std::uint16_t kInstrInch = 0x4820;
inline constexpr std::uint16_t kInstrTripleBang = 0x0170; // "!!!"
inline constexpr std::uint16_t kInstrDot = 0x0171;        // '.' at a statement start
inline constexpr std::uint16_t kInstrTextFixed = 0x04A8;  // '"' after the text value
inline constexpr std::uint16_t kInstrNameWithAt = 0x04C0; // "@NAME@"; also its kind
inline constexpr std::uint16_t kInstrName = 0x04C1;       // "@NAME"; also its kind
inline constexpr std::uint16_t kInstrDataAccess = 0x2000; // | step nibble | operation << 8
inline constexpr std::uint16_t kInstrRepeatFirst = 8192;  // range: ',' repeat and '?'
inline constexpr std::uint16_t kInstrRepeatLast = 16383;
inline constexpr std::uint16_t kInstrMovingFirst = 1056; // range: move on with each number
inline constexpr std::uint16_t kInstrMovingLast = 1081;
inline constexpr std::uint16_t kInstrNegateBit = 0x0800;
inline constexpr std::uint16_t kInstrOperationBits = 0x0F00;
inline constexpr std::uint16_t kHighByteNoNegate = 0x48;
inline constexpr std::uint16_t kHighByteContinued = 0x30;
inline constexpr std::uint16_t kHighByteTrailingPlus = 0x44;
inline constexpr std::uint16_t kHighByteTrailingMinus = 0x45;
inline constexpr std::uint16_t kContinuedClearedBits = 0x0070;

// Step nibbles of data-access instructions: how a ',' repeat moves the address.
inline constexpr std::uint16_t kStepByOne = 2;
inline constexpr std::uint16_t kStepByTwo = 3;
inline constexpr std::uint16_t kStepCountedTable = 6;
inline constexpr std::uint16_t kStepIndexByOne = 7; // "*$" index

// Slot 7 marks of a stepping address.
inline constexpr std::uint16_t kMarkShortAddress = 0x7F04;
inline constexpr std::uint16_t kMarkLongAddress = 0x7F08;
inline constexpr std::uint16_t kMarkIndexAddress = 0x7F01;
inline constexpr std::uint16_t kMarkText = 0x7F10;
inline constexpr std::uint16_t kMarkHighBitNumber = 0x8000; // + bit number / 16

// ---- Operand word: comparison in the high byte, operand forms in the low byte --------------

inline constexpr std::uint16_t kOperandBitNumberMask = 0x000F;
inline constexpr std::uint16_t kOperandHasBit = 0x0010;
inline constexpr std::uint16_t kOperandFirst = 0x0020;
inline constexpr std::uint16_t kOperandSecond = 0x0040;
inline constexpr std::uint16_t kOperandLong = 0x0080;
inline constexpr std::uint16_t kComparisonEqual = 0x01;
inline constexpr std::uint16_t kComparisonLess = 0x02;
inline constexpr std::uint16_t kComparisonGreater = 0x03;
inline constexpr std::uint16_t kComparisonLessEqual = 0x04;
inline constexpr std::uint16_t kComparisonGreaterEqual = 0x05;
inline constexpr std::uint16_t kComparisonSame = 0x06;
inline constexpr std::uint16_t kComparisonDifferent = 0x07;
inline constexpr std::uint16_t kComparisonExclusive = 0x08;
inline constexpr std::uint16_t kComparisonEither = 0x09;
inline constexpr std::uint16_t kComparisonBoth = 0x0A;
inline constexpr std::uint16_t kComparisonProduct = 0x0B;
inline constexpr std::uint16_t kBareConditionForm = 0x16;
inline constexpr std::uint16_t kBareConditionSlashForm = 0x17;

// ---- Area word (slot 0) ----------------------------------------------------------------------

inline constexpr std::uint16_t kAreaParenthesis = 0x0100;
inline constexpr std::uint16_t kAreaBracketOpen = 0x0200;
inline constexpr std::uint16_t kAreaBracketMark = 0x0400;
inline constexpr std::uint16_t kAreaUnderscore = 0x0800;
inline constexpr std::uint16_t kAreaPlus = 0x1000;

inline constexpr int kEventArea = 1;
inline constexpr int kSequenceArea = 4;

// ---- Code stack slots by statement mode ------------------------------------------------------

inline constexpr int kStatementModes = 29;
inline constexpr int kModeAxisList = 2;
inline constexpr int kModeArea = 4;
inline constexpr int kModeContinued = 26;
inline constexpr int kModeComplete = 27;

struct ModeSlots {
    std::uint8_t word = 0;    // words read in syntax state 0
    std::uint8_t operand = 0; // words in syntax state 1, tokens of syntax states 3 to 6
    std::uint8_t number = 0;  // numbers, literals, texts (syntax states 7 to 12)
};

inline constexpr std::array<ModeSlots, kStatementModes> kModeSlots = [] {
    std::array<ModeSlots, kStatementModes> table{};
    table[0] = table[3] = {4, 5, 0};
    table[5] = {2, 2, 2};
    table[7] = {1, 0, 0};
    table[9] = {3, 3, 3};
    table[13] = {4, 5, 5};
    table[17] = {6, 6, 6};
    table[21] = {7, 7, 7};
    return table;
}();

inline ModeSlots SlotsForMode(int mode) {
    return mode >= 0 && mode < kStatementModes ? kModeSlots[mode] : ModeSlots{};
}

// ---- Role tests ------------------------------------------------------------------------------

inline bool IsJumpKind(std::uint16_t kind) {
    return kind >= kKindJumpFirst && kind < kKindJumpFirst + 4 * kJumpWordCount &&
           (kind - kKindJumpFirst) % 4 == 0;
}
// GOTO and CALL: refused as the last word of a line (a jump without its step number).
inline bool IsRefusedAtEnd(std::uint16_t kind) {
    return kind == kKindJumpFirst || kind == kKindJumpFirst + 4;
}
inline bool IsOutputKind(std::uint16_t kind) {
    return kind >= kKindOutputFirst && kind <= kKindOutputLast;
}
inline bool IsDirectionKind(std::uint16_t kind) {
    return (kind & 0xFFF0) == kKindDirectionFamily;
}
inline bool IsNameTakingKind(std::uint16_t kind) {
    return kind == kKindNameTakingA || kind == kKindNameTakingB;
}
inline bool IsNameStatementKind(std::uint16_t kind) {
    return kind == kInstrNameWithAt || kind == kInstrName;
}
inline bool IsRepeatable(std::uint16_t instruction) {
    return instruction >= kInstrRepeatFirst && instruction <= kInstrRepeatLast;
}
inline int HighByte(std::uint16_t word) {
    return word >> 8;
}

// Instructions whose operands in slots 6 and 7 may be long values.
inline bool TakesLongOperand(std::uint16_t instruction) {
    const int high = HighByte(instruction);
    return (high >= 0x04 && high <= 0x07) || (high >= 0x20 && high <= 0x3F) ||
           high == kHighByteNoNegate;
}

// Instructions after whose operand a ';' may stand (the jump family and its forms).
inline bool TakesSemicolon(std::uint16_t instruction) {
    return instruction >= kKindLongSuffixFirst && instruction <= kKindLongSuffixLast;
}

} // namespace kaso::compiler::gen2
