// Inside the program compilers: the state of one compile and what each file of the pipeline
// offers, in the order a source travels from its bytes to the .mbx and .lst files.
//
// CompileProgram.cpp   entry points; runs the passes and writes the listing
// KeywordLibrary.cpp   the six keyword library files of the first generation
// SourceReader.cpp     source bytes -> upper-cased lines without comments
// FirstPass.cpp        labels, symbols and the step numbering of each part
// LineText.cpp         words, marker lines, symbol and label substitution, row text
// JumpTarget.cpp       jump labels and the arithmetic of jump targets
// SecondPassGen1.cpp   the first generation's second pass
// SecondPassGen2.cpp   the second generation's second pass, through ProgramLineParser
// StatementCheckGen1.cpp  the first generation's statement checkers
// CompiledProgramWriter.cpp  rows -> .mbx text with Evline and Sqline
// ListingWriter.cpp    result and error codes -> .lst text
// OutputFile.cpp       output names and safe replacement of output files
//
// Every text is kept whole in growing storage: the byte limits of the language (line, word,
// label and symbol lengths, table sizes) are checked where an error code exists for them and
// never decide how much is stored.
#pragma once

#include "CompileProgram.h"
#include "ProgramLineParser.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kaso::compiler {

enum class Generation { First, Second };

inline constexpr int kErrorSlots = 10;
inline constexpr int kMaxLabels = 99;
inline constexpr std::size_t kMaxLabelNameLength = 20;
inline constexpr int kMaxSymbols = 20;
inline constexpr std::size_t kMaxSymbolNameLength = 8;
inline constexpr std::size_t kMaxSymbolValueLength = 10;
inline constexpr std::size_t kMaxStatementLength = 29; // second generation, without blanks

// Source lines (and ErrorTable rows) a compile accepts: 2000 or 6000.
int LineLimit(Generation generation);

// Error codes stored by the front end and the loader.
inline constexpr int kCodeTooManySymbols = 22;
inline constexpr int kCodeSymbolTooLong = 23;
inline constexpr int kCodeSymbolMalformed = 24;
inline constexpr int kCodeMarkerLine = 32;
inline constexpr int kCodeTooManyLabels = 41;
inline constexpr int kCodeLabelTooLong = 42;
inline constexpr int kCodeConditionSyntax = 43;
inline constexpr int kCodeActionSyntax = 45;
inline constexpr int kCodeNotInDictionary = 47;
inline constexpr int kCodeSyntax = 48;
inline constexpr int kCodeAreaControl = 49;
inline constexpr int kCodeStatementTooLong = 50;

// Error codes per source line, ten slots a line, and which lines are marked as failed.
struct ErrorTable {
    std::vector<std::array<std::int32_t, kErrorSlots>> rows;
    std::vector<char> marked;
};

// The words of one keyword table in file order.
struct KeywordTable {
    std::vector<std::string> names;
    bool Contains(std::string_view word) const;
};

struct KeywordTables {
    KeywordTable mode;       // MODE.LIB
    KeywordTable data;       // DATA.LIB
    KeywordTable status;     // STATAS.LIB
    KeywordTable command;    // COMMAND.LIB
    KeywordTable commandBit; // COMMANDB.LIB
    KeywordTable mailbox;    // MAILBOXC.LIB
    KeywordTable digits;     // "0" to "9"
    KeywordTable notWords;   // "!!!"
    KeywordTable andWords;   // "AND"
    KeywordTable orWords;    // "OR"
};

struct Symbol {
    std::string name;
    std::string value;
};

struct Label {
    std::string name;
    std::int32_t number = 0;
};

// User variables registered by DEF lines (first generation).
struct UserVariables {
    std::vector<std::string> names; // up to 32, each with its '%' or "%%"
    int percentNames = 0;           // names with one '%'
    int doublePercentNames = 0;     // names with "%%"
};

// What the first generation's checkers learn about the line they look at; reset per line.
struct OperandState {
    bool comparisonSeen = false;
    int conditionForm = 0;
    int actionForm = 0;
};

// One accepted line as it goes into the .mbx file: blanks and control characters left out,
// without its line end.
struct Row {
    std::string text;
    int lineIndex = 0;
};

// One line as the reader gives it: upper case, TAB as blank, comment cut, ending in '\n'.
struct SourceLine {
    std::string text;
    bool hadComment = false;
};

// The state of one compile (both generations). Created per call, never kept.
struct CompilerContext {
    Generation generation = Generation::First;
    ErrorTable errors;
    std::vector<Symbol> symbols;
    bool symbolsPresent = false; // some line holds "DEFSMB"
    std::vector<Label> labels;
    KeywordTables keywords;                    // first generation
    UserVariables variables;                   // first generation
    std::unique_ptr<ProgramLineParser> parser; // second generation, one per compile
    // The second generation's statement check: the parser above, unless a test of the front
    // end puts its own in place.
    std::function<LineParseResult(std::string_view statement)> checkStatement2;

    // The line being worked on.
    int lineIndex = 0;  // 0-based physical line, row of ErrorTable
    int lineInPart = 0; // the line's number within its part
    bool inSequencePart = false;
    std::string line;               // SourceLine, rewritten in place by the passes
    std::vector<std::string> words; // WordTable, a removed label word included
    int wordCount = 0;              // words of the statement, after a label
    int wordCursor = 0;             // index of the current word
    OperandState operands;
    bool jumpArithmeticFailed = false; // division or remainder by zero in a jump target

    std::vector<Row> rows; // RowTable
};

// ---- CompilerContext.cpp: setting up a compile, storing codes, marking lines
void InitCompilerContext(CompilerContext& ctx, Generation generation);
void StoreCode(CompilerContext& ctx, int slot, int code); // in the current line's row
int StoredCode(const CompilerContext& ctx, int slot);
void MarkError(CompilerContext& ctx);    // the current line fails the compile
void WithdrawMark(CompilerContext& ctx); // the current line counts as not failed again
bool AnyLineMarked(const CompilerContext& ctx);
// A statement error found outside the checkers: its code in slot 0 unless the line already
// holds a code there, and the line marked.
void StoreStatementError(CompilerContext& ctx, int code);
// Makes codes and marks of the current line agree: a line with a code fails, and a failed line
// without a code that has a message gets the generation's statement error in slot 0, so the
// listing names it.
void SettleLineVerdict(CompilerContext& ctx);
// The k-th word of the statement counted from the cursor; empty past the last word.
std::string_view StatementWord(const CompilerContext& ctx, int k);
// Starts work on a line: its text, no words, operand state and jump state cleared.
void BeginLine(CompilerContext& ctx, int index, const SourceLine& source);
void EmitRow(CompilerContext& ctx); // appends the current line as a row
// The line loop of a second pass: from the top of the program, each line begun, checked by
// `checkLine` and its verdict settled.
void CheckEveryLine(CompilerContext& ctx, const std::vector<SourceLine>& lines,
                    void (*checkLine)(CompilerContext&));
// A line with a double quote goes into the program unchecked, as written after the quote (or
// after the label bar).
void EmitQuotedLine(CompilerContext& ctx);
// The forms of a statement line that both generations take alike: a quoted line, a symbol
// definition (already handled by the first pass) and a marker line. Splits the line into words;
// true when the line needs no further check.
bool HandleCommonLineForms(CompilerContext& ctx);

// ---- KeywordLibrary.cpp
enum class LibraryLoad { Loaded, FileMissing, Overflow };
// Loads the six tables in their order; a missing file stops at once, an overflow stores the
// table's code (35 to 40) in the first line's row, marks it and stops.
LibraryLoad LoadKeywordLibraries(CompilerContext& ctx, const std::filesystem::path& folder);
// The names of one library file's text, in file order.
std::vector<std::string> SplitLibraryText(std::string_view fileText, bool allowExclamation);

// ---- SourceReader.cpp
// Reads the whole file; false when it cannot be opened or read.
bool LoadSourceFile(const std::filesystem::path& path, std::string& bytes);
// Cuts the source into lines; false when more than `limit` lines follow each other.
bool ReadSourceLines(std::string_view bytes, int limit, std::vector<SourceLine>& lines);

// ---- FirstPass.cpp
// Learns labels and symbols; false when a label error ended the compile.
bool RunFirstPass(CompilerContext& ctx, const std::vector<SourceLine>& lines);

// ---- LineText.cpp
bool IsWordCharacter(char c);
bool IsUpperLetter(char c);
bool IsAsciiLetterOrDigit(char c);
bool IsAllDigits(std::string_view text); // not empty, only '0' to '9'
bool IsBlankLine(std::string_view line); // only blanks and control characters
bool Contains(std::string_view text, std::string_view part);
bool HasConditionBracket(std::string_view line); // holds '(' or '['
// The line up to its '\n' without blanks and control characters.
std::string WithoutBlanks(std::string_view line);
std::vector<std::string> ScanWords(std::string_view line);
bool CheckMarkerLine(const std::vector<std::string>& words, std::string_view line);
// Where a symbol's name stands on its own in the line (no letter or digit joined to it).
std::size_t FindSymbolName(std::string_view line, std::string_view name);
void SubstituteSymbols(CompilerContext& ctx);  // first generation, on the line
void SubstituteSymbols2(CompilerContext& ctx); // second generation, per word
void AddLabel2(CompilerContext& ctx);          // second generation: label words -> numbers
const Label* FindLabel(const CompilerContext& ctx, std::string_view name);
// Position of the first jump keyword of the line, npos without one.
std::size_t FindJumpKeyword(std::string_view line);
bool EndsWithEmptyCondition(std::string_view line);        // "()" or "[]" before the line end
std::string PadNumber(long long value, std::size_t width); // right-aligned like "%3d"

// ---- JumpTarget.cpp
enum class ArithmeticOutcome { NotComputed, Computed, DivisionByZero };
// Makes the line blank-free and computes "target op number" after the jump keyword (or after
// the last '=' without one).
ArithmeticOutcome ComputeJumpArithmetic(std::string& line, Generation generation);
// First generation, on the current word: true when the word is a known label (replaced by its
// number) or already a numeric target; 43 with a mark when the line has no jump keyword.
bool ResolveJumpTarget(CompilerContext& ctx);
void ResolveJumpTarget2(CompilerContext& ctx);

// ---- SecondPassGen1.cpp / SecondPassGen2.cpp
void RunSecondPass(CompilerContext& ctx, const std::vector<SourceLine>& lines);
void RunSecondPass2(CompilerContext& ctx, const std::vector<SourceLine>& lines);
// The code a parser verdict stands for: 47, 49 or 48, or 0 for an accepted statement.
int ParserVerdictCode(const LineParseResult& verdict);

// ---- StatementCheckGen1.cpp
// The first generation's statement check. The second pass calls it for a line with '(' or '['
// of 1 to 7 words, for a DEF line of 1 or 2 words and for a one-word "MBOF"/"MBCL"/"MBON" line
// (which the pass has already given 43 and marked). It reads ctx.line, ctx.words from
// ctx.wordCursor (ctx.wordCount of them), ctx.keywords, ctx.variables, ctx.operands and
// ctx.inSequencePart; it judges by storing codes in the line's slots, MarkError/WithdrawMark,
// ResolveJumpTarget and the registration of user variables. Accepting a line means slot 0
// cleared and its mark withdrawn.
void CheckStatementGen1(CompilerContext& ctx);

// ---- CompiledProgramWriter.cpp
struct StepCounts {
    int evline = 0;
    int sqline = 0;
    bool sequenceOpen = false; // a "SQ" row without a later "/SQ" row
};
// The .mbx text with '\n' line ends.
std::string FormatCompiledProgram(const std::vector<Row>& rows, Generation generation,
                                  StepCounts& counts);

// ---- ListingWriter.cpp
// The CP932 message of a code with "%3d" for the line number; empty when the code has none.
std::string_view ErrorMessage(int code, Generation generation);
// The .lst text with '\n' line ends for a result code.
std::string FormatListing(const CompilerContext& ctx, int resultCode, const StepCounts& counts);
// The listing when the compile succeeded but its .mbx file could not be written.
std::string FormatCompiledFileFailure();

// ---- OutputFile.cpp
// The path with the extension from the file name's last '.' replaced (or added).
std::filesystem::path ReplaceExtension(const std::filesystem::path& path, std::string_view ext);
// Writes text with every '\n' as CR LF; an older file is replaced only after the new one is
// complete. False with a reason when the file cannot be written.
bool WriteTextFile(const std::filesystem::path& path, std::string_view text, std::string& error);

// ---- CompileProgram.cpp
int RunCompilePasses(CompilerContext& ctx, const std::filesystem::path& source,
                     const std::filesystem::path& libraryFolder, CompileResult& result);
int RunCompilePasses2(CompilerContext& ctx, const std::filesystem::path& source,
                      CompileResult& result);

} // namespace kaso::compiler
