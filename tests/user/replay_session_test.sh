#!/usr/bin/env bash
# A suite's shared replay session under real use, with this build's harness: replays in it use
# its display and leave it running, two at once included; suites that join it leave it running
# for each other until the last one stops it, and then nothing of it is left; a replay where no
# session runs replays on a display of its own; a state file naming another process's pid never
# makes a stop end that process; and a session nobody stops ends by itself once idle.
#   replay_session_test.sh BUILD_DIR WORKDIR SOURCE_DIR
set -uo pipefail
build=$(cd "${1:?usage: replay_session_test.sh BUILD_DIR WORKDIR SOURCE_DIR}" && pwd)
work=${2:?}
source=$(cd "${3:?}" && pwd)
runner="$source/scripts/korva-run"
export KORVA_REPLAY_HARNESS="$build/tools/korva-replay.exe"
export KORVA_WINEPREFIX="$build/korva-run-prefix"
click_pad="$build/examples/click_pad.exe"
script="$source/tests/replay/click_pad_dots.scr"
expect="$source/tests/replay/click_pad_dots.bmp"
rm -rf "$work"
mkdir -p "$work"
session="$work/session"
failures=()
# shellcheck source=../../scripts/korva-wine.sh
source "$source/scripts/korva-wine.sh"

# Whether a process runs: a zombie has ended, and only waits for the machine's first process,
# which collects them late, to be reaped.
alive() {
    local st
    st=$(awk '{print $3}' "/proc/$1/stat" 2>/dev/null) && [[ "$st" != Z ]]
}
state() { cat "$session/session" 2>/dev/null | tr '\n' ' '; }
xvfb_of() { sed -n 's/^xvfb=//p' "$1/session" 2>/dev/null; }
# Processes (not zombies) of the session's Wine prefix.
wine_of_session() {
    local p
    for p in /proc/[0-9]*; do
        [[ "$(awk '{print $3}' "$p/stat" 2>/dev/null)" == Z ]] && continue
        tr '\0' '\n' <"$p/environ" 2>/dev/null | grep -qx "WINEPREFIX=$session/prefix" && basename "$p"
    done
}
replay() {  # replay NAME: the dots script in the session, its output in NAME.log, its status
    (cd "$work" && "$runner" --replay "$script" --session "$session" --expect "$expect" "$click_pad" \
        >"$1.log" 2>&1)
}

# ---- a session and replays in it ---------------------------------------------------------------
"$runner" --start-session "$session" || failures+=("start: korva-run --start-session failed")
xvfb=$(xvfb_of "$session")
[[ -n "$xvfb" ]] && alive "$xvfb" || failures+=("start: no display running; state: $(state)")
[[ "$(state)" == *"users=1 "* ]] || failures+=("start: expected one suite in the state, got: $(state)")

replay one || failures+=("one replay in the session failed: $(cat "$work/one.log")")
grep -q "no session runs" "$work/one.log" && failures+=("one replay did not use the running session: $(cat "$work/one.log")")
alive "$xvfb" || failures+=("the replay ended the session's display")

replay two_a & a=$!
replay two_b & b=$!
wait $a || failures+=("two at once: the first failed: $(cat "$work/two_a.log")")
wait $b || failures+=("two at once: the second failed: $(cat "$work/two_b.log")")
grep -q "no session runs" "$work/two_a.log" "$work/two_b.log" && failures+=("two at once: a replay did not use the session")

# ---- a stop while a replay runs ----------------------------------------------------------------
# The last suite's stop waits for a replay still running in the session: the replay ends as it
# would have (here by its time limit), never for want of its display or its Wine.
printf 'KORVA_KBD(104);\r\n' >"$work/hang.scr"
(cd "$work" && "$runner" --replay "$work/hang.scr" --session "$session" --timeout 4 "$build/tests/replay_fixture.exe" \
    >"$work/during_stop.log" 2>&1; echo $? >"$work/during_stop.status") &
replaying=$!
# The replay has the session once it has marked it used (under the session's lock).
for _ in $(seq 300); do
    [[ -e "$session/used" && "$session/used" -nt "$work/hang.scr" ]] && break
    sleep 0.1
done
sleep 0.5
"$runner" --start-session "$session"
"$runner" --stop-session "$session"
"$runner" --stop-session "$session"
# The replay has told how it ended before the stop could take its session.
grep -q "did not end within the time limit" "$work/during_stop.log" ||
    failures+=("a stop during a replay returned before the replay had ended: $(cat "$work/during_stop.log")")
wait "$replaying"
[[ "$(cat "$work/during_stop.status")" == 5 ]] && grep -q "did not end within the time limit" "$work/during_stop.log" ||
    failures+=("a stop during a replay: the replay did not end by its own limit (exit $(cat "$work/during_stop.status")): $(cat "$work/during_stop.log")")
"$runner" --start-session "$session"
xvfb=$(xvfb_of "$session")

# ---- suites join and leave ---------------------------------------------------------------------
"$runner" --start-session "$session"
[[ "$(xvfb_of "$session")" == "$xvfb" ]] || failures+=("join: a second suite started another display")
[[ "$(state)" == *"users=2 "* ]] || failures+=("join: expected two suites, got: $(state)")
"$runner" --stop-session "$session"
alive "$xvfb" || failures+=("leave: the first suite out stopped the display the other still uses")
replay after_leave || failures+=("leave: a replay after one suite left failed: $(cat "$work/after_leave.log")")
"$runner" --stop-session "$session"
for _ in $(seq 50); do alive "$xvfb" || break; sleep 0.1; done
alive "$xvfb" && failures+=("stop: the last suite out left the display running")
left=$(wine_of_session)
[[ -z "$left" ]] || failures+=("stop: Wine processes of the session left: $left")

# ---- no session --------------------------------------------------------------------------------
replay no_session || failures+=("no session: the replay failed: $(cat "$work/no_session.log")")
grep -q "no session runs in $session; replaying on a display of its own" "$work/no_session.log" ||
    failures+=("no session: expected the fallback to be named: $(cat "$work/no_session.log")")

# ---- a state file that names another process ---------------------------------------------------
sleep 300 & other=$!
printf 'xvfb=%s\ndisplay=:93\nusers=1\n' "$other" >"$session/session"
"$runner" --stop-session "$session"
alive "$other" || failures+=("a stale state file: stopping the session killed another process")
replay stale || failures+=("a stale state file: the replay failed: $(cat "$work/stale.log")")
grep -q "no session runs" "$work/stale.log" || failures+=("a stale state file: the replay took another process for the display")
kill "$other" 2>/dev/null; wait "$other" 2>/dev/null

# ---- a pause longer than Wine's idle time ------------------------------------------------------
# Wine's server and desktop go while the suite pauses; the next replay starts them again on the
# session's display, and neither is blamed on the program.
KORVA_SESSION_IDLE=2 "$runner" --start-session "$session"
xvfb=$(xvfb_of "$session")
replay before_pause || failures+=("pause: the replay before it failed: $(cat "$work/before_pause.log")")
sleep 8
replay after_pause || failures+=("pause: the replay after it failed: $(cat "$work/after_pause.log")")
grep -q "no session runs" "$work/after_pause.log" && failures+=("pause: the session was gone after 8 s")
grep -q "process(es) running" "$work/after_pause.log" "$work/before_pause.log" &&
    failures+=("pause: Wine's own processes were blamed on the program: $(cat "$work/after_pause.log")")
[[ "$(xvfb_of "$session")" == "$xvfb" ]] && alive "$xvfb" || failures+=("pause: the session's display was replaced")
"$runner" --stop-session "$session"
# Wine's desktop goes 5 to 18 s after the last window while its server stays: the next replay's
# program must not start a new one inside its own job, to be ended and blamed on it.
"$runner" --start-session "$session"
replay before_desktop_goes || failures+=("desktop: the first replay failed: $(cat "$work/before_desktop_goes.log")")
sleep 20
replay after_desktop_went || failures+=("desktop: the replay after 20 s failed: $(cat "$work/after_desktop_went.log")")
grep -q "process(es) running" "$work/after_desktop_went.log" &&
    failures+=("desktop: Wine's own desktop was blamed on the program: $(cat "$work/after_desktop_went.log")")
"$runner" --stop-session "$session"
out=$("$runner" --stop-session "$session" 2>&1) ||
    failures+=("a second stop: expected exit code 0, got $?: $out")
grep -q "no session runs in .* any more" <<<"$out" || failures+=("a second stop said nothing: $out")

# ---- a session nobody stops --------------------------------------------------------------------
KORVA_SESSION_IDLE=2 KORVA_SESSION_DISPLAY_IDLE=3 "$runner" --start-session "$session"
xvfb=$(xvfb_of "$session")
replay idle || failures+=("idle: the replay failed: $(cat "$work/idle.log")")
# Generous: the point is that it ends at all, not how soon.
for _ in $(seq 600); do alive "$xvfb" || break; sleep 0.1; done
alive "$xvfb" && failures+=("idle: a session nobody stopped still runs 60 s after its last replay")
left=$(wine_of_session)
[[ -z "$left" ]] || failures+=("idle: Wine processes of the session left: $left")
"$runner" --stop-session "$session"

# ---- the test fixture's session folder is data ------------------------------------------------
# A folder whose name holds shell code: the session file that names it is sourced, and must run
# nothing of it.
odd="$work/odd \$(touch $work/INJECTED)"
"$source/scripts/wine-session.sh" start "$odd" >/dev/null 2>&1 || failures+=("wine-session.sh: could not start in $odd")
"$source/scripts/wine-exec.sh" "$odd" cmd /c exit >/dev/null 2>&1 || failures+=("wine-exec.sh: could not run in $odd")
"$source/scripts/wine-session.sh" stop "$odd" >/dev/null 2>&1
[[ ! -e "$work/INJECTED" ]] || failures+=("wine-session.sh ran the shell code in a folder's name")

if ((${#failures[@]})); then
    printf 'FAIL: %s\n' "${failures[@]}"
    exit 1
fi
echo "replay session: all cases passed"
