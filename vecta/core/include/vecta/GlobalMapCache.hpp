#pragma once

#include "vecta/CacheSlot.hpp"
#include "vecta/MapCache.hpp"

namespace vecta {

// The board's cache: the current 3 x 3 window and one tile each below and
// above.
using GlobalMapCache = MapCache<cacheSlotBytes, 0, 1, 0>;

} // namespace vecta

// The one map cache, built before main and never destroyed.
extern vecta::GlobalMapCache mapCache;
