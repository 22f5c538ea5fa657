// Statements of five words. As with four words, the condition form and the class of word 1
// choose a block, and each block walks the condition and then the action's forms of word 3 and
// after. Typical lines: "(#RDY=1)%A=%B+5", "(#RDY,1=1)%A=5", "(%A=5)%B=%C+1" and
// "(OUT0=1)RDY,1=1".
//
// A few forms look at a word after word 5 ("(#RDY=1)WAIT 5 ..." with an address operand): a
// five-word line has none, so that word is the empty word and the form does not pass.
#include "Gen1Statement.h"

namespace kaso::compiler::gen1 {

namespace {

// "variable, number or label" for word k, else 46.
Verdict OperandOrFail(Statement& s, int k) {
    return s.VariableNumberOrLabel(k) ? Accepted() : Fail(kActionSpelling);
}

// Words 3 to 5 as "status ,index = number": word 3 already judged, then the index, the operator
// and the value.
Verdict CheckIndexedOperand(Statement& s, int indexCode) {
    if (!s.CommaDigitInAction()) return Fail(kActionSpelling);
    if (!s.Number(4)) return Fail(indexCode);
    if (!s.HasComparison()) return Fail(kActionSyntax);
    return s.Number(5) ? Accepted() : Fail(kActionSpelling);
}

// "%A=X+Y" with X and Y variables, numbers or labels.
Verdict CheckAssignmentOperands(Statement& s) {
    if (!s.HasComparison()) return Fail(kActionSyntax);
    if (!s.VariableNumberOrLabel(4)) return Fail(kActionSpelling);
    return OperandOrFail(s, 5);
}

// A mailbox word 3 with a number and an address operand after it: the operand would be the word
// after word 5, which a five-word line does not have.
Verdict CheckMailboxWithOperand(Statement& s) {
    if (!s.Number(4)) return Fail(kActionSpelling);
    if (!s.HasComparison()) return Fail(kActionSyntax);
    return OperandOrFail(s, 6);
}

Verdict CheckMailboxCondition(Statement& s) {
    if (!s.ComparisonInCondition()) return Fail(kConditionSyntax);
    if (!s.Number(2)) {
        if (!s.Variable(2)) return FailAt(1, kConditionSpelling);
        if (!s.Closed()) return Fail(kConditionSyntax);
        if (!s.Mailbox(3)) return Fail(kConditionSpelling);
        return s.Label(4) ? Accepted() : s.LabelFailure(kLabelUnknown);
    }
    if (!s.Closed()) return Fail(kActionSyntax);
    if (s.Variable(3)) {
        if (!s.HasComparison()) return Fail(kActionSyntax);
        if (s.Variable(4)) {
            if (s.Variable(5)) {
                if (!s.CommaDigitInAction()) return Fail(kActionSpelling);
                return s.Number(5) ? Accepted() : Fail(kActionSpelling);
            }
            if (s.PercentWord(5)) return Fail(kVariableUndefined);
            return s.Number(5) || s.Label(5) ? Accepted() : Fail(kActionSpelling);
        }
        if (s.PercentWord(4)) return Fail(kVariableUndefined);
        if (s.Number(4)) return s.Label(5) ? Accepted() : s.LabelFailure(kActionSpelling);
        return s.Label(4) ? Accepted() : s.LabelFailure(kActionSpelling);
    }
    return s.PercentWord(3) ? Fail(kVariableUndefined) : Accepted();
}

// A hex word 1 with its bit index: "(#1F,1=1)WAIT 5".
Verdict CheckIndexedHex(Statement& s) {
    if (!s.Number(2)) return Fail(kConditionSpelling);
    if (!s.ComparisonInCondition()) return Fail(kConditionSyntax);
    if (!s.Number(3)) return Fail(kConditionSpelling);
    if (!s.Mailbox(4)) return Fail(kConditionSpelling);
    return s.Number(5) || s.Label(5) ? Accepted() : FailAt(1, kLabelUnknown);
}

Verdict CheckHexAfterNumber(Statement& s) {
    if (!s.Closed()) return Fail(kActionSyntax);
    if (s.FindActionForm() == 1) {
        if (!s.Status(3)) return Fail(kActionSpelling);
        return CheckIndexedOperand(s, kActionSpelling);
    }
    if (!s.Variable(3)) return FailAt(1, kActionSpelling);
    if (s.CommaDigitInAction()) {
        if (!s.Number(4)) return Fail(kActionSpelling);
        if (!s.HasComparison()) return Fail(kActionSyntax);
        return s.Number(5) ? Accepted() : Fail(kActionSpelling);
    }
    // Any word 4 of no operand class is a spelling error of the action.
    return CheckAssignmentOperands(s);
}

Verdict CheckHexAfterHex(Statement& s) {
    if (!s.Closed()) return FailAt(1, kActionSyntax);
    if (s.FindActionForm() == 0) {
        if (!s.Variable(3)) return Fail(kActionSpelling);
        return CheckAssignmentOperands(s);
    }
    if (s.Status(3) || s.Number(3)) return CheckIndexedOperand(s, kActionSpelling);
    return FailAt(1, kActionSpelling);
}

Verdict CheckHexCondition(Statement& s) {
    if (s.HasIndex()) return CheckIndexedHex(s);
    if (!s.ComparisonInCondition()) return FailAt(1, kActionSyntax);
    if (s.Number(2)) return CheckHexAfterNumber(s);
    if (s.Hex(2)) return CheckHexAfterHex(s);
    if (s.Variable(2)) {
        if (!s.Closed()) return Fail(kActionSyntax);
        if (!s.Variable(3)) return Fail(kActionSpelling);
        return CheckIndexedOperand(s, kActionSpelling);
    }
    return FailAt(2, kActionSpelling);
}

Verdict CheckIndexedActionForm1(Statement& s) {
    if (s.Hex(4)) {
        if (!s.HasComparison()) return Fail(kActionSyntax);
        return s.Number(5) || s.Variable(5) || s.Hex(5) ? Accepted()
                                                        : FailAt(2, kConditionSpelling);
    }
    if (s.Variable(4)) {
        if (!s.HasComparison()) return Fail(kActionSyntax);
        return s.Number(5) || s.Status(5) ? Accepted() : FailAt(1, kActionSpelling);
    }
    if (s.Mailbox(4) || s.Status(4)) {
        if (!s.HasComparison()) return Fail(kActionSyntax);
        return s.Number(5) ? Accepted() : Fail(kActionSpelling);
    }
    return FailAt(3, kActionSpelling);
}

Verdict CheckIndexedActionForm0(Statement& s) {
    if (s.Variable(4)) {
        if (!s.HasComparison()) return Fail(kActionSyntax);
        if (s.Variable(5)) return Accepted();
        if (s.PercentWord(5)) return Fail(kVariableUndefined);
        return s.Number(5) || s.Label(5) ? Accepted() : Fail(kActionSpelling);
    }
    if (s.PercentWord(4)) return Fail(kVariableUndefined);
    if (s.Mailbox(4)) {
        if (s.Label(5)) return Accepted();
        return s.Number(5) || s.Variable(5) ? MarkWithdrawn() : FailAt(2, kActionSpelling);
    }
    if (s.Data(4)) {
        if (!s.HasComparison()) return Fail(kActionSyntax);
        return s.Variable(5) || s.Number(5) ? Accepted() : FailAt(1, kActionSpelling);
    }
    if (s.Bit(4)) {
        if (!s.HasComparison()) return Fail(kActionSyntax);
        return s.Number(5) ? Accepted() : FailAt(1, kActionSpelling);
    }
    return FailAt(3, kActionSpelling);
}

// A status word or number with its bit index: "(#RDY,1=1)%A=5".
Verdict CheckIndexedCondition(Statement& s) {
    if (!s.Number(2)) return Fail(kConditionSpelling);
    if (!s.ComparisonInCondition()) return Fail(kConditionSyntax);
    if (!s.Number(3)) return Fail(kConditionSpelling);
    if (!s.Closed()) return Fail(kConditionSyntax);
    return s.FindActionForm() == 1 ? CheckIndexedActionForm1(s) : CheckIndexedActionForm0(s);
}

// A status word or number compared without bit index: "(#RDY=1)%A=%B+5".
Verdict CheckStatusCondition(Statement& s) {
    if (!s.ComparisonInCondition()) return FailAt(1, kConditionSyntax);
    if (!s.Number(2)) return Fail(kConditionSpelling);
    if (!s.Closed()) return Fail(kActionSyntax);
    if (s.Variable(3)) {
        if (!s.HasComparison()) return Fail(kActionSyntax);
        if (!s.VariableNumberOrLabel(4)) return Fail(kActionSpelling);
        return s.Number(5) || s.Variable(5) || s.Label(5) ? Accepted() : Fail(kActionSpelling);
    }
    if (s.Status(3)) return CheckIndexedOperand(s, kActionSpelling);
    if (s.FindActionForm() == 0) return FailAt(2, kActionSpelling);
    if (s.Number(3)) return CheckIndexedOperand(s, kActionSpelling);
    if (s.Mailbox(3)) return CheckMailboxWithOperand(s);
    return Fail(kActionSpelling);
}

// A user variable with a bit index in the condition: "(%A,1=1)WAIT 5".
Verdict CheckIndexedVariable(Statement& s) {
    if (!s.Number(2)) return Fail(kConditionSpelling);
    if (!s.ComparisonInCondition()) return Fail(kConditionSyntax);
    if (!s.Number(3)) return Fail(kConditionSpelling);
    if (!s.Closed()) return Fail(kConditionSyntax);
    if (s.Mailbox(4)) return s.Number(5) || s.Label(5) ? Accepted() : s.LabelFailure(kLabelUnknown);
    if (s.Bit(4)) return Accepted();
    if (s.FindActionForm() == 0 || !s.Number(4)) return Fail(kActionSpelling);
    return s.Number(5) || s.Variable(5) ? Accepted() : Fail(kActionSpelling);
}

// Form 2, word 2 a status word: "(%A=#RDY)%B=%C+1".
Verdict CheckVariableAgainstStatus(Statement& s) {
    if (!s.Closed()) return Fail(kActionSyntax);
    if (s.Variable(3)) {
        if (!s.HasComparison()) return Fail(kActionSyntax);
        if (s.Variable(4) || s.Number(4) || s.Hex(4) || s.Label(4)) {
            if (s.Variable(5)) return Accepted();
            if (s.PercentWord(5)) return Fail(kVariableUndefined);
            return s.And(5) || s.Or(5) || s.Number(5) || s.Label(5) ? Accepted()
                                                                    : Fail(kActionSpelling);
        }
        return s.PercentWord(4) ? Fail(kVariableUndefined) : Accepted();
    }
    if (s.PercentWord(3)) return Fail(kVariableUndefined);
    if (s.Mailbox(3)) {
        if (!s.Number(4)) return Fail(kActionSpelling);
        if (!s.HasComparison()) return Fail(kActionSyntax);
        return OperandOrFail(s, 5);
    }
    if (s.Status(3)) return CheckIndexedOperand(s, kConditionSpelling);
    return FailAt(1, kActionSpelling);
}

// Word 1 a user variable compared with an address form, without bit index.
Verdict CheckVariableForm2(Statement& s) {
    if (!s.ComparisonInCondition()) return Fail(kConditionSyntax);
    if (s.Status(2)) return CheckVariableAgainstStatus(s);
    if (s.Number(2)) {
        if (!s.Closed()) return Fail(kActionSyntax);
        if (!s.Variable(3)) return Fail(kActionSpelling);
        if (s.CommaDigitInAction()) {
            if (!s.Number(4)) return Fail(kActionSpelling);
            if (!s.HasComparison()) return Fail(kActionSyntax);
            return s.Number(5) ? Accepted() : Fail(kActionSpelling);
        }
        return CheckAssignmentOperands(s);
    }
    if (s.Mailbox(2)) {
        if (!s.Closed()) return Fail(kActionSyntax);
        if (s.Mailbox(3)) return s.Label(4) ? Accepted() : s.LabelFailure(kLabelUnknown);
        if (!s.Variable(3)) return Fail(kActionSpelling);
        return CheckAssignmentOperands(s);
    }
    return FailSlots({0, kActionSpelling, kConditionSpelling});
}

// The action after "(%A=5)" or "(%A=%B)" with an address or status operand.
Verdict CheckVariableConditionForm1(Statement& s) {
    if (s.Status(3)) return CheckIndexedOperand(s, kActionSpelling);
    if (s.Mailbox(3)) return CheckMailboxWithOperand(s);
    return Fail(kActionSpelling);
}

// Word 1 a user variable in a condition without address form or bit index.
Verdict CheckVariableForm0(Statement& s) {
    if (!s.ComparisonInCondition()) return Fail(kConditionSyntax);
    if (s.Number(2)) {
        if (!s.Closed()) return Fail(kActionSyntax);
        if (s.FindActionForm() == 1) return CheckVariableConditionForm1(s);
        if (s.Variable(3)) {
            if (!s.HasComparison()) return Fail(kActionSyntax);
            if (!s.VariableNumberOrLabel(4)) return FailAt(1, kActionSpelling);
            return OperandOrFail(s, 5);
        }
        if (!s.Mailbox(3)) return Fail(kActionSyntax);
        return s.Label(4) ? Accepted() : s.LabelFailure(kActionSyntax);
    }
    if (s.Variable(2)) {
        if (!s.Closed()) return Fail(kActionSyntax);
        if (s.Variable(3)) {
            if (!s.HasComparison()) return Fail(kActionSyntax);
            if (!s.VariableNumberOrLabel(4)) return Fail(kActionSpelling);
            if (!s.HasComparison()) return Fail(kActionSyntax);
            return OperandOrFail(s, 5);
        }
        if (s.FindActionForm() == 0) return Fail(kActionSpelling);
        return CheckVariableConditionForm1(s);
    }
    if (s.Data(2)) {
        if (!s.Closed()) return Fail(kConditionSyntax);
        if (!s.Variable(3)) return Fail(kActionSpelling);
        return CheckAssignmentOperands(s);
    }
    return FailAt(2, kActionSpelling);
}

// Word 1 a command-bit word: "(OUT0=1)%A=%B+1".
Verdict CheckBitCondition(Statement& s) {
    if (!s.ComparisonInCondition()) return Fail(kActionSyntax);
    if (!s.Number(2)) return Fail(kActionSpelling);
    if (!s.Closed()) return Fail(kActionSyntax);
    if (s.Mailbox(3)) return CheckMailboxWithOperand(s);
    if (s.FindActionForm() == 1) {
        if (s.Status(3)) {
            if (s.CommaDigitInAction()) {
                if (!s.Number(4)) return Fail(kActionSpelling);
                if (!s.HasComparison()) return Fail(kActionSyntax);
                return s.Number(5) ? Accepted() : Fail(kActionSpelling);
            }
            if (!s.HasComparison()) return FailAt(1, kActionSyntax);
            if (!s.Status(4)) return Fail(kActionSpelling);
            return s.Number(5) ? Accepted() : Fail(kActionSpelling);
        }
        if (s.Number(3)) return CheckIndexedOperand(s, kActionSpelling);
        return FailAt(1, kActionSpelling);
    }
    if (!s.Variable(3)) return FailAt(2, kActionSpelling);
    if (!s.HasComparison()) return Fail(kActionSyntax);
    if (!s.VariableNumberOrLabel(4)) return FailAt(1, kActionSpelling);
    return OperandOrFail(s, 5);
}

// Word 1 a data word: "(SPD=5)%A=%B+1".
Verdict CheckDataCondition(Statement& s) {
    if (!s.ComparisonInCondition()) return Fail(kConditionSyntax);
    if (!s.Number(2)) return Fail(kConditionSpelling);
    if (!s.Closed()) return Fail(kActionSyntax);
    if (!s.Variable(3)) return Fail(kActionSpelling);
    if (s.CommaDigitInAction()) {
        if (!s.Number(4)) return Fail(kActionSpelling);
        return s.HasComparison() ? Accepted() : Fail(kActionSyntax);
    }
    return CheckAssignmentOperands(s);
}

Verdict CheckAddressCondition(Statement& s) {
    if (s.Status(1) || s.Number(1))
        return s.HasIndex() ? CheckIndexedCondition(s) : CheckStatusCondition(s);
    if (s.Hex(1)) return CheckHexCondition(s);
    if (s.Mailbox(1)) return CheckMailboxCondition(s);
    return FailAt(3, kActionSpelling);
}

} // namespace

Verdict CheckStatementWords5(Statement& s) {
    if (!s.HasConditionBracket()) return Fail(kConditionSyntax);
    const int conditionForm = s.FindConditionForm();
    if (conditionForm == 1) return CheckAddressCondition(s);
    if (s.Variable(1)) {
        if (s.HasIndex()) return CheckIndexedVariable(s);
        return conditionForm == 2 ? CheckVariableForm2(s) : CheckVariableForm0(s);
    }
    if (s.PercentWord(1)) return Fail(kVariableUndefined);
    if (s.Bit(1)) return CheckBitCondition(s);
    if (s.Data(1)) return CheckDataCondition(s);
    return FailAt(2, kConditionSpelling);
}

} // namespace kaso::compiler::gen1
