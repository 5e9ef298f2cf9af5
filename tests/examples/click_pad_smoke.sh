#!/usr/bin/env bash
# examples/click_pad, run headless: the title prompt is answered by typing and Enter, three
# clicks leave a red, a blue and a green dot where they were, and Ctrl+Q ends the program
# with exit code 0.
#   click_pad_smoke.sh SESSION_DIR PROGRAM WORKDIR SOURCE_DIR
set -euo pipefail
session=$1 exe=$2 work=$3 source=$4
# shellcheck disable=SC1091
source "$source/tests/examples/smoke_lib.sh"

NAVY=0,51,153
CLICKS=("-100 50 255,0,0 red" "0 -50 0,0,255 blue" "120 80 0,255,0 green")

start_program
answer_title_prompt "Smoke pad"
wait_for_graphics
click_each "${CLICKS[@]}"
sleep 0.5

shot="$work/screen.png"
shoot "$shot"
for click in "${CLICKS[@]}"; do
    read -r x y rgb name <<<"$click"
    check_pixel "$shot" "$(screen_x "$x")" "$(screen_y "$y")" "$rgb" "$name dot of the click at ($x,$y)"
done
# The title stands in navy blue along the top.
title_region="300x30+$(screen_x -285)+$(screen_y 240)"
[[ $(colour_box "$shot" "$title_region" "$NAVY") != none ]] ||
    check_failures+=("title: expected navy blue text in $title_region, found none")
finish_checks
save_window_shot "$shot" "$work/click_pad.png"

rm -f "$work/click_pad.bmp"
xdotool key ctrl+q
expect_exit_zero
# Ending saves the drawing as a picture of the whole canvas.
size=$(identify -format '%wx%h' "$work/click_pad.bmp" 2>/dev/null || echo none)
[[ "$size" == 601x540 ]] || fail "click_pad.bmp: expected a 601x540 picture, got $size"
echo "click_pad: title typed, three dots in red, blue and green; quit with exit code 0"
