#include "ChannelScale.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace logging {
namespace {

constexpr double kFifth = 0.2; // half the plot height is five divisions

// A product formed in 32-bit integer arithmetic, wrapping as the driver's own numbers do.
std::int32_t Product32(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) * static_cast<std::uint32_t>(b));
}

double Divide(double numerator, double denominator) {
    return denominator == 0 ? 0.0 : numerator / denominator;
}

ChannelScale Make(double fullScale, double perDivisionOf(std::int32_t, const ScaleConstants&),
                  const ScaleConstants& constants, const QString& unit) {
    ChannelScale scale;
    scale.fullScale = TruncateToInt32(fullScale);
    scale.perDivision = TruncateToInt32(perDivisionOf(scale.fullScale, constants));
    scale.unit = unit;
    return scale;
}

double CountDivision(std::int32_t s, const ScaleConstants&) {
    return s * kFifth;
}

double PositionDivision(std::int32_t s, const ScaleConstants& c) {
    return Divide(s, c.kencValue) * kFifth;
}

double RotaryVelocityDivision(std::int32_t s, const ScaleConstants& c) {
    return Divide(Divide(Divide(s, c.kencValue) * 60000, c.detectMultiplier), c.encoderResolution) *
           kFifth;
}

double LinearVelocityDivision(std::int32_t s, const ScaleConstants& c) {
    return Divide(static_cast<double>(s) * c.speedScale, c.pulseScale) * kFifth;
}

// F is 0.0625 in the second series' window, 1 in the third and fourth series'.
double RotaryAcceleration(std::int32_t s, const ScaleConstants& c, double f) {
    return Divide(Divide(Divide(s, c.kencValue) * 2 * 10000, c.encoderResolution),
                  c.detectMultiplier) *
           314 * f * kFifth;
}

double SecondSeriesAccelerationDivision(std::int32_t s, const ScaleConstants& c) {
    return RotaryAcceleration(s, c, 0.0625);
}

double ThirdSeriesAccelerationDivision(std::int32_t s, const ScaleConstants& c) {
    return RotaryAcceleration(s, c, 1.0);
}

double LinearAccelerationDivision(std::int32_t s, const ScaleConstants& c) {
    const double perPulse =
        Divide(Divide(Divide(static_cast<double>(s) * 1000000, c.kencValue), c.encoderResolution),
               c.detectMultiplier);
    return perPulse * c.linearMotorLength * kFifth;
}

double TorqueDivision(std::int32_t s, const ScaleConstants& c) {
    const int perUnit = (c.motorType == 0 || c.motorType == 100) ? 26754 : 32767;
    return Divide(static_cast<double>(s) * 100 * c.driverMaxCurrent,
                  Product32(c.ratedCurrent, perUnit)) *
           kFifth;
}

double FirstSeriesTorqueDivision(std::int32_t s, const ScaleConstants& c) {
    return Divide(static_cast<double>(s) * 100 * c.driverMaxCurrent,
                  Product32(c.ratedCurrent, 32767)) *
           kFifth;
}

double FirstSeriesAccelerationDivision(std::int32_t s, const ScaleConstants& c) {
    return Divide(Divide(Divide(s, c.kencValue) * 2 * 10000, c.encoderResolution),
                  c.detectMultiplier) *
           314 * 0.0625 * kFifth;
}

bool In(int index, std::initializer_list<int> set) {
    return std::find(set.begin(), set.end(), index) != set.end();
}

} // namespace

bool IsLinearMotor(int motorType) {
    return motorType > 99;
}

std::int32_t TruncateToInt32(double value) {
    if (std::isnan(value)) return 0;
    constexpr double high = std::numeric_limits<std::int32_t>::max();
    const double limited = std::clamp(std::trunc(value), -high, high);
    return static_cast<std::int32_t>(limited);
}

ScaleGroup FourChannelGroup(FourChannelSeries series, int i) {
    if (series == FourChannelSeries::Second) {
        if (In(i, {2, 7, 11, 15})) return ScaleGroup::Position;
        if (In(i, {3, 4, 5, 8, 12, 16, 18})) return ScaleGroup::Velocity;
        if (In(i, {6, 9, 13, 17, 19})) return ScaleGroup::Acceleration;
        if (In(i, {10, 14, 20})) return ScaleGroup::Torque;
        return ScaleGroup::Count;
    }
    if (In(i, {2, 8, 13, 17, 18})) return ScaleGroup::Position;
    if (In(i, {3, 4, 5, 9, 14, 19, 21})) return ScaleGroup::Velocity;
    if (In(i, {6, 7, 10, 15, 20, 22})) return ScaleGroup::Acceleration;
    if (In(i, {11, 12, 16, 23})) return ScaleGroup::Torque;
    return ScaleGroup::Count;
}

ChannelScale FourChannelScale(FourChannelSeries series, int variableIndex, int exponent,
                              int multiplier, const ScaleConstants& c) {
    const double m = multiplier + 1;
    const double tens = std::pow(10.0, exponent);
    const double fives = std::pow(5.0, exponent);
    const bool linear = IsLinearMotor(c.motorType);
    switch (FourChannelGroup(series, variableIndex)) {
    case ScaleGroup::Position:
        return Make(tens * m * c.kencValue, PositionDivision, c, "ﾊﾟﾙｽ/div");
    case ScaleGroup::Velocity:
        if (linear) return Make(fives * m * 80, LinearVelocityDivision, c, "mmps/div");
        return Make(fives * m * 80, RotaryVelocityDivision, c, "rpm/div");
    case ScaleGroup::Acceleration:
        if (series == FourChannelSeries::Second)
            return Make(tens * m * c.kencValue, SecondSeriesAccelerationDivision, c, "rad/s^2");
        if (linear) return Make(tens * m * c.kencValue, LinearAccelerationDivision, c, "mm/s^2");
        return Make(tens * m * c.kencValue, ThirdSeriesAccelerationDivision, c, "rad/s^2");
    case ScaleGroup::Torque:
        return Make(fives * m * c.kencValue, TorqueDivision, c, "%/div");
    case ScaleGroup::Count:
        break;
    }
    return Make(tens * 5 * m, CountDivision, c, "count/div");
}

ScaleGroup FirstSeriesGroup(int i) {
    if (i >= 0 && i <= 3) return ScaleGroup::Position;
    if (i >= 7 && i <= 12) return ScaleGroup::Velocity;
    if (i >= 13 && i <= 16) return ScaleGroup::Acceleration;
    if (i == 18 || i == 19) return ScaleGroup::Torque;
    return ScaleGroup::Count;
}

ChannelScale FirstSeriesScale(int variableIndex, int exponent, int multiplier,
                              const ScaleConstants& c) {
    const double m = multiplier + 1;
    const double tens = std::pow(10.0, exponent);
    const double fives = std::pow(5.0, exponent);
    switch (FirstSeriesGroup(variableIndex)) {
    case ScaleGroup::Position:
        return Make(tens * m * c.kencValue, PositionDivision, c, "ﾊﾟﾙｽ/div");
    case ScaleGroup::Velocity:
        return Make(fives * m * 80, RotaryVelocityDivision, c, "rpm/div");
    case ScaleGroup::Acceleration:
        return Make(tens * m * c.kencValue, FirstSeriesAccelerationDivision, c, "rad/s^2");
    case ScaleGroup::Torque:
        return Make(fives * m * c.kencValue, FirstSeriesTorqueDivision, c, "%/div");
    case ScaleGroup::Count:
        break;
    }
    return Make(tens * (5 * multiplier + 5), CountDivision, c, "count/div");
}

} // namespace logging
