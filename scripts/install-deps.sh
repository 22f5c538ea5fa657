#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need, and those named as
# arguments, if any is missing.
set -euo pipefail
# qt6-translations-l10n: Qt's own texts (the standard buttons of boxes and dialogs) in Japanese;
# libxcb1-dev: the X display's resolution; xvfb: the tests' own X displays.
packages=(build-essential cmake clang clang-format qt6-base-dev libgl-dev libxcb1-dev libgtest-dev
          libgmock-dev pkg-config fonts-ipafont-gothic qt6-translations-l10n poppler-utils xvfb "$@")
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
