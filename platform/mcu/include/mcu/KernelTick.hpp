#pragma once

// The kernel's sense of time, supplied by the board port: on a board the
// system timer ticks on its own and the idle task sleeps until the next
// interrupt; an emulated board may instead bring the next tick forward
// whenever every task waits.
namespace mcu {

// Starts the one-millisecond tick that runs SysTick_Handler.
void startKernelTick();

// Called by the idle task whenever no task is ready; returns once an
// interrupt has been taken.
void idleUntilInterrupt();

} // namespace mcu
