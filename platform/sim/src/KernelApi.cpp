#include "KernelCore.hpp"

using sim::detail::Kernel;

namespace {

sim::TimeMode schedulerTimeMode = sim::TimeMode::WallClock;

} // namespace

namespace sim {

void setTimeMode(TimeMode mode)
{
    schedulerTimeMode = mode;
}

} // namespace sim

namespace rtos {

TaskHandle createTask(TaskFunction function, void* argument, const TaskAttributes& attributes)
{
    return Kernel::instance().createTask(function, argument, attributes);
}

// On the PC the run ends when a task stops the kernel.
void startScheduler()
{
    Kernel::instance().run(schedulerTimeMode, waitForever);
}

void setIdleHook(void (*hook)())
{
    auto& kernel = Kernel::instance();
    std::unique_lock lock(kernel.mutex);
    kernel.setIdleHook(hook);
}

void delay(std::uint32_t milliseconds)
{
    auto& kernel = Kernel::instance();
    std::unique_lock lock(kernel.mutex);
    kernel.enter(lock);
    if (milliseconds != 0) {
        kernel.block(lock, Task::Wait::Delay, nullptr, milliseconds);
    }
}

std::uint32_t tickCount()
{
    auto& kernel = Kernel::instance();
    std::unique_lock lock(kernel.mutex);
    return static_cast<std::uint32_t>(kernel.now());
}

} // namespace rtos
