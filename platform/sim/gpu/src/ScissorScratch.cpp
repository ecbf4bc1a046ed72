#include "ScissorScratch.hpp"

#include <cstring>

namespace sim::vg {

// The frame buffers take turns as the texture: a scratch of their size is
// kept for the next.
void ScissorScratch::attach(cairo_surface_t* texture, int width, int height, int stride)
{
    close();
    target = texture;
    scratch.ensure(CAIRO_FORMAT_RGB16_565, width, height, stride);
    rowBytes = stride;
}

void ScissorScratch::detach()
{
    close();
    target = nullptr;
}

cairo_t* ScissorScratch::open(const PixelBox& wanted)
{
    if (opened && area == wanted) {
        return scratch.cr;
    }
    close();
    area = wanted;
    copy(target, scratch.surface, area);
    opened = true;
    return scratch.cr;
}

void ScissorScratch::close()
{
    if (!opened) {
        return;
    }
    copy(scratch.surface, target, area);
    opened = false;
}

void ScissorScratch::copy(cairo_surface_t* from, cairo_surface_t* to, const PixelBox& box)
{
    cairo_surface_flush(from);
    cairo_surface_flush(to);
    const unsigned char* source = cairo_image_surface_get_data(from);
    unsigned char* destination = cairo_image_surface_get_data(to);
    const auto bytes = static_cast<std::size_t>(box.x1 - box.x0) * 2;
    for (std::int32_t y = box.y0; y < box.y1; ++y) {
        const std::size_t offset =
            static_cast<std::size_t>(y) * static_cast<std::size_t>(rowBytes) + static_cast<std::size_t>(box.x0) * 2;
        std::memcpy(destination + offset, source + offset, bytes);
    }
    cairo_surface_mark_dirty_rectangle(to, box.x0, box.y0, box.x1 - box.x0, box.y1 - box.y0);
}

} // namespace sim::vg
