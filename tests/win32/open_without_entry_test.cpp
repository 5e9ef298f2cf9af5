// A console program with its own main() opens the library without the entry routine having
// run: the windows still get this module's instance and a show command that shows them.
#include <gtest/gtest.h>

#include <windows.h>

#include "korva/base/state.h"

namespace {

TEST(OpenWithoutEntryTest, WindowsAreVisibleWithTheProcessInstanceAndShowCommand) {
    ASSERT_EQ(korva_state.instance, nullptr) << "the entry routine must not have run here";
    ASSERT_EQ(KORVA_open(), 1);

    EXPECT_EQ(korva_state.instance, GetModuleHandleA(nullptr));
    EXPECT_EQ(korva_state.dialog_instance, korva_state.instance);
    STARTUPINFOA start_up{};
    start_up.cb = sizeof start_up;
    GetStartupInfoA(&start_up);
    const int expected_show =
        (start_up.dwFlags & STARTF_USESHOWWINDOW) ? start_up.wShowWindow : SW_SHOWDEFAULT;
    EXPECT_EQ(korva_state.show_command, expected_show);
    EXPECT_NE(korva_state.show_command, SW_HIDE);

    struct Window {
        const char* name;
        HWND handle;
    };
    for (const Window& w : {Window{"graphics", korva_state.graphics_window}, Window{"text", korva_state.text_window}}) {
        ASSERT_NE(w.handle, nullptr) << w.name;
        EXPECT_TRUE(IsWindowVisible(w.handle)) << "the " << w.name << " window is hidden";
        WNDCLASSA wc{};
        EXPECT_TRUE(GetClassInfoA(korva_state.instance, w.handle == korva_state.graphics_window ? "DrawWndClass"
                                                                                                 : "TextWndClass",
                                  &wc))
            << "the " << w.name << " window's class is not registered with the process instance";
    }
    EXPECT_EQ(KORVA_close(), 1);
}

}  // namespace
