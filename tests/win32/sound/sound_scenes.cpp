// Plays one scene of sounds through the library for the sound test, which listens to what
// reaches the audio device: writes its test tones as WAV files, plays them as the scene named on
// the command line says, waits for them to sound, and prints each call's result and the console's
// lines. Scenes: one, volume, fade (a loop turned down while it sounds), mix, loop, stop, crowd,
// twice (two plays, for a machine without a device).
#include <windows.h>

#include <math.h>
#include <stdio.h>
#include <string.h>

#include <string>

#include "support/korva_session.h"

namespace {

// A tone of `seconds` at `hertz`, `level` of full scale, as a WAV file of the given format.
void write_tone(const char* path, double hertz, double seconds, double level, uint16_t channels, uint32_t rate,
                uint16_t bits) {
    const uint32_t frames = static_cast<uint32_t>(seconds * rate), block = channels * bits / 8u;
    std::string samples;
    for (uint32_t i = 0; i < frames; ++i) {
        const double v = level * sin(2 * 3.14159265358979323846 * hertz * i / rate);
        for (uint16_t c = 0; c < channels; ++c) {
            if (bits == 8) {
                samples += static_cast<char>(static_cast<uint8_t>(lround(128 + 127 * v)));
            } else {
                const int16_t s = static_cast<int16_t>(lround(32767 * v));
                samples += static_cast<char>(s & 0xFF);
                samples += static_cast<char>((s >> 8) & 0xFF);
            }
        }
    }
    auto u32 = [](uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
    auto u16 = [](uint16_t v) { return std::string{char(v), char(v >> 8)}; };
    std::string file = "RIFF" + u32(36 + static_cast<uint32_t>(samples.size())) + "WAVEfmt " + u32(16) + u16(1) +
                       u16(channels) + u32(rate) + u32(rate * block) + u16(static_cast<uint16_t>(block)) + u16(bits) +
                       "data" + u32(static_cast<uint32_t>(samples.size())) + samples;
    write_file(path, file);
}

}  // namespace

// Waits for the sound's plays to end (at most 10 s), then for the device to take the last of
// it: the engine is done with a sound once it has handed it on, and the system's audio holds
// some of it still (under Wine more than a second), which a close would cut off.
void wait_until_played(int id) {
    for (int i = 0; i < 1000 && KORVA_sound_playing(id); ++i) Sleep(10);
    Sleep(2000);
}

int main(int argc, char** argv) {
    const std::string scene = argc > 1 ? argv[1] : "";
    open_korva_once();
    KORVA_logging(0);
    write_tone("a440.wav", 440, 1.0, 16000 / 32767.0, 1, 44100, 16);
    write_tone("e660.wav", 660, 1.0, 0.45, 2, 22050, 8);
    write_tone("short440.wav", 440, 0.25, 16000 / 32767.0, 1, 44100, 16);
    write_tone("long440.wav", 440, 6.0, 16000 / 32767.0, 1, 48000, 16);
    const int a = KORVA_load_sound("a440.wav"), e = KORVA_load_sound("e660.wav");
    const int brief = KORVA_load_sound("short440.wav"), long_one = KORVA_load_sound("long440.wav");
    printf("loaded %d %d %d %d\n", a, e, brief, long_one);
    if (scene == "one") {
        printf("play %d\n", KORVA_play_sound(a));
        printf("playing %d\n", KORVA_sound_playing(a));
        wait_until_played(a);
        printf("playing %d\n", KORVA_sound_playing(a));
    } else if (scene == "volume") {
        printf("volume %d\n", KORVA_sound_volume(a, 25));
        printf("play %d\n", KORVA_play_sound(a));
        wait_until_played(a);
    } else if (scene == "fade") {
        // Music that is turned down while it plays, as a game mutes its loop.
        printf("loop %d\n", KORVA_loop_sound(a));
        Sleep(2000);
        printf("volume %d\n", KORVA_sound_volume(a, 25));
        Sleep(2000);
        printf("stop %d\n", KORVA_stop_sound(a));
        Sleep(1500);
    } else if (scene == "mix") {
        printf("play %d\n", KORVA_play_sound(a));
        printf("play %d\n", KORVA_play_sound(e));
        wait_until_played(a);
        wait_until_played(e);
    } else if (scene == "loop") {
        printf("loop %d\n", KORVA_loop_sound(brief));
        Sleep(2500);
        printf("stop %d\n", KORVA_stop_sound(brief));
        Sleep(600);
    } else if (scene == "stop") {
        printf("play %d\n", KORVA_play_sound(long_one));
        Sleep(2000);
        printf("stop %d\n", KORVA_stop_sounds());
        printf("playing %d\n", KORVA_sound_playing(long_one));
        Sleep(600);
    } else if (scene == "crowd") {
        // More plays at once than the engine's voices: the oldest make way, and the last ones
        // sound together; a sound freed while it plays falls silent.
        int started = 0;
        for (int i = 0; i < 40; ++i) started += KORVA_play_sound(a);
        printf("started %d\n", started);
        printf("play %d\n", KORVA_play_sound(long_one));
        Sleep(200);
        printf("free %d\n", KORVA_free_sound(long_one));
        wait_until_played(a);
    } else if (scene == "twice") {
        printf("play %d\n", KORVA_play_sound(a));
        printf("play %d\n", KORVA_play_sound(e));
    } else {
        printf("no scene '%s'\n", scene.c_str());
        return 2;
    }
    for (const std::string& line : console_lines()) printf("console: %s", line.c_str());
    KORVA_close();
    return 0;
}
