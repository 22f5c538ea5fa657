// The guide texts of the two parameter windows as data: per grid row, the lines of each variant
// and, for the list window, the rule that picks the variant. Texts are UTF-8.
#pragma once

#include <vector>

// One guide text: its lines in order. Line 1 is the name line, "名称 : " and the name.
using PrmGuideText = std::vector<const char*>;

// How a row of the list window picks its variant from the series index (0 QWA, 1 QWB, 2 QWC,
// 3 QWD) and the model text. The comments give the variants in their order.
enum class PrmGuideRule {
    AllSeries,         // every series
    QwaApart,          // QWA | QWB, QWC, QWD
    QwaQwbApart,       // QWA, QWB | QWC, QWD
    QwaQwbApartEach,   // QWA | QWB | QWC, QWD
    QwaExtraLine,      // QWA (the common lines and one more) | any other index
    Qwc30Apart,        // QWA, QWB, "QWC30" models | other QWC and QWD models
    QwaQwc30Apart,     // QWA | QWB, "QWC30" models | other QWC and QWD models
    NewestModelsApart, // QWA, QWB, other models | "QWC50A_C3" or "QWC50A_D0" models of QWC, QWD
};

// The list window's guide of one grid row.
struct PrmGuideEntry {
    PrmGuideRule rule;
    std::vector<PrmGuideText> variants;
};

// The list window's entries: grid row r (parameter #r-1) at index r - 1, rows 1 to 110.
const std::vector<PrmGuideEntry>& PrmGuideEntries();

// The lock window's entries: grid row r at index r - 1, rows 1 to 200. An empty text stands for
// the list window's text of that row for the newest models ("QWC50A_D0"), which the lock window
// shares word for word.
const std::vector<PrmGuideText>& PrmLockGuideEntries();

// Lines that recur word for word in both tables.
inline constexpr char kNameOnly[] = "名称 : ";
inline constexpr char kReserved[] = "名称 : 予約";
inline constexpr char kSeeManual[] = "詳細は、ﾄﾞﾗｲﾊﾞ本体の取扱説明書をご覧ください。";
inline constexpr char kFactoryAdjustment[] = "このﾊﾟﾗﾒｰﾀは工場での調整用です。";
inline constexpr char kDoNotChange[] = "変更しないでください。";
inline constexpr char kRotaryMotor[] = "[回転型ﾓｰﾀの場合]";
inline constexpr char kLinearMotor[] = "[ﾘﾆｱ型ﾓｰﾀの場合]";
inline constexpr char kOptionName[] = "名称 : ｵﾌﾟｼｮﾝ専用ﾊﾟﾗﾒｰﾀ";
inline constexpr char kOptionUse[] = "各種ｵﾌﾟｼｮﾝで使用するﾊﾟﾗﾒｰﾀです。";
inline constexpr char kOptionManual[] = "ｵﾌﾟｼｮﾝ毎の説明書をご覧ください。";
inline constexpr char kGeneralName[] = "名称 : 汎用ﾊﾟﾗﾒｰﾀ";
inline constexpr char kWordRange[] = "設定可能ﾃﾞｰﾀ範囲はﾜｰﾄﾞ型(符号付き16bit)です。";
inline constexpr char kDoubleWordRange[] = "設定可能ﾃﾞｰﾀ範囲はﾀﾞﾌﾞﾙﾜｰﾄﾞ型(符号付き32bit)です。";
inline constexpr char kMailboxOption[] = "ﾒｲﾙﾎﾞｯｸｽｵﾌﾟｼｮﾝ使用時にご利用頂けます。";
inline constexpr char kUnusableName[] = "名称 : 使用不可";
