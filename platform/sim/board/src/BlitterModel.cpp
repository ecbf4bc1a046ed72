// The blitter's model, shared by the simulator board and the emulated board:
// fills, copies, format conversions and blends between memory areas, one
// transfer at a time, done at once. How the transfer's end reaches the
// firmware is each board's (sim/BlitterModel.hpp).

#include <array>
#include <cstring>

#include "platform/bsp.h"
#include "sim/BlitterModel.hpp"
#include "sim/BlitterPixels.hpp"
#include "sim/BoardFaults.hpp"

namespace {

using bsp::BlitterColorMode;
using sim::blit::applyAlphaMode;
using sim::blit::Argb;
using sim::blit::bitsPerPixel;
using sim::blit::blend;
using sim::blit::fromArgbWord;
using sim::blit::isOutputMode;
using sim::blit::writePixel;

struct Blitter {
    bool initialised = false;
    bsp::BlitterOutput output{};
    std::array<bsp::BlitterLayer, 2> layers{};
    sim::blit::Palette palette{};
    bsp::BlitterCallback complete = nullptr;
    bsp::BlitterCallback error = nullptr;
};

Blitter blitter;

Argb readPixel(const std::uint8_t* base, std::uint64_t index, const bsp::BlitterLayer& layer)
{
    return sim::blit::readPixel(blitter.palette, base, index, layer);
}

// NOLINTBEGIN(performance-no-int-to-ptr): the blitter's registers hold addresses
std::uint8_t* memoryAt(std::uintptr_t address)
{
    return reinterpret_cast<std::uint8_t*>(address);
}
// NOLINTEND(performance-no-int-to-ptr)

void finish()
{
    if (blitter.complete != nullptr) {
        sim::blit::signalEnd(false);
    }
}

bsp::Status fail()
{
    if (blitter.error != nullptr) {
        sim::blit::signalEnd(true);
    }
    return bsp::Status::Error;
}

class TransferScope {
public:
    TransferScope() { sim::blit::transferBegins(); }
    ~TransferScope() { sim::blit::transferEnds(); }
    TransferScope(const TransferScope&) = delete;
    TransferScope& operator=(const TransferScope&) = delete;
};

// Runs a transfer line by line; `pixel` gives the output pixel at (x, y).
template <typename PixelAt>
void transfer(std::uintptr_t destination, std::uint32_t width, std::uint32_t height, PixelAt pixel)
{
    std::uint8_t* out = memoryAt(destination);
    const std::uint64_t outStride = width + blitter.output.lineOffset;
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < width; ++x) {
            writePixel(out, y * outStride + x, blitter.output.colorMode, pixel(x, y));
        }
    }
}

} // namespace

namespace sim::blit {

bsp::BlitterCallback endCallback(bool failed)
{
    return failed ? blitter.error : blitter.complete;
}

void resetModel()
{
    blitter = Blitter{};
}

} // namespace sim::blit

namespace bsp {

Status blitterInit(const BlitterOutput& output)
{
    if (sim::blit::initRefused() ||
        sim::board::detail::stepFails(sim::board::Fault::BlitterInit, "blitter configuration") ||
        !isOutputMode(output.colorMode)) {
        return Status::Error;
    }
    blitter.output = output;
    blitter.initialised = true;
    return Status::Ok;
}

Status blitterLayerInit(BlitterLayerIndex layer, const BlitterLayer& config)
{
    if (!blitter.initialised ||
        sim::board::detail::stepFails(sim::board::Fault::BlitterLayer, "blitter layer configuration")) {
        return Status::Error;
    }
    blitter.layers[static_cast<std::size_t>(layer)] = config;
    return Status::Ok;
}

void blitterSetCallbacks(BlitterCallback transferComplete, BlitterCallback transferError)
{
    blitter.complete = transferComplete;
    blitter.error = transferError;
}

Status blitterLoadPalette(const void* entries, std::uint16_t count, BlitterColorMode entryFormat)
{
    if (entries == nullptr || count > blitter.palette.size() ||
        (entryFormat != BlitterColorMode::ARGB8888 && entryFormat != BlitterColorMode::RGB888)) {
        return Status::Error;
    }
    const auto* bytes = static_cast<const std::uint8_t*>(entries);
    const BlitterLayer format{entryFormat, 0, BlitterAlphaMode::Keep, 0xFF, 0};
    for (std::uint16_t i = 0; i < count; ++i) {
        blitter.palette[i] = readPixel(bytes, i, format);
    }
    return Status::Ok;
}

Status blitterStart(std::uintptr_t source, std::uintptr_t destination, std::uint32_t width, std::uint32_t height)
{
    const TransferScope scope;
    // A refused start is no transfer: no interrupt follows.
    if (sim::board::detail::faultActive(sim::board::Fault::BlitterStart)) {
        return Status::Error;
    }
    if (!blitter.initialised || destination == 0 ||
        (blitter.output.mode != BlitterMode::RegisterToMemory && source == 0)) {
        return fail();
    }
    const BlitterLayer& fg = blitter.layers[1];
    switch (blitter.output.mode) {
    case BlitterMode::RegisterToMemory: {
        const Argb color = fromArgbWord(static_cast<std::uint32_t>(source));
        transfer(destination, width, height, [&](std::uint32_t, std::uint32_t) { return color; });
        break;
    }
    case BlitterMode::MemoryToMemory: {
        // Same format on both sides: plain bytes.
        const std::uint32_t bits = bitsPerPixel(blitter.output.colorMode);
        for (std::uint32_t y = 0; y < height; ++y) {
            std::memmove(memoryAt(destination) + (y * (width + blitter.output.lineOffset) * bits) / 8,
                         memoryAt(source) + (y * (width + fg.lineOffset) * bits) / 8, width * bits / 8);
        }
        break;
    }
    case BlitterMode::MemoryToMemoryConvert: {
        const std::uint8_t* in = memoryAt(source);
        transfer(destination, width, height, [&](std::uint32_t x, std::uint32_t y) {
            return applyAlphaMode(readPixel(in, std::uint64_t{y} * (width + fg.lineOffset) + x, fg), fg);
        });
        break;
    }
    case BlitterMode::MemoryToMemoryBlend:
        return fail();
    }
    finish();
    return Status::Ok;
}

Status blitterBlendStart(std::uintptr_t foreground, std::uintptr_t background, std::uintptr_t destination,
                         std::uint32_t width, std::uint32_t height)
{
    const TransferScope scope;
    // A refused start is no transfer: no interrupt follows.
    if (sim::board::detail::faultActive(sim::board::Fault::BlitterStart)) {
        return Status::Error;
    }
    if (!blitter.initialised || blitter.output.mode != BlitterMode::MemoryToMemoryBlend || background == 0 ||
        destination == 0) {
        return fail();
    }
    const BlitterLayer& fg = blitter.layers[1];
    const BlitterLayer& bg = blitter.layers[0];
    const std::uint8_t* over = memoryAt(foreground);
    const std::uint8_t* under = memoryAt(background);
    // A null foreground blends the foreground layer's colour (a fill with alpha).
    const Argb fixed = applyAlphaMode(fromArgbWord(fg.color | 0xFF000000u), fg);
    transfer(destination, width, height, [&](std::uint32_t x, std::uint32_t y) {
        const Argb top = over == nullptr
                             ? fixed
                             : applyAlphaMode(readPixel(over, std::uint64_t{y} * (width + fg.lineOffset) + x, fg), fg);
        const Argb bottom = readPixel(under, std::uint64_t{y} * (width + bg.lineOffset) + x, bg);
        return blend(top, bottom);
    });
    finish();
    return Status::Ok;
}

} // namespace bsp
