// Equipment of the first generation's statement tests: a keyword library with words of every
// class, a program around the statement under test with three user variables and a label, and
// the check of one statement's slots, mark, row and listing messages.
#pragma once

#include "CompilerTestSupport.h"

#include <array>
#include <string>

namespace kaso::compiler::test {

// One statement and what the compile must make of it: the codes of slots 0 to 5, whether the
// line fails the compile, and (where a label or jump target is rewritten) its row.
struct StatementCase {
    const char* line;
    std::array<int, 6> slots;
    bool marked;
    const char* row = nullptr;
};

// Library words: mode JOG POS ABS; data SPD TIM; status RDY INP ZSP; command SVON STOP "!!!";
// command bit OUT0 OUT1; mailbox the jump keywords, MBON MBOF MBCL, WAIT and MOV.
// User variables %A, %%BC and %X; the label LOOP stands for step 2 of the event part.
class Gen1Statements : public CompilerTest {
protected:
    void SetUp() override;
    // Compiles the statement in the event part (or the sequence part) and checks it.
    void Check(const StatementCase& statement, bool sequencePart = false);
    void CheckAll(std::initializer_list<StatementCase> statements, bool sequencePart = false);
};

// The listing line of a code, as the user reads it (UTF-8 text, converted to CP932).
std::string ExpectedMessage(int lineNumber, int code);

} // namespace kaso::compiler::test
