#pragma once

#include <cstdint>

// The few registers of the processor core itself that start-up and the
// instruction counter use; everything board-specific lies behind the board
// port.
namespace mcu {

inline volatile std::uint32_t& coreRegister(std::uintptr_t address)
{
    return *reinterpret_cast<volatile std::uint32_t*>(address);
}

constexpr std::uintptr_t coprocessorAccessControl = 0xE000ED88;
constexpr std::uintptr_t sysTickControl = 0xE000E010;
constexpr std::uintptr_t sysTickReload = 0xE000E014;
constexpr std::uintptr_t sysTickCurrent = 0xE000E018;

// Full access to coprocessors 10 and 11, the floating-point unit. Must run
// before the first floating-point instruction.
inline void enableFloatingPoint()
{
    coreRegister(coprocessorAccessControl) |= 0xFu << 20;
    asm volatile("dsb\n isb" ::: "memory");
}

// The system timer interrupting every `period` core clock cycles.
inline void startSysTick(std::uint32_t period)
{
    coreRegister(sysTickReload) = period - 1;
    coreRegister(sysTickCurrent) = 0;
    coreRegister(sysTickControl) = 0x7; // core clock, interrupt, enabled
}

// An overflow of the main stack below `limit` faults instead of
// overwriting the data beneath.
inline void setMainStackLimit(void* limit)
{
    asm volatile("msr msplim, %0" ::"r"(limit));
}

inline std::uint32_t activeException()
{
    std::uint32_t ipsr = 0;
    asm volatile("mrs %0, ipsr" : "=r"(ipsr));
    return ipsr;
}

} // namespace mcu
