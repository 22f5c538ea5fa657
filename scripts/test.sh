#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: once in a plain build with
# warnings as errors, once under AddressSanitizer and UndefinedBehaviorSanitizer; then runs the
# libFuzzer targets of the compilers and of every file and reply reader, each for a bounded time.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKASONT_WERROR=ON >/dev/null
cmake --build build -j "$jobs"
ctest --test-dir build -j "$jobs" --output-on-failure --timeout 300

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DKASONT_WERROR=ON -DKASONT_SANITIZE=ON \
      -DKASONT_BENCH=OFF >/dev/null
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-asan -j "$jobs" --output-on-failure --timeout 600

CC=clang CXX=clang++ cmake -S . -B build-fuzz -DKASONT_FUZZ=ON -DKASONT_SANITIZE=ON \
      -DKASONT_WERROR=ON -DKASONT_BENCH=OFF -DKASONT_FUZZ_SECONDS=30 >/dev/null
cmake --build build-fuzz -j "$jobs" --target compiler_fuzz reader_fuzzers
QT_QPA_PLATFORM=offscreen ctest --test-dir build-fuzz -R "_fuzz" -j "$jobs" --output-on-failure
