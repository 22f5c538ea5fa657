// The first generation's statement check: the checker for the statement's word count judges
// the line, and its verdict goes into the line's slots and mark in one place. Lines of no word
// or of eight and more words are not checked here.
#include "Compiler.h"
#include "Gen1Statement.h"

#include <iterator>

namespace kaso::compiler {

void CheckStatementGen1(CompilerContext& ctx) {
    using namespace gen1;
    using Checker = Verdict (*)(Statement&);
    static constexpr Checker kCheckers[] = {
        CheckStatementWords1, CheckStatementWords2, CheckStatementWords3, CheckStatementWords4,
        CheckStatementWords5, CheckStatementWords6, CheckStatementWords7,
    };
    if (ctx.wordCount < 1 || ctx.wordCount > static_cast<int>(std::size(kCheckers))) return;
    Statement statement(ctx);
    statement.Apply(kCheckers[ctx.wordCount - 1](statement));
}

} // namespace kaso::compiler
