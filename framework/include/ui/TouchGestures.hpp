#pragma once

// Gesture values the touch controller publishes and the map input handler
// consumes once per frame. Written and read by the GUI task only.
extern bool mapTouchReady;
// Set with the first sample of a gesture phase (a finger lands, a second
// joins, one of two lifts): the handler re-bases there and nowhere else.
extern bool mapGestureBegan;
extern float mapTx;
extern float mapTy;
extern float mapScale;
extern float mapRotation;
extern float mapRotationCenterX;
extern float mapRotationCenterY;
