// The second generation's second pass: every line is read again and cut into words; quoted
// lines pass unchecked, DEFSMB lines are done and marker lines are checked here. A statement
// loses its label, has its symbol words and label words replaced by their values, its jump
// arithmetic computed, and goes without blanks (ended by CR) to ProgramLineParser, whose verdict
// becomes code 47, 48 or 49. Statements longer than 29 characters get code 50.
#include "Compiler.h"

#include <array>

namespace kaso::compiler {

namespace {

// In this generation '|' also stands inside conditions, so only a bar before the first '(' is a
// label.
void DropLabel(CompilerContext& ctx) {
    const std::size_t bar = ctx.line.find('|');
    const std::size_t bracket = ctx.line.find('(');
    if (bar == std::string::npos || (bracket != std::string::npos && bracket < bar)) return;
    ctx.wordCount = ctx.wordCount > 0 ? ctx.wordCount - 1 : 0;
    ctx.wordCursor = 1;
    ctx.line.erase(0, bar + 1);
}

// Forms after a closing bracket that stand for an operand of their own.
int OperandFormsAfterBracket(std::string_view line) {
    constexpr std::array<std::string_view, 5> forms = {"),", "),?", ")=", ")==", ")."};
    int count = 0;
    for (std::string_view form : forms)
        count += Contains(line, form) ? 1 : 0;
    return count;
}

void ParseStatement(CompilerContext& ctx) {
    const std::string statement = WithoutBlanks(ctx.line);
    if (statement.size() > kMaxStatementLength) {
        StoreCode(ctx, 0, kCodeStatementTooLong);
        MarkError(ctx);
    }
    const int code = ParserVerdictCode(ctx.checkStatement2(statement + '\r'));
    if (code != 0) {
        StoreCode(ctx, 0, code);
        MarkError(ctx);
    }
}

// Whether the line becomes a row; opens or closes the sequence part on "SQ" and "/SQ".
bool MakesRow(CompilerContext& ctx, int operandWords) {
    const bool bracket = HasConditionBracket(ctx.line);
    const std::string_view first = StatementWord(ctx, 0);
    if (!bracket && first == "SQ") {
        ctx.inSequencePart = !Contains(ctx.line, "/SQ");
        ctx.lineInPart = 0;
        return true;
    }
    if (!bracket && first == "EV") return true;
    if (IsBlankLine(ctx.line)) return false;
    if (operandWords >= 1) return true;
    if (bracket) {
        if (EndsWithEmptyCondition(ctx.line)) return true;
        // Nothing of this line could become a step; dropping it silently would shift every
        // later label of its part.
        StoreStatementError(ctx, kCodeSyntax);
    }
    return false;
}

void CheckLine(CompilerContext& ctx) {
    if (HandleCommonLineForms(ctx)) return;
    DropLabel(ctx);
    SubstituteSymbols2(ctx);
    AddLabel2(ctx);
    const int operandWords = ctx.wordCount + OperandFormsAfterBracket(ctx.line);
    ResolveJumpTarget2(ctx);
    ParseStatement(ctx);
    const bool row = MakesRow(ctx, operandWords);
    if (ctx.jumpArithmeticFailed) StoreStatementError(ctx, kCodeSyntax);
    ++ctx.lineInPart;
    if (row) EmitRow(ctx);
}

} // namespace

int ParserVerdictCode(const LineParseResult& verdict) {
    if (!verdict.errorFlag) return 0;
    if (verdict.notInDictionary) return kCodeNotInDictionary;
    return verdict.statementMode == 4 ? kCodeAreaControl : kCodeSyntax;
}

void RunSecondPass2(CompilerContext& ctx, const std::vector<SourceLine>& lines) {
    CheckEveryLine(ctx, lines, CheckLine);
}

} // namespace kaso::compiler
