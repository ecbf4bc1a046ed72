#pragma once

// A box of longitudes and latitudes, as --bbox gives it and an extract's
// header states it.

#include <string>

#include "tilepack/WorldGeometry.hpp"

namespace tilepack {

// The projection's latitude limit.
constexpr double maxLatitude = 85.05112878;

struct GeoBox {
    double west;
    double south;
    double east;
    double north;
};

// Reads "W,S,E,N"; throws with the problem when it is not four numbers, or
// the box is empty, crosses the antimeridian or reaches past the
// projection's latitude limit.
GeoBox parseGeoBox(const std::string& text);
// Throws as parseGeoBox does for a box that is not usable.
void checkGeoBox(const GeoBox& box);

// The box in world units.
Envelope worldEnvelope(const GeoBox& box);

} // namespace tilepack
