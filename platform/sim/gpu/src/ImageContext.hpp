#pragma once

#include <cairo.h>

#include <cstddef>
#include <vector>

// A cairo image surface over pixels it keeps, with its context.
namespace sim::vg {

class ImageContext {
public:
    ImageContext() = default;
    ImageContext(const ImageContext&) = delete;
    ImageContext& operator=(const ImageContext&) = delete;
    ~ImageContext() { release(); }

    // An image of this format and size, `stride` bytes a row, its pixels
    // cleared; one that already is kept as it is.
    void ensure(cairo_format_t format, int width, int height, int stride)
    {
        if (surface != nullptr && cairo_image_surface_get_format(surface) == format &&
            cairo_image_surface_get_width(surface) == width && cairo_image_surface_get_height(surface) == height &&
            rowBytes == stride) {
            return;
        }
        release();
        rowBytes = stride;
        pixels.assign(static_cast<std::size_t>(stride) * static_cast<std::size_t>(height), 0);
        surface = cairo_image_surface_create_for_data(pixels.data(), format, width, height, stride);
        cr = cairo_create(surface);
    }

    // The first byte of row `y`.
    unsigned char* row(int y)
    {
        return pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(rowBytes);
    }

    cairo_surface_t* surface = nullptr;
    cairo_t* cr = nullptr;

private:
    void release()
    {
        if (cr != nullptr) {
            cairo_destroy(cr);
            cr = nullptr;
        }
        if (surface != nullptr) {
            cairo_surface_destroy(surface);
            surface = nullptr;
        }
    }

    std::vector<unsigned char> pixels;
    int rowBytes = 0;
};

} // namespace sim::vg
