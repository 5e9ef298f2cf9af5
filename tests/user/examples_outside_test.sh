#!/usr/bin/env bash
# Builds every program of examples/ as a user's own project would: copied to a folder outside
# the source tree, with a CMakeLists.txt of the README's shape, against a freshly installed
# package and its toolchain; then runs each one headless with the installed korva-run, closes it
# as its close box would and expects exit code 0.
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
    cp "$source_file" "$project/"
done
((${#names[@]} > 0)) || { echo "FAIL: no programs in $source/examples"; exit 1; }
{
    echo 'cmake_minimum_required(VERSION 3.20)'
    echo 'project(my_examples LANGUAGES CXX)'
    echo 'find_package(korva CONFIG REQUIRED)'
    for name in "${names[@]}"; do
        echo "add_executable($name WIN32 $name.cpp)"
        echo "target_link_libraries($name PRIVATE korva::korva)"
    done
} >"$project/CMakeLists.txt"

cmake -S "$project" -B "$project/build" -DCMAKE_TOOLCHAIN_FILE="$prefix/share/korva/mingw-w64-x86_64.cmake" \
      -DCMAKE_PREFIX_PATH="$prefix" >"$work/configure.log" 2>&1 \
    || { cat "$work/configure.log"; echo "FAIL: the examples did not configure outside the tree"; exit 1; }
cmake --build "$project/build" >"$work/build.log" 2>&1 \
    || { cat "$work/build.log"; echo "FAIL: the examples did not build outside the tree"; exit 1; }

fail=0
cd "$project"
for name in "${names[@]}"; do
    status=0
    "$prefix/bin/korva-run" --headless --seconds 1 --screenshot "$work/$name.png" "build/$name.exe" \
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
echo "examples: ${names[*]} built outside the tree and ran with exit code 0"
