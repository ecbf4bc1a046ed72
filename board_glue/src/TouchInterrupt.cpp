#include "board_glue/TouchInterrupt.hpp"

#include "platform/bsp.h"

// Set from the interrupt: it must never need a lock.
static_assert(std::atomic<bool>::is_always_lock_free);
std::atomic<bool> doSampleTouch{false};

void HAL_GPIO_FallingEdgeCallback(std::uint16_t pin)
{
    if (pin == bsp::touchInterruptPin) {
        doSampleTouch = true;
    }
}
