#!/usr/bin/env bash
# korva-run's bad use: each case gets one line on standard error, nothing on standard output,
# exit code 2, and runs nothing. The starter refuses to overwrite and then writes nothing.
#   runner_bad_use_test.sh WORKDIR SOURCE_DIR
set -uo pipefail
work=${1:?usage: runner_bad_use_test.sh WORKDIR SOURCE_DIR}
source=$(cd "${2:?}" && pwd)
runner="$source/scripts/korva-run"
rm -rf "$work"
mkdir -p "$work/a folder" "$work/existing"
cd "$work" || exit 1
printf 'just some text\n' >notes.exe
: >empty.exe
printf 'MZ not really a program\n' >fake.exe
printf '// mine\n' >existing/main.cpp
mkfifo a_pipe

fail=0
# name | environment (VAR=value, or -) | arguments (split on spaces; "a folder" is a directory)
cases=(
    "no program|-|"
    "unknown option|-|--bogus prog.exe"
    "--seconds without a number|-|--seconds"
    "--seconds not a number|-|--seconds soon fake.exe"
    "--screenshot without a file|-|--screenshot"
    "no such file|-|missing.exe"
    "a directory|-|a_folder"
    "a text file|-|notes.exe"
    "an empty file|-|empty.exe"
    "no Wine|KORVA_WINE=$work/no-such-wine|fake.exe"
    "screenshot into a missing folder|-|--headless --screenshot $work/nowhere/shot.png fake.exe"
    "--new onto an existing file|-|--new existing"
    "--new with a program too|-|--new fresh fake.exe"
    "--replay without a script|-|--replay"
    "--replay with no such script|-|--replay missing.scr fake.exe"
    "a replay option before --replay|-|--expect shot.bmp --replay notes.exe fake.exe"
    "--replay with program arguments|-|--replay notes.exe fake.exe extra"
    "--replay with a directory|-|--replay a_folder fake.exe"
    "--replay with a pipe|-|--replay a_pipe fake.exe"
    "--replay with a device|-|--replay /dev/zero fake.exe"
    "--expect naming a directory|-|--replay notes.exe --expect a_folder fake.exe"
    "--diff naming a directory|-|--replay notes.exe --expect shot.bmp --diff a_folder fake.exe"
    "--canvas naming a directory|-|--replay notes.exe --canvas a_folder fake.exe"
    "--sound-file naming a directory|-|--sound-file a_folder fake.exe"
    "--sound-file without a file|-|--sound-file"
    "--sound-file with --replay|-|--replay notes.exe --sound-file out.wav fake.exe"
    "--start-session in a folder Wine cannot name|-|--start-session $work/star*folder"
    "--start-session in a folder with a quote|-|--start-session $work/quote\"folder"
    "--stop-session of a folder that holds no session|-|--stop-session a_folder"
    "--session without --replay|-|--session a_folder fake.exe"
    "--session without a directory|-|--replay notes.exe --session"
    "--start-session without a directory|-|--start-session"
    "--stop-session with a program|-|--stop-session a_folder fake.exe"
)
for c in "${cases[@]}"; do
    IFS='|' read -r name env args <<<"$c"
    read -r -a argv <<<"$args"
    argv=("${argv[@]/#a_folder/a folder}")
    envs=()
    [[ "$env" != "-" ]] && envs=("$env")
    out=$(env "${envs[@]}" DISPLAY= "$runner" "${argv[@]}" 2>"$work/stderr"); status=$?
    err=$(cat "$work/stderr")
    lines=$(printf '%s' "$err" | grep -c '' || true)
    if ((status != 2)) || [[ -n "$out" ]] || ((lines != 1)) || [[ "$err" != korva-run:* ]]; then
        echo "FAIL: $name: expected exit code 2, no output and one 'korva-run:' line on stderr;" \
             "got exit code $status, output '$out', stderr ($lines lines) '$err'"
        fail=1
    fi
done

# The refused starter wrote nothing: the file is untouched and no other file appeared.
if [[ "$(cat existing/main.cpp)" != "// mine" ]] || [[ "$(ls existing)" != "main.cpp" ]] || [[ -e fresh ]]; then
    echo "FAIL: a refused --new changed files: existing/ holds '$(ls existing | tr '\n' ' ')'"
    fail=1
fi

# Good use for contrast: --help fits a screen; --new writes the three files.
help=$("$runner" --help); status=$?
if ((status != 0)) || (($(grep -c '' <<<"$help") > 24)); then
    echo "FAIL: --help: expected exit code 0 and at most 24 lines; got $status and $(grep -c '' <<<"$help") lines"
    fail=1
fi
"$runner" --new new-one >/dev/null; status=$?
for f in CMakeLists.txt main.cpp README.md; do
    [[ -s "new-one/$f" ]] || { echo "FAIL: --new: expected new-one/$f (exit code $status)"; fail=1; }
done
grep -q '^add_executable(new_one WIN32 main.cpp)$' new-one/CMakeLists.txt \
    || { echo "FAIL: --new: expected a WIN32 executable named new_one in CMakeLists.txt"; fail=1; }

((fail == 0)) || exit 1
echo "runner: ${#cases[@]} cases of bad use refused with one line each"
