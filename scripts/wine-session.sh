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

WINE_DIR=/usr/lib/wine
export PATH="$WINE_DIR:$PATH"

stop_session() {
    [[ -f "$envfile" ]] || return 0
    # shellcheck disable=SC1090
    source "$envfile"
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
    if [[ -n "${XVFB_PID:-}" ]] && kill -0 "$XVFB_PID" 2>/dev/null; then
        kill "$XVFB_PID" 2>/dev/null || true
        for _ in $(seq 50); do kill -0 "$XVFB_PID" 2>/dev/null || break; sleep 0.1; done
        kill -9 "$XVFB_PID" 2>/dev/null || true
    fi
    rm -f "$envfile"
}

start_session() {
    stop_session
    local n
    for n in $(seq 91 250); do
        [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
        Xvfb ":$n" -screen 0 "${KORVA_SCREEN:-1280x1024x24}" -nolisten tcp -ac </dev/null >"$dir/xvfb.log" 2>&1 &
        local pid=$!
        for _ in $(seq 100); do
            [[ -e /tmp/.X11-unix/X$n ]] && break
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.05
        done
        if [[ -e /tmp/.X11-unix/X$n ]] && kill -0 "$pid" 2>/dev/null; then
            break
        fi
        kill "$pid" 2>/dev/null || true
        pid=""
    done
    [[ -n "${pid:-}" ]] || { echo "wine-session: could not start Xvfb" >&2; exit 1; }

    cat >"$envfile" <<ENV
export XVFB_PID=$pid
export DISPLAY=:$n
export WINEPREFIX="$dir/prefix"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export PATH="$WINE_DIR:\$PATH"
ENV
    # shellcheck disable=SC1090
    source "$envfile"
    mkdir -p "$WINEPREFIX"
    # Background processes must not hold the caller's output open (CTest waits for it).
    wineserver -p </dev/null >>"$dir/wineserver.log" 2>&1
    if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
        wine64 wineboot -i </dev/null >"$dir/wineboot.log" 2>&1 || true
    fi
    # There is no window manager on Xvfb: Wine draws the captions and close boxes itself.
    wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f </dev/null >/dev/null 2>&1 || true
    wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1 || true
    echo "wine-session: display :$n, prefix $WINEPREFIX"
}

case "$action" in
    start) start_session ;;
    stop) stop_session ;;
    *) echo "usage: wine-session.sh start|stop DIR" >&2; exit 2 ;;
esac
