#include "imageconvert/SvgRenderer.hpp"

#include <memory>
#include <stdexcept>

#include <cairo.h>
#include <librsvg/rsvg.h>

namespace imageconvert {

namespace {

struct HandleRelease {
    void operator()(RsvgHandle* handle) const { g_object_unref(handle); }
};
struct SurfaceRelease {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
struct ContextRelease {
    void operator()(cairo_t* context) const { cairo_destroy(context); }
};

using Handle = std::unique_ptr<RsvgHandle, HandleRelease>;

std::string takeMessage(GError* error)
{
    std::string message = error != nullptr ? error->message : "unknown error";
    if (error != nullptr) {
        g_error_free(error);
    }
    return message;
}

Raster render(RsvgHandle* handle, int width, int height, const std::string& what)
{
    // A drawing of another size would be scaled and letterboxed silently.
    gdouble drawnWidth = 0.0;
    gdouble drawnHeight = 0.0;
    if (rsvg_handle_get_intrinsic_size_in_pixels(handle, &drawnWidth, &drawnHeight) == FALSE || drawnWidth != width ||
        drawnHeight != height) {
        throw std::runtime_error(what + ": drawn " + std::to_string(drawnWidth) + " x " + std::to_string(drawnHeight) +
                                 " pixels, the table asks for " + std::to_string(width) + " x " +
                                 std::to_string(height));
    }
    std::unique_ptr<cairo_surface_t, SurfaceRelease> surface(
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    std::unique_ptr<cairo_t, ContextRelease> context(cairo_create(surface.get()));
    const RsvgRectangle viewport{0.0, 0.0, static_cast<double>(width), static_cast<double>(height)};
    GError* error = nullptr;
    if (rsvg_handle_render_document(handle, context.get(), &viewport, &error) == FALSE) {
        throw std::runtime_error(what + ": cannot render: " + takeMessage(error));
    }
    cairo_surface_flush(surface.get());

    // Cairo keeps premultiplied native-endian words; the tables want
    // straight alpha.
    Raster raster{width, height, std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * 4)};
    const unsigned char* data = cairo_image_surface_get_data(surface.get());
    const int stride = cairo_image_surface_get_stride(surface.get());
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t word = row[x];
            const unsigned a = word >> 24;
            const auto unpremultiply = [a](unsigned c) { return a == 0 ? 0u : (c * 255u + a / 2) / a; };
            std::uint8_t* out = &raster.rgba[(static_cast<std::size_t>(y) * width + x) * 4];
            out[0] = static_cast<std::uint8_t>(unpremultiply((word >> 16) & 0xFF));
            out[1] = static_cast<std::uint8_t>(unpremultiply((word >> 8) & 0xFF));
            out[2] = static_cast<std::uint8_t>(unpremultiply(word & 0xFF));
            out[3] = static_cast<std::uint8_t>(a);
        }
    }
    return raster;
}

} // namespace

Raster renderSvgFile(const std::string& path, int width, int height)
{
    GError* error = nullptr;
    Handle handle(rsvg_handle_new_from_file(path.c_str(), &error));
    if (!handle) {
        throw std::runtime_error(path + ": " + takeMessage(error));
    }
    return render(handle.get(), width, height, path);
}

Raster renderSvgData(const std::string& svg, int width, int height)
{
    GError* error = nullptr;
    Handle handle(rsvg_handle_new_from_data(reinterpret_cast<const guint8*>(svg.data()), svg.size(), &error));
    if (!handle) {
        throw std::runtime_error("SVG data: " + takeMessage(error));
    }
    return render(handle.get(), width, height, "SVG data");
}

} // namespace imageconvert
