// Statements of three words: a condition of two words and a one-word action ("(#RDY=1)JOG",
// "(%A=5)GOTO LOOP" counts the jump as its action), a condition of one word and a two-word
// action, or an action of three words after an empty condition ("()%A=%B+1").
#include "Gen1Statement.h"

namespace kaso::compiler::gen1 {

namespace {

// Word 3 as the action after a command-bit condition ("(OUT0=1)JOG").
Verdict CheckActionAfterBit(Statement& s) {
    if (s.Mode(3) || s.Mailbox(3)) return Accepted();
    if (s.CountedMailbox(3)) return s.CountIsNumber(3) ? Accepted() : Fail(kConditionSpelling);
    if (s.Command(3)) return Accepted();
    if (s.LineHas("@")) return s.Comment(3) ? Accepted() : Fail(kActionSpelling);
    return s.Not(3) ? Accepted() : FailAt(3, kActionSpelling);
}

Verdict CheckBitCondition(Statement& s) {
    if (!s.ComparisonInCondition()) return Fail(kConditionSyntax);
    if (!s.Number(2)) return Fail(kConditionSpelling);
    if (!s.Closed()) return Fail(kConditionSyntax);
    return CheckActionAfterBit(s);
}

// "()%A=..." : a user variable given a value, a number, a hex operand or a jump label, with an
// optional second operand.
Verdict CheckVariableAssignment(Statement& s) {
    if (!s.HasComparison()) {
        if (!s.CommaDigitInAction()) return FailAt(1, kActionSpelling);
        return s.Number(1) && s.Number(2) ? Accepted() : Fail(kActionSpelling);
    }
    if (s.Variable(2) || s.Number(2) || s.Hex(2) || s.Label(2)) {
        if (s.Variable(3) || s.Number(3) || s.And(3) || s.Or(3) || s.Label(3)) return Accepted();
        return Fail(kActionSpelling);
    }
    return s.Word(2).find('%') != std::string_view::npos ? Fail(kVariableUndefined)
                                                         : Fail(kActionSpelling);
}

// A status word, a mailbox word or a number with the address operand of an action:
// "()RDY,1=1", "()WAIT=5", "()RDY=INP 1".
Verdict CheckAddressAction(Statement& s) {
    if (s.Status(1)) {
        if (s.CommaDigitInAction()) {
            if (!s.Number(2)) return Fail(kActionSpelling);
            if (!s.HasComparison()) return Fail(kActionSyntax);
            return s.Number(3) ? Accepted() : Fail(kActionSpelling);
        }
        if (!s.HasComparison()) return FailAt(1, kActionSyntax);
        return s.Status(2) && s.Number(3) ? Accepted() : Fail(kActionSpelling);
    }
    if (s.Mailbox(1)) {
        if (!s.HasComparison()) return Fail(kActionSyntax);
        if (s.Mailbox(2))
            return s.Number(3) || s.Variable(3) ? Accepted() : FailAt(1, kActionSpelling);
        if (s.Number(2)) return s.Number(3) || s.Variable(3) ? Accepted() : Fail(kActionSpelling);
        return Fail(kActionSpelling);
    }
    if (s.Number(1)) {
        if (s.CommaDigitInAction()) {
            if (!s.Number(2)) return Fail(kActionSpelling);
            if (!s.HasComparison()) return Fail(kActionSyntax);
            return s.Number(3) ? Accepted() : Fail(kActionSpelling);
        }
        if (!s.HasComparison()) return FailAt(1, kActionSyntax);
        return s.Number(2) && s.Number(3) ? Accepted() : Fail(kActionSpelling);
    }
    return FailAt(2, kActionSpelling);
}

Verdict CheckEmptyCondition(Statement& s) {
    if (s.Variable(1)) return CheckVariableAssignment(s);
    if (s.PercentWord(1)) return FailAt(1, kVariableUndefined);
    if (s.FindActionForm() == 1) return CheckAddressAction(s);
    if (s.Mailbox(1)) return s.Label(2) ? Accepted() : s.LabelFailure(kLabelUnknown);
    if (s.Data(1)) {
        if (!s.HasComparison()) return Fail(kActionSyntax);
        return s.Variable(2) && s.Number(3) ? Accepted() : Fail(kActionSpelling);
    }
    return FailAt(4, kActionSpelling);
}

// In a line with '@', word 3 is a comment; without one it is not looked at.
Verdict CommentOrNothing(Statement& s) {
    if (!s.LineHas("@")) return Accepted();
    return s.Comment(3) ? Accepted() : Fail(kActionSpelling);
}

// "(%A=5)JOG", "(%A=RDY)" and the like: a user variable compared in the condition.
Verdict CheckVariableCondition(Statement& s, int conditionForm) {
    if (!s.ComparisonInCondition()) return Fail(kConditionSyntax);
    if (s.Status(2)) return s.Closed() ? CommentOrNothing(s) : Fail(kConditionSyntax);
    if (conditionForm == 2) {
        if (s.Mailbox(2)) return s.Closed() ? CommentOrNothing(s) : Fail(kConditionSyntax);
        if (!s.Number(2)) return FailAt(1, kConditionSpelling);
        if (!s.Closed()) return Fail(kConditionSyntax);
        return s.Command(3) || s.Mode(3) ? Accepted() : Fail(kConditionSpelling);
    }
    if (s.Number(2)) {
        if (!s.Closed()) return Fail(kConditionSyntax);
        if (s.Mailbox(3) || s.Command(3) || s.Mode(3)) return Accepted();
        if (s.LineHas("@")) return s.Comment(3) ? Accepted() : Fail(kActionSpelling);
        if (s.Number(3)) return s.CommaDigitInCondition() == 1 ? Accepted() : Fail(kActionSpelling);
        return s.Label(3) ? Accepted() : s.LabelFailure(kActionSpelling);
    }
    if (s.Variable(2)) {
        if (!s.Closed()) return Fail(kConditionSyntax);
        return s.Mailbox(3) || s.Mode(3) || s.Number(3) || s.Command(3) ? Accepted()
                                                                        : Fail(kConditionSpelling);
    }
    return Fail(kConditionSpelling);
}

Verdict CheckWithoutAddressCondition(Statement& s, int conditionForm) {
    if (s.Bit(1)) return CheckBitCondition(s);
    switch (s.BracketShape()) {
    case 2:
        return CheckEmptyCondition(s);
    case 0:
        return FailAt(2, kConditionSyntax);
    default:
        if (s.Variable(1)) return CheckVariableCondition(s, conditionForm);
        return s.Word(1).find('%') != std::string_view::npos ? Fail(kVariableUndefined)
                                                             : Accepted();
    }
}

// A status word or a number with its bit index: "(#RDY,1=1)" (a condition without action).
Verdict CheckIndexedCondition(Statement& s) {
    if (!s.Number(2)) return Fail(kConditionSpelling);
    if (!s.ComparisonInCondition()) return Fail(kConditionSyntax);
    if (!s.Number(3)) return Fail(kConditionSpelling);
    return s.BracketShape() != 0 ? Accepted() : Fail(kConditionSyntax);
}

Verdict CheckAddressStatus(Statement& s) {
    switch (s.CommaDigitInCondition()) {
    case 1:
        return CheckIndexedCondition(s);
    case 2:
        return Fail(kConditionSpelling);
    default:
        break;
    }
    if (!s.ComparisonInCondition()) return FailAt(1, kConditionSyntax);
    if (!s.Number(2)) return Fail(kConditionSpelling);
    if (!s.Closed()) return Fail(kConditionSyntax);
    if (s.Command(3) || s.Mode(3) || s.Mailbox(3)) return Accepted();
    if (!s.LineHas("@")) return s.Label(3) ? Accepted() : s.LabelFailure(kLabelUnknown);
    return s.Number(3) ? Accepted() : Fail(kActionSpelling);
}

Verdict CheckAddressMailbox(Statement& s) {
    if (!s.ComparisonInCondition()) return Fail(kConditionSyntax);
    if (!s.Number(2)) return Fail(kConditionSpelling);
    if (!s.Closed()) return Fail(kConditionSyntax);
    if (s.Mode(3) || s.Mailbox(3)) return Accepted();
    if (s.CountedMailbox(3)) return s.CountIsNumber(3) ? Accepted() : Fail(kConditionSpelling);
    if (s.LineHas("@")) return s.Comment(3) ? Accepted() : Fail(kActionSpelling);
    return s.Command(3) ? Accepted() : FailAt(2, kConditionSpelling);
}

Verdict CheckAddressVariable(Statement& s) {
    if (!s.ComparisonInCondition()) return Fail(kConditionSyntax);
    if (!s.Mailbox(2)) return Fail(kConditionSpelling);
    if (!s.Closed()) return Fail(kConditionSyntax);
    return s.LineHas("@") ? Accepted() : Fail(kConditionSpelling);
}

// Word 3 after a number compared in the condition: a command or mode word, or a comment.
Verdict CommandModeOrComment(Statement& s, int slot) {
    if (s.Command(3) || s.Mode(3)) return Accepted();
    if (!s.LineHas("@")) return Fail(kConditionSpelling);
    return s.Comment(3) ? Accepted() : FailAt(slot, kActionSpelling);
}

Verdict CheckAddressNumber(Statement& s) {
    if (s.CommaDigitInCondition() == 1) return CheckIndexedCondition(s);
    if (!s.ComparisonInCondition()) return FailAt(1, kConditionSyntax);
    if (s.Status(2)) {
        if (!s.Closed()) return Fail(kConditionSyntax);
        return s.Mailbox(3) || s.Label(3) ? Accepted() : FailAt(1, kLabelUnknown);
    }
    if (!s.Number(2)) return FailAt(1, kConditionSpelling);
    if (!s.Closed()) return FailAt(1, kConditionSyntax);
    return CommandModeOrComment(s, 0);
}

Verdict CheckAddressHex(Statement& s) {
    if (!s.ComparisonInCondition()) return Fail(kConditionSyntax);
    if (!s.Number(2)) return Fail(kConditionSpelling);
    if (!s.Closed()) return Fail(kConditionSyntax);
    if (s.Command(3)) return Accepted();
    if (!s.LineHas("@")) return Fail(kConditionSpelling);
    return s.Comment(3) ? Accepted() : FailAt(1, kActionSpelling);
}

// A condition that begins with an address form: "(#RDY=1)", "($WAIT=1)", "(&5=%A)".
Verdict CheckAddressCondition(Statement& s) {
    if (s.Status(1)) return CheckAddressStatus(s);
    if (s.Mailbox(1)) return CheckAddressMailbox(s);
    if (s.Variable(1)) return CheckAddressVariable(s);
    if (s.Number(1)) return CheckAddressNumber(s);
    if (s.Hex(1)) return CheckAddressHex(s);
    return FailAt(4, kConditionSpelling);
}

} // namespace

Verdict CheckStatementWords3(Statement& s) {
    if (!s.HasConditionBracket()) return Fail(kConditionSyntax);
    const int conditionForm = s.FindConditionForm();
    if (conditionForm == 1) return CheckAddressCondition(s);
    return CheckWithoutAddressCondition(s, conditionForm);
}

} // namespace kaso::compiler::gen1
