// The keyword library files of the first generation: their text format, limits and failures.
#include "CompilerTestSupport.h"

namespace kaso::compiler::test {
namespace {

using Names = std::vector<std::string>;

TEST(LibraryText, HeadingFilterAndSplitting) {
    EXPECT_EQ(SplitLibraryText("Modes: \"jog, p os,,\r\n+A-/_, #B$", false),
              (Names{"JOG", "POS", "+A-/_", "B"}));
    EXPECT_EQ(SplitLibraryText("\"!!!,SV!ON", true), (Names{"!!!", "SV!ON"}));
    EXPECT_EQ(SplitLibraryText("\"!!!,SV!ON", false), (Names{"SVON"}));
    EXPECT_EQ(SplitLibraryText("\"A\"B,C", false), (Names{"AB", "C"})) << "later quotes removed";
    EXPECT_TRUE(SplitLibraryText("heading only\"\r\n", false).empty());
}

TEST(LibraryText, WithoutHeadingNamesAreSplitAtCommasBlanksAndLineEnds) {
    EXPECT_EQ(SplitLibraryText("jog,pos\r\nhom stp\n\tinc", false),
              (Names{"JOG", "POS", "HOM", "STP", "INC"}));
}

class KeywordLibrary : public CompilerTest {
protected:
    static std::string NumberedNames(int count) {
        std::string names;
        for (int i = 0; i < count; ++i)
            names += "M" + std::to_string(i) + ",";
        return names;
    }
};

TEST_F(KeywordLibrary, LoadsEveryTableInOrder) {
    CompilerContext ctx;
    InitCompilerContext(ctx, Generation::First);
    ASSERT_EQ(LoadKeywordLibraries(ctx, Library()), LibraryLoad::Loaded);
    EXPECT_TRUE(ctx.keywords.mode.Contains("JOG"));
    EXPECT_TRUE(ctx.keywords.data.Contains("SPD"));
    EXPECT_TRUE(ctx.keywords.status.Contains("INP"));
    EXPECT_TRUE(ctx.keywords.command.Contains("!!!"));
    EXPECT_TRUE(ctx.keywords.commandBit.Contains("OUT0"));
    EXPECT_TRUE(ctx.keywords.mailbox.Contains("SQWK"));
    EXPECT_FALSE(ctx.keywords.mode.Contains("SPD"));
    EXPECT_TRUE(ctx.keywords.digits.Contains("7"));
    EXPECT_TRUE(ctx.keywords.orWords.Contains("OR"));
}

TEST_F(KeywordLibrary, TableLimitsAndTheirCodes) {
    const struct {
        const char* file;
        int names;
        int code;
    } limits[] = {{"MODE.LIB", 79, 35},    {"DATA.LIB", 29, 36},     {"STATAS.LIB", 79, 37},
                  {"COMMAND.LIB", 59, 38}, {"COMMANDB.LIB", 59, 39}, {"MAILBOXC.LIB", 59, 40}};
    for (const auto& limit : limits) {
        SCOPED_TRACE(limit.file);
        WriteLibraryFolder(Library(), {{limit.file, NumberedNames(limit.names)}});
        CompilerContext full;
        InitCompilerContext(full, Generation::First);
        EXPECT_EQ(LoadKeywordLibraries(full, Library()), LibraryLoad::Loaded);

        WriteLibraryFolder(Library(), {{limit.file, NumberedNames(limit.names + 1)}});
        CompilerContext over;
        InitCompilerContext(over, Generation::First);
        EXPECT_EQ(LoadKeywordLibraries(over, Library()), LibraryLoad::Overflow);
        EXPECT_EQ(over.errors.rows[0][0], limit.code);
        EXPECT_TRUE(AnyLineMarked(over));
        WriteLibraryFolder(Library(), {{limit.file, "X"}});
    }
}

TEST_F(KeywordLibrary, MissingFileAndFolderSpelling) {
    std::filesystem::remove(Library() / "DATA.LIB");
    CompilerContext ctx;
    InitCompilerContext(ctx, Generation::First);
    EXPECT_EQ(LoadKeywordLibraries(ctx, Library()), LibraryLoad::FileMissing);
    EXPECT_TRUE(ctx.keywords.mode.Contains("JOG")) << "files before the missing one loaded";
    EXPECT_TRUE(ctx.keywords.status.names.empty()) << "no file after it loaded";

    WriteLibraryFolder(Library());
    CompilerContext slash;
    InitCompilerContext(slash, Generation::First);
    EXPECT_EQ(LoadKeywordLibraries(slash, Library().string() + "/"), LibraryLoad::Loaded);
}

TEST_F(KeywordLibrary, LongFilesAndNamesAreReadWhole) {
    const std::string longName(600, 'Q');
    std::string names = std::string(2000, ' ') + "JOG," + longName + ",POS";
    WriteLibraryFolder(Library(), {{"MODE.LIB", names}});
    CompilerContext ctx;
    InitCompilerContext(ctx, Generation::First);
    ASSERT_EQ(LoadKeywordLibraries(ctx, Library()), LibraryLoad::Loaded);
    EXPECT_EQ(ctx.keywords.mode.names, (Names{"JOG", longName, "POS"}));
}

} // namespace
} // namespace kaso::compiler::test
