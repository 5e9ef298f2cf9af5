#!/usr/bin/env bash
# A held key across a change of the keyboard's owner, with real X input (the platform then knows
# the key is down, which sent input does not tell it here): Right is pressed in sprite_game's
# graphics window, a click in the console takes the keyboard away while Right stays down, a
# click in the graphics window gives it back, then Right is let go. (A click on a caption would
# start a window move, which takes the keyboard too.) The
# recording must hold the press, the release owed when the keyboard went, the press owed when
# it came back, and the last release, in that order.
#   held_key_focus_test.sh SESSION_DIR PROGRAM WORKDIR SOURCE_DIR
set -euo pipefail
session=$1 exe=$2 work=$3 source=$4
# shellcheck disable=SC1091
source "$source/tests/examples/smoke_lib.sh"

rm -f "$work"/KORVA.SCR
start_program
wait_for_graphics
console=$(wait_for_window "KORVA Text")
# A click in the middle of the console's text; one in a corner of the canvas.
click_console() {
    window_geometry "$console"
    xdotool mousemove $((win_x + win_w / 2)) $((win_y + win_h / 2)) click 1
    sleep 0.5
}
click_canvas() {
    xdotool mousemove "$(screen_x 250)" "$(screen_y -200)" click 1
    sleep 0.5
}
click_canvas
xdotool key ctrl+r
sleep 0.3
xdotool keydown Right
sleep 0.5
click_console
sleep 0.3
click_canvas
sleep 0.5
xdotool keyup Right
sleep 0.3
xdotool key ctrl+r
sleep 0.3
xdotool key ctrl+q
status=0
wait "$program_pid" || status=$?
program_pid=""
((status == 0)) || fail "sprite_game ended with exit code $status"

holds=$(grep -oE 'KORVA_HOLD\(29, [01]\);' KORVA.SCR | tr -d '\n' || true)
expected='KORVA_HOLD(29, 1);KORVA_HOLD(29, 0);KORVA_HOLD(29, 1);KORVA_HOLD(29, 0);'
[[ "$holds" == "$expected" ]] ||
    fail "the Right key's lines were '$holds', not '$expected': $(head -c 600 KORVA.SCR)"
echo "held_key_focus: the key held across the keyboard's change was released and pressed again"
