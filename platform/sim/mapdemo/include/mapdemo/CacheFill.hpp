#pragma once

#include "model/MapPosition.hpp"

namespace mapdemo {

struct CacheFillReport {
    bool finished;   // every request was served before the time limit
    int tilesStored; // slots of the cache now holding a tile
    int tilesAbsent; // requests the collection had no tile for
};

// Moves the global map cache to the position's centre tile and fills it the
// way the map screens do, one fetch per frame: the tile fetcher task serves
// the cheapest queued request from flash, each result is transcoded into its
// slot, until nothing is left to fetch. Runs the kernel in virtual time, so
// it takes as long as the transcoding and repeats exactly.
CacheFillReport fillMapCache(const MapPosition& position);

} // namespace mapdemo
