// Fuzz target for the WAV reader that loads sounds. Any byte string must be read without a fault
// or an overrun; a sound it accepts must lie wholly inside the bytes, in whole frames of a format
// it plays.
#include <stdint.h>
#include <stdlib.h>

#include <vector>

#include "korva/extras/wave_file.h"

static void check(bool condition) {
    if (!condition) abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A copy of exactly this size, so any read beyond it is caught.
    std::vector<uint8_t> bytes(data, data + size);
    WaveSound wave;
    if (read_wave(bytes.empty() ? nullptr : bytes.data(), bytes.size(), &wave) != nullptr) return 0;
    check(wave.channels == 1 || wave.channels == 2);
    check(wave.bits == 8 || wave.bits == 16);
    check(wave.rate >= 8000 && wave.rate <= 192000);
    check(wave.data_bytes > 0 && wave.data_bytes <= MAX_SOUND_BYTES);
    check(wave.data_bytes % (wave.channels * wave.bits / 8u) == 0);
    check(wave.data_offset <= size && wave.data_bytes <= size - wave.data_offset);
    return 0;
}
