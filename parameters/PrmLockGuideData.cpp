// The lock window's guide texts: one text per grid row, the same for every series and model.
#include "PrmGuideData.h"

namespace {

// The rows that read as the list window's guide of the newest models.
const PrmGuideText kListText{};

constexpr char kNotchFilter[] = "ﾉｯﾁﾌｨﾙﾀ用のﾊﾟﾗﾒｰﾀです。";
constexpr char kNotchManual[] = "詳細は、ﾉｯﾁﾌｨﾙﾀｵﾌﾟｼｮﾝの取扱説明書をご覧ください。";

} // namespace

const std::vector<PrmGuideText>& PrmLockGuideEntries() {
    // clang-format off
    static const std::vector<PrmGuideText> entries = {
        kListText, // row 1, #000
        kListText, // row 2, #001
        kListText, // row 3, #002
        kListText, // row 4, #003
        kListText, // row 5, #004
        kListText, // row 6, #005
        kListText, // row 7, #006
        kListText, // row 8, #007
        kListText, // row 9, #008
        kListText, // row 10, #009
        kListText, // row 11, #010
        kListText, // row 12, #011
        // row 13, #012
        {"名称 : 初期ﾓｰﾄﾞ",
         "ﾄﾞﾗｲﾊﾞ電源投入(立上げ)時にｾｯﾄされるﾓｰﾄﾞを設定してください。",
         "設定する数値は、Kas/2のﾓｰﾄﾞの数値を同じです。",
         "詳細は、ﾄﾞﾗｲﾊﾞ本体の取扱説明書のﾓｰﾄﾞの設定をご覧ください。"},
        // row 14, #013
        {"名称 : 電子ｷﾞｱ分母",
         "ﾊﾟﾙｽ列を含む位置指令値に掛けられる係数の分母を設定してください。",
         "詳細は、ﾄﾞﾗｲﾊﾞ本体の取扱説明書の極性及びてい倍をご覧ください。",
         "ﾊﾟﾙｽ指令ﾓｰﾄﾞ時には移動量及び速度が変わりますが、内部指令ﾓｰﾄﾞ(ABS,INC等)時には移動量のみが変わります。"},
        // row 15, #014
        {"名称 : 電子ｷﾞｱ分子",
         "ﾊﾟﾗﾒｰﾀ#13と同様の係数の分子を設定してください。",
         "詳細は、ﾄﾞﾗｲﾊﾞ本体の取扱説明書の極性及びてい倍をご覧ください。",
         "ﾊﾟﾙｽ指令ﾓｰﾄﾞ時には移動量及び速度が変わりますが、内部指令ﾓｰﾄﾞ(ABS,INC等)時には移動量のみが変わります。"},
        kListText, // row 16, #015
        kListText, // row 17, #016
        kListText, // row 18, #017
        kListText, // row 19, #018
        kListText, // row 20, #019
        kListText, // row 21, #020
        // row 22, #021
        {"名称 : Kas/2ﾓｰﾄﾞ",
         "Kas/2に関する設定です。",
         "(ﾎﾞｰﾚｰﾄ、ﾒｲﾙﾎﾞｯｸｽ、ﾊﾟﾘﾃｨﾁｪｯｸ選択)",
         kSeeManual},
        // row 23, #022
        {"名称 : 設定速度",
         "Kas/2ｺﾏﾝﾄﾞに対するﾃﾞﾌｫﾙﾄ速度です。",
         kRotaryMotor,
         "単位は [rpm] です。",
         kLinearMotor,
         "単位は [mm/sec] です。"},
        // row 24, #023
        {"名称 : ｼﾞｮｸﾞ速度",
         "Kas/2ｼﾞｮｸﾞｺﾏﾝﾄﾞや原点復帰ｺﾏﾝﾄﾞによる移動時の速度です。",
         kRotaryMotor,
         "単位は [rpm] です。",
         kLinearMotor,
         "単位は [mm/sec] です。"},
        kListText, // row 25, #024
        // row 26, #025
        {"名称 : 加減速時間",
         "S字加減速のﾊﾟﾗﾒｰﾀです。",
         "ﾊﾟﾗﾒｰﾀ#7の最大回転数に対する加速を時間で指定します。",
         "単位は [msec] です。",
         "2～20000(ﾊﾟﾗﾒｰﾀ#26が16以下では20000まで)の範囲で設定してください。",
         "加減速時間は、ﾊﾟﾗﾒｰﾀ#32の設定で最大回転数ではなく、設定速度への到達時間に変更できます。",
         "このﾊﾟﾗﾒｰﾀはﾊﾟﾙｽ列又は、ｱﾅﾛｸﾞ入力に直接追従する制御ﾓｰﾄﾞ(PUL,PLT,ANV,ANQ等)では無効です。",
         kSeeManual},
        // row 27, #026
        {"名称 : ｼﾞｬｰｸ時間",
         "S字加減速のﾊﾟﾗﾒｰﾀです。",
         "最大回転数に対する加速度の立ち上げ時間を指定します。",
         "単位は [msec] です。",
         "加減速時間の50[%]以下で且つ1～565の範囲で設定してください。",
         "加減速時間は、ﾊﾟﾗﾒｰﾀ#32の設定で最大回転数ではなく、設定速度への到達時間に変更できます。",
         "このﾊﾟﾗﾒｰﾀはﾊﾟﾙｽ列又は、ｱﾅﾛｸﾞ入力に直接追従する制御ﾓｰﾄﾞ(PUL,PLT,ANV,ANQ等)では無効です。",
         kSeeManual},
        kListText, // row 28, #027
        kListText, // row 29, #028
        kListText, // row 30, #029
        kListText, // row 31, #030
        kListText, // row 32, #031
        kListText, // row 33, #032
        kListText, // row 34, #033
        kListText, // row 35, #034
        kListText, // row 36, #035
        kListText, // row 37, #036
        kListText, // row 38, #037
        kListText, // row 39, #038
        kListText, // row 40, #039
        kListText, // row 41, #040
        kListText, // row 42, #041
        kListText, // row 43, #042
        kListText, // row 44, #043
        kListText, // row 45, #044
        kListText, // row 46, #045
        // row 47, #046
        {"名称 : 自動力率検知ｹﾞｲﾝ係数",
         "自動力率検知時に加速度ﾙｰﾌﾟｹﾞｲﾝにかけられる係数です。",
         "自動力率検知時のｹﾞｲﾝ = ﾊﾟﾗﾒｰﾀ#19×ﾊﾟﾗﾒｰﾀ#46",
         "自動力率検知時のｹﾞｲﾝは、負荷によって最適値が異なりますので加速度ﾙｰﾌﾟｹﾞｲﾝ(ﾊﾟﾗﾒｰﾀ#19)と同様に高すぎると騒音が発生します。",
         "また、逆に低すぎると振れが大きくなります。",
         "1～100までの範囲で設定してください。"},
        kListText, // row 48, #047
        kListText, // row 49, #048
        kListText, // row 50, #049
        kListText, // row 51, #050
        kListText, // row 52, #051
        kListText, // row 53, #052
        kListText, // row 54, #053
        kListText, // row 55, #054
        kListText, // row 56, #055
        kListText, // row 57, #056
        kListText, // row 58, #057
        kListText, // row 59, #058
        kListText, // row 60, #059
        kListText, // row 61, #060
        kListText, // row 62, #061
        kListText, // row 63, #062
        kListText, // row 64, #063
        kListText, // row 65, #064
        kListText, // row 66, #065
        kListText, // row 67, #066
        kListText, // row 68, #067
        kListText, // row 69, #068
        kListText, // row 70, #069
        kListText, // row 71, #070
        kListText, // row 72, #071
        // row 73, #072
        {"名称 : 適応制御時定数",
         "加速度系への目標時定数を設定します。",
         "数値符号が－値(ﾏｲﾅｽ)の場合は[μsec]、+値(ﾌﾟﾗｽ)の場合は[msec]単位となります。",
         "なお、0が設定されていた場合は2[msec]の時定数と同一になります。"},
        kListText, // row 74, #073
        kListText, // row 75, #074
        kListText, // row 76, #075
        kListText, // row 77, #076
        kListText, // row 78, #077
        kListText, // row 79, #078
        kListText, // row 80, #079
        // row 81, #080
        {"名称 : 速度PID速度ﾙｰﾌﾟ比例ｹﾞｲﾝ",
         "重み:ﾊﾟﾗﾒｰﾀ#80÷256",
         "このﾊﾟﾗﾒｰﾀは、DSPﾓﾃﾞﾙでのみ利用可能です。",
         kSeeManual},
        kListText, // row 82, #081
        kListText, // row 83, #082
        kListText, // row 84, #083
        kListText, // row 85, #084
        kListText, // row 86, #085
        kListText, // row 87, #086
        // row 88, #087
        {"名称 : ｴﾝｺｰﾀﾞ分岐分周比",
         "ﾄﾞﾗｲﾊﾞCN11からのｴﾝｺｰﾀﾞ分岐出力が設定した分周比で出力されます。",
         "（但し、非DSPﾓﾃﾞﾙの場合はこの分周比は変更できません。）",
         kSeeManual},
        kListText, // row 89, #088
        // row 90, #089
        {"名称 : 電子ｷﾞｱ2",
         "例えば、ｷﾞｶﾞ速度ｵﾌﾟｼｮﾝなどで使用する際に ANV、ANPﾓｰﾄﾞのｱﾅﾛｸﾞ指令値を32ﾋﾞｯﾄに倍増します。"},
        kListText, // row 91, #090
        kListText, // row 92, #091
        kListText, // row 93, #092
        // row 94, #093
        {"名称 : ｽｲｯﾁ2",
         "適応制御自動実行有/無選択などに使われます。",
         kSeeManual},
        kListText, // row 95, #094
        kListText, // row 96, #095
        kListText, // row 97, #096
        kListText, // row 98, #097
        kListText, // row 99, #098
        kListText, // row 100, #099
        kListText, // row 101, #100
        kListText, // row 102, #101
        kListText, // row 103, #102
        kListText, // row 104, #103
        kListText, // row 105, #104
        kListText, // row 106, #105
        kListText, // row 107, #106
        kListText, // row 108, #107
        kListText, // row 109, #108
        kListText, // row 110, #109
        // row 111, #110
        {"名称 : ﾉｯﾁｽｲｯﾁ",
         kNotchFilter,
         kNotchManual},
        // row 112, #111
        {"名称 : ﾉｯﾁﾓｰﾄﾞ",
         kNotchFilter,
         kNotchManual},
        // row 113, #112
        {"名称 : ﾉｯﾁ周波数ch1",
         kNotchFilter,
         kNotchManual},
        // row 114, #113
        {"名称 : ﾉｯﾁ帯域幅ch1",
         kNotchFilter,
         kNotchManual},
        // row 115, #114
        {"名称 : ﾉｯﾁ周波数ch2",
         kNotchFilter,
         kNotchManual},
        // row 116, #115
        {"名称 : ﾉｯﾁ帯域幅ch2",
         kNotchFilter,
         kNotchManual},
        // row 117, #116
        {"名称 : ﾉｯﾁ周波数ch3",
         kNotchFilter,
         kNotchManual},
        // row 118, #117
        {"名称 : ﾉｯﾁ帯域幅ch3",
         kNotchFilter,
         kNotchManual},
        {kReserved}, // row 119, #118
        {kReserved}, // row 120, #119
        // row 121, #120
        {"名称 : 回生ﾀｲﾌﾟ",
         "回生抵抗の種類を選択します。",
         "0: 内蔵回生抵抗を使用します。",
         "1: 外付け回生抵抗を使用します。",
         "外付け回生抵抗の場合は、ﾊﾟﾗﾒｰﾀ#121～#123も回生抵抗の仕様に合わせて設定してください。",
         kSeeManual},
        // row 122, #121
        {"名称 : 回生定格電力",
         "外付け回生抵抗の定格電力です。",
         "単位は [W] です。",
         "回生抵抗の仕様に合わせて設定してください。"},
        // row 123, #122
        {"名称 : 回生抵抗値",
         "外付け回生抵抗の抵抗値です。",
         "単位は [Ω] です。",
         "回生抵抗に表示されている抵抗値を設定してください。"},
        // row 124, #123
        {"名称 : 回生熱時定数",
         "回生抵抗の過負荷保護に使用する熱時定数です。",
         "単位は [sec] です。",
         kSeeManual},
        // row 125, #124
        {"名称 : 補正起動選択",
         "補正ﾃﾞｰﾀによる位置補正を起動する条件を選択します。",
         kSeeManual},
        {kReserved}, // row 126, #125
        {kReserved}, // row 127, #126
        {kReserved}, // row 128, #127
        {kReserved}, // row 129, #128
        {kReserved}, // row 130, #129
        // row 131, #130
        {"名称 : BSC通信速度",
         "BSC通信のﾎﾞｰﾚｰﾄを選択します。",
         "通信相手の機器と同じﾎﾞｰﾚｰﾄにしてください。",
         kSeeManual},
        // row 132, #131
        {"名称 : ANIﾏｽﾀ",
         "ｱﾅﾛｸﾞ入力(ANI)の基準とする入力を選択します。",
         kSeeManual},
        // row 133, #132
        {"名称 : ｱﾅﾛｸﾞ入力不感域",
         "ｱﾅﾛｸﾞ入力の0付近で指令を0とみなす幅です。",
         "単位は [mV] です。"},
        {kReserved}, // row 134, #133
        // row 135, #134
        {"名称 : BSC通信ﾓｰﾄﾞ",
         "BSC通信の通信方式を選択します。",
         "変更した設定は、ﾄﾞﾗｲﾊﾞの電源を入れ直した後に有効になります。",
         kSeeManual},
        {kReserved}, // row 136, #135
        {kReserved}, // row 137, #136
        // row 138, #137
        {"名称 : ﾄﾙｸﾓﾆﾀ選択",
         "ﾄﾙｸﾓﾆﾀ出力に出す信号を選択します。",
         kSeeManual},
        // row 139, #138
        {"名称 : ﾄﾙｸﾓﾆﾀｹﾞｲﾝ",
         "ﾄﾙｸﾓﾆﾀ出力のｹﾞｲﾝを調整します。"},
        // row 140, #139
        {"名称 : ﾄﾙｸﾓﾆﾀｵﾌｾｯﾄ",
         "ﾄﾙｸﾓﾆﾀ出力のｵﾌｾｯﾄを調整します。"},
        {kReserved}, // row 141, #140
        {kReserved}, // row 142, #141
        {kReserved}, // row 143, #142
        {kReserved}, // row 144, #143
        {kReserved}, // row 145, #144
        {kReserved}, // row 146, #145
        {kReserved}, // row 147, #146
        {kReserved}, // row 148, #147
        {kReserved}, // row 149, #148
        {kReserved}, // row 150, #149
        {kReserved}, // row 151, #150
        {kReserved}, // row 152, #151
        {kReserved}, // row 153, #152
        {kReserved}, // row 154, #153
        {kReserved}, // row 155, #154
        {kReserved}, // row 156, #155
        {kReserved}, // row 157, #156
        {kReserved}, // row 158, #157
        {kReserved}, // row 159, #158
        {kReserved}, // row 160, #159
        {kReserved}, // row 161, #160
        {kReserved}, // row 162, #161
        {kReserved}, // row 163, #162
        {kReserved}, // row 164, #163
        {kReserved}, // row 165, #164
        {kReserved}, // row 166, #165
        {kReserved}, // row 167, #166
        {kReserved}, // row 168, #167
        {kReserved}, // row 169, #168
        {kReserved}, // row 170, #169
        {kReserved}, // row 171, #170
        {kReserved}, // row 172, #171
        {kReserved}, // row 173, #172
        {kReserved}, // row 174, #173
        {kReserved}, // row 175, #174
        {kReserved}, // row 176, #175
        {kReserved}, // row 177, #176
        {kReserved}, // row 178, #177
        {kReserved}, // row 179, #178
        {kReserved}, // row 180, #179
        {kReserved}, // row 181, #180
        {kReserved}, // row 182, #181
        {kReserved}, // row 183, #182
        {kReserved}, // row 184, #183
        {kReserved}, // row 185, #184
        {kReserved}, // row 186, #185
        {kReserved}, // row 187, #186
        {kReserved}, // row 188, #187
        {kReserved}, // row 189, #188
        {kReserved}, // row 190, #189
        // row 191, #190
        {kGeneralName,
         kDoubleWordRange,
         kMailboxOption},
        // row 192, #191
        {kUnusableName,
         "ﾊﾟﾗﾒｰﾀ#190の一部として使用されています。"},
        // row 193, #192
        {kGeneralName,
         kDoubleWordRange,
         kMailboxOption},
        // row 194, #193
        {kUnusableName,
         "ﾊﾟﾗﾒｰﾀ#192の一部として使用されています。"},
        // row 195, #194
        {kGeneralName,
         kDoubleWordRange,
         kMailboxOption},
        // row 196, #195
        {kUnusableName,
         "ﾊﾟﾗﾒｰﾀ#194の一部として使用されています。"},
        // row 197, #196
        {kGeneralName,
         kDoubleWordRange,
         kMailboxOption},
        // row 198, #197
        {kUnusableName,
         "ﾊﾟﾗﾒｰﾀ#196の一部として使用されています。"},
        // row 199, #198
        {kGeneralName,
         kDoubleWordRange,
         kMailboxOption},
        // row 200, #199
        {kUnusableName,
         "ﾊﾟﾗﾒｰﾀ#198の一部として使用されています。"},
    };
    // clang-format on
    return entries;
}
