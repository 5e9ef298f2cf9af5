// Doorway geometry and the hit tests of a point against the doorways. Platform-free.
#ifndef KORVA_ROOM_DOORWAYS_H
#define KORVA_ROOM_DOORWAYS_H

#include <stdint.h>

#include "korva/korva.h"

// Centre, colour index and the four corners (counter-clockwise from the lower left) of one doorway.
void doorway_geometry(int32_t region, Point* centre, int32_t* colour, Point corners[4]);

// Positive when (px, py) lies left of the directed edge (x1, y1) -> (x2, y2), negative when right, 0 on its line.
int edge_side(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t px, int32_t py);

// 1 when the point lies in the polygon of n vertices (winding number), else 0.
int point_in_polygon(int32_t px, int32_t py, const Point* vertices, int32_t n);

// The direction of the doorway that holds the point, or -1.
int doorway_at(int32_t px, int32_t py);

#endif
