// The groups of benchmarks that kaso-bench runs; each prints one line per goal.
#pragma once

#include <set>
#include <string>

namespace bench {

// The reply routes, per exchange, windows shown; `only` names some of them (the README lists
// them; other names are passed over), empty for all.
void RunRouteBenchmarks(const std::set<std::string>& only = {});
void RunIdleBenchmarks();                    // waits and monitors; memory after read-backs
void RunRedrawBenchmarks();                  // the Bode page and the four-channel logging plot
void RunSpectrumBenchmarks();                // the spectrum against FFTW
void RunCompilerBenchmarks();                // both compilers at their line limits
void RunStartupBenchmarks(const char* self); // start-up time and resident memory
// The child side of the start-up benchmark.
int RunStartupProbe(int argc, char** argv);

} // namespace bench
