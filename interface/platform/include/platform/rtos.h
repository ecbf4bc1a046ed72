#pragma once

#include <cstdint>

// The kernel services the firmware uses. The board runs them on its
// preemptive kernel; the simulator provides the same calls on host threads.
namespace rtos {

// Kernel priority values; a higher value runs first.
enum class Priority : std::uint8_t { Low = 8, Normal = 24, Realtime = 48 };

using TaskFunction = void (*)(void* argument);

struct TaskAttributes {
    const char* name;
    std::uint32_t stackSize; // bytes, taken from the kernel heap
    Priority priority;
};

struct Task;
using TaskHandle = Task*;

// Null when the kernel heap cannot hold the task's stack. A task whose
// function returns is removed, as if it had deleted itself.
TaskHandle createTask(TaskFunction function, void* argument, const TaskAttributes& attributes);

// Runs the created tasks. Never returns on the board.
void startScheduler();

// Called whenever no task is ready to run.
void setIdleHook(void (*hook)());

// The idle task's tag: called with 1 when the idle task leaves the processor
// and with 0 when it gets it back. Its result is not used.
using TaskHook = bool (*)(void* parameter);
void setIdleTaskTag(TaskHook tag);

// One kernel tick is one millisecond; a delay of 0 returns at once.
void delay(std::uint32_t milliseconds);
std::uint32_t tickCount();

constexpr std::uint32_t noWait = 0;
constexpr std::uint32_t waitForever = 0xFFFFFFFFu;

// Control-block storage owned by the caller, so that semaphores and queues
// need no kernel heap. The platform checks that its control block fits.
struct StaticSemaphore {
    alignas(8) std::uint8_t storage[32];
};
struct StaticQueue {
    alignas(8) std::uint8_t storage[32];
};

struct Semaphore;
using SemaphoreHandle = Semaphore*;

// A binary semaphore (maximum count 1); it starts empty.
SemaphoreHandle createBinarySemaphore(StaticSemaphore& storage);
// False when the timeout passed without a count.
bool take(SemaphoreHandle semaphore, std::uint32_t timeout);
// False when the semaphore already holds its count.
bool give(SemaphoreHandle semaphore);
std::uint32_t count(SemaphoreHandle semaphore);

struct Queue;
using QueueHandle = Queue*;

// A queue of one one-word message; it starts empty.
QueueHandle createQueue(StaticQueue& storage);
// False when the queue stayed full for the whole timeout.
bool send(QueueHandle queue, std::uintptr_t message, std::uint32_t timeout);
// False when the queue stayed empty for the whole timeout.
bool receive(QueueHandle queue, std::uintptr_t& message, std::uint32_t timeout);

} // namespace rtos
