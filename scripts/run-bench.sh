#!/usr/bin/env bash
# Runs every benchmark of a Windows build under Wine on a private display and prints its figures,
# then the runner's own figures (korva-run beside a plain wine).
#   run-bench.sh BUILD_DIR
set -euo pipefail
build=$(cd "${1:?usage: run-bench.sh BUILD_DIR [ARGS...]}" && pwd)
shift
here=$(cd "$(dirname "$0")" && pwd)
session="$build/bench-session"
"$here/wine-session.sh" start "$session" >/dev/null
trap '"$here/wine-session.sh" stop "$session"' EXIT
# The sound figures play to an audio device that writes to a file, which they read back.
# shellcheck source=korva-wine.sh
source "$here/korva-wine.sh"
audio="$build/bench-run/audio"
mkdir -p "$audio"
rm -f "$audio/device.raw"
korva_file_audio_config "$audio/device.raw" >"$audio/asound.conf"
korva_file_audio_environment "$audio/asound.conf" "$audio"
export KORVA_BENCH_AUDIO_FILE="Z:$audio/device.raw"
status=0
for exe in "$build"/bench/*_bench.exe; do
    [[ -e "$exe" ]] || continue
    echo "== $(basename "$exe" .exe)"
    workdir="$build/bench-run/$(basename "$exe" .exe)"
    mkdir -p "$workdir"
    (cd "$workdir" && "$here/wine-exec.sh" "$session" "$exe" "$@") || status=1
done
echo "== replay_suite_bench"
bash "$here/../bench/replay_suite_bench.sh" "$build" || status=1
echo "== runner_bench"
bash "$here/../bench/runner_bench.sh" "$build" || status=1
exit $status
