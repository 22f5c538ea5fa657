// Token conversion of the second-generation statement parser: a finished token (dictionary word,
// register number, local name, address, number, literal, text, name) becomes code words in the
// code-stack slot that the statement mode gives it, values beyond 16 bits go to the long-value
// store, and the statement mode moves on.
#include "Gen2CharTable.h"
#include "Gen2Codes.h"
#include "ProgramLineParser.h"

#include <array>
#include <cctype>
#include <limits>
#include <utility>

namespace kaso::compiler {

using namespace gen2;

namespace {

bool FitsShort(std::int64_t value) {
    return value >= std::numeric_limits<std::int16_t>::min() &&
           value <= std::numeric_limits<std::int16_t>::max();
}

bool FitsLong(std::int64_t value) {
    return value >= std::numeric_limits<std::int32_t>::min() &&
           value <= std::numeric_limits<std::int32_t>::max();
}

std::int32_t AsSigned32(std::int64_t bits) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(bits & 0xFFFFFFFF));
}

std::uint16_t DataAccessInstruction(std::uint16_t kind) {
    std::uint16_t step = 0;
    if (kind == kKindIndexTable)
        step = kStepCountedTable;
    else if (kind == kKindByteAddress)
        step = kStepByOne;
    else if (kind == kKindWordAddress || kind == kKindDataAddress || kind == kKindLongAddress)
        step = kStepByTwo;
    return kInstrDataAccess | step;
}

// Registers that the driver keeps under another number.
int RenumberRegister(int n) {
    constexpr std::array<std::pair<int, int>, 6> renumbered = {
        {{0, 200}, {7, 202}, {29, 204}, {37, 210}, {40, 206}, {92, 208}}};
    for (const auto& [from, to] : renumbered)
        if (n == from) return to;
    return n;
}

} // namespace

void ProgramLineParser::ConvertToken(bool atEnd) {
    LineState& s = line_;
    s.lastConversionPosition = s.position;
    bool hexWordFollows = false;
    switch (s.syntaxState) {
    case 0:
    case 1:
        ConvertWord(atEnd);
        hexWordFollows =
            s.kindWord == kKindHexWord && (s.statementMode == 15 || s.statementMode == 7);
        break;
    case 2:
        ConvertBitNumber();
        break;
    case 3:
        ConvertLocalReference();
        break;
    case 4:
        ConvertRegisterNumber();
        break;
    case 6:
        ConvertHexAddress();
        break;
    case 7:
        ConvertPackedName();
        break;
    case 8:
        ConvertCharacterLiteral();
        break;
    case 9:
        ConvertText();
        break;
    case 10:
        ConvertHexNumber();
        break;
    case 11:
        ConvertPlainNumber(NumberForm::Binary);
        break;
    case 12:
        ConvertPlainNumber(NumberForm::Decimal);
        break;
    case 13:
        break;
    default:
        Fail();
        break; // 5: "*$" takes a decimal index, not a word
    }
    if (!s.errorFlag) ResetAfterConversion(atEnd, hexWordFollows);
}

void ProgramLineParser::ResetAfterConversion(bool atEnd, bool hexWordFollows) {
    LineState& s = line_;
    s.number = 0;
    s.negative = false;
    s.formCharacter = 0;
    s.starMark = false;
    s.starDollarForm = false;
    s.tildeMark = false;
    s.bangMark = false;
    s.slashSinceConversion = false;
    s.backslashSinceConversion = false;
    s.repeatSinceConversion = false;
    s.textOperandSinceConversion = false;
    s.afterListComma = false;
    s.indexForm = false;
    if (atEnd) return;
    s.syntaxState = hexWordFollows ? 10 : 0; // such a word's four hex digits follow its '='
    s.subState = hexWordFollows ? 2 : 0;
}

void ProgramLineParser::ConvertWord(bool atEnd) {
    LineState& s = line_;
    const ModeSlots slots = SlotsForMode(s.statementMode);
    const int slot = s.syntaxState == 1 ? slots.operand : slots.word;
    if (s.wordLength == 0) {
        Fail();
        return;
    }
    const auto entry = dictionary_->LookUp(s.packedWord, s.wordLength);
    std::uint16_t kind = entry ? entry->kind : 0;
    std::uint16_t value = entry ? entry->value : 0;
    if (kind == kKindFixedEnd) {
        s.syntaxState = 13; // fills no slot; its instruction word is set at the line's end
        s.kindWord = kind;
        s.valueWord = value;
        AdvanceAfterWord();
        return;
    }
    if (kind == kKindAreaPrefix && (s.statementMode == 0 || s.statementMode == 3)) {
        s.underscorePrefix = true;
        s.areaWord |= kAreaUnderscore;
        s.kindWord = kind;
        s.valueWord = value;
        return;
    }
    const bool restart = entry && s.wordLength == 3 &&
                         ((s.statementMode == 17 && s.restartPrefixSeen) ||
                          (value == 0 && s.continuationFromEquals));
    if (restart) {
        s.kindWord = kind;
        s.valueWord = value;
        FillWordSlot(4, kind, value);
        s.statementMode = s.parenthesisClosed ? 13 : 0;
        return;
    }
    if (kind == kKindRestartPrefix && s.wordLength == 1) s.restartPrefixSeen = true;
    const int mode = s.statementMode;
    if (kind == kKindStatusRead && !atEnd && (mode < 4 || mode >= 13)) {
        kind = kKindStatusFixed;
        value = kValueStatusFixed;
    }
    if (kind == 0) {
        FailNotInDictionary();
        return;
    }
    if (slot == 0) {
        Fail();
        return;
    }
    value = ApplyKindForm(kind, value);
    if (s.errorFlag) return;
    if (slot == 5 && s.negative) {
        Fail();
        return;
    }
    s.kindWord = kind;
    s.valueWord = value;
    FillWordSlot(slot, kind, value);
    s.lastTokenWasNumber = false;
    AdvanceAfterWord();
}

// Merges the form bits of a kind into a word's value code.
std::uint16_t ProgramLineParser::ApplyKindForm(std::uint16_t kind, std::uint16_t value) {
    const LineState& s = line_;
    const int low = kind & 0x000F;
    const int top = kind >> 12;
    const bool memoryForm = s.formCharacter == '#';
    if (low == 8 || low == 9 || top == 0xC || (top == 6 && !memoryForm)) {
        if (value > 0xEFFF) {
            Fail();
            return value;
        }
        return static_cast<std::uint16_t>(value | (kind & 0x00F0) << 8);
    }
    if (s.starMark && low >= 1 && low <= 4) return value | 0xF000;
    return value;
}

void ProgramLineParser::FillWordSlot(int slot, std::uint16_t kind, std::uint16_t value) {
    LineState& s = line_;
    s.codeStack[slot] = value;
    switch (slot) {
    case 1:
        s.operandWord = value;
        break;
    case 2:
        s.operandWord |= kOperandFirst;
        break;
    case 3:
        s.operandWord |= kOperandSecond;
        break;
    case 4:
        s.instructionWord = value;
        break;
    case 5:
        if (s.instructionWord == 0) s.instructionWord = DataAccessInstruction(kind);
        break;
    default:
        break;
    }
}

void ProgramLineParser::AdvanceAfterWord() {
    LineState& s = line_;
    switch (s.statementMode) {
    case 0:
    case 1:
    case 2:
    case 3:
        s.statementMode = 15;
        break;
    case 12:
    case 13:
        s.codeStack[0] = s.areaWord;
        s.codeStack[1] = s.operandWord;
        s.statementMode = 15;
        break;
    default:
        AdvanceAfterNumber();
        break;
    }
}

void ProgramLineParser::AdvanceAfterNumber() {
    LineState& s = line_;
    switch (s.statementMode) {
    case 4:
    case 5:
        s.statementMode = 7;
        break;
    case 8:
    case 9:
        s.statementMode = 11;
        break;
    case 12:
    case 13:
        s.statementMode = 15;
        break;
    case 16:
    case 17:
        s.statementMode = 19;
        break;
    case 20:
    case 21:
        s.statementMode = 23;
        break;
    default:
        break;
    }
}

void ProgramLineParser::ConvertBitNumber() {
    LineState& s = line_;
    if (s.statementMode < 3) {
        Fail();
        return;
    }
    const int slot = SlotsForMode(s.statementMode - 2).number;
    const std::int64_t n = s.number;
    std::int64_t bit = n;
    if (slot != 0 && s.codeStack[slot] == kValueBitArea) {
        if (n < 0 || n > kBitAreaLimit) {
            Fail();
            return;
        }
        s.codeStack[7] = static_cast<std::uint16_t>(kMarkHighBitNumber + n / 16);
        bit = n % 16;
    } else if (n < 0 || n > 15) {
        Fail();
        return;
    }
    s.operandWord = static_cast<std::uint16_t>(
        (s.operandWord & ~(kOperandBitNumberMask | kOperandHasBit)) | kOperandHasBit | bit);
    s.kindWord = kKindBitNumber;
    s.lastTokenWasNumber = true;
    AdvanceAfterNumber();
}

void ProgramLineParser::ConvertLocalReference() {
    LineState& s = line_;
    const int table = s.subState == 5 ? 0 : s.subState == 6 ? 1 : -1;
    if (table < 0) {
        Fail();
        return;
    }
    const bool byName = s.wordLength > 0;
    const bool byNumber = !byName && s.digitCount > 0;
    const bool removing = s.instructionWord == kInstrUndefine;
    s.kindWord = kKindLocalName;
    if (!byName && !byNumber) {
        compile_.localNameCount[table] = 0; // a bare '%' or "%%" empties its table
        if (!removing) {
            FailNotInDictionary();
            return;
        }
        if (table == 1) s.instructionWord += 2;
        AdvanceAfterWord();
        return;
    }
    if (removing) {
        RemoveLocalName(table, byName);
        if (s.errorFlag) return;
        s.instructionWord += table == 0 ? 1 : 3;
        AdvanceAfterWord();
        return;
    }
    std::uint16_t value = 0;
    if (byName) {
        const int place = FindLocalName(table, s.packedWord);
        if (place < 0) {
            Fail();
            return;
        }
        value = static_cast<std::uint16_t>(kValueLocalNameFirst + 16 * table + place);
    } else {
        if (s.number < 0 || s.number >= kLocalNamesPerTable) {
            Fail();
            return;
        }
        value = static_cast<std::uint16_t>(kValueLocalNumberFirst + 16 * table + s.number);
    }
    const int slot = SlotsForMode(s.statementMode).operand;
    if (slot == 0 || (slot == 5 && s.negative)) {
        Fail();
        return;
    }
    s.valueWord = value;
    FillWordSlot(slot, kKindLocalName, value);
    s.lastTokenWasNumber = false;
    AdvanceAfterWord();
}

int ProgramLineParser::FindLocalName(int table, std::uint32_t packedName) const {
    const auto& names = compile_.localNames[table];
    for (int place = 0; place < compile_.localNameCount[table]; ++place)
        if (packedName != 0 && names[place] == packedName) return place;
    return -1;
}

void ProgramLineParser::RemoveLocalName(int table, bool byName) {
    LineState& s = line_;
    int place = -1;
    if (byName)
        place = FindLocalName(table, s.packedWord);
    else if (s.number >= 0 && s.number < kLocalNamesPerTable)
        place = static_cast<int>(s.number);
    if (place < 0) {
        Fail();
        return;
    }
    compile_.localNames[table][place] = 0; // the place is cleared; the count stays
}

void ProgramLineParser::ConvertRegisterNumber() {
    LineState& s = line_;
    if (s.formCharacter != '#' && s.formCharacter != '$') {
        Fail();
        return;
    }
    if (s.number < 0 || s.number >= 200) {
        Fail();
        return;
    }
    std::uint16_t kind = s.formCharacter == '#' ? kKindMemory : kKindRegister;
    std::uint16_t value = 0;
    if (s.number == 96) {
        const auto word = dictionary_->RegisterWord96();
        if (!word) {
            FailNotInDictionary();
            return;
        }
        kind = word->kind;
        value = word->value;
    } else {
        const int n = RenumberRegister(static_cast<int>(s.number));
        value = static_cast<std::uint16_t>(n);
        if (n == 78)
            value = kValueRegister78;
        else if ((n >= 190 && n % 2 == 0) || n == 58 || n == 60 || n == 62)
            kind = kKindLongRegister;
        else if (n >= 191 && n <= 199)
            value = kValueOddHighRegister;
    }
    const int slot = SlotsForMode(s.statementMode).operand;
    if (slot == 0 || (slot == 5 && s.negative)) {
        Fail();
        return;
    }
    value = ApplyKindForm(kind, value);
    if (s.errorFlag) return;
    s.kindWord = kind;
    s.valueWord = value;
    FillWordSlot(slot, kind, value);
    s.lastTokenWasNumber = false;
    AdvanceAfterWord();
}

void ProgramLineParser::ConvertHexAddress() {
    LineState& s = line_;
    if (s.digitCount != 4 && s.digitCount != 8) {
        Fail();
        return;
    }
    std::uint16_t kind = 0;
    switch (s.subState) {
    case 1:
        kind = kKindByteAddress;
        break;
    case 2:
        kind = kKindWordAddress;
        break;
    case 15:
        kind = kKindDataAddress;
        break;
    case 16:
        kind = kKindLongAddress;
        break;
    default:
        break;
    }
    const int slot = SlotsForMode(s.statementMode).operand;
    const bool oddLongAddress = kind == kKindLongAddress && (s.number & 1) != 0;
    if (kind == 0 || oddLongAddress || slot == 0 || (slot == 5 && s.negative)) {
        Fail();
        return;
    }
    s.kindWord = kind;
    s.valueWord = 0;
    FillWordSlot(slot, kind, 0);
    if (s.digitCount == 8) {
        if (!PlaceLongValue(AsSigned32(s.number), slot)) return;
        s.codeStack[7] = kMarkLongAddress;
    } else {
        s.codeStack[slot] = static_cast<std::uint16_t>(s.number);
        s.codeStack[7] = kMarkShortAddress;
    }
    s.lastTokenWasNumber = false;
    AdvanceAfterWord();
}

void ProgramLineParser::ConvertPackedName() {
    LineState& s = line_;
    if (s.instructionWord == 0) {
        // A name standing for the statement itself.
        if (s.wordLength == 0) {
            Fail();
            return;
        }
        const std::uint16_t kind = s.character == '@' ? kInstrNameWithAt : kInstrName;
        s.instructionWord = kind;
        s.kindWord = kind;
        PlaceNumber(s.packedWord, NumberForm::NameStatement);
        return;
    }
    if (s.wordLength == 0 || s.wordHasDigit) {
        Fail();
        return;
    }
    s.codeStack[6] = static_cast<std::uint16_t>(s.packedWord & 0xFFFF);
    s.codeStack[7] = static_cast<std::uint16_t>(s.packedWord >> 16);
    if (s.instructionWord == kInstrDefine && (s.subState == 5 || s.subState == 6)) {
        DefineLocalName(s.subState == 5 ? 0 : 1);
        if (s.errorFlag) return;
    }
    s.instructionWord += s.subState == 5 ? 1 : 3;
    s.kindWord = kKindPackedName;
    s.lastTokenWasNumber = false;
}

void ProgramLineParser::DefineLocalName(int table) {
    LineState& s = line_;
    int& count = compile_.localNameCount[table];
    const bool repeated = table == 0 && FindLocalName(0, s.packedWord) >= 0;
    if (repeated || count >= kLocalNamesPerTable) {
        Fail();
        return;
    }
    compile_.localNames[table][count] = s.packedWord;
    s.codeStack[5] = static_cast<std::uint16_t>(count);
    ++count;
    s.nameDefinedInLine = true;
}

void ProgramLineParser::ConvertCharacterLiteral() {
    LineState& s = line_;
    if (s.textLength != 1) {
        Fail();
        return;
    }
    PlaceNumber(std::toupper(s.text[0]), NumberForm::CharLiteral);
}

void ProgramLineParser::ConvertText() {
    LineState& s = line_;
    if (s.textLength > kMaxTextCharacters) {
        Fail();
        return;
    }
    std::uint32_t raw = 0;
    for (int i = s.textLength - 1; i >= 0; --i)
        raw = raw << 8 | s.text[i];
    PlaceNumber(static_cast<std::int32_t>(raw), NumberForm::Text);
}

void ProgramLineParser::ConvertHexNumber() {
    LineState& s = line_;
    const int required = s.subState == 1 ? 2 : s.subState == 2 ? 4 : 0;
    const bool countWrong = required != 0 ? s.digitCount != required : s.digitCount == 0;
    if (countWrong) {
        Fail();
        return;
    }
    PlaceNumber(AsSigned32(s.number), NumberForm::Hex);
}

void ProgramLineParser::ConvertPlainNumber(NumberForm form) {
    if (line_.digitCount == 0) {
        Fail();
        return;
    }
    PlaceNumber(line_.number, form);
}

void ProgramLineParser::PlaceNumber(std::int64_t value, NumberForm form) {
    LineState& s = line_;
    const int mode = s.statementMode;
    int slot = SlotsForMode(mode).number;
    if (mode == kModeContinued && s.continuation) {
        // The continued statement takes the number as its next value.
        const std::uint16_t low = s.instructionWord & 0x00FF & ~kContinuedClearedBits;
        s.instructionWord = static_cast<std::uint16_t>(low | kHighByteContinued << 8);
        for (int cleared : {0, 1, 2, 3})
            s.codeStack[cleared] = 0;
        s.codeStack[7] = compile_.previousCodeStack[7];
        slot = 6;
    }
    const bool nameStatement = form == NumberForm::NameStatement;
    if ((slot == 7 && (s.repeatSinceConversion || s.textOperandSinceConversion)) || s.dotFlag) {
        Fail();
        return;
    }
    if (nameStatement) {
        slot = 5;
        s.codeStack[4] = s.instructionWord;
    }
    if (s.starDollarForm) {
        slot = 5; // "*$" and a decimal index: an address that steps by one
        if (s.instructionWord == 0) s.instructionWord = kInstrDataAccess | kStepIndexByOne;
        s.codeStack[7] = kMarkIndexAddress;
    }
    if (slot == 0) {
        if (mode != 0 && mode != 3) {
            Fail();
            return;
        }
        s.kindWord = kKindNumber; // a number at a statement start has no effect
        s.lastTokenWasNumber = true;
        return;
    }
    if (s.indexForm) {
        if (slot <= 1 || s.character != ']') {
            Fail();
            return;
        }
        s.indexClosedPosition = s.position;
    }
    if (mode == 13 && !s.indexForm) {
        Fail();
        return;
    }
    if (s.instructionWord >= kInstrMovingFirst && s.instructionWord <= kInstrMovingLast)
        s.instructionWord += mode == 21 ? 2 : 1;
    const bool fourHexDigits =
        form == NumberForm::Hex && s.digitCount == 4 && (s.subState == 2 || s.subState == 3);
    const bool sixteenBinaryDigits = form == NumberForm::Binary && s.digitCount == 16;
    if ((fourHexDigits || sixteenBinaryDigits) && value >= 0x8000 && value <= 0xFFFF)
        value -= 0x10000;
    const bool negates =
        (s.instructionWord & kInstrNegateBit) != 0 && !s.textOperandSinceConversion &&
        HighByte(s.instructionWord) != kHighByteNoNegate && !IsNameStatementKind(s.instructionWord);
    if (negates) {
        if ((value & 0xFFFF) == 0x8000 || !FitsLong(-value)) {
            Fail();
            return;
        }
        value = -value;
        s.instructionWord &= static_cast<std::uint16_t>(~kInstrOperationBits);
    }
    if (s.codeStack[5] == kValueDataTable && !s.starMark) {
        CheckTableNumber(value);
        if (s.errorFlag) return;
    }
    if (s.indexForm) {
        if (value < 0 || value > kMaxMergedIndex) {
            Fail();
            return;
        }
        const std::uint16_t family = s.codeStack[slot] & kTableFamilyMask;
        s.codeStack[slot] = static_cast<std::uint16_t>(family | kIndexedMark | value);
    } else if (FitsShort(value) && !nameStatement && form != NumberForm::Text) {
        FillWordSlot(slot, kKindNumber, static_cast<std::uint16_t>(value));
    } else if (!PlaceLongValue(static_cast<std::int32_t>(value), slot)) {
        return;
    }
    if (form == NumberForm::CharLiteral)
        s.kindWord = kKindCharLiteral;
    else if (form == NumberForm::Text)
        s.kindWord = kKindTextValue;
    else if (!nameStatement)
        s.kindWord = kKindNumber;
    s.lastTokenWasNumber = true;
    AdvanceAfterNumber();
}

// A value beyond 16 bits: kept in the long-value store, its place number in the slot.
bool ProgramLineParser::PlaceLongValue(std::int32_t value, int slot) {
    LineState& s = line_;
    if (slot == 0 || slot == 1 || slot == 4) {
        Fail();
        return false;
    }
    if ((slot == 6 || slot == 7) && !TakesLongOperand(s.instructionWord)) {
        Fail();
        return false;
    }
    if (!PushLongValue(value, slot)) return false;
    s.longSlots |= LongSlotBit(slot);
    if (slot == 2 || slot == 3) s.operandWord |= kOperandLong;
    if (slot == 5 && s.instructionWord == 0) s.instructionWord = kInstrDataAccess;
    return true;
}

bool ProgramLineParser::PushLongValue(std::int32_t value, int slot) {
    LineState& s = line_;
    if (compile_.fillIndex <= kFirstLongValuePlace) {
        Fail(); // the store is full
        return false;
    }
    --compile_.fillIndex;
    s.codeStack[slot] = static_cast<std::uint16_t>(compile_.fillIndex);
    compile_.longValues[compile_.fillIndex - kFirstLongValuePlace] = value;
    return true;
}

std::int32_t ProgramLineParser::StoredLongValue(std::uint16_t place) const {
    if (place < kFirstLongValuePlace || place >= kLongValueFillStart) return 0;
    return compile_.longValues[place - kFirstLongValuePlace];
}

void ProgramLineParser::CheckTableNumber(std::int64_t value) {
    if (value < 0 || value > kTableNumberLimit) Fail();
}

} // namespace kaso::compiler
