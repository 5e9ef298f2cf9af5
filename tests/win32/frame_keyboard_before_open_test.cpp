// Timed animation and keyboard events before the library is open: both switches refuse,
// change nothing and write nothing, even for a rate that would be corrected.
#include <gtest/gtest.h>

#include "support/korva_session.h"

TEST(FrameKeyboardBeforeOpen, BothSwitchesRefuseUntilOpen) {
    ASSERT_EQ(nullptr, korva_state.graphics_window) << "this test must run before the library opens";

    for (int32_t rate : {30, -5, 1000}) {
        EXPECT_EQ(0, KORVA_frame_rate(rate)) << rate;
        EXPECT_EQ(0, korva_state.frame.rate) << rate;
    }
    EXPECT_EQ(0, KORVA_keyboard(1));
    EXPECT_EQ(0, korva_state.keyboard.events);
    EXPECT_TRUE(console_lines().empty()) << "no correction is written before open";

    open_korva_once();
    EXPECT_EQ(1, KORVA_frame_rate(30));
    EXPECT_EQ(30, korva_state.frame.rate);
    EXPECT_EQ(1, KORVA_keyboard(1));
    EXPECT_EQ(1, korva_state.keyboard.events);
    drain_messages();
}
