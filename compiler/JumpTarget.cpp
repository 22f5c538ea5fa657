// Jump targets. The words "GOTO", "CALL", "EVSL", "EVWK", "SQSL" and "SQWK" jump to a label,
// which is replaced by its step number; the target may be followed by an operator and a decimal
// number, and the arithmetic is done here, so "GOTO NAME+2" with NAME at step 7 becomes "GOTO9".
//
// The operator is the last '+', else the last '-', else the last '*', else "//" (remainder),
// else the last '/' (division). The left number runs from after the keyword (or after the last
// '=' without one) to the operator; both numbers must be all digits, otherwise nothing is
// computed. A division or remainder by zero computes nothing and is reported as a statement
// error of the line; a result outside 32 bits computes nothing.
#include "Compiler.h"

#include <charconv>
#include <cstdint>
#include <limits>

namespace kaso::compiler {

namespace {

enum class Operator { Add, Subtract, Multiply, Remainder, Divide };

struct OperatorPlace {
    Operator op;
    std::size_t at;
    std::size_t length;
};

bool FindOperator(std::string_view body, Generation generation, OperatorPlace& place) {
    constexpr auto npos = std::string_view::npos;
    const bool divisionAllowed = generation == Generation::First || body.find("/SQ") == npos;
    const OperatorPlace candidates[] = {
        {Operator::Add, body.rfind('+'), 1},
        {Operator::Subtract, body.rfind('-'), 1},
        {Operator::Multiply, body.rfind('*'), 1},
        {Operator::Remainder, body.find("//"), 2},
        {Operator::Divide, divisionAllowed ? body.rfind('/') : npos, 1},
    };
    for (const OperatorPlace& candidate : candidates) {
        if (candidate.at != npos) {
            place = candidate;
            return place.at + place.length < body.size();
        }
    }
    return false;
}

bool ReadNumber(std::string_view digits, std::int64_t& value) {
    if (!IsAllDigits(digits)) return false;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return error == std::errc{} && end == digits.data() + digits.size() &&
           value <= std::numeric_limits<std::int32_t>::max();
}

} // namespace

ArithmeticOutcome ComputeJumpArithmetic(std::string& line, Generation generation) {
    const std::string body = WithoutBlanks(line);
    line = body + '\n';

    OperatorPlace place{};
    if (!FindOperator(body, generation, place)) return ArithmeticOutcome::NotComputed;
    std::size_t leftStart = FindJumpKeyword(body);
    if (leftStart != std::string::npos) {
        leftStart += 4;
    } else {
        leftStart = body.rfind('=');
        if (leftStart == std::string::npos) return ArithmeticOutcome::NotComputed;
        ++leftStart;
    }
    if (place.at < leftStart) return ArithmeticOutcome::NotComputed;

    std::int64_t left = 0;
    std::int64_t right = 0;
    if (!ReadNumber(std::string_view(body).substr(leftStart, place.at - leftStart), left) ||
        !ReadNumber(std::string_view(body).substr(place.at + place.length), right))
        return ArithmeticOutcome::NotComputed;

    std::int64_t result = 0;
    switch (place.op) {
    case Operator::Add:
        result = left + right;
        break;
    case Operator::Subtract:
        result = left - right;
        break;
    case Operator::Multiply:
        result = left * right;
        break;
    case Operator::Remainder:
    case Operator::Divide:
        if (right == 0) return ArithmeticOutcome::DivisionByZero;
        result = place.op == Operator::Remainder ? left % right : left / right;
        break;
    }
    if (result > std::numeric_limits<std::int32_t>::max() ||
        result < std::numeric_limits<std::int32_t>::min())
        return ArithmeticOutcome::NotComputed;
    line = body.substr(0, leftStart) + std::to_string(result) + '\n';
    return ArithmeticOutcome::Computed;
}

namespace {

// A target written as a number: after its last 'L' only digits, or a target with '+' or '-'.
bool IsNumericTarget(std::string_view word, std::string_view target, std::string& digits) {
    const std::size_t lastL = word.rfind('L');
    digits = std::string(lastL == std::string_view::npos ? word : word.substr(lastL + 1));
    if (IsAllDigits(digits)) return true;
    digits = std::string(word);
    return target.find_first_of("+-") != std::string_view::npos;
}

void NoteArithmetic(CompilerContext& ctx) {
    if (ComputeJumpArithmetic(ctx.line, ctx.generation) == ArithmeticOutcome::DivisionByZero)
        ctx.jumpArithmeticFailed = true;
}

} // namespace

bool ResolveJumpTarget(CompilerContext& ctx) {
    const std::string word(StatementWord(ctx, 0));
    ctx.line = WithoutBlanks(ctx.line) + '\n';
    if (const Label* label = FindLabel(ctx, word); label != nullptr && !word.empty()) {
        const std::size_t at = ctx.line.rfind(word);
        if (at != std::string::npos)
            ctx.line.replace(at, word.size(), std::to_string(label->number));
        NoteArithmetic(ctx);
        return true;
    }
    const std::size_t keyword = FindJumpKeyword(ctx.line);
    if (keyword == std::string::npos) {
        StoreCode(ctx, 0, kCodeConditionSyntax);
        MarkError(ctx);
        return false;
    }
    std::string digits;
    if (!IsNumericTarget(word, std::string_view(ctx.line).substr(keyword + 4), digits))
        return false;
    if (const auto index = static_cast<std::size_t>(ctx.wordCursor); index < ctx.words.size())
        ctx.words[index] = digits;
    NoteArithmetic(ctx);
    return true;
}

void ResolveJumpTarget2(CompilerContext& ctx) {
    NoteArithmetic(ctx);
}

} // namespace kaso::compiler
