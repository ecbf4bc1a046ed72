#pragma once

#include "mcu/InterruptsHeld.hpp"

#include <cstdint>

#include "platform/rtos.h"

// The processor's kernel: task blocks and stacks from an 80,000-byte kernel
// heap (the kernel's own tasks in static memory), the highest-priority ready
// task runs (round robin among equals at every tick), a one-millisecond tick
// from the system timer.
namespace rtos {

// A whole number of heap grains, so that a task takes exactly its block
// and its stack from the heap.
struct alignas(8) Task {
    enum class State : std::uint8_t { Ready, Delayed, Blocked, Ended };

    std::uint32_t* savedStack; // first: the context switch reads it by offset 0
    std::uint32_t* stackLimit;
    const char* name;
    std::uint8_t priority;
    State state;
    bool granted;          // the object it waited on was handed over
    const void* waitingOn; // semaphore or queue, while Blocked
    std::uint32_t wakeTick;
    bool wakes; // false: waits forever
    std::uintptr_t message;
    Task* nextTask; // every task, in creation order
    std::uint32_t stackWords;
    bool inHeap; // block and stack go back to the heap when it ends
};

struct Semaphore {
    std::uint32_t count;
};

struct Queue {
    std::uintptr_t message;
    bool full;
};

} // namespace rtos

namespace mcu::kernel {

// Interrupts off for the scope: every kernel structure is changed only so.
using CriticalSection = InterruptsHeld;

rtos::Task* current();
std::uint32_t now();

// Blocks the calling task until released by wake() or its timeout passes;
// returns whether it was released. Called inside a critical section, which
// is open while the task waits.
bool blockOn(const void* object, std::uint32_t timeout);

// The highest-priority task blocked on `object`, or null.
rtos::Task* firstWaiter(const void* object);
// Makes a blocked task ready as released and switches to it if it ranks
// above the running task.
void release(rtos::Task& task);

} // namespace mcu::kernel
