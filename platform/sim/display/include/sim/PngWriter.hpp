#pragma once

#include <cstdint>
#include <string>

namespace sim {

// Writes an RGB565 image as an 8-bit RGB PNG. Returns an empty string on
// success, otherwise what went wrong.
std::string writeRgb565Png(const std::string& path, const std::uint16_t* pixels, unsigned width, unsigned height,
                           unsigned strideBytes);

// Reads a PNG written by writeRgb565Png back into RGB565 pixels (stride =
// width). Returns an empty string on success.
std::string readPngAsRgb565(const std::string& path, std::uint16_t* pixels, unsigned width, unsigned height);

} // namespace sim
