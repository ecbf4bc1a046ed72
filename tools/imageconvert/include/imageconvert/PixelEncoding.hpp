#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "imageconvert/BitmapList.hpp"
#include "imageconvert/Raster.hpp"

namespace imageconvert {

// The bytes the firmware draws: RGB565 as little-endian 16-bit words,
// ARGB8888 as B, G, R, A bytes. An image listed as RGB565 must be opaque;
// `name` goes into the error otherwise.
std::vector<std::uint8_t> encodePixels(const Raster& raster, PixelFormat format, const std::string& name);

} // namespace imageconvert
