// The line under check as the checkers see it: its words counted from the cursor, the class of
// each word in the keyword tables, the shape of the line and the verdict a checker hands back.
//
// A verdict is applied once, at the end of the check, so the codes in the slots and the line's
// mark always agree: a failed line carries at least one code, an accepted one none. The one
// exception is a jump resolution in a line without any jump keyword, which stores 43 and marks
// the line itself; that verdict stands unless the checker withdraws the mark.
#include "Gen1Statement.h"

#include <algorithm>

namespace kaso::compiler::gen1 {

Verdict Accepted() {
    return {};
}

Verdict MarkWithdrawn() {
    return {Verdict::Kind::MarkWithdrawn, {}};
}

Verdict Fail(int code) {
    return FailAt(0, code);
}

Verdict FailAt(int slot, int code) {
    Verdict verdict{Verdict::Kind::Failed, {}};
    verdict.slots.at(static_cast<std::size_t>(slot)) = code;
    return verdict;
}

Verdict FailSlots(std::initializer_list<int> codes) {
    Verdict verdict{Verdict::Kind::Failed, {}};
    std::copy_n(codes.begin(), std::min(codes.size(), verdict.slots.size()), verdict.slots.begin());
    return verdict;
}

Statement::Statement(CompilerContext& ctx) : ctx_(ctx), start_(ctx.wordCursor) {}

std::size_t Statement::Index(int k) const {
    return static_cast<std::size_t>(std::max(0, start_ + k - 1));
}

std::string_view Statement::Word(int k) const {
    const std::size_t index = Index(k);
    if (k < 1 || index >= ctx_.words.size()) return {};
    return ctx_.words[index];
}

void Statement::SplitWord(int k, std::size_t at) {
    const std::size_t index = Index(k);
    if (k < 1 || index >= ctx_.words.size() || at >= ctx_.words[index].size()) return;
    std::string rest = ctx_.words[index].substr(at);
    ctx_.words[index].resize(at);
    ctx_.words.insert(ctx_.words.begin() + static_cast<std::ptrdiff_t>(index) + 1, std::move(rest));
}

bool Statement::Mode(int k) const {
    return ctx_.keywords.mode.Contains(Word(k));
}

bool Statement::Data(int k) const {
    return ctx_.keywords.data.Contains(Word(k));
}

bool Statement::Command(int k) const {
    return ctx_.keywords.command.Contains(Word(k));
}

bool Statement::Bit(int k) const {
    return ctx_.keywords.commandBit.Contains(Word(k));
}

bool Statement::Mailbox(int k) const {
    return ctx_.keywords.mailbox.Contains(Word(k));
}

bool Statement::Number(int k) const {
    return IsNumberWord(Word(k));
}

bool Statement::Hex(int k) const {
    return IsHexOperand(Word(k));
}

bool Statement::And(int k) const {
    return ctx_.keywords.andWords.Contains(Word(k));
}

bool Statement::Or(int k) const {
    return ctx_.keywords.orWords.Contains(Word(k));
}

bool Statement::Not(int k) const {
    return ctx_.keywords.notWords.Contains(Word(k));
}

bool Statement::Status(int k) {
    // The rewrite stands in the word table, so the later tests of the line see it.
    const std::size_t index = Index(k);
    if (k >= 1 && index < ctx_.words.size() && ctx_.words[index].starts_with('!') &&
        !LineHas("!!!"))
        ctx_.words[index] = ctx_.words[index].substr(1, 4);
    return ctx_.keywords.status.Contains(Word(k));
}

bool Statement::Variable(int k) {
    ctx_.wordCursor = start_ + k - 1;
    return IsDefinedVariable(ctx_.variables, Word(k), Text());
}

bool Statement::PercentWord(int k) {
    return Word(k).find('%') != std::string_view::npos && !Variable(k);
}

bool Statement::Comment(int k) {
    ctx_.wordCursor = start_ + k - 1;
    return LineHas("@") && IsShortWord(Word(k));
}

bool Statement::CountedMailbox(int k) const {
    const std::string_view word = Word(k);
    return word.size() > 4 && ctx_.keywords.mailbox.Contains(word.substr(0, 4));
}

bool Statement::CountIsNumber(int k) const {
    return IsNumberWord(CountDigits(Word(k)));
}

bool Statement::Label(int k) {
    ctx_.wordCursor = start_ + k - 1;
    if (ResolveJumpTarget(ctx_)) return true;
    if (FindJumpKeyword(ctx_.line) == std::string::npos) noJumpKeyword_ = true;
    return false;
}

bool Statement::VariableNumberOrLabel(int k) {
    return Variable(k) || Number(k) || Label(k);
}

std::string Statement::Text() const {
    return WithoutBlanks(ctx_.line);
}

bool Statement::LineHas(std::string_view part) const {
    return Text().find(part) != std::string::npos;
}

bool Statement::HasConditionBracket() const {
    return gen1::HasConditionBracket(Text(), ctx_.inSequencePart);
}

int Statement::BracketShape() const {
    return gen1::BracketShape(Text());
}

bool Statement::ComparisonInCondition() {
    if (ctx_.operands.comparisonSeen || !ComparisonBeforeClose(Text())) return false;
    ctx_.operands.comparisonSeen = true;
    return true;
}

bool Statement::HasComparison() const {
    return gen1::HasComparison(Text());
}

int Statement::FindConditionForm() {
    ctx_.operands.conditionForm = gen1::FindConditionForm(Text());
    return ctx_.operands.conditionForm;
}

int Statement::FindActionForm(bool withNotRule) {
    ctx_.operands.actionForm = gen1::FindActionForm(Text(), withNotRule);
    return ctx_.operands.actionForm;
}

int Statement::CommaDigitInCondition() const {
    return gen1::CommaDigitInCondition(Text());
}

bool Statement::CommaDigitInAction() const {
    return gen1::CommaDigitInAction(Text());
}

Verdict Statement::LabelFailure(int code) const {
    return Fail(noJumpKeyword_ ? kConditionSyntax : code);
}

void Statement::Apply(const Verdict& verdict) {
    for (int slot = 0; slot < kCheckerSlots; ++slot)
        StoreCode(ctx_, slot, verdict.slots[static_cast<std::size_t>(slot)]);
    switch (verdict.kind) {
    case Verdict::Kind::Accepted:
        if (noJumpKeyword_) {
            StoreCode(ctx_, 0, kConditionSyntax);
            MarkError(ctx_);
        } else {
            WithdrawMark(ctx_);
        }
        break;
    case Verdict::Kind::MarkWithdrawn:
        WithdrawMark(ctx_);
        break;
    case Verdict::Kind::Failed:
        MarkError(ctx_);
        break;
    }
}

} // namespace kaso::compiler::gen1
