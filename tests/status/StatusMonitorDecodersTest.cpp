// The status monitors' decoders and command tables on their own, case by case.
#include "status/StatusDecoders.h"
#include "status/StatusPollTable.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

using namespace status;

TEST(StatusDecodersTest, RepliesReadAsSignedNumbersOrZero) {
    const std::pair<const char*, std::int32_t> cases[] = {{"1", 1},
                                                          {"-1", -1},
                                                          {"+5", 5},
                                                          {"  12", 12},
                                                          {"", 0},
                                                          {"E-S", 0},
                                                          {"12 ", 0},
                                                          {"+-5", 0},
                                                          {"-", 0},
                                                          {"0x1F", 31},
                                                          {"0xFFFFFFFF", -1},
                                                          {"0x100000000", 0},
                                                          {"0x", 0},
                                                          {"2147483647", INT_MAX},
                                                          {"-2147483648", INT_MIN},
                                                          {"2147483648", 0},
                                                          {"99999999999999999999", 0},
                                                          {"-99999999999999999999", 0}};
    for (auto [text, value] : cases)
        EXPECT_EQ(ParseNumber(text), value) << text;
    const std::pair<const char*, std::int32_t> hex[] = {
        {"FF", 255}, {"00", 0}, {"10000", 65536}, {"", 0}, {"-5", 0}, {"FFFFFFFF", -1}, {"E-S", 0}};
    for (auto [text, value] : hex)
        EXPECT_EQ(ParseHexReply(text), value) << text;
}

TEST(StatusDecodersTest, LampBitsAndActiveLowLamps) {
    const auto one = LampBits<16>(1);
    EXPECT_TRUE(one[0]);
    for (size_t n = 1; n < 16; ++n)
        EXPECT_FALSE(one[n]) << n;
    for (bool lamp : LampBits<16>(-1))
        EXPECT_TRUE(lamp);
    const auto four = LampBits<8>(4);
    EXPECT_EQ(four, (std::array<bool, 8>{false, false, true, false, false, false, false, false}));
    EXPECT_TRUE(BitSet(INT_MIN, 31));
    EXPECT_TRUE(BitSet(-2, 20)); // the sign is kept when shifting

    for (int n : {0, 2, 3, 4, 5}) {
        EXPECT_TRUE(ActiveLowOn(0x00, n)) << n;
        EXPECT_FALSE(ActiveLowOn(0xFF, n)) << n;
        EXPECT_FALSE(ActiveLowOn(0x10000, n)) << n; // a value above 16 bits
        EXPECT_FALSE(ActiveLowOn(-1, n)) << n;
    }
    EXPECT_TRUE(ActiveLowOn(0xFFFE, 0));
    EXPECT_FALSE(ActiveLowOn(0xFFFE, 1));
}

std::vector<Segment> Lit(const auto& bar) {
    std::vector<Segment> lit;
    for (Segment s : bar)
        if (s != Segment::White) lit.push_back(s);
    return lit;
}

TEST(StatusDecodersTest, TorqueBarLightsOneSegmentPerTwentyPercent) {
    using S = Segment;
    const std::vector<S> five(5, S::Olive);
    const std::pair<std::int32_t, std::vector<S>> cases[] = {
        {0, {}},
        {1, {S::Olive}},
        {20, {S::Olive}},
        {21, {S::Olive, S::Olive}},
        {100, five},
        {101, {S::Olive, S::Olive, S::Olive, S::Olive, S::Olive, S::Red}},
        {-25, {S::Olive, S::Olive}}};
    for (const auto& [value, lit] : cases)
        EXPECT_EQ(Lit(TorqueBar(value)), lit) << value;
    for (std::int32_t full : {320, 301, 5000, -5000, INT_MAX, INT_MIN}) {
        const auto bar = TorqueBar(full);
        EXPECT_EQ(Lit(bar).size(), 16u) << full;
        EXPECT_EQ(bar[4], S::Olive);
        EXPECT_EQ(bar[15], S::Red);
    }
    const auto partial = TorqueBar(45);
    EXPECT_EQ(partial[2], S::Olive);
    EXPECT_EQ(partial[3], S::White); // lit segments from the bottom, the rest white
}

TEST(StatusDecodersTest, LoadBarLightsOneSegmentPerFivePercent) {
    using S = Segment;
    const std::pair<std::int32_t, size_t> counts[] = {
        {0, 1},   {4, 1},       {5, 2},   {-1, 1},  {-4, 1},   {-5, 0},   {-9, 0},
        {-10, 0}, {INT_MIN, 0}, {94, 19}, {95, 20}, {100, 20}, {250, 20}, {INT_MAX, 20}};
    for (auto [value, lit] : counts)
        EXPECT_EQ(Lit(LoadBar(value)).size(), lit) << value;
    std::vector<S> half(10, S::Green);
    half.push_back(S::Olive);
    EXPECT_EQ(Lit(LoadBar(50)), half);
    const auto full = LoadBar(100);
    EXPECT_EQ(full[9], S::Green);
    EXPECT_EQ(full[10], S::Olive);
    EXPECT_EQ(full[14], S::Olive);
    EXPECT_EQ(full[15], S::Red);
    EXPECT_EQ(full[19], S::Red);
    EXPECT_EQ(LoadBar(4)[0], S::Green);
    EXPECT_EQ(LoadBar(4)[1], S::White);
}

TEST(StatusDecodersTest, ExtraLampsFollowTheWordForm) {
    using L = ExtraLamp;
    EXPECT_EQ(StatWordForm(0, "E-S", 0), WordForm::FirstSeries);
    EXPECT_EQ(StatWordForm(1, "E-S", 1), WordForm::Unknown);
    EXPECT_EQ(StatWordForm(2, "QWC30", -1), WordForm::NewCommands);
    EXPECT_EQ(StatWordForm(1, "QWB-E01", 0), WordForm::MemoryRead);

    EXPECT_EQ(OtherInputLamps(WordForm::FirstSeries, "20"),
              (std::vector<LampSetting>{{L::ExtInt, true}, {L::Home, true}}));
    EXPECT_EQ(OtherInputLamps(WordForm::FirstSeries, "3"),
              (std::vector<LampSetting>{{L::ExtInt, false}, {L::Home, false}}));
    EXPECT_EQ(OtherInputLamps(WordForm::NewCommands, "2"),
              (std::vector<LampSetting>{{L::ExtInt, false}, {L::Home, true}}));
    EXPECT_EQ(OtherInputLamps(WordForm::NewCommands, "11"), // hexadecimal: bit 0 set, bit 1 clear
              (std::vector<LampSetting>{{L::ExtInt, true}, {L::Home, false}}));
    const std::vector<LampSetting> allOn = {
        {L::ExtInt, true}, {L::Home, true}, {L::PoleU, true}, {L::PoleV, true}, {L::PoleW, true}};
    EXPECT_EQ(OtherInputLamps(WordForm::MemoryRead, "00"), allOn);
    for (const char* off : {"FF", "10000"})
        for (const LampSetting& lamp : OtherInputLamps(WordForm::MemoryRead, off))
            EXPECT_FALSE(lamp.on) << off;
    EXPECT_EQ(OtherInputLamps(WordForm::MemoryRead, "DE"), // 1101 1110: bits 0 and 5 clear
              (std::vector<LampSetting>{{L::ExtInt, true},
                                        {L::Home, true},
                                        {L::PoleU, false},
                                        {L::PoleV, false},
                                        {L::PoleW, false}}));
    EXPECT_TRUE(OtherInputLamps(WordForm::Unknown, "00").empty());

    EXPECT_EQ(PoleSensorLamps(WordForm::NewCommands, "5"),
              (std::vector<LampSetting>{{L::PoleU, true}, {L::PoleV, false}, {L::PoleW, true}}));
    EXPECT_TRUE(PoleSensorLamps(WordForm::MemoryRead, "7").empty());
    EXPECT_TRUE(PoleSensorLamps(WordForm::Unknown, "7").empty());

    EXPECT_EQ(OtherOutputLamps(WordForm::NewCommands, "6"),
              (std::vector<LampSetting>{
                  {L::UnderVolt, false}, {L::OverVolt, true}, {L::OverCurrent, true}}));
    EXPECT_EQ(OtherOutputLamps(WordForm::MemoryRead, "8"), // decimal 8: bit 3 set
              (std::vector<LampSetting>{
                  {L::UnderVolt, false}, {L::OverVolt, true}, {L::OverCurrent, true}}));
    EXPECT_TRUE(OtherOutputLamps(WordForm::Unknown, "0").empty());
}

TEST(StatusPollTableTest, CyclesOfEachMonitorAndSeries) {
    auto cycle = [](Monitor monitor, int series, int newStatus) {
        QList<QByteArray> commands;
        for (int step = 0; step <= LastPollStep(monitor, series); ++step)
            commands.append(FixedPollCommand(monitor, series, newStatus, step));
        return commands;
    };
    EXPECT_EQ(cycle(Monitor::Stat, 0, -1),
              (QList<QByteArray>{"#stat", "#alst", "#inst", "#oust", "", "", "$qref", "$load", "M",
                                 "VER", "#$0010"}));
    EXPECT_EQ(cycle(Monitor::Stat, 1, -1),
              (QList<QByteArray>{"#stat", "#alst", "#inst", "#oust", "", "", "$qref", "$load", "M",
                                 "VER", "INSTA", "POLST", "BUSAL", "MBST", "#SQPT"}));
    EXPECT_EQ(cycle(Monitor::Stat, 3, 0).mid(10, 3),
              (QList<QByteArray>{"##83a1", "POLST", "#$8390"}));
    for (int series = 0; series < 4; ++series)
        EXPECT_EQ(cycle(Monitor::StatQwc, series, 0),
                  (QList<QByteArray>{"#STAT", "#ALST", "#INST", "#OUST", "", "", "$QREF", "$LOAD",
                                     "M", "INSTA", "POLST", "BUSAL", "MBST", "#SQPT"}));
    EXPECT_TRUE(FixedPollCommand(Monitor::Stat, 0, 1, 11).isEmpty());
    EXPECT_TRUE(FixedPollCommand(Monitor::Stat, 1, 1, -1).isEmpty());
    EXPECT_TRUE(FixedPollCommand(Monitor::StatQwc, 1, 1, 14).isEmpty());
}

TEST(StatusPollTableTest, ModelTextsChooseTheStatusCommands) {
    const std::tuple<const char*, int, int> cases[] = {
        {"E-S", 1, 0},          {"QWB-D55", 1, 0}, {"QWB-D56E01CHMB4", -1, 0},
        {"QWB-E01CHMB4", 0, 1}, {"QWB-E01", 1, 0}, {"QWB20", -1, -1},
        {"QWB20", 0, 0},        {"QWB20", 1, 1},   {"", 0, 0},
        {"e01chmb4", -1, -1}};
    for (auto [model, previous, result] : cases)
        EXPECT_EQ(NewStatusCommandsOf(model, previous), result) << model << " " << previous;

    EXPECT_FALSE(OpensQwcMonitor(0, "QWC50A_C3"));
    EXPECT_FALSE(OpensQwcMonitor(1, ""));
    EXPECT_TRUE(OpensQwcMonitor(2, "QWC50A_C3"));
    EXPECT_TRUE(OpensQwcMonitor(3, "E-S"));
    EXPECT_FALSE(OpensQwcMonitor(2, "XQWC30-A"));
    EXPECT_FALSE(OpensQwcMonitor(3, "QWC30"));
}

TEST(StatusPollTableTest, SelectorsSendTheItemsCommandOrTheUsersName) {
    const QStringList& stat = StatVariableItems();
    const QStringList& qwc = StatQwcVariableItems();
    ASSERT_EQ(stat.size(), 33);
    ASSERT_EQ(qwc.size(), 50);
    EXPECT_EQ(stat.last(), "ﾕｰｻﾞ設定変数 (任意変数)");
    EXPECT_EQ(qwc.last(), stat.last());
    EXPECT_EQ(VariableCommand(stat, 1, "X"), "$PACT");
    EXPECT_EQ(VariableCommand(stat, 2, ""), "$VACT");
    EXPECT_EQ(VariableCommand(stat, 31, ""), "IREFV");
    EXPECT_EQ(VariableCommand(stat, 32, ""), "");
    EXPECT_EQ(VariableCommand(stat, 32, "MYVAR"), "MYVAR");
    EXPECT_EQ(VariableCommand(stat, -1, "MYVAR"), "MYVAR");
    EXPECT_EQ(VariableCommand(qwc, 0, ""), "$PACT");
    EXPECT_EQ(VariableCommand(qwc, 47, ""), "!ENCS");
    EXPECT_EQ(VariableCommand(qwc, 48, ""), "SQTX");
    EXPECT_EQ(VariableCommand(QStringList{"$abc (x)", "last"}, 0, ""), "$ABC");
}

} // namespace
