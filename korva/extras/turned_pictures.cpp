// Pictures turned, scaled and flipped, and parts of them: stretched by the platform's blend when
// they stay upright, drawn by the platform's imaging (GDI+) through a parallelogram otherwise.
#include <math.h>
#include <stdio.h>
#include <stdlib.h>

// GDI+'s header wants the COM property types declared first.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include "korva/base/state.h"
#include "korva/console/log_line.h"
#include "korva/draw/geometry.h"
#include "korva/extras/picture_placement.h"
#include "korva/extras/pictures.h"
#include "korva/extras/turned_pictures.h"

namespace gdip = Gdiplus::DllExports;

// The platform's imaging, started on the first turned draw and kept until close.
static bool imaging_started() {
    if (korva_state.imaging_token != 0) return true;
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) return false;
    korva_state.imaging_token = token;
    return true;
}

void end_picture_imaging() {
    if (korva_state.imaging_token == 0) return;
    Gdiplus::GdiplusShutdown(korva_state.imaging_token);
    korva_state.imaging_token = 0;
}

// The part through the parallelogram of its corners, nearest pixel, pixel centres on half
// pixels as the canvas has them. False when the platform refused.
static bool draw_through_imaging(const Picture& p, const PicturePart& part, const PlacedCorners& at) {
    Gdiplus::GpGraphics* graphics = nullptr;
    if (gdip::GdipCreateFromHDC(korva_state.canvas_dc, &graphics) != Gdiplus::Ok) return false;
    Gdiplus::GpBitmap* image = nullptr;
    bool drawn = false;
    if (gdip::GdipCreateBitmapFromScan0(p.width, p.height, p.width * 4, PixelFormat32bppPARGB,
                                        static_cast<BYTE*>(p.bits), &image) == Gdiplus::Ok) {
        gdip::GdipSetInterpolationMode(graphics, Gdiplus::InterpolationModeNearestNeighbor);
        gdip::GdipSetPixelOffsetMode(graphics, Gdiplus::PixelOffsetModeHalf);
        const Gdiplus::PointF corners[3] = {{static_cast<Gdiplus::REAL>(at.x[0]), static_cast<Gdiplus::REAL>(at.y[0])},
                                            {static_cast<Gdiplus::REAL>(at.x[1]), static_cast<Gdiplus::REAL>(at.y[1])},
                                            {static_cast<Gdiplus::REAL>(at.x[2]), static_cast<Gdiplus::REAL>(at.y[2])}};
        drawn = gdip::GdipDrawImagePointsRect(graphics, image, corners, 3, static_cast<Gdiplus::REAL>(part.left),
                                              static_cast<Gdiplus::REAL>(part.top),
                                              static_cast<Gdiplus::REAL>(part.width),
                                              static_cast<Gdiplus::REAL>(part.height), Gdiplus::UnitPixel, nullptr,
                                              nullptr, nullptr) == Gdiplus::Ok;
        gdip::GdipDisposeImage(image);
    }
    gdip::GdipDeleteGraphics(graphics);
    return drawn;
}

// A value as the program gave it: the fewest digits that read back as the same number, so that
// 64.0000001 is not shown as 64 beside the 64 it was corrected to.
static const char* as_given(double value, char (&out)[32]) {
    for (int digits = 6; digits <= 17; ++digits) {
        snprintf(out, sizeof out, "%.*g", digits, value);
        if (strtod(out, nullptr) == value) break;
    }
    return out;
}

int KORVA_draw_picture_part(int32_t id, PicturePart part, Point centre, double degrees, double scale, int32_t flip) {
    const Picture* p = loaded_picture(id);
    if (p == nullptr) {
        KORVA_printf("Picture %d is not loaded; nothing drawn.\n", id);
        return 0;
    }
    if (!part_inside(part, p->width, p->height)) {
        KORVA_printf("Part (%d,%d) %d x %d is not inside picture %d (%d x %d); nothing drawn.\n", part.left, part.top,
                     part.width, part.height, id, p->width, p->height);
        return 0;
    }
    char given[32];
    if (!(scale > 0)) {
        KORVA_printf("Scale of %s not possible; nothing drawn.\n", as_given(scale, given));
        return 0;
    }
    if (scale > MAX_PICTURE_SCALE) {
        KORVA_printf("Scale of %s not possible, using %g\n", as_given(scale, given), MAX_PICTURE_SCALE);
        scale = MAX_PICTURE_SCALE;
    }
    if (!angle_possible(degrees)) {
        KORVA_printf("Angle of %s not possible, using 0\n", as_given(degrees, given));
        degrees = 0;
    }
    if (flip < 0 || flip > (KORVA_FLIP_ACROSS | KORVA_FLIP_UPSIDE_DOWN)) {
        KORVA_printf("Flip of %d not possible, using %d\n", flip, KORVA_FLIP_NONE);
        flip = KORVA_FLIP_NONE;
    }
    LibraryState& s = korva_state;
    if (s.logging) {
        log_printf("Picture %d part (%d,%d) %d x %d at (%d,%d) turned %g scaled %g flipped %d\n", id, part.left,
                   part.top, part.width, part.height, centre.x, centre.y, degrees, scale, flip);
    }
    const WidePoint at = to_device(s.origin_x, s.origin_y, centre);
    if (whole_turns_removed(degrees) == 0.0 && flip == KORVA_FLIP_NONE) {
        const WideBox box = scaled_box(at, part.width, part.height, scale);
        // Smaller than a pixel, or off the canvas: nothing shows.
        if (box.right <= box.left || box.bottom <= box.top || !box_meets_canvas(box, 0)) return 1;
        const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        AlphaBlend(s.canvas_dc, static_cast<int>(box.left), static_cast<int>(box.top),
                   static_cast<int>(box.right - box.left), static_cast<int>(box.bottom - box.top), p->dc, part.left,
                   part.top, part.width, part.height, blend);
        s.canvas_dirty = 1;
        return 1;
    }
    const PlacedCorners corners = place_part(at, part.width, part.height, scale, degrees, flip);
    if (!box_meets_canvas(placed_bounds(corners), 0)) return 1;
    if (!imaging_started() || !draw_through_imaging(*p, part, corners)) {
        KORVA_printf("Picture %d could not be drawn turned: the platform's imaging refused\n", id);
        return 0;
    }
    s.canvas_dirty = 1;
    return 1;
}

int KORVA_draw_picture_part(int32_t id, PicturePart part, int32_t x, int32_t y, double degrees, double scale,
                            int32_t flip) {
    return KORVA_draw_picture_part(id, part, Point{x, y}, degrees, scale, flip);
}

int KORVA_draw_picture_turned(int32_t id, Point centre, double degrees, double scale) {
    const Picture* p = loaded_picture(id);
    const PicturePart whole{0, 0, p ? p->width : 0, p ? p->height : 0};
    return KORVA_draw_picture_part(id, whole, centre, degrees, scale, KORVA_FLIP_NONE);
}

int KORVA_draw_picture_turned(int32_t id, int32_t x, int32_t y, double degrees, double scale) {
    return KORVA_draw_picture_turned(id, Point{x, y}, degrees, scale);
}
