// Channel scales of the logging windows: the raw sample value that reaches from the centre line
// to the plot's edge (five divisions), and one division's value in the variable's physical unit.
#pragma once

#include <QString>
#include <cstdint>

namespace logging {

enum class ScaleGroup { Count, Position, Velocity, Acceleration, Torque };

// Which of the two four-channel windows: their variable lists and acceleration rules differ.
enum class FourChannelSeries { Second, ThirdFourth };

// The drive constants the scales convert with.
struct ScaleConstants {
    int kencValue = 100;
    int pulseScale = 0;
    int speedScale = 0;
    int encoderResolution = 1000;
    int linearMotorLength = 0;
    int ratedCurrent = 16;
    int detectMultiplier = 4;
    int motorType = 0;
    int driverMaxCurrent = 39;
};

struct ChannelScale {
    std::int32_t fullScale = 0;
    std::int32_t perDivision = 0;
    QString unit;
};

// 100 and above is a linear motor.
bool IsLinearMotor(int motorType);

// A floating value truncated toward zero and limited to the 32-bit range, so that large
// exponents and multipliers give the largest scale rather than a wrapped (possibly zero) one.
std::int32_t TruncateToInt32(double value);

// The group of a four-channel window's variable by its item index (-1 or an unlisted index:
// counts).
ScaleGroup FourChannelGroup(FourChannelSeries series, int variableIndex);

// One channel of a four-channel window: E = exponent 1..7, M = multiplier index 0..8.
ChannelScale FourChannelScale(FourChannelSeries series, int variableIndex, int exponent,
                              int multiplier, const ScaleConstants& constants);

// The first series' one channel, by the item index of its variable list (-1: a typed address).
ScaleGroup FirstSeriesGroup(int variableIndex);
ChannelScale FirstSeriesScale(int variableIndex, int exponent, int multiplier,
                              const ScaleConstants& constants);

} // namespace logging
