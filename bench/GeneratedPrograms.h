// Varied controller programs of a given length for the benchmarks: symbols and labels up to their
// limits, jumps, calls, variables and expressions, in the bytes of a source file (CR LF lines).
#pragma once

#include <string>

namespace bench {

// Programs of one length with another `variant` differ in the order of their statements and in
// their symbols' values.
std::string SecondGenerationProgram(int lines, int variant = 0);
// For the first generation's shipped keyword libraries.
std::string FirstGenerationProgram(int lines);

} // namespace bench
