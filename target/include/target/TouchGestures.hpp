#pragma once

#include <atomic>
#include <cstdint>

#include "platform/bsp.h"

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

// HAL_GPIO_FallingEdgeCallback (platform/bsp.h), defined beside these values,
// sets doSampleTouch when the touch line falls.
