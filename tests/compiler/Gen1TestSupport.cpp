// Equipment of the first generation's statement tests.
#include "Gen1TestSupport.h"

#include <map>

namespace kaso::compiler::test {

namespace {

const std::map<int, const char*> kMessageTexts = {
    {20, "ユーザ変数が8以上定義されました"}, {21, "ユーザ変数が3文字以上定義されました"},
    {26, "ユーザ変数が定義されていません"},  {28, "ラベル名が一致していません"},
    {43, "条件文中の構文が違います"},        {44, "条件文中にスペルミスがあります"},
    {45, "実行文中の構文が違います"},        {46, "実行文中にスペルミスがあります"},
};

constexpr const char* kProgramHead = "DEF %A\n"
                                     "DEF %%BC\n"
                                     "DEF %X\n"
                                     "EV\n"
                                     "()JOG\n"
                                     "()JOG\n"
                                     "LOOP|()JOG\n";
constexpr int kEventLine = 8;
constexpr int kSequenceLine = 10;

} // namespace

std::string ExpectedMessage(int lineNumber, int code) {
    return ErrorLine(lineNumber, kMessageTexts.at(code));
}

void Gen1Statements::SetUp() {
    CompilerTest::SetUp();
    WriteLibraryFolder(Library(),
                       {{"MODE.LIB", "JOG,POS,ABS"},
                        {"DATA.LIB", "SPD,TIM"},
                        {"STATAS.LIB", "RDY,INP,ZSP"},
                        {"COMMAND.LIB", "SVON,STOP,!!!"},
                        {"COMMANDB.LIB", "OUT0,OUT1"},
                        {"MAILBOXC.LIB", "GOTO,CALL,EVSL,EVWK,SQSL,SQWK,MBON,MBOF,MBCL,WAIT,MOV"}});
}

void Gen1Statements::Check(const StatementCase& statement, bool sequencePart) {
    SCOPED_TRACE(statement.line);
    std::string source = kProgramHead;
    source += sequencePart ? std::string("/EV\nSQ\n") + statement.line + "\n/SQ\n"
                           : std::string(statement.line) + "\n/EV\n";
    const int line = sequencePart ? kSequenceLine : kEventLine;
    const auto run = Inspect(Generation::First, source);

    for (int slot = 0; slot < 6; ++slot)
        EXPECT_EQ(run.Code(line, slot), statement.slots[static_cast<std::size_t>(slot)])
            << "slot " << slot;
    EXPECT_EQ(run.ctx->errors.marked[static_cast<std::size_t>(line - 1)] != 0, statement.marked);
    EXPECT_EQ(run.resultCode, statement.marked ? kResultErrors : kResultCompiled);

    std::string expectedListing;
    for (int code : statement.slots)
        if (code != 0) expectedListing += ExpectedMessage(line, code);
    if (statement.marked) {
        EXPECT_EQ(FormatListing(*run.ctx, kResultErrors, {}), expectedListing);
    }

    if (statement.row != nullptr) {
        const auto rows = run.Rows();
        // After the three DEF rows, "EV" and three steps (and "/EV", "SQ").
        const std::size_t rowIndex = sequencePart ? 9 : 7;
        ASSERT_GT(rows.size(), rowIndex);
        EXPECT_EQ(rows[rowIndex], statement.row);
    }
}

void Gen1Statements::CheckAll(std::initializer_list<StatementCase> statements, bool sequencePart) {
    for (const StatementCase& statement : statements)
        Check(statement, sequencePart);
}

} // namespace kaso::compiler::test
