#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/flash.h"
#include "sim/Flash.hpp"
#include "tile_fetcher/tilelib.h"

namespace cachetest {

struct StoredTile {
    std::uint32_t x, y;
    std::uint8_t zoom;
    std::uint32_t size;
};

// A tile collection with one zoom level holding a row of tiles from
// (firstX, y) on. Every payload is filled with its own tile's x, so a result
// pointing at the wrong payload shows.
class CollectionImage {
public:
    CollectionImage(std::uint8_t zoom, std::uint32_t firstX, std::uint32_t y, const std::vector<std::uint32_t>& sizes)
    {
        const std::uint32_t batchOffset = tilelib::zoomLevels * 4;
        const std::uint32_t listOffset = batchOffset + sizeof(TileBatch);
        std::uint32_t payloadOffset = listOffset + static_cast<std::uint32_t>(sizes.size() * sizeof(TileEntry));
        std::vector<TileEntry> entries;
        for (const std::uint32_t size : sizes) {
            entries.push_back(TileEntry{flashBaseAddress + payloadOffset, size});
            payloadOffset += (size + 3) & ~3u;
        }
        bytes.resize(payloadOffset);
        const std::uint32_t batchAddress = flashBaseAddress + batchOffset;
        std::memcpy(bytes.data() + (zoom - tilelib::minZoom) * 4, &batchAddress, 4);
        const auto count = static_cast<std::uint32_t>(sizes.size());
        const TileBatch batch{flashBaseAddress + listOffset, count, firstX, firstX + count - 1, y, y};
        std::memcpy(bytes.data() + batchOffset, &batch, sizeof batch);
        std::memcpy(bytes.data() + listOffset, entries.data(), entries.size() * sizeof(TileEntry));
        for (std::uint32_t i = 0; i < count; ++i) {
            std::memset(bytes.data() + (entries[i].data - flashBaseAddress), static_cast<int>((firstX + i) & 0xFF),
                        entries[i].size);
        }
        sim::installFlashImage(bytes.data(), bytes.size());
    }
    CollectionImage(const CollectionImage&) = delete;
    CollectionImage& operator=(const CollectionImage&) = delete;
    ~CollectionImage() { sim::installFlashImage(nullptr, 0); }

    const char* payload(std::uint32_t index) const
    {
        TileEntry entry{};
        std::memcpy(&entry, bytes.data() + tilelib::zoomLevels * 4 + sizeof(TileBatch) + index * sizeof(TileEntry),
                    sizeof entry);
        return reinterpret_cast<const char*>(bytes.data() + (entry.data - flashBaseAddress));
    }

private:
    std::vector<std::uint8_t> bytes;
};

} // namespace cachetest
