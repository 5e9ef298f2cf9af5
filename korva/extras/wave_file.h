// Reading a WAV file's bytes: its format and where its samples lie. Platform-free, so it is
// tested natively and fuzzed.
#ifndef KORVA_EXTRAS_WAVE_FILE_H
#define KORVA_EXTRAS_WAVE_FILE_H

#include <stddef.h>
#include <stdint.h>

// The largest sound's samples: some six minutes of 16-bit stereo at 44100 a second.
constexpr size_t MAX_SOUND_BYTES = 64u * 1024 * 1024;

struct WaveSound {
    uint16_t channels;         // 1 or 2
    uint32_t rate;             // frames a second, 8000 to 192000
    uint16_t bits;             // 8 (unsigned) or 16 (signed)
    size_t data_offset;        // where the samples begin in the file's bytes
    size_t data_bytes;         // how many bytes of whole frames they hold
};

// Reads the bytes of a whole file; null and `out` filled in, or the reason it is not a sound
// this library plays.
const char* read_wave(const uint8_t* bytes, size_t size, WaveSound* out);

#endif
