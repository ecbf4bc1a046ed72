#include "BoardClock.hpp"

#include <algorithm>

#include "DeviceTime.hpp"
#include "Display.hpp"
#include "FrameCost.hpp"
#include "HostLink.hpp"
#include "Inputs.hpp"
#include "InterruptLines.hpp"
#include "Watchdog.hpp"
#include "mcu/Console.hpp"
#include "mcu/CoreClock.hpp"
#include "mcu/CoreRegisters.hpp"
#include "mcu/InterruptsHeld.hpp"
#include "mcu/KernelTick.hpp"
#include "platform/rtos.h"

namespace {

constexpr std::uintptr_t interruptControl = 0xE000ED04;
constexpr std::uint32_t pendSysTick = 1u << 26; // write: pend; read: pending
constexpr std::uint32_t vectorPending = 0x1FFu << 12;

// In emulated time the kernel's tick comes from the dual timer's first
// counter (secure alias), on the core clock: under instruction counting
// the emulator's system timer does not wake a sleeping core, and the ticks
// due while every task waited were lost (board time ran at about half the
// emulated clock's pace).
constexpr std::uintptr_t tickLoad = 0x50002000;
constexpr std::uintptr_t tickValue = 0x50002004;
constexpr std::uintptr_t tickControl = 0x50002008;
constexpr std::uintptr_t tickInterruptClear = 0x5000200C;
constexpr std::uintptr_t tickRawInterrupt = 0x50002010;
constexpr std::uintptr_t tickMaskedInterrupt = 0x50002014;
constexpr std::uint32_t tickWide = 1u << 1; // 32-bit counter
constexpr std::uint32_t tickInterruptEnable = 1u << 5;
constexpr std::uint32_t tickPeriodic = 1u << 6;
constexpr std::uint32_t tickEnable = 1u << 7;

emulated::TimeMode mode = emulated::TimeMode::Board;
std::uint32_t limit = 0xFFFFFFFFu;
bool kernelRunning = false;
// Board time: the tick being brought forward, ahead of the kernel's count
// until its handler has run.
volatile std::uint32_t now = 0;
// Emulated time: the milliseconds the dual timer counted. Its line outranks
// every other, so the count stays right while a long handler holds the
// kernel's own tick off; the kernel catches up when its tasks wait.
volatile std::uint32_t emulatedMs = 0;

bool interruptPending()
{
    return (mcu::coreRegister(interruptControl) & vectorPending) != 0;
}

// Runs `blocks` blocks of 64 no-ops (and the loop's two instructions).
void spinBlocks(std::uint32_t blocks)
{
    for (; blocks > 0; --blocks) {
        asm volatile(".rept 64\n nop\n .endr" ::: "memory");
    }
}

// Under instruction counting a halted core (wfi) lets the emulator's main
// thread move the clock on to the next timer's expiry; when it does so
// before the core's last instructions are counted, the clock overshoots by
// them, and board time would depend on the host's load. The core spins
// instead: the emulator runs no-ops quickly, but a look at the pending
// interrupts is slow, so the spin runs straight to a timer tick before the
// first timer can run out, then looks after every block.
void spinUntilInterruptPending()
{
    if (interruptPending()) {
        return;
    }
    const std::uint32_t tick = mcu::coreRegister(tickValue);
    const std::uint32_t ticks = std::min({tick, emulated::deviceTimerTicksLeft(), emulated::displayTimerTicksLeft()});
    const std::uint64_t nanosecondsPerTick = 1000000000u / mcu::coreClockHz();
    const std::uint64_t clear = ticks > 1 ? (ticks - 1) * nanosecondsPerTick : 0;
    spinBlocks(static_cast<std::uint32_t>(clear / 66));
    while (!interruptPending()) {
        spinBlocks(1);
    }
}

} // namespace

namespace emulated {

void setTimeMode(TimeMode timeMode, std::uint32_t limitMs)
{
    mode = timeMode;
    limit = limitMs;
}

TimeMode timeMode()
{
    return mode;
}

bool kernelStarted()
{
    return kernelRunning;
}

std::uint32_t boardMs()
{
    if (!kernelRunning) {
        return 0;
    }
    return mode == TimeMode::Board ? now : emulatedMs;
}

std::uint64_t boardCycles()
{
    const std::uint64_t perMs = mcu::coreClockHz() / 1000;
    if (mode != TimeMode::Emulated || !kernelRunning) {
        return std::uint64_t{boardMs()} * perMs;
    }
    const mcu::InterruptsHeld held;
    std::uint32_t ms = emulatedMs;
    // Within the tick: how far the counter has counted down.
    const std::uint32_t load = mcu::coreRegister(tickLoad);
    const std::uint32_t value = mcu::coreRegister(tickValue);
    // The counter may have wrapped while its handler could not run yet
    // (held off by the reader): that millisecond has passed all the same,
    // or a read just after the wrap would lose it.
    const bool tickDue = mcu::coreRegister(tickRawInterrupt) != 0;
    if (tickDue && value > load / 2) {
        ++ms;
    }
    return std::uint64_t{ms} * perMs + (value <= load ? load - value : 0);
}

std::uint64_t boardNanoseconds()
{
    return boardCycles() * (1000000000u / mcu::coreClockHz());
}

} // namespace emulated

namespace mcu {

void startKernelTick()
{
    kernelRunning = true;
    if (mode == emulated::TimeMode::Emulated) {
        // The counter's period is one cycle longer than its load.
        coreRegister(tickLoad) = coreClockHz() / 1000 - 1;
        coreRegister(tickControl) = tickWide | tickInterruptEnable | tickPeriodic | tickEnable;
        emulated::enableKernelTickLine();
    }
}

void idleUntilInterrupt()
{
    if (mode == emulated::TimeMode::Emulated) {
        // The kernel's tick, held off by a long handler, catches up.
        if (rtos::tickCount() != emulatedMs) {
            coreRegister(interruptControl) = pendSysTick;
            return;
        }
        // The sleep ends when an interrupt is pending, before its handler
        // runs: a handler's work is the core's, not sleep.
        asm volatile("cpsid i" ::: "memory");
        emulated::leftOutBegins(emulated::LeftOut::Sleep);
        spinUntilInterruptPending();
        emulated::leftOutEnds(emulated::LeftOut::Sleep);
        asm volatile("cpsie i\n isb" ::: "memory");
        return;
    }
    // Every task waits: the next millisecond begins now.
    const std::uint32_t next = now + 1;
    if (next > limit) {
        emulated::ask(emulated::Request::Stalled, {next});
        consoleWrite("emulated board: no frame within the board time limit\n");
        stop(false);
    }
    // Every device's events of this millisecond are raised before any is
    // taken, as on the PC, where none runs before the others are due.
    asm volatile("cpsid i" ::: "memory");
    now = next;
    emulated::watchdogAdvance(next);
    emulated::displayAdvance(next);
    emulated::touchAdvance(next);
    coreRegister(interruptControl) = pendSysTick;
    asm volatile("dsb\n cpsie i\n isb" ::: "memory");
}

} // namespace mcu

// Emulated time: the touch chip's reports fall due, then the kernel counts
// the millisecond, as the idle task brings them in board time. The line is
// shared with the blitter's timer.
extern "C" void KernelTick_IRQHandler()
{
    emulated::blitterTimerExpired();
    if (mcu::coreRegister(tickMaskedInterrupt) == 0) {
        return;
    }
    mcu::coreRegister(tickInterruptClear) = 1;
    emulatedMs = emulatedMs + 1;
    emulated::touchAdvance(emulatedMs);
    mcu::coreRegister(interruptControl) = pendSysTick;
}
