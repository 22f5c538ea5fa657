// Chirp-z transform: the samples times the chirp, convolved with the conjugate chirp by two
// radix-2 FFTs, times the chirp again, give the DFT of any length. The FFTs of the convolution
// leave their result in bit-reversed order and take it back from there, so the filter's transform
// is kept in that order and nothing is reordered (the record's bit-reverse table is left unmade).
// Every table is made anew for each record.
#include "ChirpZ.h"

#include "RadixTwoFft.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <numbers>
#include <utility>
#include <vector>

namespace fra {

namespace {

constexpr double kPi = std::numbers::pi;
// Half a page of doubles.
constexpr int kArrayGap = 256;

// Frees a block and nulls the pointer that named it.
template <typename T> void Release(T*& block) {
    delete[] block;
    block = nullptr;
}

// cos and sin of 2 pi k / period for k = 0 .. count - 1, each from two short tables of values of
// the sine and cosine functions: k = a 2^s + b and e^(j(x + y)) = e^(jx) + e^(jx)(e^(jy) - 1),
// where e^(jy) - 1 = -2 sin^2(y/2) + j sin y is small, so that its rounding hardly shows. The
// values are as precise as direct calls, for a small share of their cost.
class UnitCircle {
public:
    struct Point {
        double cosine;
        double sine;
    };

    UnitCircle(long long period, long long count) {
        while ((1LL << shift_) * (1LL << shift_) < count)
            ++shift_;
        const long long step = 1LL << shift_;
        coarse_.reserve(size_t((count + step - 1) / step));
        fine_.reserve(size_t(step));
        for (long long a = 0; a * step < count; ++a) {
            const double x = 2.0 * kPi * double(a * step) / double(period);
            coarse_.push_back({std::cos(x), std::sin(x)});
        }
        for (long long b = 0; b < step; ++b) {
            const double y = 2.0 * kPi * double(b) / double(period);
            const double half = std::sin(y / 2.0);
            fine_.push_back({-2.0 * half * half, std::sin(y)});
        }
    }

    Point At(long long k) const {
        const Point& a = coarse_[size_t(k >> shift_)];
        const Point& b = fine_[size_t(k & ((1LL << shift_) - 1))];
        return {a.cosine + (a.cosine * b.cosine - a.sine * b.sine),
                a.sine + (a.sine * b.cosine + a.cosine * b.sine)};
    }

private:
    int shift_ = 0;
    std::vector<Point> coarse_; // e^(j 2 pi a 2^s / period)
    std::vector<Point> fine_;   // e^(j 2 pi b / period) - 1
};

// Swaps every element with the one at its bit-reversed index.
void BitReverse(const TChirpZ& record, double* x, double* y) {
    for (int i = 0; i < record.fftSize; ++i) {
        const int j = record.bitReverse[i];
        if (i < j) {
            std::swap(x[i], x[j]);
            std::swap(y[i], y[j]);
        }
    }
}

// The sine table of an n-point FFT, the only table the chirp-z transform's butterflies read.
// Returns as FftInit does.
int TrigInit(TChirpZ& record, int n) {
    int size = 4;
    while (size < n)
        size *= 2;
    if (size != n) return 1;
    record.fftSize = n;
    record.sineTable = new (std::nothrow) double[3 * n / 4];
    if (!record.sineTable) {
        FftFree(record);
        return 2;
    }
    MakeTrigTable(n, record.sineTable);
    return 0;
}

} // namespace

double ApplyWindow(int type, double x, int i, int n) {
    const double phase = 2.0 * kPi * i / n;
    switch (type) {
    case wfHanning:
        return x * (0.5 - 0.5 * std::cos(phase));
    case wfHamming:
        return x * (0.54 - 0.46 * std::cos(phase));
    case wfBlackman:
        return x * (0.42 - 0.5 * std::cos(phase) + 0.08 * std::cos(2.0 * phase));
    default:
        return x;
    }
}

void MakeTrigTable(int n, double* table) {
    const int quarter = n / 4;
    const UnitCircle circle(n, n / 8 + 1);
    for (int i = 0; i <= n / 8; ++i) {
        const UnitCircle::Point p = circle.At(i);
        table[i] = p.sine;
        table[quarter - i] = p.cosine;
    }
    for (int i = 0; i < quarter; ++i) {
        table[n / 2 - i] = table[i];
        table[n / 2 + i] = -table[i];
    }
}

void MakeBitReverseTable(int n, int* table) {
    // The reversals of size .. 2 size - 1 are those of 0 .. size - 1 with the bit that stands
    // for `size` set at its mirrored place.
    table[0] = 0;
    for (int size = 1, mirrored = n / 2; size < n; size *= 2, mirrored /= 2)
        for (int i = 0; i < size; ++i)
            table[size + i] = table[i] | mirrored;
}

int FftInit(TChirpZ& record, int n) {
    const int result = TrigInit(record, n);
    if (result != 0) return result;
    record.bitReverse = new (std::nothrow) int[n];
    if (!record.bitReverse) {
        FftFree(record);
        return 2;
    }
    MakeBitReverseTable(n, record.bitReverse);
    return 0;
}

void FftFree(TChirpZ& record) {
    Release(record.sineTable);
    Release(record.bitReverse);
    record.fftSize = 0;
}

void Fft(const TChirpZ& record, bool inverse, double* x, double* y) {
    const int n = record.fftSize;
    const RadixTwoFft fft(n, record.sineTable);
    if (inverse) {
        BitReverse(record, x, y);
        fft.InverseFromBitReversed(x, y);
        return;
    }
    fft.ForwardToBitReversed(x, y);
    BitReverse(record, x, y);
    const double scale = 1.0 / n;
    for (int i = 0; i < n; ++i) {
        x[i] *= scale;
        y[i] *= scale;
    }
}

void MakeChirp(int n, int m, int l, double* chirpRe, double* chirpIm, double* filterRe,
               double* filterIm) {
    // c = i^2 mod 2N keeps the angle pi c / N exact. (N - i)^2 = i^2 + N^2 - 2Ni, so w[N - i] is
    // w[i] for an even N and -w[i] for an odd one: half the chirp is computed.
    const UnitCircle circle(2LL * n, 2LL * n);
    long long c = 0;
    for (int i = 0; i <= n / 2; ++i) {
        const UnitCircle::Point p = circle.At(c);
        chirpRe[i] = p.cosine;
        chirpIm[i] = -p.sine;
        c += 2LL * i + 1;
        if (c >= 2LL * n) c -= 2LL * n;
    }
    const double sign = n % 2 == 0 ? 1.0 : -1.0;
    for (int i = n / 2 + 1; i < n; ++i) {
        chirpRe[i] = sign * chirpRe[n - i];
        chirpIm[i] = sign * chirpIm[n - i];
    }
    // The filter holds the lags the first M outputs need: 0 .. M - 1 at the start, -(N - 1) .. -1
    // at the end. Lags up to N - 1 at the start would overwrite the end when M is much below N.
    filterRe[0] = 1.0;
    filterIm[0] = 0.0;
    for (int i = 1; i < n; ++i) {
        filterRe[l - i] = chirpRe[i];
        filterIm[l - i] = -chirpIm[i];
    }
    for (int i = 1; i < m; ++i) {
        filterRe[i] = chirpRe[i];
        filterIm[i] = -chirpIm[i];
    }
    for (int i = m; i <= l - n; ++i) {
        filterRe[i] = 0.0;
        filterIm[i] = 0.0;
    }
}

int ChirpZInit(TChirpZ& record, int n, int m) {
    if (n <= 1) return 1;
    if (m <= 1 || m > n) m = n;
    int l = 1;
    while (l < n + m)
        l *= 2;
    if (TrigInit(record, l) != 0) return 2;
    record.inputCount = n;
    record.outputCount = m;
    record.convSize = l;
    // The filter, the work area and the chirp share one block, so that the allocator keeps it
    // for the next transform: blocks of half its size would be handed back to the system on
    // release and have to be faulted in again page by page. Each array starts half a page after
    // the one before it ends: arrays a power of two apart would share cache sets, and the
    // butterflies work on eight of them at once.
    const long long pad = kArrayGap;
    record.filterRe = new (std::nothrow) double[4 * (l + pad) + 2 * n];
    if (!record.filterRe) {
        ChirpZFree(record);
        return 2;
    }
    record.filterIm = record.filterRe + l + pad;
    record.workRe = record.filterIm + l + pad;
    record.workIm = record.workRe + l + pad;
    record.chirpRe = record.workIm + l + pad;
    record.chirpIm = record.chirpRe + n;
    MakeChirp(n, m, l, record.chirpRe, record.chirpIm, record.filterRe, record.filterIm);
    RadixTwoFft(l, record.sineTable).ForwardToBitReversed(record.filterRe, record.filterIm);
    return 0;
}

void ChirpZFree(TChirpZ& record) {
    Release(record.filterRe);
    record.filterIm = record.workRe = record.workIm = record.chirpRe = record.chirpIm = nullptr;
    record.inputCount = record.outputCount = record.convSize = 0;
    FftFree(record);
}

void ChirpZTransform(const TChirpZ& record, bool inverse, double* re, double* im) {
    const int n = record.inputCount;
    const int m = record.outputCount;
    const int l = record.convSize;
    double* workRe = record.workRe;
    double* workIm = record.workIm;
    // The inverse transform runs on the conjugates of the chirp and of the filter.
    const double sign = inverse ? -1.0 : 1.0;
    for (int i = 0; i < n; ++i) {
        const double wr = record.chirpRe[i];
        const double wi = sign * record.chirpIm[i];
        workRe[i] = re[i] * wr - im[i] * wi;
        workIm[i] = re[i] * wi + im[i] * wr;
    }
    std::fill(workRe + n, workRe + l, 0.0);
    std::fill(workIm + n, workIm + l, 0.0);
    RadixTwoFft(l, record.sineTable)
        .Convolve(workRe, workIm, record.filterRe, record.filterIm, inverse);
    // The transforms are unscaled: the convolution's 1/L is applied here, with the 1/N of the
    // forward transform.
    const double scale = inverse ? 1.0 / l : 1.0 / (double(n) * l);
    for (int j = 0; j < m; ++j) {
        const double wr = scale * record.chirpRe[j];
        const double wi = scale * sign * record.chirpIm[j];
        const double xr = workRe[j] * wr - workIm[j] * wi;
        im[j] = workRe[j] * wi + workIm[j] * wr;
        re[j] = xr;
    }
}

} // namespace fra
