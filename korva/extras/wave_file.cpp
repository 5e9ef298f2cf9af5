// WAV files: a RIFF container with a format chunk and a data chunk, read without trusting any
// size it states (no platform calls).
#include "korva/extras/wave_file.h"

static uint32_t le32(const uint8_t* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}
static uint16_t le16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}
static bool tag_is(const uint8_t* p, const char* tag) {
    return p[0] == tag[0] && p[1] == tag[1] && p[2] == tag[2] && p[3] == tag[3];
}

const char* read_wave(const uint8_t* bytes, size_t size, WaveSound* out) {
    *out = WaveSound{};
    if (size < 12 || !tag_is(bytes, "RIFF") || !tag_is(bytes + 8, "WAVE")) return "not a WAV file";
    bool have_format = false, have_data = false;
    uint16_t tag = 0, block = 0;
    size_t at = 12;
    // Chunks follow one another, each padded to an even length; a size past the end is damage,
    // except for the data chunk, which some writers leave unfinished: only its whole frames count.
    while (at + 8 <= size && !(have_format && have_data)) {
        const uint8_t* chunk = bytes + at;
        const size_t length = le32(chunk + 4), body = at + 8, left = size - body;
        if (tag_is(chunk, "fmt ")) {
            if (length < 16 || length > left) return "the sound's data is damaged or cut short";
            tag = le16(chunk + 8);
            out->channels = le16(chunk + 10);
            out->rate = le32(chunk + 12);
            block = le16(chunk + 20);
            out->bits = le16(chunk + 22);
            // The extensible format names its kind in a sub-format whose first two bytes are the tag.
            if (tag == 0xFFFE && length >= 40) tag = le16(chunk + 32);
            have_format = true;
        } else if (tag_is(chunk, "data")) {
            out->data_offset = body;
            out->data_bytes = length < left ? length : left;
            have_data = true;
        }
        if (length > left) {
            if (!have_data) return "the sound's data is damaged or cut short";
            break;
        }
        at = body + length + (length & 1);
    }
    if (!have_format || !have_data) {
        return have_format || have_data ? "the sound's data is damaged or cut short" : "not a WAV file";
    }
    if (tag != 1 || (out->bits != 8 && out->bits != 16) || (out->channels != 1 && out->channels != 2) ||
        block != out->channels * out->bits / 8 || out->rate < 8000 || out->rate > 192000) {
        return "not 8- or 16-bit PCM in one or two channels at 8000 to 192000 a second";
    }
    out->data_bytes -= out->data_bytes % block;
    if (out->data_bytes == 0) return "no samples";
    if (out->data_bytes > MAX_SOUND_BYTES) return "too large (more than 64 MB of samples)";
    return nullptr;
}
