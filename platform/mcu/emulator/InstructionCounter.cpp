#include "InstructionCounter.hpp"

#include "mcu/CoreRegisters.hpp"

namespace {

constexpr std::uint32_t reload = 0xFFFFFF; // the timer's full 24 bits
constexpr std::uint32_t enable = 1u << 0;
constexpr std::uint32_t interruptOnWrap = 1u << 1;
constexpr std::uint32_t coreClock = 1u << 2;

volatile std::uint32_t wraps = 0;

} // namespace

extern "C" void SysTick_Handler()
{
    wraps = wraps + 1;
}

namespace mcu {

void InstructionCounter::start()
{
    coreRegister(sysTickControl) = 0;
    coreRegister(sysTickReload) = reload;
    coreRegister(sysTickCurrent) = 0;
    wraps = 0;
    coreRegister(sysTickControl) = enable | interruptOnWrap | coreClock;
    // The counter reads 0 until its first reload, which would count as a
    // full period.
    while (coreRegister(sysTickCurrent) == 0) {
    }
}

std::uint64_t InstructionCounter::instructions()
{
    // A wrap between the two reads of the counter shows as a changed count.
    std::uint32_t before = 0;
    std::uint32_t current = 0;
    do {
        before = wraps;
        current = coreRegister(sysTickCurrent);
    } while (before != wraps);
    const std::uint64_t ticks = static_cast<std::uint64_t>(before) * (reload + 1) + (reload - current);
    return ticks * instructionsPerTick;
}

} // namespace mcu
