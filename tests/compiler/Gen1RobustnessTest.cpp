// Random statements straight into the first generation's checker: built from the words and
// operator characters the checkers look at, of every word count. Nothing may crash or read past
// a word, and the checker's verdict must agree with itself: a line is marked exactly when one of
// its slots holds a code, and every such code has a listing message.
#include "CompilerTestSupport.h"

#include <algorithm>
#include <random>

namespace kaso::compiler::test {
namespace {

constexpr std::string_view kPieces[] = {
    "(",       ")",    "[",     "]",   "#",    "$",    "&",    "=",    ">",    "<",
    "\\",      ",",    "+",     "-",   "*",    "**",   "/",    "@",    "!",    "!!!",
    "%",       " ",    "JOG",   "SPD", "RDY",  "SVON", "OUT0", "GOTO", "WAIT", "WAIT20",
    "GOTOTOP", "MBOF", "DEF",   "%A",  "%%BC", "BC",   "TOP",  "L5",   "1",    "25",
    "12345",   "FF",   "H1F2A", "AND", "OR",   "XYZ",  "_",
};

void PrepareContext(CompilerContext& ctx) {
    InitCompilerContext(ctx, Generation::First);
    ctx.keywords.mode.names = {"JOG"};
    ctx.keywords.data.names = {"SPD"};
    ctx.keywords.status.names = {"RDY"};
    ctx.keywords.command.names = {"SVON", "!!!"};
    ctx.keywords.commandBit.names = {"OUT0"};
    ctx.keywords.mailbox.names = {"GOTO", "CALL", "WAIT", "MBOF"};
    ctx.variables.names = {"%A", "%%BC"};
    ctx.variables.percentNames = 1;
    ctx.variables.doublePercentNames = 1;
    ctx.labels = {{"TOP", 3}};
}

bool SlotsAndMarkAgree(const CompilerContext& ctx, std::string& why) {
    const auto& row = ctx.errors.rows[static_cast<std::size_t>(ctx.lineIndex)];
    const bool marked = ctx.errors.marked[static_cast<std::size_t>(ctx.lineIndex)] != 0;
    const bool coded = std::any_of(row.begin(), row.end(), [](int code) { return code != 0; });
    for (int code : row) {
        if (code != 0 && ErrorMessage(code, Generation::First).empty()) {
            why = "code without message " + std::to_string(code);
            return false;
        }
    }
    if (marked != coded) why = marked ? "marked without a code" : "a code without the mark";
    return marked == coded;
}

TEST(Gen1Robustness, RandomStatementsLeaveAgreeingVerdicts) {
    std::mt19937 random(20240917);
    std::uniform_int_distribution<std::size_t> piece(0, std::size(kPieces) - 1);
    std::uniform_int_distribution<int> length(1, 14);
    CompilerContext ctx;
    PrepareContext(ctx);
    int checked = 0;
    for (int i = 0; i < 20000; ++i) {
        std::string line = i % 2 == 0 ? "(" : "";
        for (int n = length(random); n > 0; --n)
            line += kPieces[piece(random)];
        line += "\n";
        ctx.inSequencePart = i % 3 == 0;
        BeginLine(ctx, i % LineLimit(Generation::First), SourceLine{line, false});
        ctx.words = ScanWords(ctx.line);
        ctx.wordCount = static_cast<int>(ctx.words.size());
        ctx.errors.rows[static_cast<std::size_t>(ctx.lineIndex)] = {};
        ctx.errors.marked[static_cast<std::size_t>(ctx.lineIndex)] = 0;
        if (ctx.wordCount < 1 || ctx.wordCount > 7) continue;
        CheckStatementGen1(ctx);
        ++checked;
        std::string why;
        ASSERT_TRUE(SlotsAndMarkAgree(ctx, why)) << line << why;
        ASSERT_LE(ctx.variables.names.size(), 32u);
    }
    EXPECT_GT(checked, 10000);
}

} // namespace
} // namespace kaso::compiler::test
