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
# and KORVA_XVFB_DISPLAY. 1 when none could be started. Further arguments go to Xvfb.
# shellcheck disable=SC2034  # the results are for the caller
korva_start_xvfb() {
    local log=$1 screen=${2:-1280x1024x24} n pid
    shift $(($# < 2 ? $# : 2))
    KORVA_XVFB_PID="" KORVA_XVFB_DISPLAY=""
    for n in $(seq 91 250); do
        [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
        Xvfb ":$n" -screen 0 "${screen:-1280x1024x24}" -nolisten tcp -ac "$@" </dev/null >"$log" 2>&1 &
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

# ---- an audio device that writes to a file -----------------------------------------------------
# For the sound tests and the bench: an ALSA configuration whose default device converts what it
# is given to 16-bit stereo at 48000 a second and writes every frame to FILE, paced by a null
# device (FILE "none": no device at all). With KORVA_FILE_AUDIO_ENVIRONMENT's variables set, Wine
# plays to it even where PulseAudio runs: its server is named as one that is not there.
korva_file_audio_config() {
    local file=$1
    if [[ "$file" == none ]]; then
        printf '# no devices\n'
        return
    fi
    cat <<ALSA
pcm.!default {
    type plug
    slave { pcm "korva_file"; format S16_LE; rate 48000; channels 2 }
}
pcm.korva_file {
    type file
    slave.pcm "korva_null"
    file "$file"
    format "raw"
}
pcm.korva_null {
    type null
}
ALSA
}

# Writes a recording of the file device (16-bit stereo at 48000 a second, no header) as a WAV
# file: the header, then the samples, into a new file beside TARGET that then takes its place.
korva_raw_to_wav() {
    local raw=$1 target=$2 size new
    size=$(stat -c %s "$raw" 2>/dev/null || echo 0)
    le() {  # le BYTES VALUE: the value's bytes, least significant first, as printf escapes
        local i out=""
        for ((i = 0; i < $1; i++)); do out+=$(printf '\\x%02x' $((($2 >> (8 * i)) & 255))); done
        printf '%s' "$out"
    }
    new="$target.$$.tmp"
    {
        printf "RIFF$(le 4 $((36 + size)))WAVEfmt $(le 4 16)$(le 2 1)$(le 2 2)$(le 4 48000)$(le 4 192000)$(le 2 4)$(le 2 16)data$(le 4 "$size")"
        # A program that played nothing leaves no recording: its WAV file holds no samples.
        if [[ -f "$raw" ]]; then cat "$raw"; fi
    } >"$new" && mv -f "$new" "$target" || { rm -f "$new"; return 1; }
}

# Exports ALSA_CONFIG_PATH=CONFIG and keeps PulseAudio out of the way (its files go in DIR).
korva_file_audio_environment() {
    local config=$1 dir=$2
    printf 'autospawn = no\n' >"$dir/pulse-client.conf"
    export ALSA_CONFIG_PATH="$config" PULSE_SERVER="unix:$dir/no-pulse-server" PULSE_CLIENTCONFIG="$dir/pulse-client.conf"
}

# ---- a shared replay session -------------------------------------------------------------------
# A suite of replays (ctest) shares one private display and one Wine server, started before the
# first replay and stopped after the last, instead of each replay starting its own. The session
# lives in a folder of its own: its Wine prefix (kept between suites, so only the first pays for
# making it), the display's log, and a state file naming the display, the Xvfb process and how
# many suites use it. Nothing outside the folder is touched. A session that is not stopped (the
# suite was interrupted) ends by itself: its Wine server goes once no program has run for
# KORVA_SESSION_IDLE seconds (a replay after that starts Wine again), and the display once no
# replay has run for KORVA_SESSION_DISPLAY_IDLE seconds, so a suite with long pauses between its
# replays keeps its session.
KORVA_SESSION_IDLE=${KORVA_SESSION_IDLE:-30}
KORVA_SESSION_DISPLAY_IDLE=${KORVA_SESSION_DISPLAY_IDLE:-600}
KORVA_WINE_HELPERS=$(realpath "${BASH_SOURCE[0]}")

# Whether Wine can reach a session folder by its name: the platform's paths cannot hold these.
korva_session_name_usable() {
    [[ "$1" != *[\*\?\"\<\>\|\\:]* ]]
}

# The Xvfb pid and display of a live session in DIR, in KORVA_SESSION_PID and
# KORVA_SESSION_DISPLAY, and its suites in KORVA_SESSION_USERS; 1 when it is not running.
# The caller holds the session's lock.
korva_session_read() {
    local dir=$1 key value
    KORVA_SESSION_PID="" KORVA_SESSION_DISPLAY="" KORVA_SESSION_USERS=0
    [[ -f "$dir/session" ]] || return 1
    while IFS='=' read -r key value; do
        case "$key" in
            xvfb) [[ "$value" =~ ^[0-9]+$ ]] && KORVA_SESSION_PID=$value ;;
            display) [[ "$value" =~ ^:[0-9]+$ ]] && KORVA_SESSION_DISPLAY=$value ;;
            users) [[ "$value" =~ ^[0-9]+$ ]] && KORVA_SESSION_USERS=$value ;;
        esac
    done <"$dir/session"
    [[ -n "$KORVA_SESSION_PID" && -n "$KORVA_SESSION_DISPLAY" ]] || return 1
    # The pid is this session's Xvfb only while that process serves this display: a pid used
    # again by another process is not ours to stop or to draw on.
    local command
    command=$(tr '\0' ' ' 2>/dev/null <"/proc/$KORVA_SESSION_PID/cmdline") || return 1
    [[ "$command" == "Xvfb $KORVA_SESSION_DISPLAY "* && -e "/tmp/.X11-unix/X${KORVA_SESSION_DISPLAY#:}" ]]
}

# The environment of Wine in the session in DIR (its prefix; the caller sets DISPLAY).
korva_session_wine_environment() {
    export WINEPREFIX="$(realpath -m "$1")/prefix" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
}

# Starts the session in DIR, or joins it when it runs already; 1 when it could not be started.
korva_session_start() {
    local dir lock
    dir=$(realpath -m "$1")
    mkdir -p "$dir" || return 1
    exec {lock}>"$dir/lock"
    flock -x "$lock"
    if korva_session_read "$dir"; then
        printf 'xvfb=%s\ndisplay=%s\nusers=%s\n' "$KORVA_SESSION_PID" "$KORVA_SESSION_DISPLAY" \
            "$((KORVA_SESSION_USERS + 1))" >"$dir/session"
        exec {lock}>&-
        return 0
    fi
    rm -f "$dir/session"
    # What starts here lives on, and must not hold the lock: each is started with it closed.
    if ! korva_start_xvfb "$dir/xvfb.log" {lock}>&-; then
        exec {lock}>&-
        return 1
    fi
    (
        korva_session_wine_environment "$dir"
        export DISPLAY=$KORVA_XVFB_DISPLAY
        mkdir -p "$WINEPREFIX"
        wineserver -p"$KORVA_SESSION_IDLE" </dev/null >>"$dir/wine.log" 2>&1
        korva_prepare_prefix "$dir/wine.log"
        korva_start_wine_quietly "$dir/wine.log"
        korva_set_window_mode unmanaged
    ) {lock}>&-
    printf 'xvfb=%s\ndisplay=%s\nusers=1\n' "$KORVA_XVFB_PID" "$KORVA_XVFB_DISPLAY" >"$dir/session"
    touch "$dir/used"
    # The watch holds nothing of its caller's (ctest waits for whatever holds a test's output)
    # and outlives it.
    setsid bash -c 'source "$1" && korva_session_watch "$2" "$3"' watch "$KORVA_WINE_HELPERS" "$dir" \
        "$KORVA_XVFB_PID" </dev/null >/dev/null 2>&1 {lock}>&- &
    exec {lock}>&-
}

# Ends the display of the session in DIR (Xvfb PID) once it has stopped or been idle for long:
# each time its Wine server goes, it looks, under the session's lock, whether a replay has run
# within KORVA_SESSION_DISPLAY_IDLE seconds. It stops only the Xvfb the session file still names
# and that still serves the session's display.
korva_session_watch() {
    local dir=$1 pid=$2 lock used prefix
    prefix="$(realpath -m "$dir")/prefix"
    korva_find_wine || return 0
    while :; do
        # Only this command is Wine's: nothing else the watch runs belongs to the session's prefix.
        WINEPREFIX=$prefix wineserver -w >/dev/null 2>&1 || true
        exec {lock}>"$dir/lock"
        flock -x "$lock"
        if ! korva_session_read "$dir" || [[ "$KORVA_SESSION_PID" != "$pid" ]]; then
            exec {lock}>&-
            return 0
        fi
        used=$(stat -c %Y "$dir/used" 2>/dev/null || echo 0)
        if (($(date +%s) - used >= KORVA_SESSION_DISPLAY_IDLE)); then
            korva_stop_xvfb "$pid"
            rm -f "$dir/session"
            exec {lock}>&-
            return 0
        fi
        exec {lock}>&-
        sleep 2
    done
}

# Leaves the session in DIR; the last suite out stops its Wine and its display. 2 when DIR holds
# no session at all; 1 when its session had ended already (by itself, idle).
korva_session_stop() {
    local dir lock ended=0
    dir=$(realpath -m "$1")
    [[ -f "$dir/lock" ]] || return 2
    exec {lock}>"$dir/lock"
    flock -x "$lock"
    korva_session_read "$dir" || ended=1
    if korva_session_read "$dir" && ((KORVA_SESSION_USERS > 1)); then
        printf 'xvfb=%s\ndisplay=%s\nusers=%s\n' "$KORVA_SESSION_PID" "$KORVA_SESSION_DISPLAY" \
            "$((KORVA_SESSION_USERS - 1))" >"$dir/session"
        exec {lock}>&-
        return 0
    fi
    (
        korva_session_wine_environment "$dir"
        wineserver -k >/dev/null 2>&1 || true
        wineserver -w >/dev/null 2>&1 || true
    )
    if korva_session_read "$dir"; then korva_stop_xvfb "$KORVA_SESSION_PID"; fi
    rm -f "$dir/session"
    exec {lock}>&-
    return "$ended"
}
