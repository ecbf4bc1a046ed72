#include "vecta/GlobalMapCache.hpp"

vecta::MapCache<71680, 0, 1, 0> mapCache;
