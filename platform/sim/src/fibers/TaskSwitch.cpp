#include "TaskSwitch.hpp"

#include <emscripten.h>

#include <algorithm>
#include <cstdlib>

#include "KernelCore.hpp"
#include "sim/HostTurn.hpp"

namespace sim::detail {

namespace {

// Task code keeps its large locals on the C stack; the asynchronous
// unwinding saves the frames of every call down to the switch.
constexpr std::size_t cStackSize = 256 * 1024;
constexpr std::size_t unwindStackSize = 128 * 1024;
// The longest idle sleep, so that page events are seen promptly.
constexpr std::uint64_t longestSleepMs = 10;

emscripten_fiber_t hostFiber{};
std::unique_ptr<std::byte[]> hostUnwindStack;
rtos::Task* runningTask = nullptr;
TaskSwitch::Body taskBody = nullptr;
TaskSwitch::Ended taskEnded = nullptr;
void (*hostStep)() = nullptr;

void taskEntry(void* argument)
{
    auto& task = *static_cast<rtos::Task*>(argument);
    taskBody(task);
    taskEnded(task);
    emscripten_fiber_swap(&task.context.fiber, &hostFiber);
    std::abort(); // an ended task is never resumed
}

} // namespace

rtos::Task* TaskSwitch::current()
{
    return runningTask;
}

void TaskSwitch::start(rtos::Task& task, Body body, Ended ended)
{
    taskBody = body;
    taskEnded = ended;
    task.context.stacks = std::make_unique<StackChunk[]>((cStackSize + unwindStackSize) / sizeof(StackChunk));
    std::byte* stacks = task.context.stacks[0].bytes;
    emscripten_fiber_init(&task.context.fiber, &taskEntry, &task, stacks, cStackSize, stacks + cStackSize,
                          unwindStackSize);
}

void TaskSwitch::suspend(KernelLock&, rtos::Task& self)
{
    emscripten_fiber_swap(&self.context.fiber, &hostFiber);
}

void TaskSwitch::leave(KernelLock&, rtos::Task& self)
{
    emscripten_fiber_swap(&self.context.fiber, &hostFiber);
    std::abort(); // a task that left is never resumed
}

void TaskSwitch::hostRun(KernelLock&, rtos::Task& running, std::optional<std::uint64_t>,
                         std::chrono::steady_clock::time_point)
{
    if (!hostUnwindStack) {
        hostUnwindStack = std::make_unique<std::byte[]>(unwindStackSize);
        emscripten_fiber_init_from_current_context(&hostFiber, hostUnwindStack.get(), unwindStackSize);
    }
    runningTask = &running;
    emscripten_fiber_swap(&hostFiber, &running.context.fiber);
    runningTask = nullptr;
    if (void (*step)() = hostStep) {
        hostStep = nullptr;
        step();
    }
}

void TaskSwitch::hostIdle(KernelLock&, std::optional<std::uint64_t> wakeUp, std::chrono::steady_clock::time_point start)
{
    std::uint64_t sleepMs = longestSleepMs;
    if (wakeUp) {
        const auto elapsed = std::chrono::steady_clock::now() - start;
        const auto nowMs =
            static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
        sleepMs = *wakeUp > nowMs ? std::min(*wakeUp - nowMs, longestSleepMs) : 0;
    }
    emscripten_sleep(static_cast<unsigned int>(sleepMs));
}

} // namespace sim::detail

namespace sim {

void afterTaskTurn(void (*step)())
{
    detail::hostStep = step;
}

} // namespace sim
