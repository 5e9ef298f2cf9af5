#!/usr/bin/env bash
# Starts the room under Wine: on the current X display when there is one; otherwise on a
# private Xvfb for a few seconds, saving a screenshot of its screen under the build directory.
#   run-room.sh BUILD_DIR
set -euo pipefail

build=${1:?usage: run-room.sh BUILD_DIR}
build=$(cd "$build" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
room="$build/room.exe"
[[ -f "$room" ]] || { echo "run-room: $room is missing; build it first (make win)" >&2; exit 1; }

workdir="$build/run-room"   # the room writes its script file "KORVA.SCR" here
mkdir -p "$workdir"

if [[ -n "${DISPLAY:-}" ]] && xdpyinfo >/dev/null 2>&1; then
    export WINEPREFIX="$build/wine-run/prefix" WINEARCH=win64 WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    export PATH="/usr/lib/wine:$PATH"
    mkdir -p "$WINEPREFIX"
    echo "run-room: starting the room on display $DISPLAY (Wine prefix $WINEPREFIX)"
    cd "$workdir"
    exec wine64 "$room"
fi

echo "run-room: no usable X display (DISPLAY='${DISPLAY:-}'); running the room on a private Xvfb for a few seconds"
session="$build/run-session"
room_pid=""
cleanup() {
    if [[ -n "$room_pid" ]] && kill -0 "$room_pid" 2>/dev/null; then kill "$room_pid" 2>/dev/null || true; fi
    "$here/wine-session.sh" stop "$session" >/dev/null 2>&1 || true
}
trap cleanup EXIT
"$here/wine-session.sh" start "$session"
# shellcheck disable=SC1091
source "$session/session.env"

cd "$workdir"
wine64 "$room" </dev/null >"$workdir/room.log" 2>&1 &
room_pid=$!

window=""
for _ in $(seq 150); do
    window=$(xdotool search --name '^KORVA Graphics$' 2>/dev/null | head -n 1 || true)
    [[ -n "$window" ]] && break
    sleep 0.2
done
if [[ -z "$window" ]]; then
    echo "run-room: the room's window did not appear; see $workdir/room.log" >&2
    exit 1
fi

sleep 3
shot="$build/room-screenshot.png"
import -window root "$shot"
echo "run-room: screenshot saved to $shot"

# Quit as a user would, with Ctrl+Q on the graphics window, so the room ends by itself.
xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window" || true
xdotool key --clearmodifiers ctrl+q
status=""
for _ in $(seq 100); do
    if ! kill -0 "$room_pid" 2>/dev/null; then
        wait "$room_pid" && status=0 || status=$?
        break
    fi
    sleep 0.1
done
if [[ -z "$status" ]]; then
    echo "run-room: the room did not end on Ctrl+Q; stopping it" >&2
    exit 1
fi
room_pid=""
echo "run-room: the room ended with exit code $status"
exit "$status"
