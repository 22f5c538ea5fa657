#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program.
#   scripts/run.sh                     against a simulated driver (axes X, A and C)
#   scripts/run.sh --device /dev/ttyUSB0   against a real driver on that serial device (as Comm1)
#   scripts/run.sh --series QWB --axes XY  simulated driver of another series / other axes
set -euo pipefail
cd "$(dirname "$0")/.."
device=""
sim_args=()
while [ $# -gt 0 ]; do
    case "$1" in
        --device) device="$2"; shift 2 ;;
        --series|--axes|--model) sim_args+=("$1" "$2"); shift 2 ;;
        *) echo "usage: $0 [--device PATH] [--series QWA|QWB|QWC|QWD] [--axes LETTERS] [--model TEXT]" >&2
           exit 2 ;;
    esac
done
[ ${#sim_args[@]} -eq 0 ] && sim_args=(--axes XAC)

scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target kasont kaso-sim

if [ -n "$device" ]; then
    exec env KASONT_COMM1="$device" build/bin/kasont
fi

pathfile=$(mktemp)
build/bin/kaso-sim "${sim_args[@]}" >"$pathfile" 2>/dev/null &
sim_pid=$!
trap 'kill $sim_pid 2>/dev/null; rm -f "$pathfile"' EXIT
for _ in $(seq 50); do [ -s "$pathfile" ] && break; sleep 0.1; done
sim_device=$(head -n 1 "$pathfile")
echo "Simulated driver on $sim_device (as Comm1)"
KASONT_COMM1="$sim_device" build/bin/kasont
