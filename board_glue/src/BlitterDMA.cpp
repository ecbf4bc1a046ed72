// Maintained by hand: no tool writes this file.

#include "board_glue/BlitterDMA.hpp"

#include <cstring>

#include "platform/Assert.hpp"
#include "platform/bsp.h"
#include "ui/HAL.hpp"

namespace {

using bsp::BlitterColorMode;
using bsp::Status;

BlitterColorMode outputColorMode(std::uint8_t format)
{
    switch (format) {
    case ui::Bitmap::RGB565:
        return BlitterColorMode::RGB565;
    case ui::Bitmap::RGB888:
        return BlitterColorMode::RGB888;
    case ui::Bitmap::ARGB8888:
        return BlitterColorMode::ARGB8888;
    case 7:
    case 8:
    case 9:
    case 10:
        return BlitterColorMode::RGB888;
    default:
        break;
    }
    VECTA_ASSERT(false && "Unsupported Format!");
    return BlitterColorMode::RGB565; // not reached: the assertion stops
}

BlitterColorMode inputColorMode(std::uint8_t format)
{
    if (format >= ui::BLIT_FORMAT_L8_FIRST && format <= ui::BLIT_FORMAT_L8_LAST) {
        return BlitterColorMode::L8;
    }
    switch (format) {
    case ui::Bitmap::RGB565:
        return BlitterColorMode::RGB565;
    case ui::Bitmap::RGB888:
        return BlitterColorMode::RGB888;
    case ui::Bitmap::ARGB8888:
        return BlitterColorMode::ARGB8888;
    case ui::BLIT_FORMAT_A4:
        return BlitterColorMode::A4;
    case ui::BLIT_FORMAT_A8:
        return BlitterColorMode::A8;
    default:
        break;
    }
    VECTA_ASSERT(false && "Unsupported Format!");
    return BlitterColorMode::RGB565; // not reached: the assertion stops
}

// Every step of programming a blit must succeed for it to run.
bool ok(Status status)
{
    return status == Status::Ok;
}

bool loadPalette(const std::uint8_t* table)
{
    ui::ColorTableHeader header{};
    std::memcpy(&header, table, sizeof header);
    BlitterColorMode entries = BlitterColorMode::ARGB8888;
    if (header.format == ui::Bitmap::ARGB8888) {
        entries = BlitterColorMode::ARGB8888;
    } else if (header.format == ui::Bitmap::RGB888) {
        entries = BlitterColorMode::RGB888;
    } else {
        VECTA_ASSERT(false && "Unsupported format");
    }
    return ok(bsp::blitterLoadPalette(table + sizeof header, header.count, entries));
}

std::uint32_t lineOffset(std::uint16_t stride, std::uint16_t width)
{
    return stride > width ? static_cast<std::uint32_t>(stride - width) : 0u;
}

std::uintptr_t address(const void* p)
{
    return reinterpret_cast<std::uintptr_t>(p);
}

void transferComplete()
{
    if (ui::HAL::getInstance() != nullptr) {
        ui::HAL::getInstance()->signalDMAInterrupt();
    }
}

[[noreturn]] void transferError()
{
    for (;;) {}
}

} // namespace

void BlitterDMA::initialize()
{
    if (!ok(bsp::blitterInit(bsp::BlitterOutput{bsp::BlitterMode::RegisterToMemory, BlitterColorMode::RGB565, 0}))) {
        stopBoard();
    }
    bsp::blitterSetCallbacks(transferComplete, transferError);
    bsp::enableInterrupt(bsp::Irq::Blitter);
}

bool BlitterDMA::setupDataCopy(const ui::BlitOp& op)
{
    const BlitterColorMode out = outputColorMode(op.dstFormat);
    const BlitterColorMode in = inputColorMode(op.srcFormat);
    const std::uint32_t outOffset = lineOffset(op.dstLoopStride, op.nSteps);
    const std::uint32_t inOffset = lineOffset(op.srcLoopStride, op.nSteps);
    if (in == BlitterColorMode::L8 && !loadPalette(op.pClut)) {
        return false;
    }
    const bool alphaOnly = in == BlitterColorMode::A4 || in == BlitterColorMode::A8;
    const bool sourceAlpha = alphaOnly || in == BlitterColorMode::ARGB8888 || in == BlitterColorMode::L8;
    if (op.alpha == 255 && !sourceAlpha) {
        const bsp::BlitterMode mode =
            in == out ? bsp::BlitterMode::MemoryToMemory : bsp::BlitterMode::MemoryToMemoryConvert;
        return ok(bsp::blitterInit(bsp::BlitterOutput{mode, out, outOffset})) &&
               ok(bsp::blitterLayerInit(bsp::BlitterLayerIndex::Foreground,
                                        bsp::BlitterLayer{in, inOffset, bsp::BlitterAlphaMode::Keep, 255, 0})) &&
               ok(bsp::blitterStart(address(op.pSrc), address(op.pDst), op.nSteps, op.nLoops));
    }
    return ok(bsp::blitterInit(bsp::BlitterOutput{bsp::BlitterMode::MemoryToMemoryBlend, out, outOffset})) &&
           ok(bsp::blitterLayerInit(
               bsp::BlitterLayerIndex::Foreground,
               bsp::BlitterLayer{in, inOffset, bsp::BlitterAlphaMode::Multiply, op.alpha, op.color})) &&
           ok(bsp::blitterLayerInit(bsp::BlitterLayerIndex::Background,
                                    bsp::BlitterLayer{out, outOffset, bsp::BlitterAlphaMode::Keep, 255, 0})) &&
           ok(bsp::blitterBlendStart(address(op.pSrc), address(op.pDst), address(op.pDst), op.nSteps, op.nLoops));
}

bool BlitterDMA::setupDataFill(const ui::BlitOp& op)
{
    const BlitterColorMode out = outputColorMode(op.dstFormat);
    const std::uint32_t outOffset = lineOffset(op.dstLoopStride, op.nSteps);
    if (op.alpha == 255) {
        return ok(bsp::blitterInit(bsp::BlitterOutput{bsp::BlitterMode::RegisterToMemory, out, outOffset})) &&
               ok(bsp::blitterStart(op.color | 0xFF000000u, address(op.pDst), op.nSteps, op.nLoops));
    }
    return ok(bsp::blitterInit(bsp::BlitterOutput{bsp::BlitterMode::MemoryToMemoryBlend, out, outOffset})) &&
           ok(bsp::blitterLayerInit(
               bsp::BlitterLayerIndex::Foreground,
               bsp::BlitterLayer{BlitterColorMode::ARGB8888, 0, bsp::BlitterAlphaMode::Replace, op.alpha, op.color})) &&
           ok(bsp::blitterLayerInit(bsp::BlitterLayerIndex::Background,
                                    bsp::BlitterLayer{out, outOffset, bsp::BlitterAlphaMode::Keep, 255, 0})) &&
           ok(bsp::blitterBlendStart(0, address(op.pDst), address(op.pDst), op.nSteps, op.nLoops));
}
