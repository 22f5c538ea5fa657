// The compiled program file: step numbering of the rows, marker prefixes, Evline and Sqline.
#include "CompilerTestSupport.h"

namespace kaso::compiler::test {
namespace {

std::vector<Row> MakeRows(std::initializer_list<const char*> texts) {
    std::vector<Row> rows;
    for (const char* text : texts)
        rows.push_back({text, static_cast<int>(rows.size())});
    return rows;
}

TEST(CompiledProgram, StepsOfBothPartsWithoutPrefixes) {
    StepCounts counts;
    const std::string text = FormatCompiledProgram(
        MakeRows({"EV", "()A", "(X)B", "(Y)C", "/EV", "SQ", "[]D", "[X]E", "/SQ"}),
        Generation::First, counts);
    EXPECT_EQ(text, "EV\n()A\n(X)B\n(Y)C\n/EV\nSQ\n[]D\n[X]E\n/SQ\n");
    EXPECT_EQ(counts.evline, 3);
    EXPECT_EQ(counts.sqline, 2);
    EXPECT_FALSE(counts.sequenceOpen);
}

TEST(CompiledProgram, MarkerRowsShowTheStepOfTheirPlace) {
    StepCounts counts;
    // MBON takes a step number; MBOF, MBCL, quoted and longer marker rows take none.
    const std::string text = FormatCompiledProgram(
        MakeRows({"SQ", "[]A", "MBON", "A:", "MBCL", "B:", "MBOF", "TEXT", "C-D:", "[]E", "F:"}),
        Generation::First, counts);
    EXPECT_EQ(text, "SQ\n[]A\nMBON\n   3 A:\nMBCL\n   4 B:\nMBOF\nTEXT\nC-D:\n[]E\n   6 F:\n");
    EXPECT_EQ(counts.sqline, 5) << "marker rows take a number but do not count";
    EXPECT_EQ(counts.evline, 0) << "a sequence-part MBCL leaves Evline alone";
    EXPECT_TRUE(counts.sequenceOpen);
}

TEST(CompiledProgram, DefRowsAndPrefixedConditions) {
    StepCounts counts;
    const std::string text =
        FormatCompiledProgram(MakeRows({"DEFA%", "EV", "_()A", "DEFB%", "+(X)B", "G:", "/EV"}),
                              Generation::First, counts);
    EXPECT_EQ(text, "DEFA%\nEV\n_()A\nDEFB%\n+(X)B\n   3 G:\n/EV\n");
    EXPECT_EQ(counts.evline, 2);
}

TEST(CompiledProgram, GenerationsDifferAfterSlashSqAndOnEmptySequenceCondition) {
    const auto rows = MakeRows({"EV", "()A", "[]B", "/EV", "SQ", "[]C", "/SQ", "M:"});
    StepCounts first;
    EXPECT_EQ(FormatCompiledProgram(rows, Generation::First, first),
              "EV\n()A\n[]B\n/EV\nSQ\n[]C\n/SQ\n   1 M:\n");
    EXPECT_EQ(first.evline, 2);
    EXPECT_EQ(first.sqline, 1);

    StepCounts second;
    EXPECT_EQ(FormatCompiledProgram(rows, Generation::Second, second),
              "EV\n()A\n[]B\n/EV\nSQ\n[]C\n/SQ\n   3 M:\n");
    EXPECT_EQ(second.evline, 2);
    EXPECT_EQ(second.sqline, 1);

    // "[]" in the event part: the first generation counts it as a sequence step.
    StepCounts eventOnly;
    FormatCompiledProgram(MakeRows({"EV", "()A", "[]"}), Generation::First, eventOnly);
    EXPECT_EQ(eventOnly.evline, 1);
    EXPECT_EQ(eventOnly.sqline, 2);
    FormatCompiledProgram(MakeRows({"EV", "()A", "[]"}), Generation::Second, eventOnly);
    EXPECT_EQ(eventOnly.evline, 2);
    EXPECT_EQ(eventOnly.sqline, 0);
}

} // namespace
} // namespace kaso::compiler::test
