// WAV files as the sound loader reads them: the formats it plays, chunks in any order with their
// padding, a data chunk cut short, and every file it refuses, each with its reason.
#include <gtest/gtest.h>

#include <string>

#include "korva/extras/wave_file.h"

namespace {

std::string u32(uint32_t v) { return {char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; }
std::string u16(uint16_t v) { return {char(v), char(v >> 8)}; }

std::string format_chunk(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits, uint16_t block) {
    return "fmt " + u32(16) + u16(tag) + u16(channels) + u32(rate) + u32(rate * block) + u16(block) + u16(bits);
}

std::string riff(const std::string& chunks) { return "RIFF" + u32(uint32_t(4 + chunks.size())) + "WAVE" + chunks; }

std::string data_chunk(const std::string& samples) { return "data" + u32(uint32_t(samples.size())) + samples; }

const char* read(const std::string& file, WaveSound* out) {
    return read_wave(reinterpret_cast<const uint8_t*>(file.data()), file.size(), out);
}

}  // namespace

TEST(WaveFile, ThePlayedFormatsAreReadWithTheirSamples) {
    // The extensible format naming PCM as its sub-format, as many editors write 16-bit files.
    const std::string extensible = "fmt " + u32(40) + u16(0xFFFE) + u16(2) + u32(48000) + u32(192000) + u16(4) +
                                   u16(16) + u16(22) + u16(16) + u32(3) + u16(1) + std::string(14, '\x10');
    const struct {
        const char* name;
        std::string file;
        uint16_t channels, bits;
        uint32_t rate;
        size_t offset, bytes;
    } cases[] = {
        {"16-bit mono", riff(format_chunk(1, 1, 44100, 16, 2) + data_chunk(std::string(8, '\1'))), 1, 16, 44100, 44, 8},
        {"8-bit stereo", riff(format_chunk(1, 2, 22050, 8, 2) + data_chunk("abcdef")), 2, 8, 22050, 44, 6},
        {"extensible", riff(extensible + data_chunk(std::string(8, '\2'))), 2, 16, 48000, 68, 8},
        // A chunk of odd length before the data is padded by one byte.
        {"a list chunk first", riff("LIST" + u32(3) + "abc" + std::string(1, '\0') + format_chunk(1, 1, 8000, 8, 1) +
                                    data_chunk("xyz")),
         1, 8, 8000, 56, 3},
        // The data before the format.
        {"data first", riff(data_chunk("wxyz") + format_chunk(1, 1, 192000, 16, 2)), 1, 16, 192000, 20, 4},
        // A data chunk whose size runs past the end: the whole frames that are there.
        {"cut short", riff(format_chunk(1, 2, 44100, 16, 4)) + "data" + u32(1000) + std::string(10, '\3'), 2, 16, 44100,
         44, 8},
    };
    for (const auto& c : cases) {
        WaveSound wave{};
        EXPECT_EQ(nullptr, read(c.file, &wave)) << c.name;
        EXPECT_EQ(c.channels, wave.channels) << c.name;
        EXPECT_EQ(c.bits, wave.bits) << c.name;
        EXPECT_EQ(c.rate, wave.rate) << c.name;
        EXPECT_EQ(c.offset, wave.data_offset) << c.name;
        EXPECT_EQ(c.bytes, wave.data_bytes) << c.name;
    }
}

TEST(WaveFile, EveryOtherFileIsRefusedWithItsReason) {
    const std::string pcm16 = format_chunk(1, 1, 44100, 16, 2), samples = data_chunk(std::string(4, '\0'));
    const std::string not_pcm = "not 8- or 16-bit PCM in one or two channels at 8000 to 192000 a second";
    const struct {
        const char* name;
        std::string file;
        std::string reason;
    } cases[] = {
        {"empty", "", "not a WAV file"},
        {"text", "just some text, nothing more", "not a WAV file"},
        {"RIFF but not WAVE", "RIFF" + u32(4) + "AVI ", "not a WAV file"},
        {"no chunks", riff(""), "not a WAV file"},
        {"no data", riff(pcm16), "the sound's data is damaged or cut short"},
        {"no format", riff(samples), "the sound's data is damaged or cut short"},
        {"a format cut short", riff("fmt " + u32(16) + "abc"), "the sound's data is damaged or cut short"},
        {"a chunk size past the end", riff("LIST" + u32(0xFFFFFFF0) + "ab" + pcm16 + samples),
         "the sound's data is damaged or cut short"},
        {"compressed", riff(format_chunk(2, 1, 44100, 4, 256) + samples), not_pcm},
        {"floating point", riff(format_chunk(3, 1, 44100, 32, 4) + samples), not_pcm},
        {"24-bit", riff(format_chunk(1, 1, 44100, 24, 3) + data_chunk("abcdef")), not_pcm},
        {"six channels", riff(format_chunk(1, 6, 44100, 16, 12) + samples), not_pcm},
        {"no channels", riff(format_chunk(1, 0, 44100, 16, 0) + samples), not_pcm},
        {"a wrong block size", riff(format_chunk(1, 2, 44100, 16, 2) + samples), not_pcm},
        {"a rate too low", riff(format_chunk(1, 1, 7999, 16, 2) + samples), not_pcm},
        {"a rate too high", riff(format_chunk(1, 1, 192001, 16, 2) + samples), not_pcm},
        {"no whole frame", riff(format_chunk(1, 2, 44100, 16, 4) + data_chunk("abc")), "no samples"},
    };
    for (const auto& c : cases) {
        WaveSound wave{};
        const char* why = read(c.file, &wave);
        EXPECT_EQ(c.reason, why ? why : "(read)") << c.name;
    }
}

TEST(WaveFile, SamplesBeyondTheLimitAreRefusedAndAtItRead) {
    const std::string at_limit(MAX_SOUND_BYTES, '\0');
    WaveSound wave{};
    EXPECT_EQ(nullptr, read(riff(format_chunk(1, 2, 48000, 16, 4) + data_chunk(at_limit)), &wave));
    EXPECT_EQ(MAX_SOUND_BYTES, wave.data_bytes);
    const char* why = read(riff(format_chunk(1, 2, 48000, 16, 4) + data_chunk(at_limit + "1234")), &wave);
    EXPECT_STREQ("too large (more than 64 MB of samples)", why);
}
