// Setting up one compile and the bookkeeping every pass shares: error codes in the current
// line's row of ErrorTable, the per-line failed mark, the statement's words and its rows.
//
// A mark belongs to the line that set it, so a checker that withdraws the mark of its own line
// never clears a failure found on an earlier line.
#include "Compiler.h"

#include <algorithm>

namespace kaso::compiler {

int LineLimit(Generation generation) {
    return generation == Generation::First ? 2000 : 6000;
}

bool KeywordTable::Contains(std::string_view word) const {
    return std::find(names.begin(), names.end(), word) != names.end();
}

namespace {

KeywordTable FixedTable(std::initializer_list<const char*> words) {
    KeywordTable table;
    for (const char* word : words)
        table.names.emplace_back(word);
    return table;
}

bool CurrentRowExists(const CompilerContext& ctx) {
    return ctx.lineIndex >= 0 && static_cast<std::size_t>(ctx.lineIndex) < ctx.errors.rows.size();
}

int StatementErrorCode(Generation generation) {
    return generation == Generation::First ? kCodeActionSyntax : kCodeSyntax;
}

} // namespace

void InitCompilerContext(CompilerContext& ctx, Generation generation) {
    ctx = CompilerContext{};
    ctx.generation = generation;
    const auto rows = static_cast<std::size_t>(LineLimit(generation));
    ctx.errors.rows.assign(rows, {});
    ctx.errors.marked.assign(rows, 0);
    if (generation == Generation::First) {
        ctx.keywords.digits = FixedTable({"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"});
        ctx.keywords.notWords = FixedTable({"!!!"});
        ctx.keywords.andWords = FixedTable({"AND"});
        ctx.keywords.orWords = FixedTable({"OR"});
    } else {
        ctx.parser = std::make_unique<ProgramLineParser>();
        ctx.parser->ResetLineParser();
        ctx.checkStatement2 = [parser = ctx.parser.get()](std::string_view statement) {
            return parser->ParseStatementLine(statement);
        };
    }
}

void StoreCode(CompilerContext& ctx, int slot, int code) {
    if (!CurrentRowExists(ctx) || slot < 0 || slot >= kErrorSlots) return;
    ctx.errors.rows[static_cast<std::size_t>(ctx.lineIndex)][static_cast<std::size_t>(slot)] = code;
}

int StoredCode(const CompilerContext& ctx, int slot) {
    if (!CurrentRowExists(ctx) || slot < 0 || slot >= kErrorSlots) return 0;
    return ctx.errors.rows[static_cast<std::size_t>(ctx.lineIndex)][static_cast<std::size_t>(slot)];
}

void MarkError(CompilerContext& ctx) {
    if (CurrentRowExists(ctx)) ctx.errors.marked[static_cast<std::size_t>(ctx.lineIndex)] = 1;
}

void WithdrawMark(CompilerContext& ctx) {
    if (CurrentRowExists(ctx)) ctx.errors.marked[static_cast<std::size_t>(ctx.lineIndex)] = 0;
}

bool AnyLineMarked(const CompilerContext& ctx) {
    return std::find(ctx.errors.marked.begin(), ctx.errors.marked.end(), 1) !=
           ctx.errors.marked.end();
}

void StoreStatementError(CompilerContext& ctx, int code) {
    if (StoredCode(ctx, 0) == 0) StoreCode(ctx, 0, code);
    MarkError(ctx);
}

void SettleLineVerdict(CompilerContext& ctx) {
    if (!CurrentRowExists(ctx)) return;
    const auto& row = ctx.errors.rows[static_cast<std::size_t>(ctx.lineIndex)];
    const bool hasCode = std::any_of(row.begin(), row.end(), [](std::int32_t c) { return c != 0; });
    const bool hasMessage = std::any_of(row.begin(), row.end(), [&](std::int32_t c) {
        return !ErrorMessage(c, ctx.generation).empty();
    });
    if (hasCode) MarkError(ctx);
    if (ctx.errors.marked[static_cast<std::size_t>(ctx.lineIndex)] && !hasMessage)
        StoreCode(ctx, 0, StatementErrorCode(ctx.generation));
}

std::string_view StatementWord(const CompilerContext& ctx, int k) {
    const long index = static_cast<long>(ctx.wordCursor) + k;
    if (index < 0 || index >= static_cast<long>(ctx.words.size())) return {};
    return ctx.words[static_cast<std::size_t>(index)];
}

void CheckEveryLine(CompilerContext& ctx, const std::vector<SourceLine>& lines,
                    void (*checkLine)(CompilerContext&)) {
    ctx.inSequencePart = false;
    ctx.lineInPart = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        BeginLine(ctx, static_cast<int>(i), lines[i]);
        checkLine(ctx);
        SettleLineVerdict(ctx);
    }
}

void BeginLine(CompilerContext& ctx, int index, const SourceLine& source) {
    ctx.lineIndex = index;
    ctx.line = source.text;
    ctx.words.clear();
    ctx.wordCount = 0;
    ctx.wordCursor = 0;
    ctx.operands = {};
    ctx.jumpArithmeticFailed = false;
}

void EmitRow(CompilerContext& ctx) {
    ctx.rows.push_back({WithoutBlanks(ctx.line), ctx.lineIndex});
}

void EmitQuotedLine(CompilerContext& ctx) {
    const std::size_t bar = ctx.line.find('|');
    ctx.line.erase(0, (bar != std::string::npos ? bar : ctx.line.find('"')) + 1);
    EmitRow(ctx);
}

bool HandleCommonLineForms(CompilerContext& ctx) {
    if (Contains(ctx.line, "\"")) {
        EmitQuotedLine(ctx);
        ++ctx.lineInPart;
        return true;
    }
    if (Contains(ctx.line, "DEFSMB")) return true;
    ctx.words = ScanWords(ctx.line);
    ctx.wordCount = static_cast<int>(ctx.words.size());
    if (!Contains(ctx.line, ":")) return false;
    if (CheckMarkerLine(ctx.words, ctx.line)) {
        EmitRow(ctx);
        ++ctx.lineInPart;
    } else {
        StoreCode(ctx, 0, kCodeMarkerLine);
        MarkError(ctx);
    }
    return true;
}

} // namespace kaso::compiler
