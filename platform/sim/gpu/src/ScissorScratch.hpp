#pragma once

#include <cairo.h>

#include <cstdint>

#include "ImageContext.hpp"

// Where the cairo GPU draws under a scissor. Cairo cuts a path at its clip
// before rasterising, so an area drawn under a smaller clip can differ at
// edge pixels from the same area drawn under a larger one, while a GPU's
// scissor never changes what it draws inside it. So paths whose scissor
// leaves part of the clip out are drawn on a scratch copy of the texture
// under the clip alone, and only the scissored area is copied back.
namespace sim::vg {

struct PixelBox {
    std::int32_t x0 = 0;
    std::int32_t y0 = 0;
    std::int32_t x1 = 0; // exclusive
    std::int32_t y1 = 0;

    bool isEmpty() const { return x1 <= x0 || y1 <= y0; }
    bool operator==(const PixelBox&) const = default;
};

class ScissorScratch {
public:
    ScissorScratch() = default;
    ScissorScratch(const ScissorScratch&) = delete;
    ScissorScratch& operator=(const ScissorScratch&) = delete;
    ~ScissorScratch() { detach(); }

    // A scratch the size of the texture (RGB565, `stride` bytes a row).
    void attach(cairo_surface_t* texture, int width, int height, int stride);
    // No texture: the open area goes back to it first.
    void detach();
    // The context that draws `area` of the texture on the scratch: the area
    // is copied in first, after the area open before is copied back.
    cairo_t* open(const PixelBox& area);
    // Copies the open area back to the texture.
    void close();

private:
    void copy(cairo_surface_t* from, cairo_surface_t* to, const PixelBox& area);

    cairo_surface_t* target = nullptr;
    ImageContext scratch;
    int rowBytes = 0;
    PixelBox area;
    bool opened = false;
};

} // namespace sim::vg
