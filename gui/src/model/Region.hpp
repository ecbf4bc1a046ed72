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

extern const Region builtInRegion;
