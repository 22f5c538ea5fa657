// The word tests, line-shape tests and user variables of the first generation's checkers.
#include "Gen1Statement.h"
#include "Gen1TestSupport.h"

namespace kaso::compiler::test {
namespace {

using namespace gen1;

TEST(Gen1Words, HexOperandsAndNumbers) {
    for (const char* hex : {"", "0", "1F", "FFFF", "H1F2A", "HFFFF", "ABCD"})
        EXPECT_TRUE(IsHexOperand(hex)) << hex;
    for (const char* other : {"12345", "1234H", "FFFFF", "G", "H12", "HGGGG", "H1F2A3", "1f"})
        EXPECT_FALSE(IsHexOperand(other)) << other;
    EXPECT_TRUE(IsNumberWord("0"));
    EXPECT_TRUE(IsNumberWord("12345"));
    EXPECT_FALSE(IsNumberWord(""));
    EXPECT_FALSE(IsNumberWord("1A"));
    EXPECT_TRUE(IsShortWord("ABCDE"));
    EXPECT_FALSE(IsShortWord("ABCDEF"));
    EXPECT_EQ(CountDigits("WAIT20"), "20");
    EXPECT_EQ(CountDigits("WAITA1B2"), "12");
    EXPECT_EQ(CountDigits("WAIT"), "");
    EXPECT_EQ(CountDigits("WAIT12345678901234567"), "1234567890123456") << "up to the 20th";
}

TEST(Gen1Words, ConditionBracketAndItsShape) {
    EXPECT_TRUE(HasConditionBracket("()JOG", false));
    EXPECT_TRUE(HasConditionBracket("_()JOG", false));
    EXPECT_FALSE(HasConditionBracket("+()JOG", false)) << "'+' belongs to the sequence part";
    EXPECT_TRUE(HasConditionBracket("+[]JOG", true));
    EXPECT_FALSE(HasConditionBracket("_[]JOG", true)) << "'_' belongs to the event part";
    EXPECT_FALSE(HasConditionBracket("JOG", false));

    EXPECT_EQ(BracketShape("()JOG"), 2);
    EXPECT_EQ(BracketShape("[]JOG"), 2);
    EXPECT_EQ(BracketShape("(#RDY=1)JOG"), 1);
    EXPECT_EQ(BracketShape("(]JOG"), 1);
    EXPECT_EQ(BracketShape("(#RDY=1"), 0);
    EXPECT_EQ(BracketShape(")JOG"), 1) << "a closing bracket with nothing before it";
}

TEST(Gen1Words, ComparisonsAndCommas) {
    EXPECT_TRUE(ComparisonBeforeClose("(#RDY=1)JOG"));
    EXPECT_TRUE(ComparisonBeforeClose("[A<>B]JOG"));
    EXPECT_TRUE(ComparisonBeforeClose("(A>=B"));
    EXPECT_FALSE(ComparisonBeforeClose("()%A=5"));
    EXPECT_FALSE(ComparisonBeforeClose("(A)JOG"));
    EXPECT_TRUE(HasComparison("()%A=5"));
    EXPECT_FALSE(HasComparison("()%A,5"));

    EXPECT_EQ(CommaDigitInCondition("(#RDY,1=1)JOG"), 1);
    EXPECT_EQ(CommaDigitInCondition("(#RDY,X=1)JOG"), 0);
    EXPECT_EQ(CommaDigitInCondition("(#RDY,1,2=1)JOG"), 2);
    EXPECT_EQ(CommaDigitInCondition("(#RDY=1)RDY,1"), 0);
    EXPECT_EQ(CommaDigitInCondition("(#RDY,1=1)RDY,2"), 1) << "commas on both sides";
    EXPECT_TRUE(CommaDigitInAction("()RDY,1=1"));
    EXPECT_FALSE(CommaDigitInAction("()RDY,X=1"));
    EXPECT_FALSE(CommaDigitInAction("(#RDY,1=1)JOG"));
    EXPECT_FALSE(CommaDigitInAction("RDY,1")) << "no condition";
}

TEST(Gen1Words, ConditionAndActionForms) {
    EXPECT_EQ(FindConditionForm("(#RDY=1)JOG"), 1);
    EXPECT_EQ(FindConditionForm("[#RDY=1]JOG"), 1);
    EXPECT_EQ(FindConditionForm("(%A=#RDY)JOG"), 2);
    EXPECT_EQ(FindConditionForm("(%A>#RDY)JOG"), 2);
    EXPECT_EQ(FindConditionForm("(%A\\#RDY)JOG"), 2);
    EXPECT_EQ(FindConditionForm("($RDY=1)JOG"), 1);
    EXPECT_EQ(FindConditionForm("(#$RDY=1)JOG"), 1) << "'#' before '$' right after '('";
    EXPECT_EQ(FindConditionForm("(#&RDY=1)JOG"), 1);
    EXPECT_EQ(FindConditionForm("(%A=$5)JOG"), 2);
    EXPECT_EQ(FindConditionForm("(%A=5)#RDY"), 0) << "the first '#' follows ')'";
    EXPECT_EQ(FindConditionForm("(%A=5)JOG"), 0);

    EXPECT_EQ(FindActionForm("()#RDY", false), 1);
    EXPECT_EQ(FindActionForm("()%A=#RDY", false), 1);
    EXPECT_EQ(FindActionForm("()%A=%B+#5", false), 1);
    EXPECT_EQ(FindActionForm("(%A>#RDY)JOG", false), 0) << "'>' is no action operator";
    EXPECT_EQ(FindActionForm("(#RDY=1)JOG", false), 0);
    EXPECT_EQ(FindActionForm("()=##5", false), 1) << "\"##\" after '='";
    EXPECT_EQ(FindActionForm("(A)X##$5", false), 1) << "\"##\" followed by '$'";
    EXPECT_EQ(FindActionForm("(A)X##5", false), 0);
    EXPECT_EQ(FindActionForm("()$5", false), 1);
    EXPECT_EQ(FindActionForm("()#$5", false), 1) << "'$' after a '#' that follows ')'";
    EXPECT_EQ(FindActionForm("(A)X#$5", false), 0);
    EXPECT_EQ(FindActionForm("()!RDY", false), 0);
    EXPECT_EQ(FindActionForm("()!RDY", true), 1) << "the one-word rule";
}

TEST(Gen1Variables, RegistrationAndItsLimits) {
    UserVariables variables;
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(AddUserVariable(variables, "%V" + std::to_string(i)), Registration::Registered);
    EXPECT_EQ(AddUserVariable(variables, "%V8"), Registration::Refused) << "a ninth with '%'";
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(AddUserVariable(variables, "%%W" + std::to_string(i)), Registration::Registered);
    EXPECT_EQ(AddUserVariable(variables, "%%W8"), Registration::Refused) << "a ninth with %%";
    EXPECT_EQ(AddUserVariable(variables, "%ABCD"), Registration::Malformed);
    EXPECT_EQ(AddUserVariable(variables, "%A%B%"), Registration::Malformed);
    EXPECT_EQ(AddUserVariable(variables, "ABC"), Registration::Registered) << "no '%' at all";
    EXPECT_EQ(variables.percentNames, 9);
    EXPECT_EQ(variables.doublePercentNames, 9);

    const std::string longName = "%" + std::string(300, 'N');
    EXPECT_EQ(AddUserVariable(variables, longName), Registration::Malformed);
    EXPECT_EQ(variables.names.back(), longName) << "a malformed name is kept whole";
    while (variables.names.size() < kMaxUserVariables)
        AddUserVariable(variables, "Q");
    EXPECT_EQ(AddUserVariable(variables, "Z"), Registration::Refused);
    EXPECT_EQ(variables.names.size(), kMaxUserVariables) << "a full table stores nothing";
}

TEST(Gen1Variables, ReferencesByNameAndStarForm) {
    UserVariables variables;
    AddUserVariable(variables, "%A");
    AddUserVariable(variables, "%%BC");
    EXPECT_TRUE(IsDefinedVariable(variables, "%A", "()%A=5"));
    EXPECT_TRUE(IsDefinedVariable(variables, "A", "()*A=5"));
    EXPECT_TRUE(IsDefinedVariable(variables, "BC", "()**BC=5"));
    EXPECT_FALSE(IsDefinedVariable(variables, "BC", "()*BC=5")) << "a %% name needs **";
    EXPECT_FALSE(IsDefinedVariable(variables, "QQ", "()*A=QQ")) << "only the starred word";
    EXPECT_FALSE(IsDefinedVariable(variables, "%B", "()%B=5"));
    EXPECT_FALSE(IsDefinedVariable(variables, "", "()*A=5"));
    EXPECT_TRUE(AnyVariableNameContains(variables, "BC"));
    EXPECT_FALSE(AnyVariableNameContains(variables, "Q"));
}

// DEF lines: the name glued to DEF or after it, the limits of a name and of a kind, and the
// codes and marks they leave.
TEST_F(Gen1Statements, DefLines) {
    std::string source = "DEF%%ABC\n"     // 1: eight characters in all
                         "DEF%%ABCD\n"    // 2: one more
                         "DEF%ABC\n"      // 3: seven
                         "DEF%ABCD\n"     // 4: eight without %%
                         "DEF %ABCD\n"    // 5: four letters after DEF and a blank
                         "DEF %A%B%\n"    // 6: three '%'
                         "()DEF%Q\n"      // 7: after an empty condition
                         "()DEF%QRSTU\n"; // 8: too long there
    // Lines 3 and 7 registered two names with one '%'; lines 9 to 14 make eight of them.
    for (int i = 0; i < 6; ++i)
        source += "DEF %V" + std::to_string(i) + "\n";
    source += "DEF %V6\n"; // 15: the ninth
    const auto run = Inspect(Generation::First, source);
    EXPECT_EQ(run.resultCode, kResultErrors);
    for (int line : {1, 3, 7, 9, 14}) {
        EXPECT_EQ(run.Code(line), 0) << line;
        EXPECT_FALSE(run.ctx->errors.marked[static_cast<std::size_t>(line - 1)]) << line;
    }
    for (int line : {2, 4, 5, 6, 8}) {
        EXPECT_EQ(run.Code(line), kVariableMalformed) << line;
        EXPECT_TRUE(run.ctx->errors.marked[static_cast<std::size_t>(line - 1)]) << line;
    }
    EXPECT_EQ(run.Code(15, 0), 0);
    EXPECT_EQ(run.Code(15, 1), kVariableRefused);
    EXPECT_TRUE(run.ctx->errors.marked[14]);
    EXPECT_EQ(FormatListing(*run.ctx, kResultErrors, {}),
              ExpectedMessage(2, 21) + ExpectedMessage(4, 21) + ExpectedMessage(5, 21) +
                  ExpectedMessage(6, 21) + ExpectedMessage(8, 21) + ExpectedMessage(15, 20));
    EXPECT_EQ(run.ctx->variables.names.front(), "%%ABC");
}

TEST_F(Gen1Statements, AnEarlierFailureOutlivesLaterAcceptedLines) {
    const auto run = Inspect(Generation::First, "EV\n()QQQQQQ\nMBOF\nDEF %Q\n()DEF%R\n/EV\n");
    EXPECT_EQ(run.resultCode, kResultErrors);
    EXPECT_TRUE(run.ctx->errors.marked[1]);
    for (std::size_t line : {2u, 3u, 4u})
        EXPECT_FALSE(run.ctx->errors.marked[line]) << line + 1;
}

// The library shipped beside the compiler: every word class the checkers consult has words,
// each fits its table's width, and the words the language itself relies on are there.
TEST(Gen1ShippedLibrary, CoversEveryWordClass) {
    CompilerContext ctx;
    InitCompilerContext(ctx, Generation::First);
    const auto folder = std::filesystem::path(KASO_COMPILE_EXE).parent_path() / "Lib";
    ASSERT_EQ(LoadKeywordLibraries(ctx, folder), LibraryLoad::Loaded);
    const KeywordTables& words = ctx.keywords;
    const std::pair<const KeywordTable*, std::size_t> tables[] = {
        {&words.mode, 3},    {&words.data, 4},       {&words.status, 4},
        {&words.command, 4}, {&words.commandBit, 5}, {&words.mailbox, 4},
    };
    for (const auto& [table, width] : tables) {
        EXPECT_FALSE(table->names.empty());
        for (const std::string& name : table->names)
            EXPECT_LE(name.size(), width) << name;
    }
    for (const char* jump : {"GOTO", "CALL", "EVSL", "EVWK", "SQSL", "SQWK"})
        EXPECT_TRUE(words.mailbox.Contains(jump)) << jump;
    for (const char* mailboxSwitch : {"MBON", "MBOF", "MBCL"})
        EXPECT_TRUE(words.mailbox.Contains(mailboxSwitch)) << mailboxSwitch;
    for (const char* command : {"!!!", "SQON", "SQOF", "SQSP", "SQPT"})
        EXPECT_TRUE(words.command.Contains(command)) << command;
    EXPECT_TRUE(words.commandBit.Contains("SQLEN"));
}

} // namespace
} // namespace kaso::compiler::test
