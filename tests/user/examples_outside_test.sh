#!/usr/bin/env bash
# Builds the examples/ folder as a user's own project would: copied outside the source tree and
# built with README.md's own lines against a freshly installed package and its toolchain; then
# runs each program headless with the installed korva-run, closes it as its close box would and
# expects exit code 0; and runs the replay test the folder registers with ctest.
#   examples_outside_test.sh BUILD_DIR WORKDIR SOURCE_DIR
set -euo pipefail
build=$(cd "${1:?usage: examples_outside_test.sh BUILD_DIR WORKDIR SOURCE_DIR}" && pwd)
work=${2:?}
source=$(cd "${3:?}" && pwd)
# shellcheck source=user_common.sh
source "$source/tests/user/user_common.sh"

mkdir -p "$work"
outside=$(mktemp -d "${TMPDIR:-/tmp}/korva-examples.XXXXXX")
trap 'rm -rf "$outside"' EXIT
prefix="$outside/prefix"
project="$outside/examples"
install_package "$build" "$prefix" "$work/install.log"
rm -rf "$project"
mkdir -p "$project"
export KORVA_WINEPREFIX="$build/korva-run-prefix"

names=()
for source_file in "$source"/examples/*.cpp; do
    names+=("$(basename "$source_file" .cpp)")
done
((${#names[@]} > 0)) || { echo "FAIL: no programs in $source/examples"; exit 1; }
# The folder as it is in the repository, copied outside it.
cp -r "$source/examples" "$project/examples"

# README.md's lines for building the examples as a user's project, as written, with the prefix
# at $HOME/korva and the run line left for the loop below.
readme="$source/README.md"
lines=$(readme_block examples) || exit 1
build_lines=$(grep -E '^cmake ' <<<"$lines")
[[ $(wc -l <<<"$build_lines") -eq 2 ]] || { echo "FAIL: README's examples block: expected two cmake lines"; exit 1; }
grep -qE '^korva-run build/examples/[a-z_]+\.exe$' <<<"$lines" \
    || { echo "FAIL: README's examples block: expected a 'korva-run build/examples/NAME.exe' line"; exit 1; }
ln -s "$prefix" "$outside/korva"
(cd "$project" && HOME="$outside" && eval "$(sed 's/$/ || exit 1/' <<<"$build_lines")") >"$work/build.log" 2>&1 \
    || { cat "$work/build.log"; echo "FAIL: the examples did not build outside the tree with README's lines"; exit 1; }

fail=0
cd "$project"
for name in "${names[@]}"; do
    status=0
    "$prefix/bin/korva-run" --headless --seconds 1 --screenshot "$work/$name.png" "build/examples/$name.exe" \
        >"$work/$name.log" 2>&1 || status=$?
    if ((status != 0)); then
        cat "$work/$name.log"
        echo "FAIL: example $name: expected exit code 0 after closing, got $status"
        fail=1
    elif [[ ! -s "$work/$name.png" ]]; then
        echo "FAIL: example $name: no screenshot"
        fail=1
    fi
done
((fail == 0)) || exit 1

# The replay test the examples register with the installed korva_add_replay_test, run by ctest.
(cd build/examples && ctest -R '^replay_rocks_round$' --output-on-failure) >"$work/ctest.log" 2>&1 ||
    { cat "$work/ctest.log"; echo "FAIL: the examples' replay test did not pass under ctest"; exit 1; }
# The replay itself, and the shared session's start before it and stop after it.
for test in korva_replay_session_start replay_rocks_round korva_replay_session_stop; do
    grep -qE "Test +#[0-9]+: $test \.+ +Passed" "$work/ctest.log" ||
        { cat "$work/ctest.log"; echo "FAIL: ctest did not pass $test"; exit 1; }
done
echo "examples: ${names[*]} built outside the tree and ran with exit code 0; their replay test passed under ctest"
