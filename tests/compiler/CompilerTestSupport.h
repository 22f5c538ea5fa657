// Shared equipment of the compiler tests: a temporary folder per test, files in and out, small
// keyword library folders, and CP932 bytes of texts written here in UTF-8.
#pragma once

#include "Compiler.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace kaso::compiler::test {

// The listing texts converted from UTF-8 by the system's CP932 codec, independently of the
// compiler's own byte tables.
std::string Cp932(std::string_view utf8);

// "[エラー] LineNo %3d <text>\n" style message lines of the listing, in CP932.
std::string ErrorLine(int lineNumber, std::string_view utf8Text, bool english = false);

// Text with every '\n' written as CR LF, as the output files hold it.
std::string CrLf(std::string_view text);

std::string ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, std::string_view bytes);

// A keyword library folder: the six files, each "heading\"" followed by its names.
void WriteLibraryFolder(const std::filesystem::path& folder,
                        const std::map<std::string, std::string>& namesByFile = {});

class CompilerTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::filesystem::path Path(std::string_view name) const { return dir_ / name; }
    std::filesystem::path WriteSource(std::string_view name, std::string_view text);
    std::filesystem::path Library() const { return dir_ / "Lib"; }
    // The .lst the compile of `name` wrote equals the one in `goldenFolder`; so does the .mbx, or
    // none was written when the golden folder has none.
    void ExpectGoldenOutputs(const std::filesystem::path& goldenFolder,
                             const std::string& name) const;

    // Both passes of one generation over a source text, for looking at the context afterwards.
    // The second generation's statements go to `check`, which by default accepts them all, so
    // these tests are about the front end alone.
    using StatementCheck = std::function<LineParseResult(std::string_view)>;
    struct Inspection {
        std::unique_ptr<CompilerContext> ctx = std::make_unique<CompilerContext>();
        CompileResult result;
        int resultCode = 0;
        int Code(int line, int slot = 0) const; // line counted from 1
        std::vector<std::string> Rows() const;
    };
    Inspection Inspect(
        Generation generation, std::string_view source,
        StatementCheck check = [](std::string_view) { return LineParseResult{}; });

private:
    std::filesystem::path dir_;
};

} // namespace kaso::compiler::test
