// Golden programs of first-generation statements run through kaso-compile: a program of correct
// statements of every word count with the .mbx and .lst it must give, and one that mixes
// correct and faulty statements with its listing (golden/README.md says how each was worked
// out).
#include "CompilerTestSupport.h"

#include <sys/wait.h>

namespace kaso::compiler::test {
namespace {

const std::filesystem::path kGoldenFolder = KASO_GOLDEN_DIR;
const std::string kCompiler = KASO_COMPILE_EXE;

struct StatementProgram {
    const char* name;
    int exitCode;
};

class Gen1Golden : public CompilerTest, public ::testing::WithParamInterface<StatementProgram> {};

TEST_P(Gen1Golden, ListingAndCompiledProgramMatch) {
    const std::string name = GetParam().name;
    const auto source = Path(name + ".MB");
    std::filesystem::copy_file(kGoldenFolder / (name + ".MB"), source);
    const std::string command = "\"" + kCompiler + "\" --gen 1 --lib \"" +
                                (kGoldenFolder / "lib_statements").string() + "\" \"" +
                                source.string() + "\" 2>/dev/null";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), GetParam().exitCode);

    ExpectGoldenOutputs(kGoldenFolder, name);
}

INSTANTIATE_TEST_SUITE_P(Programs, Gen1Golden,
                         ::testing::Values(StatementProgram{"gen1_statements_ok", 0},
                                           StatementProgram{"gen1_statements", 1}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace kaso::compiler::test
