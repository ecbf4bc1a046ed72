// The records whose layout the board's memory plan counts on, checked where
// pointers and long are 32 bits wide.

#include <cstddef>
#include <cstdint>

#include "board_config/BoardConfig.hpp"
#include "board_glue/FrameBuffers.hpp"
#include "gpu/gpu_graphics.h"
#include "tile_fetcher/TileFetcher.h"
#include "vecta/GlobalMapCache.hpp"

static_assert(sizeof(void*) == 4 && sizeof(long) == 4, "built for a 32-bit target");

static_assert(sizeof(TileFetcher::Record) == 20);
static_assert(sizeof(TileFetcher::Result) == 24);

static_assert(sizeof(vecta::MapTile) == 20);
static_assert(sizeof(vecta::CacheTile) == 24);
static_assert(sizeof(vecta::MapFetcher::Entry) == 16);
static_assert(sizeof(vecta::MapFetcher::queue) == board::requestQueueLength * sizeof(vecta::MapFetcher::Entry) + 4);

// A segment buffer and a record per slot, and the request queue.
constexpr std::uint32_t mapCacheBudget = 798344;
static_assert(sizeof(mapCache) <= mapCacheBudget);
static_assert(sizeof(mapCache) >= board::cacheSlotCount * board::cacheSlotBytes + sizeof(vecta::MapFetcher::queue) +
                                      board::cacheSlotCount * sizeof(vecta::CacheTile));

// The GPU library comes built: the records the firmware hands it must have
// the layout it was compiled with.
static_assert(sizeof(gpu_buffer_t) == 16 && offsetof(gpu_buffer_t, base_virt) == 8);
static_assert(sizeof(gpu_ring_buffer_t) == 20 && offsetof(gpu_ring_buffer_t, offset) == 16);
static_assert(sizeof(gpu_cmdlist_t) == 24 && offsetof(gpu_cmdlist_t, submission_id) == 20);
static_assert(sizeof(vg_matrix3x3_t) == 36);
