#!/usr/bin/env bash
# A suite of replays under ctest against the replay harness's own time: 20 replays of
# click_pad's dots script registered with korva_add_replay_test in a project of their own and
# run by ctest one after another (the session's start and stop included), beside the same 20
# run straight in a running session, as the harness runs them; and a replay late in a session
# (after Wine's desktop has gone, 5 to 18 s after its last window) beside one right after
# another. Prints the figures and their ratios; checks nothing.
#   replay_suite_bench.sh BUILD_DIR [RUNS]    (default 20)
set -euo pipefail
build=$(cd "${1:?usage: replay_suite_bench.sh BUILD_DIR [RUNS]}" && pwd)
runs=${2:-20}
source_dir=$(cd "$(dirname "$0")/.." && pwd)
work="$build/bench-run/replay_suite"
project="$work/project"
rm -rf "$project" "$work/ctest"
mkdir -p "$project"
script="$source_dir/tests/replay/click_pad_dots.scr"
expect="$source_dir/tests/replay/click_pad_dots.bmp"
program="$build/examples/click_pad.exe"
harness="$build/tools/korva-replay.exe"

cat >"$project/CMakeLists.txt" <<CMAKE
cmake_minimum_required(VERSION 3.20)
project(replay_suite NONE)
enable_testing()
set(KORVA_RUN_COMMAND $source_dir/scripts/korva-run)
set(KORVA_REPLAY_TEST_ENVIRONMENT "KORVA_REPLAY_HARNESS=$harness")
include($source_dir/cmake/KorvaReplayTest.cmake)
add_executable(click_pad IMPORTED)
set_target_properties(click_pad PROPERTIES IMPORTED_LOCATION $program)
foreach(i RANGE 1 $runs)
    korva_add_replay_test(NAME dots_\${i} PROGRAM click_pad SCRIPT $script EXPECT $expect)
endforeach()
CMAKE
cmake -S "$project" -B "$work/ctest" >/dev/null

clock() { date +%s.%N; }
# The first run makes the session's Wine prefix, once; the figure is the second's.
ctest --test-dir "$work/ctest" >/dev/null 2>&1 || true
start=$(clock)
ctest --test-dir "$work/ctest" >"$work/ctest.log" 2>&1 || { echo "ctest failed: see $work/ctest.log"; exit 1; }
suite=$(echo "$(clock) - $start" | bc)

# The harness's own time: the same replays in a session that runs already.
source "$source_dir/scripts/korva-wine.sh"
korva_find_wine
session="$work/ctest/korva-replay-session"
"$source_dir/scripts/korva-run" --start-session "$session"
trap '"$source_dir/scripts/korva-run" --stop-session "$session"' EXIT
korva_session_read "$session"
korva_session_wine_environment "$session"
export DISPLAY=$KORVA_SESSION_DISPLAY
mkdir -p "$work/harness"
start=$(clock)
for i in $(seq "$runs"); do
    KORVA_REPLAY_WORK="Z:$work/harness" "$KORVA_WINE" "$harness" --expect "$expect" "$program" "$script" \
        </dev/null >/dev/null 2>&1
done
own=$(echo "$(clock) - $start" | bc)

printf '%d replays: ctest with korva_add_replay_test %.2f s (%.3f s each), the harness alone %.2f s (%.3f s each); ratio %.2f%s\n' \
    "$runs" "$suite" "$(echo "$suite / $runs" | bc -l)" "$own" "$(echo "$own / $runs" | bc -l)" \
    "$(echo "$suite / $own" | bc -l)" "$(echo "$suite / $own <= 2" | bc -l | grep -q 1 && echo "" || echo "  over 2")"

# Late in a session against early: each round replays once right after a replay, then once after
# a pause that outlasts Wine's desktop, through korva-run as a suite does.
replay_once() {
    local start
    start=$(clock)
    "$source_dir/scripts/korva-run" --replay "$script" --session "$session" --expect "$expect" "$program" \
        >"$work/late.log" 2>&1 || { echo "a replay failed: see $work/late.log"; exit 1; }
    echo "$(clock) - $start" | bc
}
export KORVA_REPLAY_HARNESS=$harness
replay_once >/dev/null
early=0 late=0 rounds=2
for _ in $(seq "$rounds"); do
    early=$(echo "$early + $(replay_once)" | bc)
    sleep 25
    late=$(echo "$late + $(replay_once)" | bc)
done
printf 'a replay in a session: right after another %.3f s, after a 25 s pause %.3f s; ratio %.2f\n' \
    "$(echo "$early / $rounds" | bc -l)" "$(echo "$late / $rounds" | bc -l)" "$(echo "$late / $early" | bc -l)"
