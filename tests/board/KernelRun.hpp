#pragma once

#include <functional>

#include "platform/rtos.h"
#include "sim/Kernel.hpp"
#include "tile_fetcher/TileFetcher.h"

namespace cachetest {

// A task running a test's body; the run ends when the body returns.
inline void runBody(void* argument)
{
    (*static_cast<std::function<void()>*>(argument))();
    sim::stopKernel();
}

inline rtos::TaskHandle createBodyTask(std::function<void()>& body, rtos::Priority priority, const char* name)
{
    return rtos::createTask(runBody, &body, rtos::TaskAttributes{name, 4096, priority});
}

// Runs `gui` as the GUI task beside the tile fetcher task.
inline sim::KernelStop runWithFetcher(sim::TimeMode mode, std::function<void()> gui,
                                      rtos::Priority guiPriority = rtos::Priority::Normal)
{
    rtos::createTask(TileFetcher_Task, nullptr, TileFetcher_Task_attributes);
    createBodyTask(gui, guiPriority, "GUI_Task");
    return sim::runKernel(mode, 600000);
}

} // namespace cachetest
