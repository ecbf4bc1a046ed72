// BOARD PORT: the board's side of the board-support interface (platform/bsp.h),
// of the console and core clock, and its interrupt lines. A port to the real board fills in each step with the
// register programming its hardware needs; everything above this interface
// is the same source on the board, the emulator and the PC. Until then every
// configuration step reports an error, so start-up stops at its first step
// in Error_Handler instead of running on unconfigured hardware.

#include "mcu/Console.hpp"
#include "mcu/CoreClock.hpp"
#include "mcu/CoreRegisters.hpp"
#include "mcu/KernelTick.hpp"
#include "platform/bsp.h"

namespace {

constexpr bsp::Status notPorted = bsp::Status::Error;

// The core's own cycle counter (debug watch unit), not a board peripheral.
constexpr std::uintptr_t debugExceptionControl = 0xE000EDFC;
constexpr std::uint32_t traceEnable = 1u << 24;
constexpr std::uintptr_t watchControl = 0xE0001000;
constexpr std::uintptr_t watchCycleCount = 0xE0001004;
constexpr std::uintptr_t watchLockAccess = 0xE0001FB0;
constexpr std::uint32_t unlockKey = 0xC5ACCE55;

// What clockInit's PLL setting is to give; the kernel's tick derives from it.
constexpr std::uint32_t coreClock = 160000000;

// Only the port can tell a blitter error from a completion by the
// peripheral's status, so only the completion is kept until then.
bsp::BlitterCallback blitterComplete = nullptr;

} // namespace

namespace mcu {

std::uint32_t coreClockHz()
{
    return coreClock;
}

// Nobody reads the board's standard output: the text is dropped.
void consoleWrite(const char*)
{
}

void stop(bool)
{
    bsp::halt();
}

void startKernelTick()
{
    startSysTick(coreClock / 1000);
}

void idleUntilInterrupt()
{
    asm volatile("wfi");
}

} // namespace mcu

namespace bsp {

Status halInit()
{
    return notPorted;
}

Status powerSupplyInit()
{
    return notPorted;
}

void delayMs(std::uint32_t)
{
}

Status clockInit(const ClockConfig&)
{
    return notPorted;
}

void setInterruptPriority(Irq, std::uint8_t)
{
}

void enableInterrupt(Irq)
{
}

void disableInterrupt(Irq)
{
}

void disableAllInterrupts()
{
    asm volatile("cpsid i" ::: "memory");
}

Status gpioInit()
{
    return notPorted;
}

Status cachesInit()
{
    return notPorted;
}

Status displayInit(const DisplayTiming&)
{
    return notPorted;
}

Status displayLayerInit(const DisplayLayer&)
{
    return notPorted;
}

DisplayTiming displayTiming()
{
    return DisplayTiming{};
}

void displaySetLineEvent(std::uint16_t)
{
}

void displayEnableLineInterrupt()
{
}

std::uintptr_t displayLayerAddress()
{
    return 0;
}

void displaySetLayerAddress(std::uintptr_t, bool)
{
}

Status blitterInit(const BlitterOutput&)
{
    return notPorted;
}

Status blitterLayerInit(BlitterLayerIndex, const BlitterLayer&)
{
    return notPorted;
}

void blitterSetCallbacks(BlitterCallback transferComplete, BlitterCallback)
{
    blitterComplete = transferComplete;
}

Status blitterLoadPalette(const void*, std::uint16_t, BlitterColorMode)
{
    return notPorted;
}

Status blitterStart(std::uintptr_t, std::uintptr_t, std::uint32_t, std::uint32_t)
{
    return notPorted;
}

Status blitterBlendStart(std::uintptr_t, std::uintptr_t, std::uintptr_t, std::uint32_t, std::uint32_t)
{
    return notPorted;
}

Status gpuInit()
{
    return notPorted;
}

Status flashPortInit(const FlashPortConfig&)
{
    return notPorted;
}

Status flashCommand(FlashCommand, std::uint32_t, std::uint8_t)
{
    return notPorted;
}

Status flashEnableMemoryMapped()
{
    return notPorted;
}

Status i2cInit(const I2cConfig&)
{
    return notPorted;
}

Status i2cRead(std::uint8_t, std::uint16_t, std::uint8_t*, std::size_t, std::uint32_t)
{
    return notPorted;
}

Status i2cWrite(std::uint8_t, std::uint16_t, const std::uint8_t*, std::size_t, std::uint32_t)
{
    return notPorted;
}

Status imageCodecInit()
{
    return notPorted;
}

Status watchdogInit(std::uint8_t, std::uint16_t, std::uint16_t)
{
    return notPorted;
}

void watchdogRefresh()
{
}

Status serialInit(SerialPort, std::uint32_t)
{
    return notPorted;
}

void serialWrite(SerialPort, const char*, std::size_t)
{
}

void cycleCounterTraceEnable()
{
    mcu::coreRegister(debugExceptionControl) |= traceEnable;
}

void cycleCounterUnlock()
{
    mcu::coreRegister(watchLockAccess) = unlockKey;
}

void cycleCounterStart()
{
    mcu::coreRegister(watchCycleCount) = 0;
    mcu::coreRegister(watchControl) |= 1u;
}

std::uint32_t cycleCounter()
{
    return mcu::coreRegister(watchCycleCount);
}

void setDebugSignal(DebugSignal, bool)
{
}

void halt()
{
    asm volatile("cpsid i" ::: "memory");
    for (;;) {}
}

} // namespace bsp

// The board's interrupt lines that carry events to the firmware. A port
// acknowledges the peripheral in each handler first and puts the handlers
// at the board's line numbers; until then they follow the core's exceptions
// (VectorTable.S) in the order of bsp::Irq.
extern "C" {

void Gpu_IRQHandler(); // the GPU library port's

void TouchLine_IRQHandler()
{
    HAL_GPIO_FallingEdgeCallback(bsp::touchInterruptPin);
}

// No transfer of the firmware uses these channels.
void DmaChannels_IRQHandler()
{
}

void Display_IRQHandler()
{
    HAL_Display_LineEventCallback();
}

void Blitter_IRQHandler()
{
    if (blitterComplete != nullptr) {
        blitterComplete();
    }
}

using InterruptHandler = void (*)();
[[gnu::section(".vectors.lines"), gnu::used]] const InterruptHandler lineVectors[] = {
    TouchLine_IRQHandler, DmaChannels_IRQHandler, Display_IRQHandler, Blitter_IRQHandler, Gpu_IRQHandler,
};

} // extern "C"
