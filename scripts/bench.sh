#!/usr/bin/env bash
# Installs what is missing, builds, and runs every benchmark (or the groups named: routes, idle,
# redraw, spectrum, compiler, startup). Prints one line per goal, the figure beside the goal, and
# exits non-zero when a goal is missed. Takes a few minutes: the routes run in real time against
# kaso-sim on a line paced to 38400 bps.
set -euo pipefail
cd "$(dirname "$0")/.."
# KASONT_JOBS limits the parallel builds (every core by default).
source scripts/jobs.sh
# FFTW 3 is the spectrum benchmark's reference, which only the benchmarks link (found by
# pkg-config).
scripts/install-deps.sh libfftw3-dev
# The figures are the program's as scripts/run.sh builds it: the same build folder and type.
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKASONT_BENCH=ON >/dev/null
cmake --build build -j "$jobs" --target kaso-bench kaso-sim kasont
exec build/bin/kaso-bench "$@"
