// Statements of four words. The condition form and the class of word 1 choose a block; each
// block checks the rest of the condition and then the action of the remaining words, trying the
// forms of word 3 in a fixed order. Typical lines: "(#RDY=1)%A=5", "(OUT0=1)WAIT 20",
// "(%A=1)%B=%C" and "(#RDY,2=1)JOG".
#include "Gen1Statement.h"

namespace kaso::compiler::gen1 {

namespace {

// Word 1 a mailbox word compared in an address condition: "(#WAIT=1)SPD=100".
Verdict CheckMailboxCondition(Statement& s) {
    if (!s.ComparisonInCondition()) return Fail(kConditionSyntax);
    if (!s.Number(2)) return Fail(kConditionSpelling);
    if (!s.Closed()) return Fail(kConditionSyntax);
    if (s.Data(3) || s.Bit(3) || s.Variable(3)) {
        if (!s.HasComparison()) return FailSlots({kActionSyntax, kConditionSpelling});
        return s.Number(4) || s.Bit(4) || s.Variable(4) || s.Status(4) ? Accepted()
                                                                       : Fail(kActionSpelling);
    }
    if (s.FindActionForm() == 0) {
        if (s.PercentWord(3)) return Fail(kVariableUndefined);
        if (!s.Mailbox(3)) return FailAt(2, kActionSpelling);
        if (s.Label(4)) return Accepted();
        return s.Number(4) ? MarkWithdrawn() : FailAt(1, kActionSpelling);
    }
    if (s.Status(3) || s.Hex(3)) {
        if (!s.HasComparison()) return Fail(kActionSpelling);
        return s.Number(4) || s.Hex(4) || s.Variable(4) ? Accepted() : FailAt(1, kActionSpelling);
    }
    if (s.Mailbox(3)) {
        if (!s.HasComparison()) return Fail(kActionSyntax);
        return s.Number(4) ? Accepted() : Fail(kActionSpelling);
    }
    return FailAt(2, kActionSpelling);
}

// Word 1 a hex operand compared in an address condition: "(#1F=1)WAIT 5".
Verdict CheckHexCondition(Statement& s) {
    if (!s.ComparisonInCondition()) return Fail(kConditionSyntax);
    if (!s.Number(2) && !s.Hex(2)) return Fail(kConditionSpelling);
    if (!s.Closed()) return Fail(kActionSyntax);
    if (s.FindActionForm() == 1) {
        if (!s.Hex(2)) return Fail(kActionSpelling);
        if (!s.HasComparison()) return Fail(kActionSyntax);
        return s.Number(3) || s.Hex(3) ? Accepted() : Fail(kActionSpelling);
    }
    if (s.Mailbox(3)) return s.Number(4) || s.Label(4) ? Accepted() : s.LabelFailure(kLabelUnknown);
    if (s.Data(3)) {
        if (!s.HasComparison()) return Fail(kActionSyntax);
        return s.Variable(4) ? Accepted() : Fail(kActionSpelling);
    }
    if (s.Variable(3)) {
        if (!s.HasComparison()) return Fail(kActionSyntax);
        return s.Label(4) ? Accepted() : s.LabelFailure(kActionSpelling);
    }
    // An action word of no class: a spelling error of the action, which the line shows.
    return Fail(kActionSpelling);
}

// A status word or number with its bit index: "(#RDY,1=1)JOG".
Verdict CheckIndexedCondition(Statement& s) {
    if (!s.Number(2)) return Fail(kConditionSpelling);
    if (!s.ComparisonInCondition()) return Fail(kConditionSyntax);
    if (!s.Number(3)) return Fail(kConditionSpelling);
    if (!s.Closed()) return Fail(kActionSyntax);
    if (s.Mailbox(4) || s.Variable(4)) {
        const std::string_view word = s.Word(4);
        const bool jumps = word.find("GOTO") != std::string_view::npos ||
                           word.find("CALL") != std::string_view::npos;
        return jumps ? Fail(kActionSpelling) : Accepted();
    }
    if (s.Mode(4) || s.Command(4)) return Accepted();
    // The comparison was counted for the condition already, so a second one never passes.
    if (s.Hex(4)) return s.ComparisonInCondition() ? Accepted() : Fail(kConditionSyntax);
    if (s.LineHas("@")) return s.Comment(4) ? Accepted() : FailAt(4, kActionSpelling);
    if (s.Label(4)) return Accepted();
    return FailSlots({kConditionSpelling, kConditionSpelling, kConditionSpelling,
                      kConditionSpelling, kLabelUnknown});
}

// A status word or number compared without bit index: "(#RDY=1)%A=5".
Verdict CheckStatusCondition(Statement& s) {
    if (!s.ComparisonInCondition()) return FailAt(2, kConditionSyntax);
    if (!s.Number(2)) return Fail(kConditionSpelling);
    if (!s.Closed()) return Fail(kActionSyntax);
    if (s.Data(3) || s.Number(3)) {
        if (!s.HasComparison()) return Fail(kActionSyntax);
        return s.Number(4) || s.Status(4) || s.Variable(4) ? Accepted()
                                                           : FailAt(1, kActionSpelling);
    }
    if (s.Hex(3)) {
        if (!s.HasComparison()) return Fail(kConditionSyntax);
        return s.Number(4) ? Accepted() : Fail(kActionSpelling);
    }
    if (s.Mailbox(3) || s.Status(3))
        return s.Number(4) || s.Variable(4) || s.Label(4) ? Accepted() : FailAt(2, kActionSpelling);
    if (s.Variable(3)) {
        if (!s.HasComparison()) return Fail(kActionSyntax);
        return s.Number(4) || s.Status(4) || s.Label(4) ? Accepted() : Fail(kActionSpelling);
    }
    return FailAt(3, kActionSpelling);
}

Verdict CheckBitActionForm1(Statement& s) {
    if (s.Number(3) || s.Hex(3)) {
        if (s.CommaDigitInAction()) return s.Number(4) ? Accepted() : Fail(kActionSpelling);
        if (!s.HasComparison()) return Fail(kActionSyntax);
        return s.Number(4) || s.Hex(4) || s.Variable(4) ? Accepted() : Fail(kActionSpelling);
    }
    if (s.Status(3)) {
        if (!s.HasComparison()) return Fail(kActionSyntax);
        return s.Number(4) || s.Variable(4) ? Accepted() : Fail(kActionSpelling);
    }
    return FailAt(1, kActionSpelling);
}

// Word 1 a command-bit word: "(OUT0=1)%A=5", "(OUT0=1)WAIT 20".
Verdict CheckBitCondition(Statement& s) {
    if (!s.ComparisonInCondition()) return Fail(kConditionSyntax);
    if (!s.Number(2)) return Fail(kActionSpelling);
    if (!s.Closed()) return Fail(kActionSyntax);
    if (s.Data(3)) {
        if (!s.HasComparison()) return Fail(kActionSyntax);
        return s.Number(4) || s.Variable(4) ? Accepted() : FailAt(1, kActionSpelling);
    }
    if (s.Variable(3)) {
        if (!s.HasComparison()) return Fail(kActionSyntax);
        if (s.FindActionForm() == 1)
            return s.Status(4) || s.Number(4) ? Accepted() : FailAt(1, kActionSpelling);
        if (s.Number(4) || s.Variable(4) || s.Hex(4) || s.Label(4)) return Accepted();
        return FailSlots({kActionSpelling, kActionSpelling, kActionSpelling});
    }
    if (s.Mailbox(3)) {
        if (s.Label(4)) return Accepted();
        return s.Variable(4) || s.Number(4) ? MarkWithdrawn() : FailAt(2, kActionSpelling);
    }
    if (s.Bit(3)) {
        if (!s.HasComparison()) return FailAt(2, kActionSyntax);
        return s.Number(4) ? Accepted() : FailAt(1, kActionSpelling);
    }
    if (s.FindActionForm() == 0) return FailAt(3, kActionSpelling);
    return CheckBitActionForm1(s);
}

// Form 2, word 2 a status or mailbox word: "(%A=#RDY)%B=5".
Verdict CheckVariableAgainstWord(Statement& s) {
    if (!s.Closed()) return Fail(kActionSyntax);
    if (s.Status(3) || s.Number(3) || s.Hex(3) || s.Variable(3)) {
        if (!s.HasComparison()) return Fail(kActionSyntax);
        if (s.Variable(4)) return Accepted();
        if (s.PercentWord(4)) return Fail(kVariableUndefined);
        if (s.FindActionForm() == 1)
            return s.Number(4) || s.Status(4) ? Accepted() : Fail(kActionSpelling);
        return s.Number(4) || s.Label(4) ? Accepted() : Fail(kActionSpelling);
    }
    if (s.Mailbox(3)) {
        if (s.Number(4) || s.Label(4)) return Accepted();
        return s.Variable(4) ? MarkWithdrawn() : FailAt(2, kActionSpelling);
    }
    if (s.PercentWord(3)) return Fail(kVariableUndefined);
    if (s.Data(3)) {
        if (!s.HasComparison()) return Fail(kActionSyntax);
        return s.Number(4) || s.Variable(4) ? Accepted() : Fail(kActionSpelling);
    }
    if (s.Bit(3)) {
        if (!s.HasComparison()) return Fail(kActionSyntax);
        return s.Number(4) ? Accepted() : Fail(kActionSpelling);
    }
    return FailAt(1, kActionSpelling);
}

// Form 2, word 2 a number: "(%A=#5)%B=#1".
Verdict CheckVariableAgainstNumber(Statement& s) {
    if (!s.Closed()) return Fail(kActionSyntax);
    if (s.Data(3) || s.Variable(3)) {
        if (!s.HasComparison()) return Fail(kActionSyntax);
        return s.Status(4) || s.Variable(4) ? Accepted() : Fail(kActionSpelling);
    }
    if (s.FindActionForm() == 0) return FailSlots({kActionSpelling, kActionSpelling});
    if (s.Number(3)) {
        if (!s.HasComparison()) return Fail(kActionSyntax);
        return s.Variable(4) ? Accepted() : Fail(kActionSpelling);
    }
    if (s.Hex(3)) {
        if (!s.HasComparison()) return Fail(kActionSyntax);
        return s.Hex(4) ? Accepted() : Fail(kActionSpelling);
    }
    return FailAt(1, kActionSpelling);
}

// Word 1 a user variable compared with an address form: "(%A=#RDY)...".
Verdict CheckVariableForm2(Statement& s) {
    if (!s.ComparisonInCondition()) return Fail(kConditionSyntax);
    if (s.Status(2) || s.Mailbox(2)) return CheckVariableAgainstWord(s);
    if (s.Number(2)) return CheckVariableAgainstNumber(s);
    if (s.Variable(2)) {
        if (!s.Closed()) return Fail(kActionSyntax);
        if (!s.Variable(3)) return Fail(kActionSpelling);
        if (!s.HasComparison()) return Fail(kActionSyntax);
        if (s.FindActionForm() == 1) return Fail(kActionSpelling);
        return s.Hex(4) ? Accepted() : Fail(kActionSpelling);
    }
    return FailAt(3, kActionSpelling);
}

Verdict CheckAfterNumberForm1(Statement& s) {
    if (s.Mailbox(3)) {
        if (!s.HasComparison()) return Fail(kActionSyntax);
        return s.Number(4) ? Accepted() : Fail(kActionSpelling);
    }
    if (s.Hex(3)) {
        if (!s.HasComparison()) return Fail(kActionSyntax);
        return s.Number(4) || s.Variable(4) || s.Hex(4) ? Accepted() : FailAt(1, kActionSpelling);
    }
    if (s.Status(3)) {
        if (!s.HasComparison()) return Fail(kActionSyntax);
        return s.Variable(4) || s.Number(4) ? Accepted() : FailAt(1, kActionSpelling);
    }
    return FailAt(2, kActionSpelling);
}

Verdict CheckAfterNumberForm0(Statement& s) {
    if (s.Mailbox(3)) {
        if (s.Label(4)) return Accepted();
        return s.Number(4) || s.Variable(4) ? MarkWithdrawn() : FailAt(1, kConditionSpelling);
    }
    if (s.HasIndex()) {
        if (!s.Number(3)) return Fail(kConditionSpelling);
        return s.Mailbox(4) || s.Mode(4) ? Accepted() : FailAt(1, kConditionSpelling);
    }
    if (s.Data(3)) {
        if (!s.HasComparison()) return Fail(kActionSyntax);
        return s.Variable(4) || s.Number(4) ? Accepted() : FailAt(1, kActionSpelling);
    }
    if (s.Bit(3)) {
        if (!s.HasComparison()) return Fail(kActionSyntax);
        return s.Number(4) ? Accepted() : Fail(kActionSpelling);
    }
    return FailSlots({0, 0, 0, 0, kActionSpelling, kActionSpelling});
}

// Form 0, word 2 a number: "(%A=5)%B=%C", "(%A=5)WAIT 20".
Verdict CheckVariableComparedWithNumber(Statement& s) {
    if (!s.Closed()) return Fail(kConditionSyntax);
    if (s.Variable(3)) {
        if (!s.HasComparison()) return Fail(kActionSyntax);
        return s.VariableNumberOrLabel(4) ? Accepted() : Fail(kActionSpelling);
    }
    return s.FindActionForm() == 1 ? CheckAfterNumberForm1(s) : CheckAfterNumberForm0(s);
}

// Form 0, word 2 a variable: "(%A=%B)%C=5".
Verdict CheckVariableComparedWithVariable(Statement& s) {
    if (!s.Closed()) return Fail(kActionSyntax);
    if (s.Mailbox(3))
        return s.Number(4) || s.Variable(4) || s.Label(4) ? Accepted() : Fail(kActionSpelling);
    if (s.Variable(3)) return s.VariableNumberOrLabel(4) ? Accepted() : Fail(kActionSpelling);
    if (s.FindActionForm() == 0) return FailSlots({kActionSpelling, kActionSpelling});
    if (!s.Number(3)) return Fail(kActionSpelling);
    if (!s.HasComparison()) return Fail(kActionSyntax);
    return s.Variable(4) || s.Number(4) ? Accepted() : FailAt(1, kActionSpelling);
}

// Word 1 a user variable in a condition without address form.
Verdict CheckVariableForm0(Statement& s) {
    if (!s.ComparisonInCondition()) return Fail(kConditionSyntax);
    if (s.Number(2)) return CheckVariableComparedWithNumber(s);
    if (s.Variable(2)) return CheckVariableComparedWithVariable(s);
    if (s.Data(2)) {
        if (!s.Closed()) return Fail(kConditionSyntax);
        if (!s.Variable(3)) return Fail(kActionSpelling);
        if (!s.HasComparison()) return Fail(kActionSyntax);
        return s.Label(4) ? Accepted() : s.LabelFailure(kActionSpelling);
    }
    return FailSlots({kConditionSpelling, kConditionSpelling, kConditionSpelling});
}

// Word 1 a data word: "(SPD=5)%A=LOOP".
Verdict CheckDataCondition(Statement& s) {
    if (!s.ComparisonInCondition()) return Fail(kConditionSyntax);
    if (!s.Number(2)) return Fail(kConditionSpelling);
    if (!s.Closed()) return Fail(kConditionSyntax);
    if (s.Variable(3)) {
        if (!s.HasComparison()) return Fail(kActionSyntax);
        return s.Label(4) ? Accepted() : s.LabelFailure(kActionSpelling);
    }
    if (s.Mailbox(3))
        return s.Number(4) || s.Variable(4) || s.Label(4) ? Accepted() : Fail(kActionSpelling);
    return Fail(kActionSpelling);
}

// Word 1 a mailbox word that is no label, after an empty condition: "()WAIT 20 ...".
Verdict CheckMailboxAction(Statement& s) {
    if (s.Number(2)) return Accepted();
    return s.Label(2) ? MarkWithdrawn() : Fail(kActionSpelling);
}

Verdict CheckAddressCondition(Statement& s) {
    if (s.Mailbox(1)) return CheckMailboxCondition(s);
    if (s.Status(1) || s.Number(1))
        return s.HasIndex() ? CheckIndexedCondition(s) : CheckStatusCondition(s);
    if (s.Hex(1)) return CheckHexCondition(s);
    return Fail(kConditionSpelling);
}

} // namespace

Verdict CheckStatementWords4(Statement& s) {
    if (!s.HasConditionBracket()) return Fail(kConditionSyntax);
    const int conditionForm = s.FindConditionForm();
    if (conditionForm == 1) return CheckAddressCondition(s);
    if (s.Bit(1)) return CheckBitCondition(s);
    if (s.Variable(1)) return conditionForm == 2 ? CheckVariableForm2(s) : CheckVariableForm0(s);
    if (s.PercentWord(1)) return Fail(kVariableUndefined);
    if (s.Data(1)) return CheckDataCondition(s);
    if (s.Label(1)) return Accepted();
    if (s.Mailbox(1)) return CheckMailboxAction(s);
    return Fail(kActionSpelling);
}

} // namespace kaso::compiler::gen1
