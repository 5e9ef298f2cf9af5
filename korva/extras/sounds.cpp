// Sounds: WAV files read once and played by the platform's audio engine (XAudio2), which mixes
// every play of every sound on the system's audio device. The engine starts with the first play
// and ends at close; a machine without an audio device is told once and plays nothing.
#include <windows.h>

#include <mmdeviceapi.h>
#include <objbase.h>
#include <stdlib.h>
#include <string.h>
#include <xaudio2.h>

#include "korva/base/state.h"
#include "korva/console/log_line.h"
#include "korva/extras/program_folder.h"
#include "korva/extras/sounds.h"
#include "korva/extras/wave_file.h"
#include "korva/platform/shown_path.h"
#include "korva/platform/user_file.h"

// A file no larger than the largest sound's samples and a generous header.
static const DWORD MAX_SOUND_FILE = MAX_SOUND_BYTES + 65536;

static Sound* loaded_sound(int32_t id) {
    if (id < 1 || id > MAX_SOUNDS) return nullptr;
    Sound* s = &korva_state.sounds.loaded[id - 1];
    return s->samples != nullptr ? s : nullptr;
}

// The whole file in `*bytes` (the caller frees it), or the reason.
static const char* read_whole_file(const char* path, uint8_t** bytes, DWORD* size) {
    *bytes = nullptr;
    wchar_t* wide = user_file_path(path);
    if (wide == nullptr) return "the name cannot be read as a path";
    if (const char* why = user_file_problem(wide)) {
        free(wide);
        return why;
    }
    HANDLE file =
        CreateFileW(wide, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    free(wide);
    if (file == INVALID_HANDLE_VALUE) return "the file cannot be read (no permission, or another program holds it)";
    LARGE_INTEGER length;
    const char* why = nullptr;
    if (!GetFileSizeEx(file, &length)) {
        why = "the file cannot be read (no permission, or another program holds it)";
    } else if (length.QuadPart > MAX_SOUND_FILE) {
        why = "too large (more than 64 MB of samples)";
    } else if ((*bytes = static_cast<uint8_t*>(malloc(length.QuadPart > 0 ? length.QuadPart : 1))) == nullptr) {
        why = "not enough memory";
    } else if (!ReadFile(file, *bytes, static_cast<DWORD>(length.QuadPart), size, nullptr) ||
               *size != static_cast<DWORD>(length.QuadPart)) {
        why = "the file cannot be read (no permission, or another program holds it)";
    }
    CloseHandle(file);
    if (why != nullptr) {
        free(*bytes);
        *bytes = nullptr;
    }
    return why;
}

int KORVA_load_sound(const char* path) {
    char shown[SHOWN_PATH_SIZE];
    if (path == nullptr || path[0] == '\0') {
        KORVA_printf("Cannot load sound: no file name\n");
        return 0;
    }
    if (!library_open()) {
        KORVA_printf("Cannot load sound %s: the library is not open\n", shown_path(path, shown));
        return 0;
    }
    int32_t slot = -1;
    for (int32_t i = 0; i < MAX_SOUNDS && slot < 0; ++i) {
        if (korva_state.sounds.loaded[i].samples == nullptr) slot = i;
    }
    if (slot < 0) {
        KORVA_printf("Cannot load sound %s: %d sounds are loaded already\n", shown_path(path, shown), MAX_SOUNDS);
        return 0;
    }
    uint8_t* bytes = nullptr;
    DWORD size = 0;
    const char* why = read_whole_file(path, &bytes, &size);
    // As pictures: a name that is not here is looked for beside the program.
    char beside[MAX_PATH * 2];
    if (why == USER_FILE_MISSING && is_relative(path) &&
        path_beside_program(path, beside, sizeof beside) && read_whole_file(beside, &bytes, &size) == nullptr) {
        why = nullptr;
    }
    WaveSound wave{};
    if (why == nullptr) why = read_wave(bytes, size, &wave);
    uint8_t* samples = nullptr;
    if (why == nullptr && (samples = static_cast<uint8_t*>(malloc(wave.data_bytes))) == nullptr) why = "not enough memory";
    if (why != nullptr) {
        free(bytes);
        KORVA_printf("Cannot load sound %s: %s\n", shown_path(path, shown), why);
        return 0;
    }
    memcpy(samples, bytes + wave.data_offset, wave.data_bytes);
    free(bytes);
    korva_state.sounds.loaded[slot] =
        Sound{samples, static_cast<uint32_t>(wave.data_bytes), wave.rate, wave.channels, wave.bits, 100};
    return slot + 1;
}

// Whether the system has a device to play on, asked of its device list first: the engine itself
// is not safe to ask (Wine's fails by crashing when there is none).
static bool audio_device_present() {
    // In the program's own COM apartment if it has one, else in one of ours for the question.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IMMDeviceEnumerator* devices = nullptr;
    IMMDevice* device = nullptr;
    bool present = SUCCEEDED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL,
                                              __uuidof(IMMDeviceEnumerator), reinterpret_cast<void**>(&devices))) &&
                   SUCCEEDED(devices->GetDefaultAudioEndpoint(eRender, eConsole, &device));
    if (device != nullptr) device->Release();
    if (devices != nullptr) devices->Release();
    if (SUCCEEDED(com)) CoUninitialize();
    return present;
}

typedef HRESULT(WINAPI* CreateEngine)(IXAudio2**, UINT32, XAUDIO2_PROCESSOR);

// The engine and its mastering voice, made at the first play; false when there is no audio
// device (or no engine), which the console is told once.
static bool engine_ready() {
    Sounds& s = korva_state.sounds;
    if (s.device != 0) return s.device > 0;
    s.device = -1;
    if (!audio_device_present()) {
        KORVA_printf("No audio device: sounds are not played\n");
        return false;
    }
    HMODULE library = LoadLibraryA("xaudio2_9.dll");
    if (library == nullptr) library = LoadLibraryA("xaudio2_8.dll");
    CreateEngine create = library ? reinterpret_cast<CreateEngine>(reinterpret_cast<void*>(GetProcAddress(library, "XAudio2Create"))) : nullptr;
    IXAudio2* engine = nullptr;
    IXAudio2MasteringVoice* master = nullptr;
    if (create == nullptr || FAILED(create(&engine, 0, XAUDIO2_DEFAULT_PROCESSOR)) ||
        FAILED(engine->CreateMasteringVoice(&master, XAUDIO2_DEFAULT_CHANNELS, XAUDIO2_DEFAULT_SAMPLERATE, 0, nullptr,
                                            nullptr, AudioCategory_GameEffects))) {
        if (engine != nullptr) engine->Release();
        if (library != nullptr) FreeLibrary(library);
        KORVA_printf("No audio device: sounds are not played\n");
        return false;
    }
    s.library = library;
    s.engine = engine;
    s.master = master;
    s.device = 1;
    return true;
}

static void end_voice(SoundVoice* v) {
    static_cast<IXAudio2SourceVoice*>(v->voice)->DestroyVoice();
    *v = SoundVoice{nullptr, 0};
}

// A voice whose sound has played to its end is ended, so its slot serves the next play.
static void end_finished_voices() {
    for (SoundVoice& v : korva_state.sounds.voices) {
        if (v.voice == nullptr) continue;
        XAUDIO2_VOICE_STATE state;
        static_cast<IXAudio2SourceVoice*>(v.voice)->GetState(&state, XAUDIO2_VOICE_NOSAMPLESPLAYED);
        if (state.BuffersQueued == 0) end_voice(&v);
    }
}

static int32_t free_voice_slot() {
    for (int32_t i = 0; i < MAX_VOICES; ++i) {
        if (korva_state.sounds.voices[i].voice == nullptr) return i;
    }
    return -1;
}

static float gain(int32_t percent) {
    return static_cast<float>(percent) / 100.0f;
}

// Starts a play of the sound: once, or over and over.
static int start_play(int32_t id, bool loop) {
    const Sound* sound = loaded_sound(id);
    if (sound == nullptr) {
        KORVA_printf("Sound %d is not loaded; nothing played.\n", id);
        return 0;
    }
    if (korva_state.logging) log_printf(loop ? "Sound %d looped\n" : "Sound %d played\n", id);
    // A replay plays nothing: its canvas must not depend on sound, and nobody listens.
    if (korva_state.replay.active) return 1;
    if (!engine_ready()) return 0;
    Sounds& s = korva_state.sounds;
    int32_t slot = free_voice_slot();
    // Voices that have played to their end are ended only when their slots are wanted.
    if (slot < 0) {
        end_finished_voices();
        slot = free_voice_slot();
    }
    // Every voice still sounding: the one taken longest ago makes way, as a play would end anyway.
    if (slot < 0) {
        slot = s.next_voice;
        end_voice(&s.voices[slot]);
    }
    s.next_voice = (slot + 1) % MAX_VOICES;
    const WAVEFORMATEX format{WAVE_FORMAT_PCM,
                              sound->channels,
                              sound->rate,
                              sound->rate * sound->channels * sound->bits / 8u,
                              static_cast<WORD>(sound->channels * sound->bits / 8),
                              sound->bits,
                              0};
    IXAudio2SourceVoice* voice = nullptr;
    if (FAILED(static_cast<IXAudio2*>(s.engine)->CreateSourceVoice(&voice, &format, 0, XAUDIO2_DEFAULT_FREQ_RATIO,
                                                                   nullptr, nullptr, nullptr))) {
        KORVA_printf("Sound %d could not be played: the audio engine refused\n", id);
        return 0;
    }
    XAUDIO2_BUFFER buffer{};
    buffer.Flags = XAUDIO2_END_OF_STREAM;
    buffer.AudioBytes = sound->bytes;
    buffer.pAudioData = sound->samples;
    buffer.LoopCount = loop ? XAUDIO2_LOOP_INFINITE : 0;
    if (FAILED(voice->SetVolume(gain(sound->volume), XAUDIO2_COMMIT_NOW)) ||
        FAILED(voice->SubmitSourceBuffer(&buffer, nullptr)) || FAILED(voice->Start(0, XAUDIO2_COMMIT_NOW))) {
        voice->DestroyVoice();
        KORVA_printf("Sound %d could not be played: the audio engine refused\n", id);
        return 0;
    }
    s.voices[slot] = SoundVoice{voice, id};
    return 1;
}

int KORVA_play_sound(int32_t id) {
    return start_play(id, false);
}

int KORVA_loop_sound(int32_t id) {
    return start_play(id, true);
}

int KORVA_sound_playing(int32_t id) {
    if (loaded_sound(id) == nullptr) return 0;
    end_finished_voices();
    for (const SoundVoice& v : korva_state.sounds.voices) {
        if (v.voice != nullptr && v.sound == id) return 1;
    }
    return 0;
}

int KORVA_stop_sound(int32_t id) {
    if (loaded_sound(id) == nullptr) {
        KORVA_printf("Sound %d is not loaded; nothing stopped.\n", id);
        return 0;
    }
    if (korva_state.logging) log_printf("Sound %d stopped\n", id);
    for (SoundVoice& v : korva_state.sounds.voices) {
        if (v.voice != nullptr && v.sound == id) end_voice(&v);
    }
    return 1;
}

int KORVA_stop_sounds() {
    if (korva_state.logging && library_open()) log_printf("Every sound stopped\n");
    for (SoundVoice& v : korva_state.sounds.voices) {
        if (v.voice != nullptr) end_voice(&v);
    }
    return 1;
}

int KORVA_sound_volume(int32_t id, int32_t percent) {
    Sound* sound = loaded_sound(id);
    if (sound == nullptr) {
        KORVA_printf("Sound %d is not loaded; no volume set.\n", id);
        return 0;
    }
    if (percent < 0 || percent > 100) {
        const int32_t corrected = percent < 0 ? 0 : 100;
        KORVA_printf("Volume of %d not possible, using %d\n", percent, corrected);
        percent = corrected;
    }
    if (korva_state.logging) log_printf("Sound %d at volume %d%%\n", id, percent);
    sound->volume = percent;
    // Its plays that are sounding now change too.
    for (SoundVoice& v : korva_state.sounds.voices) {
        if (v.voice != nullptr && v.sound == id) {
            static_cast<IXAudio2SourceVoice*>(v.voice)->SetVolume(gain(percent), XAUDIO2_COMMIT_NOW);
        }
    }
    return 1;
}

int KORVA_free_sound(int32_t id) {
    Sound* sound = loaded_sound(id);
    if (sound == nullptr) {
        KORVA_printf("Sound %d is not loaded; nothing freed.\n", id);
        return 0;
    }
    // Its plays end first: the engine reads the samples while they sound.
    for (SoundVoice& v : korva_state.sounds.voices) {
        if (v.voice != nullptr && v.sound == id) end_voice(&v);
    }
    free(sound->samples);
    *sound = Sound{};
    return 1;
}

void free_sounds() {
    Sounds& s = korva_state.sounds;
    for (SoundVoice& v : s.voices) {
        if (v.voice != nullptr) end_voice(&v);
    }
    if (s.master != nullptr) static_cast<IXAudio2MasteringVoice*>(s.master)->DestroyVoice();
    if (s.engine != nullptr) static_cast<IXAudio2*>(s.engine)->Release();
    if (s.library != nullptr) FreeLibrary(static_cast<HMODULE>(s.library));
    for (Sound& sound : s.loaded) free(sound.samples);
    s = Sounds{};
}
