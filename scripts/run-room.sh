#!/usr/bin/env bash
# Starts the room of a Windows build with the runner: on the current X display when there is
# one; otherwise on a private display for a few seconds, saving a screenshot of it under the
# build directory, then closing the room as its close box would.
#   run-room.sh BUILD_DIR
set -euo pipefail

build=${1:?usage: run-room.sh BUILD_DIR}
build=$(cd "$build" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
room="$build/room.exe"
[[ -f "$room" ]] || { echo "run-room: $room is missing; build it first (make win)" >&2; exit 1; }

# The runner's hands inside Wine, from this build rather than an installed package.
export KORVA_LAUNCHER="$build/tools/korva-launch.exe"
workdir="$build/run-room"   # the room writes its script file "KORVA.SCR" here
mkdir -p "$workdir"
cd "$workdir"

if [[ -n "${DISPLAY:-}" ]] && xdpyinfo >/dev/null 2>&1; then
    exec "$here/korva-run" "$room"
fi
echo "run-room: no usable X display (DISPLAY='${DISPLAY:-}'); running the room on a private display for a few seconds"
shot="$build/room-screenshot.png"
status=0
"$here/korva-run" --headless --seconds 3 --screenshot "$shot" "$room" || status=$?
[[ -f "$shot" ]] && echo "run-room: screenshot saved to $shot"
echo "run-room: the room ended with exit code $status"
exit "$status"
