// Statements of one and two words, and the DEF lines. Without a condition bracket a line of one
// word is a mailbox switch ("MBON", "MBOF", "MBCL" and longer words that begin with them) or a
// DEF with the name glued on; a line of two words is "DEF" and a name. With a bracket, one word
// is the action of an empty condition; two words are a condition and its action, or an action
// of two words after an empty condition.
#include "Gen1Statement.h"

namespace kaso::compiler::gen1 {

namespace {

bool IsMailboxSwitch(std::string_view word) {
    return word.starts_with("MBOF") || word.starts_with("MBCL") || word.starts_with("MBON");
}

bool ContainsDef(std::string_view word) {
    return word.find("DEF") != std::string_view::npos;
}

// A mailbox word with its count or jump label glued on, such as "WAIT20" or "GOTOLOOP".
Verdict CheckGluedMailboxWord(Statement& s) {
    if (IsNumberWord(s.Word(1).substr(4, 16))) return Accepted();
    s.SplitWord(1, 4);
    return s.Label(2) ? Accepted() : s.LabelFailure(kActionSpelling);
}

// The last classes a one-word action is tried against: data, "!!!", numbers, hex operands and
// command-bit words. In a line with an address form the word must be a hex operand as well.
Verdict CheckPlainWord(Statement& s) {
    const bool addressNeedsHex =
        (s.LineHas("#$") || s.LineHas("#&") || s.LineHas("##")) && !s.Hex(1);
    if (s.Data(1) || s.Not(1) || s.Number(1) || s.Hex(1) || s.Bit(1))
        return addressNeedsHex ? Fail(kActionSpelling) : Accepted();
    if (AnyVariableNameContains(s.Context().variables, s.Word(1))) return MarkWithdrawn();
    return Fail(kActionSpelling);
}

Verdict CheckOneWordAction(Statement& s) {
    const std::string_view word = s.Word(1);
    if (s.FindActionForm(true) == 1) {
        if (s.Status(1) || s.Mailbox(1) || s.Number(1) || s.Hex(1)) return Accepted();
        return Fail(kActionSpelling);
    }
    if (s.Mode(1) || s.Command(1) || s.Mailbox(1)) return Accepted();
    if (s.CountedMailbox(1)) return CheckGluedMailboxWord(s);
    if (ContainsDef(word)) return DefineUserVariableFromWord(s, word);
    if (s.Variable(1)) return Accepted();
    if (s.PercentWord(1)) return Fail(kActionSpelling);
    if (s.LineHas("@")) return s.Comment(1) ? Accepted() : Fail(kActionSpelling);
    if (!IsShortWord(word)) return Fail(kActionSpelling);
    return CheckPlainWord(s);
}

// Two words after a condition that begins with an address form: "(#RDY=1)" and the like.
Verdict CheckTwoWordsAddressCondition(Statement& s) {
    if (s.Status(1)) {
        if (!s.ComparisonInCondition()) return Fail(kConditionSyntax);
        if (!s.Number(2)) return Fail(kConditionSpelling);
        return s.BracketShape() != 0 ? Accepted() : Fail(kConditionSyntax);
    }
    if (s.Hex(1)) {
        if (s.ComparisonInCondition()) {
            if (s.Number(2)) return s.BracketShape() != 0 ? Accepted() : Fail(kConditionSyntax);
            return s.Hex(2) ? Accepted() : FailAt(1, kConditionSpelling);
        }
        if (s.BracketShape() != 2) return FailAt(1, kActionSyntax);
        if (!s.HasComparison()) return Fail(kActionSyntax);
        return s.Hex(2) ? Accepted() : Fail(kActionSpelling);
    }
    if (s.Mailbox(1)) {
        if (!s.ComparisonInCondition()) return Fail(kConditionSyntax);
        if (!s.Number(2)) return Fail(kConditionSpelling);
        return s.BracketShape() != 0 ? Accepted() : Fail(kActionSyntax);
    }
    return FailAt(2, kConditionSpelling);
}

Verdict CheckTwoWordsBit(Statement& s) {
    if (s.ComparisonInCondition()) return s.Number(2) ? Accepted() : Fail(kConditionSpelling);
    if (s.BracketShape() != 2) return Fail(kConditionSyntax);
    if (!s.HasComparison()) return Fail(kActionSyntax);
    return s.Number(2) ? Accepted() : Fail(kActionSpelling);
}

// A mailbox word and its argument: a number, a variable or a jump label.
Verdict CheckTwoWordsMailbox(Statement& s) {
    switch (s.BracketShape()) {
    case 1:
        if (!s.Label(2) && !s.Number(2)) return FailSlots({kActionSyntax, kConditionSpelling});
        return Fail(kActionSyntax);
    case 2:
        if (s.HasComparison())
            return s.Number(2) || s.Variable(2) ? Accepted() : FailAt(1, kActionSpelling);
        if (s.Number(2) || s.Word(2) == "%") return Accepted();
        return s.Label(2) ? Accepted() : s.LabelFailure(kLabelUnknown);
    default:
        return Fail(kActionSyntax);
    }
}

// A condition of a user variable compared with a number, status word or mailbox word.
Verdict CheckTwoWordsFilledCondition(Statement& s, int conditionForm) {
    if (!s.Variable(1)) return Fail(kConditionSpelling);
    if (!s.ComparisonInCondition()) return Fail(kConditionSyntax);
    if (s.Number(2)) return Accepted();
    if (conditionForm == 2)
        return s.Status(2) || s.Mailbox(2) ? Accepted() : FailAt(1, kConditionSpelling);
    return s.Variable(2) ? Accepted() : FailAt(2, kVariableUndefined);
}

// An action of two words after an empty condition.
Verdict CheckTwoWordsAction(Statement& s) {
    if (s.FindActionForm() == 1) {
        if (s.Status(1)) {
            if (!s.HasComparison()) return Fail(kActionSyntax);
            return s.Number(2) || s.Variable(2) ? Accepted() : FailAt(1, kActionSpelling);
        }
        if (s.Hex(1)) {
            if (s.HasComparison())
                return s.Number(2) || s.Variable(2) || s.Hex(2) || s.Mailbox(2) || s.Mode(2)
                           ? Accepted()
                           : FailAt(4, kActionSpelling);
            if (!s.CommaDigitInAction()) return FailAt(1, kActionSpelling);
            return s.Number(2) ? Accepted() : Fail(kActionSpelling);
        }
        if (s.Variable(1)) {
            if (!s.HasComparison()) return Fail(kActionSyntax);
            return s.Hex(2) || s.Status(2) || s.Mailbox(2) ? Accepted() : Fail(kActionSpelling);
        }
        return FailAt(2, kActionSpelling);
    }
    if (ContainsDef(s.Word(1))) return DefineUserVariable(s, s.Word(2));
    if (s.Variable(1)) {
        if (!s.HasComparison()) return Fail(kActionSyntax);
        return s.Variable(2) || s.Number(2) || s.Hex(2) || s.Mailbox(2) || s.Label(2)
                   ? Accepted()
                   : FailAt(4, kActionSpelling);
    }
    return FailAt(1, kActionSpelling);
}

} // namespace

Verdict CheckStatementWords1(Statement& s) {
    const std::string_view word = s.Word(1);
    if (!s.HasConditionBracket()) {
        if (word.starts_with("DEF")) return DefineUserVariableFromWord(s, word);
        return IsMailboxSwitch(word) ? MarkWithdrawn() : Fail(kConditionSyntax);
    }
    if (s.BracketShape() != 2) return Fail(kConditionSyntax);
    return CheckOneWordAction(s);
}

Verdict CheckStatementWords2(Statement& s) {
    if (!s.HasConditionBracket()) {
        if (ContainsDef(s.Word(1))) return DefineUserVariable(s, s.Word(2));
        return Fail(kConditionSyntax);
    }
    const int conditionForm = s.FindConditionForm();
    if (conditionForm == 1) return CheckTwoWordsAddressCondition(s);

    if (s.Bit(1)) return CheckTwoWordsBit(s);
    if (s.Data(1)) {
        if (!s.HasComparison()) return Fail(kActionSyntax);
        if (s.Number(2) || s.Variable(2)) return Accepted();
        return s.PercentWord(2) ? FailAt(1, kVariableUndefined) : FailAt(1, kActionSpelling);
    }
    if (s.Mode(1)) {
        if (!s.HasComparison()) return Fail(kActionSyntax);
        return s.Mode(2) ? Accepted() : Fail(kActionSpelling);
    }
    if (s.Mailbox(1)) return CheckTwoWordsMailbox(s);
    if (s.CountedMailbox(1)) return s.CountIsNumber(1) ? Accepted() : Fail(kConditionSpelling);
    switch (s.BracketShape()) {
    case 1:
        return CheckTwoWordsFilledCondition(s, conditionForm);
    case 2:
        return CheckTwoWordsAction(s);
    default:
        return Fail(kActionSyntax);
    }
}

} // namespace kaso::compiler::gen1
