// Moving the map cache one column with every slot holding a full tile: the
// tiles that stay in the current window are copied, the new ones requested.

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "board_config/BoardConfig.hpp"
#include "tile_fetcher/TileFetcher.h"
#include "vecta/GlobalMapCache.hpp"

namespace {

using Cache = vecta::GlobalMapCache;

struct Address {
    int x, y, zoom;
};

std::vector<Address> drainRequests(Cache& cache)
{
    std::vector<Address> handed;
    cache.fetcher.fetch = [&handed](int x, int y, int zoom) { handed.push_back({x, y, zoom}); };
    while (!cache.fetcher.queue.empty()) {
        cache.fetcher.fetchNext();
    }
    return handed;
}

void storeFull(Cache& cache, const vecta::TileFill& fill)
{
    for (const Address& address : drainRequests(cache)) {
        cache.storeTile(address.x, address.y, address.zoom, fill);
    }
}

void BM_OneColumnShiftWithFullTiles(benchmark::State& state)
{
    auto cache = std::make_unique<Cache>();
    const vecta::TileFill fullTile = [](char*, unsigned int capacity) { return capacity; };
    int x = 1000;
    cache->setOrigo(x, 2000, 14);
    storeFull(*cache, fullTile);
    for (auto _ : state) {
        cache->setOrigo(++x, 2000, 14);
        state.PauseTiming();
        storeFull(*cache, fullTile);
        state.ResumeTiming();
    }
    // Each row of the window keeps all its tiles but one.
    constexpr std::int64_t edge = 2 * board::cacheRadius + 1;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * edge * (edge - 1) * board::cacheSlotBytes);
    state.counters["mapCache_bytes"] = sizeof(mapCache);
    state.counters["fetcher_record_bytes"] = sizeof(TileFetcher::Record);
}
BENCHMARK(BM_OneColumnShiftWithFullTiles)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
