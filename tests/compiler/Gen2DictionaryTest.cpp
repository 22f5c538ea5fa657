// The dictionary of the second-generation parser: word lengths, the shipped words that every
// well-formed program uses, an injected dictionary, and words the tables cannot hold.
#include "Gen2Dictionary.h"
#include "Gen2Codes.h"
#include "Gen2ParserTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

namespace kaso::compiler::gen2test {
namespace {

using gen2::Gen2Dictionary;
using gen2::WordDefinition;

TEST(Gen2Dictionary, WordLengths) {
    const LineCase cases[] = {
        {"(INPOS)SVON", 0},
        {"(INPUT)SVON", 47},  // five letters, not a word
        {"(INPOSX)SVON", 48}, // a sixth letter
        {"(ABCDEF)SVON", 48},
        {"(SVRDYALM)SVON", 0},  // a sixth 'A' begins the next word
        {"(SVRDYOUST)SVON", 0}, // so does a sixth 'O'
        {"(SVRDYBUSY)SVON", 48},
        {"(INPOS1)SVON", 48}, // a digit counts as a character of the word
        {"(OUT10)SVON", 47},
        {"(IN1A)SVON", 48}, // no letter after a digit
        {"(_AB)SVON", 47},  // no dictionary bucket for a word that begins with '_'
        {"UNDEF", 0},
    };
    ProgramLineParser parser;
    for (const LineCase& c : cases)
        EXPECT_EQ(CodeOf(parser, c.line), c.code) << c.line;
}

TEST(Gen2Dictionary, ShippedWordsAcceptAWellFormedProgram) {
    const std::vector<std::string_view> program = {
        "",
        "EV",
        "MBON",
        "(IN1)GOTO5",
        "()CALL12",
        "_(IN2)EVSL3",
        "(#5>=100)EVWK4",
        "()MBOF",
        "(#INST,3)OUT1+",
        "()#6=#6+1",
        "MBCL",
        "/EV",
        "SQ",
        "[INPOS]SQSL2",
        "+(IN3)SQWK7",
        "[]SVON",
        "+()OUT2-",
        "[$QREF>500]GOTO1",
        "/SQ",
        "GOTO0",
    };
    ProgramLineParser parser;
    const std::vector<int> codes = CodesOfCompile(parser, program);
    for (std::size_t i = 0; i < program.size(); ++i)
        EXPECT_EQ(codes[i], 0) << program[i];
}

TEST(Gen2Dictionary, JumpWordsTakeTheirStepNumberDirectly) {
    const LineCase cases[] =
        {
            {"GOTO5", 0},   {"CALL5", 0},   {"EVSL5", 0},     {"EVWK5", 0},
            {"SQSL5", 0},   {"SQWK5", 0},   {"()GOTO5L3", 0}, {"GOTO", 48},
            {"()CALL", 48}, {"GOTO5X", 48}, {"SVON5", 47}, // any other word simply takes the digit
        };
    ProgramLineParser parser;
    for (const LineCase& c : cases)
        EXPECT_EQ(CodeOf(parser, c.line), c.code) << c.line;
}

TEST(Gen2Dictionary, InjectedDictionaryReplacesTheShippedOne) {
    constexpr WordDefinition words[] = {
        {"GO", gen2::kKindJumpFirst, gen2::kKindJumpFirst},
        {"RUN", gen2::kKindStatement, 0x0101},
        {"READY", gen2::kKindStatusBit, 0x0001},
    };
    const Gen2Dictionary dictionary{words};
    ProgramLineParser parser{dictionary};
    const LineCase cases[] = {
        {"GO5", 0}, {"(READY)RUN", 0}, {"SVON", 47}, {"GOTO5", 47}, {"GO", 48},
    };
    for (const LineCase& c : cases)
        EXPECT_EQ(CodeOf(parser, c.line), c.code) << c.line;
}

TEST(Gen2Dictionary, RefusesWordsTheTablesCannotHold) {
    const WordDefinition unreadable[][1] = {
        {{"TOOLONG", gen2::kKindStatement, 1}}, {{"", gen2::kKindStatement, 1}},    {{"RUN", 0, 1}},
        {{"_AB", gen2::kKindStatement, 1}},     {{"run", gen2::kKindStatement, 1}},
    };
    for (const auto& word : unreadable)
        EXPECT_THROW(Gen2Dictionary{word}, std::invalid_argument) << word[0].text;
    const WordDefinition twice[] = {{"RUN", gen2::kKindStatement, 1},
                                    {"RUN", gen2::kKindStatement, 2}};
    EXPECT_THROW(Gen2Dictionary{twice}, std::invalid_argument);
}

TEST(Gen2Dictionary, ShippedWordsFillEveryRole) {
    const auto words = gen2::ShippedWords();
    const auto hasKind = [&](auto test) {
        return std::any_of(words.begin(), words.end(),
                           [&](const WordDefinition& w) { return test(w.kind); });
    };
    using K = std::uint16_t;
    EXPECT_EQ(std::count_if(words.begin(), words.end(),
                            [](const WordDefinition& w) { return gen2::IsJumpKind(w.kind); }),
              gen2::kJumpWordCount);
    const std::uint16_t roles[] = {
        gen2::kKindFixedEnd,    gen2::kKindAreaEnter,   gen2::kKindAreaLeave,
        gen2::kKindCommaList,   gen2::kKindHexWord,     gen2::kKindText,
        gen2::kKindNameTakingA, gen2::kKindNameTakingB, gen2::kKindRestartPrefix,
        gen2::kKindIndexTable,  gen2::kKindAreaPrefix,  gen2::kKindStatusRead,
    };
    for (std::uint16_t role : roles)
        EXPECT_TRUE(hasKind([role](K k) { return k == role; })) << role;
    EXPECT_TRUE(hasKind([](K k) { return gen2::IsOutputKind(k); }));
    EXPECT_TRUE(hasKind([](K k) { return gen2::IsDirectionKind(k); }));
    EXPECT_TRUE(Gen2Dictionary::Shipped().RegisterWord96().has_value());
}

} // namespace
} // namespace kaso::compiler::gen2test
