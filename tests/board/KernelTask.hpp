#pragma once

#include <functional>

#include "platform/rtos.h"
#include "sim/Kernel.hpp"

namespace boardtest {

// Runs `body` as the one normal-priority task of a virtual-time run, with
// the board powered on first; the run ends when the body returns.
inline sim::KernelStop runAsTask(std::function<void()> body, std::uint32_t timeLimitMs = 60000)
{
    static std::function<void()> current;
    current = std::move(body);
    rtos::createTask(
        [](void*) {
            current();
            sim::stopKernel();
        },
        nullptr, rtos::TaskAttributes{"test", 4096, rtos::Priority::Normal});
    return sim::runKernel(sim::TimeMode::Virtual, timeLimitMs);
}

} // namespace boardtest
