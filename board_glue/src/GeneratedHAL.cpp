// Maintained by hand: no tool writes this file.

#include "board_glue/GeneratedHAL.hpp"

#include "board_glue/FrameBuffers.hpp"
#include "platform/bsp.h"
#include "ui/DMA.hpp"
#include "ui/OSWrappers.hpp"

namespace {

constexpr std::uint8_t halInterruptPriority = 9;

// The line event alternates between these two lines of each frame.
std::uint16_t lcd_int_active_line = 0;
std::uint16_t lcd_int_porch_line = 0;
std::uint16_t nextEventLine = 0;

void programLineEvent(std::uint16_t line)
{
    nextEventLine = line;
    bsp::displaySetLineEvent(line);
}

} // namespace

void GeneratedHAL::initialize()
{
    ui::OSWrappers::initialize();
    ui::HALGPU::initialize();
    blitter.initialize();
    setFrameBufferStartAddresses(frameBuf, frameBuf + frameBufferPixels, nullptr);
}

void GeneratedHAL::configureInterrupts()
{
    bsp::setInterruptPriority(bsp::Irq::Blitter, halInterruptPriority);
    bsp::setInterruptPriority(bsp::Irq::Gpu, halInterruptPriority);
    bsp::setInterruptPriority(bsp::Irq::Display, halInterruptPriority);
}

void GeneratedHAL::enableInterrupts()
{
    bsp::enableInterrupt(bsp::Irq::Blitter);
    bsp::enableInterrupt(bsp::Irq::Gpu);
    bsp::enableInterrupt(bsp::Irq::Display);
}

// Once this returns none of the three may fire any more.
void GeneratedHAL::disableInterrupts()
{
    bsp::disableInterrupt(bsp::Irq::Blitter);
    bsp::barrier();
    bsp::disableInterrupt(bsp::Irq::Gpu);
    bsp::barrier();
    bsp::disableInterrupt(bsp::Irq::Display);
    bsp::barrier();
}

void GeneratedHAL::enableLCDControllerInterrupt()
{
    const bsp::DisplayTiming timing = bsp::displayTiming();
    lcd_int_active_line = static_cast<std::uint16_t>(timing.accumulatedActiveHeight - 1);
    lcd_int_porch_line = static_cast<std::uint16_t>(timing.totalHeight - 1);
    programLineEvent(lcd_int_active_line);
    bsp::displayEnableLineInterrupt();
}

std::uint16_t* GeneratedHAL::getTFTFrameBuffer() const
{
    // NOLINTNEXTLINE(performance-no-int-to-ptr): the layer register holds an address
    return reinterpret_cast<std::uint16_t*>(bsp::displayLayerAddress());
}

void GeneratedHAL::setTFTFrameBuffer(std::uint16_t* address)
{
    ui::HALGPU::setTFTFrameBuffer(address);
    bsp::displaySetLayerAddress(reinterpret_cast<std::uintptr_t>(address), true);
}

void HAL_Display_LineEventCallback()
{
    ui::HAL* hal = ui::HAL::getInstance();
    if (hal == nullptr) {
        return;
    }
    if (nextEventLine == lcd_int_active_line) {
        // Entering the active area: a vertical sync. The frame buffers swap
        // here; the GUI task's own swap later finds nothing to do.
        programLineEvent(lcd_int_porch_line);
        hal->vSync();
        ui::OSWrappers::signalVSync();
        bsp::setDebugSignal(bsp::DebugSignal::VSync, true);
    } else {
        programLineEvent(lcd_int_active_line);
        hal->allowDMATransfers();
        bsp::setDebugSignal(bsp::DebugSignal::VSync, false);
    }
}
