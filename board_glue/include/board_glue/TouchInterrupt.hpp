#pragma once

#include <atomic>

// Set by the touch interrupt when the touch line falls, cleared by the touch
// controller once it has sampled. HAL_GPIO_FallingEdgeCallback
// (platform/bsp.h) is defined beside it.
extern std::atomic<bool> doSampleTouch;
