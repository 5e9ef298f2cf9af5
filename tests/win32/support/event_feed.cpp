// Feeding the event wait and looking at what it returns, shared by the Windows tests.
#include "support/event_feed.h"

#include <stdio.h>

#include "korva/core/menu.h"
#include "korva/core/wait.h"
#include "korva/script/script.h"
#include "support/korva_session.h"

void open_korva_without_ticks() {
    open_korva_once();
    KillTimer(korva_state.graphics_window, TICK_TIMER_ID);
}

HWND graphics() { return korva_state.graphics_window; }

void post(UINT message, WPARAM w, LPARAM l) { PostMessageA(graphics(), message, w, l); }

void command(int32_t id) { SendMessageA(graphics(), WM_COMMAND, static_cast<WPARAM>(id), 0); }

void post_fillers(int n) {
    for (int i = 0; i < n; ++i) post(FILLER);
}

void post_click(int32_t x, int32_t y) {
    int32_t px = korva_state.origin_x + x;
    int32_t py = korva_state.origin_y - y;
    post(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(px, py));
}

int take_leftovers() {
    int left = 0;
    MSG m;
    while (PeekMessageA(&m, graphics(), 0, 0, PM_REMOVE)) {
        if (m.message == FILLER || m.message == WM_TIMER || m.message == WM_LBUTTONDOWN) ++left;
    }
    return left;
}

void reset_wait_state() {
    drain_messages();
    close_script();
    remove(SCRIPT_FILE_NAME);
    LibraryState& s = korva_state;
    s.event_kind = KORVA_NONE;
    s.injected_event_pending = 0;
    s.animating = 0;
    s.single_step = 0;
    s.timer_ticked = 0;
    s.quit_requested = 0;
    s.recording = 0;
    s.playing_back = 0;
    s.play_one = 0;
    s.periodic_count = 0;
    s.control_key_down = 0;
    s.control_besouru = s.control_blazrack = s.control_mushi = 0;
    s.entry_direction = -1;
    CheckMenuItem(s.run_menu, CMD_RECORD, MF_BYCOMMAND | MF_UNCHECKED);
    CheckMenuItem(s.run_menu, CMD_PLAYBACK, MF_BYCOMMAND | MF_UNCHECKED);
}

int32_t periodic_wait(EventRecord* out) {
    korva_state.animating = 1;
    for (int i = 0; i < 102; ++i) post(WM_TIMER, TICK_TIMER_ID);
    int32_t kind = await_event(out);
    korva_state.animating = 0;
    drain_messages();
    return kind;
}

int32_t playback_wait(EventRecord* out, bool* quit_left) {
    post(WM_NULL);
    post(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(SENTINEL_PX, SENTINEL_PY));
    int32_t kind = await_event(out);
    if (quit_left) *quit_left = quit_message_queued();
    drain_messages();
    return kind;
}

bool quit_message_queued() {
    MSG message;
    return PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != 0;
}

std::string describe(const std::vector<SeenEvent>& events) {
    std::string text;
    for (const SeenEvent& e : events)
        text += "{" + std::to_string(e.kind) + ", " + std::to_string(e.x) + ", " + std::to_string(e.y) + ", key " +
                std::to_string(e.key) + ", hero " + std::to_string(e.hero) + ", region " + std::to_string(e.region) +
                "} ";
    return text;
}

bool same(const std::vector<SeenEvent>& a, const std::vector<SeenEvent>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].kind != b[i].kind || a[i].x != b[i].x || a[i].y != b[i].y || a[i].key != b[i].key ||
            a[i].hero != b[i].hero || a[i].region != b[i].region)
            return false;
    return true;
}
