#!/usr/bin/env bash
# Replay figures: how long korva-replay takes per replay (the whole harness run under Wine, and
# the program's own run as the harness measures it), whether repeated replays give identical
# canvases, and how long a script of 1000 events takes. Prints figures; checks nothing.
#   replay_bench.sh BUILD_DIR [RUNS]    (default 20 runs per replay)
set -euo pipefail
build=$(cd "${1:?usage: replay_bench.sh BUILD_DIR [RUNS]}" && pwd)
runs=${2:-20}
source_dir=$(cd "$(dirname "$0")/.." && pwd)
session="$build/bench-session"
"$source_dir/scripts/wine-session.sh" start "$session" >/dev/null
trap '"$source_dir/scripts/wine-session.sh" stop "$session"' EXIT
work="$build/bench-run/replay"
rm -rf "$work"
mkdir -p "$work"
cd "$work"

# A script of 1000 events for click_pad: 500 clicks, each followed by one periodic event.
for i in $(seq 0 499); do
    printf 'KORVA_MOUSE(%d, %d);\r\nKORVA_PERIODIC(1);\r\n' $((i % 50 * 11 - 270)) $((i / 50 * 40 - 200))
done >thousand_events.scr

cases=(
    "room.exe $source_dir/tests/replay/room_clicks.scr"
    "room.exe $source_dir/tests/replay/room_tour_entries.scr"
    "room.exe $source_dir/tests/replay/room_tour.scr"
    "tests/replay_fixture.exe $source_dir/tests/replay/fixture_events.scr"
    "examples/bouncing_ball.exe $source_dir/tests/replay/bouncing_ball_bounces.scr"
    "examples/click_pad.exe $source_dir/tests/replay/click_pad_dots.scr"
    "examples/colour_chart.exe $source_dir/tests/replay/colour_chart_still.scr"
    "examples/click_pad.exe $work/thousand_events.scr"
)
printf '%-18s %-24s %6s %10s %10s %10s %s\n' program script runs "harness s" "program s" "max prog" "canvases"
for entry in "${cases[@]}"; do
    read -r program script <<<"$entry"
    name=$(basename "$script" .scr)
    total=0 program_total=0 program_max=0
    for run in $(seq "$runs"); do
        start=$(date +%s.%N)
        out=$("$source_dir/scripts/wine-exec.sh" "$session" "$build/tools/korva-replay.exe" \
              --canvas "$name.$run.bmp" "$build/$program" "$script")
        end=$(date +%s.%N)
        seconds=$(sed -nE 's/.*after ([0-9.]+) s.*/\1/p' <<<"$out")
        total=$(echo "$total + $end - $start" | bc)
        program_total=$(echo "$program_total + $seconds" | bc)
        program_max=$(echo "if ($seconds > $program_max) $seconds else $program_max" | bc)
    done
    distinct=$(md5sum "$name".*.bmp | cut -d' ' -f1 | sort -u | wc -l)
    printf '%-18s %-24s %6d %10.3f %10.3f %10.3f %d distinct\n' "$(basename "$program" .exe)" "$name" "$runs" \
        "$(echo "$total / $runs" | bc -l)" "$(echo "$program_total / $runs" | bc -l)" "$program_max" "$distinct"
done
