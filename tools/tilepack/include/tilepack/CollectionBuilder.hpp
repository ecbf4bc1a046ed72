#pragma once

// Builds every tile of the collection. Levels are built from the top down:
// each tile is cut from what its parent tile kept, so large shapes such as
// the sea are cut small early. The tiles of one parent are built by one
// thread, the parents of a level are shared out among the threads; they share
// only plain geometry data, read-only.

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "tilepack/CollectionImage.hpp"
#include "tilepack/SourceData.hpp"
#include "tilepack/TileValidator.hpp"

namespace tilepack {

struct TileRecord {
    TileAddress address;
    std::uint32_t bytes = 0;
    TileCheck check;
    unsigned int holesLeftOut = 0;
    unsigned int polygonsSplit = 0;
    std::set<std::string> droppedKeys; // "layer.key" left out for too many values
};

struct BuiltCollection {
    CollectionTiles tiles;
    std::vector<TileRecord> records; // one per stored tile
    bool absentTile = false;         // the layout leaves one tile out
};

struct Progress {
    std::uint8_t zoom;
    unsigned int levelDone;
    unsigned int levelTotal;
    unsigned int done;
    unsigned int total;
};
using ProgressReport = std::function<void(const Progress&)>;

// Throws on any failure; a tile the firmware cannot read stops the process
// at the firmware's assertion.
BuiltCollection buildCollection(const SourceData& data, unsigned int threads, const ProgressReport& progress,
                                const CollectionLayout& layout = builtInLayout);

// What the tool works on when the process stops; for the abort report.
const char* tileInProgress();

} // namespace tilepack
