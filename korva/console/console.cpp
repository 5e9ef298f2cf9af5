// Console output and its switches: KORVA_printf stores each formatted text as one line of
// the ring, KORVA_logging turns drawing-call logging on and off, KORVA_show_console shows
// or hides the console window.
#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#include "korva/base/command_ids.h"
#include "korva/base/state.h"
#include "korva/base/text_block.h"
#include "korva/console/console_paint.h"
#include "korva/console/console_ring.h"
#include "korva/console/log_line.h"

static_assert(CONSOLE_RING_SIZE == CONSOLE_LINE_COUNT, "the ring and LibraryState disagree on its size");

// The block is made before the oldest line is freed, so a failed allocation leaves the
// ring exactly as it was instead of losing a line and storing nothing in its place.
static bool store_line(const char* text, int32_t n) {
    HGLOBAL block = new_text_block(text, static_cast<size_t>(n));
    if (block == nullptr) return false;
    LibraryState& s = korva_state;
    RingPush push = ring_push(s.console_first, s.console_next);
    if (push.evict >= 0 && s.console_lines[push.evict] != nullptr) {
        GlobalFree(s.console_lines[push.evict]);
        s.console_lines[push.evict] = nullptr;
    }
    s.console_lines[push.slot] = block;
    s.console_first = push.new_first;
    s.console_next = push.new_next;
    return true;
}

void console_painted() {
    korva_state.console_invalidated = 0;
}

// One invalidation per paint: invalidating the window for every line would repeat a round trip
// to the window system per line (most of the cost of a logged drawing call), and the pending
// paint draws every line anyway. Before KORVA_open there is no console window; invalidating a
// null window would invalidate the whole desktop, so the line is only stored and shows at the
// first paint.
static void invalidate_console() {
    LibraryState& s = korva_state;
    HWND window = s.text_window;
    if (window == nullptr || s.console_invalidated) return;
    InvalidateRect(window, nullptr, TRUE);
    s.console_invalidated = 1;
}

// The update region may have been emptied by something other than the console's own paint (a
// ValidateRect, a paint done outside the window procedure); the paint asked for would then never
// come. Asking the window costs a round trip too, so it is asked once before messages are taken,
// the only time a paint can happen, rather than once per line.
void keep_console_paint_pending() {
    LibraryState& s = korva_state;
    HWND window = s.text_window;
    if (window == nullptr || !s.console_invalidated || GetUpdateRect(window, nullptr, FALSE)) return;
    InvalidateRect(window, nullptr, TRUE);
}

// In replay mode each line but the drawing calls' log goes to the program's standard error too,
// which the replay harness shows: a missing picture or a corrected colour is seen there.
static void echo_line(const char* text, int32_t n) {
    if (!korva_state.replay.active) return;
    HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    if (error == nullptr || error == INVALID_HANDLE_VALUE) return;
    char line[CONSOLE_FORMAT_BUFFER_SIZE + 16];
    int length = snprintf(line, sizeof line, "console: %.*s", static_cast<int>(n), text);
    if (length <= 0) return;
    if (static_cast<size_t>(length) >= sizeof line) length = static_cast<int>(sizeof line - 1);
    if (line[length - 1] != '\n') line[length++] = '\n';
    DWORD written = 0;
    WriteFile(error, line, static_cast<DWORD>(length), &written, nullptr);
}

// Returns the count the formatting gave: the full length of the formatted text, even when
// only its first 1023 characters are stored. A formatting error or a line that cannot be
// stored returns -1 and leaves the console unchanged.
static int store_formatted(bool echo, const char* format, va_list args) {
    if (format == nullptr) return -1;
    char buffer[CONSOLE_FORMAT_BUFFER_SIZE];
    buffer[0] = '\0';
    int formatted = vsnprintf(buffer, sizeof buffer, format, args);
    if (formatted < 0) return -1;
    buffer[CONSOLE_LINE_MAX] = '\0';

    // A %c of 0 ends the line early: the line is what stands before the first NUL.
    int32_t n = static_cast<int32_t>(strnlen(buffer, static_cast<size_t>(console_clip_length(formatted))));
    if (!store_line(buffer, n)) return -1;
    invalidate_console();
    if (echo) echo_line(buffer, n);
    return formatted;
}

int KORVA_printf(const char* format, ...) {
    va_list args;
    va_start(args, format);
    int formatted = store_formatted(true, format, args);
    va_end(args);
    return formatted;
}

int log_printf(const char* format, ...) {
    va_list args;
    va_start(args, format);
    int formatted = store_formatted(false, format, args);
    va_end(args);
    return formatted;
}

int KORVA_logging(int32_t flag) {
    LibraryState& s = korva_state;
    if (!library_open()) return 0;
    s.logging = flag != 0 ? 1 : 0;
    CheckMenuItem(s.run_menu, CMD_LOGGING, MF_BYCOMMAND | (s.logging ? MF_CHECKED : MF_UNCHECKED));
    if (s.logging) KORVA_show_console(1);
    return 1;
}

void KORVA_show_console(int32_t flag) {
    ShowWindow(korva_state.text_window, flag != 0 ? SW_SHOW : SW_HIDE);
}
