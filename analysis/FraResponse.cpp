// Closed-loop response Y/X as measured; open loop Y/(X - Y), the loop that a unit feedback
// around it closes to the measured response.
#include "FraResponse.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <numbers>

namespace fra {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kOpenLoopLimit = 100000.0;

double Atan2OrZero(double y, double x) {
    return (y == 0.0 && x == 0.0) ? 0.0 : std::atan2(y, x);
}

double Magnitude(const TFraPoint& p) {
    return std::sqrt(double(p.Value3) * p.Value3 + double(p.Value4) * p.Value4);
}

// The angle of the measured value in radians.
double MeasuredAngle(const TFraPoint& p, bool complexData) {
    return complexData ? Atan2OrZero(p.Value4, p.Value3) : p.Value4 * 2.0 * kPi / 360.0;
}

// X - Y of the open loop as the Bode plot takes it: integer parts for amplitude data.
struct Difference {
    double re;
    double im;
};

Difference BodeDifference(const TFraPoint& p, bool complexData) {
    if (complexData) return {double(p.InjectedAmp) - p.Value3, double(p.Value4)};
    const double phi = MeasuredAngle(p, false);
    return {std::trunc(p.InjectedAmp - std::cos(phi) * p.Value3),
            std::trunc(std::sin(phi) * p.Value3)};
}

} // namespace

double BodeGainRatio(const TFraPoint& p, bool complexData, bool openLoop) {
    double ratio = 0.0;
    if (!openLoop) {
        const double y = complexData ? Magnitude(p) : p.Value3;
        const double x = p.InjectedAmp == 0 ? 0.00001 : p.InjectedAmp;
        ratio = y / x;
    } else {
        const Difference d = BodeDifference(p, complexData);
        const double den = std::sqrt(d.re * d.re + d.im * d.im);
        const double y = complexData ? Magnitude(p) : p.Value3;
        ratio = den == 0.0 ? kOpenLoopLimit : y / den;
    }
    return std::fabs(ratio);
}

double GainDb(double ratio) {
    return ratio > 0.0001 ? 20.0 * std::log10(ratio) : -66.0;
}

int BodePhase(const TFraPoint& p, bool complexData, bool openLoop) {
    if (!openLoop) {
        if (!complexData) return p.Value4;
        return int(Atan2OrZero(p.Value4, p.Value3) * 360.0 / (2.0 * kPi));
    }
    const double thetaY = MeasuredAngle(p, complexData);
    const Difference d = BodeDifference(p, complexData);
    const double theta = thetaY - Atan2OrZero(-d.im, d.re);
    // A phase word near the ends of the 32-bit range moves past them by up to 180 degrees.
    const double degrees = theta * 360.0 / (2.0 * kPi);
    return int(std::clamp(degrees, double(INT_MIN), double(INT_MAX)));
}

int RollOverPhase(int phase) {
    if (phase == 180) return phase;
    const int t = static_cast<int>((static_cast<long long>(phase) + 180) % 360);
    return t < 0 ? t + 180 : t - 180;
}

void BodeValues::Update(const TFraPoint* points, int count, bool complexData, bool openLoop) {
    const std::size_t n = static_cast<std::size_t>(std::max(count, 0));
    if (complexData != complexData_ || openLoop != openLoop_) {
        points_.clear();
        complexData_ = complexData;
        openLoop_ = openLoop;
    }
    const std::size_t known = std::min(n, points_.size());
    const std::size_t same = static_cast<std::size_t>(
        std::mismatch(points, points + known, points_.begin()).first - points);
    points_.resize(n);
    values_.resize(n);
    for (std::size_t i = same; i < n; ++i) {
        const TFraPoint& p = points[i];
        points_[i] = p;
        values_[i] = {std::log10(p.Freq), GainDb(BodeGainRatio(p, complexData, openLoop)),
                      BodePhase(p, complexData, openLoop)};
    }
}

PolarPoint VectorPoint(const TFraPoint& p, bool complexData, bool openLoop) {
    const double thetaY = MeasuredAngle(p, complexData);
    const double y = complexData ? Magnitude(p) : p.Value3;
    if (!openLoop) {
        const double ratio = p.InjectedAmp == 0 ? kOpenLoopLimit : y / p.InjectedAmp;
        return {ratio, thetaY};
    }
    double re = 0.0;
    double im = 0.0;
    if (complexData) {
        re = double(p.InjectedAmp) - p.Value3;
        im = p.Value4;
    } else {
        re = p.InjectedAmp - std::cos(thetaY) * y;
        im = std::sin(thetaY) * y;
    }
    const double den = std::sqrt(re * re + im * im);
    return {den == 0.0 ? kOpenLoopLimit : y / den, thetaY - Atan2OrZero(-im, re)};
}

} // namespace fra
