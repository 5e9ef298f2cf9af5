#!/usr/bin/env bash
# Starts or stops a private test session: an Xvfb display and a persistent wineserver
# on a Wine prefix inside the given directory. Nothing outside that directory is touched,
# and "stop" leaves no process behind.
#   wine-session.sh start DIR    wine-session.sh stop DIR
# KORVA_SCREEN sets the display's screen (default 1280x1024x24).
set -euo pipefail

action=${1:?usage: wine-session.sh start|stop DIR}
dir=${2:?usage: wine-session.sh start|stop DIR}
mkdir -p "$dir"
dir=$(cd "$dir" && pwd)
envfile="$dir/session.env"

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=korva-wine.sh
source "$here/korva-wine.sh"
korva_find_wine || { echo "wine-session: no Wine found (install wine64)" >&2; exit 1; }

stop_session() {
    [[ -f "$envfile" ]] || return 0
    # shellcheck disable=SC1090
    source "$envfile"
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
    korva_stop_xvfb "${XVFB_PID:-}"
    rm -f "$envfile"
}

start_session() {
    stop_session
    korva_start_xvfb "$dir/xvfb.log" "${KORVA_SCREEN:-}" || { echo "wine-session: could not start Xvfb" >&2; exit 1; }

    # Every value quoted for the shell that sources the file: a folder's name is data, whatever
    # characters it holds.
    {
        printf 'export XVFB_PID=%q\n' "$KORVA_XVFB_PID"
        printf 'export DISPLAY=%q\n' "$KORVA_XVFB_DISPLAY"
        printf 'export WINEPREFIX=%q\n' "$dir/prefix"
        printf 'export WINEARCH=win64\nexport WINEDEBUG=-all\nexport WINEDLLOVERRIDES=%q\n' "mscoree,mshtml="
        printf 'export PATH=%q:"$PATH"\n' "$(dirname "$(command -v "$KORVA_WINE")")"
    } >"$envfile"
    # shellcheck disable=SC1090
    source "$envfile"
    mkdir -p "$WINEPREFIX"
    # Background processes must not hold the caller's output open (CTest waits for it).
    wineserver -p </dev/null >>"$dir/wineserver.log" 2>&1
    korva_prepare_prefix "$dir/wineboot.log"
    korva_start_wine_quietly "$dir/wineboot.log"
    # There is no window manager on Xvfb: Wine draws the captions and close boxes itself.
    korva_set_window_mode unmanaged
    echo "wine-session: display $DISPLAY, prefix $WINEPREFIX"
}

case "$action" in
    start) start_session ;;
    stop) stop_session ;;
    *) echo "usage: wine-session.sh start|stop DIR" >&2; exit 2 ;;
esac
