// The first generation's statement check: judges one statement against the keyword tables by
// the classes of its words and the places of its operator characters, storing error codes in
// the line's slots. Until the checkers by word count are in place it accepts every statement it
// is given: slot 0 cleared and the line's mark withdrawn.
#include "Compiler.h"

namespace kaso::compiler {

void CheckStatementGen1(CompilerContext& ctx) {
    StoreCode(ctx, 0, 0);
    WithdrawMark(ctx);
}

} // namespace kaso::compiler
