#include <algorithm>
#include <new>
#include <vector>

#include "KernelCore.hpp"
#include "platform/Assert.hpp"

using sim::detail::Kernel;

namespace rtos {

struct Semaphore {
    std::uint32_t count;
};
static_assert(sizeof(Semaphore) <= sizeof(StaticSemaphore::storage));

struct Queue {
    bool full;
    std::uintptr_t message;
    std::uint32_t blockedSenders;
    std::size_t figures; // its entry in queueFills
};
static_assert(sizeof(Queue) <= sizeof(StaticQueue::storage));

namespace {

// One entry per queue ever created, guarded by the kernel mutex. Entries
// are never removed: a test's queue may end with its stack frame.
std::vector<sim::QueueFill> queueFills;

void noteFill(const Queue& queue)
{
    sim::QueueFill& fill = queueFills[queue.figures];
    fill.now = (queue.full ? 1u : 0u) + queue.blockedSenders;
    fill.peak = std::max(fill.peak, fill.now);
}

} // namespace

SemaphoreHandle createBinarySemaphore(StaticSemaphore& storage)
{
    auto& kernel = Kernel::instance();
    sim::detail::KernelLock lock(kernel.mutex);
    return new (storage.storage) Semaphore{0};
}

bool take(SemaphoreHandle semaphore, std::uint32_t timeout)
{
    VECTA_ASSERT(semaphore != nullptr);
    auto& kernel = Kernel::instance();
    sim::detail::KernelLock lock(kernel.mutex);
    kernel.enter(lock);
    if (semaphore->count != 0) {
        semaphore->count = 0;
        return true;
    }
    if (timeout == noWait) {
        return false;
    }
    return kernel.block(lock, Task::Wait::Take, semaphore, timeout);
}

bool give(SemaphoreHandle semaphore)
{
    VECTA_ASSERT(semaphore != nullptr);
    auto& kernel = Kernel::instance();
    sim::detail::KernelLock lock(kernel.mutex);
    kernel.enter(lock);
    if (Task* waiter = kernel.firstWaiter(Task::Wait::Take, semaphore)) {
        kernel.wake(lock, *waiter);
        return true;
    }
    if (semaphore->count != 0) {
        return false;
    }
    semaphore->count = 1;
    return true;
}

std::uint32_t count(SemaphoreHandle semaphore)
{
    VECTA_ASSERT(semaphore != nullptr);
    auto& kernel = Kernel::instance();
    sim::detail::KernelLock lock(kernel.mutex);
    kernel.enter(lock);
    return semaphore->count;
}

QueueHandle createQueue(StaticQueue& storage)
{
    auto& kernel = Kernel::instance();
    sim::detail::KernelLock lock(kernel.mutex);
    queueFills.push_back(sim::QueueFill{0, 0});
    return new (storage.storage) Queue{false, 0, 0, queueFills.size() - 1};
}

bool send(QueueHandle queue, std::uintptr_t message, std::uint32_t timeout)
{
    VECTA_ASSERT(queue != nullptr);
    auto& kernel = Kernel::instance();
    sim::detail::KernelLock lock(kernel.mutex);
    kernel.enter(lock);
    if (Task* receiver = kernel.firstWaiter(Task::Wait::Receive, queue)) {
        receiver->message = message;
        kernel.wake(lock, *receiver);
        return true;
    }
    if (!queue->full) {
        queue->full = true;
        queue->message = message;
        noteFill(*queue);
        return true;
    }
    if (timeout == noWait) {
        return false;
    }
    if (Task* self = Kernel::currentTask()) {
        self->message = message;
    }
    ++queue->blockedSenders;
    noteFill(*queue);
    const bool sent = kernel.block(lock, Task::Wait::Send, queue, timeout);
    --queue->blockedSenders;
    noteFill(*queue);
    return sent;
}

bool receive(QueueHandle queue, std::uintptr_t& message, std::uint32_t timeout)
{
    VECTA_ASSERT(queue != nullptr);
    auto& kernel = Kernel::instance();
    sim::detail::KernelLock lock(kernel.mutex);
    kernel.enter(lock);
    if (queue->full) {
        message = queue->message;
        if (Task* sender = kernel.firstWaiter(Task::Wait::Send, queue)) {
            queue->message = sender->message;
            kernel.wake(lock, *sender);
        } else {
            queue->full = false;
        }
        noteFill(*queue);
        return true;
    }
    if (timeout == noWait) {
        return false;
    }
    if (!kernel.block(lock, Task::Wait::Receive, queue, timeout)) {
        return false;
    }
    message = Kernel::currentTask()->message;
    return true;
}

} // namespace rtos

namespace sim {

KernelFigures readKernelFigures(bool startNewPeaks)
{
    auto& kernel = Kernel::instance();
    sim::detail::KernelLock lock(kernel.mutex);
    KernelFigures figures{kernel.heapInUse(), kernel.heapPeak(), Kernel::heapSize, rtos::queueFills};
    for (QueueFill& fill : rtos::queueFills) {
        fill.peak = startNewPeaks ? fill.now : fill.peak;
    }
    return figures;
}

} // namespace sim
