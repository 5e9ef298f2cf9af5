// Pictures through the real canvas: loading PNG and BMP with the platform's imaging component,
// drawing at points on, across and far off the canvas against the platform's own AlphaBlend from
// the same picture, pixel for pixel; every bad input answered with 0 and one console line and
// nothing drawn; the log line; no GDI handle kept over many draws; freeing; PNG saves.
#include <gtest/gtest.h>

#include <limits.h>
#include <string.h>

#include <string>
#include <vector>

#include "korva/draw/raster.h"
#include "korva/extras/pictures.h"
#include "korva/platform/wic_codec.h"
#include "support/korva_session.h"

namespace {

constexpr char SPRITE[] = "pictures\\sprite.png";  // 64 x 64, half-transparent red disc and more
constexpr char STRIPES[] = "pictures\\stripes.bmp";  // 31 x 17, opaque

class PicturesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { open_korva_once(); }
    void SetUp() override {
        drain_messages();
        KORVA_logging(0);
        KORVA_clear();
        clear_console();
    }
    void TearDown() override {
        free_pictures();
        KORVA_logging(1);
        clear_console();
    }
};

TEST_F(PicturesTest, APictureIsLoadedOnceWithItsSize) {
    const struct {
        const char* path;
        int32_t width, height;
    } cases[] = {{SPRITE, 64, 64}, {STRIPES, 31, 17}};
    for (const auto& c : cases) {
        int id = KORVA_load_picture(c.path);
        ASSERT_GE(id, 1) << c.path << ": " << testing::PrintToString(console_lines());
        int32_t w = 0, h = 0;
        EXPECT_EQ(1, KORVA_picture_size(id, &w, &h));
        EXPECT_EQ(c.width, w) << c.path;
        EXPECT_EQ(c.height, h) << c.path;
    }
    EXPECT_TRUE(console_lines().empty());
}

// Each draw against raw AlphaBlend from the picture's own context at the same device corner,
// on a copy of the canvas made just before.
TEST_F(PicturesTest, DrawingBlendsExactlyAsThePlatformDoesWhereverThePointIs) {
    const int sprite = KORVA_load_picture(SPRITE), stripes = KORVA_load_picture(STRIPES);
    ASSERT_GE(sprite, 1);
    ASSERT_GE(stripes, 1);
    const int32_t half_w = 300, half_h = 270;
    const Point points[] = {{0, 0},      {-half_w, half_h}, {half_w, -half_h}, {-330, 0},     {0, 290},
                            {17, -13},   {5000, 5000},      {INT_MAX, INT_MIN}, {INT_MIN, 0}, {-260, -240}};
    std::vector<uint32_t> expected;
    for (int id : {sprite, stripes}) {
        const Picture& p = korva_state.pictures[id - 1];
        for (const Point& at : points) {
            // A busy background, so that the blend shows.
            KORVA_draw_rectangle(KORVA_GREEN, at.x / 2 - 40, at.y / 2 + 40, at.x / 2 + 40, at.y / 2 - 40, 0);
            std::vector<uint32_t> before = canvas_pixels();
            ASSERT_EQ(1, KORVA_draw_picture(id, at));
            std::vector<uint32_t> drawn = canvas_pixels();

            // The reference: the same canvas as before, the platform's blend at the picture's corner.
            int64_t left = int64_t{korva_state.origin_x} + at.x - p.width / 2;
            int64_t top = int64_t{korva_state.origin_y} - at.y - p.height / 2;
            set_canvas_pixels(before);
            if (left < KORVA_CANVAS_WIDTH && top < KORVA_CANVAS_HEIGHT && left + p.width > 0 && top + p.height > 0) {
                const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
                AlphaBlend(korva_state.canvas_dc, static_cast<int>(left), static_cast<int>(top), p.width, p.height, p.dc,
                           0, 0, p.width, p.height, blend);
            }
            expected = canvas_pixels();
            int differing = 0;
            for (size_t i = 0; i < drawn.size(); ++i) differing += drawn[i] != expected[i];
            EXPECT_EQ(0, differing) << "picture " << id << " at (" << at.x << "," << at.y << ")";
            set_canvas_pixels(drawn);
        }
    }
}

TEST_F(PicturesTest, BadInputIsAnsweredWithZeroAndOneLineAndNothingIsDrawn) {
    CreateDirectoryA("a_folder", nullptr);
    const struct {
        const char* what;
        int result;
        std::string line;
    } loads[] = {
        {nullptr, 0, "Cannot load picture: no file name\n"},
        {"", 0, "Cannot load picture: no file name\n"},
        {"pictures\\missing.png", 0, "Cannot load picture pictures\\missing.png: no such file\n"},
        {"a_folder", 0, "Cannot load picture a_folder: a directory\n"},
        {"pictures\\not_a_picture.png", 0,
         "Cannot load picture pictures\\not_a_picture.png: not a picture the platform can read\n"},
        {"pictures\\too_wide.png", 0, "Cannot load picture pictures\\too_wide.png: 4097 x 1 pixels is more than 4096 x 4096\n"},
        // Made by the build beside the test: a pipe, and a link to a device.
        {"a_pipe", 0, "Cannot load picture a_pipe: not a regular file (a pipe or a device)\n"},
        {"zero_link", 0, "Cannot load picture zero_link: not a regular file (a pipe or a device)\n"},
    };
    std::vector<uint32_t> before = canvas_pixels();
    for (const auto& c : loads) {
        clear_console();
        EXPECT_EQ(c.result, KORVA_load_picture(c.what)) << (c.what ? c.what : "null");
        EXPECT_EQ(std::vector<std::string>{c.line}, console_lines()) << (c.what ? c.what : "null");
    }
    for (int id : {0, -1, 1, 256, 257, INT_MIN}) {
        clear_console();
        EXPECT_EQ(0, KORVA_draw_picture(id, 0, 0)) << id;
        EXPECT_EQ(std::vector<std::string>{"Picture " + std::to_string(id) + " is not loaded; nothing drawn.\n"},
                  console_lines());
        int32_t w = 7, h = 7;
        EXPECT_EQ(0, KORVA_picture_size(id, &w, &h));
        EXPECT_EQ(0, w);
    }
    EXPECT_TRUE(before == canvas_pixels()) << "bad input drew something";
    RemoveDirectoryA("a_folder");
}

// A name in UTF-8, as a program's source holds it, names the picture it spells.
TEST_F(PicturesTest, AUtf8NameLoadsThePictureItSpells) {
    ASSERT_TRUE(CopyFileW(L"pictures\\sprite.png", L"pictures\\sp\u00f6t.png", FALSE));
    clear_console();
    const int id = KORVA_load_picture("pictures\\sp\xc3\xb6t.png");
    EXPECT_GE(id, 1) << testing::PrintToString(console_lines());
    if (id >= 1) KORVA_free_picture(id);
    DeleteFileW(L"pictures\\sp\u00f6t.png");
}

TEST_F(PicturesTest, DrawingIsLoggedWhileLoggingIsOn) {
    int id = KORVA_load_picture(SPRITE);
    KORVA_logging(1);
    clear_console();
    KORVA_draw_picture(id, -5, 7);
    EXPECT_EQ(std::vector<std::string>{"Picture " + std::to_string(id) + " (64 x 64) at (-5,7)\n"}, console_lines());
}

// The process's GDI handle table holds at most 65,536 objects: a draw that kept one would have
// filled it long before 100,000 draws, and no new object could be made.
TEST_F(PicturesTest, ManyDrawsKeepNoHandleAndFreeingDeletesEveryOne) {
    int id = KORVA_load_picture(SPRITE);
    ASSERT_GE(id, 1);
    for (int i = 0; i < 100000; ++i) KORVA_draw_picture(id, i % 601 - 300, i % 540 - 270);
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    EXPECT_NE(nullptr, brush) << "the handle table is full after 100,000 draws";
    DeleteObject(brush);

    std::vector<HGDIOBJ> handles;
    for (int i = 0; i < 20; ++i) {
        int more = KORVA_load_picture(STRIPES);
        handles.push_back(korva_state.pictures[more - 1].dc);
        handles.push_back(korva_state.pictures[more - 1].bitmap);
    }
    handles.push_back(korva_state.pictures[id - 1].dc);
    handles.push_back(korva_state.pictures[id - 1].bitmap);
    free_pictures();
    for (HGDIOBJ h : handles) EXPECT_EQ(0u, GetObjectType(h)) << "a picture's handle was not deleted";
    EXPECT_EQ(0, KORVA_picture_size(id, nullptr, nullptr));
}

TEST_F(PicturesTest, TheStoreHoldsAFixedNumberOfPictures) {
    for (int i = 0; i < MAX_PICTURES; ++i) ASSERT_EQ(i + 1, KORVA_load_picture(STRIPES));
    // The last one is as good as the first.
    std::vector<uint32_t> before = canvas_pixels();
    EXPECT_EQ(1, KORVA_draw_picture(MAX_PICTURES, 0, 0));
    EXPECT_FALSE(before == canvas_pixels()) << "picture 256 drew nothing";
    int32_t w = 0, h = 0;
    EXPECT_EQ(1, KORVA_picture_size(MAX_PICTURES, &w, &h));
    EXPECT_EQ(31, w);
    clear_console();
    EXPECT_EQ(0, KORVA_load_picture(STRIPES));
    EXPECT_EQ(std::vector<std::string>{"Cannot load picture pictures\\stripes.bmp: 256 pictures are loaded already\n"},
              console_lines());
}

TEST_F(PicturesTest, ACanvasSavedAsPngReadsBackToTheSamePixels) {
    int id = KORVA_load_picture(SPRITE);
    KORVA_draw_circle(KORVA_ORANGE, 40, -30, 70);
    KORVA_draw_picture(id, 10, 10);
    remove("shot.png");
    ASSERT_EQ(1, KORVA_save_canvas("shot.PNG"));
    std::string file = read_file("shot.PNG");
    ASSERT_GT(file.size(), 8u);
    EXPECT_EQ(0, memcmp(file.data(), "\x89PNG\r\n\x1a\n", 8)) << "not a PNG file";
    EXPECT_LT(file.size(), 100000u);
    WicPicture read;
    ASSERT_EQ(nullptr, wic_open_file("shot.PNG", &read));
    ASSERT_EQ(static_cast<uint32_t>(KORVA_CANVAS_WIDTH), read.width);
    ASSERT_EQ(static_cast<uint32_t>(KORVA_CANVAS_HEIGHT), read.height);
    std::vector<uint32_t> pixels(static_cast<size_t>(read.width) * read.height);
    ASSERT_EQ(nullptr, wic_copy_premultiplied(read, pixels.data(), read.width * 4));
    wic_close(&read);
    std::vector<uint32_t> canvas = canvas_pixels();
    int differing = 0;
    for (size_t i = 0; i < pixels.size(); ++i) differing += (pixels[i] & 0xFFFFFF) != (canvas[i] & 0xFFFFFF);
    EXPECT_EQ(0, differing);
    remove("shot.PNG");
}

}  // namespace

namespace {

// A PNG of the given size, all one colour, written with the platform's encoder.
void write_png(const char* path, uint32_t width, uint32_t height) {
    const uint32_t stride = (width * 3 + 3) & ~3u;
    std::vector<uint8_t> rows(static_cast<size_t>(stride) * height, 0x40);
    uint8_t* bytes = nullptr;
    size_t size = 0;
    ASSERT_TRUE(wic_encode_png(rows.data(), width, height, stride, &bytes, &size));
    write_file(path, std::string(reinterpret_cast<char*>(bytes), size));
    wic_free_bytes(bytes);
}

TEST_F(PicturesTest, TheSizeLimitHoldsFromBothSides) {
    const struct {
        uint32_t width, height;
        bool loads;
    } cases[] = {{4096, 1, true}, {1, 4096, true}, {4096, 4096, true}, {4097, 1, false}, {1, 4097, false}};
    for (const auto& c : cases) {
        write_png("limit.png", c.width, c.height);
        clear_console();
        int id = KORVA_load_picture("limit.png");
        const std::string size = std::to_string(c.width) + " x " + std::to_string(c.height);
        if (c.loads) {
            EXPECT_GE(id, 1) << size << ": " << testing::PrintToString(console_lines());
            int32_t w = 0, h = 0;
            KORVA_picture_size(id, &w, &h);
            EXPECT_EQ(static_cast<int32_t>(c.width), w) << size;
            EXPECT_EQ(static_cast<int32_t>(c.height), h) << size;
        } else {
            EXPECT_EQ(0, id) << size;
            EXPECT_EQ(std::vector<std::string>{"Cannot load picture limit.png: " + size +
                                               " pixels is more than 4096 x 4096\n"},
                      console_lines());
        }
        free_pictures();
    }
    remove("limit.png");
}

// The folder the test program lies in, with its final separator.
std::string program_folder() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, n);
    return folder.substr(0, folder.find_last_of("\\/") + 1);
}

// Only a name that is not there is looked for beside the program: a damaged file that is there
// says what is wrong with it, rather than another file being loaded silently in its place.
TEST_F(PicturesTest, AFileThatIsThereReportsItsOwnFaultInsteadOfLoadingTheOneBesideTheProgram) {
    const std::string beside = program_folder() + "korva_beside_test.png";
    write_file(beside.c_str(), read_file(SPRITE));
    int id = KORVA_load_picture("korva_beside_test.png");
    EXPECT_GE(id, 1) << "a name found only beside the program: " << testing::PrintToString(console_lines());
    free_pictures();

    write_file("korva_beside_test.png", "not a picture at all");
    clear_console();
    EXPECT_EQ(0, KORVA_load_picture("korva_beside_test.png"));
    EXPECT_EQ(std::vector<std::string>{"Cannot load picture korva_beside_test.png: not a picture the platform can read\n"},
              console_lines());
    remove("korva_beside_test.png");
    remove(beside.c_str());
}

TEST_F(PicturesTest, ReasonsSayWhatHappened) {
    // A BMP whose header promises more rows than the file holds.
    std::string stripes = read_file(STRIPES);
    write_file("short.bmp", stripes.substr(0, stripes.size() / 2));
    clear_console();
    EXPECT_EQ(0, KORVA_load_picture("short.bmp"));
    EXPECT_EQ(std::vector<std::string>{"Cannot load picture short.bmp: the picture's data is damaged or cut short\n"},
              console_lines());
    remove("short.bmp");

    // A picture that exists under a path longer than the old 260-character limit loads.
    std::wstring folder = L"long";
    std::string relative = "long";
    std::wstring base;
    {
        wchar_t current[MAX_PATH];
        GetCurrentDirectoryW(MAX_PATH, current);
        base = std::wstring(L"\\\\?\\") + current + L"\\";
    }
    std::vector<std::wstring> made;
    CreateDirectoryW((base + L"long").c_str(), nullptr);
    while (relative.size() < 300) {
        folder += L"\\" + std::wstring(40, L'd');
        relative += "\\" + std::string(40, 'd');
        ASSERT_TRUE(CreateDirectoryW((base + folder).c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
        made.push_back(base + folder);
    }
    const std::string name = relative + "\\sprite_with_a_long_name.png";
    std::wstring wide_name = base + folder + L"\\sprite_with_a_long_name.png";
    ASSERT_TRUE(CopyFileW((base + L"pictures\\sprite.png").c_str(), wide_name.c_str(), FALSE));
    std::string full = std::string(MAX_PATH, '\0');
    full.resize(GetCurrentDirectoryA(MAX_PATH, &full[0]));
    ASSERT_GT(full.size() + 1 + name.size(), 320u) << "the path must be longer than the old limit";
    clear_console();
    int id = KORVA_load_picture(name.c_str());
    EXPECT_GE(id, 1) << testing::PrintToString(console_lines());
    DeleteFileW(wide_name.c_str());
    for (auto it = made.rbegin(); it != made.rend(); ++it) RemoveDirectoryW(it->c_str());
    RemoveDirectoryW((base + L"long").c_str());
}

}  // namespace
