// Table-driven tests of the channel scales and of the logging rules that need no window.
#include "logging/ChannelScale.h"
#include "logging/LoggingRules.h"

#include <gtest/gtest.h>

using namespace logging;

namespace {

struct ScaleCase {
    FourChannelSeries series;
    int variable;
    int exponent;
    int multiplier;
    int motorType;
    std::int32_t fullScale;
    std::int32_t perDivision;
    const char* unit;
};

TEST(ChannelScaleTest, FourChannelScalesWithTheCreationConstants) {
    const FourChannelSeries second = FourChannelSeries::Second;
    const FourChannelSeries third = FourChannelSeries::ThirdFourth;
    const ScaleCase cases[] = {
        {third, 0, 4, 0, 0, 50000, 10000, "count/div"},   // TIME
        {third, 1, 4, 0, 0, 50000, 10000, "count/div"},   // VSET
        {third, 33, 4, 0, 0, 50000, 10000, "count/div"},  // custom name
        {third, -1, 4, 0, 0, 50000, 10000, "count/div"},  // typed name
        {third, 2, 4, 0, 0, 1000000, 2000, "ﾊﾟﾙｽ/div"},   // PACT
        {second, 15, 4, 0, 0, 1000000, 2000, "ﾊﾟﾙｽ/div"}, // PERR
        {third, 18, 4, 0, 0, 1000000, 2000, "ﾊﾟﾙｽ/div"},  // PERR1
        {third, 3, 4, 0, 0, 50000, 1500, "rpm/div"},      // VACT
        {second, 18, 4, 0, 0, 50000, 1500, "rpm/div"},    // VFFD
        {second, 6, 4, 0, 0, 1000000, 196250, "rad/s^2"}, // AACT
        {third, 7, 4, 0, 0, 1000000, 3140000, "rad/s^2"}, // AACTR
        {third, 11, 4, 0, 0, 62500, 113, "%/div"},        // QREF, motor type 0: 26754
        {third, 11, 4, 0, 100, 62500, 113, "%/div"},      // motor type 100: 26754
        {third, 11, 4, 0, 99, 62500, 92, "%/div"},        // 32767
        {third, 11, 4, 0, 101, 62500, 92, "%/div"},
        {second, 10, 4, 0, 0, 62500, 113, "%/div"},
        {third, 0, 1, 0, 0, 50, 10, "count/div"},           // exponent 1, x1
        {third, 0, 2, 8, 0, 4500, 900, "count/div"},        // x9
        {second, 6, 4, 0, 150, 1000000, 196250, "rad/s^2"}, // no linear case in the second series
    };
    for (const ScaleCase& c : cases) {
        ScaleConstants constants;
        constants.motorType = c.motorType;
        const ChannelScale scale =
            FourChannelScale(c.series, c.variable, c.exponent, c.multiplier, constants);
        EXPECT_EQ(scale.fullScale, c.fullScale) << c.variable << " e" << c.exponent;
        EXPECT_EQ(scale.perDivision, c.perDivision) << c.variable << " e" << c.exponent;
        EXPECT_EQ(scale.unit, QString::fromUtf8(c.unit)) << c.variable;
    }
}

TEST(ChannelScaleTest, LinearMotorsUseTheirOwnVelocityAndAccelerationUnits) {
    ScaleConstants constants;
    constants.motorType = 150;
    constants.pulseScale = 100000;
    constants.speedScale = 15000;
    constants.linearMotorLength = 2;
    const ChannelScale velocity = FourChannelScale(FourChannelSeries::Second, 3, 4, 0, constants);
    EXPECT_EQ(velocity.unit, "mmps/div");
    EXPECT_EQ(velocity.perDivision, 1500); // 50000 x 15000 / 100000 x 0.2
    const ChannelScale acceleration =
        FourChannelScale(FourChannelSeries::ThirdFourth, 6, 4, 0, constants);
    EXPECT_EQ(acceleration.unit, "mm/s^2");
    EXPECT_EQ(acceleration.perDivision, 1000000); // 1e6 x 1e6 / 100 / 1000 / 4 x 2 x 0.2
}

TEST(ChannelScaleTest, HugeScalesStayAtTheLargestValueInsteadOfWrapping) {
    ScaleConstants constants;
    constants.kencValue = 1000;
    const ChannelScale scale = FourChannelScale(FourChannelSeries::ThirdFourth, 2, 7, 8, constants);
    EXPECT_EQ(scale.fullScale, 2147483647);
    EXPECT_GT(scale.perDivision, 0);
    const ChannelScale first = FirstSeriesScale(0, 7, 8, constants);
    EXPECT_EQ(first.fullScale, 2147483647);
}

TEST(ChannelScaleTest, FirstSeriesScales) {
    const ScaleConstants constants;
    const struct {
        int variable, exponent;
        std::int32_t fullScale, perDivision;
        const char* unit;
    } cases[] = {
        {2, 4, 1000000, 2000, "ﾊﾟﾙｽ/div"},
        {10, 4, 50000, 1500, "rpm/div"},
        {15, 4, 1000000, 196250, "rad/s^2"},
        {19, 4, 62500, 92, "%/div"},
        {19, 1, 500, 0, "%/div"},
        {5, 4, 50000, 10000, "count/div"},
        {17, 4, 50000, 10000, "count/div"},
        {-1, 4, 50000, 10000, "count/div"},
    };
    for (const auto& c : cases) {
        const ChannelScale scale = FirstSeriesScale(c.variable, c.exponent, 0, constants);
        EXPECT_EQ(scale.fullScale, c.fullScale) << c.variable;
        EXPECT_EQ(scale.perDivision, c.perDivision) << c.variable;
        EXPECT_EQ(scale.unit, QString::fromUtf8(c.unit)) << c.variable;
    }
}

TEST(LoggingRulesTest, DriveConstantRules) {
    EXPECT_EQ(DetectMultiplierOf(123), 2);
    EXPECT_EQ(DetectMultiplierOf(105), 4);
    EXPECT_EQ(DetectMultiplierOf(40), 4);
    EXPECT_EQ(DetectMultiplierOf(-15), -1); // truncating toward zero
    EXPECT_EQ(DetectMultiplierOf(-25), -2);
    EXPECT_EQ(FirstSeriesKenc(1000, 4, 3000), 100);
    EXPECT_EQ(FirstSeriesKenc(1000000, 4, 3000), 1);
    EXPECT_EQ(FirstSeriesKenc(65536, 65536, 1), 1); // the 32-bit product wraps to 0
    EXPECT_EQ(DecimalReplyOr("E-S", 7), 7);
    EXPECT_EQ(DecimalReplyOr("-12", 7), -12);
    EXPECT_EQ(DecimalReplyOr("", 7), 7);
    EXPECT_EQ(DecimalReplyOr("12x", 7), 7);
}

TEST(LoggingRulesTest, RepliesAreASignAndDigitsWithin32Bits) {
    EXPECT_EQ(DecimalReplyOr("+5", 7), 5);
    EXPECT_EQ(DecimalReplyOr("+-5", 7), 7);
    EXPECT_EQ(DecimalReplyOr("-+5", 7), 7);
    EXPECT_EQ(DecimalReplyOr("+", 7), 7);
    EXPECT_EQ(DecimalReplyOr("-", 7), 7);
    EXPECT_EQ(DecimalReplyOr("--5", 7), 7);
    EXPECT_EQ(DecimalReplyOr("0x10", 7), 7);
    EXPECT_EQ(DecimalReplyOr("1 2", 7), 7);
    EXPECT_EQ(DecimalReplyOr(" 12", 7), 7);
    EXPECT_EQ(DecimalReplyOr("-2147483648", 7), INT32_MIN);
    EXPECT_EQ(DecimalReplyOr("2147483647", 7), INT32_MAX);
    EXPECT_EQ(DecimalReplyOr("2147483648", 7), 7);
    EXPECT_EQ(DecimalReplyOr("12345678901234567890", 7), 7);
    EXPECT_EQ(DecimalReplyOr(QByteArray("1\0", 2), 7), 7);
    EXPECT_EQ(DecimalReplyOr("\xff", 7), 7);
}

TEST(LoggingRulesTest, ThirtyTwoBitArithmeticWrapsWithoutOverflow) {
    EXPECT_EQ(Multiply32(INT32_MAX, INT32_MAX), 1);
    EXPECT_EQ(Multiply32(67108864, 60000), INT32_MIN);
    EXPECT_EQ(Multiply32(-3, 7), -21);
    EXPECT_EQ(Divide32(INT32_MIN, -1), INT32_MIN);
    EXPECT_EQ(Divide32(-7, 2), -3); // truncating toward zero
    EXPECT_EQ(Divide32(5, 0), 0);
    EXPECT_EQ(FirstSeriesKenc(INT32_MIN, -1, 1), 1);
    EXPECT_EQ(FirstSeriesKenc(INT32_MAX, INT32_MAX, INT32_MAX), 1); // 1200000000 / 2147483647
}

TEST(LoggingRulesTest, StartLineIsPaddedBeyondThePadLength) {
    EXPECT_EQ(StartLine(0), "L\r");
    EXPECT_EQ(StartLine(1), "L\r");
    EXPECT_EQ(StartLine(3), "  L\r");
    EXPECT_EQ(StartLine(7), QByteArray(6, ' ') + "L\r");
    EXPECT_EQ(StartLine(14), QByteArray(13, ' ') + "L\r");
}

TEST(LoggingRulesTest, PeriodListsSelectTheDriversPeriod) {
    const struct {
        PeriodList list;
        int period, item;
    } cases[] = {
        {PeriodList::A, 1, 0},   {PeriodList::A, 10, 9},  {PeriodList::A, 20000, 19},
        {PeriodList::A, 15, 9},  {PeriodList::A, 0, -1},  {PeriodList::B, 0, 0},
        {PeriodList::B, 10, 10}, {PeriodList::B, 20, 11}, {PeriodList::B, 20000, 20},
        {PeriodList::B, 15, 10}, {PeriodList::B, -1, -1}, {PeriodList::C, 20000, 19},
        {PeriodList::D, -4, 1},  {PeriodList::D, -1, 0},  {PeriodList::D, 0, 1},
        {PeriodList::D, 10, 11}, {PeriodList::D, 20, 12}, {PeriodList::D, 20000, 21},
        {PeriodList::D, 15, 11}, {PeriodList::D, -2, -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PeriodListItem(c.list, c.period), c.item) << c.period;
    for (PeriodList list : {PeriodList::A, PeriodList::B, PeriodList::C, PeriodList::D}) {
        const PeriodListTexts texts = PeriodListItems(list);
        ASSERT_EQ(texts.rest.size(), 21);
        const int item = PeriodListItem(list, 20000);
        EXPECT_EQ(texts.rest[item - 1], "20000");
    }
    EXPECT_EQ(PeriodListItems(PeriodList::C).first, QString("1"));
    EXPECT_EQ(PeriodListItems(PeriodList::D).rest[0], "0.25");
    EXPECT_EQ(SecondSeriesPeriodItem(20000), 19);
    EXPECT_EQ(SecondSeriesPeriodItem(15), 9);
    EXPECT_EQ(SecondSeriesPeriodItem(0), -1);
    EXPECT_EQ(SecondSeriesPeriods().size(), 20);
    EXPECT_EQ(FastestPeriodText(16), QString("0.0625"));
    EXPECT_EQ(FastestPeriodText(8), QString("0.125"));
    EXPECT_FALSE(FastestPeriodText(6));
}

TEST(LoggingRulesTest, ReadoutNumberPatterns) {
    EXPECT_EQ(FormatWhole(906.25), "906");
    EXPECT_EQ(FormatWhole(-1093.75), "-1094");
    EXPECT_EQ(FormatWhole(2.5), "3");
    EXPECT_EQ(FormatWhole(-2.5), "-3");
    EXPECT_EQ(FormatWhole(-0.3), "0");
    EXPECT_EQ(FormatUpToTwoDecimals(74), "74");
    EXPECT_EQ(FormatUpToTwoDecimals(0.74), "0.74");
    EXPECT_EQ(FormatUpToTwoDecimals(2.5), "2.5");
    EXPECT_EQ(FormatUpToTwoDecimals(-1.005), "-1");
    EXPECT_EQ(ShortestDecimal(62.5), "62.5");
    EXPECT_EQ(ShortestDecimal(10000), "10000");
    EXPECT_EQ(ShortestDecimal(62.5 * 0.1), "6.25");
}

} // namespace
