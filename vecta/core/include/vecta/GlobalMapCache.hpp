#pragma once

#include "board_config/BoardConfig.hpp"
#include "vecta/MapCache.hpp"

namespace vecta {

// The board's cache: its windows and slots as the board sets them.
using GlobalMapCache =
    MapCache<board::cacheSlotBytes, board::cacheRadiusBelow, board::cacheRadius, board::cacheRadiusAbove>;

} // namespace vecta

// The one map cache, built before main and never destroyed.
extern vecta::GlobalMapCache mapCache;
