#!/usr/bin/env bash
# Installs what the program needs if it is missing, builds, and starts the program.
#   scripts/run.sh                     against a simulated driver (axes X, A and C)
#   scripts/run.sh --device /dev/ttyUSB0   against a real driver on that serial device
#   scripts/run.sh --series QWB --axes XY  simulated driver of another series / other axes
set -euo pipefail
cd "$(dirname "$0")/.."
arguments=("$@")
usage="usage: $0 [--device PATH] [--series QWA|QWB|QWC|QWD] [--axes LETTERS] [--model TEXT]"
# A wrong argument: what is wrong with it, then the usage.
wrong() {
    echo "$0: $1" >&2
    echo "$usage" >&2
    exit 2
}
# The value of the option $1, the next argument ($2), which it needs.
value_of() {
    [ $# -ge 2 ] && [ -n "$2" ] && [ "${2#--}" = "$2" ] || wrong "$1 needs a value"
    printf '%s' "$2"
}
device=""
series=""
axes=XAC
sim_args=()
while [ $# -gt 0 ]; do
    case "$1" in
        --device) device=$(value_of "$@"); shift 2 ;;
        --series) series=$(value_of "$@"); series=${series^^}; shift 2 ;;
        --axes) axes=$(value_of "$@"); shift 2 ;;
        --model) sim_args+=("$1" "$(value_of "$@")"); shift 2 ;;
        --help|-h) echo "$usage"; exit 0 ;;
        *) wrong "unknown argument $1" ;;
    esac
done
case "$series" in
    ""|QWA|QWB|QWC|QWD) ;;
    *) wrong "unknown series $series" ;;
esac
[[ "$axes" =~ ^[A-Za-z]+$ ]] || wrong "--axes takes letters A to Z, not $axes"
sim_args+=(--axes "$axes" ${series:+--series "$series"})
# KASONT_JOBS limits the parallel builds (every core by default).
source scripts/jobs.sh

# The program is a window: without a display to show it on, say so before building anything.
# (A platform the user chose for Qt, such as offscreen, needs none.)
has_display() {
    [ -n "${QT_QPA_PLATFORM:-}" ] && [[ "$QT_QPA_PLATFORM" != xcb* ]] &&
        [[ "$QT_QPA_PLATFORM" != wayland* ]] && return 0
    [ -n "${WAYLAND_DISPLAY:-}" ] && return 0
    [ -n "${DISPLAY:-}" ] || return 1
    # A display of this machine (":N"): its server's socket must be there.
    if [[ "$DISPLAY" =~ ^:([0-9]+)(\.[0-9]+)?$ ]]; then
        [ -S "/tmp/.X11-unix/X${BASH_REMATCH[1]}" ]
    fi
}
if ! has_display; then
    if [ -n "${DISPLAY:-}" ]; then
        echo "$0: no X server answers on the display $DISPLAY that DISPLAY names." >&2
    else
        echo "$0: there is no display to show the program's window on (DISPLAY is not set)." >&2
    fi
    echo "Run it in a desktop session, or on a virtual display:" >&2
    echo "    apt-get -y install xvfb   (as root; or sudo apt-get -y install xvfb)" >&2
    echo "    xvfb-run -a $0${arguments[*]:+ ${arguments[*]}}" >&2
    exit 1
fi

# While the program runs, a second start is the program's own word that it runs already, before
# anything of this script's: the lock it holds is where the program looks for it.
if [ -n "${XDG_RUNTIME_DIR:-}" ]; then
    lock="$XDG_RUNTIME_DIR/KasoNT.lock"
else
    lock="${TMPDIR:-/tmp}/KasoNT-$(id -u).lock"
fi
if [ -x build/bin/kasont ] && [ -f "$lock" ]; then
    held=0
    flock -n -E 75 "$lock" true 2>/dev/null || held=$?
    if [ "$held" -eq 75 ]; then
        exec build/bin/kasont
    fi
fi

scripts/install-deps.sh
# The build says nothing unless it fails; its output stays in build/.
log=build/run-build.log
[ -x build/bin/kasont ] || echo "Building the program in build/ (the first time takes minutes; log: $log)"
mkdir -p build
if ! { cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo &&
    cmake --build build -j "$jobs" --target kasont kaso-sim; } >"$log" 2>&1; then
    cat "$log" >&2
    echo "$0: the build failed (its output above is kept in $log)" >&2
    exit 1
fi

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
