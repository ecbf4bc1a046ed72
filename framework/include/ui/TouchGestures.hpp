#pragma once

// Gesture values the touch controller publishes and the map input handler
// consumes once per frame. Written and read by the GUI task only.
extern bool mapTouchReady;
extern float mapTx;
extern float mapTy;
extern float mapScale;
extern float mapRotation;
extern float mapRotationCenterX;
extern float mapRotationCenterY;
