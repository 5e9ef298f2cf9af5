#!/usr/bin/env bash
# examples/bouncing_ball, run headless: the ball moves with no input at all, the arrow keys
# change the frame rate (the green bar's length), Halt stops the ball, Advance one frame moves
# it exactly one step, Animate sets it going again; Ctrl+Q ends the program with exit code 0.
#   bouncing_ball_smoke.sh SESSION_DIR PROGRAM WORKDIR SOURCE_DIR
set -euo pipefail
session=$1 exe=$2 work=$3 source=$4
# shellcheck disable=SC1091
source "$source/tests/examples/smoke_lib.sh"

BALL=255,102,0  # orange
BAR=0,255,0     # green: 2 pixels per frame a second
STEP_X=12 STEP_Y=8

# Prints the centre "x y" of the ball on the screen, from a new screenshot named $1.
ball_at() {
    local shot="$work/$1.png" box w h x y
    shoot "$shot"
    box=$(colour_box "$shot" "${win_w}x${win_h}+${win_x}+${win_y}" "$BALL")
    [[ "$box" != none ]] || fail "no ball (rgb($BALL)) in screenshot $1"
    IFS='x+' read -r w h x y <<<"$box"
    echo "$((win_x + x + w / 2)) $((win_y + y + h / 2))"
}

start_program
wait_for_graphics
xdotool mousemove "$(screen_x -200)" "$(screen_y -150)" click 1
sleep 0.3

# Timed animation: with the pointer resting and no key pressed, the ball keeps moving.
resting=$(ball_at resting)
sleep 1
moved=$(ball_at resting-later)
[[ "$moved" != "$resting" ]] || fail "with no input: expected the ball to move from ($resting), it stayed"

# The bar's width in pixels, from a new screenshot named $1.
bar_width() {
    local shot="$work/$1.png" box w
    shoot "$shot"
    box=$(colour_box "$shot" "${win_w}x${win_h}+${win_x}+${win_y}" "$BAR")
    [[ "$box" != none ]] || fail "no frame-rate bar (rgb($BAR)) in screenshot $1"
    w=${box%%x*}
    echo "$w"
}
rates=()
for step in "30 none" "50 Up Up" "20 Down Down Down" "10 Down Down" "20 plus" "10 minus" "60 Up Up Up Up Up"; do
    read -r rate keys <<<"$step"
    for k in $keys; do
        [[ "$k" == none ]] || xdotool key "$k"
    done
    sleep 0.5
    width=$(bar_width "rate-$rate")
    ((width == rate * 2)) || fail "frame rate $rate after keys ($keys): expected a bar of $((rate * 2)) pixels, got $width"
    rates+=("$rate")
done

# A periodic event already made when the halt comes is still delivered: let it pass.
xdotool key ctrl+h
sleep 1
halted=$(ball_at halted)
stir_messages 300
still=$(ball_at halted-after-messages)
[[ "$still" == "$halted" ]] || fail "after Halt animation: expected the ball to stay at ($halted), it moved to ($still)"

xdotool key ctrl+f
stir_messages 300
read -r x0 y0 <<<"$still"
read -r x1 y1 <<<"$(ball_at one-frame)"
dx=$((x1 - x0)) dy=$((y1 - y0))
# One step is (+-12, -+8) on the screen; at a wall the ball is put against it, so less.
if ((dx == 0 && dy == 0)) || ((dx * dx > STEP_X * STEP_X || dy * dy > STEP_Y * STEP_Y)); then
    fail "after Advance one frame: expected one step of at most ($STEP_X,$STEP_Y) from ($x0 $y0), got ($x1 $y1)"
fi
stir_messages 300
after=$(ball_at one-frame-after-messages)
[[ "$after" == "$x1 $y1" ]] || fail "Advance one frame: expected a single step, the ball went on to ($after)"

xdotool key ctrl+a
stir_messages 300
running=$(ball_at running)
[[ "$running" != "$after" ]] || fail "after Animate: expected the ball to move from ($after), it stayed"
save_window_shot "$work/running.png" "$work/bouncing_ball.png"

xdotool key ctrl+q
expect_exit_zero
echo "bouncing_ball: moved with no input, frame rates ${rates[*]} by keys, halted at ($halted), one frame to ($x1 $y1), running to ($running); quit with exit code 0"
