#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

namespace imageconvert {

enum class PixelFormat : std::uint8_t { RGB565 = 0, ARGB8888 = 2 };

// One line of the bitmap list: the image's name, its size and pixel format.
struct BitmapSpec {
    std::string name;
    int width;
    int height;
    PixelFormat format;
};

// Reads "name width height format" lines; '#' starts a comment. Throws
// std::runtime_error naming the line for anything else.
std::vector<BitmapSpec> readBitmapList(std::istream& in);

} // namespace imageconvert
