// The groups of benchmarks that kaso-bench runs; each prints one line per goal.
#pragma once

namespace bench {

void RunRouteBenchmarks();   // the reply routes, per exchange, windows shown
void RunIdleBenchmarks();    // waits and monitors: share of a core
void RunRedrawBenchmarks();  // the Bode page and the four-channel logging plot
void RunSpectrumBenchmarks(); // the spectrum against FFTW
void RunCompilerBenchmarks(); // both compilers at their line limits
void RunStartupBenchmarks(const char* self); // start-up time and resident memory
// The child side of the start-up benchmark.
int RunStartupProbe(int argc, char** argv);

} // namespace bench
