// The lock window's guide: one text per row whatever the series and model, the texts that must
// read word for word, the names, the rows it shares with the list window and the table's totals.
#include "GuideTestText.h"
#include "parameters/PrmGuide.h"
#include "parameters/PrmGuideData.h"
#include "ui/Codec.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

namespace {

std::string Utf8(const QString& text) {
    return text.toUtf8().toStdString();
}

TEST(PrmLockGuideTest, RowsOutsideTheTableHaveNoGuide) {
    EXPECT_TRUE(PrmLockGuideLines(0).isEmpty());
    EXPECT_TRUE(PrmLockGuideLines(-1).isEmpty());
    EXPECT_TRUE(PrmLockGuideLines(201).isEmpty());
    EXPECT_FALSE(PrmLockGuideLines(1).isEmpty());
    EXPECT_FALSE(PrmLockGuideLines(200).isEmpty());
}

struct QuotedCase {
    int row;
    QStringList lines;
};

TEST(PrmLockGuideTest, QuotedTextsReadWordForWord) {
    // clang-format off
    const QStringList gearDenominator =
        Lines({"名称 : 電子ｷﾞｱ分母", "ﾊﾟﾙｽ列を含む位置指令値に掛けられる係数の分母を設定してください。",
               "詳細は、ﾄﾞﾗｲﾊﾞ本体の取扱説明書の極性及びてい倍をご覧ください。",
               "ﾊﾟﾙｽ指令ﾓｰﾄﾞ時には移動量及び速度が変わりますが、内部指令ﾓｰﾄﾞ(ABS,INC等)時には移動量のみが変わります。"});
    QStringList gearNumerator = gearDenominator;
    gearNumerator[0] = QString::fromUtf8("名称 : 電子ｷﾞｱ分子");
    gearNumerator[1] = QString::fromUtf8("ﾊﾟﾗﾒｰﾀ#13と同様の係数の分子を設定してください。");
    const QStringList setSpeed =
        Lines({"名称 : 設定速度", "Kas/2ｺﾏﾝﾄﾞに対するﾃﾞﾌｫﾙﾄ速度です。", "[回転型ﾓｰﾀの場合]",
               "単位は [rpm] です。", "[ﾘﾆｱ型ﾓｰﾀの場合]", "単位は [mm/sec] です。"});
    QStringList jogSpeed = setSpeed;
    jogSpeed[0] = QString::fromUtf8("名称 : ｼﾞｮｸﾞ速度");
    jogSpeed[1] = QString::fromUtf8("Kas/2ｼﾞｮｸﾞｺﾏﾝﾄﾞや原点復帰ｺﾏﾝﾄﾞによる移動時の速度です。");
    const QStringList acceleration = Lines(
        {"名称 : 加減速時間", "S字加減速のﾊﾟﾗﾒｰﾀです。",
         "ﾊﾟﾗﾒｰﾀ#7の最大回転数に対する加速を時間で指定します。", "単位は [msec] です。",
         "2～20000(ﾊﾟﾗﾒｰﾀ#26が16以下では20000まで)の範囲で設定してください。",
         "加減速時間は、ﾊﾟﾗﾒｰﾀ#32の設定で最大回転数ではなく、設定速度への到達時間に変更できます。",
         "このﾊﾟﾗﾒｰﾀはﾊﾟﾙｽ列又は、ｱﾅﾛｸﾞ入力に直接追従する制御ﾓｰﾄﾞ(PUL,PLT,ANV,ANQ等)では無効です。",
         kSeeManualText});
    const QStringList jerk = Lines({"名称 : ｼﾞｬｰｸ時間", "S字加減速のﾊﾟﾗﾒｰﾀです。",
                                    "最大回転数に対する加速度の立ち上げ時間を指定します。",
                                    "単位は [msec] です。",
                                    "加減速時間の50[%]以下で且つ1～565の範囲で設定してください。"}) +
                             acceleration.mid(5);
    const QuotedCase cases[] = {
        {1, Lines({"名称 : ｴﾝｺｰﾀﾞ基本分解能", "[回転型ﾓｰﾀの場合]",
                   "ｴﾝｺｰﾀﾞ1回転当たりのてい倍前ﾊﾟﾙｽ数を設定してください。", "単位は [Pulse/rev] です。",
                   "[ﾘﾆｱ型ﾓｰﾀの場合]", "ﾘﾆｱ型ﾓｰﾀの磁極設置範囲当たりのてい倍前ﾊﾟﾙｽ数を設定してください。",
                   "単位は [Pulse/磁極間設置範囲] です。"})},
        {13, Lines({"名称 : 初期ﾓｰﾄﾞ", "ﾄﾞﾗｲﾊﾞ電源投入(立上げ)時にｾｯﾄされるﾓｰﾄﾞを設定してください。",
                    "設定する数値は、Kas/2のﾓｰﾄﾞの数値を同じです。",
                    "詳細は、ﾄﾞﾗｲﾊﾞ本体の取扱説明書のﾓｰﾄﾞの設定をご覧ください。"})},
        {14, gearDenominator},
        {15, gearNumerator},
        {22, Lines({"名称 : Kas/2ﾓｰﾄﾞ", "Kas/2に関する設定です。", "(ﾎﾞｰﾚｰﾄ、ﾒｲﾙﾎﾞｯｸｽ、ﾊﾟﾘﾃｨﾁｪｯｸ選択)",
                    kSeeManualText})},
        {23, setSpeed},
        {24, jogSpeed},
        {26, acceleration},
        {27, jerk},
        {47, Lines({"名称 : 自動力率検知ｹﾞｲﾝ係数", "自動力率検知時に加速度ﾙｰﾌﾟｹﾞｲﾝにかけられる係数です。",
                    "自動力率検知時のｹﾞｲﾝ = ﾊﾟﾗﾒｰﾀ#19×ﾊﾟﾗﾒｰﾀ#46",
                    "自動力率検知時のｹﾞｲﾝは、負荷によって最適値が異なりますので加速度ﾙｰﾌﾟｹﾞｲﾝ(ﾊﾟﾗﾒｰﾀ#19)と同様に高すぎると騒音が発生します。",
                    "また、逆に低すぎると振れが大きくなります。", "1～100までの範囲で設定してください。"})},
        {73, Lines({"名称 : 適応制御時定数", "加速度系への目標時定数を設定します。",
                    "数値符号が－値(ﾏｲﾅｽ)の場合は[μsec]、+値(ﾌﾟﾗｽ)の場合は[msec]単位となります。",
                    "なお、0が設定されていた場合は2[msec]の時定数と同一になります。"})},
        {81, Lines({"名称 : 速度PID速度ﾙｰﾌﾟ比例ｹﾞｲﾝ", "重み:ﾊﾟﾗﾒｰﾀ#80÷256",
                    "このﾊﾟﾗﾒｰﾀは、DSPﾓﾃﾞﾙでのみ利用可能です。", kSeeManualText})},
        {88, Lines({"名称 : ｴﾝｺｰﾀﾞ分岐分周比",
                    "ﾄﾞﾗｲﾊﾞCN11からのｴﾝｺｰﾀﾞ分岐出力が設定した分周比で出力されます。",
                    "（但し、非DSPﾓﾃﾞﾙの場合はこの分周比は変更できません。）", kSeeManualText})},
        {90, Lines({"名称 : 電子ｷﾞｱ2",
                    "例えば、ｷﾞｶﾞ速度ｵﾌﾟｼｮﾝなどで使用する際に ANV、ANPﾓｰﾄﾞのｱﾅﾛｸﾞ指令値を32ﾋﾞｯﾄに倍増します。"})},
        {94, Lines({"名称 : ｽｲｯﾁ2", "適応制御自動実行有/無選択などに使われます。", kSeeManualText})},
        {111, Lines({"名称 : ﾉｯﾁｽｲｯﾁ", "ﾉｯﾁﾌｨﾙﾀ用のﾊﾟﾗﾒｰﾀです。",
                     "詳細は、ﾉｯﾁﾌｨﾙﾀｵﾌﾟｼｮﾝの取扱説明書をご覧ください。"})},
        {191, Lines({"名称 : 汎用ﾊﾟﾗﾒｰﾀ", "設定可能ﾃﾞｰﾀ範囲はﾀﾞﾌﾞﾙﾜｰﾄﾞ型(符号付き32bit)です。",
                     "ﾒｲﾙﾎﾞｯｸｽｵﾌﾟｼｮﾝ使用時にご利用頂けます。"})},
        {192, Lines({"名称 : 使用不可", "ﾊﾟﾗﾒｰﾀ#190の一部として使用されています。"})},
    };
    // clang-format on
    for (const QuotedCase& c : cases)
        EXPECT_EQ(PrmLockGuideLines(c.row), c.lines) << "row " << c.row;
}

struct ExpectedRange {
    int first;
    int last;
    const char* name;
    int lines;
};

// Each row's name after "名称 : " and its number of lines.
// clang-format off
const ExpectedRange kExpectedRows[] = {
    {1, 1, "ｴﾝｺｰﾀﾞ基本分解能", 7},
    {2, 2, "ﾘﾆｱﾓｰﾀ有効長さ", 4},
    {3, 3, "ﾎﾟｰﾙ数", 4},
    {4, 4, "ﾓｰﾀ定格電流", 4},
    {5, 5, "電流ﾘﾐｯﾄ値", 4},
    {6, 7, "予約", 1},
    {8, 8, "最大回転数", 9},
    {9, 9, "検出ﾓｰﾄﾞ", 3},
    {10, 10, "指令ﾓｰﾄﾞ", 3},
    {11, 11, "ﾎﾟｰﾙｾﾝｻ位置", 4},
    {12, 12, "I/O形式", 3},
    {13, 13, "初期ﾓｰﾄﾞ", 4},
    {14, 14, "電子ｷﾞｱ分母", 4},
    {15, 15, "電子ｷﾞｱ分子", 4},
    {16, 16, "電子ﾎﾞﾘｭｰﾑ", 3},
    {17, 17, "電子ﾄﾘﾏ", 3},
    {18, 18, "位置ﾙｰﾌﾟ時定数", 3},
    {19, 19, "速度ﾙｰﾌﾟ時定数", 3},
    {20, 20, "加速度ﾙｰﾌﾟｹﾞｲﾝ", 3},
    {21, 21, "ﾛｰｹﾞｲﾝ", 3},
    {22, 22, "Kas/2ﾓｰﾄﾞ", 4},
    {23, 23, "設定速度", 6},
    {24, 24, "ｼﾞｮｸﾞ速度", 6},
    {25, 25, "ｸﾘｰﾌﾟ速度", 7},
    {26, 26, "加減速時間", 8},
    {27, 27, "ｼﾞｬｰｸ時間", 8},
    {28, 28, "ｵｰﾊﾞｰﾗﾝﾘﾐｯﾄ", 4},
    {29, 29, "ｲﾝﾎﾟｼﾞｼｮﾝ幅", 4},
    {30, 30, "原点位置", 3},
    {31, 31, "原点ﾓｰﾄﾞ", 2},
    {32, 32, "ｻｰﾏﾙ時定数", 5},
    {33, 33, "ｽｲｯﾁ", 3},
    {34, 34, "ﾓｰﾀ軸名", 5},
    {35, 35, "保守ｺｰﾄﾞ", 2},
    {36, 36, "摩擦", 2},
    {37, 37, "ｻｰﾏﾙ値", 2},
    {38, 38, "ｵﾌﾟｼｮﾝｴﾝｺｰﾀﾞﾀｲﾌﾟ", 2},
    {39, 39, "ﾓｰﾀﾀｲﾌﾟ", 4},
    {40, 40, "加速度ﾌｨﾙﾀ", 4},
    {41, 41, "ﾄﾞﾗｲﾊﾞﾀｲﾌﾟ", 3},
    {42, 42, "ﾄﾞﾗｲﾊﾞ最大電流", 3},
    {43, 43, "Ｕ相ｵﾌｾｯﾄ", 3},
    {44, 44, "Ｕ相ｹﾞｲﾝ", 3},
    {45, 45, "Ｖ相ｵﾌｾｯﾄ", 3},
    {46, 46, "Ｖ相ｹﾞｲﾝ", 3},
    {47, 47, "自動力率検知ｹﾞｲﾝ係数", 6},
    {48, 48, "ﾊﾟﾗﾒｰﾀﾁｪｯｸｻﾑ", 2},
    {49, 49, "電子ﾎﾞﾘｭｰﾑ2", 3},
    {50, 50, "電子ﾄﾘﾏ2", 3},
    {51, 51, "ｱﾅﾛｸﾞﾓﾆﾀch1ｵﾌｾｯﾄ", 2},
    {52, 52, "ｱﾅﾛｸﾞﾓﾆﾀch1ｹﾞｲﾝ", 2},
    {53, 53, "ｱﾅﾛｸﾞﾓﾆﾀch2ｵﾌｾｯﾄ", 2},
    {54, 54, "ｱﾅﾛｸﾞﾓﾆﾀch2ｹﾞｲﾝ", 2},
    {55, 55, "減速時間", 4},
    {56, 56, "減速ｼﾞｬｰｸ時間", 4},
    {57, 59, "汎用ﾊﾟﾗﾒｰﾀ", 3},
    {60, 60, "使用不可", 2},
    {61, 61, "汎用ﾊﾟﾗﾒｰﾀ", 3},
    {62, 62, "使用不可", 2},
    {63, 63, "汎用ﾊﾟﾗﾒｰﾀ", 3},
    {64, 64, "使用不可", 2},
    {65, 65, "電流制御ﾙｰﾌﾟ比例ｹﾞｲﾝ", 3},
    {66, 66, "電流制御ﾙｰﾌﾟ積分ｹﾞｲﾝ", 3},
    {67, 67, "電流制御ﾙｰﾌﾟ微分ｹﾞｲﾝ", 3},
    {68, 68, "PWM周波数", 3},
    {69, 69, "ｴﾝｺｰﾀﾞｼﾞｯﾀ用ﾌｨﾙﾀ", 3},
    {70, 70, "誤差過大設定", 4},
    {71, 71, "軸間同期ｵﾌﾟｼｮﾝ", 4},
    {72, 72, "予約", 1},
    {73, 73, "適応制御時定数", 4},
    {74, 74, "予約", 1},
    {75, 75, "標準DIﾎﾟｰﾄ論理反転", 5},
    {76, 76, "標準DOﾎﾟｰﾄ論理反転", 5},
    {77, 77, "速度倍率", 3},
    {78, 78, "ｱﾗｰﾑ記録ﾄﾘｶﾞｰ選択", 4},
    {79, 79, "ｻｰﾎﾞｻｲｸﾙ", 4},
    {80, 80, "ﾌｨﾙﾀﾓｰﾄﾞ", 4},
    {81, 81, "速度PID速度ﾙｰﾌﾟ比例ｹﾞｲﾝ", 4},
    {82, 82, "速度PID速度ﾙｰﾌﾟ積分ｹﾞｲﾝ", 4},
    {83, 83, "速度PID速度ﾙｰﾌﾟ微分ｹﾞｲﾝ", 4},
    {84, 84, "速度ﾌｨﾙﾀ", 4},
    {85, 85, "ﾊﾟﾙｽﾌｨﾙﾀ", 3},
    {86, 86, "DIﾎﾟｰﾄﾌｨﾙﾀ", 3},
    {87, 87, "ﾀｺｵﾝﾚｰﾄ", 3},
    {88, 88, "ｴﾝｺｰﾀﾞ分岐分周比", 4},
    {89, 89, "予約", 1},
    {90, 90, "電子ｷﾞｱ2", 2},
    {91, 91, "ﾊﾞｽ電圧ｶｰﾌﾞ", 3},
    {92, 92, "ﾊﾞｽ電圧ｹﾞｲﾝ", 3},
    {93, 93, "ﾄﾞﾗｲﾊﾞﾊﾟﾜｰｸﾗｽ", 3},
    {94, 94, "ｽｲｯﾁ2", 3},
    {95, 96, "予約", 1},
    {97, 97, "現在ﾓｰﾄﾞ", 3},
    {98, 104, "予約", 1},
    {105, 105, "ITC ﾄﾞﾗｲﾊﾞ抵抗", 4},
    {106, 106, "ITC/ITU 時定数", 4},
    {107, 107, "ITC DCﾊﾞｽ電圧", 4},
    {108, 108, "ITC ﾓｰﾀ抵抗", 5},
    {109, 109, "ITC ﾓｰﾀｲﾝﾀﾞｸﾀﾝｽ", 5},
    {110, 110, "ITC ﾓｰﾀEMF定数", 5},
    {111, 111, "ﾉｯﾁｽｲｯﾁ", 3},
    {112, 112, "ﾉｯﾁﾓｰﾄﾞ", 3},
    {113, 113, "ﾉｯﾁ周波数ch1", 3},
    {114, 114, "ﾉｯﾁ帯域幅ch1", 3},
    {115, 115, "ﾉｯﾁ周波数ch2", 3},
    {116, 116, "ﾉｯﾁ帯域幅ch2", 3},
    {117, 117, "ﾉｯﾁ周波数ch3", 3},
    {118, 118, "ﾉｯﾁ帯域幅ch3", 3},
    {119, 120, "予約", 1},
    {121, 121, "回生ﾀｲﾌﾟ", 6},
    {122, 122, "回生定格電力", 4},
    {123, 123, "回生抵抗値", 4},
    {124, 124, "回生熱時定数", 4},
    {125, 125, "補正起動選択", 3},
    {126, 130, "予約", 1},
    {131, 131, "BSC通信速度", 4},
    {132, 132, "ANIﾏｽﾀ", 3},
    {133, 133, "ｱﾅﾛｸﾞ入力不感域", 3},
    {134, 134, "予約", 1},
    {135, 135, "BSC通信ﾓｰﾄﾞ", 4},
    {136, 137, "予約", 1},
    {138, 138, "ﾄﾙｸﾓﾆﾀ選択", 3},
    {139, 139, "ﾄﾙｸﾓﾆﾀｹﾞｲﾝ", 2},
    {140, 140, "ﾄﾙｸﾓﾆﾀｵﾌｾｯﾄ", 2},
    {141, 190, "予約", 1},
    {191, 191, "汎用ﾊﾟﾗﾒｰﾀ", 3},
    {192, 192, "使用不可", 2},
    {193, 193, "汎用ﾊﾟﾗﾒｰﾀ", 3},
    {194, 194, "使用不可", 2},
    {195, 195, "汎用ﾊﾟﾗﾒｰﾀ", 3},
    {196, 196, "使用不可", 2},
    {197, 197, "汎用ﾊﾟﾗﾒｰﾀ", 3},
    {198, 198, "使用不可", 2},
    {199, 199, "汎用ﾊﾟﾗﾒｰﾀ", 3},
    {200, 200, "使用不可", 2},
};
// clang-format on

TEST(PrmLockGuideTest, EveryRowHasItsNameAndLineCount) {
    int rows = 0;
    for (const ExpectedRange& range : kExpectedRows) {
        for (int row = range.first; row <= range.last; ++row, ++rows) {
            const QStringList lines = PrmLockGuideLines(row);
            EXPECT_EQ(lines.size(), range.lines) << "row " << row;
            EXPECT_EQ(Utf8(lines.value(0)), std::string("名称 : ") + range.name) << "row " << row;
        }
    }
    EXPECT_EQ(rows, 200);
}

// The names of the lock window's name table, #000 to #199.
// clang-format off
const char* const kNameTable[200] = {
    "ｴﾝｺｰﾀﾞ基本分解能", "ﾘﾆｱﾓｰﾀ有効長さ", "ﾎﾟｰﾙ数", "ﾓｰﾀ定格電流", "電流ﾘﾐｯﾄ値", "予約", "予約", "最大回転数", "検出ﾓｰﾄﾞ", "指令ﾓｰﾄﾞ",
    "ﾎﾟｰﾙｾﾝｻ位置", "I/O形式", "初期ﾓｰﾄﾞ", "電子ｷﾞｱ分母", "電子ｷﾞｱ分子", "電子ﾎﾞﾘｭｰﾑ", "電子ﾄﾘﾏ", "位置ﾙｰﾌﾟ時定数", "速度ﾙｰﾌﾟ時定数", "加速度ﾙｰﾌﾟｹﾞｲﾝ",
    "ﾛｰｹﾞｲﾝ", "Kas/2ﾓｰﾄﾞ", "設定速度", "ｼﾞｮｸﾞ速度", "ｸﾘｰﾌﾟ速度", "加速時間", "ｼﾞｬｰｸ時間", "ｵｰﾊﾞｰﾗﾝﾘﾐｯﾄ", "ｲﾝﾎﾟｼﾞｼｮﾝ幅", "原点位置",
    "原点ﾓｰﾄﾞ", "ｻｰﾏﾙ時定数", "ｽｲｯﾁ", "ﾓｰﾀ軸名", "保守ｺｰﾄﾞ", "摩擦", "ｻｰﾏﾙ値", "ｵﾌﾟｼｮﾝｴﾝｺｰﾀﾞﾀｲﾌﾟ", "ﾓｰﾀﾀｲﾌﾟ", "加速度ﾌｨﾙﾀ",
    "ﾄﾞﾗｲﾊﾞﾀｲﾌﾟ", "ﾄﾞﾗｲﾊﾞ最大電流", "Ｕ相ｵﾌｾｯﾄ", "Ｕ相ｹﾞｲﾝ", "Ｖ相ｵﾌｾｯﾄ", "Ｖ相ｹﾞｲﾝ", "自動力率検知ｹﾞｲﾝ係数", "ﾊﾟﾗﾒｰﾀﾁｪｯｸｻﾑ", "電子ﾎﾞﾘｭｰﾑ2", "電子ﾄﾘﾏ2",
    "ｱﾅﾛｸﾞﾓﾆﾀch1ｵﾌｾｯﾄ", "ｱﾅﾛｸﾞﾓﾆﾀch1ｹﾞｲﾝ", "ｱﾅﾛｸﾞﾓﾆﾀch2ｵﾌｾｯﾄ", "ｱﾅﾛｸﾞﾓﾆﾀch2ｹﾞｲﾝ", "減速時間", "減速ｼﾞｬｰｸ時間", "汎用ﾊﾟﾗﾒｰﾀ", "汎用ﾊﾟﾗﾒｰﾀ", "汎用ﾊﾟﾗﾒｰﾀ", "使用不可",
    "汎用ﾊﾟﾗﾒｰﾀ", "使用不可", "汎用ﾊﾟﾗﾒｰﾀ", "使用不可", "電流ﾙｰﾌﾟ比例ｹﾞｲﾝ", "電流ﾙｰﾌﾟ積分ｹﾞｲﾝ", "電流ﾙｰﾌﾟ微分ｹﾞｲﾝ", "PWM周波数", "ｴﾝｺｰﾀﾞｼﾞｯﾀ用ﾌｨﾙﾀ", "誤差過大設定",
    "軸間同期ｵﾌﾟｼｮﾝ", "予約", "適応制御時定数", "予約", "DIﾎﾟｰﾄ論理反転", "DOﾎﾟｰﾄ論理反転", "速度倍率", "ｱﾗｰﾑ記録選択", "ｻｰﾎﾞｻｲｸﾙ", "ﾌｨﾙﾀﾓｰﾄﾞ(PID選択)",
    "PID 比例ｹﾞｲﾝ", "PID 積分ｹﾞｲﾝ", "PID 微分ｹﾞｲﾝ", "速度ﾌｨﾙﾀ", "ﾊﾟﾙｽﾌｨﾙﾀ", "DIﾎﾟｰﾄﾌｨﾙﾀ", "ﾀｺｵﾝﾚｰﾄ", "ｴﾝｺｰﾀﾞ分岐分周比", "予約", "電子ｷﾞｱ2",
    "ﾊﾞｽ電圧ｶｰﾌﾞ", "ﾊﾞｽ電圧ｹﾞｲﾝ", "ﾄﾞﾗｲﾊﾞﾊﾟﾜｰｸﾗｽ", "ｽｲｯﾁ2", "予約", "予約", "現在ﾓｰﾄﾞ", "予約", "予約", "予約",
    "予約", "予約", "予約", "予約", "ITC ﾄﾞﾗｲﾊﾞ抵抗", "ITC/ITU 時定数", "ITC DCﾊﾞｽ電圧", "ITC ﾓｰﾀ抵抗", "ITC ﾓｰﾀｲﾝﾀﾞｸﾀﾝｽ", "ITC ﾓｰﾀEMF定数",
    "ﾉｯﾁｽｲｯﾁ", "ﾉｯﾁﾓｰﾄﾞ", "ﾉｯﾁ周波数ch1", "ﾉｯﾁ帯域幅ch1", "ﾉｯﾁ周波数ch2", "ﾉｯﾁ帯域幅ch2", "ﾉｯﾁ周波数ch3", "ﾉｯﾁ帯域幅ch3", "予約", "予約",
    "回生ﾀｲﾌﾟ", "回生定格電力", "回生抵抗値", "回生熱時定数", "補正起動選択", "予約", "予約", "予約", "予約", "予約",
    "BSC通信速度", "ANIﾏｽﾀ", "ｱﾅﾛｸﾞ入力不感域", "予約", "BSC通信ﾓｰﾄﾞ", "予約", "予約", "ﾄﾙｸﾓﾆﾀ選択", "ﾄﾙｸﾓﾆﾀｹﾞｲﾝ", "ﾄﾙｸﾓﾆﾀｵﾌｾｯﾄ",
    "予約", "予約", "予約", "予約", "予約", "予約", "予約", "予約", "予約", "予約",
    "予約", "予約", "予約", "予約", "予約", "予約", "予約", "予約", "予約", "予約",
    "予約", "予約", "予約", "予約", "予約", "予約", "予約", "予約", "予約", "予約",
    "予約", "予約", "予約", "予約", "予約", "予約", "予約", "予約", "予約", "予約",
    "予約", "予約", "予約", "予約", "予約", "予約", "予約", "予約", "予約", "予約",
    "汎用ﾊﾟﾗﾒｰﾀ", "使用不可", "汎用ﾊﾟﾗﾒｰﾀ", "使用不可", "汎用ﾊﾟﾗﾒｰﾀ", "使用不可", "汎用ﾊﾟﾗﾒｰﾀ", "使用不可", "汎用ﾊﾟﾗﾒｰﾀ", "使用不可",
};
// clang-format on

TEST(PrmLockGuideTest, NamesFollowTheNameTableBarElevenLongerForms) {
    const std::map<int, std::string> longer = {
        {26, "加減速時間"},
        {65, "電流制御ﾙｰﾌﾟ比例ｹﾞｲﾝ"},
        {66, "電流制御ﾙｰﾌﾟ積分ｹﾞｲﾝ"},
        {67, "電流制御ﾙｰﾌﾟ微分ｹﾞｲﾝ"},
        {75, "標準DIﾎﾟｰﾄ論理反転"},
        {76, "標準DOﾎﾟｰﾄ論理反転"},
        {78, "ｱﾗｰﾑ記録ﾄﾘｶﾞｰ選択"},
        {80, "ﾌｨﾙﾀﾓｰﾄﾞ"},
        {81, "速度PID速度ﾙｰﾌﾟ比例ｹﾞｲﾝ"},
        {82, "速度PID速度ﾙｰﾌﾟ積分ｹﾞｲﾝ"},
        {83, "速度PID速度ﾙｰﾌﾟ微分ｹﾞｲﾝ"},
    };
    int sameAsTable = 0;
    for (int row = 1; row <= 200; ++row) {
        const std::string nameLine = Utf8(PrmLockGuideLines(row).value(0));
        const auto found = longer.find(row);
        const std::string name = found != longer.end() ? found->second : kNameTable[row - 1];
        EXPECT_EQ(nameLine, "名称 : " + name) << "row " << row;
        sameAsTable += nameLine == std::string("名称 : ") + kNameTable[row - 1];
    }
    EXPECT_EQ(sameAsTable, 189);
}

// Rows 1 to 110 read as the list window's guide of the newest models, but for fourteen rows of
// their own; nothing depends on the series.
TEST(PrmLockGuideTest, SharesTheListWindowsNewestTextsButFourteenRows) {
    const std::set<int> own = {13, 14, 15, 22, 23, 24, 26, 27, 47, 73, 81, 88, 90, 94};
    for (int row = 1; row <= 110; ++row) {
        for (int series : {2, 3}) {
            const QStringList list = PrmGuideLines(series, "QWC50A_D0", row);
            EXPECT_EQ(PrmLockGuideLines(row) != list, own.count(row) == 1) << "row " << row;
        }
    }
    EXPECT_EQ(PrmGuideLines(2, "", 73), Lines({"名称 : 予約"}));
    EXPECT_EQ(PrmLockGuideLines(73).value(0), QString::fromUtf8("名称 : 適応制御時定数"));
}

TEST(PrmLockGuideTest, TableTotals) {
    int lines = 0;
    int reserved = 0;
    std::set<std::string> distinct;
    std::vector<int> withManual;
    std::vector<int> closingWithManual;
    for (int row = 1; row <= 200; ++row) {
        const QStringList text = PrmLockGuideLines(row);
        lines += static_cast<int>(text.size());
        for (const QString& line : text)
            distinct.insert(Utf8(line));
        reserved += text == Lines({"名称 : 予約"});
        if (text.contains(QString::fromUtf8(kSeeManualText))) withManual.push_back(row);
        if (Utf8(text.last()) == kSeeManualText) closingWithManual.push_back(row);
    }
    EXPECT_EQ(PrmLockGuideEntries().size(), 200u);
    EXPECT_EQ(lines, 515);
    EXPECT_EQ(distinct.size(), 301u);
    EXPECT_EQ(reserved, 74);
    EXPECT_EQ(withManual.size(), 39u);
    EXPECT_EQ(closingWithManual.size(), 38u);
    EXPECT_EQ(Utf8(PrmLockGuideLines(39).value(2)), kSeeManualText);
    EXPECT_EQ(PrmLockGuideLines(39).size(), 4);
    EXPECT_EQ(PrmLockGuideLines(8).size(), 9);
}

TEST(PrmLockGuideTest, EveryLineFitsTheByteLimit) {
    for (int row = 1; row <= 200; ++row) {
        for (const QString& line : PrmLockGuideLines(row)) {
            EXPECT_LE(ui::cp932::ByteWidth(line), 119) << "row " << row << ": " << Utf8(line);
            EXPECT_EQ(ui::cp932::Decode(ui::cp932::Encode(line)), line) << Utf8(line);
            EXPECT_FALSE(line.contains('\r') || line.contains('\n')) << Utf8(line);
        }
    }
}

// The factory-adjustment pair, the motor-type heads, the general-purpose pairs and the notch
// filter rows.
TEST(PrmLockGuideTest, RecurringLinesStandWhereTheyBelong) {
    const QStringList factory =
        Lines({"このﾊﾟﾗﾒｰﾀは工場での調整用です。", "変更しないでください。"});
    const QString rotary = QString::fromUtf8("[回転型ﾓｰﾀの場合]");
    const QString linear = QString::fromUtf8("[ﾘﾆｱ型ﾓｰﾀの場合]");
    const std::set<int> doubleWords = {59, 61, 63, 191, 193, 195, 197, 199};
    for (int row = 1; row <= 200; ++row) {
        const QStringList lines = PrmLockGuideLines(row);
        const bool isFactory = (row >= 42 && row <= 46) || (row >= 91 && row <= 93);
        EXPECT_EQ(lines.mid(1) == factory, isFactory) << "row " << row;
        const bool heads = row == 1 || row == 8 || (row >= 23 && row <= 25);
        EXPECT_EQ(lines.contains(rotary), heads) << "row " << row;
        EXPECT_EQ(lines.contains(linear), heads || row == 2) << "row " << row;
        if (row >= 111 && row <= 118) {
            EXPECT_EQ(lines.mid(1), Lines({"ﾉｯﾁﾌｨﾙﾀ用のﾊﾟﾗﾒｰﾀです。",
                                           "詳細は、ﾉｯﾁﾌｨﾙﾀｵﾌﾟｼｮﾝの取扱説明書をご覧ください。"}))
                << "row " << row;
        }
        if (row == 57 || row == 58) {
            EXPECT_EQ(lines,
                      Lines({"名称 : 汎用ﾊﾟﾗﾒｰﾀ", "設定可能ﾃﾞｰﾀ範囲はﾜｰﾄﾞ型(符号付き16bit)です。",
                             "ﾒｲﾙﾎﾞｯｸｽｵﾌﾟｼｮﾝ使用時にご利用頂けます。"}));
        }
        if (doubleWords.count(row) == 1) {
            EXPECT_EQ(lines, Lines({"名称 : 汎用ﾊﾟﾗﾒｰﾀ",
                                    "設定可能ﾃﾞｰﾀ範囲はﾀﾞﾌﾞﾙﾜｰﾄﾞ型(符号付き32bit)です。",
                                    "ﾒｲﾙﾎﾞｯｸｽｵﾌﾟｼｮﾝ使用時にご利用頂けます。"}))
                << "row " << row;
            const QString firstHalf =
                QString("ﾊﾟﾗﾒｰﾀ#%1の一部として使用されています。").arg(row - 1);
            EXPECT_EQ(PrmLockGuideLines(row + 1),
                      QStringList({QString::fromUtf8("名称 : 使用不可"), firstHalf}))
                << "row " << row + 1;
        }
    }
    EXPECT_EQ(Utf8(PrmLockGuideLines(41).last()), "変更しないでください。");
}

} // namespace
