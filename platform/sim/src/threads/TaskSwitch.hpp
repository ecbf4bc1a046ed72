#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>

namespace rtos {
struct Task;
}

namespace sim::detail {

using KernelMutex = std::mutex;
using KernelLock = std::unique_lock<KernelMutex>;

// Each task is a host thread waiting on its own condition variable while
// another holds the run token.
struct TaskContext {
    std::condition_variable turn;
    std::thread thread;
};

// How control passes between the tasks and the thread of runKernel.
class TaskSwitch {
public:
    using Body = void (*)(rtos::Task& task);
    using Ended = void (*)(rtos::Task& task);

    // The calling task, or null on a thread that is not a task.
    static rtos::Task* current();

    // Starts the task's thread, which runs `body` and then `ended`, also
    // when the body was left through leave().
    void start(rtos::Task& task, Body body, Ended ended);
    // Waits, the lock released, until the kernel gives the task its turn.
    void suspend(KernelLock& lock, rtos::Task& self);
    // Unwinds the calling task's stack; its thread then runs `ended`.
    [[noreturn]] static void leave(KernelLock& lock, rtos::Task& self);
    // Tells a suspended task to look at the run token again.
    void resume(rtos::Task& task);

    // runKernel's side: lets `running` have its turn, looking up again at
    // the latest when the host clock reaches `limit` milliseconds after
    // `start`, if given.
    void hostRun(KernelLock& lock, rtos::Task& running, std::optional<std::uint64_t> limit,
                 std::chrono::steady_clock::time_point start);
    // While every task waits: until an interrupt is raised or, if given, the
    // host clock reaches `wakeUp`.
    void hostIdle(KernelLock& lock, std::optional<std::uint64_t> wakeUp, std::chrono::steady_clock::time_point start);
    void wakeHost();
    // Waits for the task's thread to end; the lock is not held.
    void finish(rtos::Task& task);

private:
    std::condition_variable hostWake;
};

} // namespace sim::detail
