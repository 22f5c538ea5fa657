#include "PrmNameTables.h"

#include "ui/Codec.h"

#include <map>
#include <vector>

namespace {

// The master list, #000 to #199, and each table's differences from it, laid out by hand in
// tens as the parameter numbers run.
// clang-format off
const char* const kLockNames[200] = {
    "ｴﾝｺｰﾀﾞ基本分解能", "ﾘﾆｱﾓｰﾀ有効長さ", "ﾎﾟｰﾙ数", "ﾓｰﾀ定格電流", "電流ﾘﾐｯﾄ値", "予約", "予約",
    "最大回転数", "検出ﾓｰﾄﾞ", "指令ﾓｰﾄﾞ",
    "ﾎﾟｰﾙｾﾝｻ位置", "I/O形式", "初期ﾓｰﾄﾞ", "電子ｷﾞｱ分母", "電子ｷﾞｱ分子", "電子ﾎﾞﾘｭｰﾑ", "電子ﾄﾘﾏ",
    "位置ﾙｰﾌﾟ時定数", "速度ﾙｰﾌﾟ時定数", "加速度ﾙｰﾌﾟｹﾞｲﾝ",
    "ﾛｰｹﾞｲﾝ", "Kas/2ﾓｰﾄﾞ", "設定速度", "ｼﾞｮｸﾞ速度", "ｸﾘｰﾌﾟ速度", "加速時間", "ｼﾞｬｰｸ時間",
    "ｵｰﾊﾞｰﾗﾝﾘﾐｯﾄ", "ｲﾝﾎﾟｼﾞｼｮﾝ幅", "原点位置",
    "原点ﾓｰﾄﾞ", "ｻｰﾏﾙ時定数", "ｽｲｯﾁ", "ﾓｰﾀ軸名", "保守ｺｰﾄﾞ", "摩擦", "ｻｰﾏﾙ値", "ｵﾌﾟｼｮﾝｴﾝｺｰﾀﾞﾀｲﾌﾟ",
    "ﾓｰﾀﾀｲﾌﾟ", "加速度ﾌｨﾙﾀ",
    "ﾄﾞﾗｲﾊﾞﾀｲﾌﾟ", "ﾄﾞﾗｲﾊﾞ最大電流", "Ｕ相ｵﾌｾｯﾄ", "Ｕ相ｹﾞｲﾝ", "Ｖ相ｵﾌｾｯﾄ", "Ｖ相ｹﾞｲﾝ",
    "自動力率検知ｹﾞｲﾝ係数", "ﾊﾟﾗﾒｰﾀﾁｪｯｸｻﾑ", "電子ﾎﾞﾘｭｰﾑ2", "電子ﾄﾘﾏ2",
    "ｱﾅﾛｸﾞﾓﾆﾀch1ｵﾌｾｯﾄ", "ｱﾅﾛｸﾞﾓﾆﾀch1ｹﾞｲﾝ", "ｱﾅﾛｸﾞﾓﾆﾀch2ｵﾌｾｯﾄ", "ｱﾅﾛｸﾞﾓﾆﾀch2ｹﾞｲﾝ", "減速時間",
    "減速ｼﾞｬｰｸ時間", "汎用ﾊﾟﾗﾒｰﾀ", "汎用ﾊﾟﾗﾒｰﾀ", "汎用ﾊﾟﾗﾒｰﾀ", "使用不可",
    "汎用ﾊﾟﾗﾒｰﾀ", "使用不可", "汎用ﾊﾟﾗﾒｰﾀ", "使用不可", "電流ﾙｰﾌﾟ比例ｹﾞｲﾝ", "電流ﾙｰﾌﾟ積分ｹﾞｲﾝ",
    "電流ﾙｰﾌﾟ微分ｹﾞｲﾝ", "PWM周波数", "ｴﾝｺｰﾀﾞｼﾞｯﾀ用ﾌｨﾙﾀ", "誤差過大設定",
    "軸間同期ｵﾌﾟｼｮﾝ", "予約", "適応制御時定数", "予約", "DIﾎﾟｰﾄ論理反転", "DOﾎﾟｰﾄ論理反転", "速度倍率",
    "ｱﾗｰﾑ記録選択", "ｻｰﾎﾞｻｲｸﾙ", "ﾌｨﾙﾀﾓｰﾄﾞ(PID選択)",
    "PID 比例ｹﾞｲﾝ", "PID 積分ｹﾞｲﾝ", "PID 微分ｹﾞｲﾝ", "速度ﾌｨﾙﾀ", "ﾊﾟﾙｽﾌｨﾙﾀ", "DIﾎﾟｰﾄﾌｨﾙﾀ", "ﾀｺｵﾝﾚｰﾄ",
    "ｴﾝｺｰﾀﾞ分岐分周比", "予約", "電子ｷﾞｱ2",
    "ﾊﾞｽ電圧ｶｰﾌﾞ", "ﾊﾞｽ電圧ｹﾞｲﾝ", "ﾄﾞﾗｲﾊﾞﾊﾟﾜｰｸﾗｽ", "ｽｲｯﾁ2", "予約", "予約", "現在ﾓｰﾄﾞ", "予約", "予約",
    "予約",
    "予約", "予約", "予約", "予約", "ITC ﾄﾞﾗｲﾊﾞ抵抗", "ITC/ITU 時定数", "ITC DCﾊﾞｽ電圧", "ITC ﾓｰﾀ抵抗",
    "ITC ﾓｰﾀｲﾝﾀﾞｸﾀﾝｽ", "ITC ﾓｰﾀEMF定数",
    "ﾉｯﾁｽｲｯﾁ", "ﾉｯﾁﾓｰﾄﾞ", "ﾉｯﾁ周波数ch1", "ﾉｯﾁ帯域幅ch1", "ﾉｯﾁ周波数ch2", "ﾉｯﾁ帯域幅ch2",
    "ﾉｯﾁ周波数ch3", "ﾉｯﾁ帯域幅ch3", "予約", "予約",
    "回生ﾀｲﾌﾟ", "回生定格電力", "回生抵抗値", "回生熱時定数", "補正起動選択", "予約", "予約", "予約",
    "予約", "予約",
    "BSC通信速度", "ANIﾏｽﾀ", "ｱﾅﾛｸﾞ入力不感域", "予約", "BSC通信ﾓｰﾄﾞ", "予約", "予約", "ﾄﾙｸﾓﾆﾀ選択",
    "ﾄﾙｸﾓﾆﾀｹﾞｲﾝ", "ﾄﾙｸﾓﾆﾀｵﾌｾｯﾄ",
    "予約", "予約", "予約", "予約", "予約", "予約", "予約", "予約", "予約", "予約",
    "予約", "予約", "予約", "予約", "予約", "予約", "予約", "予約", "予約", "予約",
    "予約", "予約", "予約", "予約", "予約", "予約", "予約", "予約", "予約", "予約",
    "予約", "予約", "予約", "予約", "予約", "予約", "予約", "予約", "予約", "予約",
    "予約", "予約", "予約", "予約", "予約", "予約", "予約", "予約", "予約", "予約",
    "汎用ﾊﾟﾗﾒｰﾀ", "使用不可", "汎用ﾊﾟﾗﾒｰﾀ", "使用不可", "汎用ﾊﾟﾗﾒｰﾀ", "使用不可", "汎用ﾊﾟﾗﾒｰﾀ",
    "使用不可", "汎用ﾊﾟﾗﾒｰﾀ", "使用不可"};

const char* const kOption = "ｵﾌﾟｼｮﾝ専用ﾊﾟﾗﾒｰﾀ";
const char* const kReserved = "予約";

struct TableDefinition {
    int count;
    std::map<int, const char*> differences; // from the master list
};

TableDefinition Definition(PrmTable table) {
    switch (table) {
    case PrmTable::QWA:
        return {64,
                {{0, "ｴﾝｺｰﾀﾞﾊﾟﾙｽ"}, {1, kReserved}, {5, "励磁電流"}, {6, "すべり"},
                 {21, "KAS/1ﾓｰﾄﾞ"}, {25, "加減速時間"}, {30, "原点位置"}, {37, kReserved},
                 {46, kOption}, {48, kOption}, {49, kOption}, {50, kOption}, {51, kOption},
                 {52, kOption}, {53, kOption}}};
    case PrmTable::QWB:
        return {90,
                {{21, "KAS/2ﾓｰﾄﾞ"}, {25, "加減速時間"}, {30, "原点位置"}, {46, kOption},
                 {48, kOption}, {49, kOption}, {68, kReserved}, {69, kReserved}, {70, kReserved},
                 {71, "電流ﾙｰﾌﾟEMF係数"}, {72, "電気角進み補償"}, {78, kReserved}, {79, kReserved},
                 {80, kReserved}, {81, kReserved}, {82, kReserved}, {83, kReserved},
                 {84, kReserved}, {85, kReserved}, {86, kReserved}, {87, kReserved},
                 {89, kReserved}}};
    case PrmTable::QWC30:
        return {90,
                {{21, "KAS/2ﾓｰﾄﾞ"}, {25, "加減速時間"}, {30, "原点位置"}, {46, kOption},
                 {48, kOption}, {49, kOption}, {68, kReserved}, {69, kReserved}, {70, kReserved},
                 {71, "電流ﾙｰﾌﾟEMF係数"}, {72, "電気角進み補償"}, {79, kReserved}, {80, kReserved},
                 {81, kReserved}, {82, kReserved}, {83, kReserved}, {84, kReserved},
                 {85, kReserved}, {86, kReserved}, {87, kReserved}, {89, kReserved}}};
    case PrmTable::QWC50A_B0:
        return {90,
                {{21, "KAS/2ﾓｰﾄﾞ"}, {25, "加減速時間"}, {30, "原点近傍ﾓｰﾄﾞ"}, {46, kOption},
                 {48, kOption}, {49, kOption}, {72, kReserved}, {89, kReserved}}};
    case PrmTable::QWC50A_B1:
        return {97,
                {{21, "KAS/2ﾓｰﾄﾞ"}, {25, "加減速時間"}, {30, "原点近傍ﾓｰﾄﾞ"}, {46, kOption},
                 {48, kOption}, {49, kOption}, {72, kReserved}, {89, kReserved}, {93, kReserved}}};
    case PrmTable::QWC50A_C3:
        return {110,
                {{21, "KAS/2ﾓｰﾄﾞ"}, {25, "加減速時間"}, {30, "原点近傍ﾓｰﾄﾞ"}, {72, kReserved},
                 {89, kReserved}, {93, kReserved}}};
    case PrmTable::Lock:
        break;
    }
    return {200, {}};
}
// clang-format on

QStringList BuildTable(PrmTable table) {
    const TableDefinition definition = Definition(table);
    QStringList records;
    for (int number = 0; number < definition.count; ++number) {
        const auto difference = definition.differences.find(number);
        const char* name =
            difference != definition.differences.end() ? difference->second : kLockNames[number];
        records.append(PrmNameRecord(number, QString::fromUtf8(name)));
    }
    return records;
}

} // namespace

QString PrmNameRecord(int number, const QString& name) {
    QString record = QString(" #%1 ").arg(number, 3, 10, QChar('0')) + name;
    const int width = ui::cp932::ByteWidth(record);
    if (width < kPrmNameRecordBytes) record += QString(kPrmNameRecordBytes - width, ' ');
    return record;
}

const QStringList& PrmNames(PrmTable table) {
    static const std::map<PrmTable, QStringList> tables = [] {
        std::map<PrmTable, QStringList> all;
        for (PrmTable t : {PrmTable::QWA, PrmTable::QWB, PrmTable::QWC30, PrmTable::QWC50A_B0,
                           PrmTable::QWC50A_B1, PrmTable::QWC50A_C3, PrmTable::Lock})
            all.emplace(t, BuildTable(t));
        return all;
    }();
    return tables.at(table);
}
