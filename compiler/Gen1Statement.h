// The first generation's statement checkers and what they share: the word and line-shape tests,
// the user variables, the verdict a checker returns and the view of the line under check.
//
// Gen1Words.cpp            word tests and line-shape tests on the line without blanks
// Gen1Statement.cpp        the line under check: its words, their classes, verdicts
// Gen1Variables.cpp        user variables: DEF registration and references
// Gen1ShortStatements.cpp  statements of one and two words
// Gen1ThreeWords.cpp       statements of three words
// Gen1FourWords.cpp        statements of four words
// Gen1FiveWords.cpp        statements of five words
// Gen1LongStatements.cpp   statements of six and seven words
// StatementCheckGen1.cpp   the checker chosen by the word count
//
// A checker walks the words from the first one, tests each word's class and where the operator
// characters stand in the line, and ends in a verdict: accepted, or failed with codes in slots
// 0 to 5 of the line's row. It builds nothing; an accepted line goes into the program as it is.
#pragma once

#include "Compiler.h"

#include <array>
#include <initializer_list>
#include <string>
#include <string_view>

namespace kaso::compiler::gen1 {

// Error codes of the statement checkers.
inline constexpr int kVariableRefused = 20;   // no room for one more user variable
inline constexpr int kVariableMalformed = 21; // name too long or with more than two '%'
inline constexpr int kVariableUndefined = 26; // a word with '%' that names no user variable
inline constexpr int kLabelUnknown = 28;      // a jump label that names no label
inline constexpr int kConditionSyntax = 43;
inline constexpr int kConditionSpelling = 44;
inline constexpr int kActionSyntax = 45;
inline constexpr int kActionSpelling = 46;

inline constexpr int kCheckerSlots = 6; // the checkers write slots 0 to 5 of a line's row

// ---- Gen1Words.cpp: tests of one word
bool IsNumberWord(std::string_view word); // not empty, only '0' to '9'
// Up to 4 hex digits (the empty word counts), or 'H' and exactly 4 hex digits.
bool IsHexOperand(std::string_view word);
bool IsShortWord(std::string_view word); // fewer than 6 characters
// The digits among the 5th to 20th characters of a word, taken together.
std::string CountDigits(std::string_view word);

// ---- Gen1Words.cpp: tests of the line, given without blanks (WithoutBlanks)
// 1 when the line has '(' (else '[') with no '_' before it in the sequence part and no '+'
// before it in the event part.
bool HasConditionBracket(std::string_view text, bool inSequencePart);
// At the first ')' (else the first ']'): 2 for an empty condition, 1 for a filled one, 0 when
// the line has no closing bracket.
int BracketShape(std::string_view text);
// The first comparison operator stands inside the condition.
bool ComparisonBeforeClose(std::string_view text);
bool HasComparison(std::string_view text); // '=', '>' or '<' anywhere
// 1 when the condition begins with an address form ('#', '$', '&'), 2 when an address form is
// the right-hand side of a comparison, 0 otherwise.
int FindConditionForm(std::string_view text);
// 1 when the action holds an address or status operand; withNotRule adds the one-word rule of a
// '!' right after the condition.
int FindActionForm(std::string_view text, bool withNotRule);
// 1 for a bit index (',' and a digit) inside the condition, 2 for several commas inside it.
int CommaDigitInCondition(std::string_view text);
bool CommaDigitInAction(std::string_view text); // ',' and a digit after the condition

// ---- Gen1Variables.cpp
inline constexpr std::size_t kMaxUserVariables = 32;
inline constexpr int kMaxVariablesOfOneKind = 8;

enum class Registration { Registered, Malformed, Refused };
// Stores a DEF name (unless the table is full) and judges it.
Registration AddUserVariable(UserVariables& variables, std::string_view name);
// The word names a user variable, or stands in the line in its '*' form ("*A" for "%A", "**AB"
// for "%%AB").
bool IsDefinedVariable(const UserVariables& variables, std::string_view word,
                       std::string_view text);
bool AnyVariableNameContains(const UserVariables& variables, std::string_view word);

// What a checker decides for its line.
struct Verdict {
    enum class Kind {
        Accepted,      // no code; a jump resolution's own verdict on the line still stands
        MarkWithdrawn, // no code and the line counts as not failed, whatever marked it
        Failed,        // the codes in slots, the line marked
    };
    Kind kind = Kind::Accepted;
    std::array<int, kCheckerSlots> slots{};
};

Verdict Accepted();
Verdict MarkWithdrawn();
Verdict Fail(int code);                              // in slot 0
Verdict FailAt(int slot, int code);                  // the slots below it empty
Verdict FailSlots(std::initializer_list<int> codes); // slot 0 first

// ---- Gen1Statement.cpp: the line under check. Words are counted from 1 at the cursor the
// front end left (after a removed label); a word past the last one is the empty word.
class Statement {
public:
    explicit Statement(CompilerContext& ctx);

    CompilerContext& Context() { return ctx_; }
    std::string_view Word(int k) const;
    // Cuts a counted mailbox word after its 4th character; the rest becomes word k+1.
    void SplitWord(int k, std::size_t at);

    // Word classes of word k.
    bool Mode(int k) const;
    bool Data(int k) const;
    bool Command(int k) const;
    bool Bit(int k) const; // command-bit word
    bool Mailbox(int k) const;
    bool Number(int k) const;
    bool Hex(int k) const;
    bool And(int k) const;
    bool Or(int k) const;
    bool Not(int k) const; // "!!!"
    // A status word. Unless the line holds "!!!", a word written with a leading '!' is first
    // rewritten in place to the (at most 4) characters after it, and stays so for the later
    // tests of the line.
    bool Status(int k);
    bool Variable(int k);    // a user-variable reference
    bool PercentWord(int k); // holds '%' and is no variable
    bool Comment(int k);     // in a line with '@', a word of fewer than 6 characters
    // The first 4 characters are a mailbox word and more follow.
    bool CountedMailbox(int k) const;
    bool CountIsNumber(int k) const; // the digits after a counted mailbox word form a number
    // A jump label (replaced in the line by its number) or a numeric jump target. In a line
    // without jump keyword the resolution stores 43 and marks the line itself.
    bool Label(int k);
    bool VariableNumberOrLabel(int k);

    // Shapes of the line, on its text without blanks.
    bool HasConditionBracket() const;
    int BracketShape() const;
    bool Closed() const { return BracketShape() == 1; }
    // The comparison inside the condition; answers true at most once per line.
    bool ComparisonInCondition();
    bool HasComparison() const;
    int FindConditionForm();
    int FindActionForm(bool withNotRule = false);
    int CommaDigitInCondition() const;
    bool HasIndex() const { return CommaDigitInCondition() == 1; }
    bool CommaDigitInAction() const;
    bool LineHas(std::string_view part) const;

    // The failure of a step that is a jump label alone: its code, or 43 when the line holds no
    // jump keyword at all (the resolution's own verdict).
    Verdict LabelFailure(int code) const;
    // Stores the verdict's codes in slots 0 to 5 and marks or withdraws the line.
    void Apply(const Verdict& verdict);

private:
    std::string Text() const;
    std::size_t Index(int k) const;

    CompilerContext& ctx_;
    int start_;
    bool noJumpKeyword_ = false;
};

// ---- the checkers by word count
Verdict CheckStatementWords1(Statement& s);
Verdict CheckStatementWords2(Statement& s);
Verdict CheckStatementWords3(Statement& s);
Verdict CheckStatementWords4(Statement& s);
Verdict CheckStatementWords5(Statement& s);
Verdict CheckStatementWords6(Statement& s);
Verdict CheckStatementWords7(Statement& s);

// ---- Gen1Variables.cpp: DEF lines
// Registers a DEF name: accepted with the line's mark withdrawn, or 21, or 20 in slot 1.
Verdict DefineUserVariable(Statement& s, std::string_view name);
// A one-word DEF: the name glued to "DEF", the whole word at most 8 characters for a "%%" name
// and 7 for any other.
Verdict DefineUserVariableFromWord(Statement& s, std::string_view word);

} // namespace kaso::compiler::gen1
