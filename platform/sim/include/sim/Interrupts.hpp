#pragma once

#include <cstdint>

namespace sim {

// The simulated peripherals signal the firmware through interrupts. A
// handler runs in interrupt context: it may give semaphores and send to
// queues without waiting, and it never runs in the middle of task code. As
// tasks give up the processor only inside kernel calls, a pending interrupt
// is taken at the running task's next kernel call, or at once while every
// task waits.
using InterruptHandler = void (*)(void* context);

// Marks the interrupt pending; callable from any thread, also outside a run.
void raiseInterrupt(InterruptHandler handler, void* context);

// Raises the interrupt once the kernel clock reaches `atMs`. A handler and
// context pair has one schedule: a new one replaces the old.
void scheduleInterrupt(InterruptHandler handler, void* context, std::uint64_t atMs);
void cancelInterrupt(InterruptHandler handler, void* context);

// True on the thread running an interrupt handler.
bool inInterrupt();
// True in task code (not in an interrupt handler, not outside the kernel).
bool inTask();

// The kernel clock of the current run; 0 outside a run.
std::uint64_t kernelMilliseconds();
std::uint64_t kernelMicroseconds();

} // namespace sim
