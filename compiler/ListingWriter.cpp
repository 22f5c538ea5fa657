// The listing: what the editor shows after a compile. A successful compile lists its step
// counts, a fatal result one line, and a failed compile every stored code of every line in line
// and slot order as its message, up to 100 messages and a closing line after the 101st.
//
// The texts are CP932 bytes, written as escapes with the text in the comment above each; "%3d"
// stands for a line number or count, right-aligned in three places.
#include "Compiler.h"

#include <array>

namespace kaso::compiler {

namespace {

// Messages of error codes 1 to 50; the first generation has none for 47 to 50.
constexpr std::array<std::string_view, 50> kMessages = {
    // [エラー] LineNo %3d '(' 又は '[' がありません
    "[\203G\203\211\201[] LineNo %3d '(' \226\224\202\315 '[' "
    "\202\252\202\240\202\350\202\334\202\271\202\361\n",
    // [エラー] LineNo %3d '#,$,&...'などのシンボルがありません
    "[\203G\203\211\201[] LineNo %3d "
    "'#,$,&...'\202\310\202\307\202\314\203V\203\223\203{"
    "\203\213\202\252\202\240\202\350\202\334\202\271\202\361\n",
    // [エラー] LineNo %3d Statas[1] error
    "[\203G\203\211\201[] LineNo %3d Statas[1] error\n",
    // [Error] LineNo %3d Inside Knm Simbol (***,***) error
    "[Error] LineNo %3d Inside Knm Simbol (***,***) error\n",
    // [Error] LineNo %3d Number[1] error
    "[Error] LineNo %3d Number[1] error\n",
    // [Error] LineNo %3d Inside '=,>,<...' Simbol error
    "[Error] LineNo %3d Inside '=,>,<...' Simbol error\n",
    // [Error] LineNo %3d Number[2] error
    "[Error] LineNo %3d Number[2] error\n",
    // [Error] LineNo %3d Nothing ')' or ']' Simbol
    "[Error] LineNo %3d Nothing ')' or ']' Simbol\n",
    // [Error] LineNo %3d Outside Simbol '#,$,&...' error
    "[Error] LineNo %3d Outside Simbol '#,$,&...' error\n",
    // [Error] LineNo %3d Statas[2] error
    "[Error] LineNo %3d Statas[2] error\n",
    // [Error] LineNo %3d Outside Knm Simbol (***)**,** error
    "[Error] LineNo %3d Outside Knm Simbol (***)**,** error\n",
    // [Error] LineNo %3d Number[3] error
    "[Error] LineNo %3d Number[3] error\n",
    // [Error] LineNo %3d Outside '=,<,>...' Simbol error
    "[Error] LineNo %3d Outside '=,<,>...' Simbol error\n",
    // [Error] LineNo %3d Number[4] error
    "[Error] LineNo %3d Number[4] error\n",
    // [Error] LineNo %3d Mode error
    "[Error] LineNo %3d Mode error\n",
    // [Error] LineNo %3d Command error
    "[Error] LineNo %3d Command error\n",
    // [Error] LineNo %3d Mailbox Command error
    "[Error] LineNo %3d Mailbox Command error\n",
    // [Error] LineNo %3d Command Bit error
    "[Error] LineNo %3d Command Bit error\n",
    // [Error] LineNo %3d Data error
    "[Error] LineNo %3d Data error\n",
    // [エラー] LineNo %3d ユーザ変数が8以上定義されました
    "[\203G\203\211\201[] LineNo %3d "
    "\203\206\201[\203U\225\317\220\224\202\2528\210\310\217\343\222\350\213`"
    "\202\263\202\352\202\334\202\265\202\275\n",
    // [エラー] LineNo %3d ユーザ変数が3文字以上定義されました
    "[\203G\203\211\201[] LineNo %3d "
    "\203\206\201[\203U\225\317\220\224\202\2523\225\266\216\232\210\310\217\343\222\350\213`"
    "\202\263\202\352\202\334\202\265\202\275\n",
    // [エラー] LineNo %3d シンボルが20以上定義されました
    "[\203G\203\211\201[] LineNo %3d "
    "\203V\203\223\203{\203\213\202\25220\210\310\217\343\222\350\213`"
    "\202\263\202\352\202\334\202\265\202\275\n",
    // [エラー] LineNo %3d シンボル名が8文字以上定義されました
    "[\203G\203\211\201[] LineNo %3d "
    "\203V\203\223\203{\203\213\226\274\202\2528\225\266\216\232\210\310\217\343\222\350\213`"
    "\202\263\202\352\202\334\202\265\202\275\n",
    // [エラー] LineNo %3d シンボル名が一致していません
    "[\203G\203\211\201[] LineNo %3d "
    "\203V\203\223\203{"
    "\203\213\226\274\202\252\210\352\222v\202\265\202\304\202\242\202\334\202\271\202\361\n",
    // [エラー] LineNo %3d キャラクタが長すぎます(4文字以下)
    "[\203G\203\211\201[] LineNo %3d "
    "\203L\203\203\203\211\203N\203^\202\252\222\267\202\267\202\254\202\334\202\267("
    "4\225\266\216\232\210\310\211\272)\n",
    // [エラー] LineNo %3d ユーザ変数が定義されていません
    "[\203G\203\211\201[] LineNo %3d "
    "\203\206\201[\203U\225\317\220\224\202\252\222\350\213`"
    "\202\263\202\352\202\304\202\242\202\334\202\271\202\361\n",
    // [エラー] LineNo %3d コメントが長すぎます(5文字以下)
    "[\203G\203\211\201[] LineNo %3d "
    "\203R\203\201\203\223\203g\202\252\222\267\202\267\202\254\202\334\202\267("
    "5\225\266\216\232\210\310\211\272)\n",
    // [エラー] LineNo %3d ラベル名が一致していません
    "[\203G\203\211\201[] LineNo %3d "
    "\203\211\203x\203\213\226\274\202\252\210\352\222v\202\265\202\304\202\242\202\334\202\271\202"
    "\361\n",
    // [Error] LineNo %3d Label error 2
    "[Error] LineNo %3d Label error 2\n",
    // [Error] LineNo %3d Character error (Hex)
    "[Error] LineNo %3d Character error (Hex)\n",
    // [Error] LineNo %3d // isn't Comment mark
    "[Error] LineNo %3d // isn't Comment mark\n",
    // [エラー] LineNo %3d *: 又は :***: 指定エラー
    "[\203G\203\211\201[] LineNo %3d *: \226\224\202\315 :***: \216w\222\350\203G\203\211\201[\n",
    // [Error] LineNo %3d Mark error
    "[Error] LineNo %3d Mark error\n",
    // [Error] LineNo %3d Calculation Mark error
    "[Error] LineNo %3d Calculation Mark error\n",
    // [エラー] LineNo %3d 登録されているモード数が80以上あります
    "[\203G\203\211\201[] LineNo %3d "
    "\223o\230^\202\263\202\352\202\304\202\242\202\351\203\202\201["
    "\203h\220\224\202\25280\210\310\217\343\202\240\202\350\202\334\202\267\n",
    // [エラー] LineNo %3d 登録されているデータ数が30以上あります
    "[\203G\203\211\201[] LineNo %3d "
    "\223o\230^\202\263\202\352\202\304\202\242\202\351\203f\201[\203^"
    "\220\224\202\25230\210\310\217\343\202\240\202\350\202\334\202\267\n",
    // [エラー] LineNo %3d 登録されているステータス数が80以上あります
    "[\203G\203\211\201[] LineNo %3d "
    "\223o\230^\202\263\202\352\202\304\202\242\202\351\203X\203e\201[\203^"
    "\203X\220\224\202\25280\210\310\217\343\202\240\202\350\202\334\202\267\n",
    // [エラー] LineNo %3d 登録されているコマンド数が60以上あります
    "[\203G\203\211\201[] LineNo %3d "
    "\223o\230^\202\263\202\352\202\304\202\242\202\351\203R\203}"
    "\203\223\203h\220\224\202\25260\210\310\217\343\202\240\202\350\202\334\202\267\n",
    // [エラー] LineNo %3d Too many command_bit name (60)
    "[\203G\203\211\201[] LineNo %3d Too many command_bit name (60)\n",
    // [エラー] LineNo %3d 登録されているﾒｲﾙﾎﾞｯｸｽｺﾏﾝﾄﾞが60以上あります
    "[\203G\203\211\201[] LineNo %3d "
    "\223o\230^"
    "\202\263\202\352\202\304\202\242\202\351\322\262\331\316\336\257\270\275\272\317\335\304\336"
    "\202\25260\210\310\217\343\202\240\202\350\202\334\202\267\n",
    // [エラー] LineNo %3d ラベルが100以上定義されています
    "[\203G\203\211\201[] LineNo %3d "
    "\203\211\203x\203\213\202\252100\210\310\217\343\222\350\213`"
    "\202\263\202\352\202\304\202\242\202\334\202\267\n",
    // [エラー] LineNo %3d ラベル名が20文字以上あります
    "[\203G\203\211\201[] LineNo %3d "
    "\203\211\203x\203\213\226\274\202\25220\225\266\216\232\210\310\217\343\202\240\202\350\202"
    "\334\202\267\n",
    // [エラー] LineNo %3d 条件文中の構文が違います
    "[\203G\203\211\201[] LineNo %3d "
    "\217\360\214\217\225\266\222\206\202\314\215\134\225\266\202\252\210\341\202\242\202\334\202"
    "\267\n",
    // [エラー] LineNo %3d 条件文中にスペルミスがあります
    "[\203G\203\211\201[] LineNo %3d "
    "\217\360\214\217\225\266\222\206\202\311\203X\203y\203\213\203~"
    "\203X\202\252\202\240\202\350\202\334\202\267\n",
    // [エラー] LineNo %3d 実行文中の構文が違います
    "[\203G\203\211\201[] LineNo %3d "
    "\216\300\215s\225\266\222\206\202\314\215\134\225\266\202\252\210\341\202\242\202\334\202\267"
    "\n",
    // [エラー] LineNo %3d 実行文中にスペルミスがあります
    "[\203G\203\211\201[] LineNo %3d "
    "\216\300\215s\225\266\222\206\202\311\203X\203y\203\213\203~"
    "\203X\202\252\202\240\202\350\202\334\202\267\n",
    // [エラー] LineNo %3d 辞書に無い単語が含まれています
    "[\203G\203\211\201[] LineNo %3d "
    "\216\253\217\221\202\311\226\263\202\242\222P\214\352\202\252\212\334\202\334\202\352\202\304"
    "\202\242\202\334\202\267\n",
    // [エラー] LineNo %3d 構文エラー
    "[\203G\203\211\201[] LineNo %3d \215\134\225\266\203G\203\211\201[\n",
    // [エラー] LineNo %3d MBX SQ/EV 領域制御エラー
    "[\203G\203\211\201[] LineNo %3d MBX SQ/EV "
    "\227\314\210\346\220\247\214\344\203G\203\211\201[\n",
    // [エラー] LineNo %3d 文字列が29文字を超えています
    "[\203G\203\211\201[] LineNo %3d "
    "\225\266\216\232\227\361\202\25229\225\266\216\232\202\360\222\264\202\246\202\304\202\242\202"
    "\334\202\267\n",
};

// コンパイル終了
constexpr std::string_view kFinished = "\203R\203\223\203p\203C\203\213\217I\227\271\n";
// Evline : %3d  Sqline : %3d
constexpr std::string_view kStepCounts = "Evline : %3d  Sqline : %3d\n";
// [致命的エラー] ﾌﾟﾛｸﾞﾗﾑが大きすぎます( %3d Line 以上)
constexpr std::string_view kTooManyLines =
    "[\222v\226\275\223I\203G\203\211\201[] "
    "\314\337\333\270\336\327\321\202\252\221\345\202\253\202\267\202\254\202\334\202\267( %3d "
    "Line \210\310\217\343)";
// [致命的エラー]指定のファイルが見つかりません
constexpr std::string_view kFileNotFound =
    "[\222v\226\275\223I\203G\203\211\201[]\216w\222\350\202\314\203t\203@"
    "\203C\203\213\202\252\214\251\202\302\202\251\202\350\202\334\202\271\202\361\n";
// [致命的エラー] /SQ が見つかりません
constexpr std::string_view kSequenceNotClosed =
    "[\222v\226\275\223I\203G\203\211\201[] /SQ "
    "\202\252\214\251\202\302\202\251\202\350\202\334\202\271\202\361\n";
// [致命的エラー] エラーの数が100を越えました
constexpr std::string_view kTooManyErrors =
    "[\222v\226\275\223I\203G\203\211\201[] "
    "\203G\203\211\201[\202\314\220\224\202\252100\202\360\211z\202\246\202\334\202\265\202\275\n";
// [致命的エラー]MBXファイルが作成できません
constexpr std::string_view kCompiledFileNotWritten =
    "[\222v\226\275\223I\203G\203\211\201[]MBX\203t\203@"
    "\203C\203\213\202\252\215\354\220\254\202\305\202\253\202\334\202\271\202\361\n";

constexpr int kMessagesBeforeClosing = 100;
constexpr int kLastFirstGenerationCode = 46;

std::string FillNumber(std::string_view text, long long number) {
    std::string filled(text);
    if (const std::size_t at = filled.find("%3d"); at != std::string::npos)
        filled.replace(at, 3, PadNumber(number, 3));
    return filled;
}

std::string StepCountsText(const StepCounts& counts) {
    std::string text = FillNumber(kStepCounts, counts.evline);
    const std::size_t at = text.find("%3d");
    text.replace(at, 3, PadNumber(counts.sqline, 3));
    return text;
}

std::string ErrorList(const CompilerContext& ctx) {
    std::string text;
    int messages = 0;
    for (std::size_t row = 0; row < ctx.errors.rows.size(); ++row) {
        for (const std::int32_t code : ctx.errors.rows[row]) {
            const std::string_view message = ErrorMessage(code, ctx.generation);
            if (message.empty()) continue;
            text += FillNumber(message, static_cast<long long>(row) + 1);
            if (++messages > kMessagesBeforeClosing) return text + std::string(kTooManyErrors);
        }
    }
    return text;
}

} // namespace

std::string_view ErrorMessage(int code, Generation generation) {
    const int last = generation == Generation::First ? kLastFirstGenerationCode
                                                     : static_cast<int>(kMessages.size());
    if (code < 1 || code > last) return {};
    return kMessages[static_cast<std::size_t>(code - 1)];
}

std::string FormatListing(const CompilerContext& ctx, int resultCode, const StepCounts& counts) {
    switch (resultCode) {
    case kResultCompiled:
        return std::string(kFinished) + StepCountsText(counts);
    case kResultTooManyLines:
        return FillNumber(kTooManyLines, LineLimit(ctx.generation));
    case kResultSequenceNotClosed:
        return std::string(kSequenceNotClosed);
    case kResultErrors:
        return ErrorList(ctx);
    default:
        return std::string(kFileNotFound);
    }
}

std::string FormatCompiledFileFailure() {
    return std::string(kCompiledFileNotWritten);
}

} // namespace kaso::compiler
