#pragma once

// The stored collection as one flash image: `tile_collection` (one batch
// address per zoom level) at the start, then per zoom level its batch record,
// its tile list and its payloads, each payload on a 4-byte boundary. All
// addresses are absolute, based at the flash's 0xA0000000. A trailer with
// the image's checksum ends it (sim/ImageTrailer.hpp).
//
// An image built from an extract carries a region record (board/region.h)
// between `tile_collection` and the first batch record, at 0xA000002C:
//
//   0     tag "RGN1", version 1, size 1476 (3 x u32)
//   12    start latitude, longitude (f32), start scale (f32)
//   24    shop, home, dogs' start (latitude, longitude: 3 x 2 x f32)
//   48    route: 178 x (latitude, longitude), shop first, home last
//   1472  CRC-32 (zlib's) of bytes 0 to 1471
//
// Every other image has its first batch record at 0xA000002C, and its first
// batch address says so: whether a record is there is read from that
// address, never guessed from the bytes, so no old image can pass for one
// with a record. An image whose first batch lies further on has a record;
// one that does not check out (tag, version, size, CRC, coordinates) is a
// damaged image.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "tile_fetcher/region.h"
#include "tilepack/CollectionTable.hpp"

namespace tilepack {

// Encoded tiles per zoom level, indexed like the level's tile list; an empty
// string leaves the entry {0, 0}.
using LevelTiles = std::vector<std::string>;
using CollectionTiles = std::array<LevelTiles, collectionRanges.size()>;

CollectionTiles emptyCollection(const CollectionLayout& layout = builtInLayout);

std::vector<std::uint8_t> layoutImage(const CollectionTiles& tiles, const CollectionLayout& layout = builtInLayout,
                                      const RegionRecord* region = nullptr);

} // namespace tilepack
