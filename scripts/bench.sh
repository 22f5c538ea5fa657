#!/usr/bin/env bash
# Installs what is missing, builds, and runs every benchmark (or the groups named: routes, idle,
# redraw, spectrum, compiler, startup). Prints one line per goal, the figure beside the goal, and
# exits non-zero when a goal is missed. Takes a few minutes: the routes run in real time against
# kaso-sim on a line paced to 38400 bps.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
# The spectrum benchmark's reference, FFTW 3, which only the benchmarks link (found by pkg-config).
missing=()
for p in libfftw3-dev pkg-config; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo_cmd=""
    [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
    $sudo_cmd apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "${missing[@]}"
fi
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DKASONT_BENCH=ON >/dev/null
cmake --build build-bench -j "$(nproc)" --target kaso-bench kaso-sim kasont
exec build-bench/bin/kaso-bench "$@"
