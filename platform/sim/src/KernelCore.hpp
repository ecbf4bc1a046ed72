#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "TaskSwitch.hpp"
#include "sim/Interrupts.hpp"
#include "sim/Kernel.hpp"

namespace rtos {

// Every field is guarded by the kernel mutex.
struct Task {
    enum class State { Ready, Running, Blocked, Finished };
    enum class Wait { Delay, Take, Receive, Send };

    TaskFunction function = nullptr;
    void* argument = nullptr;
    TaskAttributes attributes{};

    State state = State::Ready;
    std::uint64_t sequence = 0; // first come, first served among equal priorities
    Wait wait = Wait::Delay;
    const void* waitObject = nullptr;
    bool hasDeadline = false;
    std::uint64_t wakeAt = 0;
    bool signalled = false;     // woken by a give or send rather than a timeout
    std::uintptr_t message = 0; // a queue message in hand-over
    sim::detail::TaskContext context;
};

} // namespace rtos

namespace sim::detail {

// Only the task holding the run token (`running`) executes firmware code;
// the token moves only inside kernel calls. When no task holds it, runKernel
// keeps the clock. How control passes between tasks (threads or fibers) is
// TaskSwitch's, chosen by the build.
class Kernel {
public:
    static Kernel& instance();

    KernelMutex mutex;

    // The calling task, or null on a thread that is not a task.
    static rtos::Task* currentTask();

    // Entry of every kernel call: unwinds the caller when the run ends and
    // lets a higher-priority task that became ready run first.
    void enter(KernelLock& lock);
    // Blocks the calling task; true when it was signalled before the timeout.
    bool block(KernelLock& lock, rtos::Task::Wait wait, const void* object, std::uint32_t timeout);
    // Makes a waiting task ready after handing it what it waited for.
    void wake(KernelLock& lock, rtos::Task& task);
    rtos::Task* firstWaiter(rtos::Task::Wait wait, const void* object);

    rtos::TaskHandle createTask(rtos::TaskFunction function, void* argument, const rtos::TaskAttributes& attributes);
    KernelStop run(TimeMode mode, std::uint32_t timeLimitMs);
    void stop(KernelStop reason);
    std::uint64_t now() const;
    std::uint64_t nowMicroseconds() const;
    void pauseClock();
    void resumeClock();
    void setIdleHook(void (*hook)()) { idleHook = hook; }
    void setIdleTaskTag(rtos::TaskHook tag) { idleTaskTag = tag; }

    void raise(InterruptHandler handler, void* context);
    void schedule(InterruptHandler handler, void* context, std::uint64_t at);
    void cancel(InterruptHandler handler, void* context);

    // What the stacks of the created tasks may take together.
    static constexpr std::uint32_t heapSize = 80000;
    std::uint32_t heapInUse() const { return heapUsed; }
    std::uint32_t heapPeak() const { return heapHighWater; }

private:
    void makeReady(rtos::Task& task);
    void wakeExpired();
    rtos::Task* highestReady();
    void dispatch(rtos::Task* next);
    void switchAway();
    void waitForTurn(KernelLock& lock, rtos::Task& self);
    void preemptIfNeeded(KernelLock& lock, rtos::Task& self);
    void keepClockWhileIdle(KernelLock& lock, bool& idleHookCalled);
    std::uint64_t earliestWakeUp() const;
    // Runs every interrupt that is due, oldest first, with the lock released.
    void serviceInterrupts(KernelLock& lock);
    static void taskBody(rtos::Task& self);
    static void taskEnded(rtos::Task& self);
    void startTask(rtos::Task& task);
    void tearDown(KernelLock& lock);
    std::chrono::steady_clock::duration wallElapsed() const;

    TaskSwitch taskSwitch;
    std::vector<std::unique_ptr<rtos::Task>> tasks;
    rtos::Task* running = nullptr;
    // Read without the lock by the cycle counter, which the idle task's tag
    // reads while the kernel holds it.
    std::atomic<bool> started = false;
    bool stopping = false;
    KernelStop stopReason = KernelStop::Requested;
    TimeMode timeMode = TimeMode::WallClock;
    std::atomic<std::uint64_t> virtualNow = 0;
    std::uint64_t limit = 0;
    // Moved on by every pause of the clock; set only by the task that holds
    // the run token or before the tasks start.
    std::chrono::steady_clock::time_point wallStart;
    std::optional<std::chrono::steady_clock::time_point> pausedAt;
    std::uint64_t nextSequence = 0;
    std::uint32_t heapUsed = 0;
    std::uint32_t heapHighWater = 0;
    void (*idleHook)() = nullptr;
    rtos::TaskHook idleTaskTag = nullptr;

    struct Interrupt {
        InterruptHandler handler;
        void* context;
        std::uint64_t at; // raised ones are due at once
    };
    std::vector<Interrupt> raised;
    std::vector<Interrupt> scheduled;
};

} // namespace sim::detail
