#pragma once

#include "tile_fetcher/TileFetcher.h"

// Test control of the task-less tile fetcher that the screen tests link in
// place of the board's.
namespace instantfetcher {

// Makes `result` the next GetResult(), as if the task had fetched it.
void deliver(const TileFetcher::Result& result);

} // namespace instantfetcher
