#include "mcu/KernelTick.hpp"

#include "mcu/CoreClock.hpp"
#include "mcu/CoreRegisters.hpp"

// The self-check's kernel runs on the system timer as on a board.
void mcu::startKernelTick()
{
    startSysTick(coreClockHz() / 1000);
}

void mcu::idleUntilInterrupt()
{
    asm volatile("wfi");
}
