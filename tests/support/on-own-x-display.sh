#!/usr/bin/env bash
# Runs a command on an X display of its own: a virtual X server (Xvfb) on a display number the
# server picks free, with the server's arguments given before "--", e.g.
#   tests/support/on-own-x-display.sh -dpi 192 -screen 0 1920x1200x24 -- program args
# The command's exit code is the script's; the server ends with it.
set -euo pipefail
server_args=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do
    server_args+=("$1")
    shift
done
[ $# -gt 0 ] && shift
folder=$(mktemp -d)
mkfifo "$folder/display"
Xvfb -displayfd 3 -nolisten tcp "${server_args[@]}" 3>"$folder/display" 2>"$folder/server.log" &
server=$!
trap 'kill "$server" 2>/dev/null; wait "$server" 2>/dev/null; rm -rf "$folder"' EXIT
# The server writes its display number once it accepts clients (nothing when it fails to start).
read -r number <"$folder/display" || true
if [ -z "${number:-}" ]; then
    echo "Xvfb did not start:" >&2
    cat "$folder/server.log" >&2
    exit 1
fi
DISPLAY=":$number" "$@"
