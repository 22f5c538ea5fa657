// kaso-compile: compiles one controller program source with either generation's compiler and
// writes its .lst and .mbx beside it, as the editor's compile command does. Test equipment.
//
//   kaso-compile --gen 1|2 [--lib DIR] SOURCE
//
// The first generation reads its keyword libraries from DIR, else from the Lib folder beside
// this executable. Exits with 0 when the program compiled without errors (result 1) and its
// listing was written, else 1, and with 2 on a wrong command line.
#include "CompileProgram.h"

#include <cstdio>
#include <filesystem>
#include <string_view>

namespace {

int Usage() {
    std::fputs("usage: kaso-compile --gen 1|2 [--lib DIR] SOURCE\n", stderr);
    return 2;
}

std::filesystem::path ShippedLibraryFolder() {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return (ec ? std::filesystem::path(".") : self.parent_path()) / "Lib";
}

void ReportUnwritten(const kaso::compiler::OutputFileReport& file) {
    if (!file.error.empty()) std::fprintf(stderr, "kaso-compile: %s\n", file.error.c_str());
}

} // namespace

int main(int argc, char** argv) {
    int generation = 0;
    std::filesystem::path library;
    std::filesystem::path source;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--gen" && i + 1 < argc) {
            const std::string_view value = argv[++i];
            generation = value == "1" ? 1 : value == "2" ? 2 : 0;
        } else if (arg == "--lib" && i + 1 < argc) {
            library = argv[++i];
        } else if (!arg.starts_with("--") && source.empty()) {
            source = arg;
        } else {
            return Usage();
        }
    }
    if (generation == 0 || source.empty()) return Usage();

    const kaso::compiler::CompileResult result =
        generation == 1 ? kaso::compiler::CompileProgramGen1(
                              source, library.empty() ? ShippedLibraryFolder() : library)
                        : kaso::compiler::CompileProgramGen2(source);
    ReportUnwritten(result.compiledProgram);
    ReportUnwritten(result.listing);
    return result.resultCode == kaso::compiler::kResultCompiled && result.listing.written ? 0 : 1;
}
