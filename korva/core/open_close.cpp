// KORVA_open and KORVA_close: window classes, the two windows, the canvas and the tick timer.
#include "korva/base/state.h"
#include "korva/core/window_procs.h"
#include "korva/draw/raster.h"
#include "korva/extras/hooks.h"
#include "korva/script/script.h"

static const char* const GRAPHICS_CLASS = "DrawWndClass";
static const char* const TEXT_CLASS = "TextWndClass";

static void register_class(const char* name, WNDPROC procedure, HBRUSH background) {
    WNDCLASSA wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = procedure;
    wc.hInstance = korva_state.instance;
    wc.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    // No such resource exists, so the class has no menu; the window builds its own.
    wc.lpszMenuName = "generic";
    wc.lpszClassName = name;
    RegisterClassA(&wc);
}

// A program with its own main() never passes through the entry routine, which leaves the
// instance null and the show command 0 (hidden windows). The process itself knows both.
static void take_start_up_values_from_process() {
    LibraryState& s = korva_state;
    if (s.instance != nullptr) return;
    s.instance = GetModuleHandleA(nullptr);
    STARTUPINFOA start_up{};
    start_up.cb = sizeof start_up;
    GetStartupInfoA(&start_up);
    s.show_command = (start_up.dwFlags & STARTF_USESHOWWINDOW) ? start_up.wShowWindow : SW_SHOWDEFAULT;
}

// Each window is made anew only when there is none: a program that opens again after a close
// gets the windows it had (the close box may have destroyed them; then new ones are made).
static void make_graphics_window() {
    LibraryState& s = korva_state;
    if (!IsWindow(s.graphics_window)) {
        s.graphics_window = CreateWindowExA(0, GRAPHICS_CLASS, "KORVA Graphics", WS_CAPTION | WS_SYSMENU, 0, 0,
                                            KORVA_CANVAS_WIDTH, KORVA_CANVAS_HEIGHT, nullptr, nullptr, s.instance,
                                            nullptr);
    }
}

static void make_text_window() {
    LibraryState& s = korva_state;
    if (!IsWindow(s.text_window)) {
        int screen_height = GetSystemMetrics(SM_CYSCREEN);
        s.text_window = CreateWindowExA(0, TEXT_CLASS, "KORVA Text", WS_OVERLAPPEDWINDOW, 0, 550, KORVA_CANVAS_WIDTH,
                                        screen_height / 4, nullptr, nullptr, s.instance, nullptr);
    }
}

// The canvas lives for the whole process; opening again starts from a canvas like a new one.
static void make_canvas() {
    LibraryState& s = korva_state;
    if (s.canvas_dc != nullptr) {
        PatBlt(s.canvas_dc, 0, 0, KORVA_CANVAS_WIDTH, KORVA_CANVAS_HEIGHT, BLACKNESS);
        s.canvas_dirty = 1;
        return;
    }
    s.canvas_bitmap = CreateCompatibleBitmap(s.window_dc, KORVA_CANVAS_WIDTH, KORVA_CANVAS_HEIGHT);
    s.canvas_dc = CreateCompatibleDC(s.window_dc);
    SelectObject(s.canvas_dc, s.canvas_bitmap);
}

// What a run of the library leaves behind that the next open must not inherit: a quit asked
// for, a half-made event, and what the extensions had switched on and knew.
static void forget_last_run() {
    LibraryState& s = korva_state;
    s.quit_requested = 0;
    s.injected_event_pending = 0;
    s.event_kind = KORVA_NONE;
    s.timer_ticked = 0;
    extensions_forget_last_run();
}

int KORVA_open() {
    LibraryState& s = korva_state;
    if (library_open()) {
        KORVA_printf("KORVA_open: the library is already open; nothing was opened\n");
        return 0;
    }
    take_start_up_values_from_process();
    extensions_open_begins();
    const bool first = s.graphics_window == nullptr;
    if (first && s.previous_instance == nullptr) {
        // One white brush serves both classes for the whole run.
        HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
        register_class(GRAPHICS_CLASS, graphics_window_proc, white);
        register_class(TEXT_CLASS, text_window_proc, white);
    }
    if (!first) forget_last_run();
    s.animating = 0;
    s.single_step = 0;

    make_graphics_window();
    // Open from here on, as soon as the graphics window exists.
    s.is_open = 1;
    make_text_window();
    s.dialog_instance = s.instance;
    s.window_dc = GetDC(s.graphics_window);
    make_canvas();

    ShowWindow(s.text_window, s.show_command);
    ShowWindow(s.graphics_window, s.show_command);
    SetTimer(s.graphics_window, TICK_TIMER_ID, TICK_PERIOD_MS, nullptr);
    extensions_open_ends();
    return 1;
}

int KORVA_close() {
    LibraryState& s = korva_state;
    if (!library_open()) return 1;
    extensions_close_begins();
    ReleaseDC(s.graphics_window, s.window_dc);
    // A released context may be handed out again; nothing may draw through it after this.
    s.window_dc = nullptr;
    // A recording ends with the run it records: left on, the next open's first event would
    // empty the file that holds this run.
    end_recording();
    close_script();
    extensions_close_ends();
    s.is_open = 0;
    return 1;
}
