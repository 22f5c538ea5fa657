// Varied controller programs of a given length for the benchmarks: symbols and labels up to their
// limits, jumps, calls, variables and expressions, in the bytes of a source file (CR LF lines).
#pragma once

#include <string>

namespace bench {

std::string SecondGenerationProgram(int lines);
// For the first generation's shipped keyword libraries.
std::string FirstGenerationProgram(int lines);

} // namespace bench
