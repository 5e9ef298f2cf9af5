// Sound figures: the time KORVA_play_sound takes to return against the same calls to the
// platform's audio engine made raw (a source voice made, its volume set, the sound handed to it,
// started), both on the library's own engine; and the delay from a play to its first samples
// reaching the audio device, read from the file the device writes (the bench runner gives the
// program an ALSA device that writes to a file, named by KORVA_BENCH_AUDIO_FILE).
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <xaudio2.h>

#include <algorithm>
#include <string>
#include <vector>

#include "bench_clock.h"
#include "korva/base/state.h"
#include "korva/korva.h"

static const int PLAYS = 16;  // per round: fewer than the library's voices, so none is taken back

// A 0.2 s tone of 16-bit mono at 44100 as a WAV file.
static void write_tone(const char* path) {
    const uint32_t frames = 8820;
    std::string samples;
    for (uint32_t i = 0; i < frames; ++i) {
        const int16_t s = static_cast<int16_t>((i / 50) % 2 ? 12000 : -12000);
        samples += static_cast<char>(s & 0xFF);
        samples += static_cast<char>((s >> 8) & 0xFF);
    }
    auto u32 = [](uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
    auto u16 = [](uint16_t v) { return std::string{char(v), char(v >> 8)}; };
    const std::string file = "RIFF" + u32(36 + frames * 2) + "WAVEfmt " + u32(16) + u16(1) + u16(1) + u32(44100) +
                             u32(88200) + u16(2) + u16(16) + "data" + u32(frames * 2) + samples;
    FILE* f = fopen(path, "wb");
    fwrite(file.data(), 1, file.size(), f);
    fclose(f);
}

// One round of PLAYS raw plays on the library's engine: the calls timed, the voices ended after.
static double raw_round(const Sound& sound) {
    IXAudio2* engine = static_cast<IXAudio2*>(korva_state.sounds.engine);
    const WAVEFORMATEX format{WAVE_FORMAT_PCM, 1, 44100, 88200, 2, 16, 0};
    IXAudio2SourceVoice* voices[PLAYS] = {};
    const double start = now_seconds();
    for (IXAudio2SourceVoice*& voice : voices) {
        engine->CreateSourceVoice(&voice, &format, 0, XAUDIO2_DEFAULT_FREQ_RATIO, nullptr, nullptr, nullptr);
        XAUDIO2_BUFFER buffer{};
        buffer.Flags = XAUDIO2_END_OF_STREAM;
        buffer.AudioBytes = sound.bytes;
        buffer.pAudioData = sound.samples;
        voice->SetVolume(1.0f, XAUDIO2_COMMIT_NOW);
        voice->SubmitSourceBuffer(&buffer, nullptr);
        voice->Start(0, XAUDIO2_COMMIT_NOW);
    }
    const double seconds = now_seconds() - start;
    for (IXAudio2SourceVoice* voice : voices) voice->DestroyVoice();
    return seconds / PLAYS;
}

static double korva_round(int id) {
    const double start = now_seconds();
    for (int i = 0; i < PLAYS; ++i) KORVA_play_sound(id);
    const double seconds = now_seconds() - start;
    KORVA_stop_sounds();
    return seconds / PLAYS;
}

// Bytes the device has written so far, and whether any sample from `from` on is not silence.
static bool sound_arrived(const char* path, long from, long* size) {
    FILE* f = fopen(path, "rb");
    if (f == nullptr) return false;
    fseek(f, 0, SEEK_END);
    *size = ftell(f);
    bool heard = false;
    if (*size > from) {
        fseek(f, from, SEEK_SET);
        std::vector<int16_t> samples(static_cast<size_t>(*size - from) / 2);
        const size_t n = fread(samples.data(), 2, samples.size(), f);
        for (size_t i = 0; i < n && !heard; ++i) heard = samples[i] > 300 || samples[i] < -300;
    }
    fclose(f);
    return heard;
}

int main() {
    korva_state.instance = GetModuleHandleA(nullptr);
    korva_state.show_command = SW_SHOWNORMAL;
    KORVA_open();
    KORVA_logging(0);
    write_tone("tone.wav");
    const int id = KORVA_load_sound("tone.wav");
    // The engine starts with the first play.
    if (id == 0 || KORVA_play_sound(id) == 0) {
        printf("no audio device or no sound: no sound figures\n");
        return 1;
    }
    KORVA_stop_sounds();
    const Sound& sound = korva_state.sounds.loaded[id - 1];

    // Best round of each side, and the median ratio of pairs of rounds taken in turn.
    double best_korva = 1e300, best_raw = 1e300;
    std::vector<double> ratios;
    for (int pair = 0; pair < 101; ++pair) {
        const double k = korva_round(id), r = raw_round(sound);
        best_korva = std::min(best_korva, k);
        best_raw = std::min(best_raw, r);
        ratios.push_back(k / r);
    }
    std::nth_element(ratios.begin(), ratios.begin() + 50, ratios.end());
    printf("%-20s %12s %12s %8s   (best round of %d plays each side; the median ratio of 101 pairs)\n", "call",
           "KORVA us", "raw us", "ratio", PLAYS);
    printf("%-20s %12.3f %12.3f %8.3f %s\n", "play a sound", best_korva * 1e6, best_raw * 1e6, ratios[50],
           ratios[50] <= 1.10 ? "" : "  over 1.10");

    // The delay from a play to its first samples in the device's file, over several plays.
    const char* device_file = getenv("KORVA_BENCH_AUDIO_FILE");
    if (device_file == nullptr) {
        printf("KORVA_BENCH_AUDIO_FILE is not set: no delay figure\n");
    } else {
        std::vector<double> delays;
        for (int i = 0; i < 7; ++i) {
            Sleep(800);  // the last play long gone
            long size = 0;
            sound_arrived(device_file, 0, &size);
            const double start = now_seconds();
            KORVA_play_sound(id);
            long now_size = 0;
            while (!sound_arrived(device_file, size, &now_size) && now_seconds() - start < 10) Sleep(1);
            delays.push_back(now_seconds() - start);
        }
        std::sort(delays.begin(), delays.end());
        printf("play to first samples at the device: median %.1f ms (least %.1f, most %.1f, of %zu plays)\n",
               delays[delays.size() / 2] * 1e3, delays.front() * 1e3, delays.back() * 1e3, delays.size());
    }
    KORVA_close();
    return 0;
}
