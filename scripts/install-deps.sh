#!/usr/bin/env bash
# Installs the tools that building, running and testing KORVA need on Debian.
# A no-op when everything is already there; apt-get runs only for what is missing.
set -euo pipefail

PACKAGES=(
  cmake ninja-build make g++ clang libclang-rt-14-dev   # host build, sanitizers and the fuzzer
  g++-mingw-w64-x86-64-posix                             # the Windows cross compiler
  googletest                                             # test framework sources, built for both targets
  wine64 fonts-wine                                      # runs the .exe files on Linux, with its own system fonts
  xvfb xauth                                             # a headless X display for tests
  xdotool x11-utils imagemagick                          # real X input and screenshots
  pkg-config                                             # the documented build without CMake
)

missing=()
for p in "${PACKAGES[@]}"; do
  [[ "$p" == \#* ]] && continue
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if ((${#missing[@]} == 0)); then
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
SUDO=""
if [[ $(id -u) -ne 0 ]]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
if ! $SUDO apt-get install -y --no-install-recommends "${missing[@]}"; then
  $SUDO apt-get update
  $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
