#pragma once

#include <cstdint>
#include <vector>

namespace imageconvert {

// Straight (not premultiplied) RGBA pixels, row by row.
struct Raster {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;

    std::uint8_t alpha(int x, int y) const { return rgba[(static_cast<std::size_t>(y) * width + x) * 4 + 3]; }
};

struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool operator==(const PixelRect&) const = default;
};

// The largest rectangle (by area; the topmost, then leftmost, of equal ones)
// whose pixels are all fully opaque; empty when none is.
PixelRect largestOpaqueRect(const Raster& raster);

} // namespace imageconvert
