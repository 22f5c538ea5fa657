// Shared equipment of the compiler tests.
#include "CompilerTestSupport.h"

#include <fstream>
#include <iconv.h>
#include <iterator>
#include <stdexcept>
#include <stdlib.h>

namespace kaso::compiler::test {

std::string Cp932(std::string_view utf8) {
    iconv_t cd = iconv_open("CP932", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("no CP932 codec");
    std::string in(utf8);
    std::string out(in.size() * 2 + 16, '\0');
    char* inPtr = in.data();
    char* outPtr = out.data();
    std::size_t inLeft = in.size();
    std::size_t outLeft = out.size();
    const std::size_t done = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (done == static_cast<std::size_t>(-1))
        throw std::runtime_error("text not convertible to CP932");
    out.resize(out.size() - outLeft);
    return out;
}

std::string ErrorLine(int lineNumber, std::string_view utf8Text, bool english) {
    std::string number = std::to_string(lineNumber);
    if (number.size() < 3) number.insert(0, 3 - number.size(), ' ');
    const char* head = english ? "[Error]" : "[エラー]";
    return Cp932(std::string(head) + " LineNo " + number + " " + std::string(utf8Text) + "\n");
}

std::string CrLf(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::filesystem::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void WriteLibraryFolder(const std::filesystem::path& folder,
                        const std::map<std::string, std::string>& namesByFile) {
    std::map<std::string, std::string> files = {
        {"MODE.LIB", "JOG,POS"},   {"DATA.LIB", "SPD"},
        {"STATAS.LIB", "RDY,INP"}, {"COMMAND.LIB", "SVON,STOP,!!!"},
        {"COMMANDB.LIB", "OUT0"},  {"MAILBOXC.LIB", "GOTO,CALL,EVSL,EVWK,SQSL,SQWK,MBON,MBOF,MBCL"},
    };
    for (const auto& [file, names] : namesByFile)
        files[file] = names;
    std::filesystem::create_directories(folder);
    for (const auto& [file, names] : files)
        WriteBytes(folder / file, "Names\"\r\n" + names + "\r\n");
}

void CompilerTest::SetUp() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "kaso-compiler-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    WriteLibraryFolder(Library());
}

void CompilerTest::TearDown() {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
}

std::filesystem::path CompilerTest::WriteSource(std::string_view name, std::string_view text) {
    const std::filesystem::path path = Path(name);
    WriteBytes(path, text);
    return path;
}

int CompilerTest::Inspection::Code(int line, int slot) const {
    return ctx->errors.rows.at(static_cast<std::size_t>(line - 1))
        .at(static_cast<std::size_t>(slot));
}

std::vector<std::string> CompilerTest::Inspection::Rows() const {
    std::vector<std::string> rows;
    for (const Row& row : ctx->rows)
        rows.push_back(row.text);
    return rows;
}

CompilerTest::Inspection CompilerTest::Inspect(Generation generation, std::string_view source,
                                               StatementCheck check) {
    Inspection inspection;
    const std::filesystem::path path = WriteSource("INSPECT.tmp", source);
    inspection.result.compiledProgram.path = Path("INSPECT.mbx");
    InitCompilerContext(*inspection.ctx, generation);
    if (generation == Generation::Second) inspection.ctx->checkStatement2 = std::move(check);
    inspection.resultCode =
        generation == Generation::First
            ? RunCompilePasses(*inspection.ctx, path, Library(), inspection.result)
            : RunCompilePasses2(*inspection.ctx, path, inspection.result);
    return inspection;
}

void CompilerTest::ExpectGoldenOutputs(const std::filesystem::path& goldenFolder,
                                       const std::string& name) const {
    EXPECT_EQ(ReadBytes(Path(name + ".lst")), ReadBytes(goldenFolder / (name + ".lst")));
    const auto expectedProgram = goldenFolder / (name + ".mbx");
    if (std::filesystem::exists(expectedProgram))
        EXPECT_EQ(ReadBytes(Path(name + ".mbx")), ReadBytes(expectedProgram));
    else
        EXPECT_FALSE(std::filesystem::exists(Path(name + ".mbx")));
}

} // namespace kaso::compiler::test
