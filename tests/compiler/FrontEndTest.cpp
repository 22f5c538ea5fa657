// The front end of both compilers: reading, labels, symbols, words, marker lines, jump targets
// and the routing of lines into rows and error codes.
#include "CompilerTestSupport.h"

namespace kaso::compiler::test {
namespace {

using Rows = std::vector<std::string>;

class FrontEnd : public CompilerTest {};

TEST(SourceReading, LinesAreUpperCasedWithoutCommentsAndEndInLineFeed) {
    std::vector<SourceLine> lines;
    ASSERT_TRUE(ReadSourceLines("ev\r\n(a)\tjog ' note\nlast", 10, lines));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].text, "EV\n");
    EXPECT_EQ(lines[1].text, "(A) JOG \n");
    EXPECT_TRUE(lines[1].hadComment);
    EXPECT_EQ(lines[2].text, "LAST\n");
    EXPECT_FALSE(lines[2].hadComment);
}

TEST(SourceReading, ByteFFEndsTheSourceAndLimitCountsLines) {
    std::vector<SourceLine> lines;
    ASSERT_TRUE(ReadSourceLines("A\nB\xFF\nC\n", 10, lines));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].text, "B\n");

    EXPECT_TRUE(ReadSourceLines("A\nB\n", 2, lines));
    EXPECT_TRUE(ReadSourceLines("A\nB", 2, lines));
    EXPECT_FALSE(ReadSourceLines("A\nB\nC", 2, lines));
    EXPECT_TRUE(ReadSourceLines("", 2, lines));
    EXPECT_TRUE(lines.empty());
}

TEST(SourceReading, SecondByteOfADoubleByteCharacterIsNotUpperCased) {
    std::vector<SourceLine> lines;
    // 0x83 0x61 is one CP932 character whose second byte reads as 'a'.
    ASSERT_TRUE(ReadSourceLines("\"x\x83\x61y\n", 10, lines));
    EXPECT_EQ(lines[0].text, "\"X\x83\x61Y\n");
}

TEST(Words, WordCharactersAndTheBracketRules) {
    EXPECT_EQ(ScanWords("(#RDY=1)JOG\n"), (Rows{"RDY", "1", "JOG"}));
    EXPECT_EQ(ScanWords("A%,B_!C D\n"), (Rows{"A%", "B_!C", "D"}));
    EXPECT_EQ(ScanWords("AB(CD)\n"), (Rows{"ABCD"}));
    EXPECT_EQ(ScanWords("X_(Y)\n"), (Rows{"XY"})) << "the '_' is left out, the '(' too";
    EXPECT_EQ(ScanWords("_(X)A_(B)\n"), (Rows{"X", "A_B"}));
}

TEST(Words, MarkerLines) {
    const auto marker = [](std::string_view line) {
        return CheckMarkerLine(ScanWords(line), line);
    };
    EXPECT_TRUE(marker("A:\n"));
    EXPECT_TRUE(marker("A-B:\n"));
    EXPECT_TRUE(marker(":NAME:\n"));
    EXPECT_FALSE(marker("A1:\n"));
    EXPECT_FALSE(marker("1:\n"));
    EXPECT_FALSE(marker("A-1:\n"));
    EXPECT_FALSE(marker("NAME:\n"));
    EXPECT_FALSE(marker(":\n"));
}

TEST_F(FrontEnd, LabelNumbersCountStepsWithinTheirPart) {
    const auto run = Inspect(Generation::Second, "DEFSMB X 5\n"
                                                 "EV\n"
                                                 "A|()P\n"
                                                 "' only a comment\n"
                                                 "\n"
                                                 "B|\n"
                                                 "()P\n"
                                                 "NOTE|'commented label\n"
                                                 "(X)Q ' comment after a step\n"
                                                 "/EV\n"
                                                 "SQ\n"
                                                 "C|[]P\n"
                                                 "SQ 'again\n"
                                                 "D|[]P\n");
    ASSERT_EQ(run.resultCode, kResultSequenceNotClosed);
    const auto& labels = run.ctx->labels;
    ASSERT_EQ(labels.size(), 5u);
    EXPECT_EQ(labels[0].name, "A");
    EXPECT_EQ(labels[0].number, 0);
    EXPECT_EQ(labels[1].number, 1); // alone on its line: the next step's number
    EXPECT_EQ(labels[2].number, 2); // commented label line counts as no step
    EXPECT_EQ(labels[3].number, 1);
    EXPECT_EQ(labels[4].number, 1);
    EXPECT_EQ(run.Rows(), (Rows{"EV", "()P", "()P", "(5)Q", "/EV", "SQ", "[]P", "SQ", "[]P"}));
}

TEST_F(FrontEnd, LabelLimitsEndTheCompile) {
    std::string source = "EV\n";
    for (int i = 1; i <= 99; ++i)
        source += "L" + std::to_string(i) + "|()JOG\n";
    EXPECT_EQ(Inspect(Generation::First, source).resultCode, kResultCompiled);

    const auto tooMany = Inspect(Generation::First, source + "L100|()JOG\nFOO BAR\n");
    EXPECT_EQ(tooMany.resultCode, kResultErrors);
    EXPECT_EQ(tooMany.Code(101), kCodeTooManyLabels);
    EXPECT_EQ(tooMany.Code(102), 0) << "the compile goes no further";

    EXPECT_EQ(Inspect(Generation::Second, "ABCDEFGHIJKLMNOPQRST|()P\n").resultCode,
              kResultCompiled);
    const auto tooLong = Inspect(Generation::Second, "EV\nABCDEFGHIJKLMNOPQRSTU|()P\n");
    EXPECT_EQ(tooLong.resultCode, kResultErrors);
    EXPECT_EQ(tooLong.Code(2), kCodeLabelTooLong);
    EXPECT_TRUE(tooLong.ctx->rows.empty()) << "the second pass must not run";
}

TEST_F(FrontEnd, QuotedLabelStartsAfterTheQuote) {
    const auto run = Inspect(Generation::First, "\"MSG|TEXT\nEV\nL|\"ROW\n");
    ASSERT_EQ(run.ctx->labels.size(), 2u);
    EXPECT_EQ(run.ctx->labels[0].name, "MSG");
    EXPECT_EQ(run.ctx->labels[1].name, "L");
    EXPECT_EQ(run.Rows(), (Rows{"TEXT", "EV", "\"ROW"}));
}

TEST_F(FrontEnd, SymbolDefinitionsAndTheirLimits) {
    std::string source = "DEFSMB ABCDEFGH 1234567890\n"  // 1: longest accepted
                         "DEFSMB ABCDEFGHI 1\n"          // 2: name of 9
                         "DEFSMB V 12345678901\n"        // 3: value of 11
                         "DEFSMB NAME\n"                 // 4: no value
                         "DEFSMB NAME \n"                // 5: empty value
                         "DEFSMBX 1\n"                   // 6: no blank after DEFSMB
                         "DEFSMB   W    7   ' spaced\n"; // 7: blanks reduced
    for (int i = 0; i < 18; ++i)
        source += "DEFSMB S" + std::to_string(i) + " " + std::to_string(i) + "\n";
    source += "DEFSMB ONEMORE 1\n"; // 26: the 21st symbol
    const auto run = Inspect(Generation::First, source);
    EXPECT_EQ(run.resultCode, kResultErrors);
    EXPECT_EQ(run.Code(1), 0);
    EXPECT_EQ(run.Code(2), kCodeSymbolTooLong);
    EXPECT_EQ(run.Code(3), kCodeSymbolTooLong);
    EXPECT_EQ(run.Code(4), kCodeSymbolMalformed);
    EXPECT_EQ(run.Code(5), kCodeSymbolMalformed);
    EXPECT_EQ(run.Code(6), kCodeSymbolMalformed);
    EXPECT_EQ(run.Code(7), 0);
    EXPECT_EQ(run.Code(25), 0);
    EXPECT_EQ(run.Code(26), kCodeTooManySymbols);
    ASSERT_EQ(run.ctx->symbols.size(), 20u);
    EXPECT_EQ(run.ctx->symbols[1].name, "W");
    EXPECT_EQ(run.ctx->symbols[1].value, "7");
}

TEST_F(FrontEnd, FirstGenerationSymbolsReplaceOnlyNamesOfTheirOwn) {
    const auto run = Inspect(Generation::First, "DEFSMB X 5\n"
                                                "DEFSMB V 7\n"
                                                "EV\n"
                                                "(#X1=1)JOG\n"
                                                "(#X=X)JOG X\n"
                                                "(#X1=X)JOG\n"
                                                "(#AX=V)MOV\n"
                                                "/EV\n");
    // X1, AX and MOV are in no keyword library: only the rows matter here.
    EXPECT_EQ(run.Rows(),
              (Rows{"EV", "(#X1=1)JOG", "(#5=5)JOGX", "(#X1=5)JOG", "(#AX=7)MOV", "/EV"}));
}

TEST_F(FrontEnd, SecondGenerationReplacesSymbolAndLabelWords) {
    const auto run = Inspect(Generation::Second, "DEFSMB SPEED 1500\n"
                                                 "EV\n"
                                                 "()A\n"
                                                 "T|()B\n"
                                                 "(X)V=SPEED\n"
                                                 "(T)W=T\n"
                                                 "()SPEEDY=1\n"
                                                 "(XSPEED=SPEED)A\n"
                                                 "/EV\n");
    EXPECT_EQ(run.resultCode, kResultCompiled);
    // The first word is never taken as a label; a longer word is no symbol.
    EXPECT_EQ(run.Rows(), (Rows{"EV", "()A", "()B", "(X)V=1500", "(T)W=1", "()SPEEDY=1",
                                "(XSPEED=1500)A", "/EV"}));
}

TEST(JumpArithmetic, OperatorsOnALabelNumber) {
    const auto compute = [](std::string line, Generation generation = Generation::Second) {
        ComputeJumpArithmetic(line, generation);
        return line;
    };
    EXPECT_EQ(compute("()GOTO7+2\n"), "()GOTO9\n");
    EXPECT_EQ(compute("()GOTO7//4\n"), "()GOTO3\n");
    EXPECT_EQ(compute("()GOTO7/2\n"), "()GOTO3\n");
    EXPECT_EQ(compute("()GOTO7-8\n"), "()GOTO-1\n");
    EXPECT_EQ(compute("()CALL 3 * 4\n"), "()CALL12\n");
    EXPECT_EQ(compute("(X)#A=5+2\n"), "(X)#A=7\n") << "without a keyword: after the last '='";
    EXPECT_EQ(compute("()GOTO7+\n"), "()GOTO7+\n") << "an operator at the end is none";
    EXPECT_EQ(compute("()GOTOL7+2\n"), "()GOTOL7+2\n") << "left side not all digits";
    EXPECT_EQ(compute("(A-1)GOTO7\n"), "(A-1)GOTO7\n") << "operator before the target";
    EXPECT_EQ(compute("()GOTO99999999999+1\n"), "()GOTO99999999999+1\n");
    EXPECT_EQ(compute("()GOTO2147483647*2\n"), "()GOTO2147483647*2\n");
    EXPECT_EQ(compute("()SQWK4/2/SQ\n"), "()SQWK4/2/SQ\n");
    EXPECT_EQ(compute("()SQWK4/2/SQ\n", Generation::First), "()SQWK4/2/SQ\n");

    std::string line = "()GOTO7/0\n";
    EXPECT_EQ(ComputeJumpArithmetic(line, Generation::Second), ArithmeticOutcome::DivisionByZero);
    EXPECT_EQ(line, "()GOTO7/0\n");
    line = "()GOTO7//0\n";
    EXPECT_EQ(ComputeJumpArithmetic(line, Generation::First), ArithmeticOutcome::DivisionByZero);
}

TEST_F(FrontEnd, FirstGenerationJumpTargetOnTheCurrentWord) {
    auto run = Inspect(Generation::First, "EV\n()P\n()P\nT|()P\n/EV\n");
    CompilerContext& ctx = *run.ctx;
    ASSERT_EQ(ctx.labels.size(), 1u);
    ASSERT_EQ(ctx.labels[0].number, 2);
    const auto resolve = [&](std::string line, std::vector<std::string> words) {
        ctx.lineIndex = 9;
        ctx.line = std::move(line);
        ctx.words = std::move(words);
        ctx.wordCursor = 1;
        ctx.jumpArithmeticFailed = false;
        return ResolveJumpTarget(ctx);
    };
    EXPECT_TRUE(resolve("() GOTO T + 2\n", {"GOTO", "T", "2"}));
    EXPECT_EQ(ctx.line, "()GOTO4\n");
    EXPECT_TRUE(resolve("()GOTO L12\n", {"GOTO", "L12"}));
    EXPECT_EQ(ctx.words[1], "12") << "a numeric target becomes the current word";
    EXPECT_FALSE(resolve("()GOTO NOWHERE\n", {"GOTO", "NOWHERE"}));
    EXPECT_EQ(StoredCode(ctx, 0), 0);
    EXPECT_FALSE(resolve("()JOG NOWHERE\n", {"JOG", "NOWHERE"}));
    EXPECT_EQ(StoredCode(ctx, 0), kCodeConditionSyntax) << "no jump keyword";
    EXPECT_TRUE(ctx.errors.marked[9]);
    EXPECT_TRUE(resolve("()GOTO T//0\n", {"GOTO", "T", "0"}));
    EXPECT_TRUE(ctx.jumpArithmeticFailed);
}

TEST_F(FrontEnd, SecondGenerationJumpsAndDivisionByZero) {
    const auto run = Inspect(Generation::Second, "EV\n"
                                                 "()P\n"
                                                 "T|()P\n"
                                                 "()GOTO T+2\n"
                                                 "()GOTO T/0\n"
                                                 "()GOTO T//0\n"
                                                 "/EV\n");
    EXPECT_EQ(run.resultCode, kResultErrors);
    EXPECT_EQ(run.Code(4), 0);
    EXPECT_EQ(run.Code(5), kCodeSyntax);
    EXPECT_EQ(run.Code(6), kCodeSyntax);
    EXPECT_EQ(run.Rows(), (Rows{"EV", "()P", "()P", "()GOTO3", "()GOTO1/0", "()GOTO1//0", "/EV"}));
}

TEST_F(FrontEnd, FirstGenerationLinesWithoutConditionBracket) {
    const auto run = Inspect(Generation::First, "DEF A%\n"  // 1: user variable
                                                "EV\n"      // 2
                                                "  EV\n"    // 3: indented, still EV
                                                "   \n"     // 4: blank
                                                "MBON\n"    // 5
                                                "MBOFX\n"   // 6: mailbox switch by prefix
                                                "JOG\n"     // 7: one other word
                                                "JOG POS\n" // 8
                                                "DEF A B\n" // 9: DEF of three words
                                                "=\n"       // 10: no words
                                                "/EV\n"     // 11
                                                "SQ\n"      // 12
                                                "/SQ\n");   // 13
    EXPECT_EQ(run.resultCode, kResultErrors);
    for (int line : {1, 2, 3, 4, 5, 6, 11, 12, 13})
        EXPECT_EQ(run.Code(line), 0) << "line " << line;
    for (int line : {7, 8, 9, 10}) {
        EXPECT_EQ(run.Code(line), kCodeConditionSyntax) << "line " << line;
        EXPECT_TRUE(run.ctx->errors.marked[static_cast<std::size_t>(line - 1)]) << line;
    }
    EXPECT_FALSE(run.ctx->errors.marked[4]);
    EXPECT_FALSE(run.ctx->inSequencePart);
}

TEST_F(FrontEnd, FirstGenerationPartPrefixes) {
    const auto run = Inspect(Generation::First, "EV\n"
                                                "+()JOG\n" // 2: '+' in the event part
                                                "_()JOG\n" // 3
                                                "/EV\n"
                                                "SQ\n"
                                                "_()JOG\n" // 6: '_' in the sequence part
                                                "+()JOG\n" // 7
                                                "/SQ\n");
    EXPECT_EQ(run.Code(2), kCodeConditionSyntax);
    EXPECT_EQ(run.Code(3), 0);
    EXPECT_EQ(run.Code(6), kCodeConditionSyntax);
    EXPECT_EQ(run.Code(7), 0);
    EXPECT_EQ(run.resultCode, kResultErrors);

    const auto second = Inspect(Generation::Second, "EV\n+()JOG\n/EV\nSQ\n_()JOG\n/SQ\n");
    EXPECT_EQ(second.resultCode, kResultCompiled) << "the second generation has no such rule";
}

TEST_F(FrontEnd, BracketLineWithoutWordsIsAnErrorUnlessEmptyCondition) {
    const auto first = Inspect(Generation::First, "EV\n( )\n(#)\n/EV\n");
    EXPECT_EQ(first.Code(2), 0);
    EXPECT_EQ(first.Code(3), kCodeConditionSyntax);
    EXPECT_EQ(first.Rows(), (Rows{"EV", "()", "/EV"}));

    const auto second = Inspect(Generation::Second, "EV\n[ ]\n(#)\n(#1),?\n/EV\n");
    EXPECT_EQ(second.Code(2), 0);
    EXPECT_EQ(second.Code(3), kCodeSyntax);
    EXPECT_EQ(second.Code(4), 0);
    EXPECT_EQ(second.Rows(), (Rows{"EV", "[]", "(#1),?", "/EV"}));
}

TEST_F(FrontEnd, SecondGenerationStatementLength) {
    const std::string fits = "()ABCDEFGHIJKLMNOPQRSTUVWXYZ1";
    ASSERT_EQ(fits.size(), 29u);
    const auto run =
        Inspect(Generation::Second, fits + "\n" + fits + "2\n() " + fits.substr(2) + "\n");
    EXPECT_EQ(run.Code(1), 0);
    EXPECT_EQ(run.Code(2), kCodeStatementTooLong);
    EXPECT_EQ(run.Code(3), 0) << "blanks do not count";
}

TEST_F(FrontEnd, MarkerLinesInBothGenerations) {
    for (Generation generation : {Generation::First, Generation::Second}) {
        const auto run = Inspect(generation, "SQ\nA:\nA-B:\n:NAME:\nA1:\nAB:\n/SQ\n");
        EXPECT_EQ(run.resultCode, kResultErrors);
        for (int line : {2, 3, 4})
            EXPECT_EQ(run.Code(line), 0) << line;
        EXPECT_EQ(run.Code(5), kCodeMarkerLine);
        EXPECT_EQ(run.Code(6), kCodeMarkerLine);
        EXPECT_EQ(run.Rows(), (Rows{"SQ", "A:", "A-B:", ":NAME:", "/SQ"}));
    }
}

TEST_F(FrontEnd, StatementsReachTheParserWithoutBlanksEndedByCarriageReturn) {
    std::vector<std::string> seen;
    const auto run = Inspect(Generation::Second,
                             "DEFSMB K 3\n" // no statement
                             "EV\n"
                             "L| ( IN1 ) K\n"
                             "\"QUOTED\n" // passes unchecked
                             "A:\n"       // marker lines are checked here
                             "\n"
                             "/EV\n",
                             [&](std::string_view statement) {
                                 seen.emplace_back(statement);
                                 return LineParseResult{};
                             });
    EXPECT_EQ(run.resultCode, kResultCompiled);
    EXPECT_EQ(seen, (Rows{"EV\r", "(IN1)3\r", "\r", "/EV\r"}));
}

TEST_F(FrontEnd, ParserVerdictsBecomeCodesInPlaceOfTheLengthCode) {
    const auto verdict = [](std::string_view statement) {
        LineParseResult result;
        result.errorFlag = statement.starts_with("(BAD");
        result.notInDictionary = statement.starts_with("(BADWORD");
        result.statementMode = statement.starts_with("(BADAREA") ? 4 : 1;
        return result;
    };
    const auto run = Inspect(Generation::Second,
                             "(BADWORD)A\n"
                             "(BADAREA)A\n"
                             "(BADFORM)A\n"
                             "(BADFORM)ABCDEFGHIJKLMNOPQRSTUVW\n"
                             "(GOOD)ABCDEFGHIJKLMNOPQRSTUVWX\n",
                             verdict);
    EXPECT_EQ(run.resultCode, kResultErrors);
    EXPECT_EQ(run.Code(1), kCodeNotInDictionary);
    EXPECT_EQ(run.Code(2), kCodeAreaControl);
    EXPECT_EQ(run.Code(3), kCodeSyntax);
    EXPECT_EQ(run.Code(4), kCodeSyntax);
    EXPECT_EQ(run.Code(5), kCodeStatementTooLong);
    for (int line = 1; line <= 5; ++line)
        EXPECT_EQ(run.Code(line, 1), 0);
}

TEST(ParserVerdict, MapsToTheListingCodes) {
    EXPECT_EQ(ParserVerdictCode({false, true, 4}), 0);
    EXPECT_EQ(ParserVerdictCode({true, true, 4}), kCodeNotInDictionary);
    EXPECT_EQ(ParserVerdictCode({true, false, 4}), kCodeAreaControl);
    EXPECT_EQ(ParserVerdictCode({true, false, 3}), kCodeSyntax);
}

TEST(LineVerdict, MarksAndCodesAgreeAndBelongToTheirLine) {
    CompilerContext ctx;
    InitCompilerContext(ctx, Generation::First);
    ctx.lineIndex = 2;
    MarkError(ctx);
    SettleLineVerdict(ctx);
    EXPECT_EQ(StoredCode(ctx, 0), kCodeActionSyntax) << "a failed line gets a message";

    ctx.lineIndex = 4;
    StoreCode(ctx, 3, 46);
    SettleLineVerdict(ctx);
    EXPECT_TRUE(ctx.errors.marked[4]) << "a stored code fails the line";
    EXPECT_EQ(StoredCode(ctx, 0), 0);

    ctx.lineIndex = 5;
    StoreCode(ctx, 0, kCodeStatementTooLong);
    SettleLineVerdict(ctx);
    EXPECT_TRUE(ctx.errors.marked[5]);
    EXPECT_EQ(StoredCode(ctx, 0), kCodeActionSyntax) << "a code the listing cannot name";

    ctx.lineIndex = 6;
    MarkError(ctx);
    WithdrawMark(ctx);
    ctx.lineIndex = 2;
    WithdrawMark(ctx);
    ctx.lineIndex = 4;
    EXPECT_TRUE(AnyLineMarked(ctx)) << "withdrawing one line's mark leaves the others";

    CompilerContext second;
    InitCompilerContext(second, Generation::Second);
    second.lineIndex = 0;
    MarkError(second);
    SettleLineVerdict(second);
    EXPECT_EQ(StoredCode(second, 0), kCodeSyntax);

    second.lineIndex = 1;
    StoreCode(second, kErrorSlots, 7);
    StoreCode(second, -1, 7);
    second.lineIndex = 6000;
    StoreCode(second, 0, 7);
    MarkError(second);
    second.lineIndex = 1;
    SettleLineVerdict(second);
    EXPECT_EQ(StoredCode(second, 0), 0) << "slots and rows outside the table are ignored";
    EXPECT_FALSE(second.errors.marked[1]);
}

} // namespace
} // namespace kaso::compiler::test
