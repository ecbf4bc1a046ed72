// Time base, clocks, interrupt controller, cycle counter and the odd
// peripherals that only need to accept their configuration.

#include <array>
#include <atomic>
#include <cstdio>
#include <cstdlib>

#include "BoardState.hpp"
#include "sim/BoardFaults.hpp"
#include "sim/Interrupts.hpp"
#include "sim/Kernel.hpp"

namespace {

constexpr std::uint64_t coreClockMHz = 280;

std::array<bool, 5> enabled{};
// An edge that came while its line was masked, taken when it is unmasked.
std::array<sim::InterruptHandler, 5> heldBack{};
std::array<bool, 10> failing{};
bool interruptsOff = false;
bool cycleTrace = false;
bool cycleUnlocked = false;
bool cycleCounting = false;
std::uint64_t cycleBase = 0;
std::uint64_t bootDelayMs = 0; // waited before the kernel started

const char* stepName(sim::board::Step step)
{
    using sim::board::Step;
    switch (step) {
    case Step::Clock:
        return "clock configuration";
    case Step::Gpio:
        return "GPIO configuration";
    case Step::Caches:
        return "cache configuration";
    case Step::Display:
        return "display controller configuration";
    case Step::Blitter:
        return "blitter configuration";
    case Step::Gpu:
        return "GPU configuration";
    case Step::FlashPort:
        return "external flash configuration";
    case Step::I2c:
        return "touch bus configuration";
    case Step::Watchdog:
        return "watchdog configuration";
    case Step::Serial:
        return "serial port configuration";
    }
    return "configuration";
}

} // namespace

namespace sim::board {

void powerOn()
{
    detail::resetInterrupts();
    detail::resetDisplay();
    detail::resetBlitter();
    detail::resetFlashPort();
    detail::resetTouch();
    detail::resetWatchdog();
}

void failStep(Step step)
{
    failing[static_cast<std::size_t>(step)] = true;
}

} // namespace sim::board

namespace sim::board::detail {

bool interruptEnabled(bsp::Irq irq)
{
    return !interruptsOff && enabled[static_cast<std::size_t>(irq)];
}

bool takeFailure(Step step)
{
    bool& fails = failing[static_cast<std::size_t>(step)];
    if (!fails) {
        return false;
    }
    fails = false;
    noteFailedStep(stepName(step));
    return true;
}

std::uint64_t boardTimeMs()
{
    return bootDelayMs + sim::kernelMilliseconds();
}

void requestInterrupt(bsp::Irq irq, InterruptHandler handler)
{
    if (interruptEnabled(irq)) {
        sim::raiseInterrupt(handler, nullptr);
    } else {
        heldBack[static_cast<std::size_t>(irq)] = handler;
    }
}

void resetInterrupts()
{
    bootDelayMs = 0;
    cycleTrace = false;
    cycleUnlocked = false;
    cycleCounting = false;
    enabled.fill(false);
    heldBack.fill(nullptr);
    interruptsOff = false;
}

} // namespace sim::board::detail

namespace bsp {

using sim::board::Step;
using sim::board::detail::takeFailure;

Status halInit()
{
    return Status::Ok;
}

Status powerSupplyInit()
{
    return Status::Ok;
}

void delayMs(std::uint32_t milliseconds)
{
    if (sim::inTask()) {
        rtos::delay(milliseconds);
    } else {
        bootDelayMs += milliseconds;
    }
}

Status clockInit(const ClockConfig& config)
{
    // Without the low-speed oscillator the watchdog would have no clock.
    const bool usable = config.crystalOn && config.lowSpeedInternalOn && config.pllFromCrystal;
    return takeFailure(Step::Clock) || !usable ? Status::Error : Status::Ok;
}

void setInterruptPriority(Irq, std::uint8_t)
{
}

void enableInterrupt(Irq irq)
{
    const auto line = static_cast<std::size_t>(irq);
    enabled[line] = true;
    if (heldBack[line] != nullptr && !interruptsOff) {
        sim::raiseInterrupt(heldBack[line], nullptr);
        heldBack[line] = nullptr;
    }
}

void disableInterrupt(Irq irq)
{
    enabled[static_cast<std::size_t>(irq)] = false;
}

void disableAllInterrupts()
{
    interruptsOff = true;
}

Status gpioInit()
{
    return takeFailure(Step::Gpio) ? Status::Error : Status::Ok;
}

Status cachesInit()
{
    return takeFailure(Step::Caches) ? Status::Error : Status::Ok;
}

Status gpuInit()
{
    return takeFailure(Step::Gpu) ? Status::Error : Status::Ok;
}

Status imageCodecInit()
{
    return Status::Ok;
}

void cycleCounterTraceEnable()
{
    cycleTrace = true;
}

// Its registers ignore writes until unlocked, as the core's do.
void cycleCounterUnlock()
{
    cycleUnlocked = cycleTrace;
}

void cycleCounterStart()
{
    if (cycleUnlocked) {
        cycleCounting = true;
        cycleBase = sim::kernelMicroseconds() * coreClockMHz;
    }
}

std::uint32_t cycleCounter()
{
    return cycleCounting ? static_cast<std::uint32_t>(sim::kernelMicroseconds() * coreClockMHz - cycleBase) : 0u;
}

// Firmware code runs on one thread at a time, handing over through the
// kernel's run token, which orders memory between them; the barrier only
// keeps the compiler from moving accesses across it (the thread sanitizer
// refuses a thread fence).
void barrier()
{
    std::atomic_signal_fence(std::memory_order_seq_cst);
}

void halt()
{
    disableAllInterrupts();
    if (const char* step = sim::board::detail::failedStep()) {
        std::fprintf(stderr, "board: Error_Handler: %s failed; the board halts\n", step);
    } else {
        std::fprintf(stderr, "board: Error_Handler: the board halts\n");
    }
    std::fflush(stderr);
    std::_Exit(2);
}

} // namespace bsp
