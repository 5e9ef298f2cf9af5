// The game helpers' geometry: whether points, filled rectangles and filled circles meet, with
// the edges as the library paints those shapes. Platform-free, so it is tested natively.
#ifndef KORVA_EXTRAS_COLLISION_H
#define KORVA_EXTRAS_COLLISION_H

#include <stdint.h>

#include "korva/korva.h"

// A filled rectangle from corner to corner, in any order, covers both corners' rows and
// columns: a point on its edge is inside.
bool point_in_box(Point p, Point corner1, Point corner2);
bool boxes_overlap(Point a1, Point a2, Point b1, Point b2);

// A filled circle of radius r (0 or more) about a centre covers the pixels whose centres lie
// within r + 1/2 of the centre's pixel centre: dx * dx + dy * dy <= r * r + r. (The platform's
// rasteriser rounds a few pixels of the rim its own way; this rule is the same everywhere.)
bool point_in_disc(Point p, Point centre, int32_t radius);

// Whether two filled circles cover a pixel in common.
bool discs_overlap(Point centre1, int32_t radius1, Point centre2, int32_t radius2);

// Whether a filled circle and a filled rectangle cover a pixel in common.
bool disc_meets_box(Point centre, int32_t radius, Point corner1, Point corner2);

#endif
