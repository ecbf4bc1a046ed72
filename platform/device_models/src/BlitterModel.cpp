// The blitter's model, shared by the simulator board and the emulated board:
// its registers, the checks a start passes, and the end of each transfer.
// The pixel work is the engine's (device_models/BlitterEngine.hpp), done where each
// board has it done.

#include "device_models/BlitterModel.hpp"

#include "device_models/BlitterPixels.hpp"
#include "device_models/Faults.hpp"
#include "platform/bsp.h"

namespace {

using bsp::BlitterColorMode;
using devices::blit::isOutputMode;

struct Blitter {
    bool initialised = false;
    bsp::BlitterCallback complete = nullptr;
    bsp::BlitterCallback error = nullptr;
};

Blitter blitter;

bsp::Status fail()
{
    if (blitter.error != nullptr) {
        devices::blit::signalEnd(true, devices::blit::TransferLoad{});
    }
    return bsp::Status::Error;
}

bsp::Status start(const devices::blit::Job& job)
{
    // A refused start is no transfer: no interrupt follows.
    if (devices::faultActive(devices::Fault::BlitterStart)) {
        return bsp::Status::Error;
    }
    devices::blit::TransferLoad load;
    if (!blitter.initialised || !devices::blit::runTransfer(devices::blit::boardRegisters(), job, load)) {
        return fail();
    }
    if (blitter.complete != nullptr) {
        devices::blit::signalEnd(false, load);
    }
    return bsp::Status::Ok;
}

} // namespace

namespace devices::blit {

bsp::BlitterCallback endCallback(bool failed)
{
    return failed ? blitter.error : blitter.complete;
}

void resetModel()
{
    blitter = Blitter{};
    boardRegisters() = Registers{};
}

} // namespace devices::blit

namespace bsp {

Status blitterInit(const BlitterOutput& output)
{
    if (devices::blit::initRefused() || devices::stepFails(devices::Fault::BlitterInit, "blitter configuration") ||
        !isOutputMode(output.colorMode)) {
        return Status::Error;
    }
    devices::blit::boardRegisters().output = output;
    blitter.initialised = true;
    return Status::Ok;
}

Status blitterLayerInit(BlitterLayerIndex layer, const BlitterLayer& config)
{
    if (!blitter.initialised || devices::stepFails(devices::Fault::BlitterLayer, "blitter layer configuration")) {
        return Status::Error;
    }
    devices::blit::boardRegisters().layers[static_cast<std::size_t>(layer)] = config;
    return Status::Ok;
}

void blitterSetCallbacks(BlitterCallback transferComplete, BlitterCallback transferError)
{
    blitter.complete = transferComplete;
    blitter.error = transferError;
}

Status blitterLoadPalette(const void* entries, std::uint16_t count, BlitterColorMode entryFormat)
{
    devices::blit::Palette& palette = devices::blit::boardRegisters().palette;
    if (entries == nullptr || count > palette.size() ||
        (entryFormat != BlitterColorMode::ARGB8888 && entryFormat != BlitterColorMode::RGB888)) {
        return Status::Error;
    }
    const auto* bytes = static_cast<const std::uint8_t*>(entries);
    const BlitterLayer format{entryFormat, 0, BlitterAlphaMode::Keep, 0xFF, 0};
    for (std::uint16_t i = 0; i < count; ++i) {
        palette[i] = devices::blit::readPixel(palette, bytes, i, format);
    }
    return Status::Ok;
}

Status blitterStart(std::uintptr_t source, std::uintptr_t destination, std::uint32_t width, std::uint32_t height)
{
    return start(devices::blit::Job{source, 0, destination, width, height, 0});
}

Status blitterBlendStart(std::uintptr_t foreground, std::uintptr_t background, std::uintptr_t destination,
                         std::uint32_t width, std::uint32_t height)
{
    return start(devices::blit::Job{foreground, background, destination, width, height, 1});
}

} // namespace bsp
