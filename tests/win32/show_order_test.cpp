// Start-up with a show command other than the usual one: both windows are shown with it, the
// text window first, as a hook on the windows' messages sees it. A process of its own, since
// the library opens once per process.
#include <gtest/gtest.h>

#include <vector>

#include "korva/base/state.h"
#include "korva/korva.h"

namespace {

// The windows in the order they were minimised or maximised, with the show command used.
struct Shown {
    HWND window;
    int command;
};
std::vector<Shown> shown;

LRESULT CALLBACK log_show(int code, WPARAM wparam, LPARAM lparam) {
    if (code == HCBT_MINMAX) shown.push_back({reinterpret_cast<HWND>(wparam), LOWORD(lparam)});
    return CallNextHookEx(nullptr, code, wparam, lparam);
}

TEST(ShowOrder, BothWindowsTakeTheStartUpShowCommandTextWindowFirst) {
    HHOOK hook = SetWindowsHookExA(WH_CBT, log_show, nullptr, GetCurrentThreadId());
    ASSERT_NE(nullptr, hook);
    korva_state.instance = GetModuleHandleA(nullptr);
    korva_state.show_command = SW_SHOWMINNOACTIVE;
    KORVA_open();
    UnhookWindowsHookEx(hook);

    ASSERT_NE(nullptr, korva_state.text_window);
    ASSERT_NE(nullptr, korva_state.graphics_window);
    ASSERT_EQ(2u, shown.size()) << "each window is shown once";
    EXPECT_EQ(korva_state.text_window, shown[0].window) << "the text window is shown first";
    EXPECT_EQ(korva_state.graphics_window, shown[1].window);
    EXPECT_EQ(SW_SHOWMINNOACTIVE, shown[0].command);
    EXPECT_EQ(SW_SHOWMINNOACTIVE, shown[1].command);
    for (HWND window : {korva_state.text_window, korva_state.graphics_window}) {
        EXPECT_TRUE(IsWindowVisible(window));
        EXPECT_TRUE(IsIconic(window)) << "shown minimised, as the show command asks";
    }
    KORVA_close();
}

}  // namespace
