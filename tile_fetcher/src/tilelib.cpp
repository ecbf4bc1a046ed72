#include "tile_fetcher/tilelib.h"

#include "platform/flash.h"

namespace tilelib {

const TileEntry empty{0, 0};

} // namespace tilelib

namespace {

// `tile_collection`: one batch address per zoom level at the start of flash.
const TileBatch* batchOf(std::uint8_t level)
{
    const auto* collection =
        static_cast<const std::uint32_t*>(flash_pointer(flashBaseAddress, tilelib::zoomLevels * 4u));
    if (collection == nullptr) {
        return nullptr;
    }
    return static_cast<const TileBatch*>(flash_pointer(collection[level], sizeof(TileBatch)));
}

} // namespace

const TileEntry* tilelib_getTile(std::uint32_t x, std::uint32_t y, std::uint8_t zoom)
{
    const auto level = static_cast<std::uint8_t>(zoom - tilelib::minZoom);
    if (level >= tilelib::zoomLevels) {
        return &tilelib::empty;
    }
    const TileBatch* batch = batchOf(level);
    if (batch == nullptr || batch->tiles == 0 || batch->count == 0) {
        return &tilelib::empty;
    }
    if (x < batch->minX || x > batch->maxX || y < batch->minY || y > batch->maxY) {
        return &tilelib::empty;
    }
    const std::uint32_t index = (x - batch->minX) + (y - batch->minY) * (batch->maxX - batch->minX + 1);
    if (index >= batch->count) {
        return &tilelib::empty;
    }
    const auto* entry = static_cast<const TileEntry*>(
        flash_pointer(batch->tiles + index * std::uint32_t{sizeof(TileEntry)}, sizeof(TileEntry)));
    return entry != nullptr ? entry : &tilelib::empty;
}
