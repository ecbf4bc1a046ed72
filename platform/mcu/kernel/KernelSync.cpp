// Binary semaphores and one-word queues. A waiting task is handed the count
// or the message directly, so a higher-priority task cannot take it away in
// between.

#include <new>

#include "KernelState.hpp"

using mcu::kernel::CriticalSection;

namespace rtos {

static_assert(sizeof(Semaphore) <= sizeof(StaticSemaphore::storage));
static_assert(sizeof(Queue) <= sizeof(StaticQueue::storage));

SemaphoreHandle createBinarySemaphore(StaticSemaphore& storage)
{
    return new (storage.storage) Semaphore{0};
}

bool take(SemaphoreHandle semaphore, std::uint32_t timeout)
{
    CriticalSection section;
    if (semaphore->count != 0) {
        semaphore->count = 0;
        return true;
    }
    return timeout != noWait && mcu::kernel::blockOn(semaphore, timeout);
}

bool give(SemaphoreHandle semaphore)
{
    CriticalSection section;
    if (Task* waiter = mcu::kernel::firstWaiter(semaphore)) {
        mcu::kernel::release(*waiter);
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
    return semaphore->count;
}

QueueHandle createQueue(StaticQueue& storage)
{
    return new (storage.storage) Queue{0, false};
}

// Senders waiting for room wait on the queue's `full` flag, receivers on
// the queue itself.
bool send(QueueHandle queue, std::uintptr_t message, std::uint32_t timeout)
{
    CriticalSection section;
    if (Task* receiver = mcu::kernel::firstWaiter(queue)) {
        receiver->message = message;
        mcu::kernel::release(*receiver);
        return true;
    }
    if (!queue->full) {
        queue->message = message;
        queue->full = true;
        return true;
    }
    if (timeout == noWait) {
        return false;
    }
    mcu::kernel::current()->message = message;
    return mcu::kernel::blockOn(&queue->full, timeout);
}

bool receive(QueueHandle queue, std::uintptr_t& message, std::uint32_t timeout)
{
    CriticalSection section;
    if (queue->full) {
        message = queue->message;
        queue->full = false;
        if (Task* sender = mcu::kernel::firstWaiter(&queue->full)) {
            queue->message = sender->message;
            queue->full = true;
            mcu::kernel::release(*sender);
        }
        return true;
    }
    if (timeout == noWait || !mcu::kernel::blockOn(queue, timeout)) {
        return false;
    }
    message = mcu::kernel::current()->message;
    return true;
}

} // namespace rtos
