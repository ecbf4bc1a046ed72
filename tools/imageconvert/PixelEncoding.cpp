#include "imageconvert/PixelEncoding.hpp"

#include <stdexcept>

namespace imageconvert {

namespace {

unsigned scaleDown(unsigned value, unsigned maximum)
{
    return (value * maximum + 127u) / 255u;
}

} // namespace

std::vector<std::uint8_t> encodePixels(const Raster& raster, PixelFormat format, const std::string& name)
{
    const std::size_t count = static_cast<std::size_t>(raster.width) * raster.height;
    std::vector<std::uint8_t> bytes;
    bytes.reserve(count * (format == PixelFormat::RGB565 ? 2 : 4));
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* p = &raster.rgba[i * 4];
        if (format == PixelFormat::RGB565) {
            if (p[3] != 255) {
                throw std::runtime_error(name + " is listed as RGB565 but pixel " + std::to_string(i % raster.width) +
                                         ", " + std::to_string(i / raster.width) + " is not opaque");
            }
            const auto word = static_cast<std::uint16_t>((scaleDown(p[0], 31) << 11) | (scaleDown(p[1], 63) << 5) |
                                                         scaleDown(p[2], 31));
            bytes.push_back(static_cast<std::uint8_t>(word & 0xFF));
            bytes.push_back(static_cast<std::uint8_t>(word >> 8));
        } else {
            bytes.push_back(p[2]);
            bytes.push_back(p[1]);
            bytes.push_back(p[0]);
            bytes.push_back(p[3]);
        }
    }
    return bytes;
}

} // namespace imageconvert
