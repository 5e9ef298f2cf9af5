// Where a part of a picture lands on the canvas when it is drawn turned, scaled or flipped, and
// the corrections its settings get. Platform-free, so it is tested natively.
#ifndef KORVA_EXTRAS_PICTURE_PLACEMENT_H
#define KORVA_EXTRAS_PICTURE_PLACEMENT_H

#include <stdint.h>

#include "korva/draw/geometry.h"

// The largest scale a picture is drawn at: 4096 pixels become 262144, far past the canvas.
constexpr double MAX_PICTURE_SCALE = 64.0;

// An angle in degrees as a turn from 0 up to 360; NaN and infinities are not angles.
bool angle_possible(double degrees);
double whole_turns_removed(double degrees);

// Whether a part lies within a picture of width x height with at least one pixel.
bool part_inside(const PicturePart& part, int32_t width, int32_t height);

// The part's upper-left, upper-right and lower-left corners on the device, in pixels (the
// platform's imaging takes a parallelogram by these three). The part's middle lands where an
// unturned picture's middle does: its pixel (width / 2, height / 2) on the point `at`. It is
// flipped first (KORVA_FLIP_ bits), then scaled, then turned counter-clockwise as the canvas
// shows it (y up). Right angles turn exactly.
struct PlacedCorners {
    double x[3];
    double y[3];
};
PlacedCorners place_part(WidePoint at, int32_t width, int32_t height, double scale, double degrees, int32_t flip);

// The device box that holds the parallelogram (right and bottom exclusive), with a pixel to
// spare on every side for the platform's rounding.
WideBox placed_bounds(const PlacedCorners& corners);

// An unturned, unflipped part scaled: the device box it is stretched to, with its middle placed
// as above; empty (right <= left) when it is smaller than a pixel.
WideBox scaled_box(WidePoint at, int32_t width, int32_t height, double scale);

#endif
