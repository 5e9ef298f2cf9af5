#!/usr/bin/env bash
# Follows README.md's "Your first program" as a new user would, outside the source tree: builds and
# installs the package into a fresh prefix with the README's own install lines, makes the folder, writes the
# README's main.cpp and CMakeLists.txt, runs its build commands and its korva-run line (headless,
# with a screenshot), and checks the red circle in the picture. Then the same for a project
# written by "korva-run --new".
#   readme_test.sh BUILD_DIR WORKDIR SOURCE_DIR
set -euo pipefail
build=$(cd "${1:?usage: readme_test.sh BUILD_DIR WORKDIR SOURCE_DIR}" && pwd)
work=${2:?}
source=$(cd "${3:?}" && pwd)
# shellcheck source=user_common.sh
source "$source/tests/user/user_common.sh"
readme="$source/README.md"

# The first lines of each generated user script: stop at the first failure, show each command,
# take the README's exports, and start in folder $1 (written as the script is to read it).
script_head() {
    echo 'set -euxo pipefail'
    grep -E '^export ' <<<"$install_lines"
    echo "cd $1"
}

# Runs the generated script $work/$1.sh with its output in $work/$1.log; when it fails, shows
# the log and fails, naming what ran ($2) and what was expected of it ($3).
run_user_script() {
    local status=0
    bash "$work/$1.sh" >"$work/$1.log" 2>&1 || status=$?
    if ((status != 0)); then
        cat "$work/$1.log"
        echo "FAIL: $2: $3, got exit code $status (script $work/$1.sh)"
        exit 1
    fi
}

mkdir -p "$work"
# The user's home, and with it the prefix and the program's folder, lie outside the source tree.
HOME=$(mktemp -d "${TMPDIR:-/tmp}/korva-readme.XXXXXX")
export HOME
trap 'rm -rf "$HOME"' EXIT
unset XDG_DATA_HOME
# One Wine prefix for the runner's tests, kept in the build directory between runs.
export KORVA_WINEPREFIX="$build/korva-run-prefix"

# Install: the README's configure, build and install lines as written, in a build directory of
# the test's own (the README's build/win), so that a target the install needs but the README
# does not build fails here as it would for a new user. The dependencies are already there.
install_lines=$(readme_block install)
grep -q '^cmake --install build/win ' <<<"$install_lines" \
    || { echo "FAIL: README's install block has no 'cmake --install build/win' line"; exit 1; }
fresh_build="$work/readme-build"
rm -rf "$fresh_build"
# Each line stops the script when it fails (set -e does not act inside a tested subshell).
install_script=$(grep -E '^(cmake|export) ' <<<"$install_lines" | sed -e "s#build/win#$fresh_build#g" -e 's/$/ || exit 1/')
(cd "$source" && eval "$install_script") >"$work/install.log" 2>&1 \
    || { cat "$work/install.log"; echo "FAIL: README's install lines did not succeed"; exit 1; }
for f in include/korva/korva.h lib/libkorva.a lib/cmake/korva/korvaConfig.cmake lib/pkgconfig/korva.pc \
         share/korva/mingw-w64-x86_64.cmake share/korva/korva-wine.sh bin/korva-run bin/korva-replay.exe \
         bin/korva-launch.exe; do
    [[ -f "$HOME/korva/$f" ]] || { echo "FAIL: expected $f in the installed prefix, not found"; exit 1; }
done

# The folder, the two files and the build and run commands, run as one shell script whose
# korva-run line runs headless and saves a screenshot.
shot="$work/first.png"
rm -f "$shot"
{
    script_head '"$HOME"'
    readme_block folder
    echo "cat >main.cpp <<'README_EOF'"
    readme_block main.cpp
    echo 'README_EOF'
    echo "cat >CMakeLists.txt <<'README_EOF'"
    readme_block CMakeLists.txt
    echo 'README_EOF'
    echo '[[ "$(command -v korva-run)" == "$HOME/korva/bin/korva-run" ]]'
    readme_block "build and run" | sed "s#^korva-run #korva-run --headless --seconds 2 --screenshot $shot #"
} >"$work/first.sh"
run_user_script first "the README's first program" "expected exit code 0"
check_red_circle "$shot"
echo "readme: installed, built and ran the README's first program; the red circle is in the middle"

# Without CMake: each documented line, exactly as written in README.md and docs/API.md, links a
# program that runs.
{
    script_head '"$HOME/first"'
    readme_block "no cmake"
    # docs/API.md's two lines, with its <prefix> as the README's.
    awk '/Without CMake, on Linux/ { on = 1 } on { print } /pkg-config --cflags --libs korva/ { exit }' \
        "$source/docs/API.md" | tr '\n' ' ' | grep -o '`x86_64-w64-mingw32-g++-posix[^`]*`' | tr -d '`' |
        sed -e 's#<prefix>#$HOME/korva#g' -e 's/  */ /g'
    echo 'korva-run --headless --seconds 2 main.exe'
    echo 'korva-run --headless --seconds 2 first.exe'
} >"$work/no_cmake.sh"
[[ $(grep -c 'x86_64-w64-mingw32-g++-posix' "$work/no_cmake.sh") -eq 4 ]] \
    || { cat "$work/no_cmake.sh"; echo "FAIL: expected two build lines in README.md and two in docs/API.md"; exit 1; }
run_user_script no_cmake "the build lines without CMake" "expected each to link a program that runs"
echo "readme: the build lines without CMake and with pkg-config linked programs that run"

# The starter's project builds and runs the same way.
starter_shot="$work/starter.png"
rm -f "$starter_shot"
{
    script_head '"$HOME"'
    echo 'korva-run --new my-game'
    echo 'cd my-game'
    readme_block "build and run" | sed -e "s#build/first.exe#build/my_game.exe#" \
        -e "s#^korva-run #korva-run --headless --seconds 2 --screenshot $starter_shot #"
} >"$work/starter.sh"
run_user_script starter "the starter's project" "expected exit code 0"
check_red_circle "$starter_shot"
grep -qF "$HOME/korva/share/korva/mingw-w64-x86_64.cmake" "$HOME/my-game/README.md" \
    || { echo "FAIL: the starter's README does not name the installed toolchain"; exit 1; }
echo "readme: the starter's project built and ran; the red circle is in the middle"

# The replay steps, as written, on the first program: a recording of two clicks stands in for
# step 1 (made by hand at the keyboard), steps 2 and 3 must pass, and a recording with a third
# click must make step 3 fail with exit code 1 (the pictures differ).
replay_lines=$(readme_block replay)
replay_steps=$(grep -E '^korva-run --replay ' <<<"$replay_lines" | sed -e 's/[[:space:]]*#.*$//' -e 's#my_program.exe#build/first.exe#')
[[ $(wc -l <<<"$replay_steps") -eq 2 ]] \
    || { echo "FAIL: README's replay block: expected two 'korva-run --replay' steps"; exit 1; }
{
    script_head '"$HOME/first"'
    echo 'printf "KORVA_MOUSE(-100, 40);\nKORVA_MOUSE(120, -60);\n" >KORVA.SCR'
    echo "$replay_steps"
    echo '[[ -f expected.bmp ]]'
    echo 'printf "KORVA_MOUSE(-100, 40);\nKORVA_MOUSE(120, -60);\nKORVA_MOUSE(0, 150);\n" >KORVA.SCR'
    echo 'status=0'
    tail -n 1 <<<"$replay_steps" | sed 's#$# || status=$?#'
    echo '[[ $status -eq 1 && -f diff.bmp ]]'
} >"$work/replay.sh"
run_user_script replay "the README's replay steps" "expected a match, then a reported difference"
echo "readme: the README's replay steps made the expected picture, matched it, and caught a changed run"

# The replay as a ctest test, with README's two lines, for a game that loads a picture and a sound
# by name from its folder (where it was recorded): the build folder holds only the program, so
# the test must run it where the files are. It passes with the shared session started and stopped
# around it, and a changed run fails with the count of differing pixels on ctest's output.
cmake_lines=$(readme_block "replay cmake") || exit 1
mkdir -p "$HOME/game"
cp "$source/tests/win32/pictures/sprite.png" "$source/examples/shot.wav" "$HOME/game/"
cat >"$HOME/game/main.cpp" <<'GAME_EOF'
#include <korva/korva.h>

int room_main() {
    KORVA_open();
    KORVA_clear();
    int sprite = KORVA_load_picture("sprite.png");
    int shot = KORVA_load_sound("shot.wav");
    int32_t kind, x, y, region; char key; CharacterRecord hero;
    while ((kind = KORVA_wait_event(&x, &y, &key, &region, &hero)) != KORVA_EXIT) {
        if (kind != KORVA_MOUSE) continue;
        KORVA_draw_picture(sprite, x, y);
        KORVA_play_sound(shot);
    }
    KORVA_close();
    return 0;
}
GAME_EOF
readme_block CMakeLists.txt | sed 's/first/game/g' >"$HOME/game/CMakeLists.txt"
sed -e 's/my_program/game/' -e 's/first_round/game_round/' <<<"$cmake_lines" >"$work/game_test_lines.cmake"
{
    script_head '"$HOME/game"'
    readme_block "build and run" | grep -E '^cmake '
    echo 'printf "KORVA_MOUSE(-100, 40);\nKORVA_MOUSE(120, -60);\n" >KORVA.SCR'
    echo 'korva-run --replay KORVA.SCR --update --expect expected.bmp build/game.exe'
    # Then README's two lines, once the expected picture exists.
    echo "cat $work/game_test_lines.cmake >>CMakeLists.txt"
    readme_block "build and run" | grep -E '^cmake '
    echo 'ctest --test-dir build --output-on-failure >ctest.log 2>&1 || { cat ctest.log; exit 1; }'
    echo 'for t in korva_replay_session_start game_round korva_replay_session_stop; do'
    echo '    grep -qE "Test +#[0-9]+: $t \.+ +Passed" ctest.log || { cat ctest.log; exit 1; }'
    echo 'done'
    echo 'printf "KORVA_MOUSE(-100, 40);\nKORVA_MOUSE(120, -60);\nKORVA_MOUSE(0, 150);\n" >KORVA.SCR'
    echo 'if ctest --test-dir build --output-on-failure >changed.log 2>&1; then cat changed.log; exit 1; fi'
    echo 'grep -qE "[0-9]+ of [0-9]+ pixels differ" changed.log || { cat changed.log; exit 1; }'
} >"$work/game.sh"
run_user_script game "a game's replay under ctest" "expected it to pass from the build folder, then a changed run to fail with its count"
echo "readme: a game's replay with a picture and a sound passed under ctest, and a changed run failed with its count"

