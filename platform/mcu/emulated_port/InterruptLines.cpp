#include "InterruptLines.hpp"

#include <array>
#include <cstdint>

#include "mcu/CoreRegisters.hpp"

namespace {

constexpr std::uintptr_t nvicSetEnable = 0xE000E100;
constexpr std::uintptr_t nvicClearEnable = 0xE000E180;
constexpr std::uintptr_t nvicSetPending = 0xE000E200;
constexpr std::uintptr_t nvicPriority = 0xE000E400;
constexpr std::uint32_t priorityShift = 4; // the board's 4 priority bits, at the top

// Line numbers in the order of bsp::Irq: touch, DMA channels, display
// (timer 0), blitter, GPU. Lines 0, 1, 2 and 4 belong to the watchdog and
// timers that this port never starts.
constexpr std::array<std::uint32_t, 5> lineNumbers{0, 1, 3, 2, 4};
constexpr std::uint32_t dualTimerLine = 5;

std::array<bool, 5> enabled{};

std::uint32_t lineOf(bsp::Irq irq)
{
    return lineNumbers[static_cast<std::size_t>(irq)];
}

std::uint32_t bit(std::uint32_t line)
{
    return 1u << (line % 32);
}

} // namespace

namespace emulated {

bool interruptEnabled(bsp::Irq irq)
{
    return enabled[static_cast<std::size_t>(irq)];
}

void pendInterrupt(bsp::Irq irq)
{
    mcu::coreRegister(nvicSetPending) = bit(lineOf(irq));
}

void enableKernelTickLine()
{
    mcu::coreRegister(nvicSetEnable) = bit(dualTimerLine);
}

} // namespace emulated

namespace bsp {

void setInterruptPriority(Irq irq, std::uint8_t priority)
{
    auto* bytes = reinterpret_cast<volatile std::uint8_t*>(nvicPriority);
    bytes[lineOf(irq)] = static_cast<std::uint8_t>(priority << priorityShift);
}

void enableInterrupt(Irq irq)
{
    enabled[static_cast<std::size_t>(irq)] = true;
    mcu::coreRegister(nvicSetEnable) = bit(lineOf(irq));
}

void disableInterrupt(Irq irq)
{
    enabled[static_cast<std::size_t>(irq)] = false;
    mcu::coreRegister(nvicClearEnable) = bit(lineOf(irq));
    asm volatile("dsb\n isb" ::: "memory");
}

void disableAllInterrupts()
{
    asm volatile("cpsid i" ::: "memory");
}

} // namespace bsp
