#pragma once

#include <cstddef>
#include <cstdio>

#include "tilepack/CollectionBuilder.hpp"

namespace tilepack {

// Tiles per zoom, holes left out and polygons cut per zoom, image size, tile
// size statistics, the tiles that lose features to a cache slot, and the time
// taken.
void printReport(std::FILE* out, const BuiltCollection& collection, std::size_t imageBytes, double seconds);

} // namespace tilepack
