// The end of a run: closing the graphics window ends the wait with KORVA_EXIT, a pending run
// of recorded periodic events is flushed by that event, and KORVA_close closes the script file.
#include <gtest/gtest.h>

#include <stdio.h>

#include "korva/script/script.h"
#include "support/korva_session.h"

namespace {

TEST(CoreCloseTest, ClosingTheWindowEndsTheRunAndKeepsTheRecordedLines) {
    remove(SCRIPT_FILE_NAME);
    open_korva_once();
    drain_messages();
    korva_state.recording = 1;
    korva_state.periodic_count = 4;

    SendMessageA(korva_state.graphics_window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(korva_state.graphics_window)) << "the close box destroys the window";

    int32_t x, y, region;
    char key;
    CharacterRecord hero;
    EXPECT_EQ(KORVA_wait_event(&x, &y, &key, &region, &hero), KORVA_EXIT);
    EXPECT_EQ(korva_state.periodic_count, 0);

    EXPECT_EQ(KORVA_close(), 1);
    EXPECT_EQ(korva_state.script_file, nullptr);
    EXPECT_EQ(korva_state.window_dc, nullptr) << "the released context is not kept";
    EXPECT_EQ(read_file(SCRIPT_FILE_NAME), "KORVA_PERIODIC(4);\r\n");
}

}  // namespace
