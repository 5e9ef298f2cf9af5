# shellcheck shell=bash
# Wine set-up shared by korva-run and the test session (sourced, not run): finding Wine, making
# a quiet prefix with the caption font in it, suiting the prefix to the display's window manager,
# and a private Xvfb display.

# Puts wine64 (or wine) and wineserver on PATH and names it in KORVA_WINE; 1 when there is none.
# Debian installs wine64 under /usr/lib/wine only, with no command on PATH. A KORVA_WINE set
# beforehand names the Wine to use (its wineserver beside it).
korva_find_wine() {
    local dir
    if [[ -n "${KORVA_WINE:-}" ]]; then
        command -v "$KORVA_WINE" >/dev/null 2>&1 || return 1
        dir=$(dirname "$(command -v "$KORVA_WINE")")
        PATH="$dir:$PATH"
        export PATH
        return 0
    fi
    for dir in "" /usr/lib/wine /usr/lib/wine64 /opt/wine-stable/bin; do
        if [[ -z "$dir" ]]; then
            if command -v wine64 >/dev/null 2>&1; then KORVA_WINE=wine64; return 0; fi
            if command -v wine >/dev/null 2>&1; then KORVA_WINE=wine; return 0; fi
        elif [[ -x "$dir/wine64" || -x "$dir/wine" ]]; then
            PATH="$dir:$PATH"
            if [[ -x "$dir/wine64" ]]; then KORVA_WINE=wine64; else KORVA_WINE=wine; fi
            export PATH
            return 0
        fi
    done
    return 1
}

# Wine's own Marlett font, which draws the symbols of the caption buttons.
korva_marlett_font() {
    local f
    for f in /usr/share/wine/fonts/marlett.ttf /usr/lib/wine/fonts/marlett.ttf \
             /usr/share/fonts/wine/marlett.ttf /opt/wine-stable/share/wine/fonts/marlett.ttf; do
        [[ -f "$f" ]] && { echo "$f"; return 0; }
    done
    return 1
}

# Makes $WINEPREFIX on first use, quietly (its messages go to LOG), without Mono and Gecko,
# and puts Marlett where Wine looks for it: without it the caption buttons show the letters
# "0", "1" and "r". WINEPREFIX, WINEARCH, WINEDEBUG and WINEDLLOVERRIDES are the caller's.
korva_prepare_prefix() {
    local log=$1
    [[ -d "$WINEPREFIX" ]] || mkdir -p "$WINEPREFIX"
    if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
        "$KORVA_WINE" wineboot -i </dev/null >"$log" 2>&1 || true
    fi
    local fonts="$WINEPREFIX/drive_c/windows/Fonts" marlett
    if [[ ! -f "$fonts/marlett.ttf" ]] && marlett=$(korva_marlett_font); then
        mkdir -p "$fonts"
        cp "$marlett" "$fonts/marlett.ttf"
    fi
}

# Starts Wine's helper processes (services, devices, desktop) from a command whose input and
# output are /dev/null. Whatever Wine program runs first starts them, and they inherit its
# output and keep it open for as long as they live: a caller reading that output to its end
# (CTest, a pipe, $(...)) would wait for the whole session. LOG takes Wine's messages. The
# program run is PROGRAM ARGS..., a Windows program that ends at once, else `cmd /c exit`.
korva_start_wine_quietly() {
    local log=$1
    shift
    (($# > 0)) || set -- cmd /c exit
    "$KORVA_WINE" "$@" </dev/null >>"$log" 2>&1 || true
}

# Whether the X display in DISPLAY runs a window manager (one that announces itself).
korva_display_has_window_manager() {
    xprop -root -notype _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}

# With no window manager, Wine must draw captions and close boxes itself and manage its windows
# alone (Managed=N, Decorated=N); otherwise windows have no caption and a dialog takes seconds
# to close. With one, Wine's defaults stand. MODE is "unmanaged" or "managed"; the registry is
# written only when the prefix's mode changes.
korva_set_window_mode() {
    local mode=$1 marker="$WINEPREFIX/.korva-window-mode"
    local written=""
    [[ -f "$marker" ]] && read -r written <"$marker"
    [[ "$written" == "$mode" ]] && return 0
    local key='HKCU\Software\Wine\X11 Driver' value
    for value in Managed Decorated; do
        if [[ "$mode" == unmanaged ]]; then
            "$KORVA_WINE" reg add "$key" /v "$value" /d N /f </dev/null >/dev/null 2>&1 || true
        else
            "$KORVA_WINE" reg delete "$key" /v "$value" /f </dev/null >/dev/null 2>&1 || true
        fi
    done
    echo "$mode" >"$marker"
}

# Starts Xvfb on the first free display from :91 on, its output to LOG; sets KORVA_XVFB_PID
# and KORVA_XVFB_DISPLAY. 1 when none could be started.
# shellcheck disable=SC2034  # the results are for the caller
korva_start_xvfb() {
    local log=$1 screen=${2:-1280x1024x24} n pid
    KORVA_XVFB_PID="" KORVA_XVFB_DISPLAY=""
    for n in $(seq 91 250); do
        [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
        Xvfb ":$n" -screen 0 "${screen:-1280x1024x24}" -nolisten tcp -ac </dev/null >"$log" 2>&1 &
        pid=$!
        for _ in $(seq 100); do
            [[ -e /tmp/.X11-unix/X$n ]] && break
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.05
        done
        # Two sessions starting at once may both try this display: the socket is then the other
        # server's, and ours is on its way out. The lock file names the server that holds it.
        if [[ -e /tmp/.X11-unix/X$n ]] && kill -0 "$pid" 2>/dev/null &&
            [[ "$(tr -d ' \n' <"/tmp/.X$n-lock" 2>/dev/null)" == "$pid" ]]; then
            KORVA_XVFB_PID=$pid KORVA_XVFB_DISPLAY=":$n"
            return 0
        fi
        kill "$pid" 2>/dev/null || true
    done
    return 1
}

# Stops the Xvfb started by korva_start_xvfb, if any.
korva_stop_xvfb() {
    local pid=${1:-}
    [[ -n "$pid" ]] || return 0
    kill -0 "$pid" 2>/dev/null || return 0
    kill "$pid" 2>/dev/null || true
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || return 0; sleep 0.1; done
    kill -9 "$pid" 2>/dev/null || true
}
