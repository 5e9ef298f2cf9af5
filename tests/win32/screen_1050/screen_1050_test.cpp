// On a screen 1050 pixels high the text window is a quarter of it, rounded down: 262.
#include <gtest/gtest.h>

#include "korva/korva.h"
#include "support/korva_session.h"

TEST(Screen1050, TheTextWindowIsAQuarterOfTheScreenRoundedDown) {
    ASSERT_EQ(1050, GetSystemMetrics(SM_CYSCREEN)) << "this test runs in the session with a 1050-high screen";
    open_korva_once();
    RECT r{};
    ASSERT_TRUE(GetWindowRect(korva_state.text_window, &r));
    EXPECT_EQ(262, r.bottom - r.top);
    EXPECT_EQ(550, r.top);
}
