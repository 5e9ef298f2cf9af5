// Shared helpers of the Windows tests.
#include "support/korva_session.h"

#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <fstream>
#include <iterator>

void open_korva_once() {
    static bool opened = false;
    if (opened) return;
    opened = true;
    korva_state.instance = GetModuleHandleA(nullptr);
    korva_state.previous_instance = nullptr;
    korva_state.command_line = GetCommandLineA();
    korva_state.show_command = SW_SHOWNORMAL;
    KORVA_open();
}

void drain_messages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

std::vector<std::string> console_lines() {
    std::vector<std::string> lines;
    int32_t i = korva_state.console_first;
    bool first = true;
    while (i >= 0 && (first || i != korva_state.console_next)) {
        first = false;
        HGLOBAL block = korva_state.console_lines[i];
        const char* text = block ? static_cast<const char*>(GlobalLock(block)) : nullptr;
        lines.emplace_back(text ? text : "");
        if (text) GlobalUnlock(block);
        i = (i + 1) % CONSOLE_LINE_COUNT;
    }
    return lines;
}

void clear_console() {
    for (HGLOBAL& block : korva_state.console_lines) {
        if (block) GlobalFree(block);
        block = nullptr;
    }
    korva_state.console_first = -1;
    korva_state.console_next = 0;
}

std::string read_file(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void write_file(const char* path, const std::string& bytes) {
    FILE* f = fopen(path, "wb");
    ASSERT_NE(f, nullptr);
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
}

BITMAPINFO top_down_dib_info(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // negative: the top row comes first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

BITMAPINFO canvas_bitmap_info() {
    return top_down_dib_info(KORVA_CANVAS_WIDTH, KORVA_CANVAS_HEIGHT);
}

std::vector<uint32_t> window_client_pixels(HWND window, int* width, int* height) {
    RECT client;
    GetClientRect(window, &client);
    *width = client.right;
    *height = client.bottom;
    std::vector<uint32_t> pixels(static_cast<size_t>(*width) * *height, 0);
    BITMAPINFO info = top_down_dib_info(*width, *height);
    void* bits = nullptr;
    HDC window_dc = GetDC(window);
    HDC memory_dc = CreateCompatibleDC(window_dc);
    HBITMAP dib = CreateDIBSection(window_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory_dc, dib);
    BitBlt(memory_dc, 0, 0, *width, *height, window_dc, 0, 0, SRCCOPY);
    GdiFlush();
    if (bits != nullptr) memcpy(pixels.data(), bits, pixels.size() * sizeof(uint32_t));
    SelectObject(memory_dc, old);
    DeleteObject(dib);
    DeleteDC(memory_dc);
    ReleaseDC(window, window_dc);
    for (uint32_t& p : pixels) p &= 0xFFFFFF;
    return pixels;
}

std::vector<uint32_t> canvas_pixels() {
    BITMAPINFO info = canvas_bitmap_info();
    std::vector<uint32_t> pixels(static_cast<size_t>(KORVA_CANVAS_WIDTH) * KORVA_CANVAS_HEIGHT);
    GdiFlush();
    GetDIBits(korva_state.canvas_dc, static_cast<HBITMAP>(GetCurrentObject(korva_state.canvas_dc, OBJ_BITMAP)), 0,
              KORVA_CANVAS_HEIGHT, pixels.data(), &info, DIB_RGB_COLORS);
    for (uint32_t& p : pixels) p &= 0xFFFFFF;
    return pixels;
}

void set_canvas_pixels(const std::vector<uint32_t>& pixels) {
    BITMAPINFO info = canvas_bitmap_info();
    SetDIBitsToDevice(korva_state.canvas_dc, 0, 0, KORVA_CANVAS_WIDTH, KORVA_CANVAS_HEIGHT, 0, 0, 0,
                      KORVA_CANVAS_HEIGHT, pixels.data(), &info, DIB_RGB_COLORS);
    GdiFlush();
}

std::vector<std::string> directory_names() {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA("*", &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (strcmp(found.cFileName, ".") != 0 && strcmp(found.cFileName, "..") != 0) names.push_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

int own_windows_of_class(const char* class_name) {
    struct Search {
        const char* name;
        int count;
    } search{class_name, 0};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            Search* s = reinterpret_cast<Search*>(data);
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            char name[64];
            if (process == GetCurrentProcessId() && GetClassNameA(window, name, sizeof name) &&
                lstrcmpA(name, s->name) == 0)
                ++s->count;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.count;
}
