// The second generation's statement parser: decides whether one blank-free statement line is
// well formed, using the built-in dictionary. One parser object belongs to one compile.
#pragma once

#include <string_view>

namespace kaso::compiler {

// What the front end reads after each statement line.
struct LineParseResult {
    bool errorFlag = false;       // the line is wrong
    bool notInDictionary = false; // a word of the line is not in the dictionary
    int statementMode = 0;        // the automaton's mode at the end (4 = area error)
};

class ProgramLineParser {
public:
    ProgramLineParser();

    // Starts a compile: clears every store that lasts from one line to the next.
    void ResetLineParser();

    // Checks one statement without blanks; the line may or may not end in CR.
    LineParseResult ParseStatementLine(std::string_view line);
};

} // namespace kaso::compiler
