// The console before the library is open: lines are stored without any window to invalidate,
// logging refuses to change, and the lines are still there once the library opens.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/korva_session.h"

TEST(ConsoleBeforeOpen, LinesAreKeptAndLoggingIsRefusedUntilOpen) {
    ASSERT_EQ(nullptr, korva_state.graphics_window) << "this test must run before the library opens";
    ASSERT_EQ(nullptr, korva_state.text_window);

    EXPECT_EQ(7, KORVA_printf("early %d", 1));
    EXPECT_EQ(std::vector<std::string>{"early 1"}, console_lines());

    EXPECT_EQ(0, KORVA_logging(0));
    EXPECT_EQ(1, korva_state.logging) << "logging must not change before open";

    open_korva_once();
    ASSERT_NE(nullptr, korva_state.text_window);
    EXPECT_EQ(5, KORVA_printf("later"));
    EXPECT_EQ((std::vector<std::string>{"early 1", "later"}), console_lines());
    EXPECT_EQ(1, KORVA_logging(0));
    EXPECT_EQ(0, korva_state.logging);
    drain_messages();
}
