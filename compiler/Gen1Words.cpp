// Word tests and line-shape tests of the first generation's statement checkers. The language is
// judged by shape: a word by its characters, a line by where its brackets, commas, comparison
// operators and address characters ('#', '$', '&') stand. The line tests work on the line
// without blanks, so "( #RDY = 1 )" has the shape of "(#RDY=1)" and "[ ]" is an empty condition.
#include "Gen1Statement.h"

#include <algorithm>

namespace kaso::compiler::gen1 {

namespace {

constexpr std::string_view kHexDigits = "0123456789ABCDEF";
constexpr std::string_view kComparisonCharacters = "=<>";
// Characters after which an address or status operand belongs to the action.
constexpr std::string_view kBeforeActionOperand = ")]=+-*/\\";

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool AllHex(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return kHexDigits.find(c) != std::string_view::npos; });
}

bool OneOf(std::string_view set, char c) {
    return c != '\0' && set.find(c) != std::string_view::npos;
}

// The character before position `at`, or '\0' at the start or for a position not found.
char Before(std::string_view text, std::size_t at, std::size_t distance = 1) {
    if (at == std::string_view::npos || at < distance) return '\0';
    return text[at - distance];
}

char After(std::string_view text, std::size_t at) {
    if (at == std::string_view::npos || at + 1 >= text.size()) return '\0';
    return text[at + 1];
}

std::size_t FirstClosingBracket(std::string_view text) {
    return std::min(text.find(')'), text.find(']'));
}

// The form that one address character gives: 1 right after the condition's opening bracket
// (also as "#$" or "#&" there when hashAllowed), 2 after a comparison, else 0.
int AddressForm(std::string_view text, std::size_t at, bool hashAllowed) {
    const char before = Before(text, at);
    if (before == '(' || before == '[') return 1;
    if (OneOf("=><\\", before)) return 2;
    if (hashAllowed && before == '#' && OneOf("([", Before(text, at, 2))) return 1;
    return 0;
}

} // namespace

bool IsNumberWord(std::string_view word) {
    return !word.empty() && std::all_of(word.begin(), word.end(), IsDigit);
}

bool IsHexOperand(std::string_view word) {
    if (word.size() <= 4) return AllHex(word);
    return word.size() == 5 && word[0] == 'H' && AllHex(word.substr(1));
}

bool IsShortWord(std::string_view word) {
    return word.size() < 6;
}

std::string CountDigits(std::string_view word) {
    std::string digits;
    if (word.size() <= 4) return digits;
    for (char c : word.substr(4, 16))
        if (IsDigit(c)) digits.push_back(c);
    return digits;
}

bool HasConditionBracket(std::string_view text, bool inSequencePart) {
    std::size_t bracket = text.find('(');
    if (bracket == std::string_view::npos) bracket = text.find('[');
    if (bracket == std::string_view::npos) return false;
    const char forbidden = inSequencePart ? '_' : '+';
    return text.substr(0, bracket).find(forbidden) == std::string_view::npos;
}

int BracketShape(std::string_view text) {
    std::size_t close = text.find(')');
    char open = '(';
    if (close == std::string_view::npos) {
        close = text.find(']');
        open = '[';
    }
    if (close == std::string_view::npos) return 0;
    return Before(text, close) == open ? 2 : 1;
}

bool ComparisonBeforeClose(std::string_view text) {
    const std::size_t op = text.find_first_of(kComparisonCharacters);
    if (op == std::string_view::npos) return false;
    const std::size_t round = text.find(')');
    const std::size_t square = text.find(']');
    if (round == std::string_view::npos && square == std::string_view::npos) return true;
    return (round != std::string_view::npos && op < round) ||
           (square != std::string_view::npos && op < square);
}

bool HasComparison(std::string_view text) {
    return text.find_first_of(kComparisonCharacters) != std::string_view::npos;
}

int FindConditionForm(std::string_view text) {
    if (const int form = AddressForm(text, text.find('#'), false); form != 0) return form;
    if (const int form = AddressForm(text, text.find('$'), true); form != 0) return form;
    return AddressForm(text, text.find('&'), true);
}

int FindActionForm(std::string_view text, bool withNotRule) {
    const std::size_t hash = text.rfind('#');
    if (hash != std::string_view::npos) {
        const char before = Before(text, hash);
        if (OneOf(kBeforeActionOperand, before)) return 1;
        if (before == '#' &&
            (OneOf("=)]", Before(text, hash, 2)) || OneOf("$&", After(text, hash))))
            return 1;
    }
    for (char address : {'$', '&'}) {
        const std::size_t at = text.rfind(address);
        if (at == std::string_view::npos) continue;
        const char before = Before(text, at);
        if (OneOf(kBeforeActionOperand, before)) return 1;
        if (before == '#' && OneOf(")]", Before(text, at, 2))) return 1;
    }
    if (withNotRule && OneOf(")]", Before(text, text.rfind('!')))) return 1;
    return 0;
}

int CommaDigitInCondition(std::string_view text) {
    const std::size_t first = text.find(',');
    if (first == std::string_view::npos) return 0;
    const std::size_t close = FirstClosingBracket(text);
    if (std::count(text.begin(), text.end(), ',') > 1 && text.rfind(',') < close) return 2;
    return first < close && IsDigit(After(text, first)) ? 1 : 0;
}

bool CommaDigitInAction(std::string_view text) {
    const std::size_t last = text.rfind(',');
    const std::size_t close = FirstClosingBracket(text);
    if (last == std::string_view::npos || close == std::string_view::npos) return false;
    return last > close && IsDigit(After(text, last));
}

} // namespace kaso::compiler::gen1
