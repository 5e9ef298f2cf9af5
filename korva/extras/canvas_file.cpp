// KORVA_save_canvas: the whole canvas as a 24-bit BMP file, the platform's own image format, or
// as PNG through the platform's imaging component when the name ends in ".png".
#include <stdlib.h>
#include <string.h>

#include "korva/base/state.h"
#include "korva/extras/dib_section.h"
#include "korva/platform/bmp_image.h"
#include "korva/platform/replace_file.h"
#include "korva/platform/shown_path.h"
#include "korva/platform/user_file.h"
#include "korva/platform/wic_codec.h"

// The canvas bitmap is selected into canvas_dc, and a selected bitmap must not be read with
// GetDIBits; so the canvas is copied into a device-independent section, whose bits are
// already laid out as the file's rows: bottom row first, three bytes a pixel, padded to four.
static HBITMAP copy_canvas(void** bits, bool top_down) {
    HBITMAP section = make_dib_section(KORVA_CANVAS_WIDTH, KORVA_CANVAS_HEIGHT, 24, top_down, bits);
    if (section == nullptr) return nullptr;
    HDC dc = CreateCompatibleDC(korva_state.canvas_dc);
    HGDIOBJ previous = SelectObject(dc, section);
    BitBlt(dc, 0, 0, KORVA_CANVAS_WIDTH, KORVA_CANVAS_HEIGHT, korva_state.canvas_dc, 0, 0, SRCCOPY);
    GdiFlush();
    SelectObject(dc, previous);
    DeleteDC(dc);
    return section;
}

int KORVA_save_canvas(const char* path) {
    char shown[SHOWN_PATH_SIZE];
    if (path == nullptr || path[0] == '\0') {
        KORVA_printf("Cannot write canvas: no file name\n");
        return 0;
    }
    if (!library_open()) {
        KORVA_printf("Cannot write canvas to %s: the library is not open\n", shown_path(path, shown));
        return 0;
    }
    // A folder, a pipe or a device of that name is the user's: never replaced by the picture.
    if (wchar_t* wide = user_file_path(path)) {
        const char* why = user_file_problem(wide);
        free(wide);
        if (why == USER_FILE_FOLDER || why == USER_FILE_NOT_REGULAR) {
            KORVA_printf("Cannot write canvas to %s: %s\n", shown_path(path, shown), why);
            return 0;
        }
    }
    const bool png = png_file_name(path);
    void* bits = nullptr;
    HBITMAP section = copy_canvas(&bits, png);
    bool saved = false;
    if (section != nullptr && bits != nullptr && png) {
        uint8_t* bytes = nullptr;
        size_t size = 0;
        const uint32_t stride = static_cast<uint32_t>(bmp_row_stride(KORVA_CANVAS_WIDTH));
        if (wic_encode_png(bits, KORVA_CANVAS_WIDTH, KORVA_CANVAS_HEIGHT, stride, &bytes, &size)) {
            const FilePiece piece{bytes, size};
            saved = replace_file(path, &piece, 1);
        }
        wic_free_bytes(bytes);
    } else if (section != nullptr && bits != nullptr) {
        uint8_t header[BMP_HEADER_SIZE];
        make_bmp_header(KORVA_CANVAS_WIDTH, KORVA_CANVAS_HEIGHT, header);
        const FilePiece pieces[2] = {{header, BMP_HEADER_SIZE},
                                     {bits, bmp_row_stride(KORVA_CANVAS_WIDTH) * KORVA_CANVAS_HEIGHT}};
        // A failed write leaves the picture that was there before, never a cut-short one.
        saved = replace_file(path, pieces, 2);
    }
    if (section != nullptr) DeleteObject(section);
    if (!saved) KORVA_printf("Cannot write canvas to %s\n", shown_path(path, shown));
    return saved ? 1 : 0;
}
