#!/usr/bin/env bash
# examples/typing_tester, run headless with real X key presses: right letters grow the green
# bar, a wrong one shows in red until Backspace takes it back, Ctrl+H stays a shortcut and types
# nothing, Escape starts over; Ctrl+Q ends the program with exit code 0.
#   typing_tester_smoke.sh SESSION_DIR PROGRAM WORKDIR SOURCE_DIR
set -euo pipefail
session=$1 exe=$2 work=$3 source=$4
# shellcheck disable=SC1091
source "$source/tests/examples/smoke_lib.sh"

GREEN=0,255,0 RED=255,0,0
PER_LETTER=12

start_program
wait_for_graphics
xdotool mousemove "$(screen_x 0)" "$(screen_y -150)" click 1
sleep 0.3

# The bars lie between y 40 and 20 of the drawing, from x -280 on (with a margin around).
bar_region="580x31+$(screen_x -290)+$(screen_y 45)"

# Prints the width of the green and of the red bar ("none" for 0), from a new screenshot $1.
bars() {
    local shot="$work/$1.png" g r
    shoot "$shot"
    g=$(colour_box "$shot" "$bar_region" "$GREEN")
    r=$(colour_box "$shot" "$bar_region" "$RED")
    echo "${g%%x*} ${r%%x*}"
}

# Each step: the keys pressed (as xdotool names), then the expected letters right and wrong.
steps=(
    "t h e space q|5 0"
    "u x|6 1"
    "BackSpace|6 0"
    "ctrl+h|6 0"
    "Escape|0 0"
    "t|1 0"
)
for step in "${steps[@]}"; do
    keys=${step%%|*}
    read -r right wrong <<<"${step##*|}"
    for k in $keys; do xdotool key "$k"; done
    sleep 0.5
    read -r green red <<<"$(bars "after-${keys// /-}")"
    expected_green=$((right * PER_LETTER)) expected_red=$((wrong * PER_LETTER))
    ((right > 0)) || expected_green=none
    ((wrong > 0)) || expected_red=none
    [[ "$green" == "$expected_green" && "$red" == "$expected_red" ]] ||
        fail "after keys ($keys): expected green $expected_green and red $expected_red pixels, got green $green and red $red"
done

xdotool type --delay 30 "he quick brown fox jumps over the lazy dog"
sleep 0.5
read -r green red <<<"$(bars typed-all)"
[[ "$green" == $((43 * PER_LETTER)) && "$red" == none ]] ||
    fail "the whole sentence: expected green $((43 * PER_LETTER)) and no red, got green $green and red $red"
shoot "$work/done.png"
save_window_shot "$work/done.png" "$work/typing_tester.png"

xdotool key ctrl+q
expect_exit_zero
echo "typing_tester: letters, a wrong one, Backspace, Ctrl+H, Escape and the whole sentence; quit with exit code 0"
