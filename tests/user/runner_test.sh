#!/usr/bin/env bash
# korva-run under real use, from the source tree with this build's launcher and harness: two runs
# at once on one Wine prefix each close their own program, which ends through its own code; a
# program's exit code is the run's; a crash ends every mode at once, named, with 134; Ctrl+C and
# kill end every mode at once and leave nothing running; a missing tool is named before anything
# starts; and --seconds is measured by the clock, not by counting sleeps. Every run starts in a
# process group of its own, and only those groups are looked at or ended.
#   runner_test.sh BUILD_DIR WORKDIR SOURCE_DIR
set -uo pipefail
build=$(cd "${1:?usage: runner_test.sh BUILD_DIR WORKDIR SOURCE_DIR}" && pwd)
work=${2:?}
source=$(cd "${3:?}" && pwd)
runner="$source/scripts/korva-run"
export KORVA_LAUNCHER="$build/tools/korva-launch.exe"
export KORVA_REPLAY_HARNESS="$build/tools/korva-replay.exe"
export KORVA_WINEPREFIX="$build/korva-run-prefix"
click_pad="$build/examples/click_pad.exe"
fixture="$build/tests/replay_fixture.exe"
crasher="$build/tests/crasher.exe"
rm -rf "$work"
mkdir -p "$work"
# The runs' own folders go inside this test's folder, not the machine's /tmp.
export TMPDIR="$work/tmp"
mkdir -p "$TMPDIR"
failures=()

# The processes still running in a run's process group (korva-run, its launcher, Wine and the
# program all stay in the group the run was started in). A zombie has ended already: it waits
# only for a parent outside the run (Wine hands its processes to the machine's first process)
# to collect its exit status.
leftovers() {
    ps -eo pid=,pgid=,stat=,args= | awk -v g="$1" '$2 == g && $3 !~ /^Z/ { $2 = ""; $3 = ""; print }'
}
# Ends whatever is left of a run's group.
end_group() {
    kill -9 -- "-$1" 2>/dev/null || true
}

# ---- two runs at once on one prefix ------------------------------------------------------------
# click_pad asks for a title, draws, and saves click_pad.bmp when its loop ends: the file is
# there only if the program ended through its own code.
for run in first second; do
    mkdir -p "$work/$run"
done
(cd "$work/first" && setsid "$runner" --headless --seconds 12 "$click_pad" >run.log 2>&1; echo $? >status) &
first=$!
sleep 1
(cd "$work/second" && setsid "$runner" --headless --seconds 2 "$click_pad" >run.log 2>&1; echo $? >status) &
wait $!
# The second run closed its own program only: the first is still running, long after.
kill -0 "$first" 2>/dev/null || failures+=("two at once: closing the second run's program ended the first one too")
wait "$first"
for run in first second; do
    status=$(cat "$work/$run/status")
    [[ "$status" == 0 ]] || failures+=("two at once: the $run run ended with $status: $(cat "$work/$run/run.log")")
    [[ -f "$work/$run/click_pad.bmp" ]] || failures+=("two at once: the $run program did not end through its own code")
done

# ---- runs on a display -------------------------------------------------------------------------
# After a run on a display that ended by itself, Wine is ended after korva-run returns: a run
# started straight after, or one still running beside it, must not be touched by that.
# shellcheck source=../../scripts/korva-wine.sh
source "$source/scripts/korva-wine.sh"
if korva_start_xvfb "$work/display-xvfb.log"; then
    display_xvfb=$KORVA_XVFB_PID
    groups=()
    for run in 1 2 3; do
        dir="$work/display-$run"
        mkdir -p "$dir"
        status=0
        (cd "$dir" && DISPLAY=$KORVA_XVFB_DISPLAY exec setsid "$runner" "$crasher" exit 0 >run.log 2>&1) &
        groups+=($!)
        wait $! || status=$?
        ((status == 0)) && grep -q '^open' "$dir/run.log" ||
            failures+=("run $run of three in a row on a display: exit code $status: $(cat "$dir/run.log")")
    done
    mkdir -p "$work/display-long" "$work/display-short"
    (cd "$work/display-long" && DISPLAY=$KORVA_XVFB_DISPLAY setsid "$runner" --seconds 8 "$click_pad" >run.log 2>&1
     echo $? >status) &
    long=$!
    groups+=($long)
    sleep 2
    (cd "$work/display-short" && DISPLAY=$KORVA_XVFB_DISPLAY exec setsid "$runner" "$crasher" exit 0 >run.log 2>&1) &
    groups+=($!)
    wait $!
    wait "$long"
    [[ "$(cat "$work/display-long/status")" == 0 && -f "$work/display-long/click_pad.bmp" ]] ||
        failures+=("a run on a display ended by one beside it that ended first: $(cat "$work/display-long/run.log")")
    # Once Wine is down (the last run holds this lock until then), nothing of the runs is left.
    flock -w 30 -x "$KORVA_WINEPREFIX.ending" true
    for group in "${groups[@]}"; do
        left=$(leftovers "$group")
        [[ -z "$left" ]] || { failures+=("runs on a display left running: $left"); end_group "$group"; }
    done
    korva_stop_xvfb "$display_xvfb"
else
    failures+=("runs on a display: could not start Xvfb")
fi

# ---- signals -----------------------------------------------------------------------------------
# Starts korva-run in the background (ARGS...), waits until the program runs, sends SIGNAL and
# expects EXIT soon after, with nothing of the run left behind.
stop_with() {
    local name=$1 signal=$2 expected=$3 pattern=$4
    shift 4
    local dir="$work/signal-$name"
    mkdir -p "$dir"
    (cd "$dir" && exec setsid "$runner" "$@" >run.log 2>&1) &
    local pid=$!
    for _ in $(seq 600); do
        leftovers "$pid" | grep -q "$pattern" && break
        sleep 0.1
    done
    sleep 1
    kill -s "$signal" "$pid"
    # Far below the run's own end (--seconds 120, --timeout 120): the run must answer the signal.
    local status=""
    for _ in $(seq 200); do
        kill -0 "$pid" 2>/dev/null || { wait "$pid"; status=$?; break; }
        sleep 0.1
    done
    if [[ -z "$status" ]]; then
        failures+=("$name: korva-run did not answer $signal within 20 s")
        kill -9 "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    elif [[ "$status" != "$expected" ]]; then
        failures+=("$name: expected exit code $expected after $signal, got $status: $(cat "$dir/run.log")")
    fi
    sleep 1
    local left
    left=$(leftovers "$pid")
    [[ -z "$left" ]] || { failures+=("$name: left running after $signal: $left"); end_group "$pid"; }
    # An interrupted replay leaves no work folder of its own behind.
    local folders
    folders=$(find "$KORVA_WINEPREFIX/drive_c" -maxdepth 6 -name 'korva-replay-*' 2>/dev/null | wc -l)
    ((folders == 0)) || failures+=("$name: $folders work folder(s) of the replay harness left in the prefix")
}
printf 'KORVA_KBD(104);\r\n' >"$work/hang.scr"
stop_with "Ctrl+C, timed run" INT 130 'click_pad\.exe' --headless --seconds 120 "$click_pad"
stop_with "kill, timed run" TERM 143 'click_pad\.exe' --headless --seconds 120 "$click_pad"
stop_with "kill, run until it ends" TERM 143 'click_pad\.exe' "$click_pad"
stop_with "Ctrl+C, replay" INT 130 'replay_fixture\.exe' --replay "$work/hang.scr" --timeout 120 "$fixture"
stop_with "kill, replay" TERM 143 'replay_fixture\.exe' --replay "$work/hang.scr" --timeout 120 "$fixture"

# ---- exit codes and crashes -------------------------------------------------------------------
# Runs korva-run ARGS... in a group of its own; sets status and out (its output).
run_alone() {
    local dir="$work/alone"
    mkdir -p "$dir"
    status=0
    (cd "$dir" && exec setsid "$runner" "$@" >run.log 2>&1) &
    local pid=$!
    wait "$pid" || status=$?
    out=$(cat "$dir/run.log")
    end_group "$pid"
}
for code in 7 0; do
    run_alone --headless --seconds 30 "$crasher" exit "$code"
    [[ "$status" == "$code" ]] || failures+=("a program's own exit code $code came back as $status: $out")
done
# A program killed from outside is not taken for one that returned 0 (under Wine both end with 0).
for mode in "--headless --seconds 60" "--headless"; do
    dir="$work/killed"
    mkdir -p "$dir"
    (cd "$dir" && exec setsid "$runner" $mode "$crasher" wait >run.log 2>&1) &
    pid=$!
    # The program says "open" on its output once the library is open.
    program=""
    for _ in $(seq 600); do
        grep -q '^open' "$dir/run.log" 2>/dev/null &&
            program=$(leftovers "$pid" | awk '$2 ~ /crasher\.exe$/ { print $1; exit }')
        [[ -n "$program" ]] && break
        sleep 0.1
    done
    status=0
    [[ -n "$program" ]] && kill -9 "$program"
    wait "$pid" || status=$?
    out=$(cat "$dir/run.log")
    end_group "$pid"
    [[ "$status" == 137 ]] || failures+=("a program killed from outside ($mode) ended korva-run with $status, not 137: $out")
    grep -q "crasher.exe was ended from outside before it finished" <<<"$out" ||
        failures+=("a program killed from outside ($mode) was not named: $out")
done
for mode in "--headless --seconds 30" "--headless"; do
    # shellcheck disable=SC2086
    run_alone $mode "$crasher" crash
    [[ "$status" == 134 ]] || failures+=("a crash ($mode) ended korva-run with $status, not 134: $out")
    grep -q "crasher.exe crashed: exception 0xC0000005, access violation" <<<"$out" ||
        failures+=("a crash ($mode) was not named with its exception: $out")
done

# ---- tools named up front ----------------------------------------------------------------------
# A PATH with everything but one tool.
path_without() {
    local dir="$work/path-without-$1" d f
    rm -rf "$dir"
    mkdir -p "$dir"
    for d in /usr/local/bin /usr/bin /bin; do
        for f in "$d"/*; do
            [[ -e "$dir/${f##*/}" || "${f##*/}" == "$1" ]] || ln -s "$f" "$dir/${f##*/}"
        done
    done
    echo "$dir"
}
check_missing() {
    local tool=$1 pattern=$2
    shift 2
    local out status=0
    out=$(PATH=$(path_without "$tool") "$runner" "$@" 2>&1 >/dev/null) || status=$?
    ((status == 2)) && grep -q "$pattern" <<<"$out" ||
        failures+=("without $tool: expected exit code 2 and a line naming it, got $status: $out")
}
check_missing Xvfb "needs Xvfb" --headless --seconds 1 "$click_pad"
check_missing import "needs import" --headless --seconds 1 --screenshot "$work/shot.png" "$click_pad"

# ---- a program that ends by itself while its screenshot is taken --------------------------------
# The picture takes three seconds (a slow import in front of the real one); the program ends with
# its own exit code 5 meanwhile. The run passes that code on, rather than dying on the closed pipe.
slow_import="$work/slow-import"
mkdir -p "$slow_import"
printf '#!/bin/bash\n/bin/sleep 3\nexec %q "$@"\n' "$(command -v import)" >"$slow_import/import"
chmod +x "$slow_import/import"
PATH="$slow_import:$PATH" run_alone --headless --seconds 1 --screenshot "$work/alone/shot.png" "$crasher" after 2000 5
[[ "$status" == 5 ]] || failures+=("a program that ended during its screenshot: exit code $status, not its own 5: $out")

# ---- sound ---------------------------------------------------------------------------------------
# --sound-file: what the program plays is written to a WAV file (a 1 s tone at 16000 of full
# scale, 16-bit stereo at 48000 a second), on a machine with or without speakers.
sounds="$build/tests/sound_scenes.exe"
rm -f "$work/alone/played.wav"
run_alone --headless --seconds 4 --sound-file "$work/alone/played.wav" "$sounds" one
heard=$(od -An -v -td2 -w4 -j44 "$work/alone/played.wav" 2>/dev/null |
    awk '{ v = $1 < 0 ? -$1 : $1; if (v > peak) peak = v; if (v > 300) n++ } END { printf "%d %.2f", peak, n / 48000 }')
[[ "$status" == 0 && "$(head -c 4 "$work/alone/played.wav" 2>/dev/null)" == RIFF ]] &&
    read -r peak seconds <<<"$heard" && ((peak >= 15800 && peak <= 16200)) &&
    awk -v s="$seconds" 'BEGIN { exit !(s >= 0.5 && s <= 1.01) }' ||
    failures+=("--sound-file: expected a WAV file holding the 1 s tone, got exit code $status, peak and seconds '$heard': $out")
# A program that plays nothing gets a WAV file with no samples.
run_alone --headless --seconds 1 --sound-file "$work/alone/silent.wav" "$crasher" exit 0
[[ "$status" == 0 && "$(stat -c %s "$work/alone/silent.wav" 2>/dev/null)" == 44 ]] ||
    failures+=("--sound-file of a program that plays nothing: exit code $status, no empty WAV file: $out")
# Without a sound card, a live run shows the program's own lines, not the audio library's.
if ! compgen -G "/dev/snd/controlC*" >/dev/null; then
    run_alone --headless --seconds 2 "$sounds" twice
    grep -q "ALSA lib" <<<"$out" && failures+=("a run without a sound card showed the audio library's complaints: $out")
    grep -q "No audio device: sounds are not played" <<<"$out" ||
        failures+=("a run without a sound card: the program was not told there is no device: $out")
fi

# ---- run folders of killed runs ----------------------------------------------------------------
# A folder whose runner has gone is removed by the next run; one whose runner still runs, and one
# that is no runner's, are left alone.
gone=$(bash -c 'echo $$')
mkdir -p "$TMPDIR/korva-run.stale1" "$TMPDIR/korva-run.alive1" "$TMPDIR/korva-run.other1"
echo "$gone 12345" >"$TMPDIR/korva-run.stale1/runner"
echo canvas >"$TMPDIR/korva-run.stale1/canvas.bmp"
echo "$$ $(awk '{ sub(/.*\) /, ""); split($0, f, " "); print f[20] }' /proc/$$/stat)" >"$TMPDIR/korva-run.alive1/runner"
echo mine >"$TMPDIR/korva-run.other1/notes.txt"
run_alone --headless --seconds 1 "$crasher" exit 0
[[ ! -e "$TMPDIR/korva-run.stale1" ]] || failures+=("a killed run's folder was not removed by the next run")
[[ -f "$TMPDIR/korva-run.alive1/runner" && -f "$TMPDIR/korva-run.other1/notes.txt" ]] ||
    failures+=("a run removed a folder that was not a killed run's: $(ls -A "$TMPDIR")")
rm -rf "$TMPDIR/korva-run.alive1" "$TMPDIR/korva-run.other1"
# A TMPDIR not made yet (a build's own folder after a clean) is made for the run.
TMPDIR="$TMPDIR/not-made-yet" run_alone --headless --seconds 1 "$crasher" exit 0
[[ "$status" == 0 && -d "$TMPDIR/not-made-yet" ]] || failures+=("a TMPDIR not made yet: exit code $status: $out")
rm -rf "$TMPDIR/not-made-yet"
left=$(ls -A "$TMPDIR" | grep '^korva-run\.')
[[ -z "$left" ]] || failures+=("runs left folders in TMPDIR: $left")

# ---- --seconds by the clock --------------------------------------------------------------------
# A sleep four times too slow, as on a loaded machine: the run still ends near its time. It is
# measured against the same run with the machine's own sleep, so a busy machine slows both.
slow="$work/slow-sleep"
mkdir -p "$slow"
printf '#!/bin/bash\nexec /bin/sleep "$(awk -v s="$1" '"'"'BEGIN { print s * 4 }'"'"')"\n' >"$slow/sleep"
chmod +x "$slow/sleep"
mkdir -p "$work/clock"
timed_run() {  # timed_run [PATH]: a 3-second run of click_pad; sets took (seconds) and status
    local start
    start=$(date +%s%N)
    (cd "$work/clock" && PATH="${1:-$PATH}" "$runner" --headless --seconds 3 "$click_pad" >run.log 2>&1)
    status=$?
    took=$((($(date +%s%N) - start) / 1000000))
}
timed_run
reference=$took
timed_run "$slow:$PATH"
((status == 0)) || failures+=("--seconds with a slow sleep: exit code $status: $(cat "$work/clock/run.log")")
# Counted sleeps would add 9 s and more (three seconds of sleeps taking twelve); the clock, little.
((took - reference < 6000)) ||
    failures+=("--seconds 3 with a slow sleep took $took ms against $reference ms: the time is counted by sleeps")

if ((${#failures[@]} > 0)); then
    printf 'FAIL: %s\n' "${failures[@]}"
    exit 1
fi
echo "runner: two runs at once, signals in every mode, missing tools and the clock all as expected"
