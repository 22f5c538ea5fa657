#!/usr/bin/env bash
# Installs what the program needs if it is missing, builds, and starts the program.
#   scripts/run.sh                     against a simulated driver (axes X, A and C)
#   scripts/run.sh --device /dev/ttyUSB0   against a real driver on that serial device
#   scripts/run.sh --series QWB --axes XY  simulated driver of another series / other axes
set -euo pipefail
cd "$(dirname "$0")/.."
usage="usage: $0 [--device PATH] [--series QWA|QWB|QWC|QWD] [--axes LETTERS] [--model TEXT]"
device=""
series=""
axes=XAC
sim_args=()
while [ $# -gt 0 ]; do
    case "$1" in
        --device) device="$2"; shift 2 ;;
        --series) series="${2^^}"; shift 2 ;;
        --axes) axes="$2"; shift 2 ;;
        --model) sim_args+=("$1" "$2"); shift 2 ;;
        --help|-h) echo "$usage"; exit 0 ;;
        *) echo "$usage" >&2; exit 2 ;;
    esac
done
case "$series" in
    ""|QWA|QWB|QWC|QWD) ;;
    *) echo "$0: unknown series $series" >&2; echo "$usage" >&2; exit 2 ;;
esac
sim_args+=(--axes "$axes" ${series:+--series "$series"})

scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target kasont kaso-sim

echo "Closing the main window or Ctrl-C here ends the program; either way it saves its settings."
# Either device is handed to the program as KASONT_DEVICE, which every port opens: it is reached
# whichever port the settings hold (the setup dialog 設定 chooses and saves the port).
if [ -n "$device" ]; then
    echo "The program opens $device, whichever port (Comm1 to Comm7) is chosen in 設定"
    exec env KASONT_DEVICE="$device" build/bin/kasont
fi

pathfile=$(mktemp)
build/bin/kaso-sim "${sim_args[@]}" >"$pathfile" 2>/dev/null &
sim_pid=$!
# Ctrl-C reaches the simulated driver too, which may then have ended already.
trap 'kill $sim_pid 2>/dev/null || true; rm -f "$pathfile"' EXIT
for _ in $(seq 50); do [ -s "$pathfile" ] && break; sleep 0.1; done
sim_device=$(head -n 1 "$pathfile")
if [ -z "$sim_device" ]; then
    echo "$0: the simulated driver did not start (build/bin/kaso-sim ${sim_args[*]})" >&2
    exit 1
fi
echo "Simulated driver on $sim_device, opened whichever port (Comm1 to Comm7) is chosen in 設定"
# The program keeps its own series, the one 設定 shows and saves; the simulated driver's is only
# what it answers as.
if [ -n "$series" ]; then
    echo "The simulated driver answers as a $series: choose $series under ﾄﾞﾗｲﾊﾞｼﾘｰｽﾞ名 in 設定"
fi
KASONT_DEVICE="$sim_device" build/bin/kasont
