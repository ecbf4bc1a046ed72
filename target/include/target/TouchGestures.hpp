#pragma once

#include <atomic>
#include <cstdint>

// Gesture values the touch controller publishes and the map input handler
// consumes once per frame. Written and read by the GUI task only, except
// doSampleTouch, which the touch interrupt sets.
extern std::atomic<bool> doSampleTouch;
extern bool mapTouchReady;
extern float mapTx;
extern float mapTy;
extern float mapScale;
extern float mapRotation;
extern float mapRotationCenterX;
extern float mapRotationCenterY;

// External interrupt lines' falling-edge callback; the touch line raises it
// whenever the panel has new data.
void HAL_GPIO_FallingEdgeCallback(std::uint16_t pin);
