#include "TaskSwitch.hpp"

#include "KernelCore.hpp"

namespace sim::detail {

namespace {

thread_local rtos::Task* threadTask = nullptr;

// Thrown into a task's thread to unwind it when the run ends.
struct TaskExit {};

} // namespace

rtos::Task* TaskSwitch::current()
{
    return threadTask;
}

void TaskSwitch::start(rtos::Task& task, Body body, Ended ended)
{
    task.context.thread = std::thread([&task, body, ended] {
        threadTask = &task;
        try {
            body(task);
        } catch (const TaskExit&) {
        }
        ended(task);
    });
}

void TaskSwitch::suspend(KernelLock& lock, rtos::Task& self)
{
    self.context.turn.wait(lock);
}

void TaskSwitch::leave(KernelLock&, rtos::Task&)
{
    throw TaskExit{};
}

void TaskSwitch::resume(rtos::Task& task)
{
    task.context.turn.notify_one();
}

void TaskSwitch::hostRun(KernelLock& lock, rtos::Task&, std::optional<std::uint64_t> limit,
                         std::chrono::steady_clock::time_point start)
{
    hostIdle(lock, limit, start);
}

void TaskSwitch::hostIdle(KernelLock& lock, std::optional<std::uint64_t> wakeUp,
                          std::chrono::steady_clock::time_point start)
{
    if (wakeUp) {
        hostWake.wait_until(lock, start + std::chrono::milliseconds(*wakeUp));
    } else {
        hostWake.wait(lock);
    }
}

void TaskSwitch::wakeHost()
{
    hostWake.notify_one();
}

void TaskSwitch::finish(rtos::Task& task)
{
    task.context.thread.join();
}

} // namespace sim::detail
