#!/usr/bin/env bash
# What korva-run costs beside a plain `wine`: a program that opens, draws and ends, run RUNS
# times each way, alternately, with no Wine server running before either (each run starts it,
# as a learner's first run does). Its output goes to a file, as in a terminal, and to a pipe,
# as under CTest or $(...). Both on one private display without a window manager, with a
# prefix of their own. Prints medians and ratios; checks nothing.
#   runner_bench.sh BUILD_DIR [RUNS]    (default 10)
set -euo pipefail
build=$(cd "${1:?usage: runner_bench.sh BUILD_DIR [RUNS]}" && pwd)
runs=${2:-10}
source_dir=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=../scripts/korva-wine.sh
source "$source_dir/scripts/korva-wine.sh"
korva_find_wine || { echo "runner_bench: Wine is not installed" >&2; exit 1; }
work="$build/bench-run/runner"
mkdir -p "$work"
export WINEPREFIX="$work/prefix" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export KORVA_WINEPREFIX=$WINEPREFIX KORVA_LAUNCHER="$build/tools/korva-launch.exe"
program="$build/bench/open_draw_end.exe"
runner="$source_dir/scripts/korva-run"

korva_start_xvfb "$work/xvfb.log" || { echo "runner_bench: could not start Xvfb" >&2; exit 1; }
xvfb=$KORVA_XVFB_PID
export DISPLAY=$KORVA_XVFB_DISPLAY
stop_wine() {
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
}
trap 'stop_wine; korva_stop_xvfb "$xvfb"' EXIT
korva_prepare_prefix "$work/prefix.log"
korva_set_window_mode unmanaged
stop_wine

# Seconds one command takes, its output to a file (file) or read to its end through a pipe (pipe).
seconds_of() {
    local how=$1 start
    shift
    start=$EPOCHREALTIME
    if [[ "$how" == file ]]; then
        "$@" >"$work/out.txt" 2>&1
    else
        "$@" 2>&1 | cat >/dev/null
    fi
    echo "$EPOCHREALTIME - $start" | bc
}
median() {
    sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

printf '%-6s %6s %12s %12s %7s\n' output runs "korva-run s" "wine s" ratio
for how in file pipe; do
    : >"$work/run.times"
    : >"$work/wine.times"
    for _ in $(seq "$runs"); do
        seconds_of "$how" "$runner" "$program" >>"$work/run.times"
        stop_wine
        seconds_of "$how" "$KORVA_WINE" "$program" >>"$work/wine.times"
        stop_wine
    done
    run=$(median <"$work/run.times")
    wine=$(median <"$work/wine.times")
    printf '%-6s %6d %12.3f %12.3f %7.2f\n' "$how" "$runs" "$run" "$wine" "$(echo "$run / $wine" | bc -l)"
done
