// Number forms of the second-generation parser: decimal, hex and binary limits, and how hex and
// binary numbers read as 16-bit or long values.
#include "Gen2ParserTestSupport.h"

#include <gtest/gtest.h>

namespace kaso::compiler::gen2test {
namespace {

TEST(Gen2Number, LimitsOfDecimalHexAndBinaryNumbers) {
    const LineCase cases[] = {
        {"2147483647", 0},
        {"2147483648", 48},
        {"()#5=2147483647", 0},
        {"()#5=2147483648", 48},
        {"()#5=-2147483648", 0},
        {"()#5=-2147483649", 48},
        {"()#5=9999999999", 48},
        {"()#5=0000000001", 0},   // ten digits
        {"()#5=00000000001", 48}, // the eleventh decimal digit
        {"()#5=0X1F", 0},
        {"()#5=0XFFFFFFFF", 0},
        {"()#5=0X123456789", 48}, // the ninth hex digit
        {"()#5=0X1G", 48},
        {"()#5=0X", 48},
        {"()#5=0B101", 0},
        {"()#5=0B1111111111111111", 0},
        {"()#5=0B11111111111111111", 48}, // the seventeenth binary digit
        {"()#5=0B102", 48},
        {"()#5=0B", 48},
        {"()#5=12X", 48},
    };
    ProgramLineParser parser;
    for (const LineCase& c : cases)
        EXPECT_EQ(CodeOf(parser, c.line), c.code) << c.line;
}

// A value that does not fit 16 bits takes a place in the long-value store.
TEST(Gen2Number, FourHexDigitsAndSixteenBinaryDigitsReadAsSixteenBitNumbers) {
    struct Case {
        std::string_view line;
        int longValues;
    };
    const Case cases[] = {
        {"()#5=0X8000", 0},  // -32768
        {"()#5=0XFFFF", 0},  // -1
        {"()#5=0X08000", 1}, // five digits: 32768
        {"()#5=0X00010000", 1},
        {"()#5=32767", 0},
        {"()#5=32768", 1},
        {"()#5=-32768", 0},
        {"()#5=-32769", 1},
        {"()#5=0B1000000000000000", 0}, // sixteen digits: -32768
        {"()#5=0B100000000000000", 0},  // fifteen digits: 16384
        {"()OUTW=FFFF", 0},             // the four-digit form after '='
    };
    ProgramLineParser parser;
    for (const Case& c : cases) {
        parser.ResetLineParser();
        EXPECT_EQ(CodeOf(parser, c.line), 0) << c.line;
        EXPECT_EQ(parser.StoredLongValues(), c.longValues) << c.line;
    }
}

// -32768 is the one 16-bit number that cannot be negated.
TEST(Gen2Number, SubtractionRefusesTheNumberThatCannotBeNegated) {
    const LineCase cases[] = {
        {"()#5-=0X8000", 48}, {"()#5-=0X7FFF", 0}, {"()#5-=0XFFFF", 0},
        {"()#5-=-32767", 0},  {"()JOG=-32768", 0}, // the jog instruction is never negated
    };
    ProgramLineParser parser;
    for (const LineCase& c : cases)
        EXPECT_EQ(CodeOf(parser, c.line), c.code) << c.line;
}

TEST(Gen2Number, HexWordTakesExactlyFourHexDigits) {
    const LineCase cases[] = {
        {"OUTW=12AB", 0},  {"OUTW=12A", 48},      {"OUTW=12ABC", 48},
        {"OUTW=12AG", 48}, {"(INW=00FF)SVON", 0}, {"(INW=0FF)SVON", 48},
    };
    ProgramLineParser parser;
    for (const LineCase& c : cases)
        EXPECT_EQ(CodeOf(parser, c.line), c.code) << c.line;
}

TEST(Gen2Number, AddressFormsNeedFourOrEightDigits) {
    const LineCase cases[] = {
        {"#$0010C000=5", 0}, {"#$C000=5", 0},   {"#$0C000=5", 48},  {"##12AB", 0},
        {"#&0010C000", 0},   {"#%0010C000", 0}, {"#%0010C001", 48}, // "#%" takes even addresses
        {"#%0010C00G", 48},  {"*$5", 0},
    };
    ProgramLineParser parser;
    for (const LineCase& c : cases)
        EXPECT_EQ(CodeOf(parser, c.line), c.code) << c.line;
}

TEST(Gen2Number, RegisterNumbersStayBelowTwoHundred) {
    const LineCase cases[] = {
        {"$0=5", 0},      {"$199=5", 0},     {"$200=5", 48},       {"#96=5", 0},
        {"&5=1", 48}, // only '#' and '$' take a register number
        {"()#5,15=1", 0}, {"()#5,16=1", 48}, {"(FLG,199)SVON", 0}, {"(FLG,200)SVON", 48},
    };
    ProgramLineParser parser;
    for (const LineCase& c : cases)
        EXPECT_EQ(CodeOf(parser, c.line), c.code) << c.line;
}

} // namespace
} // namespace kaso::compiler::gen2test
