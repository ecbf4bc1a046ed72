#pragma once

#include "board_glue/TouchInterrupt.hpp"
#include "ui/TouchGestures.hpp"

// Puts the touch controller's published gesture values back to their start.
inline void resetGestureGlobals()
{
    doSampleTouch = false;
    mapTouchReady = false;
    mapGestureBegan = false;
    mapTx = 0.0f;
    mapTy = 0.0f;
    mapScale = 1.0f;
    mapRotation = 0.0f;
    mapRotationCenterX = 0.0f;
    mapRotationCenterY = 0.0f;
}
