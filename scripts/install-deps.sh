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
[ ${#missing[@]} -eq 0 ] && exit 0

# A user who may not use sudo is told what is wanted and how to get it, rather than only sudo's
# refusal.
cannot_install() {
    local user
    user=$(id -un)
    echo "$0: these packages are missing, and installing them needs root: ${missing[*]}" >&2
    echo "Run the script as root, or as a user who may use sudo. To let $user use sudo: as root," >&2
    echo "    apt-get -y install sudo && usermod -aG sudo $user" >&2
    echo "then log in again as $user. Or install the packages yourself, as root:" >&2
    echo "    apt-get -y install ${missing[*]}" >&2
    exit 1
}
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || cannot_install
    echo "Installing the missing packages with sudo: ${missing[*]}"
    sudo -v || cannot_install
    sudo_cmd=(sudo)
else
    echo "Installing the missing packages: ${missing[*]}"
fi
"${sudo_cmd[@]}" apt-get -y -qq update
"${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -y -qq install "${missing[@]}"
