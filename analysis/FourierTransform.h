// The spectrum page's transform: the DFT of any number of samples, scaled by 1/N, by FFTW (a
// mixed-radix FFT that also handles prime lengths). Plain C++, no Qt.
#pragma once

namespace fra {

// X[k] = (1/N) * sum over n of (re[n] + j im[n]) * e^(-j 2 pi n k / N), k = 0..N-1, written back
// into re and im. Everything it needs is set up and released within the call.
// 0 done; 1 when n <= 1 (nothing changed); 2 when the transform cannot be set up (nothing
// changed).
int ForwardDft(double* re, double* im, int n);

} // namespace fra
