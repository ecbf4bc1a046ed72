#pragma once

#include <cstdint>

#include "vecta/CacheLayer.hpp"
#include "vecta/MapStore.hpp"

namespace vecta {

// The decoded tiles around the view in fixed memory: a window of the
// current zoom level and one each below and above, so that a zoom by one or
// two levels keeps what is already decoded. Missing tiles are queued with
// the fetcher; arriving tiles are transcoded straight into their slot.
template <unsigned int BufferSize, int RadiusBelow, int Radius, int RadiusAbove> class MapCache : public MapStore {
public:
    // Starts around (0, 0) at zoom 0 with every slot requested.
    MapCache() { setOrigo(0, 0, 0); }
    MapCache(const MapCache&) = delete;
    MapCache& operator=(const MapCache&) = delete;

    MapTile getTile(std::uint32_t x, std::uint32_t y, std::uint8_t zoom) const override
    {
        const CacheTile& tile = getMapCacheTile(static_cast<int>(x), static_cast<int>(y), zoom);
        return MapTile{static_cast<std::uint32_t>(tile.x), static_cast<std::uint32_t>(tile.y),
                       static_cast<std::uint8_t>(tile.zoom), tile.data, tile.size};
    }

    // Never fails: a tile the cache does not hold comes back as a
    // placeholder of size 0 carrying the requested address.
    const CacheTile& getMapCacheTile(int x, int y, int zoom) const
    {
        if (zoom == zoomLevel - 1) {
            return lower.getTile(x, y);
        }
        if (zoom == zoomLevel) {
            return current.getTile(x, y);
        }
        if (zoom == zoomLevel + 1) {
            return upper.getTile(x, y);
        }
        static CacheTile t{true, true, 0, 0, 0, nullptr, 0};
        t.x = x;
        t.y = y;
        t.zoom = zoom;
        return t;
    }

    // Moves the cache to a new centre tile: keeps every decoded tile that is
    // still wanted, also across a zoom by one or two levels, queues the rest
    // and drops queued requests outside the new windows.
    void setOrigo(int x, int y, int zoom)
    {
        fetcher.moveTo(x, y, zoom);
        if (zoom == zoomLevel - 1) {
            refill(upper, 2 * x, 2 * y, zoom + 1, current);
            refill(current, x, y, zoom, lower);
            lower.setOrigo(x / 2, y / 2, zoom - 1);
        } else if (zoom == zoomLevel - 2) {
            refill(upper, 2 * x, 2 * y, zoom + 1, lower);
            current.setOrigo(x, y, zoom);
            lower.setOrigo(x / 2, y / 2, zoom - 1);
        } else if (zoom == zoomLevel + 1) {
            refill(lower, x / 2, y / 2, zoom - 1, current);
            refill(current, x, y, zoom, upper);
            upper.setOrigo(2 * x, 2 * y, zoom + 1);
        } else if (zoom == zoomLevel + 2) {
            refill(lower, x / 2, y / 2, zoom - 1, upper);
            current.setOrigo(x, y, zoom);
            upper.setOrigo(2 * x, 2 * y, zoom + 1);
        } else {
            lower.setOrigo(x / 2, y / 2, zoom - 1);
            current.setOrigo(x, y, zoom);
            upper.setOrigo(2 * x, 2 * y, zoom + 1);
        }
        originX = x;
        originY = y;
        zoomLevel = zoom;
        fetcher.prune(x, y, zoom, WindowEdges{2 * RadiusBelow + 1, 2 * Radius + 1, 2 * RadiusAbove + 1});
    }

    // Delivers a fetched tile. False when it is no longer wanted; `fill`
    // then does not run.
    bool storeTile(int x, int y, int zoom, const TileFill& fill)
    {
        if (zoom == zoomLevel - 1) {
            return lower.store(x, y, zoom, fill);
        }
        if (zoom == zoomLevel) {
            return current.store(x, y, zoom, fill);
        }
        if (zoom == zoomLevel + 1) {
            return upper.store(x, y, zoom, fill);
        }
        return false;
    }

    std::int32_t originX = 0;
    std::int32_t originY = 0;
    std::int32_t zoomLevel = initialZoom;
    MapFetcher fetcher{TileVector{0, 0, initialZoom}};
    CacheLayer<BufferSize, RadiusBelow> lower{fetcher, initialZoom};
    CacheLayer<BufferSize, Radius> current{fetcher, initialZoom};
    CacheLayer<BufferSize, RadiusAbove> upper{fetcher, initialZoom};

private:
    // Far enough from zoom 0 that construction takes the jump case.
    static constexpr int initialZoom = -3;

    // A layer that changes zoom level takes over the decoded tiles of the
    // layer that held its new level and requests the rest.
    template <int LayerRadius, int SourceRadius>
    static void refill(CacheLayer<BufferSize, LayerRadius>& layer, int x, int y, int zoom,
                       const CacheLayer<BufferSize, SourceRadius>& source)
    {
        layer.resetTo(x, y, zoom);
        layer.adoptFrom(source);
        layer.requestPending();
    }
};

} // namespace vecta
