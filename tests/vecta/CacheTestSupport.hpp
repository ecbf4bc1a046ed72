#pragma once

#include <cstring>
#include <memory>
#include <tuple>
#include <vector>

#include "vecta/GlobalMapCache.hpp"

namespace cachetest {

using Cache = vecta::GlobalMapCache;

struct Address {
    int x, y, zoom;
    bool operator==(const Address&) const = default;
    bool operator<(const Address& other) const { return std::tie(zoom, y, x) < std::tie(other.zoom, other.y, other.x); }
};

// The cache is too big for a test's stack.
inline std::unique_ptr<Cache> makeCache()
{
    return std::make_unique<Cache>();
}

// Hands out every queued request, cheapest first.
inline std::vector<Address> drainRequests(Cache& cache)
{
    std::vector<Address> handed;
    cache.fetcher.fetch = [&handed](int x, int y, int zoom) { handed.push_back({x, y, zoom}); };
    while (!cache.fetcher.queue.empty()) {
        cache.fetcher.fetchNext();
    }
    cache.fetcher.fetch = nullptr;
    return handed;
}

// A tile's content names its own address, so a tile that lands in the wrong
// slot or loses its bytes shows.
inline vecta::TileFill tagFill(const Address& address)
{
    return [address](char* data, unsigned int capacity) -> unsigned int {
        std::memcpy(data, &address, sizeof address);
        std::memset(data + sizeof address, 0x5A, 100);
        return capacity >= 112 ? 112 : 0;
    };
}

inline Address tagOf(const vecta::CacheTile& tile)
{
    Address address{};
    std::memcpy(&address, tile.data, sizeof address);
    return address;
}

// Moves the cache and stores every tile it asks for.
inline void loadAround(Cache& cache, int x, int y, int zoom)
{
    cache.setOrigo(x, y, zoom);
    for (const Address& address : drainRequests(cache)) {
        cache.storeTile(address.x, address.y, address.zoom, tagFill(address));
    }
}

inline bool holdsItsOwnTile(const Cache& cache, const Address& address)
{
    const vecta::CacheTile& tile = cache.getMapCacheTile(address.x, address.y, address.zoom);
    return !tile.pending && !tile.placeholder && tile.size == 112 && tagOf(tile) == address;
}

} // namespace cachetest
