// The geometry of drawing a part of a picture turned, scaled and flipped (no platform calls).
#include "korva/extras/picture_placement.h"

#include <math.h>

bool angle_possible(double degrees) {
    return isfinite(degrees);
}

double whole_turns_removed(double degrees) {
    double turn = fmod(degrees, 360.0);
    if (turn < 0) turn += 360.0;
    // -1e-300 leaves 360 after the addition; that is no turn at all.
    return turn >= 360.0 ? 0.0 : turn;
}

bool part_inside(const PicturePart& part, int32_t width, int32_t height) {
    return part.width > 0 && part.height > 0 && part.left >= 0 && part.top >= 0 &&
           int64_t{part.left} + part.width <= width && int64_t{part.top} + part.height <= height;
}

// Cosine and sine of a turn, exact at right angles, where the library's own numbers would leave
// a picture a rounding away from the pixel grid.
static void turn_of(double degrees, double* cosine, double* sine) {
    const double turn = whole_turns_removed(degrees);
    if (turn == 0.0) {
        *cosine = 1, *sine = 0;
    } else if (turn == 90.0) {
        *cosine = 0, *sine = 1;
    } else if (turn == 180.0) {
        *cosine = -1, *sine = 0;
    } else if (turn == 270.0) {
        *cosine = 0, *sine = -1;
    } else {
        const double radians = turn * (3.14159265358979323846 / 180.0);
        *cosine = cos(radians), *sine = sin(radians);
    }
}

PlacedCorners place_part(WidePoint at, int32_t width, int32_t height, double scale, double degrees, int32_t flip) {
    // The middle of the part as an unturned draw puts it: its corner is (width / 2, height / 2)
    // pixels up and left of the point, so an odd side's middle is half a pixel past the point.
    const double middle_x = static_cast<double>(at.x - width / 2) + width / 2.0;
    const double middle_y = static_cast<double>(at.y - height / 2) + height / 2.0;
    const double half_w = width * scale / 2.0, half_h = height * scale / 2.0;
    // The corners about the middle, upper-left, upper-right, lower-left; a flip swaps sides.
    double dx[3] = {-half_w, half_w, -half_w}, dy[3] = {-half_h, -half_h, half_h};
    for (int i = 0; i < 3; ++i) {
        if (flip & KORVA_FLIP_ACROSS) dx[i] = -dx[i];
        if (flip & KORVA_FLIP_UPSIDE_DOWN) dy[i] = -dy[i];
    }
    double cosine, sine;
    turn_of(degrees, &cosine, &sine);
    PlacedCorners out;
    for (int i = 0; i < 3; ++i) {
        // Counter-clockwise on a canvas whose device rows run down.
        out.x[i] = middle_x + dx[i] * cosine + dy[i] * sine;
        out.y[i] = middle_y - dx[i] * sine + dy[i] * cosine;
    }
    return out;
}

WideBox placed_bounds(const PlacedCorners& c) {
    // The fourth corner completes the parallelogram.
    const double xs[4] = {c.x[0], c.x[1], c.x[2], c.x[1] + c.x[2] - c.x[0]};
    const double ys[4] = {c.y[0], c.y[1], c.y[2], c.y[1] + c.y[2] - c.y[0]};
    double left = xs[0], right = xs[0], top = ys[0], bottom = ys[0];
    for (int i = 1; i < 4; ++i) {
        left = fmin(left, xs[i]), right = fmax(right, xs[i]);
        top = fmin(top, ys[i]), bottom = fmax(bottom, ys[i]);
    }
    return {static_cast<int64_t>(floor(left)) - 1, static_cast<int64_t>(floor(top)) - 1,
            static_cast<int64_t>(ceil(right)) + 1, static_cast<int64_t>(ceil(bottom)) + 1};
}

WideBox scaled_box(WidePoint at, int32_t width, int32_t height, double scale) {
    const int64_t w = llround(width * scale), h = llround(height * scale);
    const int64_t left = at.x - w / 2, top = at.y - h / 2;
    return {left, top, left + w, top + h};
}
