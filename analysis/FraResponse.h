// Gain and phase of one measured sweep point, closed loop as measured or open loop computed from
// it, as the Bode and vector plots draw them. Plain C++, no Qt.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// One sweep point: frequency in Hz, injected amplitude, then the real and imaginary parts of
// the response (complex data) or its amplitude and phase in degrees (amplitude data).
struct TFraPoint {
    std::int32_t Freq = 0;
    std::int32_t InjectedAmp = 0;
    std::int32_t Value3 = 0;
    std::int32_t Value4 = 0;
    friend bool operator==(const TFraPoint&, const TFraPoint&) = default;
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

// The values the Bode plot draws of a buffer's points, kept from one redraw to the next: Update
// computes them again only for the points that differ from those they were computed from, or
// for every point when the reading changes, so that whoever writes the points need not tell.
class BodeValues {
public:
    struct Value {
        double logFreq = 0.0; // log10 of the frequency
        double db = 0.0;      // GainDb(BodeGainRatio)
        int phase = 0;        // BodePhase
    };
    void Update(const TFraPoint* points, int count, bool complexData, bool openLoop);
    // The value of point i of the last Update.
    const Value& operator[](int i) const { return values_[static_cast<std::size_t>(i)]; }

private:
    std::vector<TFraPoint> points_; // those the values were computed from
    std::vector<Value> values_;
    bool complexData_ = false;
    bool openLoop_ = false;
};

} // namespace fra
