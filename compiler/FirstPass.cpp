// The first pass: learns labels ("NAME|") and symbols ("DEFSMB NAME VALUE") before any line is
// checked, so that jumps may go forward.
//
// A label's number is the step its line has within its part: the line's number in the part less
// the lines of that part that hold no step (empty lines, comment lines, lines without brackets).
// "SQ" and "/SQ" lines start the numbering again. A label error ends the compile at once; a
// symbol error is recorded and the pass goes on.
#include "Compiler.h"

#include <algorithm>

namespace kaso::compiler {

namespace {

bool HoldsAnyBracket(std::string_view text) {
    return text.find_first_of("()[]") != std::string_view::npos;
}

std::string WithoutControls(std::string_view text) {
    std::string kept;
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) kept.push_back(c);
    return kept;
}

// The label's name: the text before the first '|', blanks removed, starting after a double
// quote that stands before the '|'.
std::string LabelName(std::string_view line) {
    std::string text;
    for (char c : line)
        if (c != ' ') text.push_back(c);
    const std::size_t bar = text.find('|');
    const std::size_t quote = text.find('"');
    const std::size_t start = (quote != std::string::npos && quote < bar) ? quote + 1 : 0;
    return text.substr(start, bar - start);
}

bool LearnLabel(CompilerContext& ctx, std::string_view line, int number) {
    if (static_cast<int>(ctx.labels.size()) >= kMaxLabels) {
        StoreCode(ctx, 0, kCodeTooManyLabels);
        MarkError(ctx);
        return false;
    }
    std::string name = LabelName(line);
    if (name.size() > kMaxLabelNameLength) {
        StoreCode(ctx, 0, kCodeLabelTooLong);
        MarkError(ctx);
        return false;
    }
    ctx.labels.push_back({std::move(name), number});
    return true;
}

int SymbolError(const CompilerContext& ctx, std::string_view line, Symbol& symbol) {
    std::string text;
    for (char c : line.substr(line.find("DEFSMB")))
        if (c != ' ' || text.empty() || text.back() != ' ') text.push_back(c);
    std::string_view rest = std::string_view(text).substr(6);
    if (rest.empty() || rest[0] != ' ') return kCodeSymbolMalformed;
    rest.remove_prefix(1);
    const std::size_t nameEnd = rest.find(' ');
    if (nameEnd == std::string_view::npos) return kCodeSymbolMalformed;
    symbol.name = WithoutControls(rest.substr(0, nameEnd));
    symbol.value = WithoutControls(rest.substr(nameEnd + 1));
    while (!symbol.value.empty() && symbol.value.back() == ' ')
        symbol.value.pop_back();
    if (symbol.name.empty() || symbol.value.empty()) return kCodeSymbolMalformed;
    if (symbol.name.size() > kMaxSymbolNameLength || symbol.value.size() > kMaxSymbolValueLength)
        return kCodeSymbolTooLong;
    if (static_cast<int>(ctx.symbols.size()) >= kMaxSymbols) return kCodeTooManySymbols;
    return 0;
}

void LearnSymbol(CompilerContext& ctx, std::string_view line) {
    ctx.symbolsPresent = true;
    Symbol symbol;
    if (const int code = SymbolError(ctx, line, symbol); code != 0) {
        StoreCode(ctx, 0, code);
        MarkError(ctx);
        return;
    }
    ctx.symbols.push_back(std::move(symbol));
}

bool OpensOrClosesSequence(std::string_view line) {
    return line.find("SQ\n") != std::string_view::npos ||
           line.find("SQ ") != std::string_view::npos;
}

} // namespace

bool RunFirstPass(CompilerContext& ctx, const std::vector<SourceLine>& lines) {
    int lineInPart = 0;
    int nonStepLines = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        ctx.lineIndex = static_cast<int>(i);
        const std::string& text = lines[i].text;
        bool counted = false;
        if (text == "\n" || (lines[i].hadComment && !Contains(text, "(") && !Contains(text, "[") &&
                             !Contains(text, "|"))) {
            ++nonStepLines;
            counted = true;
        }
        if (Contains(text, "|") && !LearnLabel(ctx, text, lineInPart - nonStepLines)) return false;
        if (text.find("DEFSMB") != std::string::npos) LearnSymbol(ctx, text);
        if (OpensOrClosesSequence(text)) {
            lineInPart = 0;
            nonStepLines = 0;
            counted = true;
        }
        if (!counted && !HoldsAnyBracket(text)) ++nonStepLines;
        ++lineInPart;
    }
    return true;
}

} // namespace kaso::compiler
