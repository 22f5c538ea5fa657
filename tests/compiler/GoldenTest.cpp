// Golden programs run through kaso-compile: each source under golden/ with the .lst and .mbx
// bytes it must give (golden/README.md says how each was worked out).
#include "CompilerTestSupport.h"

#include <sys/wait.h>

namespace kaso::compiler::test {
namespace {

const std::filesystem::path kGoldenFolder = KASO_GOLDEN_DIR;
const std::string kCompiler = KASO_COMPILE_EXE;

struct GoldenCase {
    const char* name;
    int generation;
    const char* library; // folder under golden/, or nullptr for the shipped one
    int exitCode;
};

const GoldenCase kCases[] = {
    {"gen1_structure", 1, "lib", 0},
    {"gen1_open_sequence", 1, "lib", 1},
    {"gen1_errors", 1, "lib", 1},
    {"gen1_label_too_long", 1, "lib", 1},
    {"gen1_missing_library", 1, "lib_without_data", 1},
    {"gen1_shipped_library", 1, nullptr, 0},
    {"gen2_jumps", 2, nullptr, 0},
    {"gen2_errors", 2, nullptr, 1},
    {"gen2_too_many_symbols", 2, nullptr, 1},
};

int RunCompiler(const std::string& arguments) {
    const int status = std::system(("\"" + kCompiler + "\" " + arguments + " 2>/dev/null").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class Golden : public CompilerTest, public ::testing::WithParamInterface<GoldenCase> {};

TEST_P(Golden, ListingAndCompiledProgramMatch) {
    const GoldenCase& golden = GetParam();
    const std::string name = golden.name;
    const auto source = Path(name + ".MB");
    std::filesystem::copy_file(kGoldenFolder / (name + ".MB"), source);

    std::string arguments = "--gen " + std::to_string(golden.generation);
    if (golden.library != nullptr)
        arguments += " --lib \"" + (kGoldenFolder / golden.library).string() + "\"";
    EXPECT_EQ(RunCompiler(arguments + " \"" + source.string() + "\""), golden.exitCode);

    ExpectGoldenOutputs(kGoldenFolder, name);
}

INSTANTIATE_TEST_SUITE_P(Programs, Golden, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(GoldenDriver, WrongCommandLines) {
    EXPECT_EQ(RunCompiler(""), 2);
    EXPECT_EQ(RunCompiler("--gen 3 X.MB"), 2);
    EXPECT_EQ(RunCompiler("--gen 2"), 2);
    EXPECT_EQ(RunCompiler("--gen 2 A.MB B.MB"), 2);
}

} // namespace
} // namespace kaso::compiler::test
