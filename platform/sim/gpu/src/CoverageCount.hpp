#pragma once

#include <cairo.h>

#include <cstdint>

#include "ImageContext.hpp"
#include "ScissorScratch.hpp"

namespace sim::vg {

// An 8-bit alpha surface the size of the texture on which a path's
// coverage is drawn again and counted.
class CoverageCount {
public:
    CoverageCount() = default;
    CoverageCount(const CoverageCount&) = delete;
    CoverageCount& operator=(const CoverageCount&) = delete;

    void resize(int width, int height);
    // The surface's context, to measure a path with; null without a surface.
    cairo_t* context() { return counting.cr; }
    // A context for drawing one path within `area`; its pixels are cleared
    // and the context clipped to them. Null without a surface.
    cairo_t* begin(const PixelBox& area);
    // Counts the pixels with any coverage in the area begun.
    std::uint64_t end();

private:
    ImageContext counting;
    PixelBox area;
};

} // namespace sim::vg
