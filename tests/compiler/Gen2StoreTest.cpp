// What lasts from line to line in one compile of the second-generation parser: the long-value
// store, the local name tables and the ',' repeats of the previous statement.
#include "Gen2ParserTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace kaso::compiler::gen2test {
namespace {

TEST(Gen2Store, LongValueStoreHolds799ValuesOnEveryCompile) {
    ProgramLineParser parser;
    for (int compile = 0; compile < 2; ++compile) {
        parser.ResetLineParser();
        for (int i = 0; i < 799; ++i)
            ASSERT_EQ(CodeOf(parser, "()#5=100000"), 0) << "compile " << compile << " value " << i;
        EXPECT_EQ(parser.StoredLongValues(), 799);
        EXPECT_EQ(CodeOf(parser, "()#5=100000"), 48); // the 800th
        EXPECT_EQ(CodeOf(parser, "()#5=1"), 0);       // short values need no place
    }
}

TEST(Gen2Store, OnlyGoodConditionalLinesKeepTheirLongValues) {
    const struct {
        std::string_view line;
        int code;
        int kept;
    } cases[] = {
        {"#5=100000", 0, 0}, // no condition: nothing kept
        {"()#5=100000", 0, 1},
        {"()#5=100000=", 48, 0},       // a failed line keeps nothing
        {"()#$0010C000=100000", 0, 2}, // an eight-digit address is a long value too
        {"SQ", 0, 0},
    };
    ProgramLineParser parser;
    for (const auto& c : cases) {
        const int before = parser.StoredLongValues();
        EXPECT_EQ(CodeOf(parser, c.line), c.code) << c.line;
        EXPECT_EQ(parser.StoredLongValues() - before, c.kept) << c.line;
    }
}

std::string NameOf(int i) {
    return std::string{static_cast<char>('A' + i), 'Q'};
}

TEST(Gen2Store, LocalNameTablesHoldSixteenNamesEach) {
    for (std::string prefix : {"DEF%", "DEF%%"}) {
        ProgramLineParser parser;
        for (int i = 0; i < 16; ++i)
            EXPECT_EQ(CodeOf(parser, prefix + NameOf(i)), 0) << prefix << i;
        EXPECT_EQ(CodeOf(parser, prefix + NameOf(16)), 48) << prefix; // the 17th name
    }
}

TEST(Gen2Store, LocalNamesAreDefinedReferencedAndRemoved) {
    const std::vector<std::string_view> program = {
        "DEF%ABC",   "DEF%ABC", // a name twice in the first table
        "DEF%%XY",   "DEF%%XY", // the second table takes it
        "()%ABC=5",  "()#5=%%XY", "()%XYZ=5",  "()%15=5", "()%16=5",
        "DEF%DEF=5",             // no '=' after a definition in the same line
        "UNDEF%ABC", "()%ABC=5", // removed
        "()#5=%",                // a bare '%' outside UNDEF: not a word of the dictionary
        "DEF%ABC",   "UNDEF%%",   "()#5=%%XY",
    };
    const std::vector<int> expected = {0, 48, 0, 0, 0, 0, 48, 0, 48, 48, 0, 48, 47, 0, 0, 48};
    ProgramLineParser parser;
    EXPECT_EQ(CodesOfCompile(parser, program), expected);
}

TEST(Gen2Store, CommaRepeatsAndQuestionNeedADataStatementBefore) {
    const LineCase cases[] = {
        {",?", 48}, // nothing to repeat yet
        {"?", 48},  {"#$0010C000=5", 0}, {",6", 0},  {",?", 0}, {"?", 0},     {"=7", 0},
        {"==", 0},  {"SVON", 0},         {",?", 48}, {"?", 48}, {"#STAT", 0}, {"?", 0},
    };
    ProgramLineParser parser;
    for (const LineCase& c : cases)
        EXPECT_EQ(CodeOf(parser, c.line), c.code) << c.line;
}

// The repeats of the data table (383) and point table (126) are counted over the compile.
TEST(Gen2Store, TableRepeatsAreLimitedPerCompile) {
    for (const auto& [start, limit] : {std::pair{"#DT[0]=1", 383}, std::pair{"#PT[0]=1", 126}}) {
        ProgramLineParser parser;
        for (int compile = 0; compile < 2; ++compile) {
            parser.ResetLineParser();
            ASSERT_EQ(CodeOf(parser, start), 0);
            for (int i = 0; i < limit; ++i)
                ASSERT_EQ(CodeOf(parser, ",5"), 0) << start << " repeat " << i + 1;
            EXPECT_EQ(CodeOf(parser, ",5"), 48) << start;
        }
    }
}

TEST(Gen2Store, DataTableIndexIsCheckedAgainstItsSize) {
    const LineCase cases[] = {
        {"#DT[0]=1", 0},   {"#DT[383]=1", 0}, {"#DT[384]=1", 48},
        {"#DT[-1]=1", 48}, {"#DT[5=1", 48}, // the index must be closed at once
        {"#5[1]=1", 48},                    // only a table word takes an index
    };
    ProgramLineParser parser;
    for (const LineCase& c : cases)
        EXPECT_EQ(CodeOf(parser, c.line), c.code) << c.line;
}

} // namespace
} // namespace kaso::compiler::gen2test
