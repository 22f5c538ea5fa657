// The second generation's statement parser: decides whether one blank-free statement line is
// well formed, using the built-in dictionary. One parser object belongs to one compile.
//
// How it reads: a character-class state machine. Letters and digits build a token (a word packed
// six bits a character, or a number); an operator, ':' or CR converts the pending token into code
// words on an eight-slot code stack and moves the statement mode on (condition, action, operands,
// complete). Long values, local names, the program area and the last good statement last from
// line to line within the compile; everything else starts afresh on every line.
#pragma once

#include "Gen2Dictionary.h"
#include "Gen2ParserState.h"

#include <cstdint>
#include <string_view>

namespace kaso::compiler {

// What the front end reads after each statement line.
struct LineParseResult {
    bool errorFlag = false;       // the line is wrong
    bool notInDictionary = false; // a word of the line is not in the dictionary
    int statementMode = 0;        // the automaton's mode at the end (4 = area error)
};

// The listing code of a parse result: 0 when accepted, else 47 (a word not in the dictionary),
// 49 (area error) or 48 (any other syntax error).
int ListingCodeForParse(const LineParseResult& result);

class ProgramLineParser {
public:
    // Parses with the shipped dictionary.
    ProgramLineParser();
    // Parses with another dictionary, which must outlive the parser (tests).
    explicit ProgramLineParser(const gen2::Gen2Dictionary& dictionary);

    // Starts a compile: clears every store that lasts from one line to the next.
    void ResetLineParser();

    // Checks one statement without blanks; the line may or may not end in CR. Only the text up
    // to the first CR is read.
    LineParseResult ParseStatementLine(std::string_view line);

    // 1 in the event area, 4 after the sequence part was opened.
    int ProgramArea() const { return compile_.programArea; }
    // Long values kept by the lines so far in this compile.
    int StoredLongValues() const { return gen2::kLongValueFillStart - compile_.fillIndex; }

private:
    void ScanCharacter();
    void HandleDigit();
    void HandleLetter();
    void HandleUnderscore();
    void HandleSeparator();
    void HandleOperator();
    void HandleAxisPrefix();
    void HandleEnd();
    void FinishLine();
    void RestoreContinuation();
    void StartOrContinueDecimal(int digit);
    void AddHexDigit(int digit);
    void AddBinaryDigit(int digit);
    void ExtendWord();
    void StoreTextCharacter();
    bool PendingWordTakesNumber() const;
    bool TokenPending() const;
    void Fail();
    void FailNotInDictionary();

    // Gen2Operators.cpp
    void ApplyOperator();
    bool OperatorRepeatAllowed() const;
    void ApplyBang();
    void ApplyQuote();
    void ApplyHash();
    void ApplyDollar();
    void ApplyPercent();
    void ApplyAmpersand();
    void ApplyApostrophe();
    void ApplyOpenParenthesis();
    void ApplyCloseParenthesis();
    void ApplyStar();
    void ApplyPlus();
    void ApplyMinus();
    void ApplyPlusMinusInOperation(int sign);
    void ApplyComma();
    void ApplyDot();
    void ApplySlash();
    void ApplySemicolon();
    void ApplyLess();
    void ApplyEquals();
    void ApplyGreater();
    void ApplyQuestion();
    void ApplyAt();
    void ApplyOpenBracket();
    void ApplyBackslash();
    void ApplyCloseBracket();
    void ApplyCaretOrBar();
    void ApplyTilde();
    void SetOperation(char op, int nextMode);
    void SetComparison(std::uint16_t comparison, int nextMode);
    void RepeatPreviousStatement();
    void TakeBackPreviousStatement();
    void StepRepeatedAddress(int step);
    void CountTableRepeat();

    // Gen2Conversion.cpp
    void ConvertToken(bool atEnd);
    void ConvertWord(bool atEnd);
    void ConvertBitNumber();
    void ConvertLocalReference();
    void RemoveLocalName(int table, bool byName);
    int FindLocalName(int table, std::uint32_t packedName) const;
    void ConvertRegisterNumber();
    void ConvertHexAddress();
    void ConvertPackedName();
    void DefineLocalName(int table);
    void ConvertCharacterLiteral();
    void ConvertText();
    void ConvertHexNumber();
    void ConvertPlainNumber(gen2::NumberForm form);
    void PlaceNumber(std::int64_t value, gen2::NumberForm form);
    bool PlaceLongValue(std::int32_t value, int slot);
    void FillWordSlot(int slot, std::uint16_t kind, std::uint16_t value);
    std::uint16_t ApplyKindForm(std::uint16_t kind, std::uint16_t value);
    void AdvanceAfterWord();
    void AdvanceAfterNumber();
    void ResetAfterConversion(bool atEnd, bool hexWordFollows);
    bool PushLongValue(std::int32_t value, int slot);
    std::int32_t StoredLongValue(std::uint16_t place) const;
    void CheckTableNumber(std::int64_t value);

    const gen2::Gen2Dictionary* dictionary_;
    gen2::CompileState compile_;
    gen2::LineState line_;
};

} // namespace kaso::compiler
