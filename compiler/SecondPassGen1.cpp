// The first generation's second pass: every line is read again, symbols are substituted, the
// line is cut into words and routed: quoted lines pass unchecked, DEFSMB lines are done, marker
// lines are checked here, and statements go to the statement checker by their word count.
// Lines without a condition bracket are only "SQ", "/SQ", "EV", "/EV", empty lines, DEF lines
// and the mailbox switches "MBON", "MBOF", "MBCL"; anything else is a condition syntax error.
// Accepted lines become rows of the compiled program.
#include "Compiler.h"

namespace kaso::compiler {

namespace {

void DropLabel(CompilerContext& ctx) {
    const std::size_t bar = ctx.line.find('|');
    if (bar == std::string::npos) return;
    ctx.wordCount = ctx.wordCount > 0 ? ctx.wordCount - 1 : 0;
    ctx.wordCursor = 1;
    ctx.line.erase(0, bar + 1);
}

bool IsMailboxSwitch(std::string_view word) {
    return word.starts_with("MBOF") || word.starts_with("MBCL") || word.starts_with("MBON");
}

// Returns whether the line becomes a row although it may have no words.
bool CheckBracketedLine(CompilerContext& ctx) {
    if (ctx.wordCount >= 1 && ctx.wordCount <= 7) {
        CheckStatementGen1(ctx);
        return false;
    }
    if (ctx.wordCount == 0) {
        if (EndsWithEmptyCondition(ctx.line)) return true;
        // Nothing of this line could become a step; dropping it silently would shift every
        // later label of its part.
        StoreCode(ctx, 0, kCodeConditionSyntax);
        MarkError(ctx);
    }
    return false;
}

bool CheckLineWithoutBracket(CompilerContext& ctx) {
    const std::string_view first = StatementWord(ctx, 0);
    if (first.starts_with("DEF") && (ctx.wordCount == 1 || ctx.wordCount == 2)) {
        CheckStatementGen1(ctx);
        return false;
    }
    if (first == "SQ") {
        StoreCode(ctx, 0, 0);
        ctx.inSequencePart = !Contains(WithoutBlanks(ctx.line), "/SQ");
        ctx.lineInPart = 0;
        return true;
    }
    if (IsBlankLine(ctx.line)) {
        StoreCode(ctx, 0, 0);
        return false;
    }
    if (first == "EV") {
        StoreCode(ctx, 0, 0);
        return true;
    }
    MarkError(ctx);
    if (ctx.wordCount == 1 && IsMailboxSwitch(first)) CheckStatementGen1(ctx);
    return false;
}

void CheckPartPrefix(CompilerContext& ctx) {
    const std::string text = WithoutBlanks(ctx.line);
    if ((Contains(text, "+()") && !ctx.inSequencePart) ||
        (Contains(text, "_()") && ctx.inSequencePart)) {
        StoreCode(ctx, 0, kCodeConditionSyntax);
        MarkError(ctx);
    }
}

void CheckLine(CompilerContext& ctx) {
    if (ctx.symbolsPresent) SubstituteSymbols(ctx);
    if (HandleCommonLineForms(ctx)) return;
    DropLabel(ctx);
    const bool bracket = HasConditionBracket(ctx.line);
    if (!bracket) StoreCode(ctx, 0, kCodeConditionSyntax);
    const bool rowWithoutWords = bracket ? CheckBracketedLine(ctx) : CheckLineWithoutBracket(ctx);
    CheckPartPrefix(ctx);
    if (ctx.jumpArithmeticFailed) StoreStatementError(ctx, kCodeActionSyntax);
    ++ctx.lineInPart;
    if (ctx.wordCount >= 1 || rowWithoutWords) EmitRow(ctx);
}

} // namespace

void RunSecondPass(CompilerContext& ctx, const std::vector<SourceLine>& lines) {
    CheckEveryLine(ctx, lines, CheckLine);
}

} // namespace kaso::compiler
