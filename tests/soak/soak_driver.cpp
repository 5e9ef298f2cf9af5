// Soak of the real room.exe under random input: starts it, posts thousands of random menu
// commands, Ctrl shortcuts and clicks drawn from a fixed seed, and checks that it stays alive,
// keeps its memory flat, writes only well-formed script lines, still draws, and exits 0 on Quit.
//   soak_driver ROOM_EXE      (KORVA_SOAK_SEED, KORVA_SOAK_EVENTS: seed and number of random events)
#include <windows.h>
#include <psapi.h>

#include <errno.h>
#include <stdarg.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "korva/platform/script_line.h"

static const uint64_t DEFAULT_SEED = 20240229;
static const uint32_t DEFAULT_EVENTS = 4000;
static const uint32_t WARM_UP_EVENTS = 300;
static const uint32_t BATCH_SIZE = 32;
static const uint32_t ROSTER_CAPACITY = 50;
// Leak proof by exhaustion: each kind of object the room makes per drawing call must be made
// more often than the GDI handle table holds (about 65,500 under Wine, measured at start), so
// a leak of any one kind fills the table and the room could no longer draw at the end.
// The full room makes fonts and console lines (50 names each per redraw), the empty-room flood
// pens and brushes (4 and 5 per redraw) quickly, with logging off.
static const uint32_t FULL_ROOM_CLICKS = 2000;
static const uint32_t FLOOD_CLICKS = 20000;
static const uint32_t GDI_PROBE_LIMIT = 1u << 20;
static const DWORD WINDOW_WAIT_MS = 30000;
static const DWORD SYNC_WAIT_MS = 30000;
static const DWORD EXIT_WAIT_MS = 30000;
static const DWORD SCREEN_WAIT_MS = 10000;
// Memory counts as flat while the end exceeds the start by neither this much nor this factor:
// generous, because the figure is for gross growth, not for the allocator's noise.
static const SIZE_T GROWTH_ALLOWANCE = 64u << 20;
static const SIZE_T GROWTH_FACTOR = 3;
static const char* const SCRIPT_FILE = "KORVA.SCR";

// Menu command ids of the room's "&Run" menu that the soak uses by name.
enum : WPARAM {
    CMD_LOGGING = 4,
    CMD_RECORD = 5,
    CMD_QUIT = 8,
    CMD_ENTERS_FIRST = 13,  // 13, 14, 15: Besouru, Blazrack, Mushi enter
    CMD_LEAVES_FIRST = 16,  // 16, 17, 18: they leave
};

// The Ctrl shortcuts that may come at any time (Q only at the end, as Quit).
static const char SHORTCUT_KEYS[] = {'A', 'H', 'F', 'L', 'R', 'P', 'O'};
// Command ids without an item, and one with a notification code in its high half.
static const WPARAM ODD_COMMANDS[] = {0, 9, 23, 99, 0xFFFF, 0x10004};
// Keys that the room must ignore without Ctrl held (Q stays out: it is Quit with Ctrl).
static const WPARAM PLAIN_KEYS[] = {'A', 'H', 'F', 'L', 'R', 'P', 'O', 'X', VK_SPACE, VK_F1, VK_RETURN};

// Doorway squares: centre in the room's y-up coordinates, and the colour the room fills it with.
struct Doorway {
    const char* name;
    int32_t x, y;
    COLORREF colour;
};
static const Doorway DOORWAYS[] = {
    {"north (red)", 60, 60, RGB(255, 0, 0)},
    {"east (blue)", 60, -60, RGB(0, 0, 255)},
    {"south (green)", -60, -60, RGB(0, 255, 0)},
    {"west (yellow)", -60, 60, RGB(255, 255, 0)},
};
static const int32_t DOORWAY_HALF = 20;

enum ActionKind { ACT_COMMAND, ACT_ODD_COMMAND, ACT_SHORTCUT, ACT_PLAIN_KEY, ACT_CLICK_DOORWAY, ACT_CLICK_ANYWHERE };
struct ActionWeight {
    ActionKind kind;
    uint32_t weight;
};
// Enters and Leaves come with the plain commands; clicks are frequent so that a hero under
// control often walks and leaves through a doorway.
static const ActionWeight ACTION_WEIGHTS[] = {
    {ACT_COMMAND, 40}, {ACT_ODD_COMMAND, 2}, {ACT_SHORTCUT, 14},
    {ACT_PLAIN_KEY, 4}, {ACT_CLICK_DOORWAY, 15}, {ACT_CLICK_ANYWHERE, 25},
};

struct Room {
    PROCESS_INFORMATION process;
    HWND window;  // "KORVA Graphics" of this process
    int32_t origin_x, origin_y;  // client-area centre, as the room computes it
    int32_t client_width, client_height;
};

// What the driver's own toggles made of the room's switches. Only these toggles change them
// after start-up, so the model is exact.
struct Model {
    bool recording;
    bool logging;  // the room turns logging off when it starts
};

struct Figures {
    uint32_t messages;         // messages posted, markers excluded
    uint32_t event_messages;   // clicks, Enters and Leaves: each ends one wait, so one redraw at least
    uint32_t logged_events;    // those of them posted while logging was on
    uint32_t full_room_redraws;  // redraws with exactly 50 names (logging on)
    uint32_t gdi_table;          // GDI objects one process can hold here
    uint32_t file_checks;
    uint32_t script_lines;     // script lines checked, over all checks
    SIZE_T ws_start, ws_end, ws_peak, private_start, private_end;
};

static Room room;
static Model model;
static Figures figures;

// Ends the run: reports the failure, stops the room we started, exits non-zero.
static void fail(const char* format, ...) {
    va_list args;
    va_start(args, format);
    fprintf(stderr, "FAIL: ");
    vfprintf(stderr, format, args);
    fprintf(stderr, "\n");
    va_end(args);
    if (room.process.hProcess != nullptr) TerminateProcess(room.process.hProcess, 99);
    exit(1);
}

// splitmix64: small, fast, and the same sequence on every machine for a seed.
static uint64_t rng_state;
static uint64_t next_random() {
    uint64_t z = (rng_state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}
static uint32_t random_below(uint32_t n) {
    return static_cast<uint32_t>(next_random() % n);
}
static int32_t random_between(int32_t low, int32_t high) {
    return low + static_cast<int32_t>(random_below(static_cast<uint32_t>(high - low + 1)));
}

// A whole decimal number from the environment, or the default when the variable is unset.
static uint64_t setting(const char* name, uint64_t fallback, uint64_t low, uint64_t high) {
    const char* text = getenv(name);
    if (text == nullptr || *text == '\0') return fallback;
    char* end = nullptr;
    errno = 0;
    unsigned long long value = strtoull(text, &end, 10);
    if (errno != 0 || *end != '\0' || text[0] == '-' || value < low || value > high) {
        fprintf(stderr, "%s must be a whole number from %llu to %llu, not \"%s\"\n", name,
                static_cast<unsigned long long>(low), static_cast<unsigned long long>(high), text);
        exit(2);
    }
    return value;
}

static void expect_alive(const char* when) {
    DWORD code = 0;
    GetExitCodeProcess(room.process.hProcess, &code);
    if (code != STILL_ACTIVE) fail("room.exe ended %s: exit code %lu (0x%lX), expected it to keep running", when, code, code);
}

struct WindowSearch {
    DWORD process_id;
    HWND found;
};
static BOOL CALLBACK match_window(HWND window, LPARAM param) {
    WindowSearch* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char title[64] = "";
    GetWindowTextA(window, title, sizeof title);
    if (owner == search->process_id && strcmp(title, "KORVA Graphics") == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// The title alone is not enough: a window of an earlier room may still be listed.
static HWND find_graphics_window() {
    for (DWORD waited = 0; waited < WINDOW_WAIT_MS; waited += 50) {
        WindowSearch search{room.process.dwProcessId, nullptr};
        EnumWindows(match_window, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr && IsWindowVisible(search.found)) return search.found;
        expect_alive("before its graphics window appeared");
        Sleep(50);
    }
    fail("no visible \"KORVA Graphics\" window of room.exe within %lu ms", WINDOW_WAIT_MS);
    return nullptr;
}

static void start_room(const char* exe) {
    // A crash must end the process rather than wait in a dialog; the child inherits this.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    DeleteFileA(SCRIPT_FILE);
    char directory[MAX_PATH];
    GetCurrentDirectoryA(sizeof directory, directory);
    std::string command = std::string("\"") + exe + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessA(exe, &command[0], nullptr, nullptr, FALSE, 0, nullptr, directory, &startup, &room.process))
        fail("cannot start %s (error %lu)", exe, GetLastError());
    room.window = find_graphics_window();
    RECT client;
    GetClientRect(room.window, &client);
    room.client_width = client.right - client.left;
    room.client_height = client.bottom - client.top;
    room.origin_x = client.left + room.client_width / 2;
    room.origin_y = client.top + room.client_height / 2;
    printf("room.exe pid %lu in %s, client area %d x %d\n", room.process.dwProcessId, directory,
           room.client_width, room.client_height);
}

static void post(UINT message, WPARAM wparam, LPARAM lparam) {
    // The marker sync keeps the queue to one batch, far below the platform's 10,000 limit.
    if (!PostMessageA(room.window, message, wparam, lparam))
        fail("PostMessage(0x%X) to the room failed (error %lu)", message, GetLastError());
}

static void post_event_message(UINT message, WPARAM wparam, LPARAM lparam) {
    post(message, wparam, lparam);
    ++figures.messages;
    ++figures.event_messages;
    if (model.logging) ++figures.logged_events;
}

static void command(WPARAM id) {
    bool makes_event = id >= CMD_ENTERS_FIRST && id <= CMD_LEAVES_FIRST + 2;
    if (makes_event) {
        post_event_message(WM_COMMAND, id, 0);
    } else {
        post(WM_COMMAND, id, 0);
        ++figures.messages;
    }
    if (id == CMD_LOGGING) model.logging = !model.logging;
    if (id == CMD_RECORD) model.recording = !model.recording;
}

static void shortcut(char letter) {
    post(WM_KEYDOWN, VK_CONTROL, 0);
    post(WM_KEYDOWN, static_cast<WPARAM>(letter), 0);
    post(WM_KEYUP, VK_CONTROL, 0);
    figures.messages += 3;
    if (letter == 'L') model.logging = !model.logging;
    if (letter == 'R') model.recording = !model.recording;
}

// A left click at a client-area pixel (the press makes the event; the release must not).
static void click_pixel(uint32_t px, uint32_t py) {
    LPARAM position = static_cast<LPARAM>(((py & 0xFFFF) << 16) | (px & 0xFFFF));
    post_event_message(WM_LBUTTONDOWN, MK_LBUTTON, position);
    post(WM_LBUTTONUP, 0, position);
    ++figures.messages;
}

static void click_room(int32_t x, int32_t y) {
    click_pixel(static_cast<uint32_t>(room.origin_x + x), static_cast<uint32_t>(room.origin_y - y));
}

// Everything posted before the marker has been handled once the room has handled the marker:
// posted messages are taken in order. A sent message would not do, because a thread handles
// sent messages before any posted one. WM_SETREDRAW goes to the default procedure, which
// clears or sets WS_VISIBLE, and that style can be read from here.
static void await_marker(bool visible) {
    post(WM_SETREDRAW, visible ? TRUE : FALSE, 0);
    const DWORD posted_at = GetTickCount();
    for (;;) {
        bool now_visible = (GetWindowLongA(room.window, GWL_STYLE) & WS_VISIBLE) != 0;
        if (now_visible == visible) return;
        // Waiting on the process handle also notices a room that dies meanwhile.
        if (WaitForSingleObject(room.process.hProcess, 1) == WAIT_OBJECT_0) expect_alive("while handling its queue");
        if (GetTickCount() - posted_at > SYNC_WAIT_MS) fail("room.exe did not handle its queue within %lu ms (hung, or stopped in a debugger)", SYNC_WAIT_MS);
    }
}

static void sync_room(const char* when) {
    await_marker(false);
    await_marker(true);
    expect_alive(when);
}

static void sample_memory(SIZE_T* working_set, SIZE_T* private_bytes) {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(room.process.hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters))
        fail("GetProcessMemoryInfo on room.exe failed (error %lu)", GetLastError());
    *working_set = counters.WorkingSetSize;
    *private_bytes = counters.PrivateUsage;
    if (counters.WorkingSetSize > figures.ws_peak) figures.ws_peak = counters.WorkingSetSize;
}

// Every line must be exactly what the recorder writes for the values it carries, ended by
// CR LF, and a periodic count is at least 1. Returns the number of lines checked.
static uint32_t check_script_file(const char* when) {
    FILE* file = fopen(SCRIPT_FILE, "rb");
    if (file == nullptr) return 0;  // nothing recorded yet
    std::string text;
    char chunk[4096];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, file)) > 0) text.append(chunk, n);
    fclose(file);

    uint32_t count = 0;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) fail("%s: %s line %u has no line end: \"%s\"", when, SCRIPT_FILE, count + 1, text.substr(start).c_str());
        std::string line = text.substr(start, end + 1 - start);
        ++count;
        if (line.size() < 2 || line[line.size() - 2] != '\r')
            fail("%s: %s line %u does not end with CR LF: \"%s\"", when, SCRIPT_FILE, count, line.c_str());
        std::string unix_line = line.substr(0, line.size() - 2) + "\n";
        ScriptLine parsed = parse_script_line(unix_line.c_str(), unix_line.size());
        int32_t first = parsed.kind == KORVA_MOUSE ? parsed.x : parsed.kind == KORVA_KBD ? parsed.key : parsed.count;
        char expected[SCRIPT_LINE_FORMAT_SIZE];
        format_script_line(parsed.kind, first, parsed.y, expected, sizeof expected);
        if (parsed.kind == KORVA_NONE || unix_line != expected)
            fail("%s: %s line %u: expected a recorder line (\"%s\" for what it parses to), got \"%s\"", when, SCRIPT_FILE, count,
                 expected, unix_line.c_str());
        if (parsed.kind == KORVA_PERIODIC && parsed.count < 1)
            fail("%s: %s line %u: expected a periodic count of 1 or more, got %d", when, SCRIPT_FILE, count, parsed.count);
        start = end + 1;
    }
    ++figures.file_checks;
    figures.script_lines += count;
    return count;
}

static ActionKind pick_action() {
    uint32_t total = 0;
    for (const ActionWeight& a : ACTION_WEIGHTS) total += a.weight;
    uint32_t r = random_below(total);
    for (const ActionWeight& a : ACTION_WEIGHTS) {
        if (r < a.weight) return a.kind;
        r -= a.weight;
    }
    return ACT_COMMAND;
}

// One random action. Returns true when it stopped recording, which closes the script file.
static bool random_action() {
    bool was_recording = model.recording;
    switch (pick_action()) {
    case ACT_COMMAND: {
        // 1 to 22 without Quit, which comes only at the end.
        WPARAM id = 1 + random_below(21);
        if (id >= CMD_QUIT) ++id;
        command(id);
        break;
    }
    case ACT_ODD_COMMAND:
        command(ODD_COMMANDS[random_below(sizeof ODD_COMMANDS / sizeof ODD_COMMANDS[0])]);
        break;
    case ACT_SHORTCUT:
        shortcut(SHORTCUT_KEYS[random_below(sizeof SHORTCUT_KEYS)]);
        break;
    case ACT_PLAIN_KEY:
        post(WM_KEYDOWN, PLAIN_KEYS[random_below(sizeof PLAIN_KEYS / sizeof PLAIN_KEYS[0])], 0);
        ++figures.messages;
        break;
    case ACT_CLICK_DOORWAY: {
        const Doorway& d = DOORWAYS[random_below(4)];
        click_room(d.x + random_between(-DOORWAY_HALF, DOORWAY_HALF), d.y + random_between(-DOORWAY_HALF, DOORWAY_HALF));
        break;
    }
    case ACT_CLICK_ANYWHERE:
        // Now and then a position the client area cannot hold (the low and high words at their maximum).
        if (random_below(50) == 0) {
            click_pixel(0xFFFF, 0xFFFF);
        } else {
            click_pixel(random_below(static_cast<uint32_t>(room.client_width)), random_below(static_cast<uint32_t>(room.client_height)));
        }
        break;
    }
    return was_recording && !model.recording;
}

static void run_random_phase(uint32_t events, bool* sampled_start) {
    uint32_t in_batch = 0;
    for (uint32_t i = 0; i < events; ++i) {
        bool closed_script = random_action();
        if (++in_batch == BATCH_SIZE || closed_script || i + 1 == events || i + 1 == WARM_UP_EVENTS) {
            sync_room("during the random events");
            in_batch = 0;
            if (closed_script) check_script_file("after recording stopped");
            SIZE_T working_set = 0, private_bytes = 0;
            sample_memory(&working_set, &private_bytes);
            if (!*sampled_start && i + 1 >= WARM_UP_EVENTS) {
                figures.ws_start = working_set;
                figures.private_start = private_bytes;
                *sampled_start = true;
            }
        }
    }
}

// Every Leaves command removes one entry of its hero if there is one and clears that hero's
// control flag, so fifty of each empty a roster of at most fifty and leave nobody under control.
static void empty_the_room() {
    for (uint32_t round = 0; round < ROSTER_CAPACITY; ++round) {
        for (WPARAM hero = 0; hero < 3; ++hero) command(CMD_LEAVES_FIRST + hero);
        if (round % 5 == 4) sync_room("while the heroes leave");
    }
    sync_room("after the heroes left");
}

static void stop_recording() {
    if (!model.recording) return;
    command(CMD_RECORD);
    sync_room("after recording stopped");
    check_script_file("after recording stopped");
}

// A room of exactly fifty names and nobody under control: every click redraws fifty names
// (a font each) and, with logging on, writes at least 55 console lines, whatever a running
// playback does (it can move only a hero under control). Two heroes more knock on a full room.
static void run_full_room_phase() {
    stop_recording();
    empty_the_room();
    if (!model.logging) command(CMD_LOGGING);
    for (uint32_t i = 0; i < ROSTER_CAPACITY + 2; ++i) command(CMD_ENTERS_FIRST + i % 3);
    sync_room("after fifty heroes entered");
    for (uint32_t i = 0; i < FULL_ROOM_CLICKS; ++i) {
        click_pixel(random_below(static_cast<uint32_t>(room.client_width)), random_below(static_cast<uint32_t>(room.client_height)));
        ++figures.full_room_redraws;
        if (i % BATCH_SIZE == BATCH_SIZE - 1) sync_room("in the full room");
    }
    sync_room("after the full room");
}

// An empty room, nobody under control and logging off: each click is one cheap redraw.
static void run_flood_phase() {
    empty_the_room();
    if (model.logging) command(CMD_LOGGING);
    for (uint32_t i = 0; i < FLOOD_CLICKS; ++i) {
        click_room(0, -150);
        if (i % BATCH_SIZE == BATCH_SIZE - 1) sync_room("in the empty-room flood");
    }
    sync_room("after the empty-room flood");
}

// How many GDI objects a process can hold here: pens made in this process until the platform
// refuses one, then all deleted again.
static uint32_t measure_gdi_table() {
    std::vector<HPEN> pens;
    while (pens.size() < GDI_PROBE_LIMIT) {
        HPEN pen = CreatePen(PS_SOLID, 1, RGB(pens.size() & 0xFF, 0, 0));
        if (pen == nullptr) break;
        pens.push_back(pen);
    }
    for (HPEN pen : pens) DeleteObject(pen);
    return static_cast<uint32_t>(pens.size());
}

struct ScreenCheck {
    uint32_t matching[4];  // pixels of each doorway square in its colour
    uint32_t stray;        // pixels around them that are not the cleared white
};

// Reads the screen, as a user would see it, around the client-area centre.
static ScreenCheck read_screen() {
    const int32_t reach = 80;
    const int32_t side = 2 * reach + 1;
    POINT centre{room.origin_x, room.origin_y};
    ClientToScreen(room.window, &centre);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = side;
    info.bmiHeader.biHeight = -side;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, side, side, screen, centre.x - reach, centre.y - reach, SRCCOPY);
    GdiFlush();

    ScreenCheck result{};
    const uint32_t* pixels = static_cast<const uint32_t*>(bits);
    for (int32_t row = 0; row < side; ++row) {
        for (int32_t column = 0; column < side; ++column) {
            uint32_t p = pixels != nullptr ? pixels[row * side + column] & 0xFFFFFF : 0;
            COLORREF colour = RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
            int32_t x = column - reach;
            int32_t y = reach - row;
            bool in_doorway = false;
            for (int i = 0; i < 4; ++i) {
                const Doorway& d = DOORWAYS[i];
                if (abs(x - d.x) <= DOORWAY_HALF && abs(y - d.y) <= DOORWAY_HALF) {
                    in_doorway = true;
                    if (colour == d.colour) ++result.matching[i];
                }
            }
            if (!in_doorway && colour != RGB(255, 255, 255)) ++result.stray;
        }
    }
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return result;
}

// The empty room must show the four filled doorways and nothing else near them: after all the
// objects made, pens, brushes and the clear still work.
static void expect_room_drawn() {
    const uint32_t full = (2 * DOORWAY_HALF + 1) * (2 * DOORWAY_HALF + 1);
    ScreenCheck seen{};
    for (DWORD waited = 0; waited <= SCREEN_WAIT_MS; waited += 100) {
        seen = read_screen();
        bool all = seen.stray == 0;
        for (uint32_t m : seen.matching) all = all && m == full;
        if (all) {
            printf("screen: the four doorways fully drawn (%u pixels each), nothing else around them\n", full);
            return;
        }
        Sleep(100);
    }
    for (int i = 0; i < 4; ++i)
        fprintf(stderr, "doorway %s: expected %u pixels of its colour, got %u\n", DOORWAYS[i].name, full, seen.matching[i]);
    fail("the empty room is not drawn as expected: %u pixels outside the doorways are not white (expected 0)", seen.stray);
}

static void quit_room() {
    post(WM_COMMAND, CMD_QUIT, 0);
    if (WaitForSingleObject(room.process.hProcess, EXIT_WAIT_MS) != WAIT_OBJECT_0)
        fail("room.exe still runs %lu ms after Quit", EXIT_WAIT_MS);
    DWORD code = 0;
    GetExitCodeProcess(room.process.hProcess, &code);
    if (code != 0) fail("room.exe exit code after Quit: expected 0, got %lu (0x%lX)", code, code);
}

static double mib(SIZE_T bytes) {
    return static_cast<double>(bytes) / (1024.0 * 1024.0);
}

// Lower bounds: a message that completes an event ends one wait, and the room redraws once per
// wait; played, periodic and injected events redraw as well but are not counted.
struct Made {
    uint64_t redraws, pens, brushes, fonts, console_lines;
};
static Made objects_made() {
    Made m{};
    m.redraws = figures.event_messages;
    m.pens = 4 * m.redraws;         // one per filled doorway
    m.brushes = 5 * m.redraws;      // the clear's and one per filled doorway
    m.fonts = uint64_t{ROSTER_CAPACITY} * figures.full_room_redraws;  // one per name drawn
    m.console_lines = 5ull * figures.logged_events + uint64_t{ROSTER_CAPACITY} * figures.full_room_redraws;
    return m;
}

static void print_figures(uint64_t seed, uint32_t events, DWORD elapsed_ms) {
    Made m = objects_made();
    printf("seed %llu: %u random events, %u full-room clicks, %u empty-room clicks in %.1f s\n",
           static_cast<unsigned long long>(seed), events, FULL_ROOM_CLICKS, FLOOD_CLICKS, elapsed_ms / 1000.0);
    printf("messages posted: %u; %u of them complete an event, so at least %llu redraws\n", figures.messages,
           figures.event_messages, static_cast<unsigned long long>(m.redraws));
    printf("made at least: %llu pens, %llu brushes, %llu fonts, %llu console lines; a process holds %u GDI objects here\n",
           static_cast<unsigned long long>(m.pens), static_cast<unsigned long long>(m.brushes),
           static_cast<unsigned long long>(m.fonts), static_cast<unsigned long long>(m.console_lines), figures.gdi_table);
    printf("script file: checked %u times, %u well-formed lines in all\n", figures.file_checks, figures.script_lines);
    printf("working set: %.2f MiB at the start (after %u events), %.2f MiB at the end, %.2f MiB at most\n",
           mib(figures.ws_start), WARM_UP_EVENTS, mib(figures.ws_end), mib(figures.ws_peak));
    if (figures.private_start == 0 && figures.private_end == 0) {
        printf("private bytes: not reported by this platform\n");
    } else {
        printf("private bytes: %.2f MiB at the start, %.2f MiB at the end\n", mib(figures.private_start), mib(figures.private_end));
    }
}

// The drawing seen at the end proves no leak only if every kind was made more often than the
// table holds; a platform with a larger table needs a longer run.
static void expect_exhausting_run() {
    Made m = objects_made();
    uint64_t fewest = m.pens < m.fonts ? m.pens : m.fonts;
    if (fewest <= figures.gdi_table)
        fail("the run made only %llu pens and %llu fonts, expected more than the %u GDI objects a process holds here",
             static_cast<unsigned long long>(m.pens), static_cast<unsigned long long>(m.fonts), figures.gdi_table);
}

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: soak_driver ROOM_EXE\n");
        return 2;
    }
    setvbuf(stdout, nullptr, _IONBF, 0);
    const uint64_t seed = setting("KORVA_SOAK_SEED", DEFAULT_SEED, 0, UINT64_MAX);
    const uint32_t events = static_cast<uint32_t>(setting("KORVA_SOAK_EVENTS", DEFAULT_EVENTS, WARM_UP_EVENTS, 10000000));
    rng_state = seed;
    figures.gdi_table = measure_gdi_table();
    const DWORD started = GetTickCount();

    start_room(argv[1]);
    sync_room("after start-up");
    bool sampled_start = false;
    run_random_phase(events, &sampled_start);
    printf("random events done at %.1f s\n", (GetTickCount() - started) / 1000.0);
    run_full_room_phase();
    printf("full room done at %.1f s\n", (GetTickCount() - started) / 1000.0);
    run_flood_phase();
    printf("empty-room flood done at %.1f s\n", (GetTickCount() - started) / 1000.0);
    stop_recording();

    sample_memory(&figures.ws_end, &figures.private_end);
    if (figures.ws_end > figures.ws_start + GROWTH_ALLOWANCE || figures.ws_end > GROWTH_FACTOR * figures.ws_start)
        fail("working set grew from %.1f MiB to %.1f MiB: expected at most %.0f MiB more and at most %u times the start", mib(figures.ws_start),
             mib(figures.ws_end), mib(GROWTH_ALLOWANCE), static_cast<unsigned>(GROWTH_FACTOR));
    // The marker hides the window for a moment, and a canvas copy that falls in that moment
    // is lost; one more event redraws the room after the last marker.
    click_room(0, -150);
    expect_room_drawn();
    quit_room();
    check_script_file("after the room ended");
    print_figures(seed, events, GetTickCount() - started);
    expect_exhausting_run();
    printf("PASS\n");
    return 0;
}
