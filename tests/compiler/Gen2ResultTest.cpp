// The three results of the second-generation parser and the listing codes they map to, the
// statement forms at the edges of the automaton, and input it must survive.
#include "Gen2ParserTestSupport.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace kaso::compiler::gen2test {
namespace {

TEST(Gen2Result, MapsToListingCodes) {
    const struct {
        LineParseResult result;
        int code;
    } cases[] = {
        {{false, false, 27}, 0}, {{false, false, 4}, 0}, {{true, true, 15}, 47},
        {{true, true, 4}, 47},   {{true, false, 4}, 49}, {{true, false, 17}, 48},
        {{true, false, 0}, 48},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ListingCodeForParse(c.result), c.code)
            << c.result.errorFlag << c.result.notInDictionary << c.result.statementMode;
}

TEST(Gen2Result, EachLineStartsWithClearedResults) {
    ProgramLineParser parser;
    const LineParseResult unknown = parser.ParseStatementLine("(FOO)SVON\r");
    EXPECT_TRUE(unknown.errorFlag);
    EXPECT_TRUE(unknown.notInDictionary);
    const LineParseResult good = parser.ParseStatementLine("(IN1)SVON\r");
    EXPECT_FALSE(good.errorFlag);
    EXPECT_FALSE(good.notInDictionary);
    EXPECT_EQ(good.statementMode, 27);
    const LineParseResult empty = parser.ParseStatementLine("\r");
    EXPECT_FALSE(empty.errorFlag);
    EXPECT_EQ(empty.statementMode, 27);
}

TEST(Gen2Result, StatementForms) {
    const LineCase cases[] = {
        {"SVON\rGARBAGE", 0}, // only the text up to CR is read
        {"(", 48},            // an open parenthesis at the end
        {"(IN1", 48},
        {"(#5=3", 48},
        {"()", 0},
        {"!!!", 0},
        {"!!!SVON", 48}, // nothing follows a complete statement
        {"(IN1)!!!", 48},
        {"(!IN1)SVON", 0},
        {".", 0},
        {"(#5<>3)SVOF", 0},
        {"(#5=<3)SVOF", 48},
        {"#5++", 0},
        {"#5+++", 48},
        {"#5*=3", 0},
        {"#5=#6-3", 0},
        {"#5=", 48},
        {"#5=#6+", 0}, // a trailing sign
        {"#5=#6*", 48},
        {"GOTO5;", 0},
        {"#5=3;", 48},
        {"WAIT,100", 0},
        {"SVON,100", 48},
        {"MOVE+1000", 0},
        {"JOG=500-", 0},
        {"HOME-", 0},
        {"OUT1+", 0},
        {"OUT1*", 48},
        {"MSG=\"HI", 0},
        {"MSG=\"HELLO", 48}, // at most four characters of text
        {"TITLE=\"ABC", 0},
        {"@NAME", 0},
        {"@NAME@", 0},
        {"N=RST", 0},
        {"$96=5", 0},
        {"#5='A'", 0},
        {"#5='AB'", 48},
        {"#5='A'5", 48},
        {"()5", 48},
        {"5", 0},
        {"SVON+", 48},
    };
    ProgramLineParser parser;
    for (const LineCase& c : cases)
        EXPECT_EQ(CodeOf(parser, c.line), c.code) << c.line;
}

TEST(Gen2Result, ForeignBytesAreWordsNotInTheDictionary) {
    const LineCase cases[] = {
        {"(IN\xC8)SVON", 47},
        {"\xFF", 47},
        {"(IN1)SV\x01ON", 48},
        {"(IN1)\x7FSVON", 0},
        {"SVON\x7F", 48}, // a separator drops the word before it
        {std::string_view{"SV\0ON", 5}, 48},
    };
    ProgramLineParser parser;
    for (const LineCase& c : cases)
        EXPECT_EQ(CodeOf(parser, c.line), c.code) << c.line;
}

// Lines of any bytes and any length leave the parser in a sound state.
TEST(Gen2Result, SurvivesArbitraryLines) {
    constexpr std::string_view alphabet =
        "()[]#$%&!*+-/=<>?@,.;:_'\"\\^|~{}`0123456789ABCDEFGHLOQX";
    std::mt19937 random{2024};
    ProgramLineParser parser;
    for (int i = 0; i < 20000; ++i) {
        std::string line(random() % 48, ' ');
        for (char& c : line)
            c = random() % 50 == 0 ? static_cast<char>(random() % 256)
                                   : alphabet[random() % alphabet.size()];
        const LineParseResult result = parser.ParseStatementLine(line);
        ASSERT_GE(result.statementMode, 0) << line;
        ASSERT_LE(result.statementMode, 28) << line;
        ASSERT_TRUE(result.errorFlag || !result.notInDictionary) << line;
        ASSERT_GE(parser.StoredLongValues(), 0);
        ASSERT_LE(parser.StoredLongValues(), 799);
        if (i % 1000 == 0) parser.ResetLineParser();
    }
    parser.ResetLineParser();
    EXPECT_EQ(CodeOf(parser, "(IN1)GOTO5"), 0);
}

} // namespace
} // namespace kaso::compiler::gen2test
