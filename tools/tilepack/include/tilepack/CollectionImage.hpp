#pragma once

// The stored collection as one flash image: `tile_collection` (one batch
// address per zoom level) at the start, then per zoom level its batch record,
// its tile list and its payloads, each payload on a 4-byte boundary. All
// addresses are absolute, based at the flash's 0xA0000000. A trailer with
// the image's checksum ends it (sim/ImageTrailer.hpp).

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "tilepack/CollectionTable.hpp"

namespace tilepack {

// Encoded tiles per zoom level, indexed like the level's tile list; an empty
// string leaves the entry {0, 0}.
using LevelTiles = std::vector<std::string>;
using CollectionTiles = std::array<LevelTiles, collectionRanges.size()>;

CollectionTiles emptyCollection(const CollectionLayout& layout = builtInLayout);

std::vector<std::uint8_t> layoutImage(const CollectionTiles& tiles, const CollectionLayout& layout = builtInLayout);

} // namespace tilepack
