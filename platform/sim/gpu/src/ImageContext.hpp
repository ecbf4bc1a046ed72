#pragma once

#include <cairo.h>

// A cairo image surface over memory the owner keeps, with its context.
namespace sim::vg {

class ImageContext {
public:
    ImageContext() = default;
    ImageContext(const ImageContext&) = delete;
    ImageContext& operator=(const ImageContext&) = delete;
    ~ImageContext() { release(); }

    void create(unsigned char* data, cairo_format_t format, int width, int height, int stride)
    {
        release();
        surface = cairo_image_surface_create_for_data(data, format, width, height, stride);
        cr = cairo_create(surface);
    }
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

    cairo_surface_t* surface = nullptr;
    cairo_t* cr = nullptr;
};

} // namespace sim::vg
