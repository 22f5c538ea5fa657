// The scan of the second-generation statement parser: one pass over the statement, character by
// character, handled by character class. Operators live in Gen2Operators.cpp, the conversion of
// tokens into code words in Gen2Conversion.cpp.
#include "ProgramLineParser.h"

#include "Gen2CharTable.h"
#include "Gen2Codes.h"

#include <cctype>
#include <limits>

namespace kaso::compiler {

using namespace gen2;

namespace {

char Upper(unsigned char c) {
    return static_cast<char>(std::toupper(c));
}

bool IsRestorableSyntaxState(int state) {
    return state >= 2 && state <= 12;
}

} // namespace

int ListingCodeForParse(const LineParseResult& result) {
    constexpr int kNotInDictionary = 47;
    constexpr int kSyntax = 48;
    constexpr int kAreaControl = 49;
    if (!result.errorFlag) return 0;
    if (result.notInDictionary) return kNotInDictionary;
    return result.statementMode == kModeArea ? kAreaControl : kSyntax;
}

ProgramLineParser::ProgramLineParser() : ProgramLineParser(Gen2Dictionary::Shipped()) {}

ProgramLineParser::ProgramLineParser(const Gen2Dictionary& dictionary) : dictionary_(&dictionary) {
    ResetLineParser();
}

// Everything a compile builds up starts afresh here, the axis and the ',' repeat counters
// included: two compiles of one source must give the same verdicts.
void ProgramLineParser::ResetLineParser() {
    compile_ = CompileState{};
    line_ = LineState{};
}

LineParseResult ProgramLineParser::ParseStatementLine(std::string_view line) {
    line_ = LineState{};
    line_.rememberedFillIndex = compile_.fillIndex;
    line_.work.assign(line.substr(0, line.find('\r')));
    line_.work.push_back('\r');
    for (line_.position = 0; line_.position < static_cast<int>(line_.work.size());
         ++line_.position) {
        ScanCharacter();
        if (line_.complete || line_.errorFlag) break;
        if (line_.statementMode > kModeAxisList && !compile_.addressedHere) break;
    }
    FinishLine();
    return {line_.errorFlag, line_.notInDictionary, line_.statementMode};
}

void ProgramLineParser::ScanCharacter() {
    LineState& s = line_;
    const auto c = static_cast<unsigned char>(s.work[s.position]);
    if (c == ' ' || c == '\n') {
        if (s.statementMode == 0) {
            s.number = 0;
            s.syntaxState = 0;
            s.digitCount = 0;
        }
        return;
    }
    s.characterTwoBack = s.previousCharacter;
    s.previousCharacter = s.character;
    s.previousClassByte = s.classByte;
    s.character = c;
    s.tokenEnded = false;
    if (c > 127) {
        FailNotInDictionary(); // no table entry: an unknown word character
        return;
    }
    const CharInfo info = LookUpCharacter(c);
    s.code = info.code;
    s.classByte = info.classByte;
    switch (ClassOf(info.classByte)) {
    case kClassDigit:
        HandleDigit();
        break;
    case kClassEnd:
        HandleEnd();
        break;
    case kClassLetter:
        HandleLetter();
        break;
    case kClassSeparator:
        HandleSeparator();
        break;
    case kClassAxis:
        HandleAxisPrefix();
        break;
    default:
        if (c == '_')
            HandleUnderscore();
        else
            HandleOperator();
        break;
    }
    if (s.tokenEnded) {
        s.packedWord = 0;
        s.wordLength = 0;
        s.wordHasDigit = false;
        s.digitCount = 0;
        s.textLength = 0;
    }
    s.firstCharacter = false;
}

void ProgramLineParser::HandleDigit() {
    LineState& s = line_;
    if (s.classByte != kDecimalDigitClassByte) {
        Fail(); // a control character: nothing a statement may hold
        return;
    }
    const int digit = s.code - 16;
    const bool rightAfterLiteral = s.lastConversionPosition == s.position - 1 &&
                                   (s.kindWord == kKindCharLiteral || s.kindWord == kKindTextValue);
    if (rightAfterLiteral) {
        Fail();
        return;
    }
    RestoreContinuation();
    switch (s.syntaxState) {
    case 8:
    case 9:
        StoreTextCharacter();
        return;
    case 6:
    case 10:
        AddHexDigit(digit);
        return;
    case 11:
        AddBinaryDigit(digit);
        return;
    default:
        break;
    }
    if (s.wordLength > 0) {
        if (!PendingWordTakesNumber()) {
            ExtendWord();
            s.wordHasDigit = true;
            return;
        }
        // A jump word and its step number are written together: the word ends here.
        ConvertToken(false);
        if (s.errorFlag) return;
        s.statementMode = 17;
        s.packedWord = 0;
        s.wordLength = 0;
        s.wordHasDigit = false;
    } else if (s.syntaxState == 7) {
        Fail(); // a name begins with a letter
        return;
    }
    StartOrContinueDecimal(digit);
}

void ProgramLineParser::StartOrContinueDecimal(int digit) {
    LineState& s = line_;
    if (s.digitCount == 0) {
        s.number = 0;
        if (s.afterListComma)
            s.syntaxState = 2;
        else if (s.syntaxState == 1)
            s.syntaxState = 4;
        else if (s.syntaxState != 3)
            s.syntaxState = 12;
    }
    s.number = s.negative ? s.number * 10 - digit : s.number * 10 + digit;
    ++s.digitCount;
    const bool outOfRange = s.number > std::numeric_limits<std::int32_t>::max() ||
                            s.number < std::numeric_limits<std::int32_t>::min();
    if (s.digitCount > kMaxDecimalDigits || outOfRange) Fail();
}

void ProgramLineParser::AddHexDigit(int digit) {
    LineState& s = line_;
    const int limit = (s.syntaxState == 10 && s.subState == 1) ? 2 : kMaxHexDigits;
    if (s.digitCount >= limit) {
        Fail();
        return;
    }
    s.number = s.number * 16 + digit;
    ++s.digitCount;
}

void ProgramLineParser::AddBinaryDigit(int digit) {
    LineState& s = line_;
    if (digit > 1 || s.digitCount >= kMaxBinaryDigits) {
        Fail();
        return;
    }
    s.number = s.number * 2 + digit;
    ++s.digitCount;
}

void ProgramLineParser::HandleLetter() {
    LineState& s = line_;
    const char letter = Upper(s.character);
    RestoreContinuation();
    if (s.syntaxState == 6 || s.syntaxState == 10) {
        const int value = HexDigitValue(s.code);
        if (value < 0)
            Fail();
        else
            AddHexDigit(value);
        return;
    }
    if (s.syntaxState == 11) {
        Fail();
        return;
    }
    const bool afterSingleZero =
        s.wordLength == 0 && s.digitCount == 1 && s.number == 0 && s.syntaxState == 12;
    if (afterSingleZero && (letter == 'X' || letter == 'B')) {
        s.digitCount = 0;
        s.syntaxState = letter == 'X' ? 10 : 11;
        s.subState = letter == 'X' ? 3 : 8;
        return;
    }
    if (letter == 'L' && s.digitCount > 0 && s.wordLength == 0 && s.statementMode == 17) {
        if (s.kindWord < kKindLongSuffixFirst || s.kindWord > kKindLongSuffixLast) {
            Fail();
            return;
        }
        ConvertToken(false);
        if (s.errorFlag) return;
        s.statementMode = 21;
        s.syntaxState = 12;
        s.tokenEnded = true;
        return;
    }
    if (s.statementMode == kModeAxisList) {
        if (letter == compile_.ownAxis)
            (s.slashSinceConversion ? s.listedSecond : s.listedFirst) = true;
        s.tokenEnded = true;
        return;
    }
    if (s.syntaxState == 8 || s.syntaxState == 9) {
        StoreTextCharacter();
        return;
    }
    if (s.wordHasDigit || (s.wordLength == 0 && s.digitCount > 0)) {
        Fail();
        return;
    }
    if (s.wordLength < kMaxWordLength) {
        ExtendWord();
        return;
    }
    // A sixth letter 'A' or 'O' ends the five-letter word and begins the next one.
    if (letter != 'A' && letter != 'O') {
        Fail();
        return;
    }
    ConvertToken(false);
    if (s.errorFlag) return;
    s.packedWord = static_cast<std::uint32_t>(s.code);
    s.wordLength = 1;
    s.wordHasDigit = false;
    s.digitCount = 0;
}

void ProgramLineParser::HandleUnderscore() {
    LineState& s = line_;
    if (s.wordHasDigit || (s.wordLength == 0 && s.digitCount > 0)) {
        Fail();
        return;
    }
    if (s.wordLength == 0) {
        s.syntaxState = 1;
        s.formCharacter = '_';
    }
    ExtendWord();
}

void ProgramLineParser::HandleSeparator() {
    if (line_.statementMode == kModeAxisList)
        Fail();
    else
        line_.tokenEnded = true;
}

void ProgramLineParser::HandleOperator() {
    LineState& s = line_;
    bool convert = false;
    if (s.character == '*') {
        const bool loneSlash = s.wordLength == 1 && s.packedWord == kSlashCode;
        convert = (s.wordLength > 0 && !loneSlash) || s.syntaxState > 1;
    } else {
        convert = s.wordLength > 0 || (s.syntaxState > 1 && (s.digitCount > 0 || s.textLength > 0));
    }
    if (convert) {
        ConvertToken(false);
        if (s.errorFlag) return;
    }
    s.tokenEnded = true;
    ApplyOperator();
}

void ProgramLineParser::HandleAxisPrefix() {
    LineState& s = line_;
    s.tokenEnded = true;
    // The axis is a lone letter, or a letter after a leading '/' ("/Y:": every axis but Y).
    const bool loneLetter =
        s.wordLength == 1 || (s.wordLength == 2 && s.packedWord >> 6 == kSlashCode);
    const bool afterLetter =
        ClassOf(s.previousClassByte) == kClassLetter && loneLetter && s.syntaxState <= 1;
    const bool afterStar = s.previousCharacter == '*';
    if (s.statementMode == kModeAxisList) {
        compile_.addressedHere = s.listedFirst;
        s.statementMode = 3;
        s.slashSinceConversion = false;
    } else if (afterLetter || afterStar) {
        const char axis = afterStar ? '*' : Upper(s.previousCharacter);
        if (afterStar) {
            s.starMark = false;
            s.formCharacter = 0;
        }
        if (axis == compile_.ownAxis || axis == '*') {
            compile_.addressedHere = !s.slashInLine;
            s.statementMode = 3;
        } else if (!s.slashInLine) {
            compile_.addressedHere = false;
            s.statementMode = 3;
        }
    } else if (s.firstCharacter || s.slashSinceConversion || s.syntaxState == 12) {
        s.statementMode = kModeAxisList;
        s.listedFirst = false;
        s.listedSecond = false;
    } else {
        Fail();
    }
    s.syntaxState = 0;
    s.subState = 0;
    s.number = 0;
}

void ProgramLineParser::HandleEnd() {
    LineState& s = line_;
    const bool wordPending = s.wordLength > 0 && s.syntaxState <= 1;
    if (s.wordLength > 0 || s.syntaxState > 1) {
        ConvertToken(true);
        if (s.errorFlag) return;
        if (wordPending) s.endWordKind = s.kindWord;
        if (s.endWordKind == kKindFixedEnd) s.instructionWord = s.valueWord;
        if (wordPending && IsRefusedAtEnd(s.kindWord)) {
            Fail(); // a jump without its step number
            return;
        }
    } else if (s.statementMode == 21 || s.statementMode == 25) {
        const unsigned char sign = s.statementMode == 21 ? s.previousCharacter : s.characterTwoBack;
        const std::uint16_t low = s.instructionWord & 0x00FF;
        if (sign == '+')
            s.instructionWord = low | (kHighByteTrailingPlus << 8);
        else if (sign == '-')
            s.instructionWord = low | (kHighByteTrailingMinus << 8);
        else if (s.statementMode == 21) {
            Fail();
            return;
        }
    }
    if (s.codeStack[0] == 0 && (s.parenthesisClosed || s.bracketClosed))
        s.codeStack[0] = s.areaWord;
    if (s.statementMode == 13) {
        if (HighByte(s.operandWord) == 0 && s.codeStack[2] != 0) {
            const std::uint16_t form =
                s.slashSinceConversion ? kBareConditionSlashForm : kBareConditionForm;
            s.operandWord |= static_cast<std::uint16_t>(form << 8);
        }
        s.codeStack[1] = s.operandWord;
    }
    const int mode = s.statementMode;
    if (mode == 5 || (mode < 13 && s.operandWord != 0)) {
        Fail();
        return;
    }
    if ((mode % 2 == 1 && mode != 17) || (mode == kModeContinued && s.continuationFromEquals)) {
        s.codeStack[4] = s.instructionWord;
    } else if (mode != 0 && !(mode == kModeContinued && s.continuation)) {
        Fail();
        return;
    }
    s.tokenEnded = true;
    s.complete = true;
    s.statementMode = kModeComplete;
    const bool producedNothing = s.instructionWord == 0 && s.operandWord == 0;
    if (compile_.addressedHere && !s.firstCharacter && producedNothing) {
        const unsigned char last = s.previousCharacter;
        const bool endsWithNumber = s.lastTokenWasNumber && s.lastConversionPosition == s.position;
        if (last != ':' && last != ')' && last != ']' && !endsWithNumber) Fail();
    }
}

void ProgramLineParser::FinishLine() {
    LineState& s = line_;
    if (s.errorFlag || s.codeStack[0] == 0) compile_.fillIndex = s.rememberedFillIndex;
    if (s.endWordKind == kKindAreaEnter || s.endWordKind == kKindAreaLeave) {
        compile_.programArea = s.endWordKind == kKindAreaEnter ? kSequenceArea : kEventArea;
        s.codeStack[0] = s.instructionWord;
    }
    if (s.errorFlag) return;
    compile_.previousCodeStack = s.codeStack;
    compile_.previousLongSlots = s.longSlots;
    compile_.previousOperandWord = s.operandWord;
    const bool keep = IsRestorableSyntaxState(s.syntaxState);
    compile_.savedSyntaxState = keep ? s.syntaxState : 0;
    compile_.savedSubState = keep ? s.subState : 0;
}

// A line that continues the one before (opened with '=' or ',') reads its first operand the way
// that line read its last one.
void ProgramLineParser::RestoreContinuation() {
    LineState& s = line_;
    if (!s.continuation || s.continuationRestored || compile_.savedSyntaxState == 0) return;
    s.continuationRestored = true;
    s.syntaxState = compile_.savedSyntaxState;
    s.subState = compile_.savedSubState;
    if (s.syntaxState == 6) {
        s.syntaxState = 12;
        s.subState = 5;
    }
}

void ProgramLineParser::ExtendWord() {
    LineState& s = line_;
    if (s.wordLength >= kMaxWordLength) {
        Fail();
        return;
    }
    s.packedWord = s.packedWord * 64 + static_cast<std::uint32_t>(s.code);
    ++s.wordLength;
}

void ProgramLineParser::StoreTextCharacter() {
    LineState& s = line_;
    if (s.textLength < kMaxTextCharacters) s.text[s.textLength] = s.character;
    ++s.textLength;
}

bool ProgramLineParser::PendingWordTakesNumber() const {
    const auto entry = dictionary_->LookUp(line_.packedWord, line_.wordLength);
    return entry && IsJumpKind(entry->kind);
}

bool ProgramLineParser::TokenPending() const {
    return line_.wordLength > 0 || line_.digitCount > 0 || line_.textLength > 0;
}

void ProgramLineParser::Fail() {
    line_.errorFlag = true;
}

void ProgramLineParser::FailNotInDictionary() {
    line_.errorFlag = true;
    line_.notInDictionary = true;
}

} // namespace kaso::compiler
