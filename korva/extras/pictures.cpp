// Pictures: read once through the platform's imaging component into a memory context of their
// own, and painted with the platform's blend (AlphaBlend) at a point, as often as wanted.
#include <string.h>

#include "korva/base/state.h"
#include "korva/console/log_line.h"
#include "korva/draw/geometry.h"
#include "korva/extras/dib_section.h"
#include "korva/extras/pictures.h"
#include "korva/extras/program_folder.h"
#include "korva/platform/shown_path.h"
#include "korva/platform/wic_codec.h"

Picture* loaded_picture(int32_t id) {
    if (id < 1 || id > MAX_PICTURES) return nullptr;
    Picture* p = &korva_state.pictures[id - 1];
    return p->dc != nullptr ? p : nullptr;
}

static int32_t free_slot() {
    for (int32_t i = 0; i < MAX_PICTURES; ++i) {
        if (korva_state.pictures[i].dc == nullptr) return i;
    }
    return -1;
}

// A 32-bit section, top row first, holding the picture's premultiplied pixels. Null on success,
// else the reason.
static const char* make_picture(const WicPicture& source, Picture* out) {
    void* bits = nullptr;
    HBITMAP bitmap = make_dib_section(static_cast<int32_t>(source.width), static_cast<int32_t>(source.height), 32,
                                      true, &bits);
    if (bitmap == nullptr) return "not enough memory";
    if (const char* why = wic_copy_premultiplied(source, bits, source.width * 4)) {
        DeleteObject(bitmap);
        return why;
    }
    HDC dc = CreateCompatibleDC(korva_state.canvas_dc);
    if (dc == nullptr) {
        DeleteObject(bitmap);
        return "not enough memory";
    }
    *out = Picture{dc, bitmap, SelectObject(dc, bitmap), bits, static_cast<int32_t>(source.width),
                   static_cast<int32_t>(source.height)};
    return nullptr;
}

int KORVA_load_picture(const char* path) {
    char shown[SHOWN_PATH_SIZE];
    if (path == nullptr || path[0] == '\0') {
        KORVA_printf("Cannot load picture: no file name\n");
        return 0;
    }
    if (!library_open()) {
        KORVA_printf("Cannot load picture %s: the library is not open\n", shown_path(path, shown));
        return 0;
    }
    int32_t slot = free_slot();
    if (slot < 0) {
        KORVA_printf("Cannot load picture %s: %d pictures are loaded already\n", shown_path(path, shown), MAX_PICTURES);
        return 0;
    }
    WicPicture source;
    const char* why = wic_open_file(path, &source);
    // A program started from another folder still finds a picture that lies beside it; only a
    // name that is not there is looked for again, so a file that is there reports its own fault.
    char beside[MAX_PATH * 2];
    if (why == WIC_NO_SUCH_FILE && is_relative(path) && path_beside_program(path, beside, sizeof beside)) {
        WicPicture other;
        if (wic_open_file(beside, &other) == nullptr) {
            source = other;
            why = nullptr;
        }
    }
    if (why != nullptr) {
        KORVA_printf("Cannot load picture %s: %s\n", shown_path(path, shown), why);
        return 0;
    }
    if (source.width == 0 || source.height == 0 || source.width > KORVA_MAX_PICTURE_SIDE ||
        source.height > KORVA_MAX_PICTURE_SIDE) {
        KORVA_printf("Cannot load picture %s: %u x %u pixels is more than %d x %d\n", shown_path(path, shown),
                     static_cast<unsigned>(source.width), static_cast<unsigned>(source.height), KORVA_MAX_PICTURE_SIDE,
                     KORVA_MAX_PICTURE_SIDE);
    } else {
        why = make_picture(source, &korva_state.pictures[slot]);
        if (why != nullptr) KORVA_printf("Cannot load picture %s: %s\n", shown_path(path, shown), why);
    }
    const bool made = why == nullptr && korva_state.pictures[slot].dc != nullptr;
    wic_close(&source);
    return made ? slot + 1 : 0;
}

int KORVA_draw_picture(int32_t id, Point centre) {
    const Picture* p = loaded_picture(id);
    if (p == nullptr) {
        KORVA_printf("Picture %d is not loaded; nothing drawn.\n", id);
        return 0;
    }
    const LibraryState& s = korva_state;
    if (s.logging) log_printf("Picture %d (%d x %d) at (%d,%d)\n", id, p->width, p->height, centre.x, centre.y);
    // The picture's centre pixel (width / 2, height / 2) lands on the point.
    WidePoint at = to_device(s.origin_x, s.origin_y, centre);
    const WideBox box{at.x - p->width / 2, at.y - p->height / 2, at.x - p->width / 2 + p->width,
                      at.y - p->height / 2 + p->height};
    // Off the canvas nothing shows; on it, every corner is a small number.
    if (!box_meets_canvas(box, 0)) return 1;
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(s.canvas_dc, static_cast<int>(box.left), static_cast<int>(box.top), p->width, p->height, p->dc, 0, 0,
               p->width, p->height, blend);
    korva_state.canvas_dirty = 1;
    return 1;
}

int KORVA_draw_picture(int32_t id, int32_t x, int32_t y) {
    return KORVA_draw_picture(id, Point{x, y});
}

int KORVA_picture_size(int32_t id, int32_t* width, int32_t* height) {
    const Picture* p = loaded_picture(id);
    if (width) *width = p ? p->width : 0;
    if (height) *height = p ? p->height : 0;
    return p ? 1 : 0;
}

static void free_one(Picture* p) {
    SelectObject(p->dc, p->previous);
    DeleteDC(p->dc);
    DeleteObject(p->bitmap);
    *p = Picture{};
}

int KORVA_free_picture(int32_t id) {
    Picture* p = loaded_picture(id);
    if (p == nullptr) {
        KORVA_printf("Picture %d is not loaded; nothing freed.\n", id);
        return 0;
    }
    free_one(p);
    return 1;
}

void free_pictures() {
    for (Picture& p : korva_state.pictures) {
        if (p.dc != nullptr) free_one(&p);
    }
    // The imaging component too: a program that opens again starts it afresh.
    wic_shutdown();
}
