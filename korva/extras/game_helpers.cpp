// The game helpers' operations: the collision geometry, with a negative radius corrected as the
// circle corrects it, console line included.
#include "korva/draw/draw_internal.h"
#include "korva/extras/collision.h"

int KORVA_point_in_rectangle(Point p, Point corner1, Point corner2) {
    return point_in_box(p, corner1, corner2) ? 1 : 0;
}

int KORVA_point_in_circle(Point p, Point centre, int32_t radius) {
    return point_in_disc(p, centre, corrected_radius(radius)) ? 1 : 0;
}

int KORVA_rectangles_overlap(Point a1, Point a2, Point b1, Point b2) {
    return boxes_overlap(a1, a2, b1, b2) ? 1 : 0;
}

int KORVA_circles_overlap(Point centre1, int32_t radius1, Point centre2, int32_t radius2) {
    radius1 = corrected_radius(radius1);
    radius2 = corrected_radius(radius2);
    return discs_overlap(centre1, radius1, centre2, radius2) ? 1 : 0;
}

int KORVA_circle_rectangle_overlap(Point centre, int32_t radius, Point corner1, Point corner2) {
    return disc_meets_box(centre, corrected_radius(radius), corner1, corner2) ? 1 : 0;
}

int KORVA_circle_rectangle_overlap(int32_t x, int32_t y, int32_t radius, int32_t x1, int32_t y1, int32_t x2,
                                   int32_t y2) {
    return KORVA_circle_rectangle_overlap(Point{x, y}, radius, Point{x1, y1}, Point{x2, y2});
}

int KORVA_point_in_rectangle(int32_t x, int32_t y, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    return KORVA_point_in_rectangle(Point{x, y}, Point{x1, y1}, Point{x2, y2});
}

int KORVA_point_in_circle(int32_t x, int32_t y, int32_t centre_x, int32_t centre_y, int32_t radius) {
    return KORVA_point_in_circle(Point{x, y}, Point{centre_x, centre_y}, radius);
}

int KORVA_rectangles_overlap(int32_t ax1, int32_t ay1, int32_t ax2, int32_t ay2, int32_t bx1, int32_t by1,
                             int32_t bx2, int32_t by2) {
    return KORVA_rectangles_overlap(Point{ax1, ay1}, Point{ax2, ay2}, Point{bx1, by1}, Point{bx2, by2});
}

int KORVA_circles_overlap(int32_t x1, int32_t y1, int32_t radius1, int32_t x2, int32_t y2, int32_t radius2) {
    return KORVA_circles_overlap(Point{x1, y1}, radius1, Point{x2, y2}, radius2);
}
