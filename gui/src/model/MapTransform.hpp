#pragma once

#include <cstdint>

// A map gesture: as the input handler's state the touch controller's absolute
// values, as its result the change to apply since the last result.
struct MapTransform {
    float scale = 1.0f;
    float rotation = 0.0f; // degrees
    std::int16_t dx = 0;   // pixels
    std::int16_t dy = 0;
    float centerX = 400.0f; // rotation centre, pixels
    float centerY = 180.0f;
    bool valid = false;
};
