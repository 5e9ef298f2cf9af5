#!/usr/bin/env bash
# Installs this build's KORVA package into a private prefix, builds tests/consumer against it
# with the cross toolchain (no path into the source tree), and runs the program under Wine.
#   consumer_test.sh SESSION_DIR BUILD_DIR WORKDIR SOURCE_DIR
set -euo pipefail
session=${1:?usage: consumer_test.sh SESSION_DIR BUILD_DIR WORKDIR SOURCE_DIR}
build=${2:?}
work=${3:?}
source=${4:?}

prefix="$work/prefix"
rm -rf "$prefix" "$work/build"
cmake --install "$build" --prefix "$prefix" >"$work/install.log"

fail=0
expect_file() {
    if [[ ! -f "$prefix/$1" ]]; then
        echo "FAIL: expected installed file $1, not found"
        fail=1
    fi
}
expect_file include/korva/korva.h
expect_file lib/libkorva.a
expect_file bin/korva-replay.exe
expect_file lib/cmake/korva/korvaConfig.cmake
expect_file lib/cmake/korva/korvaConfigVersion.cmake
expect_file lib/cmake/korva/korvaTargets.cmake
expect_file share/korva/mingw-w64-x86_64.cmake
expect_file share/korva/korva-wine.sh
expect_file bin/korva-run
# The public header is the whole interface: nothing of the library's insides is installed.
extra=$(cd "$prefix/include" && find . -type f ! -path ./korva/korva.h)
if [[ -n "$extra" ]]; then
    echo "FAIL: expected only korva/korva.h under include/, found also: $extra"
    fail=1
fi
((fail == 0)) || exit 1

# The tree's own toolchain file finds the package through CMAKE_PREFIX_PATH alone (the README
# test covers the installed copy of the toolchain).
cmake -S "$source/tests/consumer" -B "$work/build" -G Ninja \
      -DCMAKE_TOOLCHAIN_FILE="$source/cmake/mingw-w64-x86_64.cmake" \
      -DCMAKE_PREFIX_PATH="$prefix" >"$work/configure.log" \
    || { cat "$work/configure.log"; echo "FAIL: the consumer did not configure"; exit 1; }
cmake --build "$work/build" >"$work/build.log" 2>&1 \
    || { cat "$work/build.log"; echo "FAIL: the consumer did not build"; exit 1; }

cd "$work"
status=0
timeout 120 "$source/scripts/wine-exec.sh" "$session" "$work/build/consumer.exe" || status=$?
if ((status != 0)); then
    echo "FAIL: consumer.exe exit code: expected 0, got $status"
    exit 1
fi
echo "consumer: installed, configured, built and ran with exit code 0"
