// The discrete Fourier transform of any length N by the chirp-z (Bluestein) method on top of a
// radix-2 FFT, and the window functions applied to the samples before it. Plain C++, no Qt.
#pragma once

namespace fra {

// Window functions, by the item index of the spectrum page's window list; any other index
// weighs by 1. Periodic forms: the divisor is N.
enum WindowFunction { wfRectangular = 0, wfHanning = 1, wfHamming = 2, wfBlackman = 3 };

// x weighted by the window `type` for sample i of n.
double ApplyWindow(int type, double x, int i, int n);

// The work record of one transform: filled by ChirpZInit, emptied by ChirpZFree. A null pointer
// means not allocated. It owns its arrays, so it cannot be copied: two copies would free them
// twice.
struct TChirpZ {
    TChirpZ() = default;
    TChirpZ(const TChirpZ&) = delete;
    TChirpZ& operator=(const TChirpZ&) = delete;

    int fftSize = 0; // n, a power of two of at least 4; 0 when empty
    // n entries, made by FftInit for Fft only: the chirp-z transform never reorders its points.
    int* bitReverse = nullptr;
    double* sineTable = nullptr; // 3n/4 entries: sin(2 pi k / n); cos read at k + n/4
    int inputCount = 0;          // N
    int outputCount = 0;         // M
    int convSize = 0;            // L (= fftSize)
    // One block, owned through filterRe, holds the five arrays below and the chirp.
    double* filterRe = nullptr; // L entries each: the transformed filter, in bit-reversed order
    double* filterIm = nullptr;
    double* workRe = nullptr; // L entries each: the convolution's work area
    double* workIm = nullptr;
    double* chirpRe = nullptr; // N entries each
    double* chirpIm = nullptr;
};

// Fills table[0 .. 3n/4 - 1] with sin(2 pi k / n); n a power of two of at least 4.
void MakeTrigTable(int n, double* table);
// Fills table[0 .. n-1] with the bit-reversal permutation of 0..n-1.
void MakeBitReverseTable(int n, int* table);

// Both tables of Fft. 0 done; 1 when n is not a power of two of at least 4 (nothing allocated);
// 2 when an allocation fails (whatever was allocated is freed).
int FftInit(TChirpZ& record, int n);
void FftFree(TChirpZ& record);
// In place, length fftSize, on a record that FftInit filled. Forward: kernel e^(-j 2 pi nk / n),
// divided by n. Inverse: kernel e^(+j 2 pi nk / n), unscaled.
void Fft(const TChirpZ& record, bool inverse, double* x, double* y);

// Fills the chirp w[i] = e^(-j pi i^2 / N) and the untransformed filter: the conjugate chirp of
// lags 0 .. M - 1 at the start and of lags -(N - 1) .. -1 at the end, zero between M and L - N.
void MakeChirp(int n, int m, int l, double* chirpRe, double* chirpIm, double* filterRe,
               double* filterIm);

// 0 done; 1 when n <= 1; 2 when an allocation fails (everything freed). M outside 2..N
// becomes N.
int ChirpZInit(TChirpZ& record, int n, int m);
void ChirpZFree(TChirpZ& record);
// Transforms the N points of re/im in place and writes the first M outputs back; the forward
// transform is scaled by 1/N.
void ChirpZTransform(const TChirpZ& record, bool inverse, double* re, double* im);

} // namespace fra
