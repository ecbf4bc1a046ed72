#pragma once

#include <cstdint>

#include "board/rtos.h"

// The processor's kernel: fixed task slots, stacks from an 80,000-byte
// kernel heap, the highest-priority ready task runs (round robin among
// equals at every tick), a one-millisecond tick from the system timer.
namespace rtos {

struct Task {
    enum class State : std::uint8_t { Free, Ready, Delayed, Blocked, Ended };

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
class CriticalSection {
public:
    CriticalSection();
    ~CriticalSection();
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;

private:
    std::uint32_t savedMask;
};

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
