#include "target/TouchGestures.hpp"

// Set from the interrupt: it must never need a lock.
static_assert(std::atomic<bool>::is_always_lock_free);
std::atomic<bool> doSampleTouch{false};
bool mapTouchReady = false;
float mapTx = 0.0f;
float mapTy = 0.0f;
float mapScale = 1.0f;
float mapRotation = 0.0f;
float mapRotationCenterX = 0.0f;
float mapRotationCenterY = 0.0f;

void HAL_GPIO_FallingEdgeCallback(std::uint16_t pin)
{
    if (pin == bsp::touchInterruptPin) {
        doSampleTouch = true;
    }
}
