// The butterflies of the radix-2 FFT under the chirp-z transform: forward by decimation in
// frequency (natural order in, bit-reversed order out), inverse by decimation in time
// (bit-reversed order in, natural order out), so that a convolution needs no reordering at all.
// Plain C++, no Qt.
#pragma once

namespace fra {

class RadixTwoFft {
public:
    // n a power of two of at least 4, else std::invalid_argument; sineTable[k] = sin(2 pi k / n)
    // for k < 3n/4, as MakeTrigTable makes it (the cosine read n/4 further on). The table must
    // outlive this.
    RadixTwoFft(int n, const double* sineTable);

    // Kernel e^(-j 2 pi nk / n), unscaled; the result in bit-reversed order.
    void ForwardToBitReversed(double* x, double* y) const;
    // Kernel e^(+j 2 pi nk / n), unscaled; the input in bit-reversed order.
    void InverseFromBitReversed(double* x, double* y) const;
    // The forward transform of x + jy, times h (times its conjugate when `conjugate`), both in
    // bit-reversed order, transformed back: n times the cyclic convolution of x + jy with the
    // sequence whose forward transform h is (or with the conjugate of that sequence, reversed).
    void Convolve(double* x, double* y, const double* hRe, const double* hIm, bool conjugate) const;

    // Stages narrower than this many points run block by block, each block staying in the
    // first-level cache through all of them.
    static constexpr int kBlock = 1024;
    // A transform of more points than this runs its widest stage or two over all of them, then
    // each part in turn, so that a part's points (and the filter's) stay in the second-level
    // cache through its remaining stages.
    static constexpr int kCachePart = 8192;

private:
    // The parts a transform of more than kCachePart points splits into: quarters after its two
    // widest stages while those are at least kCachePart, else halves after one.
    static int PartOf(int size);
    void Forward(double* x, double* y, int size) const;
    void Inverse(double* x, double* y, int size) const;
    void Convolve(double* x, double* y, const double* hRe, const double* hIm, bool conjugate,
                  int size) const;
    // The stages size/2 down to `narrowest` apart over x[0 .. size - 1], two at a time while two
    // remain; the inverse ones in the opposite order.
    void ForwardStages(double* x, double* y, int size, int narrowest) const;
    void InverseStages(double* x, double* y, int size, int narrowest) const;
    void ForwardBlock(double* x, double* y) const;
    void InverseBlock(double* x, double* y) const;

    int n_;
    const double* sineTable_;
    int block_;
    // The twiddles e^(-j pi j / span), j < span, of the stages narrower than a block, at
    // [span + j]: the same for every block, so made once.
    double blockCosine_[kBlock];
    double blockSine_[kBlock];
};

} // namespace fra
