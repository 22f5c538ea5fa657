// The entry points end to end: line limits, missing and overflowing files, output names, output
// files that cannot be written, and repeatable results.
#include "CompilerTestSupport.h"

namespace kaso::compiler::test {
namespace {

class EntryPoint : public CompilerTest {
protected:
    std::string Lines(int count, std::string_view line) {
        std::string text;
        for (int i = 0; i < count; ++i)
            text += std::string(line) + "\n";
        return text;
    }
};

TEST_F(EntryPoint, FirstGenerationLineLimit) {
    // "EV", 1998 steps, "/EV": exactly 2000 lines.
    const auto source = WriteSource("LIMIT.tmp", "EV\n" + Lines(1998, "()JOG") + "/EV\n");
    const CompileResult result = CompileProgramGen1(source, Library());
    EXPECT_EQ(result.resultCode, kResultCompiled);
    EXPECT_EQ(result.evline, 1998);
    EXPECT_EQ(ReadBytes(Path("LIMIT.lst")),
              CrLf(Cp932("コンパイル終了\nEvline : 1998  Sqline :   0\n")));
    EXPECT_EQ(ReadBytes(Path("LIMIT.mbx")), CrLf("EV\n" + Lines(1998, "()JOG") + "/EV\n"));

    const auto over = WriteSource("OVER.tmp", "EV\n" + Lines(1998, "()JOG") + "/EV\nX");
    EXPECT_EQ(CompileProgramGen1(over, Library()).resultCode, kResultTooManyLines);
    EXPECT_EQ(ReadBytes(Path("OVER.lst")),
              Cp932("[致命的エラー] ﾌﾟﾛｸﾞﾗﾑが大きすぎます( 2000 Line 以上)"));
    EXPECT_FALSE(std::filesystem::exists(Path("OVER.mbx")));
}

TEST_F(EntryPoint, SecondGenerationLineLimit) {
    // Quoted lines pass unchecked and take no step.
    const auto source = WriteSource("LIMIT.tmp", Lines(6000, "\"A"));
    EXPECT_EQ(CompileProgramGen2(source).resultCode, kResultCompiled);
    EXPECT_EQ(ReadBytes(Path("LIMIT.lst")),
              CrLf(Cp932("コンパイル終了\nEvline :   0  Sqline :   0\n")));
    EXPECT_EQ(ReadBytes(Path("LIMIT.mbx")), CrLf(Lines(6000, "A")));

    const auto over = WriteSource("OVER.tmp", Lines(6001, "\"A"));
    EXPECT_EQ(CompileProgramGen2(over).resultCode, kResultTooManyLines);
    EXPECT_EQ(ReadBytes(Path("OVER.lst")),
              Cp932("[致命的エラー] ﾌﾟﾛｸﾞﾗﾑが大きすぎます( 6000 Line 以上)"));
}

TEST_F(EntryPoint, MissingSourceOrLibraryAndLibraryOverflow) {
    const std::string notFound = CrLf(Cp932("[致命的エラー]指定のファイルが見つかりません\n"));
    const CompileResult missing = CompileProgramGen2(Path("NONE.tmp"));
    EXPECT_EQ(missing.resultCode, kResultFileNotOpened);
    EXPECT_TRUE(missing.listing.written);
    EXPECT_EQ(ReadBytes(Path("NONE.lst")), notFound);

    const auto source = WriteSource("PROG.tmp", "EV\n()JOG\n/EV\n");
    std::filesystem::remove(Library() / "DATA.LIB");
    EXPECT_EQ(CompileProgramGen1(source, Library()).resultCode, kResultFileNotOpened);
    EXPECT_EQ(ReadBytes(Path("PROG.lst")), notFound);
    EXPECT_FALSE(std::filesystem::exists(Path("PROG.mbx")));

    std::string modes;
    for (int i = 0; i < 80; ++i)
        modes += "M" + std::to_string(i) + ",";
    WriteLibraryFolder(Library(), {{"MODE.LIB", modes}});
    EXPECT_EQ(CompileProgramGen1(source, Library()).resultCode, kResultErrors);
    EXPECT_EQ(ReadBytes(Path("PROG.lst")),
              CrLf(ErrorLine(1, "登録されているモード数が80以上あります")));
}

TEST_F(EntryPoint, OutputNamesComeFromTheSourceFileName) {
    std::filesystem::create_directories(Path("my.folder"));
    const auto dotted = WriteSource("my.folder/PROG.v1.tmp", "\"A\n");
    const CompileResult result = CompileProgramGen2(dotted);
    EXPECT_EQ(result.listing.path, Path("my.folder/PROG.v1.lst"));
    EXPECT_EQ(result.compiledProgram.path, Path("my.folder/PROG.v1.mbx"));
    EXPECT_TRUE(std::filesystem::exists(Path("my.folder/PROG.v1.mbx")));

    const auto plain = WriteSource("my.folder/PROG", "\"A\n");
    EXPECT_EQ(CompileProgramGen2(plain).listing.path, Path("my.folder/PROG.lst"));
}

TEST_F(EntryPoint, UnwritableCompiledFileIsReportedNotClaimed) {
    const auto source = WriteSource("PROG.tmp", "\"A\n");
    std::filesystem::create_directories(Path("PROG.mbx"));
    const CompileResult result = CompileProgramGen2(source);
    EXPECT_EQ(result.resultCode, kResultFileNotOpened);
    EXPECT_FALSE(result.compiledProgram.written);
    EXPECT_FALSE(result.compiledProgram.error.empty());
    EXPECT_EQ(ReadBytes(Path("PROG.lst")),
              CrLf(Cp932("[致命的エラー]MBXファイルが作成できません\n")));
    for (const auto& entry : std::filesystem::directory_iterator(Path("")))
        EXPECT_FALSE(entry.path().filename().string().starts_with("PROG.mbx."))
            << "temporary file left: " << entry.path();
}

TEST_F(EntryPoint, UnwritableListingIsReported) {
    const auto source = WriteSource("PROG.tmp", "\"A\n");
    std::filesystem::create_directories(Path("PROG.lst"));
    const CompileResult result = CompileProgramGen2(source);
    EXPECT_FALSE(result.listing.written);
    EXPECT_FALSE(result.listing.error.empty());
}

TEST_F(EntryPoint, FailedCompileKeepsTheOlderCompiledFile) {
    const auto source = WriteSource("PROG.tmp", "EV\n()JOG\n/EV\n");
    ASSERT_EQ(CompileProgramGen1(source, Library()).resultCode, kResultCompiled);
    const std::string older = ReadBytes(Path("PROG.mbx"));
    WriteSource("PROG.tmp", "EV\nJOG POS\n/EV\n");
    const CompileResult failed = CompileProgramGen1(source, Library());
    EXPECT_EQ(failed.resultCode, kResultErrors);
    EXPECT_FALSE(failed.compiledProgram.written);
    EXPECT_EQ(ReadBytes(Path("PROG.mbx")), older);
    EXPECT_EQ(ReadBytes(Path("PROG.lst")), CrLf(ErrorLine(2, "条件文中の構文が違います")));
}

TEST_F(EntryPoint, CompilingTwiceGivesTheSameFiles) {
    const std::string program = "DEFSMB V 7\nEV\nT|()JOG\n(#RDY=V)POS\n/EV\nSQ\nA:\n[]JOG\n/SQ\n";
    for (Generation generation : {Generation::First, Generation::Second}) {
        SCOPED_TRACE(generation == Generation::First ? "first" : "second");
        const auto source = WriteSource("TWICE.tmp", program);
        const auto compile = [&] {
            if (generation == Generation::First)
                CompileProgramGen1(source, Library());
            else
                CompileProgramGen2(source);
            return std::pair{ReadBytes(Path("TWICE.mbx")), ReadBytes(Path("TWICE.lst"))};
        };
        std::filesystem::remove(Path("TWICE.mbx"));
        const auto once = compile();
        EXPECT_FALSE(once.second.empty());
        if (generation == Generation::First) {
            EXPECT_FALSE(once.first.empty());
        }
        EXPECT_EQ(compile(), once);
    }
}

} // namespace
} // namespace kaso::compiler::test
