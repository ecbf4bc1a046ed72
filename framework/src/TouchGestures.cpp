#include "ui/TouchGestures.hpp"

bool mapTouchReady = false;
bool mapGestureBegan = false;
float mapTx = 0.0f;
float mapTy = 0.0f;
float mapScale = 1.0f;
float mapRotation = 0.0f;
float mapRotationCenterX = 0.0f;
float mapRotationCenterY = 0.0f;
