#include "DeviceTime.hpp"

#include <algorithm>

#include "InterruptLines.hpp"
#include "mcu/CoreClock.hpp"
#include "mcu/CoreRegisters.hpp"

namespace {

// Timer 1 (secure alias) and the dual timer's second counter: both count
// down on the core clock.
constexpr std::uintptr_t timer1Control = 0x50001000;
constexpr std::uintptr_t timer1Value = 0x50001004;
constexpr std::uintptr_t timer1Reload = 0x50001008;
constexpr std::uintptr_t timer1InterruptClear = 0x5000100C;
constexpr std::uint32_t timerEnable = 1u << 0;
constexpr std::uint32_t timerInterruptEnable = 1u << 3;

constexpr std::uintptr_t counter2Load = 0x50002020;
constexpr std::uintptr_t counter2Value = 0x50002024;
constexpr std::uintptr_t counter2Control = 0x50002028;
constexpr std::uintptr_t counter2InterruptClear = 0x5000202C;
constexpr std::uintptr_t counter2MaskedInterrupt = 0x50002034;
constexpr std::uint32_t counterOneShot = 1u << 0;
constexpr std::uint32_t counterWide = 1u << 1;
constexpr std::uint32_t counterInterruptEnable = 1u << 5;
constexpr std::uint32_t counterEnable = 1u << 7;

std::uint64_t ceilDiv(std::uint64_t a, std::uint64_t b)
{
    return (a + b - 1) / b;
}

// Timer ticks for a wait of `cycles` core cycles of the board, at least one.
std::uint32_t ticksFor(std::uint64_t cycles)
{
    const std::uint64_t nanosecondsPerTick = 1000000000u / mcu::coreClockHz();
    const std::uint64_t ticks = ceilDiv(cycles, nanosecondsPerTick);
    return ticks == 0 ? 1u : static_cast<std::uint32_t>(ticks > 0xFFFFFFFFu ? 0xFFFFFFFFu : ticks);
}

} // namespace

namespace emulated {

std::uint64_t transferCycles(const devices::blit::TransferLoad& load)
{
    return transferStartCycles + ceilDiv(load.bytes, load.blended ? blendBytesPerCycle : transferBytesPerCycle);
}

std::uint64_t gpuCycles(std::uint32_t coveredPixels)
{
    return gpuListStartCycles + ceilDiv(coveredPixels, gpuPixelsPerCycle);
}

void blitterDoneIn(std::uint64_t cycles)
{
    mcu::coreRegister(counter2Control) = 0;
    mcu::coreRegister(counter2InterruptClear) = 1;
    mcu::coreRegister(counter2Load) = ticksFor(cycles);
    mcu::coreRegister(counter2Control) = counterOneShot | counterWide | counterInterruptEnable | counterEnable;
}

bool blitterTimerExpired()
{
    if (mcu::coreRegister(counter2MaskedInterrupt) == 0) {
        return false;
    }
    mcu::coreRegister(counter2InterruptClear) = 1;
    mcu::coreRegister(counter2Control) = 0;
    pendInterrupt(bsp::Irq::Blitter);
    return true;
}

void gpuDoneIn(std::uint64_t cycles)
{
    mcu::coreRegister(timer1Control) = 0;
    mcu::coreRegister(timer1Reload) = ticksFor(cycles);
    mcu::coreRegister(timer1Control) = timerEnable | timerInterruptEnable;
}

void gpuTimerAcknowledge()
{
    mcu::coreRegister(timer1Control) = 0;
    mcu::coreRegister(timer1InterruptClear) = 1;
}

std::uint32_t deviceTimerTicksLeft()
{
    std::uint32_t left = 0xFFFFFFFFu;
    if ((mcu::coreRegister(counter2Control) & counterEnable) != 0) {
        const std::uint32_t blitter = mcu::coreRegister(counter2Value);
        left = std::min(left, blitter);
    }
    if ((mcu::coreRegister(timer1Control) & timerEnable) != 0) {
        const std::uint32_t gpu = mcu::coreRegister(timer1Value);
        left = std::min(left, gpu);
    }
    return left;
}

} // namespace emulated
