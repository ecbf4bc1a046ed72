#pragma once

#include "model/MapTransform.hpp"
#include "model/Model.hpp"

// The screen point the map position is drawn on and turned about.
inline constexpr float mapAnchorX = 400.0f;
inline constexpr float mapAnchorY = 180.0f;

// Applies one gesture increment to the model's map position: the pan, then
// the scale, then the rotation about the fingers' midpoint, which keeps the
// map point under the midpoint in place.
void applyMapGesture(Model& model, const MapTransform& transform);
