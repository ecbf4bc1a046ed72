#include "device_models/BlitterEngine.hpp"

#include <algorithm>
#include <array>
#include <cstring>

namespace devices::blit {

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

// Pixels handled together: each run decides the colour modes once.
constexpr std::uint32_t runPixels = 128;

using Run = std::array<Argb, runPixels>;

template <BlitterColorMode Mode>
void readRunAs(const Palette& palette, const std::uint8_t* base, std::uint64_t index, Argb color, Run& run,
               std::uint32_t count)
{
    for (std::uint32_t i = 0; i < count; ++i) {
        run[i] = readAs<Mode>(palette, base, index + i, color);
    }
}

// `count` pixels of a layer from `index` on, its alpha mode applied.
void readRun(const Palette& palette, const std::uint8_t* base, std::uint64_t index, const BlitterLayer& layer, Run& run,
             std::uint32_t count)
{
    const Argb color = layerColorOf(layer);
    switch (layer.colorMode) {
    case BlitterColorMode::ARGB8888:
        readRunAs<BlitterColorMode::ARGB8888>(palette, base, index, color, run, count);
        break;
    case BlitterColorMode::RGB888:
        readRunAs<BlitterColorMode::RGB888>(palette, base, index, color, run, count);
        break;
    case BlitterColorMode::RGB565:
        readRunAs<BlitterColorMode::RGB565>(palette, base, index, color, run, count);
        break;
    case BlitterColorMode::L8:
        readRunAs<BlitterColorMode::L8>(palette, base, index, color, run, count);
        break;
    case BlitterColorMode::A8:
        readRunAs<BlitterColorMode::A8>(palette, base, index, color, run, count);
        break;
    case BlitterColorMode::A4:
        readRunAs<BlitterColorMode::A4>(palette, base, index, color, run, count);
        break;
    }
    if (layer.alphaMode != bsp::BlitterAlphaMode::Keep) {
        for (std::uint32_t i = 0; i < count; ++i) {
            run[i] = applyAlphaMode(run[i], layer);
        }
    }
}

template <BlitterColorMode Mode>
void writeRunAs(std::uint8_t* base, std::uint64_t index, const Run& run, std::uint32_t count)
{
    for (std::uint32_t i = 0; i < count; ++i) {
        writeAs<Mode>(base, index + i, run[i]);
    }
}

void writeRun(std::uint8_t* base, std::uint64_t index, BlitterColorMode mode, const Run& run, std::uint32_t count)
{
    if (mode == BlitterColorMode::ARGB8888) {
        writeRunAs<BlitterColorMode::ARGB8888>(base, index, run, count);
    } else if (mode == BlitterColorMode::RGB888) {
        writeRunAs<BlitterColorMode::RGB888>(base, index, run, count);
    } else {
        writeRunAs<BlitterColorMode::RGB565>(base, index, run, count);
    }
}

// Runs a transfer run by run; `fill(run, x, y, count)` gives the output
// pixels of a line from (x, y) on.
template <typename FillRun> void transfer(std::uint8_t* out, const Registers& r, const Job& job, FillRun fill)
{
    const std::uint64_t outStride = job.width + r.output.lineOffset;
    Run run;
    for (std::uint32_t y = 0; y < job.height; ++y) {
        for (std::uint32_t x = 0; x < job.width; x += runPixels) {
            const std::uint32_t count = std::min(runPixels, job.width - x);
            fill(run, x, y, count);
            writeRun(out, y * outStride + x, r.output.colorMode, run, count);
        }
    }
}

// Lines copied as plain bytes: the foreground is in the output's format.
void copyLines(const Registers& r, const Job& job, const std::uint8_t* in, std::uint8_t* out)
{
    const std::uint32_t bits = bitsPerPixel(r.output.colorMode);
    for (std::uint32_t y = 0; y < job.height; ++y) {
        std::memmove(out + (y * (job.width + r.output.lineOffset) * bits) / 8,
                     in + (y * (job.width + r.layers[1].lineOffset) * bits) / 8, job.width * bits / 8);
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
        Run fixed;
        fixed.fill(applyAlphaMode(layerColorOf(fg), fg));
        Run bottom;
        transfer(out, r, job, [&](Run& run, std::uint32_t x, std::uint32_t y, std::uint32_t count) {
            if (over == nullptr) {
                run = fixed;
            } else {
                readRun(r.palette, over, std::uint64_t{y} * (job.width + fg.lineOffset) + x, fg, run, count);
            }
            readRun(r.palette, under, std::uint64_t{y} * (job.width + bg.lineOffset) + x, bg, bottom, count);
            for (std::uint32_t i = 0; i < count; ++i) {
                run[i] = blend(run[i], bottom[i]);
            }
        });
        load.bytes += (over == nullptr ? 0 : bytesOf(fg.colorMode, pixels)) + bytesOf(bg.colorMode, pixels);
        return true;
    }
    if (r.output.mode == BlitterMode::RegisterToMemory) {
        // The colour is encoded once; each line is then plain bytes.
        Run color;
        color.fill(fromArgbWord(static_cast<std::uint32_t>(job.source)));
        std::array<std::uint8_t, std::size_t{runPixels} * 4> encoded{};
        writeRun(encoded.data(), 0, r.output.colorMode, color, runPixels);
        const std::uint32_t bytesPerPixel = bitsPerPixel(r.output.colorMode) / 8;
        const std::uint64_t outStride = job.width + r.output.lineOffset;
        for (std::uint32_t y = 0; y < job.height; ++y) {
            for (std::uint32_t x = 0; x < job.width; x += runPixels) {
                const std::uint32_t count = std::min(runPixels, job.width - x);
                std::memcpy(out + (y * outStride + x) * bytesPerPixel, encoded.data(),
                            std::size_t{count} * bytesPerPixel);
            }
        }
        return true;
    }
    const std::uint8_t* in =
        job.source == 0 ? nullptr : memory.at(job.source, areaBytes(fg.colorMode, fg.lineOffset, job));
    if (in == nullptr) {
        return false;
    }
    switch (r.output.mode) {
    case BlitterMode::MemoryToMemory:
        copyLines(r, job, in, out);
        load.bytes *= 2;
        return true;
    case BlitterMode::MemoryToMemoryConvert:
        transfer(out, r, job, [&](Run& run, std::uint32_t x, std::uint32_t y, std::uint32_t count) {
            readRun(r.palette, in, std::uint64_t{y} * (job.width + fg.lineOffset) + x, fg, run, count);
        });
        load.bytes += bytesOf(fg.colorMode, pixels);
        return true;
    case BlitterMode::MemoryToMemoryBlend:
    case BlitterMode::RegisterToMemory:
        break;
    }
    return false;
}

} // namespace devices::blit
