#!/usr/bin/env bash
# Runs a Windows program in the test session started by wine-session.sh.
#   wine-exec.sh SESSION_DIR PROGRAM.exe [ARGS...]
set -euo pipefail
dir=${1:?usage: wine-exec.sh SESSION_DIR PROGRAM [ARGS...]}
shift
if [[ ! -f "$dir/session.env" ]]; then
    echo "wine-exec: no session in $dir (run wine-session.sh start $dir first)" >&2
    exit 2
fi
# shellcheck disable=SC1091
source "$dir/session.env"
exec wine64 "$@"
