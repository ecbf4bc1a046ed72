#pragma once

#include <cstdint>

#include "platform/rtos.h"

// What the processor's kernel holds, for the self-check to watch.
namespace mcu::kernel {

// Task blocks and stacks of the created tasks.
constexpr std::uint32_t heapBytes = 80000;
std::uint32_t heapFreeBytes();

// What a created task takes from the heap besides its stack.
std::uint32_t taskBlockBytes();

struct TaskMemory {
    rtos::TaskHandle block;
    std::uint32_t* stack; // lowest word
    std::uint32_t stackWords;
};

// Where a task's block and stack lie.
TaskMemory memoryOf(rtos::TaskHandle task);

// The kernel's own timer-service task, once the scheduler runs.
rtos::TaskHandle timerServiceTask();

// The task on the processor, for a fault report; null before the kernel runs.
const char* runningTaskName();

// The most of its stack a task has used so far, in bytes.
std::uint32_t stackDeepestBytes(rtos::TaskHandle task);

} // namespace mcu::kernel

// The static memory of the kernel's own tasks, handed out at start-up.
extern "C" void kernel_GetIdleTaskMemory(rtos::TaskHandle* block, std::uint32_t** stack, std::uint32_t* stackWords);
extern "C" void kernel_GetTimerTaskMemory(rtos::TaskHandle* block, std::uint32_t** stack, std::uint32_t* stackWords);
