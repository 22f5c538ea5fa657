#!/usr/bin/env bash
# Installs the Debian packages that are missing: those the program needs to build and run, with
# --tests also the test tools, and those named as arguments.
#   scripts/install-deps.sh [--tests] [PACKAGE...]
set -euo pipefail
# The program, the simulated driver and the compilers' driver: the tool chain, Qt and its own texts
# in Japanese (the standard buttons of boxes and dialogs), the X display's resolution (libxcb1-dev,
# found by pkg-config) and the Japanese font of the program's texts.
packages=(build-essential cmake qt6-base-dev libgl-dev libxcb1-dev pkg-config fonts-ipafont-gothic
          qt6-translations-l10n)
# What scripts/test.sh adds: clang for the fuzz targets, clang-format for the format check,
# GoogleTest, poppler-utils, whose pdftotext reads the printouts back, and xvfb for the tests' own
# X displays.
test_tools=(clang clang-format libgtest-dev libgmock-dev poppler-utils xvfb)
if [ "${1:-}" = --tests ]; then
    packages+=("${test_tools[@]}")
    shift
fi
packages+=("$@")
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo_cmd=""
    [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
    $sudo_cmd apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "${missing[@]}"
fi
