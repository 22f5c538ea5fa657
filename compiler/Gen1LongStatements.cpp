// Statements of six and seven words: mostly conditions with a bit index or a status comparison
// followed by a jump ("(#RDY,1=1)WAIT 5 ..." , "(%A=#RDY)GOTO LOOP ..."), or an indexed
// condition followed by an assignment. A seven-word line is only the first of these forms;
// what stands after its jump label is not looked at.
#include "Gen1Statement.h"

namespace kaso::compiler::gen1 {

namespace {

// Word 3 a mailbox word and word 4 its jump label, after a closed condition.
Verdict CheckJumpAfterCondition(Statement& s) {
    if (!s.Closed()) return Fail(kActionSyntax);
    if (!s.Mailbox(3)) return Fail(kActionSpelling);
    return s.Label(4) ? Accepted() : s.LabelFailure(kLabelUnknown);
}

Verdict CheckIndexedActionForm0(Statement& s) {
    if (s.Variable(4)) {
        if (!s.HasComparison()) return Fail(kActionSyntax);
        if (!s.VariableNumberOrLabel(5)) return FailAt(1, kActionSpelling);
        return s.VariableNumberOrLabel(6) ? Accepted() : Fail(kActionSpelling);
    }
    if (s.Mailbox(4)) return s.Label(5) ? Accepted() : s.LabelFailure(kLabelUnknown);
    return FailAt(2, kActionSpelling);
}

// Words 4 to 6 as "status ,index = number" with the index right after the status word.
Verdict CheckIndexedStatusAction(Statement& s) {
    if (!s.Number(5)) return Fail(kActionSpelling);
    if (!s.HasComparison()) return Fail(kActionSyntax);
    return s.Number(6) ? Accepted() : Fail(kActionSpelling);
}

Verdict CheckIndexedActionForm1(Statement& s) {
    if (s.Status(4)) {
        if (s.CommaDigitInAction()) return CheckIndexedStatusAction(s);
        if (!s.HasComparison()) return FailAt(1, kActionSyntax);
        return s.Status(5) && s.Number(6) ? Accepted() : Fail(kActionSpelling);
    }
    // "WAIT 5" with an address operand: the comparison decides; no word after word 6 is read.
    if (s.Mailbox(4)) {
        if (!s.Number(5)) return Fail(kActionSpelling);
        return s.HasComparison() ? Accepted() : Fail(kActionSyntax);
    }
    if (s.Number(4)) {
        if (!s.CommaDigitInAction()) return Fail(kActionSpelling);
        return CheckIndexedStatusAction(s);
    }
    return Fail(kActionSpelling);
}

// "(#RDY,1=1)..." : a status word or number with its bit index.
Verdict CheckIndexedCondition(Statement& s) {
    if (!s.HasIndex() || !s.Number(2)) return Fail(kConditionSpelling);
    if (!s.ComparisonInCondition()) return Fail(kConditionSyntax);
    if (!s.Number(3)) return Fail(kConditionSpelling);
    if (!s.Closed()) return Fail(kConditionSyntax);
    return s.FindActionForm() == 1 ? CheckIndexedActionForm1(s) : CheckIndexedActionForm0(s);
}

Verdict CheckAddressCondition(Statement& s) {
    if (s.Status(1) || s.Number(1)) return CheckIndexedCondition(s);
    if (s.Hex(1)) {
        if (!s.ComparisonInCondition()) return Fail(kConditionSyntax);
        if (!s.Hex(2)) return Fail(kConditionSpelling);
        return CheckJumpAfterCondition(s);
    }
    if (s.Mailbox(1)) {
        if (!s.ComparisonInCondition()) return Fail(kConditionSyntax);
        if (!s.Variable(2)) return Fail(kActionSpelling);
        return CheckJumpAfterCondition(s);
    }
    return FailAt(3, kConditionSpelling);
}

// Word 2 and word 3 numbers after a compared user variable: "(%A=5,1)..." and the like.
Verdict CheckVariableWithNumbers(Statement& s) {
    if (!s.Closed()) return Fail(kActionSyntax);
    if (s.Variable(4)) {
        const bool passes = s.CommaDigitInAction() && s.Number(5) && s.HasComparison();
        return passes ? Accepted() : Fail(kActionSyntax);
    }
    if (s.FindActionForm() == 0) return FailAt(1, kActionSpelling);
    if (!s.Status(4)) return Fail(kActionSpelling);
    const bool passes = s.CommaDigitInAction() && s.Number(5) && s.HasComparison();
    if (!passes) return Fail(kActionSyntax);
    return s.Number(6) ? Accepted() : Fail(kActionSpelling);
}

Verdict CheckVariableCondition(Statement& s) {
    if (!s.Variable(1)) return FailAt(2, kConditionSpelling);
    if (!s.ComparisonInCondition()) return Fail(kConditionSyntax);
    if (s.Status(2) || s.Mailbox(2)) return CheckJumpAfterCondition(s);
    if (!s.Number(2)) return FailAt(2, kConditionSpelling);
    if (!s.Number(3)) return s.Label(3) ? Accepted() : s.LabelFailure(kActionSpelling);
    return CheckVariableWithNumbers(s);
}

} // namespace

Verdict CheckStatementWords6(Statement& s) {
    if (!s.HasConditionBracket()) return Fail(kConditionSyntax);
    if (s.FindConditionForm() == 1) return CheckAddressCondition(s);
    if (s.Bit(1)) {
        if (!s.ComparisonInCondition()) return Fail(kConditionSyntax);
        if (!s.Number(2)) return Fail(kConditionSpelling);
        return CheckJumpAfterCondition(s);
    }
    return CheckVariableCondition(s);
}

Verdict CheckStatementWords7(Statement& s) {
    if (!s.HasConditionBracket()) return Fail(kConditionSyntax);
    const bool indexedStatus = s.FindConditionForm() == 1 && s.Status(1) && s.HasIndex();
    if (!indexedStatus || !s.Number(2)) return Fail(kConditionSpelling);
    if (!s.ComparisonInCondition()) return Fail(kConditionSyntax);
    if (!s.Number(3)) return Fail(kConditionSpelling);
    if (!s.Closed()) return Fail(kActionSyntax);
    if (!s.Mailbox(4)) return Fail(kActionSpelling);
    return s.Label(5) ? Accepted() : s.LabelFailure(kLabelUnknown);
}

} // namespace kaso::compiler::gen1
