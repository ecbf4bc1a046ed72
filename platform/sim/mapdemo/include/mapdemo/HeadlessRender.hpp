#pragma once

#include <string>

#include "model/MapPosition.hpp"

namespace mapdemo {

// Draws the map widget with its grid overlay over the map screens' beige
// background, from whatever the global map cache holds, into the 800 x 480
// frame buffer through the GPU stand-in, and saves the shown frame as a PNG.
// Returns an empty string on success, otherwise what went wrong.
std::string renderMapToPng(const MapPosition& position, const std::string& path);

} // namespace mapdemo
