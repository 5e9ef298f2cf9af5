#!/usr/bin/env bash
# The switched-on events recorded as a user records them and replayed: paint is driven with real
# X input (a left drag, a right drag that erases), sprite_game with arrow keys held down, rocks
# through a whole round of chance and time, each between two Ctrl+R. The script must hold the
# new lines; then korva-replay replays it 20 times and every replay must give the same canvas,
# and the replays of paint and rocks the canvas that the live run saved. The live round of rocks
# plays its sounds to an audio device that writes to a file, and they must be there; replays
# play none, and their canvas is the live one all the same.
#   record_new_events_test.sh SESSION_DIR PROGRAM HARNESS WORKDIR SOURCE_DIR NAME
set -euo pipefail
session=$1 exe=$2 harness=$3 work=$4 source=$5 name=$6
# shellcheck disable=SC1091
source "$source/tests/examples/smoke_lib.sh"
REPLAYS=20

rm -f "$work"/KORVA.SCR "$work"/*.png
if [[ "$name" == rocks ]]; then
    # Its shots, bursts and music go to an audio device that writes to a file.
    source "$source/scripts/korva-wine.sh"
    rm -f "$work/device.raw"
    korva_file_audio_config "$work/device.raw" >"$work/asound.conf"
    korva_file_audio_environment "$work/asound.conf" "$work"
fi
start_program
wait_for_graphics
xdotool key ctrl+r
sleep 0.3
case "$name" in
    paint)
        # Left drag: a stroke; right drag across it: an eraser. Each move is its own step.
        xdotool mousemove "$(screen_x -200)" "$(screen_y 100)" mousedown 1
        for x in $(seq -190 20 150); do xdotool mousemove "$(screen_x "$x")" "$(screen_y $((100 - x / 4)))"; sleep 0.02; done
        xdotool mouseup 1
        sleep 0.2
        xdotool mousemove "$(screen_x 0)" "$(screen_y 200)" mousedown 3
        for y in $(seq 190 -20 -100); do xdotool mousemove "$(screen_x $((y / 5)))" "$(screen_y "$y")"; sleep 0.02; done
        xdotool mouseup 3
        sleep 0.3
        xdotool key ctrl+r
        sleep 0.3
        # The live canvas, saved by the program itself after the recording.
        xdotool key s
        sleep 0.5
        lines=("KORVA_MOUSE(" "KORVA_TRACK(" "KORVA_BUTTON(" ", 2, 1);")
        ;;
    sprite_game)
        xdotool keydown Right; sleep 1; xdotool keyup Right
        xdotool keydown Up; sleep 0.6; xdotool keyup Up
        xdotool keydown Left keydown Down; sleep 0.5; xdotool keyup Left keyup Down
        sleep 0.2
        xdotool key ctrl+r
        sleep 0.3
        lines=("KORVA_HOLD(29, 1);" "KORVA_HOLD(29, 0);" "KORVA_HOLD(30, 1);" "KORVA_HOLD(28, 0);" "KORVA_PERIODIC(")
        ;;
    rocks)
        # Enter starts the 20-second round: turn and fire, push, turn back and fire, then wait
        # for the round to end (the game stands still after it), stop recording and save.
        xdotool key Return
        sleep 0.3
        xdotool keydown space keydown Left; sleep 1.5; xdotool keyup Left
        xdotool keydown Up; sleep 0.7; xdotool keyup Up
        xdotool keydown Right; sleep 2; xdotool keyup Right keyup space
        sleep 16.5
        xdotool key ctrl+r
        sleep 0.3
        xdotool key s
        sleep 0.5
        lines=("KORVA_NOW(" "KORVA_HOLD(13, 1);" "KORVA_HOLD(32, 1);" "KORVA_HOLD(28, 0);")
        # The rocks were placed at random before the first recorded event: the generator's state
        # they were drawn from comes first, and each turn that draws has its own.
        [[ "$(head -c 13 KORVA.SCR)" == "KORVA_RANDOM(" ]] || fail "KORVA.SCR does not start with the generator's state"
        ;;
    *) fail "no recording for $name" ;;
esac
xdotool key ctrl+q
expect_exit_zero() {
    local status=0
    wait "$program_pid" || status=$?
    program_pid=""
    ((status == 0)) || fail "$name ended with exit code $status"
}
expect_exit_zero

if [[ "$name" == rocks ]]; then
    # The round's sounds reached the device: some frames of it are far from silence.
    loud=$(od -An -v -td2 -w2 "$work/device.raw" 2>/dev/null | awk '$1 > 2000 || $1 < -2000 { n++ } END { print n + 0 }')
    ((loud > 48000)) || fail "rocks played (almost) nothing to the audio device: $loud loud samples"
fi
for line in "${lines[@]}"; do
    grep -qF -- "$line" KORVA.SCR || fail "KORVA.SCR holds no line with '$line': $(head -c 600 KORVA.SCR)"
done
presses=$(grep -cE 'KORVA_HOLD\((28|29|30|31), 1\);' KORVA.SCR || true)
if [[ "$name" == sprite_game ]] && ((presses != 4)); then
    fail "expected 4 arrow presses recorded (held keys make no repeats), got $presses"
fi

run_harness() {
    timeout 180 "$source/scripts/wine-exec.sh" "$session" "$harness" "$@" "$exe" KORVA.SCR >>"$work/harness.log" 2>&1
}
: >"$work/harness.log"
run_harness --update --expect first.png || fail "the first replay failed (see $work/harness.log)"
for ((i = 2; i <= REPLAYS; i++)); do
    run_harness --expect first.png --diff "diff$i.png" || fail "replay $i of $REPLAYS differs from the first (see $work/harness.log)"
done
if [[ "$name" == paint || "$name" == rocks ]]; then
    [[ -f $name.png ]] || fail "$name did not save $name.png"
    run_harness --expect "$name.png" --diff live_diff.png ||
        fail "the replay differs from the live run's canvas (see live_diff.png)"
fi
echo "$name: the recording holds the new events and replayed to the same canvas $REPLAYS times out of $REPLAYS"
