// User variables of the first generation. A DEF line registers a name of up to 3 characters with
// one '%' (up to 8 such names) or two (another 8); the table holds 32 names in all. A statement
// refers to a variable by its name, or by its letters after '*' ("*A" for "%A") or "**" ("**AB"
// for "%%AB").
//
// A name judged malformed or refused for its kind stays in the table, as the language has
// always kept it; only a full table stores nothing. Names are kept whole, whatever their length.
#include "Gen1Statement.h"

#include <algorithm>

namespace kaso::compiler::gen1 {

namespace {

constexpr std::size_t kMaxNameLetters = 3;

std::size_t PercentCount(std::string_view name) {
    return static_cast<std::size_t>(std::count(name.begin(), name.end(), '%'));
}

std::string Letters(std::string_view name) {
    std::string letters;
    for (char c : name)
        if (c != '%') letters.push_back(c);
    return letters;
}

} // namespace

Registration AddUserVariable(UserVariables& variables, std::string_view name) {
    if (variables.names.size() >= kMaxUserVariables) return Registration::Refused;
    variables.names.emplace_back(name);
    const std::size_t percents = PercentCount(name);
    if (percents > 2 || name.size() - percents > kMaxNameLetters) return Registration::Malformed;
    if (percents == 1 && ++variables.percentNames > kMaxVariablesOfOneKind)
        return Registration::Refused;
    if (percents == 2 && ++variables.doublePercentNames > kMaxVariablesOfOneKind)
        return Registration::Refused;
    return Registration::Registered;
}

bool IsDefinedVariable(const UserVariables& variables, std::string_view word,
                       std::string_view text) {
    if (word.empty()) return false;
    return std::any_of(
        variables.names.begin(), variables.names.end(), [&](const std::string& name) {
            if (word == name) return true;
            const std::size_t percents = PercentCount(name);
            if (percents == 0 || percents > 2 || word != Letters(name)) return false;
            const std::string starForm = std::string(percents, '*') + std::string(word);
            return text.find(starForm) != std::string_view::npos;
        });
}

bool AnyVariableNameContains(const UserVariables& variables, std::string_view word) {
    return !word.empty() && std::any_of(variables.names.begin(), variables.names.end(),
                                        [&](const std::string& name) {
                                            return name.find(word) != std::string::npos;
                                        });
}

Verdict DefineUserVariable(Statement& s, std::string_view name) {
    switch (AddUserVariable(s.Context().variables, name)) {
    case Registration::Registered:
        return MarkWithdrawn();
    case Registration::Malformed:
        return Fail(kVariableMalformed);
    case Registration::Refused:
        break;
    }
    return FailAt(1, kVariableRefused);
}

Verdict DefineUserVariableFromWord(Statement& s, std::string_view word) {
    const bool doublePercent = word.size() >= 5 && word[4] == '%';
    if (word.size() > (doublePercent ? 8u : 7u)) return Fail(kVariableMalformed);
    return DefineUserVariable(s, word.substr(std::min<std::size_t>(3, word.size())));
}

} // namespace kaso::compiler::gen1
