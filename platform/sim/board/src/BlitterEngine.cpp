#include "sim/BlitterEngine.hpp"

#include <cstring>

namespace sim::blit {

namespace {

using bsp::BlitterColorMode;
using bsp::BlitterLayer;
using bsp::BlitterMode;

// Bytes of `pixels` pixels in a colour mode (an A4 line's odd pixel takes a
// whole byte).
std::uint64_t bytesOf(BlitterColorMode mode, std::uint64_t pixels)
{
    return (pixels * bitsPerPixel(mode) + 7) / 8;
}

// The bytes a transfer's lines cover in memory, `lineOffset` pixels apart.
std::uint64_t areaBytes(BlitterColorMode mode, std::uint32_t lineOffset, const Job& job)
{
    if (job.width == 0 || job.height == 0) {
        return 0;
    }
    const std::uint64_t lastPixel = std::uint64_t{job.height - 1} * (job.width + lineOffset) + job.width;
    return bytesOf(mode, lastPixel);
}

// Runs a transfer line by line; `pixel` gives the output pixel at (x, y).
template <typename PixelAt> void transfer(std::uint8_t* out, const Registers& r, const Job& job, PixelAt pixel)
{
    const std::uint64_t outStride = job.width + r.output.lineOffset;
    for (std::uint32_t y = 0; y < job.height; ++y) {
        for (std::uint32_t x = 0; x < job.width; ++x) {
            writePixel(out, y * outStride + x, r.output.colorMode, pixel(x, y));
        }
    }
}

} // namespace

std::uint8_t* DirectMemory::at(std::uint64_t address, std::uint64_t) const
{
    // NOLINTNEXTLINE(performance-no-int-to-ptr): the blitter's registers hold addresses
    return reinterpret_cast<std::uint8_t*>(static_cast<std::uintptr_t>(address));
}

bool runJob(const Registers& r, const Job& job, const MemoryWindow& memory, TransferLoad& load)
{
    const BlitterLayer& fg = r.layers[1];
    const BlitterLayer& bg = r.layers[0];
    const std::uint64_t pixels = std::uint64_t{job.width} * job.height;
    std::uint8_t* out = job.destination == 0
                            ? nullptr
                            : memory.at(job.destination, areaBytes(r.output.colorMode, r.output.lineOffset, job));
    if (out == nullptr || !isOutputMode(r.output.colorMode)) {
        return false;
    }
    load = TransferLoad{bytesOf(r.output.colorMode, pixels), job.blend != 0};
    if (job.blend != 0) {
        if (r.output.mode != BlitterMode::MemoryToMemoryBlend || job.background == 0) {
            return false;
        }
        const std::uint8_t* over =
            job.source == 0 ? nullptr : memory.at(job.source, areaBytes(fg.colorMode, fg.lineOffset, job));
        const std::uint8_t* under = memory.at(job.background, areaBytes(bg.colorMode, bg.lineOffset, job));
        if ((job.source != 0 && over == nullptr) || under == nullptr) {
            return false;
        }
        // A null foreground blends the foreground layer's colour (a fill with alpha).
        const Argb fixed = applyAlphaMode(fromArgbWord(fg.color | 0xFF000000u), fg);
        transfer(out, r, job, [&](std::uint32_t x, std::uint32_t y) {
            const Argb top =
                over == nullptr
                    ? fixed
                    : applyAlphaMode(readPixel(r.palette, over, std::uint64_t{y} * (job.width + fg.lineOffset) + x, fg),
                                     fg);
            const Argb bottom = readPixel(r.palette, under, std::uint64_t{y} * (job.width + bg.lineOffset) + x, bg);
            return blend(top, bottom);
        });
        load.bytes += (over == nullptr ? 0 : bytesOf(fg.colorMode, pixels)) + bytesOf(bg.colorMode, pixels);
        return true;
    }
    if (r.output.mode == BlitterMode::RegisterToMemory) {
        const Argb color = fromArgbWord(static_cast<std::uint32_t>(job.source));
        transfer(out, r, job, [&](std::uint32_t, std::uint32_t) { return color; });
        return true;
    }
    const std::uint8_t* in =
        job.source == 0 ? nullptr : memory.at(job.source, areaBytes(fg.colorMode, fg.lineOffset, job));
    if (in == nullptr) {
        return false;
    }
    switch (r.output.mode) {
    case BlitterMode::MemoryToMemory: {
        // Same format on both sides: plain bytes.
        const std::uint32_t bits = bitsPerPixel(r.output.colorMode);
        for (std::uint32_t y = 0; y < job.height; ++y) {
            std::memmove(out + (y * (job.width + r.output.lineOffset) * bits) / 8,
                         in + (y * (job.width + fg.lineOffset) * bits) / 8, job.width * bits / 8);
        }
        load.bytes *= 2;
        return true;
    }
    case BlitterMode::MemoryToMemoryConvert:
        transfer(out, r, job, [&](std::uint32_t x, std::uint32_t y) {
            return applyAlphaMode(readPixel(r.palette, in, std::uint64_t{y} * (job.width + fg.lineOffset) + x, fg), fg);
        });
        load.bytes += bytesOf(fg.colorMode, pixels);
        return true;
    case BlitterMode::MemoryToMemoryBlend:
    case BlitterMode::RegisterToMemory:
        break;
    }
    return false;
}

} // namespace sim::blit
