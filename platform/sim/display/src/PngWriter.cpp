#include "sim/PngWriter.hpp"

#include <png.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "sim/OutputFile.hpp"

namespace sim {

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

std::string writeTo(const std::string& path, const std::uint16_t* pixels, unsigned width, unsigned height,
                    unsigned strideBytes)
{
    File file(std::fopen(path.c_str(), "wb"));
    if (!file) {
        return "cannot open " + path + " for writing: " + std::strerror(errno);
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        return "out of memory";
    }
    std::vector<png_byte> row(static_cast<std::size_t>(width) * 3);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return "cannot write " + path;
    }
    png_init_io(png, file.get());
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (unsigned y = 0; y < height; ++y) {
        const auto* source = reinterpret_cast<const std::uint16_t*>(reinterpret_cast<const std::uint8_t*>(pixels) +
                                                                    static_cast<std::size_t>(y) * strideBytes);
        for (std::size_t x = 0; x < width; ++x) {
            const std::uint16_t p = source[x];
            // Widen 5/6 bits to 8 by repeating the top bits.
            const unsigned r = (p >> 11) & 0x1F;
            const unsigned g = (p >> 5) & 0x3F;
            const unsigned b = p & 0x1F;
            row[x * 3] = static_cast<png_byte>((r << 3) | (r >> 2));
            row[x * 3 + 1] = static_cast<png_byte>((g << 2) | (g >> 4));
            row[x * 3 + 2] = static_cast<png_byte>((b << 3) | (b >> 2));
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    if (std::fclose(file.release()) != 0) {
        return "cannot write " + path + ": " + std::strerror(errno);
    }
    return {};
}

} // namespace

// Written next to the target and renamed over it, so that a failed write
// (a full disk) keeps the old picture instead of leaving a truncated one.
// Neither may be anything but a regular file: the rename would replace a
// device or a link, and the clean-up would remove it.
std::string writeRgb565Png(const std::string& path, const std::uint16_t* pixels, unsigned width, unsigned height,
                           unsigned strideBytes)
{
    if (pixels == nullptr || width == 0 || height == 0 || strideBytes < width * 2) {
        return "invalid image";
    }
    const std::string temporary = path + ".partial";
    for (const std::string& written : {path, temporary}) {
        if (std::string refused = refuseNonRegular(written); !refused.empty()) {
            return refused;
        }
    }
    std::string problem = writeTo(temporary, pixels, width, height, strideBytes);
    if (problem.empty() && std::rename(temporary.c_str(), path.c_str()) != 0) {
        problem = "cannot replace " + path + ": " + std::strerror(errno);
    }
    if (!problem.empty()) {
        std::remove(temporary.c_str());
    }
    return problem;
}

std::string readPngAsRgb565(const std::string& path, std::uint16_t* pixels, unsigned width, unsigned height)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, path.c_str()) == 0) {
        return "cannot read " + path + ": " + image.message;
    }
    if (image.width != width || image.height != height) {
        png_image_free(&image);
        return path + " is " + std::to_string(image.width) + " x " + std::to_string(image.height) + ", expected " +
               std::to_string(width) + " x " + std::to_string(height);
    }
    image.format = PNG_FORMAT_RGB;
    std::vector<png_byte> rgb(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr) == 0) {
        return "cannot decode " + path + ": " + image.message;
    }
    for (std::size_t i = 0; i < static_cast<std::size_t>(width) * height; ++i) {
        pixels[i] = static_cast<std::uint16_t>(((rgb[i * 3] >> 3) << 11) | ((rgb[i * 3 + 1] >> 2) << 5) |
                                               (rgb[i * 3 + 2] >> 3));
    }
    return {};
}

} // namespace sim
