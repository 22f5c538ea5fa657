// Radix-2 butterflies, two stages at a time where two remain: each point is read and written once
// for both, which halves the traffic to memory. A transform larger than a part that fits the
// second-level cache runs its widest stages over all its points and then each part in turn; within
// a part, the stages wider than a block run over the part with their twiddles read from the sine
// table in short runs, and the narrower ones block by block with twiddles made once. The inner
// loops read contiguous arrays and name each quarter by its own restrict pointer, so that the
// compiler vectorises them.
#include "RadixTwoFft.h"

#include <algorithm>
#include <bit>
#include <stdexcept>

namespace fra {

// Where the compiler and the loader can, the butterflies are built twice, for AVX2 with FMA (four
// doubles at a time) and for the SSE2 of every x86-64 processor (two), and the processor picks
// one when the program loads.
#if defined(__x86_64__) && defined(__GNUC__)
#define BUTTERFLY_CLONES __attribute__((target_clones("arch=x86-64-v3", "default")))
#else
#define BUTTERFLY_CLONES
#endif

namespace {

// A wide stage's twiddles are copied from the sine table in runs of this many.
constexpr int kTwiddleRun = 256;

// The twiddles e^(-j 2 pi h / n), h = j n / (2 span), of j = first .. first + count - 1 in the
// stage whose butterflies are `span` apart.
void GatherTwiddles(int n, const double* table, int span, int first, int count, double* cosine,
                    double* sine) {
    const int step = n / (2 * span);
    for (int j = 0, h = first * step; j < count; ++j, h += step) {
        cosine[j] = table[h + n / 4];
        sine[j] = table[h];
    }
}

// A run of a wide stage's twiddles: read in place where they lie one after another in the table
// (the widest stage), else copied into the run's own arrays.
struct TwiddleRun {
    double cosineCopy[kTwiddleRun];
    double sineCopy[kTwiddleRun];
    const double* cosine;
    const double* sine;

    TwiddleRun(int n, const double* table, int span, int first, int count) {
        if (2 * span == n) {
            cosine = table + n / 4 + first;
            sine = table + first;
        } else {
            GatherTwiddles(n, table, span, first, count, cosineCopy, sineCopy);
            cosine = cosineCopy;
            sine = sineCopy;
        }
    }
};

// Decimation in frequency, j = 0 .. count - 1 of one group: a, b become a + b, (a - b) w with
// the twiddle w = c - js = e^(-j theta).
BUTTERFLY_CLONES
void ForwardRun(double* __restrict xa, double* __restrict ya, double* __restrict xb,
                double* __restrict yb, int count, const double* __restrict c,
                const double* __restrict s) {
    for (int j = 0; j < count; ++j) {
        const double dx = xa[j] - xb[j];
        const double dy = ya[j] - yb[j];
        xa[j] += xb[j];
        ya[j] += yb[j];
        xb[j] = dx * c[j] + dy * s[j];
        yb[j] = dy * c[j] - dx * s[j];
    }
}

// Decimation in time: a, b become a + b w*, a - b w*, w* = c + js = e^(+j theta).
BUTTERFLY_CLONES
void InverseRun(double* __restrict xa, double* __restrict ya, double* __restrict xb,
                double* __restrict yb, int count, const double* __restrict c,
                const double* __restrict s) {
    for (int j = 0; j < count; ++j) {
        const double tx = xb[j] * c[j] - yb[j] * s[j];
        const double ty = yb[j] * c[j] + xb[j] * s[j];
        xb[j] = xa[j] - tx;
        yb[j] = ya[j] - ty;
        xa[j] += tx;
        ya[j] += ty;
    }
}

// Two forward stages at once, j = 0 .. count - 1 of one group of four quarters of q points:
// butterflies 2q apart with twiddle w1 = c1 - j s1 (and -j w1 for the second and fourth
// quarters), then q apart with w2 = w1^2, which is worked out here rather than read.
BUTTERFLY_CLONES
void ForwardPairRun(double* __restrict x0, double* __restrict y0, double* __restrict x1,
                    double* __restrict y1, double* __restrict x2, double* __restrict y2,
                    double* __restrict x3, double* __restrict y3, int count,
                    const double* __restrict c1, const double* __restrict s1) {
    for (int j = 0; j < count; ++j) {
        const double c2 = c1[j] * c1[j] - s1[j] * s1[j], s2 = 2.0 * c1[j] * s1[j];
        const double b0x = x0[j] + x2[j], b0y = y0[j] + y2[j];
        const double dx = x0[j] - x2[j], dy = y0[j] - y2[j];
        const double b1x = x1[j] + x3[j], b1y = y1[j] + y3[j];
        const double ex = y1[j] - y3[j], ey = x3[j] - x1[j]; // (a1 - a3)(-j)
        const double b2x = dx * c1[j] + dy * s1[j], b2y = dy * c1[j] - dx * s1[j];
        const double b3x = ex * c1[j] + ey * s1[j], b3y = ey * c1[j] - ex * s1[j];
        const double fx = b0x - b1x, fy = b0y - b1y;
        const double gx = b2x - b3x, gy = b2y - b3y;
        x0[j] = b0x + b1x;
        y0[j] = b0y + b1y;
        x1[j] = fx * c2 + fy * s2;
        y1[j] = fy * c2 - fx * s2;
        x2[j] = b2x + b3x;
        y2[j] = b2y + b3y;
        x3[j] = gx * c2 + gy * s2;
        y3[j] = gy * c2 - gx * s2;
    }
}

// The inverse of ForwardPairRun but for the factor 4: butterflies q apart with twiddle w2*, then
// 2q apart with w1* (and +j w1* for the second and fourth quarters).
BUTTERFLY_CLONES
void InversePairRun(double* __restrict x0, double* __restrict y0, double* __restrict x1,
                    double* __restrict y1, double* __restrict x2, double* __restrict y2,
                    double* __restrict x3, double* __restrict y3, int count,
                    const double* __restrict c1, const double* __restrict s1) {
    for (int j = 0; j < count; ++j) {
        const double c2 = c1[j] * c1[j] - s1[j] * s1[j], s2 = 2.0 * c1[j] * s1[j];
        const double t1x = x1[j] * c2 - y1[j] * s2, t1y = y1[j] * c2 + x1[j] * s2;
        const double t3x = x3[j] * c2 - y3[j] * s2, t3y = y3[j] * c2 + x3[j] * s2;
        const double b0x = x0[j] + t1x, b0y = y0[j] + t1y;
        const double b1x = x0[j] - t1x, b1y = y0[j] - t1y;
        const double b2x = x2[j] + t3x, b2y = y2[j] + t3y;
        const double b3x = x2[j] - t3x, b3y = y2[j] - t3y;
        const double u2x = b2x * c1[j] - b2y * s1[j], u2y = b2y * c1[j] + b2x * s1[j];
        const double u3x = -(b3y * c1[j] + b3x * s1[j]), u3y = b3x * c1[j] - b3y * s1[j];
        x0[j] = b0x + u2x;
        y0[j] = b0y + u2y;
        x2[j] = b0x - u2x;
        y2[j] = b0y - u2y;
        x1[j] = b1x + u3x;
        y1[j] = b1y + u3y;
        x3[j] = b1x - u3x;
        y3[j] = b1y - u3y;
    }
}

// One stage over x[0 .. length - 1], butterflies `span` apart, for j = first .. first + count - 1
// of every group; c and s hold the twiddles of those j.
void ForwardStage(double* x, double* y, int length, int span, int first, int count, const double* c,
                  const double* s) {
    for (int group = first; group < length; group += 2 * span)
        ForwardRun(x + group, y + group, x + group + span, y + group + span, count, c, s);
}

void InverseStage(double* x, double* y, int length, int span, int first, int count, const double* c,
                  const double* s) {
    for (int group = first; group < length; group += 2 * span)
        InverseRun(x + group, y + group, x + group + span, y + group + span, count, c, s);
}

// Two stages, butterflies 2q then q apart (forward) or q then 2q apart (inverse); c1 and s1 hold
// the twiddles of the wider one.
void ForwardStagePair(double* x, double* y, int length, int q, int first, int count,
                      const double* c1, const double* s1) {
    for (int group = first; group < length; group += 4 * q) {
        double* p = x + group;
        double* r = y + group;
        ForwardPairRun(p, r, p + q, r + q, p + 2 * q, r + 2 * q, p + 3 * q, r + 3 * q, count, c1,
                       s1);
    }
}

void InverseStagePair(double* x, double* y, int length, int q, int first, int count,
                      const double* c1, const double* s1) {
    for (int group = first; group < length; group += 4 * q) {
        double* p = x + group;
        double* r = y + group;
        InversePairRun(p, r, p + q, r + q, p + 2 * q, r + 2 * q, p + 3 * q, r + 3 * q, count, c1,
                       s1);
    }
}

// The two narrowest forward stages at once (butterflies 2 and 1 apart), whose twiddles are 1
// and -j.
BUTTERFLY_CLONES
void ForwardLastStages(double* x, double* y, int length) {
    for (int i = 0; i < length; i += 4) {
        const double s0x = x[i] + x[i + 2], s0y = y[i] + y[i + 2];
        const double d0x = x[i] - x[i + 2], d0y = y[i] - y[i + 2];
        const double s1x = x[i + 1] + x[i + 3], s1y = y[i + 1] + y[i + 3];
        const double d1x = y[i + 1] - y[i + 3], d1y = x[i + 3] - x[i + 1]; // (a1 - a3)(-j)
        x[i] = s0x + s1x;
        y[i] = s0y + s1y;
        x[i + 1] = s0x - s1x;
        y[i + 1] = s0y - s1y;
        x[i + 2] = d0x + d1x;
        y[i + 2] = d0y + d1y;
        x[i + 3] = d0x - d1x;
        y[i + 3] = d0y - d1y;
    }
}

// The two narrowest inverse stages at once (butterflies 1 and 2 apart), whose twiddles are 1
// and +j.
BUTTERFLY_CLONES
void InverseFirstStages(double* x, double* y, int length) {
    for (int i = 0; i < length; i += 4) {
        const double s0x = x[i] + x[i + 1], s0y = y[i] + y[i + 1];
        const double d0x = x[i] - x[i + 1], d0y = y[i] - y[i + 1];
        const double s1x = x[i + 2] + x[i + 3], s1y = y[i + 2] + y[i + 3];
        const double d1x = y[i + 3] - y[i + 2], d1y = x[i + 2] - x[i + 3]; // (a2 - a3)(+j)
        x[i] = s0x + s1x;
        y[i] = s0y + s1y;
        x[i + 2] = s0x - s1x;
        y[i + 2] = s0y - s1y;
        x[i + 1] = d0x + d1x;
        y[i + 1] = d0y + d1y;
        x[i + 3] = d0x - d1x;
        y[i + 3] = d0y - d1y;
    }
}

// x + jy times h (or times its conjugate), point by point.
BUTTERFLY_CLONES
void Multiply(double* x, double* y, const double* hRe, const double* hIm, int count,
              bool conjugate) {
    const double sign = conjugate ? -1.0 : 1.0;
    for (int j = 0; j < count; ++j) {
        const double hi = sign * hIm[j];
        const double re = x[j] * hRe[j] - y[j] * hi;
        y[j] = x[j] * hi + y[j] * hRe[j];
        x[j] = re;
    }
}

} // namespace

// The narrowest stages run four points at a time, so fewer than four would be read past the end.
RadixTwoFft::RadixTwoFft(int n, const double* sineTable)
    : n_(n), sineTable_(sineTable), block_(std::min(n, kBlock)) {
    if (n < 4 || !std::has_single_bit(unsigned(n)))
        throw std::invalid_argument("RadixTwoFft: n must be a power of two of at least 4");
    for (int span = 1; span < block_; span *= 2)
        GatherTwiddles(n_, sineTable_, span, 0, span, blockCosine_ + span, blockSine_ + span);
}

void RadixTwoFft::ForwardToBitReversed(double* x, double* y) const {
    Forward(x, y, n_);
}

void RadixTwoFft::InverseFromBitReversed(double* x, double* y) const {
    Inverse(x, y, n_);
}

void RadixTwoFft::Convolve(double* x, double* y, const double* hRe, const double* hIm,
                           bool conjugate) const {
    Convolve(x, y, hRe, hIm, conjugate, n_);
}

int RadixTwoFft::PartOf(int size) {
    return size / 4 >= kCachePart ? size / 4 : size / 2;
}

void RadixTwoFft::Forward(double* x, double* y, int size) const {
    if (size > kCachePart) {
        const int part = PartOf(size);
        ForwardStages(x, y, size, part);
        for (int start = 0; start < size; start += part)
            Forward(x + start, y + start, part);
        return;
    }
    ForwardStages(x, y, size, block_);
    for (int start = 0; start < size; start += block_)
        ForwardBlock(x + start, y + start);
}

void RadixTwoFft::Inverse(double* x, double* y, int size) const {
    if (size > kCachePart) {
        const int part = PartOf(size);
        for (int start = 0; start < size; start += part)
            Inverse(x + start, y + start, part);
        InverseStages(x, y, size, part);
        return;
    }
    for (int start = 0; start < size; start += block_)
        InverseBlock(x + start, y + start);
    InverseStages(x, y, size, block_);
}

void RadixTwoFft::Convolve(double* x, double* y, const double* hRe, const double* hIm,
                           bool conjugate, int size) const {
    if (size > kCachePart) {
        const int part = PartOf(size);
        ForwardStages(x, y, size, part);
        for (int start = 0; start < size; start += part)
            Convolve(x + start, y + start, hRe + start, hIm + start, conjugate, part);
        InverseStages(x, y, size, part);
        return;
    }
    ForwardStages(x, y, size, block_);
    // Each block is transformed, multiplied and transformed back while it is in the cache.
    for (int start = 0; start < size; start += block_) {
        ForwardBlock(x + start, y + start);
        Multiply(x + start, y + start, hRe + start, hIm + start, block_, conjugate);
        InverseBlock(x + start, y + start);
    }
    InverseStages(x, y, size, block_);
}

void RadixTwoFft::ForwardStages(double* x, double* y, int size, int narrowest) const {
    for (int span = size / 2; span >= narrowest;) {
        const bool pair = span / 2 >= narrowest;
        const int q = pair ? span / 2 : span;
        for (int first = 0; first < q; first += kTwiddleRun) {
            const int count = std::min(kTwiddleRun, q - first);
            const TwiddleRun w(n_, sineTable_, span, first, count);
            if (pair)
                ForwardStagePair(x, y, size, q, first, count, w.cosine, w.sine);
            else
                ForwardStage(x, y, size, span, first, count, w.cosine, w.sine);
        }
        span = pair ? span / 4 : span / 2;
    }
}

void RadixTwoFft::InverseStages(double* x, double* y, int size, int narrowest) const {
    for (int span = narrowest; span < size;) {
        const bool pair = 2 * span < size;
        const int wider = pair ? 2 * span : span;
        for (int first = 0; first < span; first += kTwiddleRun) {
            const int count = std::min(kTwiddleRun, span - first);
            const TwiddleRun w(n_, sineTable_, wider, first, count);
            if (pair)
                InverseStagePair(x, y, size, span, first, count, w.cosine, w.sine);
            else
                InverseStage(x, y, size, span, first, count, w.cosine, w.sine);
        }
        span = pair ? span * 4 : span * 2;
    }
}

void RadixTwoFft::ForwardBlock(double* x, double* y) const {
    int span = block_ / 2;
    for (; span >= 8; span /= 4) {
        const int q = span / 2;
        ForwardStagePair(x, y, block_, q, 0, q, blockCosine_ + span, blockSine_ + span);
    }
    if (span == 4) ForwardStage(x, y, block_, 4, 0, 4, blockCosine_ + 4, blockSine_ + 4);
    ForwardLastStages(x, y, block_);
}

void RadixTwoFft::InverseBlock(double* x, double* y) const {
    InverseFirstStages(x, y, block_);
    int span = 4;
    for (; 2 * span < block_; span *= 4)
        InverseStagePair(x, y, block_, span, 0, span, blockCosine_ + 2 * span,
                         blockSine_ + 2 * span);
    if (span < block_)
        InverseStage(x, y, block_, span, 0, span, blockCosine_ + span, blockSine_ + span);
}

} // namespace fra
