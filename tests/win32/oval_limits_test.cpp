// What the oval hands to the platform's Ellipse, counted at the call itself: a box within the oval
// limit with a pen up to the pen limit goes to Ellipse, exactly once; a pen one wider, or a box
// beyond the limit, is painted by the library and hands Ellipse nothing (Wine's Ellipse takes
// seconds a call with such pens, and hours with such boxes).
#include <gtest/gtest.h>

#include <windows.h>

#include "korva/draw/geometry.h"
#include "support/event_feed.h"
#include "support/import_patch.h"
#include "support/korva_session.h"

namespace {

using EllipseCall = BOOL(WINAPI*)(HDC, int, int, int, int);
EllipseCall real_ellipse = nullptr;
int ellipse_calls = 0;

BOOL WINAPI counting_ellipse(HDC dc, int left, int top, int right, int bottom) {
    ++ellipse_calls;
    return real_ellipse(dc, left, top, right, bottom);
}

TEST(OvalLimits, EllipseIsHandedOnlyWhatItPaintsInTime) {
    open_korva_without_ticks();
    KORVA_logging(0);
    void* counter = reinterpret_cast<void*>(counting_ellipse);
    real_ellipse = reinterpret_cast<EllipseCall>(patch_import("gdi32.dll", "Ellipse", counter));
    ASSERT_NE(nullptr, real_ellipse) << "the program does not import Ellipse";
    const int32_t limit = static_cast<int32_t>(OVAL_LIMIT);
    const struct {
        const char* what;
        int32_t x1, y1, x2, y2, width;
        int calls;
    } cases[] = {
        {"a plain oval", -40, 30, 40, -30, 2, 1},
        {"a pen at the limit", -10, 10, 10, -10, PEN_WIDTH_LIMIT, 1},
        {"a pen one past it", -10, 10, 10, -10, PEN_WIDTH_LIMIT + 1, 0},
        {"a box beyond the oval limit", -limit - 10, 30, limit + 10, -30, 2, 0},
        {"a circle", 0, 0, 0, 0, 0, 1},
    };
    for (const auto& c : cases) {
        KORVA_clear();
        ellipse_calls = 0;
        if (c.x1 == 0 && c.x2 == 0)
            KORVA_draw_circle(KORVA_RED, 0, 0, 40);
        else
            KORVA_draw_oval(KORVA_RED, c.x1, c.y1, c.x2, c.y2, c.width);
        EXPECT_EQ(c.calls, ellipse_calls) << c.what;
    }
    patch_import("gdi32.dll", "Ellipse", reinterpret_cast<void*>(real_ellipse));
}

}  // namespace
