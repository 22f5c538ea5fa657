// Working on the text of one line: character classes, the words of a line, marker lines
// ("A:", "A-B:", ":NAME:"), symbol substitution of both generations, label words of the second
// generation and the row text that goes into the .mbx file.
//
// The first generation replaces a symbol's name where it stands in the line, at most twice; the
// second only for a word equal to the name, once per such word.
//
// Words are runs of letters, digits, '_', '%' and '!'. A '(' inside a word neither ends it nor
// enters it; a '_' directly before '(' is not taken, except in a line that begins with "_(",
// where only that first '_' is left out.
#include "Compiler.h"

#include <algorithm>

namespace kaso::compiler {

bool IsUpperLetter(char c) {
    return c >= 'A' && c <= 'Z';
}

bool IsAsciiLetterOrDigit(char c) {
    return IsUpperLetter(c) || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

bool IsWordCharacter(char c) {
    return IsAsciiLetterOrDigit(c) || c == '_' || c == '%' || c == '!';
}

bool IsAllDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

namespace {

bool IsBlankOrControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte <= 0x20 || byte == 0x7F;
}

} // namespace

bool Contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

bool HasConditionBracket(std::string_view line) {
    return line.find_first_of("([") != std::string_view::npos;
}

bool IsBlankLine(std::string_view line) {
    return std::all_of(line.begin(), line.end(), IsBlankOrControl);
}

std::string WithoutBlanks(std::string_view line) {
    line = line.substr(0, line.find('\n'));
    std::string text;
    text.reserve(line.size());
    for (char c : line)
        if (!IsBlankOrControl(c)) text.push_back(c);
    return text;
}

std::vector<std::string> ScanWords(std::string_view line) {
    const bool beginsWithUnderscoreBracket = line.substr(0, 2) == "_(";
    std::vector<std::string> words;
    std::string word;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        const char next = i + 1 < line.size() ? line[i + 1] : '\0';
        if (beginsWithUnderscoreBracket && i == 0) continue;
        if (IsWordCharacter(c)) {
            if (!beginsWithUnderscoreBracket && c == '_' && next == '(') continue;
            word.push_back(c);
        } else if (c == '(' && !word.empty()) {
            continue;
        } else if (!word.empty()) {
            words.push_back(std::move(word));
            word.clear();
        }
    }
    if (!word.empty()) words.push_back(std::move(word));
    return words;
}

bool CheckMarkerLine(const std::vector<std::string>& words, std::string_view line) {
    if (words.empty()) return false;
    const std::string& first = words[0];
    if (first.size() == 1) {
        if (!IsUpperLetter(first[0])) return false;
        if (Contains(line, "-") && words.size() > 1 && words[1].size() == 1)
            return IsUpperLetter(words[1][0]);
        return true;
    }
    return std::all_of(first.begin(), first.end(), IsUpperLetter) &&
           std::count(line.begin(), line.end(), ':') >= 2;
}

// A symbol's name stands in the line as a name of its own: no letter or digit right before or
// after it, so a symbol V leaves "EV" and "V1" alone.
std::size_t FindSymbolName(std::string_view line, std::string_view name) {
    for (std::size_t at = line.find(name); at != std::string_view::npos;
         at = line.find(name, at + 1)) {
        const std::size_t after = at + name.size();
        const bool joinedBefore = at > 0 && IsAsciiLetterOrDigit(line[at - 1]);
        const bool joinedAfter = after < line.size() && IsAsciiLetterOrDigit(line[after]);
        if (!joinedBefore && !joinedAfter) return at;
    }
    return std::string_view::npos;
}

void SubstituteSymbols(CompilerContext& ctx) {
    for (const Symbol& symbol : ctx.symbols) {
        for (int replacement = 0; replacement < 2; ++replacement) {
            const std::size_t at = FindSymbolName(ctx.line, symbol.name);
            if (at == std::string::npos) break;
            ctx.line.replace(at, symbol.name.size(), symbol.value);
        }
    }
}

void SubstituteSymbols2(CompilerContext& ctx) {
    for (int k = 0; k < ctx.wordCount; ++k) {
        const std::string_view word = StatementWord(ctx, k);
        const auto symbol = std::find_if(ctx.symbols.begin(), ctx.symbols.end(),
                                         [&](const Symbol& s) { return s.name == word; });
        if (symbol == ctx.symbols.end()) continue;
        const std::size_t at = FindSymbolName(ctx.line, symbol->name);
        if (at != std::string::npos) ctx.line.replace(at, symbol->name.size(), symbol->value);
    }
}

const Label* FindLabel(const CompilerContext& ctx, std::string_view name) {
    const auto label = std::find_if(ctx.labels.begin(), ctx.labels.end(),
                                    [&](const Label& l) { return l.name == name; });
    return label == ctx.labels.end() ? nullptr : &*label;
}

void AddLabel2(CompilerContext& ctx) {
    ctx.line = WithoutBlanks(ctx.line) + '\n';
    for (int k = 1; k < ctx.wordCount; ++k) {
        const Label* label = FindLabel(ctx, StatementWord(ctx, k));
        if (label == nullptr) continue;
        const std::size_t at = ctx.line.rfind(label->name);
        if (at != std::string::npos)
            ctx.line.replace(at, label->name.size(), std::to_string(label->number));
    }
}

std::size_t FindJumpKeyword(std::string_view line) {
    std::size_t first = std::string_view::npos;
    for (std::string_view keyword : {"GOTO", "CALL", "EVSL", "EVWK", "SQSL", "SQWK"})
        first = std::min(first, line.find(keyword));
    return first;
}

bool EndsWithEmptyCondition(std::string_view line) {
    const std::string text = WithoutBlanks(line);
    return text.ends_with("()") || text.ends_with("[]");
}

std::string PadNumber(long long value, std::size_t width) {
    std::string digits = std::to_string(value);
    if (digits.size() < width) digits.insert(0, width - digits.size(), ' ');
    return digits;
}

} // namespace kaso::compiler
