// Arbitrary and oversized inputs to both compilers: random programs, very long lines, words,
// labels, symbol values and library files. Nothing may crash, and the result code, the listing
// and the compiled program must agree.
#include "CompilerTestSupport.h"

#include <random>

namespace kaso::compiler::test {
namespace {

class Robustness : public CompilerTest {
protected:
    void CompileBoth(std::string_view source) {
        const auto path = WriteSource("FUZZ.tmp", source);
        Expect(CompileProgramGen1(path, Library()));
        Expect(CompileProgramGen2(path));
    }

    void Expect(const CompileResult& result) {
        const int code = result.resultCode;
        ASSERT_TRUE(code >= -1 && code <= 3) << code;
        ASSERT_TRUE(result.listing.written) << result.listing.error;
        const std::string listing = ReadBytes(result.listing.path);
        EXPECT_FALSE(listing.empty()) << "every result has its listing text";
        const bool compiled = code == kResultCompiled || code == kResultSequenceNotClosed;
        EXPECT_EQ(result.compiledProgram.written, compiled);
        EXPECT_EQ(std::filesystem::exists(result.compiledProgram.path), compiled);
        std::filesystem::remove(result.compiledProgram.path);
    }

    std::mt19937 random_{20240611};
};

std::string RandomProgram(std::mt19937& random, std::size_t length) {
    static constexpr std::string_view kPieces[] = {
        "EV\n", "/EV\n", "SQ\n",        "/SQ\n", "DEFSMB ", "DEF ",     "GOTO ", "SQWK ", "MBON\n",
        "(",    ")",     "[",           "]",     "|",       ":",        "\"",    "'",     "+",
        "-",    "*",     "/",           "//",    "=",       "#",        "$",     "&",     "!",
        "%",    "_",     " ",           "\t",    "\n",      "\r\n",     "A",     "L1",    "X",
        "0",    "7",     "99999999999", "JOG",   "\xFF",    "\x83\x41", "\x00"};
    std::uniform_int_distribution<std::size_t> piece(0, std::size(kPieces) - 1);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string text;
    while (text.size() < length) {
        if (byte(random) < 16)
            text.push_back(static_cast<char>(byte(random)));
        else
            text += kPieces[piece(random)];
    }
    return text;
}

TEST_F(Robustness, RandomPrograms) {
    std::uniform_int_distribution<std::size_t> length(0, 600);
    for (int i = 0; i < 60; ++i)
        CompileBoth(RandomProgram(random_, length(random_)));
}

TEST_F(Robustness, OversizedLinesWordsLabelsAndSymbols) {
    const std::string longWord(5000, 'W');
    std::string manyWords;
    for (int i = 0; i < 3000; ++i)
        manyWords += "W" + std::to_string(i) + " ";
    std::string symbols;
    for (int i = 0; i < 25; ++i)
        symbols += "DEFSMB S" + std::to_string(i) + " 1234567890\n";
    std::string symbolUses = "(";
    for (int i = 0; i < 25; ++i)
        symbolUses += "S" + std::to_string(i) + "=S" + std::to_string(i) + " ";
    CompileBoth("EV\n(" + longWord + ")" + longWord + "\n/EV\n");
    CompileBoth("EV\n()" + manyWords + "\n" + manyWords + "\n/EV\n");
    CompileBoth(std::string(3000, 'L') + "|()A\n" + std::string(100000, '(') + "\n");
    CompileBoth("\"" + std::string(100000, 'Q') + "|" + std::string(100, 'R') + "\n");
    CompileBoth(symbols + "EV\n" + symbolUses + ")GOTO S1+S2\n/EV\n");
    CompileBoth("DEFSMB " + longWord + " " + longWord + "\nEV\n()GOTO " + longWord + "//0\n");
    CompileBoth(std::string(7000, '\n'));
    CompileBoth(RandomProgram(random_, 200000));
}

TEST_F(Robustness, OversizedAndStrangeLibraryFiles) {
    const std::string program = "EV\n()JOG\n/EV\n";
    std::string longFile(300000, 'x');
    longFile += "\"" + std::string(200000, ',') + std::string(50000, 'Y') + ",JOG";
    WriteLibraryFolder(Library(), {{"MODE.LIB", longFile}});
    CompileBoth(program);
    WriteBytes(Library() / "DATA.LIB", RandomProgram(random_, 20000));
    CompileBoth(program);
    WriteBytes(Library() / "STATAS.LIB", "");
    CompileBoth(program);
    std::filesystem::remove(Library() / "COMMAND.LIB");
    std::filesystem::create_directory(Library() / "COMMAND.LIB");
    CompileBoth(program);
}

} // namespace
} // namespace kaso::compiler::test
