#pragma once

#include <emscripten/fiber.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>

namespace rtos {
struct Task;
}

namespace sim::detail {

// One thread only: the lock guards nothing, and a task keeps holding it
// while another has its turn.
struct KernelMutex {
    void lock() {}
    void unlock() {}
    bool try_lock() { return true; }
};
using KernelLock = std::unique_lock<KernelMutex>;

// The compiler takes the C stack pointer to be 16-byte aligned and forms
// addresses within a frame from that (an OR for an ADD): a fiber's stack
// must be, while the allocator aligns to 8 only.
struct alignas(16) StackChunk {
    std::byte bytes[16];
};

// Each task is a fiber with a C stack and a stack for the frames the
// asynchronous unwinding saves; the tasks and the kernel's own loop take
// turns on the one thread.
struct TaskContext {
    emscripten_fiber_t fiber{};
    std::unique_ptr<StackChunk[]> stacks;
};

// How control passes between the tasks and runKernel: a task that gives up
// the processor returns to runKernel's fiber, which resumes the task that
// holds the run token.
class TaskSwitch {
public:
    using Body = void (*)(rtos::Task& task);
    using Ended = void (*)(rtos::Task& task);

    // The task whose fiber runs, or null in runKernel's own.
    static rtos::Task* current();

    void start(rtos::Task& task, Body body, Ended ended);
    void suspend(KernelLock& lock, rtos::Task& self);
    // Returns to runKernel for good: the fiber is dropped with its stacks
    // when the run ends.
    [[noreturn]] static void leave(KernelLock& lock, rtos::Task& self);
    void resume(rtos::Task&) {}

    // The time limit needs no watch: the task comes back at its next
    // kernel call, when the kernel looks at the clock.
    void hostRun(KernelLock& lock, rtos::Task& running, std::optional<std::uint64_t> limit,
                 std::chrono::steady_clock::time_point start);
    // Sleeps, letting the page's events in; they may raise interrupts.
    void hostIdle(KernelLock& lock, std::optional<std::uint64_t> wakeUp, std::chrono::steady_clock::time_point start);
    void wakeHost() {}
    void finish(rtos::Task&) {}
};

} // namespace sim::detail
