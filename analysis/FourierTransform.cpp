// One FFTW plan per call, estimated rather than measured: measuring would cost far more than the
// transform of the page's few thousand samples. The planner runs on the GUI thread only.
#include "FourierTransform.h"

#include <fftw3.h>

#include <memory>

namespace fra {

namespace {

struct FftwFree {
    void operator()(fftw_complex* block) const { fftw_free(block); }
};
struct PlanDestroy {
    void operator()(fftw_plan_s* plan) const { fftw_destroy_plan(plan); }
};

} // namespace

int ForwardDft(double* re, double* im, int n) {
    if (n <= 1) return 1;
    // Out of place: FFTW's in-place plans of these lengths cost several times as much to make.
    const std::unique_ptr<fftw_complex, FftwFree> in(fftw_alloc_complex(static_cast<size_t>(n)));
    const std::unique_ptr<fftw_complex, FftwFree> out(fftw_alloc_complex(static_cast<size_t>(n)));
    if (!in || !out) return 2;
    const std::unique_ptr<fftw_plan_s, PlanDestroy> plan(
        fftw_plan_dft_1d(n, in.get(), out.get(), FFTW_FORWARD, FFTW_ESTIMATE));
    if (!plan) return 2;
    fftw_complex* x = in.get();
    for (int i = 0; i < n; ++i) {
        x[i][0] = re[i];
        x[i][1] = im[i];
    }
    fftw_execute(plan.get());
    const fftw_complex* y = out.get();
    const double scale = 1.0 / n;
    for (int i = 0; i < n; ++i) {
        re[i] = y[i][0] * scale;
        im[i] = y[i][1] * scale;
    }
    return 0;
}

} // namespace fra
