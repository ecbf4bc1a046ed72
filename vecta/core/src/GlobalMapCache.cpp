#include "vecta/GlobalMapCache.hpp"

vecta::GlobalMapCache mapCache;
