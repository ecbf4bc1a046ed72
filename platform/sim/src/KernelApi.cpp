#include "KernelCore.hpp"

using sim::detail::Kernel;

namespace {

sim::TimeMode schedulerTimeMode = sim::TimeMode::WallClock;
std::uint32_t schedulerTimeLimit = rtos::waitForever;

} // namespace

namespace sim {

void setTimeMode(TimeMode mode)
{
    schedulerTimeMode = mode;
}

void setTimeLimit(std::uint32_t limitMs)
{
    schedulerTimeLimit = limitMs;
}

void raiseInterrupt(InterruptHandler handler, void* context)
{
    auto& kernel = Kernel::instance();
    sim::detail::KernelLock lock(kernel.mutex);
    kernel.raise(handler, context);
}

void scheduleInterrupt(InterruptHandler handler, void* context, std::uint64_t atMs)
{
    auto& kernel = Kernel::instance();
    sim::detail::KernelLock lock(kernel.mutex);
    kernel.schedule(handler, context, atMs);
}

void cancelInterrupt(InterruptHandler handler, void* context)
{
    auto& kernel = Kernel::instance();
    sim::detail::KernelLock lock(kernel.mutex);
    kernel.cancel(handler, context);
}

std::uint64_t kernelMilliseconds()
{
    auto& kernel = Kernel::instance();
    sim::detail::KernelLock lock(kernel.mutex);
    return kernel.now();
}

// Lock-free: the idle task's tag reads the cycle counter inside the kernel.
std::uint64_t kernelMicroseconds()
{
    return Kernel::instance().nowMicroseconds();
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
    Kernel::instance().run(schedulerTimeMode, schedulerTimeLimit);
}

void setIdleHook(void (*hook)())
{
    auto& kernel = Kernel::instance();
    sim::detail::KernelLock lock(kernel.mutex);
    kernel.setIdleHook(hook);
}

void setIdleTaskTag(TaskHook tag)
{
    auto& kernel = Kernel::instance();
    sim::detail::KernelLock lock(kernel.mutex);
    kernel.setIdleTaskTag(tag);
}

void delay(std::uint32_t milliseconds)
{
    auto& kernel = Kernel::instance();
    sim::detail::KernelLock lock(kernel.mutex);
    kernel.enter(lock);
    if (milliseconds != 0) {
        kernel.block(lock, Task::Wait::Delay, nullptr, milliseconds);
    }
}

std::uint32_t tickCount()
{
    auto& kernel = Kernel::instance();
    sim::detail::KernelLock lock(kernel.mutex);
    return static_cast<std::uint32_t>(kernel.now());
}

} // namespace rtos
