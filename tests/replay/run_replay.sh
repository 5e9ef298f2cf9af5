#!/usr/bin/env bash
# One replay test: korva-replay runs PROGRAM on SCRIPT and compares its final canvas with
# EXPECTED. On a failure the canvas and the difference image stay in WORKDIR.
#   run_replay.sh SESSION_DIR HARNESS PROGRAM SCRIPT EXPECTED WORKDIR SOURCE_DIR
set -euo pipefail
session=$1 harness=$2 program=$3 script=$4 expected=$5 work=$6 source=$7
mkdir -p "$work"
cd "$work"
rm -f canvas.bmp diff.bmp
status=0
# The harness has its own time limit; this one only guards against the harness itself hanging.
timeout 180 "$source/scripts/wine-exec.sh" "$session" "$harness" --timeout 60 --canvas canvas.bmp \
    --expect "$expected" --diff diff.bmp "$program" "$script" || status=$?
if ((status != 0)); then
    echo "FAIL: korva-replay ended with exit code $status; canvas: $work/canvas.bmp, difference: $work/diff.bmp"
    exit 1
fi
