#pragma once

#include "vecta/MapCache.hpp"

// The one map cache, built before main and never destroyed.
extern vecta::MapCache<71680, 0, 1, 0> mapCache;
