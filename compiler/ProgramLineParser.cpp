// Placeholder parser that accepts every statement until the real automaton is in place.
#include "ProgramLineParser.h"

namespace kaso::compiler {

ProgramLineParser::ProgramLineParser() = default;

void ProgramLineParser::ResetLineParser() {}

LineParseResult ProgramLineParser::ParseStatementLine(std::string_view) { return {}; }

} // namespace kaso::compiler
