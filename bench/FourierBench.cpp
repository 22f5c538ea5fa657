// The spectrum page's whole path (window function, set-up with every table, transform, release)
// against a single-thread FFTW 3 FFTW_ESTIMATE plan and execute of the same length, the reference
// for a transform of any length. The planner's memory is cleared before every run of either, so
// neither profits from an earlier plan. FFTW is linked into the benchmarks only, never into the
// program.
#include "BenchSupport.h"
#include "Benchmarks.h"

#include "analysis/ChirpZ.h"

#include <cstdio>
#include <random>
#include <vector>

#ifdef KASO_BENCH_FFTW
#include <fftw3.h>
#endif

namespace bench {

#ifdef KASO_BENCH_FFTW

namespace {

constexpr int kRuns = 31;
constexpr double kTimesFftwGoal = 8.0;

double ReferenceSeconds(const std::vector<int>& samples) {
    const int n = int(samples.size());
    fftw_forget_wisdom();
    const double start = PreciseThreadCpuSeconds();
    fftw_complex* in = fftw_alloc_complex(size_t(n));
    fftw_complex* out = fftw_alloc_complex(size_t(n));
    const fftw_plan plan = fftw_plan_dft_1d(n, in, out, FFTW_FORWARD, FFTW_ESTIMATE);
    for (int i = 0; i < n; ++i) {
        in[i][0] = samples[size_t(i)];
        in[i][1] = 0.0;
    }
    fftw_execute(plan);
    fftw_destroy_plan(plan);
    fftw_free(out);
    fftw_free(in);
    return PreciseThreadCpuSeconds() - start;
}

// As the window's ComputeSpectrum runs it.
double SpectrumSeconds(const std::vector<int>& samples, std::vector<double>& re,
                       std::vector<double>& im) {
    const int n = int(samples.size());
    const double start = PreciseThreadCpuSeconds();
    re.resize(size_t(n));
    im.resize(size_t(n));
    for (int i = 0; i < n; ++i) {
        re[size_t(i)] = fra::ApplyWindow(fra::wfRectangular, samples[size_t(i)], i, n);
        im[size_t(i)] = 0.0;
    }
    fra::TChirpZ transform;
    if (fra::ChirpZInit(transform, n, n) == 0) {
        fra::ChirpZTransform(transform, false, re.data(), im.data());
        fra::ChirpZFree(transform);
    }
    return PreciseThreadCpuSeconds() - start;
}

} // namespace

void RunSpectrumBenchmarks() {
    std::mt19937 random(3);
    std::uniform_int_distribution<int> sample(-30000, 30000);
    for (const int n : {64, 1000, 1024, 4096, 8191, 8192, 9973, 10000}) {
        std::vector<int> samples(static_cast<size_t>(n));
        for (int& s : samples)
            s = sample(random);
        std::vector<double> re, im, reference, ours;
        for (int run = 0; run < kRuns; ++run) {
            reference.push_back(ReferenceSeconds(samples));
            ours.push_back(SpectrumSeconds(samples, re, im));
        }
        const double fftw = Median(reference);
        const double spectrum = Median(ours);
        char what[96];
        std::snprintf(what, sizeof what, "spectrum N=%d (%.0f us; FFTW %.0f us), times FFTW", n,
                      spectrum * 1e6, fftw * 1e6);
        ReportAtMost(what, spectrum / fftw, "x", kTimesFftwGoal);
    }
}

#else

void RunSpectrumBenchmarks() {
    ReportFailure("spectrum against FFTW", "FFTW 3 (libfftw3-dev) was not found at configure time");
}

#endif

} // namespace bench
