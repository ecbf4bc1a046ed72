#include "KernelCheck.hpp"

#include <cstdio>

#include "mcu/Console.hpp"
#include "mcu/KernelFigures.hpp"
#include "platform/rtos.h"

namespace selfcheck {

namespace {

void endAtOnce(void*)
{
}

bool report(bool holds, const char* what)
{
    if (!holds) {
        static char line[120];
        std::snprintf(line, sizeof line, "kernel check failed: %s\n", what);
        mcu::consoleWrite(line);
    }
    return holds;
}

// Lower than the calling task, so that it runs, and ends, only once the
// caller waits.
rtos::TaskHandle createBriefTask(std::uint32_t stackBytes)
{
    return rtos::createTask(endAtOnce, nullptr, rtos::TaskAttributes{"brief", stackBytes, rtos::Priority::Low});
}

bool checkTimerService()
{
    rtos::TaskHandle block = nullptr;
    std::uint32_t* stack = nullptr;
    std::uint32_t stackWords = 0;
    kernel_GetTimerTaskMemory(&block, &stack, &stackWords);
    const rtos::TaskHandle timer = mcu::kernel::timerServiceTask();
    const mcu::kernel::TaskMemory memory = timer != nullptr ? mcu::kernel::memoryOf(timer) : mcu::kernel::TaskMemory{};
    // It has run into its wait: some of its stack is used, most is not.
    const std::uint32_t deepest = timer != nullptr ? mcu::kernel::stackDeepestBytes(timer) : 0;
    return report(timer != nullptr, "no timer-service task") &&
           report(stackWords == 256 && memory.stackWords == 256, "the timer-service stack is not 256 words") &&
           report(memory.block == block && memory.stack == stack,
                  "the timer-service task is not in its static memory") &&
           report(deepest > 64 && deepest < 512, "the timer-service task's deepest stack use is not measured");
}

bool checkHeap()
{
    constexpr std::uint32_t stackBytes[] = {1024, 2048};
    const std::uint32_t before = mcu::kernel::heapFreeBytes();
    std::uint32_t expected = before;
    for (const std::uint32_t bytes : stackBytes) {
        const rtos::TaskHandle task = createBriefTask(bytes);
        expected -= mcu::kernel::taskBlockBytes() + bytes;
        if (!report(task != nullptr && mcu::kernel::heapFreeBytes() == expected,
                    "a task does not take its block and stack from the heap")) {
            return false;
        }
    }
    rtos::delay(3);
    if (!report(mcu::kernel::heapFreeBytes() == before, "ended tasks do not give their memory back")) {
        return false;
    }
    // What came back joined the rest: the whole free heap is one run again.
    if (!report(createBriefTask(before - mcu::kernel::taskBlockBytes()) != nullptr && mcu::kernel::heapFreeBytes() == 0,
                "the free heap is split")) {
        return false;
    }
    rtos::delay(3);
    static char line[200];
    std::snprintf(line, sizeof line,
                  "kernel: timer service on a 256-word static stack; %lu heap bytes free beside the tasks; "
                  "a task takes its %lu-byte block and its stack and gives them back\n",
                  static_cast<unsigned long>(before), static_cast<unsigned long>(mcu::kernel::taskBlockBytes()));
    mcu::consoleWrite(line);
    return report(mcu::kernel::heapFreeBytes() == before, "the heap did not come back whole");
}

} // namespace

bool checkKernelMemory()
{
    return checkTimerService() && checkHeap();
}

} // namespace selfcheck
