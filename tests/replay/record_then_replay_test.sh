#!/usr/bin/env bash
# A replay test made the way a user makes one: click_pad is driven with real X input and its
# clicks are recorded with Ctrl+R; korva-replay then replays that KORVA.SCR with nobody at the
# keyboard, and the final canvas must equal the expected picture of the same clicks.
#   record_then_replay_test.sh SESSION_DIR CLICK_PAD HARNESS WORKDIR SOURCE_DIR
set -euo pipefail
session=$1 exe=$2 harness=$3 work=$4 source=$5
# shellcheck disable=SC1091
source "$source/tests/examples/smoke_lib.sh"

# The clicks of tests/replay/click_pad_dots.scr, whose expected picture is the reference.
CLICKS=("-200 150" "-100 50" "0 -50" "120 80" "250 -180" "-295 -240")

rm -f "$work/KORVA.SCR" "$work/canvas.bmp" "$work/diff.bmp"
start_program
answer_title_prompt "Recorded"
wait_for_graphics
xdotool key ctrl+r
sleep 0.3
click_each "${CLICKS[@]}"
xdotool key ctrl+r
sleep 0.3
xdotool key ctrl+q
expect_exit_zero

expected=""
for click in "${CLICKS[@]}"; do
    read -r x y <<<"$click"
    expected+="KORVA_MOUSE($x, $y);"$'\r\n'
done
actual=$(cat "$work/KORVA.SCR"; echo .)
actual=${actual%.}
[[ "$actual" == "$expected" ]] ||
    fail "KORVA.SCR: expected $(printf %q "$expected"), got $(printf %q "$actual")"

status=0
timeout 180 "$source/scripts/wine-exec.sh" "$session" "$harness" --canvas canvas.bmp \
    --expect "$source/tests/replay/click_pad_dots.bmp" --diff diff.bmp "$exe" KORVA.SCR || status=$?
((status == 0)) || fail "the replay of the recording: korva-replay exit code $status (see $work/diff.bmp)"
echo "record then replay: six recorded clicks replayed to the expected picture"
