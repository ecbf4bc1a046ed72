#pragma once

#include <cstdint>

#include "emulated/HostProtocol.hpp"

// Board time on the emulated board: the kernel's milliseconds. In board
// time (the runner's parity runs) it moves only while every task waits:
// the idle task brings the next tick forward, with the display's line
// events and the watchdog that fall due in it. In emulated time the dual
// timer ticks on the emulator's clock.
namespace emulated {

void setTimeMode(TimeMode mode, std::uint32_t limitMs);
TimeMode timeMode();

bool kernelStarted();

// Milliseconds since the kernel started; 0 before.
std::uint32_t boardMs();

// Core clock cycles since power-on, as a cycle counter would count them.
std::uint64_t boardCycles();
// Nanoseconds since power-on: in emulated time, the instructions run.
std::uint64_t boardNanoseconds();

} // namespace emulated

// Emulated time: the dual timer's line, the kernel's next tick.
extern "C" void KernelTick_IRQHandler();
