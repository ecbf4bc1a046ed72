#pragma once

// Shape statistics of every tile of the collection in flash, each tile
// transcoded at its own zoom level.

#include <array>
#include <cstdio>

#include "tile_fetcher/tilelib.h"
#include "tileinspect/ShapeStats.hpp"

namespace tileinspect {

using CollectionStats = std::array<ShapeStats, tilelib::zoomLevels>;

CollectionStats collectionStats();

void printCollectionStats(std::FILE* out, const CollectionStats& stats);

} // namespace tileinspect
