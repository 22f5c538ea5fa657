// Gain and phase of one measured sweep point, closed loop as measured or open loop computed from
// it, as the Bode and vector plots draw them. Plain C++, no Qt.
#pragma once

#include <cstdint>

// One sweep point: frequency in Hz, injected amplitude, then the real and imaginary parts of
// the response (complex data) or its amplitude and phase in degrees (amplitude data).
struct TFraPoint {
    std::int32_t Freq = 0;
    std::int32_t InjectedAmp = 0;
    std::int32_t Value3 = 0;
    std::int32_t Value4 = 0;
};

namespace fra {

// The ratio drawn as gain on the Bode plot (closed loop with an injected amplitude of 0 divides
// by 0.00001; an open loop with a zero denominator gives 100000), made positive.
double BodeGainRatio(const TFraPoint& point, bool complexData, bool openLoop);
// 20 log10(ratio), or -66 when the ratio is 0.0001 or below.
double GainDb(double ratio);
// The phase in whole degrees drawn on the Bode plot.
int BodePhase(const TFraPoint& point, bool complexData, bool openLoop);
// A phase folded into -180..180 (180 stays 180).
int RollOverPhase(int phase);

// The point of the vector locus: the magnitude of the ratio and its angle in radians.
struct PolarPoint {
    double ratio = 0.0;
    double angle = 0.0;
};
PolarPoint VectorPoint(const TFraPoint& point, bool complexData, bool openLoop);

} // namespace fra
