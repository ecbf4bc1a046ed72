#pragma once

#include <array>
#include <cstddef>

#include "vecta/Geometry.hpp"

inline constexpr std::size_t directionsPointCount = 178;

// The courier's street route from the restaurant (first point) to the
// customer's home (last point).
extern const std::array<vecta::Coordinate, directionsPointCount> DirectionsData;
