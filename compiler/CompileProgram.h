// The two program compilers as the editor calls them: each turns one controller program source
// into its compiled program (.mbx) and its listing (.lst) beside the source.
#pragma once

#include <filesystem>
#include <string>

namespace kaso::compiler {

// The result of the passes, as the listing reports it.
inline constexpr int kResultFileNotOpened = 0;     // a library file, the source or the .mbx failed
inline constexpr int kResultCompiled = 1;          // no errors, .mbx written
inline constexpr int kResultTooManyLines = 2;      // more lines than the tables hold
inline constexpr int kResultSequenceNotClosed = 3; // no errors, .mbx written, "SQ" never closed
inline constexpr int kResultErrors = -1;           // errors listed per line, no .mbx

// One output file of a compile: where it belongs and whether it was written.
struct OutputFileReport {
    std::filesystem::path path;
    bool written = false;
    std::string error; // why writing failed; empty when written or not due
};

struct CompileResult {
    int resultCode = kResultFileNotOpened;
    int evline = 0; // steps of the event part (meaningful for results 1 and 3)
    int sqline = 0; // steps of the sequence part (meaningful for results 1 and 3)
    OutputFileReport listing;
    OutputFileReport compiledProgram;
};

// First generation: statement words come from the six keyword library files in libraryFolder
// (with or without a trailing slash).
CompileResult CompileProgramGen1(const std::filesystem::path& source,
                                 const std::filesystem::path& libraryFolder);

// Second generation: statements are checked by the built-in parser; the library folder is
// accepted so that both entry points are called alike, and is not used.
CompileResult CompileProgramGen2(const std::filesystem::path& source,
                                 const std::filesystem::path& libraryFolder = {});

} // namespace kaso::compiler
