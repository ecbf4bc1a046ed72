#include "imageconvert/PngPreview.hpp"

#include <memory>
#include <stdexcept>

#include <cairo.h>

namespace imageconvert {

void writePng(const Raster& raster, const std::string& path)
{
    std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> surface(
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, raster.width, raster.height), &cairo_surface_destroy);
    unsigned char* data = cairo_image_surface_get_data(surface.get());
    const int stride = cairo_image_surface_get_stride(surface.get());
    for (int y = 0; y < raster.height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
        for (int x = 0; x < raster.width; ++x) {
            const std::uint8_t* p = &raster.rgba[(static_cast<std::size_t>(y) * raster.width + x) * 4];
            const unsigned a = p[3];
            const auto premultiply = [a](unsigned c) { return (c * a + 127u) / 255u; };
            row[x] = (a << 24) | (premultiply(p[0]) << 16) | (premultiply(p[1]) << 8) | premultiply(p[2]);
        }
    }
    cairo_surface_mark_dirty(surface.get());
    if (cairo_surface_write_to_png(surface.get(), path.c_str()) != CAIRO_STATUS_SUCCESS) {
        throw std::runtime_error("cannot write " + path);
    }
}

} // namespace imageconvert
