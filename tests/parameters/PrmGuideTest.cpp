// The list window's guide: the variant each rule picks by series and model text, the texts
// that must read word for word, the shape of every row and the totals of the table.
#include "parameters/PrmGuide.h"
#include "GuideTestText.h"
#include "parameters/PrmGuideData.h"
#include "ui/Codec.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

using ::Lines; // the list of plain lines, beside the list of a guide text below

QStringList Lines(const PrmGuideText& text) {
    QStringList list;
    for (const char* line : text)
        list << QString::fromUtf8(line);
    return list;
}

QStringList Variant(int row, int variant) {
    return Lines(PrmGuideEntries()
                     .at(static_cast<size_t>(row - 1))
                     .variants.at(static_cast<size_t>(variant)));
}

TEST(PrmGuideTest, RowsOutsideTheTablesHaveNoGuide) {
    for (int series : {-1, 0, 1, 2, 3}) {
        EXPECT_TRUE(PrmGuideLines(series, "QWC50A_C3", 0).isEmpty());
        EXPECT_TRUE(PrmGuideLines(series, "QWC50A_C3", -1).isEmpty());
        EXPECT_TRUE(PrmGuideLines(series, "QWC50A_C3", 111).isEmpty());
    }
    EXPECT_FALSE(PrmGuideLines(3, "", 110).isEmpty());
    EXPECT_FALSE(PrmGuideLines(0, "", 1).isEmpty());
}

struct BranchCase {
    int row;
    int series;
    const char* model;
    int variant;
};

TEST(PrmGuideTest, EachRulePicksItsVariantBySeriesAndModel) {
    // clang-format off
    const BranchCase cases[] = {
        // one text for every series, also without one
        {3, 0, "", 0}, {3, 3, "QWC30", 0}, {3, -1, "", 0}, {3, 4, "", 0},
        // QWA apart from the others
        {1, 0, "QWC50A_D0", 0}, {1, 1, "", 1}, {1, 2, "QWC30", 1}, {1, 3, "", 1},
        // QWA and QWB apart from QWC and QWD
        {27, 0, "", 0}, {27, 1, "QWC50A_D0", 0}, {27, 2, "", 1}, {27, 3, "QWC30", 1},
        // each of QWA, QWB and the later series
        {25, 0, "", 0}, {25, 1, "QWC30", 1}, {25, 2, "QWC30", 2}, {25, 3, "", 2},
        // an extra line for QWA, the common lines for any other index
        {30, 0, "", 0}, {30, 1, "", 1}, {30, 3, "QWC30", 1}, {30, -1, "", 1}, {30, 4, "", 1},
        // "QWC30" models with QWA and QWB; the search is a case-sensitive substring search
        {31, 0, "QWC50A_D0", 0}, {31, 1, "", 0}, {31, 2, "QWC30", 0}, {31, 3, "XQWC30-01", 0},
        {31, 2, "", 1}, {31, 3, "QWC50A_D0", 1}, {31, 2, "qwc30", 1}, {31, 2, "QWC3", 1},
        // QWA alone, then QWB with the "QWC30" models, then the other models
        {72, 0, "QWC30", 0}, {72, 1, "", 1}, {72, 1, "QWC50A_D0", 1}, {72, 2, "QWC30", 1},
        {72, 3, "QWC30", 1}, {72, 2, "QWC50A_C3", 2}, {72, 3, "", 2},
        // the newest models ("QWC50A_C3" or "QWC50A_D0") of the later series apart
        {47, 0, "QWC50A_D0", 0}, {47, 1, "QWC50A_C3", 0}, {47, 2, "QWC50A_C3", 1},
        {47, 3, "QWC50A_D0", 1}, {47, 2, "QWC50A_C2", 0}, {47, 3, "", 0}, {47, 2, "QWC30", 0},
        // the model tests do not depend on each other
        {31, 2, "QWC30 QWC50A_D0", 0}, {72, 3, "QWC30 QWC50A_D0", 1},
        {47, 2, "QWC30 QWC50A_D0", 1}, {47, 3, "QWC50A_C3QWC50A_D0", 1},
    };
    // clang-format on
    for (const BranchCase& c : cases)
        EXPECT_EQ(PrmGuideLines(c.series, c.model, c.row), Variant(c.row, c.variant))
            << "row " << c.row << ", series " << c.series << ", model " << c.model;
}

struct SharedCase {
    int row;
    int series;
    QStringList lines;
};

// With no series chosen, a row shows the lines all its variants share at the start and at the
// end.
TEST(PrmGuideTest, WithoutASeriesARowShowsTheLinesItsVariantsShare) {
    const QStringList row27 = Variant(27, 0);
    const SharedCase cases[] = {
        {22, -1, Lines({"(ﾎﾞｰﾚｰﾄ、ﾒｲﾙﾎﾞｯｸｽ、ﾊﾟﾘﾃｨﾁｪｯｸ選択)", kSeeManualText})},
        {22, 4, Lines({"(ﾎﾞｰﾚｰﾄ、ﾒｲﾙﾎﾞｯｸｽ、ﾊﾟﾘﾃｨﾁｪｯｸ選択)", kSeeManualText})},
        {27, -1, row27.mid(0, 4) + row27.mid(5)},
        {1, -1, {}},
        {31, -1, {}},
        {47, -1, {}},
        {72, -1, {}},
        {69, -1, {}},
        {14, -1, Lines({"名称 : 電子ｷﾞｱ分母"})},
        {13, -1, Variant(13, 1).mid(0, 2) + Variant(13, 1).mid(3)},
        {25, -1, Variant(25, 0).mid(0, 2)},
    };
    for (const SharedCase& c : cases)
        EXPECT_EQ(PrmGuideLines(c.series, "QWC50A_D0", c.row), c.lines) << "row " << c.row;
    EXPECT_EQ(PrmGuideLines(-1, "", 27).size(), 7);
    EXPECT_FALSE(PrmGuideLines(-1, "", 27)
                     .contains(QString::fromUtf8(
                         "加減速時間の40[%]以下で且つ13～200の範囲で設定してください。")));
    EXPECT_EQ(PrmGuideLines(-1, "", 3), PrmGuideLines(0, "", 3));
    EXPECT_EQ(PrmGuideLines(-1, "", 42).size(), 3);
}

struct QuotedCase {
    int row;
    int series;
    const char* model;
    QStringList lines;
};

TEST(PrmGuideTest, QuotedTextsReadWordForWord) {
    // clang-format off
    const QStringList jerkQwa = Lines(
        {"名称 : ｼﾞｬｰｸ時間", "S字加減速のﾊﾟﾗﾒｰﾀです。",
         "最大回転数に対する加速度の立ち上げ時間を指定します。", "単位は [msec] です。",
         "加減速時間の40[%]以下で且つ13～200の範囲で設定してください。",
         "加減速時間は、ﾊﾟﾗﾒｰﾀ#32の設定で最大回転数ではなく、設定速度への到達時間に変更できます。",
         "このﾊﾟﾗﾒｰﾀはﾊﾟﾙｽ列又は、ｱﾅﾛｸﾞ入力に直接追従する制御ﾓｰﾄﾞ(PUL,PLT,ANV,ANQ等)では無効です。",
         kSeeManualText});
    QStringList jerkLater = jerkQwa;
    jerkLater[4] = QString::fromUtf8("加減速時間の50[%]以下で且つ13～565の範囲で設定してください。");
    const QStringList origin = Lines({"名称 : 原点位置", "原点復帰で原点位置に設定される座標値です。",
                                      "単位は [てい倍後のﾊﾟﾙｽ数] です。"});
    const QStringList originQwa =
        origin + Lines({"押しﾎﾞﾀﾝで設定する場合、設定範囲は0～±3200で、この時ﾊﾟﾗﾒｰﾀ#30は0にしてください。"});
    const QuotedCase cases[] = {
        {1, 0, "", Lines({"名称 : ｴﾝｺｰﾀﾞﾊﾟﾙｽ", "ｴﾝｺｰﾀﾞ1回転当たりのてい倍前ﾊﾟﾙｽ数を設定してください。",
                          "単位は [Pulse/rev] です。"})},
        {1, 2, "", Lines({"名称 : ｴﾝｺｰﾀﾞ基本分解能", "[回転型ﾓｰﾀの場合]",
                          "ｴﾝｺｰﾀﾞ1回転当たりのてい倍前ﾊﾟﾙｽ数を設定してください。",
                          "単位は [Pulse/rev] です。", "[ﾘﾆｱ型ﾓｰﾀの場合]",
                          "ﾘﾆｱ型ﾓｰﾀの磁極設置範囲当たりのてい倍前ﾊﾟﾙｽ数を設定してください。",
                          "単位は [Pulse/磁極間設置範囲] です。"})},
        {27, 1, "", jerkQwa},
        {27, 3, "QWC50A_D0", jerkLater},
        {30, 0, "", originQwa},
        {30, 2, "", origin},
        {31, 1, "", Lines({"名称 : 原点位置",
                           "ﾊﾟﾗﾒｰﾀ#29の一部として使用されていますので変更しないでください。"})},
        {31, 2, "QWC50A_B0", Lines({"名称 : 原点ﾓｰﾄﾞ", kSeeManualText})},
        {47, 0, "", Lines({"名称 : ｵﾌﾟｼｮﾝ専用ﾊﾟﾗﾒｰﾀ", "各種ｵﾌﾟｼｮﾝで使用するﾊﾟﾗﾒｰﾀです。",
                           "ｵﾌﾟｼｮﾝ毎の説明書をご覧ください。"})},
        {47, 3, "QWC50A_C3",
         Lines({"名称 : 自動力率検知ｹﾞｲﾝ係数", "自動力率検知時に加速度ﾙｰﾌﾟｹﾞｲﾝにかけられる係数です。",
                "自動力率検知時のｹﾞｲﾝ = ﾊﾟﾗﾒｰﾀ#19×ﾊﾟﾗﾒｰﾀ#46",
                "自動力率検知時のｹﾞｲﾝは、負荷によって最適値が異なりますので加速度ﾙｰﾌﾟｹﾞｲﾝ(ﾊﾟﾗﾒｰﾀ#19)と同様に高すぎると騒音が発生します。",
                "また、逆に低すぎると振れが大きくなります。"})},
        {69, 0, "", Lines({"名称 : "})},
        {72, 0, "", Lines({"名称 : "})},
        {72, 1, "",
         Lines({"名称 : 電流制御ﾙｰﾌﾟEMF係数",
                "このﾊﾟﾗﾒｰﾀは、高速転流ｵﾌﾟｼｮﾝを搭載している機種にのみ有効です。",
                "高速回転での力率改善などで、電流ｹﾞｲﾝが不足するときなどに有効なﾓｰﾀ速度とDCﾊﾞｽ電圧に比例する電圧ﾌｨｰﾄﾞﾌｫﾜｰﾄﾞです。"})},
        {72, 2, "QWC50A_B0", Lines({"名称 : 予約"})},
    };
    // clang-format on
    for (const QuotedCase& c : cases)
        EXPECT_EQ(PrmGuideLines(c.series, c.model, c.row), c.lines)
            << "row " << c.row << ", series " << c.series;
}

// Lines of the list window that the opening guide of the parameter list and the lock window's
// texts are told apart from.
TEST(PrmGuideTest, LinesTheOtherGuidesDifferFrom) {
    const auto line = [](int series, const char* model, int row, int index) {
        return PrmGuideLines(series, model, row).value(index).toUtf8().toStdString();
    };
    EXPECT_EQ(line(0, "", 16, 2), kSeeManualText);
    EXPECT_EQ(PrmGuideLines(0, "", 16).size(), 3);
    // clang-format off
    const std::string gearTravel =
        "ﾊﾟﾙｽ指令ﾓｰﾄﾞ時には移動量及び速度が変わりますが、内部指令ﾓｰﾄﾞ(ABS,INC等)時には移動量のみが変わります。";
    // clang-format on
    EXPECT_EQ(line(2, "QWC50A_B0", 14, 2), gearTravel);
    EXPECT_EQ(line(3, "QWC30", 15, 2), gearTravel);
    EXPECT_EQ(line(1, "", 17, 2), "約1[mV]単位で設定できます。");
    EXPECT_EQ(line(2, "QWC50A_B0", 17, 2),
              "設定値の単位については、ﾄﾞﾗｲﾊﾞ本体の取扱説明書をご覧ください。");
    const QString creepNegative =
        QString::fromUtf8("負数(-n)設定の場合は、ｸﾘｰﾌﾟ速度(V)は 1/n となります。");
    EXPECT_TRUE(PrmGuideLines(2, "QWC50A_D0", 25).contains(creepNegative));
    EXPECT_EQ(PrmGuideLines(1, "", 25).size(), 6);
    EXPECT_FALSE(PrmGuideLines(1, "", 25).contains(creepNegative));
    EXPECT_EQ(line(0, "", 41, 1), "このﾊﾟﾗﾒｰﾀは工場での調整用です。");
    EXPECT_EQ(line(3, "QWC50A_C1", 41, 1), "ﾄﾞﾗｲﾊﾞﾓﾃﾞﾙ、ｵﾌﾟｼｮﾝの識別用です。");
    EXPECT_EQ(PrmGuideLines(2, "QWC50A_C3", 81).size(), 3);
}

struct ExpectedVariant {
    const char* name;
    int lines;
};

struct ExpectedRow {
    int row;
    PrmGuideRule rule;
    std::vector<ExpectedVariant> variants;
};

// Every row's rule, and each variant's name and number of lines.
// clang-format off
const ExpectedRow kExpectedRows[] = {
    {1, PrmGuideRule::QwaApart, {{"ｴﾝｺｰﾀﾞﾊﾟﾙｽ", 3}, {"ｴﾝｺｰﾀﾞ基本分解能", 7}}},
    {2, PrmGuideRule::QwaApart, {{"予約", 1}, {"ﾘﾆｱﾓｰﾀ有効長さ", 4}}},
    {3, PrmGuideRule::AllSeries, {{"ﾎﾟｰﾙ数", 4}}},
    {4, PrmGuideRule::AllSeries, {{"ﾓｰﾀ定格電流", 4}}},
    {5, PrmGuideRule::AllSeries, {{"電流ﾘﾐｯﾄ値", 4}}},
    {6, PrmGuideRule::QwaApart, {{"励磁電流", 4}, {"予約", 1}}},
    {7, PrmGuideRule::QwaApart, {{"すべり", 4}, {"予約", 1}}},
    {8, PrmGuideRule::QwaApart, {{"最大回転数", 5}, {"最大回転数", 9}}},
    {9, PrmGuideRule::AllSeries, {{"検出ﾓｰﾄﾞ", 3}}},
    {10, PrmGuideRule::AllSeries, {{"指令ﾓｰﾄﾞ", 3}}},
    {11, PrmGuideRule::AllSeries, {{"ﾎﾟｰﾙｾﾝｻ位置", 4}}},
    {12, PrmGuideRule::AllSeries, {{"I/O形式", 3}}},
    {13, PrmGuideRule::QwaApart, {{"初期ﾓｰﾄﾞ", 4}, {"初期ﾓｰﾄﾞ", 4}}},
    {14, PrmGuideRule::QwaApart, {{"電子ｷﾞｱ分母", 4}, {"電子ｷﾞｱ分母", 3}}},
    {15, PrmGuideRule::QwaApart, {{"電子ｷﾞｱ分子", 3}, {"電子ｷﾞｱ分子", 3}}},
    {16, PrmGuideRule::QwaQwbApart, {{"電子ﾎﾞﾘｭｰﾑ", 3}, {"電子ﾎﾞﾘｭｰﾑ", 3}}},
    {17, PrmGuideRule::QwaQwbApartEach, {{"電子ﾄﾘﾏ", 4}, {"電子ﾄﾘﾏ", 3}, {"電子ﾄﾘﾏ", 3}}},
    {18, PrmGuideRule::AllSeries, {{"位置ﾙｰﾌﾟ時定数", 3}}},
    {19, PrmGuideRule::AllSeries, {{"速度ﾙｰﾌﾟ時定数", 3}}},
    {20, PrmGuideRule::AllSeries, {{"加速度ﾙｰﾌﾟｹﾞｲﾝ", 3}}},
    {21, PrmGuideRule::AllSeries, {{"ﾛｰｹﾞｲﾝ", 3}}},
    {22, PrmGuideRule::QwaApart, {{"KAS/1ﾓｰﾄﾞ", 4}, {"KAS/2ﾓｰﾄﾞ", 4}}},
    {23, PrmGuideRule::QwaApart, {{"設定速度", 3}, {"設定速度", 6}}},
    {24, PrmGuideRule::QwaApart, {{"ｼﾞｮｸﾞ速度", 3}, {"ｼﾞｮｸﾞ速度", 6}}},
    {25, PrmGuideRule::QwaQwbApartEach, {{"ｸﾘｰﾌﾟ速度", 3}, {"ｸﾘｰﾌﾟ速度", 6}, {"ｸﾘｰﾌﾟ速度", 7}}},
    {26, PrmGuideRule::AllSeries, {{"加減速時間", 8}}},
    {27, PrmGuideRule::QwaQwbApart, {{"ｼﾞｬｰｸ時間", 8}, {"ｼﾞｬｰｸ時間", 8}}},
    {28, PrmGuideRule::AllSeries, {{"ｵｰﾊﾞｰﾗﾝﾘﾐｯﾄ", 4}}},
    {29, PrmGuideRule::AllSeries, {{"ｲﾝﾎﾟｼﾞｼｮﾝ幅", 4}}},
    {30, PrmGuideRule::QwaExtraLine, {{"原点位置", 4}, {"原点位置", 3}}},
    {31, PrmGuideRule::Qwc30Apart, {{"原点位置", 2}, {"原点ﾓｰﾄﾞ", 2}}},
    {32, PrmGuideRule::AllSeries, {{"ｻｰﾏﾙ時定数", 5}}},
    {33, PrmGuideRule::QwaApart, {{"ｽｲｯﾁ", 3}, {"ｽｲｯﾁ", 3}}},
    {34, PrmGuideRule::QwaApart, {{"ﾓｰﾀ軸名", 4}, {"ﾓｰﾀ軸名", 5}}},
    {35, PrmGuideRule::AllSeries, {{"保守ｺｰﾄﾞ", 2}}},
    {36, PrmGuideRule::AllSeries, {{"摩擦", 2}}},
    {37, PrmGuideRule::AllSeries, {{"ｻｰﾏﾙ値", 2}}},
    {38, PrmGuideRule::QwaApart, {{"予約", 1}, {"ｵﾌﾟｼｮﾝｴﾝｺｰﾀﾞﾀｲﾌﾟ", 2}}},
    {39, PrmGuideRule::AllSeries, {{"ﾓｰﾀﾀｲﾌﾟ", 4}}},
    {40, PrmGuideRule::AllSeries, {{"加速度ﾌｨﾙﾀ", 4}}},
    {41, PrmGuideRule::QwaQwbApart, {{"ﾄﾞﾗｲﾊﾞﾀｲﾌﾟ", 3}, {"ﾄﾞﾗｲﾊﾞﾀｲﾌﾟ", 3}}},
    {42, PrmGuideRule::AllSeries, {{"ﾄﾞﾗｲﾊﾞ最大電流", 3}}},
    {43, PrmGuideRule::AllSeries, {{"Ｕ相ｵﾌｾｯﾄ", 3}}},
    {44, PrmGuideRule::AllSeries, {{"Ｕ相ｹﾞｲﾝ", 3}}},
    {45, PrmGuideRule::AllSeries, {{"Ｖ相ｵﾌｾｯﾄ", 3}}},
    {46, PrmGuideRule::AllSeries, {{"Ｖ相ｹﾞｲﾝ", 3}}},
    {47, PrmGuideRule::NewestModelsApart, {{"ｵﾌﾟｼｮﾝ専用ﾊﾟﾗﾒｰﾀ", 3}, {"自動力率検知ｹﾞｲﾝ係数", 5}}},
    {48, PrmGuideRule::AllSeries, {{"ﾊﾟﾗﾒｰﾀﾁｪｯｸｻﾑ", 2}}},
    {49, PrmGuideRule::NewestModelsApart, {{"ｵﾌﾟｼｮﾝ専用ﾊﾟﾗﾒｰﾀ", 3}, {"電子ﾎﾞﾘｭｰﾑ2", 3}}},
    {50, PrmGuideRule::NewestModelsApart, {{"ｵﾌﾟｼｮﾝ専用ﾊﾟﾗﾒｰﾀ", 3}, {"電子ﾄﾘﾏ2", 3}}},
    {51, PrmGuideRule::QwaApart, {{"ｵﾌﾟｼｮﾝ専用ﾊﾟﾗﾒｰﾀ", 3}, {"ｱﾅﾛｸﾞﾓﾆﾀch1ｵﾌｾｯﾄ", 2}}},
    {52, PrmGuideRule::QwaApart, {{"ｵﾌﾟｼｮﾝ専用ﾊﾟﾗﾒｰﾀ", 3}, {"ｱﾅﾛｸﾞﾓﾆﾀch1ｹﾞｲﾝ", 2}}},
    {53, PrmGuideRule::QwaApart, {{"ｵﾌﾟｼｮﾝ専用ﾊﾟﾗﾒｰﾀ", 3}, {"ｱﾅﾛｸﾞﾓﾆﾀch2ｵﾌｾｯﾄ", 2}}},
    {54, PrmGuideRule::QwaApart, {{"ｵﾌﾟｼｮﾝ専用ﾊﾟﾗﾒｰﾀ", 3}, {"ｱﾅﾛｸﾞﾓﾆﾀch2ｹﾞｲﾝ", 2}}},
    {55, PrmGuideRule::AllSeries, {{"減速時間", 4}}},
    {56, PrmGuideRule::AllSeries, {{"減速ｼﾞｬｰｸ時間", 4}}},
    {57, PrmGuideRule::AllSeries, {{"汎用ﾊﾟﾗﾒｰﾀ", 3}}},
    {58, PrmGuideRule::AllSeries, {{"汎用ﾊﾟﾗﾒｰﾀ", 3}}},
    {59, PrmGuideRule::AllSeries, {{"汎用ﾊﾟﾗﾒｰﾀ", 3}}},
    {60, PrmGuideRule::AllSeries, {{"使用不可", 2}}},
    {61, PrmGuideRule::AllSeries, {{"汎用ﾊﾟﾗﾒｰﾀ", 3}}},
    {62, PrmGuideRule::AllSeries, {{"使用不可", 2}}},
    {63, PrmGuideRule::AllSeries, {{"汎用ﾊﾟﾗﾒｰﾀ", 3}}},
    {64, PrmGuideRule::AllSeries, {{"使用不可", 2}}},
    {65, PrmGuideRule::QwaApart, {{"", 1}, {"電流制御ﾙｰﾌﾟ比例ｹﾞｲﾝ", 3}}},
    {66, PrmGuideRule::QwaApart, {{"", 1}, {"電流制御ﾙｰﾌﾟ積分ｹﾞｲﾝ", 3}}},
    {67, PrmGuideRule::QwaApart, {{"", 1}, {"電流制御ﾙｰﾌﾟ微分ｹﾞｲﾝ", 3}}},
    {68, PrmGuideRule::QwaApart, {{"", 1}, {"PWM周波数", 3}}},
    {69, PrmGuideRule::QwaQwc30Apart, {{"", 1}, {"予約", 1}, {"ｴﾝｺｰﾀﾞｼﾞｯﾀ用ﾌｨﾙﾀ", 3}}},
    {70, PrmGuideRule::QwaQwc30Apart, {{"", 1}, {"予約", 1}, {"誤差過大設定", 4}}},
    {71, PrmGuideRule::QwaQwc30Apart, {{"", 1}, {"予約", 1}, {"軸間同期ｵﾌﾟｼｮﾝ", 4}}},
    {72, PrmGuideRule::QwaQwc30Apart, {{"", 1}, {"電流制御ﾙｰﾌﾟEMF係数", 3}, {"予約", 1}}},
    {73, PrmGuideRule::QwaQwc30Apart, {{"", 1}, {"転流電気角進み補償", 4}, {"予約", 1}}},
    {74, PrmGuideRule::AllSeries, {{"予約", 1}}},
    {75, PrmGuideRule::QwaApart, {{"", 1}, {"標準DIﾎﾟｰﾄ論理反転", 5}}},
    {76, PrmGuideRule::QwaApart, {{"", 1}, {"標準DOﾎﾟｰﾄ論理反転", 5}}},
    {77, PrmGuideRule::QwaApart, {{"", 1}, {"速度倍率", 3}}},
    {78, PrmGuideRule::QwaApart, {{"", 1}, {"ｱﾗｰﾑ記録ﾄﾘｶﾞｰ選択", 4}}},
    {79, PrmGuideRule::QwaQwbApartEach, {{"", 1}, {"予約", 1}, {"ｻｰﾎﾞｻｲｸﾙ", 4}}},
    {80, PrmGuideRule::QwaQwc30Apart, {{"", 1}, {"予約", 1}, {"ﾌｨﾙﾀﾓｰﾄﾞ", 4}}},
    {81, PrmGuideRule::QwaQwc30Apart, {{"", 1}, {"予約", 1}, {"速度PID速度ﾙｰﾌﾟ比例ｹﾞｲﾝ", 3}}},
    {82, PrmGuideRule::QwaQwc30Apart, {{"", 1}, {"予約", 1}, {"速度PID速度ﾙｰﾌﾟ積分ｹﾞｲﾝ", 4}}},
    {83, PrmGuideRule::QwaQwc30Apart, {{"", 1}, {"予約", 1}, {"速度PID速度ﾙｰﾌﾟ微分ｹﾞｲﾝ", 4}}},
    {84, PrmGuideRule::QwaQwc30Apart, {{"", 1}, {"予約", 1}, {"速度ﾌｨﾙﾀ", 4}}},
    {85, PrmGuideRule::QwaQwc30Apart, {{"", 1}, {"予約", 1}, {"ﾊﾟﾙｽﾌｨﾙﾀ", 3}}},
    {86, PrmGuideRule::QwaQwc30Apart, {{"", 1}, {"予約", 1}, {"DIﾎﾟｰﾄﾌｨﾙﾀ", 3}}},
    {87, PrmGuideRule::QwaQwc30Apart, {{"", 1}, {"予約", 1}, {"ﾀｺｵﾝﾚｰﾄ", 3}}},
    {88, PrmGuideRule::QwaQwc30Apart, {{"", 1}, {"予約", 1}, {"ｼﾘｱﾙｴﾝｺｰﾀﾞ分岐分周比", 3}}},
    {89, PrmGuideRule::AllSeries, {{"予約", 1}}},
    {90, PrmGuideRule::AllSeries, {{"予約", 1}}},
    {91, PrmGuideRule::Qwc30Apart, {{"", 1}, {"ﾊﾞｽ電圧ｶｰﾌﾞ", 3}}},
    {92, PrmGuideRule::Qwc30Apart, {{"", 1}, {"ﾊﾞｽ電圧ｹﾞｲﾝ", 3}}},
    {93, PrmGuideRule::Qwc30Apart, {{"", 1}, {"ﾄﾞﾗｲﾊﾞﾊﾟﾜｰｸﾗｽ", 3}}},
    {94, PrmGuideRule::AllSeries, {{"予約", 1}}},
    {95, PrmGuideRule::AllSeries, {{"予約", 1}}},
    {96, PrmGuideRule::AllSeries, {{"予約", 1}}},
    {97, PrmGuideRule::Qwc30Apart, {{"", 1}, {"現在ﾓｰﾄﾞ", 3}}},
    {98, PrmGuideRule::Qwc30Apart, {{"", 1}, {"予約", 1}}},
    {99, PrmGuideRule::Qwc30Apart, {{"", 1}, {"予約", 1}}},
    {100, PrmGuideRule::Qwc30Apart, {{"", 1}, {"予約", 1}}},
    {101, PrmGuideRule::Qwc30Apart, {{"", 1}, {"予約", 1}}},
    {102, PrmGuideRule::Qwc30Apart, {{"", 1}, {"予約", 1}}},
    {103, PrmGuideRule::Qwc30Apart, {{"", 1}, {"予約", 1}}},
    {104, PrmGuideRule::Qwc30Apart, {{"", 1}, {"予約", 1}}},
    {105, PrmGuideRule::Qwc30Apart, {{"", 1}, {"ITC ﾄﾞﾗｲﾊﾞ抵抗", 4}}},
    {106, PrmGuideRule::Qwc30Apart, {{"", 1}, {"ITC/ITU 時定数", 4}}},
    {107, PrmGuideRule::Qwc30Apart, {{"", 1}, {"ITC DCﾊﾞｽ電圧", 4}}},
    {108, PrmGuideRule::Qwc30Apart, {{"", 1}, {"ITC ﾓｰﾀ抵抗", 5}}},
    {109, PrmGuideRule::Qwc30Apart, {{"", 1}, {"ITC ﾓｰﾀｲﾝﾀﾞｸﾀﾝｽ", 5}}},
    {110, PrmGuideRule::Qwc30Apart, {{"", 1}, {"ITC ﾓｰﾀEMF定数", 5}}},
};
// clang-format on

TEST(PrmGuideTest, EveryRowHasItsRuleNamesAndLineCounts) {
    ASSERT_EQ(PrmGuideEntries().size(), std::size(kExpectedRows));
    for (const ExpectedRow& expected : kExpectedRows) {
        const PrmGuideEntry& entry = PrmGuideEntries().at(static_cast<size_t>(expected.row - 1));
        EXPECT_EQ(entry.rule, expected.rule) << "row " << expected.row;
        ASSERT_EQ(entry.variants.size(), expected.variants.size()) << "row " << expected.row;
        for (size_t v = 0; v < entry.variants.size(); ++v) {
            const PrmGuideText& text = entry.variants[v];
            EXPECT_EQ(static_cast<int>(text.size()), expected.variants[v].lines)
                << "row " << expected.row << ", variant " << v + 1;
            EXPECT_EQ(std::string(text.front()), std::string("名称 : ") + expected.variants[v].name)
                << "row " << expected.row << ", variant " << v + 1;
        }
    }
}

TEST(PrmGuideTest, TheGuideNamesItsOwnWayWhereTheListsDiffer) {
    EXPECT_EQ(PrmGuideLines(1, "", 65).value(0), QString::fromUtf8("名称 : 電流制御ﾙｰﾌﾟ比例ｹﾞｲﾝ"));
    for (const char* model : {"QWC50A_B0", "QWC50A_B2", "QWC50A_D0"})
        EXPECT_EQ(PrmGuideLines(2, model, 31).value(0), QString::fromUtf8("名称 : 原点ﾓｰﾄﾞ"));
    EXPECT_EQ(PrmGuideLines(1, "", 22).value(0), QString::fromUtf8("名称 : KAS/2ﾓｰﾄﾞ"));
    EXPECT_EQ(PrmGuideLines(0, "", 22).value(0), QString::fromUtf8("名称 : KAS/1ﾓｰﾄﾞ"));
}

TEST(PrmGuideTest, TableTotals) {
    int variants = 0;
    int lines = 0;
    int reserved = 0;
    int nameOnly = 0;
    int closingWithManual = 0;
    std::set<std::string> distinct;
    for (const PrmGuideEntry& entry : PrmGuideEntries()) {
        for (const PrmGuideText& text : entry.variants) {
            ++variants;
            lines += static_cast<int>(text.size());
            distinct.insert(text.begin(), text.end());
            reserved += text.size() == 1 && std::string(text[0]) == "名称 : 予約";
            nameOnly += text.size() == 1 && std::string(text[0]) == "名称 : ";
            closingWithManual += std::string(text.back()) == kSeeManualText;
        }
    }
    EXPECT_EQ(PrmGuideEntries().size(), 110u);
    EXPECT_EQ(variants, 195);
    EXPECT_EQ(lines, 516);
    EXPECT_EQ(distinct.size(), 273u);
    EXPECT_EQ(reserved, 32);
    EXPECT_EQ(nameOnly, 40);
    EXPECT_EQ(closingWithManual, 38);
}

// Every line fits the pane's 119 bytes of Shift-JIS, has a Shift-JIS form and holds no break.
TEST(PrmGuideTest, EveryLineFitsTheByteLimit) {
    for (size_t r = 0; r < PrmGuideEntries().size(); ++r) {
        for (const PrmGuideText& text : PrmGuideEntries()[r].variants) {
            EXPECT_GE(text.size(), 1u);
            EXPECT_LE(text.size(), 9u);
            for (const char* line : text) {
                const QString decoded = QString::fromUtf8(line);
                EXPECT_LE(ui::cp932::ByteWidth(decoded), 119) << "row " << r + 1 << ": " << line;
                EXPECT_EQ(ui::cp932::Decode(ui::cp932::Encode(decoded)), decoded) << line;
                EXPECT_FALSE(decoded.contains('\r') || decoded.contains('\n')) << line;
            }
        }
    }
}

// Which rows of which series read "名称 : " alone, the factory-adjustment pair, the motor-type
// section heads and the option-specific text.
TEST(PrmGuideTest, RecurringLinesStandWhereTheyBelong) {
    const QStringList nameOnly = Lines({"名称 : "});
    const QStringList factory =
        Lines({"このﾊﾟﾗﾒｰﾀは工場での調整用です。", "変更しないでください。"});
    const QString rotary = QString::fromUtf8("[回転型ﾓｰﾀの場合]");
    const QString linear = QString::fromUtf8("[ﾘﾆｱ型ﾓｰﾀの場合]");
    const QStringList option = Lines({"名称 : ｵﾌﾟｼｮﾝ専用ﾊﾟﾗﾒｰﾀ", "各種ｵﾌﾟｼｮﾝで使用するﾊﾟﾗﾒｰﾀです。",
                                      "ｵﾌﾟｼｮﾝ毎の説明書をご覧ください。"});
    const struct {
        int series;
        const char* model;
    } readers[] = {{0, ""}, {1, ""}, {2, "QWC30"}, {3, "QWC50A_B0"}, {2, "QWC50A_D0"}, {3, ""}};
    for (const auto& reader : readers) {
        const bool qwa = reader.series == 0;
        const bool early = reader.series <= 1 || QByteArray(reader.model).contains("QWC30");
        for (int row = 1; row <= 110; ++row) {
            const QStringList lines = PrmGuideLines(reader.series, reader.model, row);
            const QString where = QString("row %1, series %2, model %3")
                                      .arg(row)
                                      .arg(reader.series)
                                      .arg(reader.model);
            const bool alone = (qwa && row >= 65 && row <= 88 && row != 74) ||
                               (early && ((row >= 91 && row <= 93) || row >= 97));
            EXPECT_EQ(lines == nameOnly, alone) << where.toStdString();
            const bool isFactory = (row >= 42 && row <= 46) || (row == 41 && reader.series <= 1) ||
                                   (row >= 91 && row <= 93 && !early);
            EXPECT_EQ(lines.mid(1) == factory, isFactory) << where.toStdString();
            const bool heads = !qwa && (row == 1 || row == 8 || (row >= 23 && row <= 25));
            EXPECT_EQ(lines.contains(rotary), heads) << where.toStdString();
            EXPECT_EQ(lines.contains(linear), heads || (!qwa && row == 2)) << where.toStdString();
            const bool newest = QByteArray(reader.model).contains("QWC50A_D0");
            const bool isOption = (qwa && row >= 51 && row <= 54) ||
                                  ((row == 47 || row == 49 || row == 50) && !newest);
            EXPECT_EQ(lines == option, isOption) << where.toStdString();
        }
    }
}

} // namespace
