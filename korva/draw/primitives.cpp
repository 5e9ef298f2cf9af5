// The painting primitives: each corrects its arguments (one console message per correction,
// in the order that primitive states), logs the call while logging is on, and hands one
// DrawCommand to the executor. The integer forms only pack Points and call the Point forms.
// Texts are measured here too, in the library's font.
#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#include "korva/base/state.h"
#include "korva/base/text_block.h"
#include "korva/console/log_line.h"
#include "korva/draw/colors.h"
#include "korva/draw/draw_internal.h"
#include "korva/draw/geometry.h"
#include "korva/draw/raster.h"

// Formatted texts are built in a buffer of this size: at most 1023 characters.
static constexpr int32_t FORMAT_BUFFER_SIZE = 1024;

static int32_t checked_color(int32_t color) {
    ColorCheck check = check_color(color, korva_state.rgb_colors.count);
    if (check.illegal) KORVA_printf(ILLEGAL_COLOR_MESSAGE, color);
    return check.color;
}

static int32_t corrected(SizeKind kind, int32_t value) {
    SizeCorrection correction = correct_size(kind, value);
    for (int32_t i = 0; i < correction.count; ++i) {
        KORVA_printf(size_message(kind), correction.fixes[i].given, correction.fixes[i].used);
    }
    return correction.value;
}

int32_t corrected_ptsize(int32_t ptsize) {
    return corrected(CORRECT_PTSIZE, ptsize);
}

int32_t corrected_radius(int32_t radius) {
    return corrected(CORRECT_RADIUS, radius);
}

static const char* color_name(int32_t color) {
    if (color < KORVA_COLOR_COUNT) return COLOR_TABLE[color].name;
    return korva_state.rgb_colors.name[color - KORVA_COLOR_COUNT];
}

static bool logging() {
    return korva_state.logging != 0;
}

// Hands one shape to the executor; the command lives only for this call.
static void execute_shape(int32_t kind, int32_t color, int32_t width, Point p1, Point p2 = {}, Point p3 = {}) {
    DrawCommand command{};
    command.kind = kind;
    command.color = color;
    command.width = width;
    command.p1 = p1;
    command.p2 = p2;
    command.p3 = p3;
    execute_draw_command(command);
}

// Log lines of the two boxed shapes: width 0 is filled, any other width is an outline.
struct BoxLogFormats {
    const char* filled;
    const char* outlined;
};
static const BoxLogFormats RECTANGLE_LOG = {
    "%s rectangle with bounding box (%d,%d) to (%d,%d), filled\n",
    "%s rectangle with bounding box (%d,%d) to (%d,%d) with line width %d\n"};
static const BoxLogFormats OVAL_LOG = {
    "%s oval with bounding box (%d,%d) to (%d,%d), filled\n",
    "%s oval with bounding box (%d,%d) to (%d,%d), line width %d\n"};

static void log_box(const BoxLogFormats& formats, int32_t color, const Corners& box, int32_t width) {
    if (!logging()) return;
    const Point& a = box.upper_left;
    const Point& b = box.lower_right;
    if (width == 0)
        log_printf(formats.filled, color_name(color), a.x, a.y, b.x, b.y);
    else
        log_printf(formats.outlined, color_name(color), a.x, a.y, b.x, b.y, width);
}

// The pixel's colour check and log line, out of line: the pixel is the cheapest call, and
// with a legal colour and logging off its usual path is only the command and the executor.
KORVA_OUT_OF_LINE static int32_t checked_and_logged_pixel(int32_t color, Point p) {
    if (color < 0 || color >= KORVA_COLOR_COUNT) color = checked_color(color);
    if (logging()) log_printf("%s pixel at (%d,%d)\n", color_name(color), p.x, p.y);
    return color;
}

int KORVA_draw_pixel(int32_t color, Point p) {
    if (color < 0 || color >= KORVA_COLOR_COUNT || logging()) color = checked_and_logged_pixel(color, p);
    DrawCommand command{};
    command.kind = DRAW_PIXEL;
    command.color = color;
    command.p1 = p;
    execute_draw_command(command);
    return 1;
}

int KORVA_draw_circle(int32_t color, Point centre, int32_t radius) {
    color = checked_color(color);
    radius = corrected_radius(radius);
    if (logging()) {
        log_printf("%s circle at (%d,%d), radius %d\n", color_name(color), centre.x, centre.y, radius);
    }
    Corners box = circle_corners(centre, radius);
    execute_shape(DRAW_OVAL, color, 0, box.upper_left, box.lower_right);
    return 1;
}

int KORVA_draw_triangle(int32_t color, Point p1, Point p2, Point p3, int32_t width) {
    color = checked_color(color);
    width = corrected(CORRECT_WIDTH, width);
    if (logging()) {
        log_printf("%s triangle at (%d,%d), (%d,%d), (%d,%d)\n", color_name(color), p1.x, p1.y, p2.x, p2.y,
                     p3.x, p3.y);
    }
    execute_shape(DRAW_TRIANGLE, color, width, p1, p2, p3);
    return 1;
}

int KORVA_draw_rectangle(int32_t color, Point p1, Point p2, int32_t width) {
    Corners box = normalise_corners(p1, p2);
    color = checked_color(color);
    width = corrected(CORRECT_WIDTH, width);
    log_box(RECTANGLE_LOG, color, box, width);
    execute_shape(DRAW_RECTANGLE, color, width, box.upper_left, box.lower_right);
    return 1;
}

// The oval corrects its width before its colour: the reverse of the rectangle.
int KORVA_draw_oval(int32_t color, Point p1, Point p2, int32_t width) {
    Corners box = normalise_corners(p1, p2);
    width = corrected(CORRECT_WIDTH, width);
    color = checked_color(color);
    log_box(OVAL_LOG, color, box, width);
    execute_shape(DRAW_OVAL, color, width, box.upper_left, box.lower_right);
    return 1;
}

int KORVA_draw_line(int32_t color, Point start, Point end, int32_t width) {
    width = corrected(CORRECT_WIDTH, width);
    color = checked_color(color);
    if (logging()) {
        log_printf("%s line from (%d,%d) to (%d,%d), width %d\n", color_name(color), start.x, start.y, end.x,
                     end.y, width);
    }
    // Logged as given, painted at least one pixel wide.
    execute_shape(DRAW_LINE, color, width == 0 ? 1 : width, start, end);
    return 1;
}

int KORVA_draw_text(int32_t color, Point p, int32_t ptsize, const char* text) {
    if (text == nullptr) text = "";
    ptsize = corrected_ptsize(ptsize);
    color = checked_color(color);
    if (logging()) log_printf("%s text at (%d,%d), \"%s\"\n", color_name(color), p.x, p.y, text);
    HGLOBAL block = new_text_block(text, strlen(text));
    if (block == nullptr) {
        KORVA_printf(NO_TEXT_MEMORY_MESSAGE, static_cast<unsigned long long>(strlen(text)), "drawn");
        return 1;
    }
    DrawCommand command{};
    command.kind = DRAW_TEXT;
    command.color = color;
    command.p1 = p;
    command.p2 = {ptsize, 0};
    command.text = block;
    execute_draw_command(command);
    GlobalFree(block);
    return 1;
}

// Formats into the 1024-byte buffer. A longer result keeps its first 1023 characters and
// the count is that of the kept text; a formatting error leaves the empty text.
static int32_t format_text(char (&buffer)[FORMAT_BUFFER_SIZE], const char* format, va_list args) {
    buffer[0] = '\0';
    if (format == nullptr) return 0;
    int formatted = vsnprintf(buffer, sizeof buffer, format, args);
    if (formatted < 0) {
        buffer[0] = '\0';
        return 0;
    }
    return formatted < FORMAT_BUFFER_SIZE ? formatted : FORMAT_BUFFER_SIZE - 1;
}

// Both forms of KORVA_printf_at format here and draw through KORVA_draw_text.
static int32_t draw_formatted(int32_t color, Point p, int32_t ptsize, const char* format, va_list args) {
    char buffer[FORMAT_BUFFER_SIZE];
    int32_t count = format_text(buffer, format, args);
    KORVA_draw_text(color, p, ptsize, buffer);
    return count;
}

int KORVA_printf_at(int32_t color, Point p, int32_t ptsize, const char* format, ...) {
    va_list args;
    va_start(args, format);
    int32_t count = draw_formatted(color, p, ptsize, format, args);
    va_end(args);
    return count;
}

int KORVA_printf_at(int32_t color, int32_t x, int32_t y, int32_t ptsize, const char* format, ...) {
    va_list args;
    va_start(args, format);
    int32_t count = draw_formatted(color, Point{x, y}, ptsize, format, args);
    va_end(args);
    return count;
}

int KORVA_text_extent(int32_t ptsize, int32_t* height, int32_t* width, const char* text) {
    int32_t size = corrected_ptsize(ptsize);
    if (text == nullptr) text = "";
    SIZE extent{};
    HGLOBAL block = new_text_block(text, strlen(text));
    if (block == nullptr) {
        KORVA_printf(NO_TEXT_MEMORY_MESSAGE, static_cast<unsigned long long>(strlen(text)), "measured");
    } else {
        HDC dc = korva_state.canvas_dc;
        HFONT font = create_korva_font(size);
        HGDIOBJ previous = SelectObject(dc, font);
        const char* copy = static_cast<const char*>(GlobalLock(block));
        if (copy != nullptr) {
            GetTextExtentPointA(dc, copy, lstrlenA(copy), &extent);
            GlobalUnlock(block);
        }
        SelectObject(dc, previous);
        DeleteObject(font);
        GlobalFree(block);
    }
    if (height != nullptr) *height = extent.cy;
    if (width != nullptr) *width = extent.cx;
    return 1;
}

int KORVA_printf_extent(int32_t ptsize, int32_t* height, int32_t* width, const char* format, ...) {
    char buffer[FORMAT_BUFFER_SIZE];
    va_list args;
    va_start(args, format);
    int32_t count = format_text(buffer, format, args);
    va_end(args);
    KORVA_text_extent(ptsize, height, width, buffer);
    return count;
}

int KORVA_undo() {
    KORVA_printf("KORVA_undo is no longer supported.\n");
    return 1;
}

// The integer forms: pack the coordinates into Points, in order, and call the Point forms.
int KORVA_draw_pixel(int32_t color, int32_t x, int32_t y) {
    return KORVA_draw_pixel(color, Point{x, y});
}

int KORVA_draw_circle(int32_t color, int32_t x, int32_t y, int32_t radius) {
    return KORVA_draw_circle(color, Point{x, y}, radius);
}

int KORVA_draw_triangle(int32_t color, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x3, int32_t y3,
                        int32_t width) {
    return KORVA_draw_triangle(color, Point{x1, y1}, Point{x2, y2}, Point{x3, y3}, width);
}

int KORVA_draw_rectangle(int32_t color, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t width) {
    return KORVA_draw_rectangle(color, Point{x1, y1}, Point{x2, y2}, width);
}

int KORVA_draw_oval(int32_t color, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t width) {
    return KORVA_draw_oval(color, Point{x1, y1}, Point{x2, y2}, width);
}

int KORVA_draw_line(int32_t color, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t width) {
    return KORVA_draw_line(color, Point{x1, y1}, Point{x2, y2}, width);
}

int KORVA_draw_text(int32_t color, int32_t x, int32_t y, int32_t ptsize, const char* text) {
    return KORVA_draw_text(color, Point{x, y}, ptsize, text);
}
