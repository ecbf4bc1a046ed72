#include "CoverageCount.hpp"

#include <algorithm>
#include <cstring>

namespace sim::vg {

void CoverageCount::resize(int width, int height)
{
    counting.ensure(CAIRO_FORMAT_A8, width, height, cairo_format_stride_for_width(CAIRO_FORMAT_A8, width));
}

cairo_t* CoverageCount::begin(const PixelBox& box)
{
    cairo_surface_t* surface = counting.surface;
    cairo_t* cr = counting.cr;
    if (cr == nullptr) {
        return nullptr;
    }
    area = box;
    cairo_surface_flush(surface);
    for (std::int32_t y = box.y0; y < box.y1; ++y) {
        std::memset(counting.row(y) + box.x0, 0, static_cast<std::size_t>(box.x1 - box.x0));
    }
    cairo_surface_mark_dirty(surface);
    cairo_identity_matrix(cr);
    cairo_reset_clip(cr);
    cairo_rectangle(cr, box.x0, box.y0, box.x1 - box.x0, box.y1 - box.y0);
    cairo_clip(cr);
    cairo_set_source_rgba(cr, 0, 0, 0, 1);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    return cr;
}

std::uint64_t CoverageCount::end()
{
    cairo_surface_flush(counting.surface);
    std::uint64_t covered = 0;
    for (std::int32_t y = area.y0; y < area.y1; ++y) {
        const unsigned char* row = counting.row(y);
        covered += static_cast<std::uint64_t>(
            std::count_if(row + area.x0, row + area.x1, [](unsigned char v) { return v != 0; }));
    }
    return covered;
}

} // namespace sim::vg
