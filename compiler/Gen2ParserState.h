// The state of the second-generation statement parser: what one statement line uses, cleared at
// its start, and what lasts from line to line within one compile.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace kaso::compiler::gen2 {

inline constexpr int kFirstLongValuePlace = 8506;
inline constexpr int kLongValuePlaces = 799;
inline constexpr int kLongValueFillStart = kFirstLongValuePlace + kLongValuePlaces; // 9305
inline constexpr int kLocalNameTables = 2;
inline constexpr int kLocalNamesPerTable = 16;
inline constexpr int kCodeStackSlots = 8;
inline constexpr int kMaxDecimalDigits = 10;
inline constexpr int kMaxHexDigits = 8;
inline constexpr int kMaxBinaryDigits = 16;
inline constexpr int kMaxTextCharacters = 4;

using CodeStack = std::array<std::uint16_t, kCodeStackSlots>;

// Bits of LineState::longSlots: which code-stack slots hold a long-value place.
inline constexpr std::uint8_t LongSlotBit(int slot) {
    return static_cast<std::uint8_t>(1 << slot);
}

// How a converted number was written; decides its 16-bit reading and its long form.
enum class NumberForm { Decimal, Hex, Binary, CharLiteral, Text, NameStatement };

struct LineState {
    std::string work; // the statement up to and including its CR
    int position = 0;
    unsigned char character = 0;

    // The token being read.
    std::uint32_t packedWord = 0;
    int wordLength = 0;
    bool wordHasDigit = false;
    int digitCount = 0;
    std::int64_t number = 0;
    bool negative = false;
    std::array<unsigned char, 4> text{};
    int textLength = 0; // characters of a literal or text, stored or not
    bool tokenEnded = false;

    // History: this character's code and class, and the characters before it.
    int code = -1;
    unsigned char previousCharacter = 0;
    unsigned char characterTwoBack = 0;
    std::uint8_t classByte = 0;
    std::uint8_t previousClassByte = 0;
    bool firstCharacter = true;
    int lastConversionPosition = -1;

    int syntaxState = 0;
    int subState = 0;
    std::uint16_t kindWord = 0; // of the last converted token
    std::uint16_t valueWord = 0;
    std::uint16_t operandWord = 0;
    std::uint16_t instructionWord = 0;
    CodeStack codeStack{};
    std::uint8_t longSlots = 0;
    std::uint16_t areaWord = 0;
    char operation = 0; // the operator that made the statement an operation

    // Form flags set by operators.
    char formCharacter = 0; // '#', '$', '&', '!', '*' or '_' that opened syntax state 1
    bool starMark = false;
    bool starDollarForm = false;
    bool tildeMark = false;
    bool bangMark = false;
    bool slashSinceConversion = false;
    bool slashInLine = false;
    bool backslashSinceConversion = false;
    bool repeatSinceConversion = false;
    bool textOperandSinceConversion = false;
    bool textOperandForm = false;
    bool afterListComma = false;
    bool dotFlag = false;
    bool indexForm = false;
    int indexClosedPosition = -1; // where ']' closed an index form
    bool parenthesisClosed = false;
    bool bracketOpen = false;
    bool bracketClosed = false;
    bool underscorePrefix = false;
    bool continuation = false;
    bool continuationFromEquals = false;
    bool continuationRestored = false;
    bool nameDefinedInLine = false;
    bool restartPrefixSeen = false;
    bool lastTokenWasNumber = false;
    bool listedFirst = false;
    bool listedSecond = false;
    std::uint16_t endWordKind = 0; // kind of the word converted at CR

    int statementMode = 0;
    bool complete = false;
    bool errorFlag = false;
    bool notInDictionary = false;
    int rememberedFillIndex = kLongValueFillStart;
};

struct CompileState {
    std::array<std::int32_t, kLongValuePlaces> longValues{};
    int fillIndex = kLongValueFillStart;
    std::array<std::array<std::uint32_t, kLocalNamesPerTable>, kLocalNameTables> localNames{};
    std::array<int, kLocalNameTables> localNameCount{};
    int programArea = 1;

    // The last line that had no error, for ',', '=' and '?' at a statement start.
    CodeStack previousCodeStack{};
    std::uint8_t previousLongSlots = 0;
    std::uint16_t previousOperandWord = 0;
    int savedSyntaxState = 0;
    int savedSubState = 0;

    char ownAxis = 'X';
    bool addressedHere = true;
    int dataTableRepeats = 0;
    int pointTableRepeats = 0;
};

} // namespace kaso::compiler::gen2
