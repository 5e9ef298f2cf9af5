// The harness's pictures as files: BMP, or PNG through the platform's imaging component, chosen
// by the file's content when read and by its name (".png") when written. Win32.
#ifndef KORVA_TOOLS_PICTURE_FILE_H
#define KORVA_TOOLS_PICTURE_FILE_H

#include <stdint.h>

#include <string>
#include <vector>

#include "korva/platform/bmp_image.h"

// Null when the bytes are a usable BMP or PNG; else why not, as decode_bmp says it.
const char* decode_picture(const std::vector<uint8_t>& bytes, BmpImage* out);

// The file's bytes for a picture written to `path`: PNG when the name ends in ".png", else BMP.
// False when it cannot be encoded.
bool encode_picture_for(const std::string& path, const BmpImage& image, std::vector<uint8_t>* bytes);

#endif
