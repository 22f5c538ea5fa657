#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program.
#   scripts/run.sh                     against a simulated driver (axes X, A and C)
#   scripts/run.sh --device /dev/ttyUSB0   against a real driver on that serial device
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

# Either device is handed to the program as KASONT_DEVICE, which every port opens: it is reached
# whichever port the settings hold (the setup dialog 設定 chooses and saves the port).
if [ -n "$device" ]; then
    echo "The program opens $device, whichever port (Comm1 to Comm7) is chosen in 設定"
    exec env KASONT_DEVICE="$device" build/bin/kasont
fi

pathfile=$(mktemp)
build/bin/kaso-sim "${sim_args[@]}" >"$pathfile" 2>/dev/null &
sim_pid=$!
trap 'kill $sim_pid 2>/dev/null; rm -f "$pathfile"' EXIT
for _ in $(seq 50); do [ -s "$pathfile" ] && break; sleep 0.1; done
sim_device=$(head -n 1 "$pathfile")
echo "Simulated driver on $sim_device, opened whichever port (Comm1 to Comm7) is chosen in 設定"
KASONT_DEVICE="$sim_device" build/bin/kasont
