#!/usr/bin/env bash
# examples/colour_chart, run headless: every swatch shows its colour from the table, and
# Ctrl+Q ends the program with exit code 0.
#   colour_chart_smoke.sh SESSION_DIR PROGRAM WORKDIR SOURCE_DIR
set -euo pipefail
session=$1 exe=$2 work=$3 source=$4
# shellcheck disable=SC1091
source "$source/tests/examples/smoke_lib.sh"

# R,G,B of colour indices 0 to 23.
# shellcheck disable=SC2054  # the commas are inside each element
COLOURS=(
    0,0,0 255,255,255 255,0,0 0,255,0 0,0,255 255,255,0
    255,0,255 0,255,255 153,0,204 0,51,153 153,102,153 153,255,255
    153,255,204 255,102,0 153,102,51 255,153,204 255,255,153 204,153,51
    255,153,102 0,102,51 51,204,153 153,153,51 128,128,128 204,204,204
)

start_program
wait_for_graphics

shot="$work/screen.png"
shoot "$shot"
# The example's layout: four columns of 145, rows of 75, 40-pixel swatches from (-290, 225).
for index in "${!COLOURS[@]}"; do
    x=$((-290 + (index % 4) * 145 + 20))
    y=$((225 - (index / 4) * 75 - 20))
    check_pixel "$shot" "$(screen_x $x)" "$(screen_y $y)" "${COLOURS[$index]}" "swatch of colour $index"
done
finish_checks
save_window_shot "$shot" "$work/colour_chart.png"

# A click gives the window the keyboard; the chart ignores it.
xdotool mousemove "$(screen_x 0)" "$(screen_y -235)" click 1
sleep 0.3
xdotool key ctrl+q
expect_exit_zero
echo "colour_chart: 24 swatches in their colours; quit with exit code 0"
