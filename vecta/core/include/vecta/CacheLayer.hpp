#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>

#include "board_config/BoardConfig.hpp"
#include "platform/Assert.hpp"
#include "vecta/PriorityFetcher.hpp"

namespace vecta {

using MapFetcher = PriorityFetcherN<board::requestQueueLength>;

// Writes a transcoded tile into the buffer it is given, of the capacity it
// is given, and returns the bytes written.
using TileFill = std::function<unsigned int(char*, unsigned int)>;

// One slot of a cache layer.
struct CacheTile {
    bool pending;     // wanted; the buffer holds nothing valid
    bool placeholder; // a shared stand-in for a position outside the window
    std::int32_t x;
    std::int32_t y;
    std::int32_t zoom;
    char* data; // the slot's own buffer for the whole run
    std::uint32_t size;
};

// A (2R + 1) x (2R + 1) window of decoded tiles at one zoom level, its
// slots row-major by y then x, each slot with its own fixed buffer.
template <unsigned int BufferSize, int Radius> class CacheLayer {
public:
    static constexpr int edge = 2 * Radius + 1;
    static constexpr int slotCount = edge * edge;

    CacheLayer(MapFetcher& owner, int startZoom) : zoomLevel(startZoom), fetcher(&owner)
    {
        for (int i = 0; i < slotCount; ++i) {
            slots[i].data = buffers[i];
        }
        resetTo(0, 0, startZoom);
    }
    CacheLayer(const CacheLayer&) = delete;
    CacheLayer& operator=(const CacheLayer&) = delete;

    bool contains(int x, int y) const
    {
        return static_cast<unsigned int>(x - originX + Radius) < static_cast<unsigned int>(edge) &&
               static_cast<unsigned int>(y - originY + Radius) < static_cast<unsigned int>(edge);
    }

    const CacheTile& getTile(int x, int y) const { return const_cast<CacheLayer*>(this)->getTile(x, y); }

    CacheTile& getTile(int x, int y)
    {
        if (contains(x, y)) {
            return slots[indexOf(x, y)];
        }
        static CacheTile out_of_bounds_tile{true, true, 0, 0, 0, nullptr, 0};
        out_of_bounds_tile.x = x;
        out_of_bounds_tile.y = y;
        return out_of_bounds_tile;
    }

    // Moves the window to (x, y) at `zoom`. Within reach the window shifts a
    // column or row at a time and keeps what stays inside; otherwise every
    // slot is requested anew.
    void setOrigo(int x, int y, int zoom)
    {
        if (zoom != zoomLevel || std::abs(x - originX) > Radius || std::abs(y - originY) > Radius) {
            resetTo(x, y, zoom);
            requestPending();
            return;
        }
        if constexpr (Radius > 0) {
            while (originX < x) {
                shiftTowardLowerX();
            }
            while (originX > x) {
                shiftTowardHigherX();
            }
            while (originY > y) {
                shiftTowardHigherY();
            }
            while (originY < y) {
                shiftTowardLowerY();
            }
        }
    }

    // Every slot pending at its position, nothing requested yet.
    void resetTo(int x, int y, int zoom)
    {
        originX = x;
        originY = y;
        zoomLevel = zoom;
        for (int row = 0; row < edge; ++row) {
            for (int column = 0; column < edge; ++column) {
                CacheTile& slot = slots[row * edge + column];
                slot.pending = true;
                slot.placeholder = false;
                slot.x = x - Radius + column;
                slot.y = y - Radius + row;
                slot.zoom = zoom;
                slot.size = 0;
            }
        }
    }

    // Copies in the decoded tiles of another layer that this window wants.
    template <int SourceRadius> void adoptFrom(const CacheLayer<BufferSize, SourceRadius>& source)
    {
        for (const CacheTile& tile : source.slots) {
            if (!tile.pending && tile.zoom == zoomLevel && contains(tile.x, tile.y)) {
                copyTile(tile, slots[indexOf(tile.x, tile.y)]);
            }
        }
    }

    void requestPending()
    {
        for (CacheTile& slot : slots) {
            if (slot.pending) {
                request(slot);
            }
        }
    }

    // False when the tile is no longer wanted here; `fill` then does not run.
    bool store(int x, int y, int zoom, const TileFill& fill)
    {
        if (zoom != zoomLevel) {
            return false;
        }
        CacheTile& slot = getTile(x, y);
        if (slot.placeholder) {
            return false;
        }
        VECTA_ASSERT(fill);
        const unsigned int written = fill(slot.data, BufferSize);
        VECTA_ASSERT(written <= BufferSize);
        slot.pending = false;
        slot.placeholder = false;
        slot.x = x;
        slot.y = y;
        slot.zoom = zoom;
        slot.size = written;
        return true;
    }

    std::int32_t originX = 0;
    std::int32_t originY = 0;
    std::int32_t zoomLevel;
    // A square count: never negative.
    CacheTile slots[static_cast<std::size_t>(slotCount)];
    alignas(4) char buffers[static_cast<std::size_t>(slotCount)][BufferSize];
    MapFetcher* fetcher;

private:
    int indexOf(int x, int y) const { return (y - originY + Radius) * edge + (x - originX + Radius); }

    CacheTile& slotAt(int column, int row) { return slots[row * edge + column]; }

    // Tiles are never shared between slots: a move copies the used bytes.
    // A tile still on its way stays pending wherever it moves.
    static void copyTile(const CacheTile& from, CacheTile& to)
    {
        to.pending = from.pending;
        to.placeholder = from.placeholder;
        to.x = from.x;
        to.y = from.y;
        to.zoom = from.zoom;
        std::memcpy(to.data, from.data, from.size);
        to.size = from.size;
    }

    void request(CacheTile& slot)
    {
        slot.pending = true;
        slot.size = 0;
        fetcher->request(slot.x, slot.y, slot.zoom);
    }

    void assign(CacheTile& slot, int x, int y)
    {
        slot.placeholder = false;
        slot.x = x;
        slot.y = y;
        slot.zoom = zoomLevel;
        request(slot);
    }

    // The origin moves one column right: the leftmost column falls out.
    void shiftTowardLowerX()
    {
        ++originX;
        for (int row = 0; row < edge; ++row) {
            for (int column = 0; column + 1 < edge; ++column) {
                copyTile(slotAt(column + 1, row), slotAt(column, row));
            }
            assign(slotAt(edge - 1, row), originX + Radius, originY - Radius + row);
        }
    }

    void shiftTowardHigherX()
    {
        --originX;
        for (int row = 0; row < edge; ++row) {
            for (int column = edge - 1; column > 0; --column) {
                copyTile(slotAt(column - 1, row), slotAt(column, row));
            }
            assign(slotAt(0, row), originX - Radius, originY - Radius + row);
        }
    }

    // The origin moves one row up: the bottom row falls out.
    void shiftTowardHigherY()
    {
        --originY;
        for (int column = 0; column < edge; ++column) {
            for (int row = edge - 1; row > 0; --row) {
                copyTile(slotAt(column, row - 1), slotAt(column, row));
            }
            assign(slotAt(column, 0), originX - Radius + column, originY - Radius);
        }
    }

    void shiftTowardLowerY()
    {
        ++originY;
        for (int column = 0; column < edge; ++column) {
            for (int row = 0; row + 1 < edge; ++row) {
                copyTile(slotAt(column, row + 1), slotAt(column, row));
            }
            assign(slotAt(column, edge - 1), originX - Radius + column, originY + Radius);
        }
    }
};

} // namespace vecta
