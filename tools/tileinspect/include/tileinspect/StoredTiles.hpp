#pragma once

// The tiles of the collection in flash, in the order the collection stores
// them: by zoom level, then row, then column.

#include <cstdint>
#include <vector>

namespace tileinspect {

struct StoredTile {
    std::uint32_t x;
    std::uint32_t y;
    std::uint8_t zoom;
    const char* bytes; // in place in flash
    std::uint32_t size;
};

std::vector<StoredTile> storedTiles();

} // namespace tileinspect
