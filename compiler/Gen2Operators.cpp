// The operators of the second-generation statement parser. Each operator character moves the
// statement between its positions: conditions ('(' ... ')', '[' ... ']'), comparisons,
// assignments and operations, operand forms ('#', '$', '&', '!', '%', '@'), and the forms that
// repeat or continue the previous statement (',', '=', '?' at a statement start).
#include "Gen2Codes.h"
#include "ProgramLineParser.h"

#include <string_view>

namespace kaso::compiler {

using namespace gen2;

namespace {

bool IsStatementStart(int mode) {
    return mode == 0 || mode == 3 || mode == 13;
}

bool IsStartOrAfterPrefix(int mode) {
    return mode == 0 || mode == 3;
}

} // namespace

void ProgramLineParser::ApplyOperator() {
    LineState& s = line_;
    const char op = static_cast<char>(s.character);
    if (s.statementMode == kModeAxisList || s.statementMode == kModeComplete) {
        Fail();
        return;
    }
    if (s.character == s.previousCharacter && !OperatorRepeatAllowed()) {
        Fail();
        return;
    }
    if (s.underscorePrefix && op != '(' && op != '[') {
        Fail(); // '_' stands only before a condition
        return;
    }
    switch (op) {
    case '!':
        ApplyBang();
        break;
    case '"':
        ApplyQuote();
        break;
    case '#':
        ApplyHash();
        break;
    case '$':
        ApplyDollar();
        break;
    case '%':
        ApplyPercent();
        break;
    case '&':
        ApplyAmpersand();
        break;
    case '\'':
        ApplyApostrophe();
        break;
    case '(':
        ApplyOpenParenthesis();
        break;
    case ')':
        ApplyCloseParenthesis();
        break;
    case '*':
        ApplyStar();
        break;
    case '+':
        ApplyPlus();
        break;
    case ',':
        ApplyComma();
        break;
    case '-':
        ApplyMinus();
        break;
    case '.':
        ApplyDot();
        break;
    case '/':
        ApplySlash();
        break;
    case ';':
        ApplySemicolon();
        break;
    case '<':
        ApplyLess();
        break;
    case '=':
        ApplyEquals();
        break;
    case '>':
        ApplyGreater();
        break;
    case '?':
        ApplyQuestion();
        break;
    case '@':
        ApplyAt();
        break;
    case '[':
        ApplyOpenBracket();
        break;
    case '\\':
        ApplyBackslash();
        break;
    case ']':
        ApplyCloseBracket();
        break;
    case '^':
    case '|':
        ApplyCaretOrBar();
        break;
    case '~':
        ApplyTilde();
        break;
    default:
        break; // '{' and '}'
    }
}

// '!' may repeat; '#', '%', '+', '-', '/' and '=' may stand twice but not three times.
bool ProgramLineParser::OperatorRepeatAllowed() const {
    const unsigned char op = line_.character;
    if (op == '!') return true;
    constexpr std::string_view twice = "#%+-/=";
    return twice.find(static_cast<char>(op)) != std::string_view::npos &&
           line_.characterTwoBack != op;
}

void ProgramLineParser::SetOperation(char op, int nextMode) {
    line_.operation = op;
    line_.statementMode = nextMode;
}

void ProgramLineParser::SetComparison(std::uint16_t comparison, int nextMode) {
    line_.operandWord = static_cast<std::uint16_t>((line_.operandWord & 0x00FF) | comparison << 8);
    line_.statementMode = nextMode;
}

void ProgramLineParser::ApplyBang() {
    LineState& s = line_;
    if (s.previousCharacter == '!' && s.characterTwoBack == '!') {
        if (s.parenthesisClosed) {
            Fail();
            return;
        }
        s.instructionWord = kInstrTripleBang;
        s.statementMode = kModeComplete;
        return;
    }
    if (s.previousCharacter == '#' || s.previousCharacter == '&') {
        Fail();
        return;
    }
    s.syntaxState = 1;
    s.subState = 8;
    s.formCharacter = '!';
    s.bangMark = true;
}

void ProgramLineParser::ApplyQuote() {
    LineState& s = line_;
    if (s.statementMode == 17) {
        const bool text = s.kindWord == kKindText || s.valueWord == kValueText;
        const bool name = IsNameTakingKind(s.kindWord);
        if (!text && !name) return;
        if (s.parenthesisClosed) {
            Fail();
            return;
        }
        s.subState = 0;
        if (text) {
            s.syntaxState = 9;
            return;
        }
        s.syntaxState = 7;
        s.statementMode = kModeComplete;
        return;
    }
    s.textOperandSinceConversion = true;
    if (s.codeStack[5] == kValueText) {
        s.instructionWord = kInstrTextFixed;
        return;
    }
    s.textOperandForm = true;
    s.codeStack[7] = kMarkText;
}

void ProgramLineParser::ApplyHash() {
    LineState& s = line_;
    if (s.previousCharacter == '#') {
        s.syntaxState = 6;
        s.subState = 1;
        return;
    }
    s.syntaxState = 1;
    s.subState = 0;
    s.formCharacter = '#';
    if (s.statementMode == 15) s.statementMode = 17;
}

void ProgramLineParser::ApplyDollar() {
    LineState& s = line_;
    if (s.previousCharacter == '#') {
        s.syntaxState = 6;
        s.subState = 15;
    } else if (s.previousCharacter == '*') {
        s.syntaxState = 5;
        s.subState = 5;
        s.starDollarForm = true;
        s.starMark = false;
    } else {
        s.syntaxState = 1;
        s.subState = 5;
        s.formCharacter = '$';
    }
}

void ProgramLineParser::ApplyPercent() {
    LineState& s = line_;
    if (s.previousCharacter == '#') {
        s.syntaxState = 6;
        s.subState = 16;
        return;
    }
    s.subState = s.previousCharacter == '%' ? 6 : 5;
    if (s.instructionWord == kInstrDefine) {
        s.syntaxState = 7;
        return;
    }
    s.syntaxState = 3;
    if (s.statementMode == 15) s.statementMode = 17;
}

void ProgramLineParser::ApplyAmpersand() {
    LineState& s = line_;
    if (s.previousCharacter == '#') {
        s.syntaxState = 6;
        s.subState = 2;
        return;
    }
    switch (s.statementMode) {
    case 7:
        SetComparison(kComparisonBoth, 9);
        return;
    case 15:
        SetOperation('&', 16);
        return;
    case 19:
        SetOperation('&', 21);
        return;
    default:
        break;
    }
    if (IsStatementStart(s.statementMode) && !TokenPending() && !s.bangMark) {
        s.syntaxState = 1;
        s.subState = 3;
        s.formCharacter = '&';
        return;
    }
    Fail();
}

void ProgramLineParser::ApplyApostrophe() {
    if (TokenPending()) return; // the closing apostrophe of a literal
    line_.syntaxState = 8;
    line_.subState = 0;
}

void ProgramLineParser::ApplyOpenParenthesis() {
    LineState& s = line_;
    if (s.underscorePrefix) {
        s.underscorePrefix = false;
        s.statementMode = kModeArea;
        if (compile_.programArea != kEventArea) {
            Fail();
            return;
        }
    }
    if (IsStartOrAfterPrefix(s.statementMode) || s.statementMode == kModeArea) {
        s.statementMode = 5;
        s.areaWord |= kAreaParenthesis;
        return;
    }
    Fail();
}

void ProgramLineParser::ApplyCloseParenthesis() {
    LineState& s = line_;
    if (s.statementMode == 5 || s.statementMode == 7 || s.statementMode == 11) {
        s.statementMode = 13;
        s.parenthesisClosed = true;
        return;
    }
    Fail();
}

void ProgramLineParser::ApplyStar() {
    LineState& s = line_;
    switch (s.statementMode) {
    case 15:
        SetOperation('*', 16);
        break;
    case 7:
        SetComparison(kComparisonProduct, 9);
        break;
    case 19:
        SetOperation('*', 21);
        break;
    default:
        s.syntaxState = 1;
        s.subState = 5;
        s.starMark = true;
        s.formCharacter = '*';
        return;
    }
    s.syntaxState = 0;
}

void ProgramLineParser::ApplyPlus() {
    LineState& s = line_;
    if (IsStartOrAfterPrefix(s.statementMode) && !TokenPending()) {
        s.statementMode = kModeArea; // a step of the sequence area
        s.areaWord |= kAreaPlus;
        if (compile_.programArea != kSequenceArea) Fail();
        return;
    }
    switch (s.statementMode) {
    case 19:
        if (s.instructionWord == kInstrJog || s.instructionWord == kInstrInch)
            s.instructionWord += 4;
        else
            SetOperation('+', 21);
        return;
    case 15:
        ApplyPlusMinusInOperation(+1);
        return;
    case 16:
        s.statementMode = kModeComplete;
        return;
    default:
        return;
    }
}

void ProgramLineParser::ApplyMinus() {
    LineState& s = line_;
    switch (s.statementMode) {
    case 15:
        ApplyPlusMinusInOperation(-1);
        return;
    case 16:
        s.statementMode = kModeComplete;
        return;
    case 19:
        if (s.instructionWord == kInstrJog || s.instructionWord == kInstrInch) {
            s.instructionWord += 2;
            return;
        }
        SetOperation('-', 21);
        s.negative = true;
        return;
    default:
        s.negative = true;
        return;
    }
}

// '+' or '-' right after the first word of an action.
void ProgramLineParser::ApplyPlusMinusInOperation(int sign) {
    LineState& s = line_;
    if (IsOutputKind(s.kindWord)) {
        if (sign < 0) s.instructionWord += 2;
        s.statementMode = kModeComplete;
        return;
    }
    if (IsDirectionKind(s.kindWord)) {
        s.codeStack[5] = sign > 0 ? 1 : 0xFFFF;
        s.statementMode = kModeComplete;
        return;
    }
    if (s.instructionWord == kInstrMove) {
        s.instructionWord += sign > 0 ? 4 : 2;
        s.statementMode = 17;
        return;
    }
    if (sign < 0) s.instructionWord |= kInstrNegateBit;
    SetOperation(sign > 0 ? '+' : '-', 16);
}

void ProgramLineParser::ApplyComma() {
    LineState& s = line_;
    if (s.lastConversionPosition == s.position && s.kindWord == kKindCommaList) {
        s.statementMode = 17;
        return;
    }
    if (!IsStatementStart(s.statementMode)) {
        if (s.previousCharacter != ']') {
            s.afterListComma = true;
            s.subState = 5;
        }
        return;
    }
    RepeatPreviousStatement();
}

// ',' at a statement start: the previous statement again, at its next address.
void ProgramLineParser::RepeatPreviousStatement() {
    LineState& s = line_;
    const CodeStack& previous = compile_.previousCodeStack;
    const std::uint16_t instruction = previous[4];
    if (!IsRepeatable(instruction)) return;
    s.codeStack = previous;
    for (int slot : {0, 1, 2, 3, 6})
        s.codeStack[slot] = 0;
    s.longSlots = compile_.previousLongSlots & LongSlotBit(5);
    s.instructionWord = instruction;
    s.operandWord = 0;
    switch (instruction & 0x000F) {
    case kStepByOne:
    case kStepIndexByOne:
        StepRepeatedAddress(1);
        break;
    case kStepByTwo:
        StepRepeatedAddress(2);
        break;
    case kStepCountedTable:
        CountTableRepeat();
        break;
    default:
        break; // no settled step: the value stays
    }
    if (s.errorFlag) return;
    s.statementMode = kModeContinued;
    s.continuation = true;
    s.repeatSinceConversion = true;
}

void ProgramLineParser::StepRepeatedAddress(int step) {
    LineState& s = line_;
    const std::uint16_t mark = s.codeStack[7];
    if (mark == kMarkShortAddress || mark == kMarkIndexAddress) {
        s.codeStack[5] = static_cast<std::uint16_t>(s.codeStack[5] + step);
    } else if (mark == kMarkLongAddress) {
        const auto address = static_cast<std::uint32_t>(StoredLongValue(s.codeStack[5]));
        PlaceLongValue(static_cast<std::int32_t>(address + static_cast<std::uint32_t>(step)), 5);
    }
}

void ProgramLineParser::CountTableRepeat() {
    const std::uint16_t family = line_.codeStack[5] & kTableFamilyMask;
    int* count = nullptr;
    int limit = 0;
    if (family == kValueDataTable) {
        count = &compile_.dataTableRepeats;
        limit = kDataTableRepeatLimit;
    } else if (family == kValuePointTable) {
        count = &compile_.pointTableRepeats;
        limit = kPointTableRepeatLimit;
    }
    if (count == nullptr) return;
    if (*count >= limit) {
        Fail();
        return;
    }
    ++*count;
}

// '=' at a statement start: the previous statement comes back, to take a new value.
void ProgramLineParser::TakeBackPreviousStatement() {
    LineState& s = line_;
    const CodeStack& previous = compile_.previousCodeStack;
    s.codeStack = previous;
    for (int slot : {0, 1, 2, 3})
        s.codeStack[slot] = 0;
    s.longSlots = 0;
    s.operandWord = compile_.previousOperandWord;
    s.instructionWord = previous[4];
    if (compile_.previousLongSlots & LongSlotBit(5))
        PlaceLongValue(StoredLongValue(previous[5]), 5);
}

void ProgramLineParser::ApplyDot() {
    LineState& s = line_;
    if (IsStatementStart(s.statementMode)) {
        s.instructionWord = kInstrDot;
        s.statementMode = kModeComplete;
    } else if (s.statementMode == 17) {
        s.dotFlag = true;
    } else {
        Fail();
    }
}

void ProgramLineParser::ApplySlash() {
    LineState& s = line_;
    s.slashSinceConversion = true;
    s.slashInLine = true;
    switch (s.statementMode) {
    case 15:
        SetOperation('/', 16);
        return;
    case 16:
    case 17:
        s.operation = '/';
        return;
    case 19:
        SetOperation('/', 21);
        return;
    case 21:
        if (s.previousCharacter == '/') return; // "//": remainder
        break;
    default:
        break;
    }
    if (IsStartOrAfterPrefix(s.statementMode) && !TokenPending()) {
        s.packedWord = kSlashCode; // "/SQ", "/EV": the word begins with '/'
        s.wordLength = 1;
        s.tokenEnded = false;
        return;
    }
    Fail();
}

void ProgramLineParser::ApplySemicolon() {
    LineState& s = line_;
    if (s.statementMode != 19 && s.statementMode != 21 && s.statementMode != 23) return;
    if (TakesSemicolon(s.instructionWord)) {
        s.statementMode = 25;
        return;
    }
    s.statementMode = 24;
    Fail();
}

void ProgramLineParser::ApplyLess() {
    if (line_.statementMode == 7)
        SetComparison(kComparisonLess, 9);
    else
        Fail();
}

void ProgramLineParser::ApplyEquals() {
    LineState& s = line_;
    if (s.nameDefinedInLine) {
        Fail();
        return;
    }
    const int mode = s.statementMode;
    if (IsStatementStart(mode)) {
        s.statementMode = kModeContinued;
        s.continuation = true;
        s.continuationFromEquals = true;
        TakeBackPreviousStatement();
    } else if (mode == kModeContinued && s.previousCharacter == '=') {
        s.statementMode = kModeComplete;
    } else if (mode == 15 || mode == 16) {
        s.statementMode = 17;
    } else if (mode == 7) {
        SetComparison(kComparisonEqual, 9);
    } else if (mode == 9 && s.previousCharacter == '<') {
        SetComparison(kComparisonLessEqual, 9);
    } else if (mode == 9 && s.previousCharacter == '>') {
        SetComparison(kComparisonGreaterEqual, 9);
    } else if (mode == 9 && s.previousCharacter == '=') {
        SetComparison(kComparisonSame, 9);
    } else {
        Fail();
    }
}

void ProgramLineParser::ApplyGreater() {
    LineState& s = line_;
    if (s.statementMode == 9 && s.previousCharacter == '<')
        SetComparison(kComparisonDifferent, 9);
    else if (s.statementMode == 7)
        SetComparison(kComparisonGreater, 9);
    else
        Fail();
}

// '?' issues the previous statement once more; after ',' it only asks for the next value.
void ProgramLineParser::ApplyQuestion() {
    LineState& s = line_;
    if (s.previousCharacter == ',') return;
    const CodeStack& previous = compile_.previousCodeStack;
    if (!IsRepeatable(previous[4])) {
        Fail();
        return;
    }
    s.codeStack = previous;
    s.longSlots = compile_.previousLongSlots;
    s.operandWord = compile_.previousOperandWord;
    s.instructionWord = previous[4];
    s.statementMode = kModeComplete;
}

void ProgramLineParser::ApplyAt() {
    LineState& s = line_;
    if (IsNameStatementKind(s.kindWord) && s.lastConversionPosition == s.position) return;
    s.subState = s.previousCharacter == '#' ? 1 : 0;
    s.syntaxState = s.previousCharacter == '#' ? 6 : 7;
}

void ProgramLineParser::ApplyOpenBracket() {
    LineState& s = line_;
    if (s.previousCharacter == '+') {
        Fail();
        return;
    }
    if (s.underscorePrefix) {
        s.underscorePrefix = false;
        if (compile_.programArea != kEventArea) {
            Fail();
            return;
        }
    }
    if (IsStartOrAfterPrefix(s.statementMode)) {
        s.statementMode = 5;
        s.bracketOpen = true;
        s.areaWord |= kAreaBracketOpen;
        return;
    }
    if (s.kindWord == kKindIndexTable && s.lastConversionPosition == s.position) {
        s.indexForm = true;
        s.statementMode -= 2;
        return;
    }
    Fail();
}

void ProgramLineParser::ApplyBackslash() {
    LineState& s = line_;
    if (s.backslashSinceConversion) {
        Fail();
        return;
    }
    s.backslashSinceConversion = true;
    switch (s.statementMode) {
    case 5:
    case 7:
    case 9:
        return; // the index form of a condition operand
    case 15:
        SetOperation('\\', 16);
        return;
    case 17:
        s.operation = '\\';
        return;
    default:
        Fail();
        return;
    }
}

void ProgramLineParser::ApplyCloseBracket() {
    LineState& s = line_;
    if (s.indexClosedPosition == s.position) return;
    const int mode = s.statementMode;
    if (s.bracketOpen && (mode == 5 || mode == 7 || mode == 11)) {
        s.statementMode = 13;
        s.bracketOpen = false;
        s.bracketClosed = true;
        s.areaWord |= kAreaBracketMark;
    }
}

void ProgramLineParser::ApplyCaretOrBar() {
    LineState& s = line_;
    const char op = static_cast<char>(s.character);
    switch (s.statementMode) {
    case 7:
        SetComparison(op == '^' ? kComparisonExclusive : kComparisonEither, 9);
        return;
    case 15:
        SetOperation(op, 16);
        return;
    case 19:
        SetOperation(op, 21);
        return;
    default:
        Fail();
        return;
    }
}

void ProgramLineParser::ApplyTilde() {
    LineState& s = line_;
    if (s.statementMode == 15)
        SetOperation('~', 16);
    else if (s.statementMode == 17)
        s.operation = '~';
    else if (SlotsForMode(s.statementMode).operand != 0)
        s.tildeMark = true;
    else
        Fail();
}

} // namespace kaso::compiler
