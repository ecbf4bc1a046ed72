#include "emulator/InstructionCounter.hpp"

#include "mcu/CoreRegisters.hpp"

namespace {

constexpr std::uint32_t counterMask = 0xFFFFFF; // the timer's 24 bits
constexpr std::uint32_t enable = 1u << 0;
constexpr std::uint32_t coreClock = 1u << 2;

std::uint32_t lastReading = 0;
std::uint64_t counted = 0;

} // namespace

namespace mcu {

void InstructionCounter::start()
{
    coreRegister(sysTickControl) = 0;
    coreRegister(sysTickReload) = counterMask;
    coreRegister(sysTickCurrent) = 0;
    coreRegister(sysTickControl) = enable | coreClock;
    // The counter reads 0 until its first reload.
    while (coreRegister(sysTickCurrent) == 0) {}
    lastReading = coreRegister(sysTickCurrent);
    counted = 0;
}

std::uint64_t InstructionCounter::instructions()
{
    // The timer counts down through all 24 bits, so the difference modulo
    // 2^24 is the ticks since the last reading.
    const std::uint32_t reading = coreRegister(sysTickCurrent);
    counted += static_cast<std::uint64_t>((lastReading - reading) & counterMask) * instructionsPerTick;
    lastReading = reading;
    return counted;
}

} // namespace mcu
