// The image's side of the runner's trace: the same reading of the
// application as the simulator's, and the figures of its queues.

#include "ImageHooks.hpp"
#include "mcu/KernelFigures.hpp"
#include "startup/main.h"
#include "ui/DMA.hpp"
#include "ui/HAL.hpp"
#include "vecta/GlobalMapCache.hpp"

#include <cstring>

namespace emulated {

void readFrameRecord(FrameRecord& record)
{
    devices::readTraceState(record.state);
    record.kernelHeapInUse = mcu::kernel::heapBytes - mcu::kernel::heapFreeBytes();
    record.blitQueue = 0;
    record.failedBlits = 0;
    if (ui::DMA_Interface* dma = ui::HAL::getInstance() != nullptr ? ui::HAL::getInstance()->getDMA() : nullptr) {
        record.blitQueue = dma->getQueue().count();
        record.failedBlits = dma->failedBlits();
    }
    record.fetcherQueue = static_cast<std::uint32_t>(mapCache.fetcher.queue.size());
}

void readRunFigures(RunFigures& figures)
{
    const struct {
        const char* name;
        rtos::TaskHandle task;
    } tasks[RunFigures::taskCount] = {
        {"defaultTask", defaultTaskHandle},
        {"GUI_Task", GUI_TaskHandle},
        {"TileFetcher_Task", TileFetcher_TaskHandle},
    };
    for (std::uint32_t i = 0; i < RunFigures::taskCount; ++i) {
        TaskStack& stack = figures.stacks[i];
        std::strncpy(stack.name, tasks[i].name, sizeof stack.name - 1);
        stack.name[sizeof stack.name - 1] = '\0';
        stack.deepestBytes = tasks[i].task != nullptr ? mcu::kernel::stackDeepestBytes(tasks[i].task) : 0;
        stack.sizeBytes = tasks[i].task != nullptr ? mcu::kernel::memoryOf(tasks[i].task).stackWords * 4u : 0;
    }
    figures.kernelHeapBytes = mcu::kernel::heapBytes;
    figures.kernelHeapInUse = mcu::kernel::heapBytes - mcu::kernel::heapFreeBytes();
}

} // namespace emulated
