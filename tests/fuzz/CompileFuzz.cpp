// libFuzzer target: arbitrary bytes as a program source for both compilers, and as a keyword
// library file for the first. A crash, a hang, a sanitizer report or a result whose files
// disagree with its code is a finding.
#include "CompileProgram.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using kaso::compiler::CompileResult;

void Write(const fs::path& path, const std::uint8_t* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

// The compilers' folder, with its keyword libraries; removed when the run ends (libFuzzer ends
// with exit(), which destroys it), so that no run leaves it in the temporary folder.
class CompileFolder {
public:
    CompileFolder()
        : path_(fs::temp_directory_path() / ("kaso-compile-fuzz-" + std::to_string(getpid()))) {
        fs::create_directories(path_ / "Lib");
        for (const char* name : {"MODE.LIB", "DATA.LIB", "STATAS.LIB", "COMMAND.LIB",
                                 "COMMANDB.LIB", "MAILBOXC.LIB"}) {
            std::ofstream(path_ / "Lib" / name) << "words\"JOG,POS,GOTO,MBON\n";
        }
    }
    ~CompileFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    CompileFolder(const CompileFolder&) = delete;
    CompileFolder& operator=(const CompileFolder&) = delete;
    const fs::path& Path() const { return path_; }

private:
    fs::path path_;
};

const fs::path& Folder() {
    static const CompileFolder folder;
    return folder.Path();
}

void Check(const CompileResult& result) {
    const bool compiled = result.resultCode == 1 || result.resultCode == 3;
    if (result.resultCode < -1 || result.resultCode > 3 || !result.listing.written ||
        compiled != fs::exists(result.compiledProgram.path))
        std::abort();
    fs::remove(result.compiledProgram.path);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fs::path source = Folder() / "FUZZ.tmp";
    Write(source, data, size);
    Check(kaso::compiler::CompileProgramGen1(source, Folder() / "Lib"));
    Check(kaso::compiler::CompileProgramGen2(source));
    Write(Folder() / "Lib" / "MAILBOXC.LIB", data, size);
    Check(kaso::compiler::CompileProgramGen1(source, Folder() / "Lib"));
    return 0;
}
