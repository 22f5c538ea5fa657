// The command tables of the two poll cycles and the variable selectors' items.
#include "StatusPollTable.h"

#include <array>

namespace status {

namespace {

constexpr int kFirstSeriesLastStep = 10;
constexpr int kStatLastStep = 14;
constexpr int kStatQwcLastStep = 13;

// Steps 0 to 8 are alike in both monitors but for the case of the status commands.
QByteArray CommonPollCommand(Monitor monitor, int step) {
    static const std::array<const char*, 9> commands = {"#STAT", "#ALST", "#INST", "#OUST", "",
                                                        "",      "$QREF", "$LOAD", "M"};
    const QByteArray command = commands.at(static_cast<size_t>(step));
    return monitor == Monitor::Stat && step != 8 ? command.toLower() : command;
}

QByteArray StatLaterCommand(int series, int newStatusCommands, int step) {
    switch (step) {
    case 9:
        return "VER";
    case 10:
        if (series == 0) return "#$0010";
        return newStatusCommands != 0 ? "INSTA" : "##83a1";
    case 11:
        return "POLST";
    case 12:
        return newStatusCommands != 0 ? "BUSAL" : "#$8390";
    case 13:
        return "MBST";
    case 14:
        return "#SQPT";
    default:
        return {};
    }
}

QByteArray StatQwcLaterCommand(int step) {
    static const std::array<const char*, 5> commands = {"INSTA", "POLST", "BUSAL", "MBST", "#SQPT"};
    return commands.at(static_cast<size_t>(step - 9));
}

} // namespace

int LastPollStep(Monitor monitor, int series) {
    if (monitor == Monitor::StatQwc) return kStatQwcLastStep;
    return series == 0 ? kFirstSeriesLastStep : kStatLastStep;
}

QByteArray FixedPollCommand(Monitor monitor, int series, int newStatusCommands, int step) {
    if (step < 0 || step > LastPollStep(monitor, series)) return {};
    if (step <= 8) return CommonPollCommand(monitor, step);
    return monitor == Monitor::Stat ? StatLaterCommand(series, newStatusCommands, step)
                                    : StatQwcLaterCommand(step);
}

int NewStatusCommandsOf(const QByteArray& modelText, int previous) {
    if (modelText == "E-S" || modelText.contains("D55") || modelText.contains("D56")) return 0;
    if (modelText.contains("E01CHMB4")) return 1;
    if (modelText.contains("E01")) return 0;
    return previous;
}

bool OpensQwcMonitor(int series, const QByteArray& versionText) {
    return (series == 2 || series == 3) && !versionText.contains("QWC30");
}

const QStringList& StatVariableItems() {
    static const QStringList items = {"#VSET (現在速度指令[内部])",
                                      "$PACT (現在位置[ﾊﾟﾙｽ])",
                                      "$VACT (現在速度[RPM,MM/S])",
                                      "$AACT (現在加速度[RAD/S^2,MM/S^2])",
                                      "$PREF (現在位置指令)",
                                      "$VREF (現在速度指令)",
                                      "$AREF (現在加速度指令)",
                                      "$QREF (現在ﾄﾙｸ指令[%])",
                                      "$PCOM (現在最終目標位置)",
                                      "$VCOM (現在最終目標速度)",
                                      "$ACOM (現在最終目標加速度)",
                                      "$QCOM (現在最終目標ﾄﾙｸ指令)",
                                      "$PERR (現在位置偏差)",
                                      "$VERR (現在速度偏差)",
                                      "$AERR (現在加速度偏差)",
                                      "$VFFD (速度指令ﾌｨｰﾄﾞﾌｫﾜｰﾄﾞ)",
                                      "$AFFD (加速度指令ﾌｨｰﾄﾞﾌｫﾜｰﾄﾞ)",
                                      "$QFFD (ﾄﾙｸ指令ﾌｨｰﾄﾞﾌｫﾜｰﾄﾞ)",
                                      "#THET (電気角[内部])",
                                      "$EDEG (電気角[°])",
                                      "#SQPT (ｼｰｹﾝｽﾎﾟｲﾝﾀ)",
                                      "#VACT (現在速度[内部])",
                                      "#VREF (現在速度指令[内部])",
                                      "#QREF (現在ﾄﾙｸ指令[内部])",
                                      "#PCOM (現在目標位置[内部])",
                                      "#VCOM (現在目標速度[内部])",
                                      "#QCOM (現在目標ﾄﾙｸ指令[内部])",
                                      "#VFFD (速度ﾌｨｰﾄﾞﾌｫﾜｰﾄﾞ[内部])",
                                      "#QFFD (ﾄﾙｸﾌｨｰﾄﾞﾌｫﾜｰﾄﾞ[内部])",
                                      "$ANCOM (ｱﾅﾛｸﾞ入力値[内部])",
                                      "IREFU (U相電流指令値[内部])",
                                      "IREFV (V相電流指令値[内部])",
                                      "ﾕｰｻﾞ設定変数 (任意変数)"};
    return items;
}

const QStringList& StatQwcVariableItems() {
    static const QStringList items = {"$PACT (現在位置[ﾊﾟﾙｽ])",
                                      "$VACT (現在速度[RPM,MM/S])",
                                      "#VACT (現在速度[内部])",
                                      "$VACTR (現在速度(瞬時値))",
                                      "#VACTR (現在速度(瞬時値)[内部])",
                                      "$AACT (現在加速度[RAD/S^2,MM/S^2])",
                                      "#AACT (実加速度[内部])",
                                      "#AACTR (実加速度(瞬時値)[内部])",
                                      "$PREF (現在位置指令)",
                                      "$VREF (現在速度指令)",
                                      "#VREF (現在速度指令[内部])",
                                      "$AREF (現在加速度指令)",
                                      "$QREF (現在ﾄﾙｸ指令[%])",
                                      "#QREF (現在ﾄﾙｸ指令[内部])",
                                      "$PCOM (現在最終目標位置)",
                                      "#PCOM (現在目標位置[内部])",
                                      "$VCOM (現在最終目標速度)",
                                      "#VCOM (現在目標速度[内部])",
                                      "$ACOM (現在最終目標加速度)",
                                      "$QCOM (現在最終目標ﾄﾙｸ指令)",
                                      "#QCOM (現在目標ﾄﾙｸ指令[内部])",
                                      "$PERR (現在位置偏差)",
                                      "$PERR1 (位置偏差(起動前)[ﾊﾟﾙｽ])",
                                      "#PERR1 (位置偏差(起動前)[内部])",
                                      "$VERR (現在速度偏差)",
                                      "$AERR (現在加速度偏差)",
                                      "$VFFD (速度指令ﾌｨｰﾄﾞﾌｫﾜｰﾄﾞ)",
                                      "#VFFD (速度ﾌｨｰﾄﾞﾌｫﾜｰﾄﾞ[内部])",
                                      "$AFFD (加速度指令ﾌｨｰﾄﾞﾌｫﾜｰﾄﾞ)",
                                      "$QFFD (ﾄﾙｸ指令ﾌｨｰﾄﾞﾌｫﾜｰﾄﾞ)",
                                      "#QFFD (ﾄﾙｸﾌｨｰﾄﾞﾌｫﾜｰﾄﾞ[内部])",
                                      "#IACTQ (Q軸実電流[内部])",
                                      "#IREFQ (Q軸電流指令[内部])",
                                      "#PWMQ (Q軸PWM[内部])",
                                      "#PWMU (U相PWM[内部])",
                                      "#PWMV (V相PWM[内部])",
                                      "#VSET (現在速度指令[内部])",
                                      "#THET (電気角[内部])",
                                      "$EDEG (電気角[°])",
                                      "#SQPT (ｼｰｹﾝｽﾎﾟｲﾝﾀ)",
                                      "ANCOM (ｱﾅﾛｸﾞ入力値[内部])",
                                      "ANIN1 (CH1ｱﾅﾛｸﾞ入力値[内部])",
                                      "ANIN2 (CH2ｱﾅﾛｸﾞ入力値[内部])",
                                      "IREFU (U相電流指令値[内部])",
                                      "IREFV (V相電流指令値[内部])",
                                      "BACT (主回路DCﾊﾞｽ電圧[V])",
                                      "VSRH (回生抵抗温度上昇率[%])",
                                      "!ENCS (ｴﾝｺｰﾀﾞ入力ABZ)",
                                      "SQTX (現在のﾒｲﾙﾎﾞｯｸｽ行ｿｰｽ)",
                                      "ﾕｰｻﾞ設定変数 (任意変数)"};
    return items;
}

QString VariableCommand(const QStringList& items, int itemIndex, const QString& customName) {
    if (itemIndex < 0 || itemIndex >= items.size() - 1) return customName;
    const QString& item = items.at(itemIndex);
    return item.left(item.indexOf(' ')).toUpper();
}

} // namespace status
