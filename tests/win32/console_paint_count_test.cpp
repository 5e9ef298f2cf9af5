// The console repaints only when it has something new: idle waits make no paint, and a line
// written between waits makes one paint per wait, however many lines it holds.
#include <gtest/gtest.h>

#include "korva/core/wait.h"
#include "korva/core/window_procs.h"
#include "support/event_feed.h"
#include "support/korva_session.h"

namespace {

int console_paints = 0;

LRESULT CALLBACK counting_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_PAINT) ++console_paints;
    return text_window_proc(window, message, wparam, lparam);
}

int32_t wait_for_posted_click() {
    post_click(0, 0);
    EventRecord event;
    return await_event(&event);
}

TEST(ConsolePaintCount, IdleWaitsPaintNothingAndNewLinesPaintOncePerWait) {
    open_korva_without_ticks();
    KORVA_show_console(1);
    SetWindowLongPtrA(korva_state.text_window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(counting_proc));
    KORVA_printf("first\n");
    wait_for_posted_click();
    UpdateWindow(korva_state.text_window);
    drain_messages();

    console_paints = 0;
    for (int i = 0; i < 50; ++i) ASSERT_EQ(KORVA_MOUSE, wait_for_posted_click());
    drain_messages();
    EXPECT_EQ(0, console_paints) << "idle waits repainted the console";

    console_paints = 0;
    for (int i = 0; i < 20; ++i) {
        for (int line = 0; line < 10; ++line) KORVA_printf("line %d\n", line);
        wait_for_posted_click();
        UpdateWindow(korva_state.text_window);
    }
    drain_messages();
    EXPECT_GE(console_paints, 20) << "new lines were not painted";
    EXPECT_LE(console_paints, 21) << "more than one paint per wait";
}

}  // namespace
