#include "tileinspect/StoredTiles.hpp"

#include "platform/flash.h"
#include "tile_fetcher/tilelib.h"

namespace tileinspect {

namespace {

const TileBatch* batchOf(unsigned int level)
{
    const auto* collection =
        static_cast<const std::uint32_t*>(flash_pointer(flashBaseAddress, tilelib::zoomLevels * 4u));
    return collection == nullptr ? nullptr
                                 : static_cast<const TileBatch*>(flash_pointer(collection[level], sizeof(TileBatch)));
}

} // namespace

std::vector<StoredTile> storedTiles()
{
    std::vector<StoredTile> tiles;
    for (unsigned int level = 0; level < tilelib::zoomLevels; ++level) {
        const TileBatch* batch = batchOf(level);
        if (batch == nullptr) {
            continue;
        }
        const auto zoom = static_cast<std::uint8_t>(tilelib::minZoom + level);
        for (std::uint32_t y = batch->minY; y <= batch->maxY; ++y) {
            for (std::uint32_t x = batch->minX; x <= batch->maxX; ++x) {
                const TileEntry* entry = tilelib_getTile(x, y, zoom);
                const void* bytes = entry->size != 0 ? flash_pointer(entry->data, entry->size) : nullptr;
                if (bytes != nullptr) {
                    tiles.push_back(StoredTile{x, y, zoom, static_cast<const char*>(bytes), entry->size});
                }
            }
        }
    }
    return tiles;
}

} // namespace tileinspect
