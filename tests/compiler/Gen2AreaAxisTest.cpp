// Program areas and axis prefixes of the second-generation parser, and what a new compile resets.
#include "Gen2ParserTestSupport.h"

#include <gtest/gtest.h>

namespace kaso::compiler::gen2test {
namespace {

TEST(Gen2Area, PrefixesMustMatchTheProgramArea) {
    struct Case {
        std::string_view line;
        int code;
        int areaAfter;
    };
    const Case program[] = {
        {"+(IN1)SVON", 49, 1}, // '+' steps belong to the sequence area
        {"_(IN1)SVON", 0, 1},  {"_[IN1]SVON", 0, 1},  {"+[IN1]SVON", 49, 1},
        {"SQ", 0, 4},          {"_(IN1)SVON", 49, 4}, // '_' steps belong to the event area
        {"+(IN1)SVON", 0, 4},  {"+[IN1]SVON", 49, 4}, // '[' never follows '+'
        {"_[IN1]SVON", 48, 4}, {"[IN1]SVON", 0, 4},   {"/SQ", 0, 1},
        {"_(IN1)SVON", 0, 1},  {"_", 48, 1},          {"_+(IN1)SVON", 48, 1},
    };
    ProgramLineParser parser;
    for (const Case& c : program) {
        const LineParseResult result = parser.ParseStatementLine(c.line);
        EXPECT_EQ(ListingCodeForParse(result), c.code) << c.line;
        if (c.code == 49) {
            EXPECT_EQ(result.statementMode, 4) << c.line;
        }
        EXPECT_EQ(parser.ProgramArea(), c.areaAfter) << c.line;
    }
}

TEST(Gen2Area, EachCompileStartsInTheEventArea) {
    ProgramLineParser parser;
    EXPECT_EQ(CodesOfCompile(parser, {"SQ", "+(IN1)SVON"}), (std::vector<int>{0, 0}));
    EXPECT_EQ(CodesOfCompile(parser, {"+(IN1)SVON"}), (std::vector<int>{49}));
}

TEST(Gen2Axis, LinesForAnotherAxisAreNotChecked) {
    const std::vector<std::string_view> program = {
        "X:SVON",    "*:SVON",    "Y:(FOO)SVON", // another axis: the rest is not checked
        "(FOO)SVON", "X:",        "(FOO)SVON",   // addressed here again
        ":X:SVON",   ":Y:(FOO)",  "(FOO)SVON",   "*:(FOO)SVON",
        "/X:(FOO)",  "(FOO)SVON", "*:", // every axis but X
        "/Y:(FOO)",  "(FOO)SVON",       // every axis but Y: this one too
    };
    const std::vector<int> expected = {0, 0, 0, 0, 0, 47, 0, 0, 0, 47, 0, 0, 0, 47, 47};
    ProgramLineParser parser;
    EXPECT_EQ(CodesOfCompile(parser, program), expected);
}

TEST(Gen2Axis, MalformedPrefixesAreErrors) {
    const LineCase cases[] = {
        {"SVON:", 48},
        {"(IN1):", 48},
        {":X", 48},
        {":X`Y:", 48},
    };
    ProgramLineParser parser;
    for (const LineCase& c : cases)
        EXPECT_EQ(CodeOf(parser, c.line), c.code) << c.line;
}

// A program ending with a line for another axis must not make the next compile skip its checks.
TEST(Gen2Axis, EveryCompileStartsAddressedToItsOwnAxis) {
    const std::vector<std::string_view> program = {"(FOO)SVON", "#DT[0]=1", ",2", "Y:"};
    ProgramLineParser parser;
    const std::vector<int> first = CodesOfCompile(parser, program);
    const std::vector<int> second = CodesOfCompile(parser, program);
    EXPECT_EQ(first, (std::vector<int>{47, 0, 0, 0}));
    EXPECT_EQ(second, first);
}

} // namespace
} // namespace kaso::compiler::gen2test
