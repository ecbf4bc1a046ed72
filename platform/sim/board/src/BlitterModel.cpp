// The blitter's model, shared by the simulator board and the emulated board:
// its registers, the checks a start passes, and the end of each transfer.
// The pixel work is the engine's (sim/BlitterEngine.hpp), done where each
// board has it done.

#include "sim/BlitterModel.hpp"

#include "platform/bsp.h"
#include "sim/BlitterPixels.hpp"
#include "sim/BoardFaults.hpp"

namespace {

using bsp::BlitterColorMode;
using sim::blit::isOutputMode;

struct Blitter {
    bool initialised = false;
    bsp::BlitterCallback complete = nullptr;
    bsp::BlitterCallback error = nullptr;
};

Blitter blitter;

bsp::Status fail()
{
    if (blitter.error != nullptr) {
        sim::blit::signalEnd(true, sim::blit::TransferLoad{});
    }
    return bsp::Status::Error;
}

bsp::Status start(const sim::blit::Job& job)
{
    // A refused start is no transfer: no interrupt follows.
    if (sim::board::detail::faultActive(sim::board::Fault::BlitterStart)) {
        return bsp::Status::Error;
    }
    sim::blit::TransferLoad load;
    if (!blitter.initialised || !sim::blit::runTransfer(sim::blit::boardRegisters(), job, load)) {
        return fail();
    }
    if (blitter.complete != nullptr) {
        sim::blit::signalEnd(false, load);
    }
    return bsp::Status::Ok;
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
    boardRegisters() = Registers{};
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
    sim::blit::boardRegisters().output = output;
    blitter.initialised = true;
    return Status::Ok;
}

Status blitterLayerInit(BlitterLayerIndex layer, const BlitterLayer& config)
{
    if (!blitter.initialised ||
        sim::board::detail::stepFails(sim::board::Fault::BlitterLayer, "blitter layer configuration")) {
        return Status::Error;
    }
    sim::blit::boardRegisters().layers[static_cast<std::size_t>(layer)] = config;
    return Status::Ok;
}

void blitterSetCallbacks(BlitterCallback transferComplete, BlitterCallback transferError)
{
    blitter.complete = transferComplete;
    blitter.error = transferError;
}

Status blitterLoadPalette(const void* entries, std::uint16_t count, BlitterColorMode entryFormat)
{
    sim::blit::Palette& palette = sim::blit::boardRegisters().palette;
    if (entries == nullptr || count > palette.size() ||
        (entryFormat != BlitterColorMode::ARGB8888 && entryFormat != BlitterColorMode::RGB888)) {
        return Status::Error;
    }
    const auto* bytes = static_cast<const std::uint8_t*>(entries);
    const BlitterLayer format{entryFormat, 0, BlitterAlphaMode::Keep, 0xFF, 0};
    for (std::uint16_t i = 0; i < count; ++i) {
        palette[i] = sim::blit::readPixel(palette, bytes, i, format);
    }
    return Status::Ok;
}

Status blitterStart(std::uintptr_t source, std::uintptr_t destination, std::uint32_t width, std::uint32_t height)
{
    return start(sim::blit::Job{source, 0, destination, width, height, 0});
}

Status blitterBlendStart(std::uintptr_t foreground, std::uintptr_t background, std::uintptr_t destination,
                         std::uint32_t width, std::uint32_t height)
{
    return start(sim::blit::Job{foreground, background, destination, width, height, 1});
}

} // namespace bsp
