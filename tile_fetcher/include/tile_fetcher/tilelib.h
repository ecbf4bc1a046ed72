#pragma once

#include <cstdint>

// One entry of a zoom level's tile list: where the tile's bytes lie in flash.
struct TileEntry {
    std::uint32_t data; // flash address; 0 when the tile is absent
    std::uint32_t size; // bytes; 0 when the tile is absent
};
static_assert(sizeof(TileEntry) == 8);

// A zoom level's batch record. Note the order: both x bounds, then both y.
struct TileBatch {
    std::uint32_t tiles;
    std::uint32_t count;
    std::uint32_t minX;
    std::uint32_t maxX;
    std::uint32_t minY;
    std::uint32_t maxY;
};
static_assert(sizeof(TileBatch) == 24);

namespace tilelib {

constexpr std::uint8_t minZoom = 6;
constexpr std::uint8_t zoomLevels = 11;

// Returned for every address outside the collection.
extern const TileEntry empty;

} // namespace tilelib

// Never null: addresses outside the collection give &tilelib::empty.
const TileEntry* tilelib_getTile(std::uint32_t x, std::uint32_t y, std::uint8_t zoom);
