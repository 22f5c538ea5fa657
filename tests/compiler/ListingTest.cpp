// The listing texts: one per result code, and the per-line error list with its 100-message cap.
#include "CompilerTestSupport.h"

namespace kaso::compiler::test {
namespace {

class Listing : public ::testing::Test {
protected:
    void SetUp() override {
        InitCompilerContext(first_, Generation::First);
        InitCompilerContext(second_, Generation::Second);
    }
    static void Store(CompilerContext& ctx, int line, int slot, int code) {
        ctx.lineIndex = line - 1;
        StoreCode(ctx, slot, code);
        MarkError(ctx);
    }
    CompilerContext first_;
    CompilerContext second_;
};

TEST_F(Listing, FixedTextsOfTheResultCodes) {
    EXPECT_EQ(FormatListing(first_, kResultCompiled, {3, 2, false}),
              Cp932("コンパイル終了\nEvline :   3  Sqline :   2\n"));
    EXPECT_EQ(FormatListing(second_, kResultCompiled, {1998, -1, false}),
              Cp932("コンパイル終了\nEvline : 1998  Sqline :  -1\n"));
    EXPECT_EQ(FormatListing(first_, kResultTooManyLines, {}),
              Cp932("[致命的エラー] ﾌﾟﾛｸﾞﾗﾑが大きすぎます( 2000 Line 以上)"));
    EXPECT_EQ(FormatListing(second_, kResultTooManyLines, {}),
              Cp932("[致命的エラー] ﾌﾟﾛｸﾞﾗﾑが大きすぎます( 6000 Line 以上)"));
    EXPECT_EQ(FormatListing(first_, kResultFileNotOpened, {}),
              Cp932("[致命的エラー]指定のファイルが見つかりません\n"));
    EXPECT_EQ(FormatListing(second_, kResultSequenceNotClosed, {}),
              Cp932("[致命的エラー] /SQ が見つかりません\n"));
    EXPECT_EQ(FormatCompiledFileFailure(), Cp932("[致命的エラー]MBXファイルが作成できません\n"));
}

TEST_F(Listing, MessagesInLineAndSlotOrder) {
    Store(first_, 12, 0, 43);
    Store(first_, 5, 1, 46);
    Store(first_, 5, 0, 20);
    Store(first_, 7, 0, 4);
    Store(first_, 2000, 0, 40);
    EXPECT_EQ(FormatListing(first_, kResultErrors, {}),
              ErrorLine(5, "ユーザ変数が8以上定義されました") +
                  ErrorLine(5, "実行文中にスペルミスがあります") +
                  ErrorLine(7, "Inside Knm Simbol (***,***) error", true) +
                  ErrorLine(12, "条件文中の構文が違います") +
                  ErrorLine(2000, "登録されているﾒｲﾙﾎﾞｯｸｽｺﾏﾝﾄﾞが60以上あります"));
}

TEST_F(Listing, SecondGenerationCodesHaveMessagesOnlyThere) {
    for (int code : {47, 48, 49, 50, 51, -3}) {
        Store(first_, 1, 0, code);
        EXPECT_EQ(FormatListing(first_, kResultErrors, {}), "") << code;
    }
    Store(second_, 1, 0, 47);
    Store(second_, 2, 0, 49);
    Store(second_, 3, 0, 50);
    Store(second_, 4, 0, 32);
    EXPECT_EQ(FormatListing(second_, kResultErrors, {}),
              ErrorLine(1, "辞書に無い単語が含まれています") +
                  ErrorLine(2, "MBX SQ/EV 領域制御エラー") +
                  ErrorLine(3, "文字列が29文字を超えています") +
                  ErrorLine(4, "*: 又は :***: 指定エラー"));
}

TEST_F(Listing, AtMostOneHundredAndOneMessages) {
    const auto list = [](CompilerContext& ctx, int errors) {
        InitCompilerContext(ctx, ctx.generation);
        for (int line = 1; line <= errors; ++line)
            Store(ctx, line, 0, 43);
        return FormatListing(ctx, kResultErrors, {});
    };
    std::string hundred;
    for (int line = 1; line <= 100; ++line)
        hundred += ErrorLine(line, "条件文中の構文が違います");
    const std::string closing = Cp932("[致命的エラー] エラーの数が100を越えました\n");
    const std::string hundredFirst = ErrorLine(101, "条件文中の構文が違います");
    EXPECT_EQ(list(first_, 100), hundred);
    EXPECT_EQ(list(first_, 101), hundred + hundredFirst + closing);
    EXPECT_EQ(list(first_, 150), hundred + hundredFirst + closing);
}

} // namespace
} // namespace kaso::compiler::test
