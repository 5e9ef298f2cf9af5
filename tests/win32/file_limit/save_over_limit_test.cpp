// KORVA_save_canvas when the disk takes only part of the picture: run with a file-size limit
// below the size of a canvas file (the test command sets it), the write fails part-way, and the
// picture that was there before must still be there, byte for byte, with nothing beside it.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>

#include <fstream>
#include <string>
#include <vector>

#include "support/korva_session.h"

namespace {


TEST(SaveOverLimit, AFailedWriteKeepsTheOldPictureAndLeavesNoTemporary) {
    const char* limit = getenv("KORVA_TEST_FILE_LIMIT");
    ASSERT_NE(nullptr, limit) << "run this test with a file-size limit (KORVA_TEST_FILE_LIMIT names it)";
    open_korva_once();
    // The old picture itself is small, so writing it is within the limit.
    const std::string old_bytes = "BM an old picture the user wants to keep \x01\x02\x03";
    {
        std::ofstream old("picture.bmp", std::ios::binary | std::ios::trunc);
        old << old_bytes;
    }
    const std::vector<std::string> before = directory_names();
    KORVA_draw_circle(KORVA_BLUE, 0, 0, 100);
    clear_console();
    EXPECT_EQ(0, KORVA_save_canvas("picture.bmp")) << "the write must fail above " << limit << " bytes";
    EXPECT_EQ(std::vector<std::string>{"Cannot write canvas to picture.bmp\n"}, console_lines());
    EXPECT_EQ(old_bytes, read_file("picture.bmp")) << "the old picture was lost";
    EXPECT_EQ(before, directory_names()) << "a temporary file was left behind";
    remove("picture.bmp");
}

}  // namespace
