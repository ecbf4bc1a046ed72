#pragma once

#include "vecta/Geometry.hpp"

// Where the board starts and what its simulations run on: central Aarhus
// built in, or the region a flash image brings along.
struct Region {
    vecta::Coordinate start;
    float startScale;
    vecta::Coordinate dogs;
    const vecta::Coordinate* route; // directionsPointCount points, shop first, home last
};

// The built-in view's centre and scale.
inline constexpr vecta::Coordinate builtInStart{56.169898986816406f, 10.190293312072754f};
inline constexpr float builtInStartScale = 0.25f;

extern const Region builtInRegion;
