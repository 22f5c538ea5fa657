// Helpers for the second-generation parser tests: listing codes of lines parsed in one compile.
#pragma once

#include "ProgramLineParser.h"

#include <string_view>
#include <vector>

namespace kaso::compiler::gen2test {

// One statement line and the listing code it must get (0 = accepted, 47, 48 or 49).
struct LineCase {
    std::string_view line;
    int code;
};

inline int CodeOf(ProgramLineParser& parser, std::string_view line) {
    return ListingCodeForParse(parser.ParseStatementLine(line));
}

// The codes of the lines of one compile, in order.
inline std::vector<int> CodesOfCompile(ProgramLineParser& parser,
                                       const std::vector<std::string_view>& lines) {
    parser.ResetLineParser();
    std::vector<int> codes;
    for (std::string_view line : lines)
        codes.push_back(CodeOf(parser, line));
    return codes;
}

} // namespace kaso::compiler::gen2test
