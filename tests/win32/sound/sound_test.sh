#!/usr/bin/env bash
# Sounds reach the audio device: each scene of sound_scenes.exe plays under Wine into an audio
# device that writes every frame it is given to a file (an ALSA configuration of this test's own:
# the default device converts to 16-bit stereo at 48000 a second and writes to a file, paced by
# a null device), and the file is read back: a tone arrives whole (its length, pitch and level),
# at a quarter of the level when its volume is 25 (set before the play, or while a loop sounds), mixed with another played at once (both
# pitches at their levels), over and over while looped and not after it is stopped, cut short
# by a stop, 40 plays at once with the oldest making way, and a sound freed while it plays. Without a device the program goes on, each play returns 0 and the console says so
# once. Everything the device writes lies in WORKDIR.
#   sound_test.sh WINE_SESSION PROGRAM WORKDIR SOURCE_DIR
set -uo pipefail
session=$1 exe=$2 work=$3 source=$4
rm -rf "$work"
mkdir -p "$work"
cd "$work" || exit 1
failures=()

# shellcheck source=../../../scripts/korva-wine.sh
source "$source/scripts/korva-wine.sh"

# Reads a recording (16-bit stereo at 48000, the left channel): where the sound is louder than
# silence, its length in seconds, its pitch by zero crossings, its peak, and the amplitude of
# each frequency asked for (Goertzel over the sounding part).
measure() {
    local file=$1 f1=${2:-440} f2=${3:-660}
    [[ -s "$file" ]] || { echo "nothing"; return; }
    od -An -v -td2 -w4 "$file" | awk -v f1="$f1" -v f2="$f2" '
        { left[n++] = $1 }
        END {
            first = -1; last = -1
            for (i = 0; i < n; i++) if (left[i] > 300 || left[i] < -300) { if (first < 0) first = i; last = i }
            if (first < 0) { print "silent"; exit }
            peak = 0; crossings = 0
            for (i = first; i <= last; i++) {
                v = left[i] < 0 ? -left[i] : left[i]; if (v > peak) peak = v
                if (i > first && (left[i] < 0) != (left[i - 1] < 0)) crossings++
            }
            len = (last - first + 1) / 48000
            split(f1 " " f2, fs, " ")
            for (k = 1; k <= 2; k++) {
                c = 2 * cos(2 * 3.14159265358979 * fs[k] / 48000); s1 = 0; s2 = 0
                for (i = first; i <= last; i++) { s = left[i] + c * s1 - s2; s2 = s1; s1 = s }
                amp[k] = 2 * sqrt(s1 * s1 + s2 * s2 - c * s1 * s2) / (last - first + 1)
            }
            printf "length=%.3f pitch=%.1f peak=%d amp1=%.0f amp2=%.0f\n", len, crossings / 2 / len, peak, amp[1], amp[2]
        }'
}

# Plays one scene into the device, with the device's file NAME.raw; prints the measures.
scene() {
    local name=$1 file=${2:-$work/$1.raw}
    korva_file_audio_config "$file" >"$work/$name.asoundrc"
    (
        korva_file_audio_environment "$work/$name.asoundrc" "$work"
        timeout 60 "$source/scripts/wine-exec.sh" "$session" "$exe" "$name" >"$name.log" 2>"$name.err"
        echo "exit $?" >>"$name.log"
    )
    measure "$work/$name.raw"
}

# Whether a measure lies within [low, high].
within() { awk -v v="$1" -v lo="$2" -v hi="$3" 'BEGIN { exit !(v >= lo && v <= hi) }'; }
field() { sed -n "s/.*$2=\([0-9.]*\).*/\1/p" <<<"$1"; }
expect() {  # expect SCENE MEASURES FIELD LOW HIGH WHAT
    local v
    v=$(field "$2" "$3")
    [[ -n "$v" ]] && within "$v" "$4" "$5" || failures+=("$1: $6: expected $3 from $4 to $5, got '${v:-none}' ($2)")
}
played_ok() {
    grep -q "^exit 0$" "$1.log" && ! grep -q "^console:" "$1.log" ||
        failures+=("$1: the program did not play cleanly: $(tr '\n' '|' <"$1.log")")
}

m=$(scene one); played_ok one
expect one "$m" length 0.99 1.01 "the whole tone, once"
expect one "$m" pitch 438 442 "its pitch"
expect one "$m" peak 15800 16200 "its level as recorded"

m=$(scene volume); played_ok volume
expect volume "$m" peak 3900 4100 "a quarter of the level at volume 25"
expect volume "$m" length 0.99 1.01 "the whole tone"

# A loop at full volume turned to 25 while it sounds: loud in its first second, a quarter as loud
# in its last.
m=$(scene fade); played_ok fade
ends=$(od -An -v -td2 -w4 "$work/fade.raw" | awk '
    { left[n++] = $1 }
    END {
        first = -1; last = -1
        for (i = 0; i < n; i++) if (left[i] > 300 || left[i] < -300) { if (first < 0) first = i; last = i }
        if (first < 0) { print "silent"; exit }
        for (i = first; i < first + 48000 && i <= last; i++) { v = left[i] < 0 ? -left[i] : left[i]; if (v > early) early = v }
        for (i = last - 48000; i <= last; i++) if (i >= first) { v = left[i] < 0 ? -left[i] : left[i]; if (v > late) late = v }
        printf "early=%d late=%d\n", early, late
    }')
expect fade "$ends" early 15800 16200 "the loop at full volume before the change"
expect fade "$ends" late 3900 4100 "the loop at a quarter of it after the change"

# 440 at 16000 (16-bit mono, 44100) and 660 at 0.45 of full scale (8-bit stereo, 22050).
m=$(scene mix); played_ok mix
expect mix "$m" amp1 15000 17000 "the first sound in the mix"
expect mix "$m" amp2 13800 15700 "the second sound in the mix"
expect mix "$m" length 0.99 1.01 "both, together"

# A quarter of a second looped for 2.5 s, then stopped: far more than two rounds, and an end.
m=$(scene loop); played_ok loop
expect loop "$m" length 1.0 4.0 "rounds of a looped 0.25 s tone, and an end after the stop"
expect loop "$m" pitch 438 442 "its pitch"

# A 6 s tone stopped after 2 s.
m=$(scene stop); played_ok stop
expect stop "$m" length 0.1 5.0 "a 6 s tone cut short by the stop"

# 40 plays of the 1 s tone at once, more than the engine's 32 voices, and a 6 s tone freed
# while it plays: the last 32 plays sound together (each at 16000: far louder than one) for the
# tone's second, and the freed tone does not go on for its 6 s.
m=$(scene crowd); played_ok crowd
grep -q "^started 40" crowd.log || failures+=("crowd: not every play started: $(tr '\n' '|' <crowd.log)")
grep -q "^free 1" crowd.log || failures+=("crowd: the playing sound was not freed: $(tr '\n' '|' <crowd.log)")
expect crowd "$m" peak 30000 32768 "many plays of one tone mixed"
expect crowd "$m" length 0.9 3.0 "the crowd's second, and no more of the freed 6 s tone"

# No device at all: the program goes on, each play returns 0, and the console says so once.
scene twice none >/dev/null
expected=$'loaded 1 2 3 4\nplay 0\nplay 0\nconsole: No audio device: sounds are not played\nexit 0'
[[ "$(tr -d '\r' <twice.log)" == "$expected" ]] ||
    failures+=("no device: expected each play to return 0 and one console line, got: $(tr '\n' '|' <twice.log)")

if ((${#failures[@]})); then
    printf 'FAIL: %s\n' "${failures[@]}"
    exit 1
fi
echo "sounds: every scene reached the audio device as played"
