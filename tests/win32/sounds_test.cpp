// Sounds in the program, on a machine without an audio device (the test runs with none): loading
// and every bad file answered with 0 and one console line; ids that are not loaded; volume
// corrections; plays that return 0 with one console line for the whole run; the log lines; a
// replay plays nothing and says nothing. What reaches a device is sound_test.sh's part.
#include <gtest/gtest.h>

#include <limits.h>

#include <string>
#include <vector>

#include "support/korva_session.h"

namespace {

std::string u32(uint32_t v) { return {char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; }
std::string u16(uint16_t v) { return {char(v), char(v >> 8)}; }

// A WAV file of `bytes` bytes of 16-bit mono silence at 8000 a second (bits 24 makes another).
void write_wave(const char* path, uint32_t bytes, uint16_t bits = 16) {
    const uint16_t block = bits / 8;
    write_file(path, "RIFF" + u32(36 + bytes) + "WAVEfmt " + u32(16) + u16(1) + u16(1) + u32(8000) + u32(8000 * block) +
                         u16(block) + u16(bits) + "data" + u32(bytes) + std::string(bytes, '\0'));
}

class SoundsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { open_korva_once(); }
    void SetUp() override {
        KORVA_logging(0);
        clear_console();
    }
    void TearDown() override {
        KORVA_logging(1);
        clear_console();
    }
};

TEST_F(SoundsTest, BadFilesAreAnsweredWithZeroAndOneLine) {
    CreateDirectoryA("a_folder", nullptr);
    write_file("notes.wav", "just some text\n");
    write_wave("deep.wav", 300, 24);
    write_file("cut.wav", "RIFF" + u32(100) + "WAVEfmt " + u32(16) + "abc");
    const struct {
        const char* path;
        std::string line;
    } cases[] = {
        {nullptr, "Cannot load sound: no file name\n"},
        {"", "Cannot load sound: no file name\n"},
        {"missing.wav", "Cannot load sound missing.wav: no such file\n"},
        {"a_folder", "Cannot load sound a_folder: a directory\n"},
        {"notes.wav", "Cannot load sound notes.wav: not a WAV file\n"},
        {"deep.wav",
         "Cannot load sound deep.wav: not 8- or 16-bit PCM in one or two channels at 8000 to 192000 a second\n"},
        {"cut.wav", "Cannot load sound cut.wav: the sound's data is damaged or cut short\n"},
        // Made by the build beside the test: a pipe, and a link to a device.
        {"a_pipe", "Cannot load sound a_pipe: not a regular file (a pipe or a device)\n"},
        {"zero_link", "Cannot load sound zero_link: not a regular file (a pipe or a device)\n"},
    };
    for (const auto& c : cases) {
        clear_console();
        EXPECT_EQ(0, KORVA_load_sound(c.path)) << (c.path ? c.path : "null");
        EXPECT_EQ(std::vector<std::string>{c.line}, console_lines()) << (c.path ? c.path : "null");
    }
    RemoveDirectoryA("a_folder");
}

// A name in UTF-8, as a program's source holds it, names the file it spells; a long name that is
// not there is shown cut in the middle, so the reason still ends the line.
TEST_F(SoundsTest, NamesAreReadAsWrittenAndALongOneKeepsItsReason) {
    write_wave("plain.wav", 4000);
    ASSERT_TRUE(MoveFileExW(L"plain.wav", L"s\u00f6n\u00e9.wav", MOVEFILE_REPLACE_EXISTING));
    clear_console();
    EXPECT_GE(KORVA_load_sound("s\xc3\xb6n\xc3\xa9.wav"), 1) << testing::PrintToString(console_lines());
    DeleteFileW(L"s\u00f6n\u00e9.wav");

    std::string long_name;
    while (long_name.size() < 1000) long_name += "folder\\";
    long_name += "missing.wav";
    clear_console();
    EXPECT_EQ(0, KORVA_load_sound(long_name.c_str()));
    std::vector<std::string> said = console_lines();
    ASSERT_EQ(1u, said.size());
    EXPECT_EQ(0u, said[0].find("Cannot load sound folder\\folder"));
    EXPECT_NE(std::string::npos, said[0].find("...")) << said[0];
    EXPECT_EQ(": no such file\n", said[0].substr(said[0].size() - 15)) << said[0];
}

// 64 MB of samples is the most a sound holds: one more frame is refused before it is read whole.
TEST_F(SoundsTest, TheLargestSoundLoadsAndALargerOneIsRefused) {
    write_wave("largest.wav", 64u * 1024 * 1024);
    const int id = KORVA_load_sound("largest.wav");
    EXPECT_GE(id, 1) << testing::PrintToString(console_lines());
    write_wave("larger.wav", 64u * 1024 * 1024 + 65536 + 2);
    clear_console();
    EXPECT_EQ(0, KORVA_load_sound("larger.wav"));
    EXPECT_EQ(std::vector<std::string>{"Cannot load sound larger.wav: too large (more than 64 MB of samples)\n"},
              console_lines());
    remove("largest.wav");
    remove("larger.wav");
}

TEST_F(SoundsTest, IdsThatAreNotLoadedAreAnsweredWithZeroAndOneLine) {
    for (int id : {0, -1, 65, 64, INT_MIN}) {
        clear_console();
        EXPECT_EQ(0, KORVA_play_sound(id));
        EXPECT_EQ(0, KORVA_loop_sound(id));
        EXPECT_EQ(0, KORVA_stop_sound(id));
        EXPECT_EQ(0, KORVA_sound_volume(id, 50));
        EXPECT_EQ(0, KORVA_sound_playing(id));
        const std::string n = std::to_string(id);
        EXPECT_EQ((std::vector<std::string>{"Sound " + n + " is not loaded; nothing played.\n",
                                            "Sound " + n + " is not loaded; nothing played.\n",
                                            "Sound " + n + " is not loaded; nothing stopped.\n",
                                            "Sound " + n + " is not loaded; no volume set.\n"}),
                  console_lines());
    }
}

TEST_F(SoundsTest, WithoutAnAudioDeviceEveryPlayReturnsZeroAndTheConsoleIsToldOnce) {
    korva_state.sounds.device = 0;  // the device not asked for yet, as at the run's first play
    write_wave("beep.wav", 1600);
    const int id = KORVA_load_sound("beep.wav");
    ASSERT_GE(id, 1);
    EXPECT_EQ(0, KORVA_play_sound(id));
    EXPECT_EQ(0, KORVA_loop_sound(id));
    EXPECT_EQ(0, KORVA_play_sound(id));
    EXPECT_EQ(0, KORVA_sound_playing(id));
    EXPECT_EQ(1, KORVA_stop_sound(id));
    EXPECT_EQ(1, KORVA_stop_sounds());
    EXPECT_EQ(std::vector<std::string>{"No audio device: sounds are not played\n"}, console_lines());
}

TEST_F(SoundsTest, VolumesOutsideZeroToAHundredAreCorrected) {
    write_wave("beep.wav", 1600);
    const int id = KORVA_load_sound("beep.wav");
    const struct {
        int32_t percent;
        std::string line;
    } cases[] = {{0, ""}, {100, ""}, {37, ""}, {-1, "Volume of -1 not possible, using 0\n"},
                 {101, "Volume of 101 not possible, using 100\n"}, {INT_MIN, "Volume of -2147483648 not possible, using 0\n"}};
    for (const auto& c : cases) {
        clear_console();
        EXPECT_EQ(1, KORVA_sound_volume(id, c.percent));
        EXPECT_EQ(c.line.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.line}, console_lines());
    }
}

TEST_F(SoundsTest, EachCallIsLoggedWhileLoggingIsOn) {
    write_wave("beep.wav", 1600);
    const int id = KORVA_load_sound("beep.wav");
    const std::string n = std::to_string(id);
    korva_state.sounds.device = -1;  // known to be missing: the lines are the log's alone
    KORVA_logging(1);
    clear_console();
    KORVA_play_sound(id);
    KORVA_loop_sound(id);
    KORVA_sound_volume(id, 30);
    KORVA_stop_sound(id);
    KORVA_stop_sounds();
    EXPECT_EQ((std::vector<std::string>{"Sound " + n + " played\n", "Sound " + n + " looped\n",
                                        "Sound " + n + " at volume 30%\n", "Sound " + n + " stopped\n",
                                        "Every sound stopped\n"}),
              console_lines());
}

// In a replay the program is told its sounds played, and nothing reaches a device.
TEST_F(SoundsTest, AReplayPlaysNothing) {
    write_wave("beep.wav", 1600);
    const int id = KORVA_load_sound("beep.wav");
    korva_state.replay.active = 1;
    const int8_t device = korva_state.sounds.device;
    korva_state.sounds.device = 0;
    EXPECT_EQ(1, KORVA_play_sound(id));
    EXPECT_EQ(1, KORVA_loop_sound(id));
    EXPECT_EQ(0, korva_state.sounds.device) << "a replay asked for the audio device";
    EXPECT_TRUE(console_lines().empty());
    korva_state.replay.active = 0;
    korva_state.sounds.device = device;
}

TEST_F(SoundsTest, OneSoundIsFreedAndItsIdGivenAgain) {
    write_wave("beep.wav", 1600);
    write_wave("other.wav", 800);
    const int first = KORVA_load_sound("beep.wav"), second = KORVA_load_sound("other.wav");
    ASSERT_GE(first, 1);
    ASSERT_GE(second, 1);
    EXPECT_EQ(1, KORVA_free_sound(first));
    EXPECT_EQ(nullptr, korva_state.sounds.loaded[first - 1].samples);
    clear_console();
    const std::string n = std::to_string(first);
    EXPECT_EQ(0, KORVA_play_sound(first));
    EXPECT_EQ(0, KORVA_free_sound(first));
    EXPECT_EQ((std::vector<std::string>{"Sound " + n + " is not loaded; nothing played.\n",
                                        "Sound " + n + " is not loaded; nothing freed.\n"}),
              console_lines());
    // The other is untouched, and the next load takes the freed id.
    EXPECT_EQ(800u, korva_state.sounds.loaded[second - 1].bytes);
    EXPECT_EQ(first, KORVA_load_sound("other.wav"));
    KORVA_free_sound(first);
    KORVA_free_sound(second);
}

TEST_F(SoundsTest, TheStoreHoldsSixtyFourSounds) {
    write_wave("beep.wav", 16);
    size_t already = 0;
    for (const Sound& sound : korva_state.sounds.loaded) already += sound.samples != nullptr;
    std::vector<int> ids;
    int id;
    while ((id = KORVA_load_sound("beep.wav")) != 0 && ids.size() < 100) ids.push_back(id);
    EXPECT_EQ(64u, ids.size() + already);
    EXPECT_EQ(std::vector<std::string>{"Cannot load sound beep.wav: 64 sounds are loaded already\n"}, console_lines());
}

}  // namespace
