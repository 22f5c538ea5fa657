// Chirp-z transform: the samples times the chirp, convolved with the conjugate chirp by two
// radix-2 FFTs, times the chirp again, give the DFT of any length.
#include "ChirpZ.h"

#include <cmath>
#include <new>
#include <numbers>
#include <utility>

namespace fra {

namespace {

constexpr double kPi = std::numbers::pi;

// Frees a block and nulls the pointer that named it.
template <typename T> void Release(T*& block) {
    delete[] block;
    block = nullptr;
}

// (re, im) times (cr, ci), or times its conjugate.
void Multiply(double& re, double& im, double cr, double ci, bool conjugate) {
    if (conjugate) ci = -ci;
    const double r = re * cr - im * ci;
    im = re * ci + im * cr;
    re = r;
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
    for (int i = 0; i <= n / 8; ++i) {
        const double x = 2.0 * kPi / n * i;
        table[i] = std::sin(x);
        table[quarter - i] = std::cos(x);
    }
    for (int i = 0; i < quarter; ++i) {
        table[n / 2 - i] = table[i];
        table[n / 2 + i] = -table[i];
    }
}

void MakeBitReverseTable(int n, int* table) {
    int i = 0;
    int j = 0;
    for (;;) {
        table[i] = j;
        if (++i == n) break;
        int k = n / 2;
        while (k <= j) {
            j -= k;
            k /= 2;
        }
        j += k;
    }
}

int FftInit(TChirpZ& record, int n) {
    int size = 4;
    while (size < n)
        size *= 2;
    if (size != n) return 1;
    record.fftSize = n;
    record.sineTable = new (std::nothrow) double[3 * n / 4];
    record.bitReverse = new (std::nothrow) int[n];
    if (!record.sineTable || !record.bitReverse) {
        FftFree(record);
        return 2;
    }
    MakeTrigTable(n, record.sineTable);
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
    const double* sine = record.sineTable;
    for (int i = 0; i < n; ++i) {
        const int j = record.bitReverse[i];
        if (i < j) {
            std::swap(x[i], x[j]);
            std::swap(y[i], y[j]);
        }
    }
    for (int k = 1; k < n; k *= 2) {
        const int k2 = 2 * k;
        const int d = n / k2;
        int h = 0;
        for (int j = 0; j < k; ++j) {
            const double c = sine[h + n / 4];
            const double s = inverse ? -sine[h] : sine[h];
            for (int i = j; i < n; i += k2) {
                const int ik = i + k;
                const double dx = s * y[ik] + c * x[ik];
                const double dy = c * y[ik] - s * x[ik];
                x[ik] = x[i] - dx;
                x[i] += dx;
                y[ik] = y[i] - dy;
                y[i] += dy;
            }
            h += d;
        }
    }
    if (!inverse)
        for (int i = 0; i < n; ++i) {
            x[i] /= n;
            y[i] /= n;
        }
}

void MakeChirp(int n, int m, int l, double* chirpRe, double* chirpIm, double* filterRe,
               double* filterIm) {
    long long c = 0; // i^2 mod 2N, kept small so that the angle stays exact
    for (int i = 0; i < n; ++i) {
        chirpRe[i] = std::cos(kPi * c / n);
        chirpIm[i] = -std::sin(kPi * c / n);
        c = (c + 2LL * i + 1) % (2LL * n);
    }
    filterRe[0] = l;
    filterIm[0] = 0.0;
    for (int i = 1; i < n; ++i) {
        filterRe[i] = filterRe[l - i] = l * chirpRe[i];
        filterIm[i] = filterIm[l - i] = -l * chirpIm[i];
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
    if (FftInit(record, l) != 0) return 2;
    record.inputCount = n;
    record.outputCount = m;
    record.convSize = l;
    record.chirpRe = new (std::nothrow) double[2 * n];
    record.filterRe = new (std::nothrow) double[2 * l];
    record.workRe = new (std::nothrow) double[2 * l];
    if (!record.chirpRe || !record.filterRe || !record.workRe) {
        ChirpZFree(record);
        return 2;
    }
    record.chirpIm = record.chirpRe + n;
    record.filterIm = record.filterRe + l;
    record.workIm = record.workRe + l;
    MakeChirp(n, m, l, record.chirpRe, record.chirpIm, record.filterRe, record.filterIm);
    Fft(record, false, record.filterRe, record.filterIm);
    return 0;
}

void ChirpZFree(TChirpZ& record) {
    Release(record.chirpRe);
    Release(record.filterRe);
    Release(record.workRe);
    record.chirpIm = record.filterIm = record.workIm = nullptr;
    record.inputCount = record.outputCount = record.convSize = 0;
    FftFree(record);
}

void ChirpZTransform(const TChirpZ& record, bool inverse, double* re, double* im) {
    const int n = record.inputCount;
    const int m = record.outputCount;
    const int l = record.convSize;
    double* workRe = record.workRe;
    double* workIm = record.workIm;
    for (int i = 0; i < l; ++i) {
        workRe[i] = i < n ? re[i] : 0.0;
        workIm[i] = i < n ? im[i] : 0.0;
        if (i < n) Multiply(workRe[i], workIm[i], record.chirpRe[i], record.chirpIm[i], inverse);
    }
    Fft(record, false, workRe, workIm);
    for (int j = 0; j < l; ++j)
        Multiply(workRe[j], workIm[j], record.filterRe[j], record.filterIm[j], inverse);
    Fft(record, true, workRe, workIm);
    for (int j = 0; j < m; ++j) {
        re[j] = workRe[j];
        im[j] = workIm[j];
        Multiply(re[j], im[j], record.chirpRe[j], record.chirpIm[j], inverse);
        if (!inverse) {
            re[j] /= n;
            im[j] /= n;
        }
    }
}

} // namespace fra
