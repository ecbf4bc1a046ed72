#pragma once

// Shape statistics of every tile of the collection in flash, each tile
// transcoded at its own zoom level.

#include <array>
#include <cstdio>

#include "ShapeStats.hpp"
#include "board/tilelib.h"

namespace tileinspect {

using CollectionStats = std::array<ShapeStats, tilelib::zoomLevels>;

CollectionStats collectionStats();

void printCollectionStats(std::FILE* out, const CollectionStats& stats);

} // namespace tileinspect
