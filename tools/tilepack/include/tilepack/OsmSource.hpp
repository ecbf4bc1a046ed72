#pragma once

// Map source data from an OpenStreetMap extract (.osm.pbf, .osm, .osm.bz2):
// tagged nodes become points, ways lines, closed ways and multipolygon
// relations areas, each by the tag mapping; the coastline's sea becomes
// water.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "tilepack/GeoBox.hpp"
#include "tilepack/SourceData.hpp"
#include "tilepack/TagMapping.hpp"

namespace tilepack {

// A way the mapping puts in the road layer, with its nodes: what a route
// over the road network needs.
struct RoadWay {
    std::int64_t id = 0;
    std::vector<std::int64_t> nodes;
    WorldPath path; // one point per node
    std::string highway;
    bool oneway = false;
};

struct OsmData {
    SourceData source;
    std::vector<RoadWay> roads;
    bool seaFromCoastline = false;
};

// The extract's header box, or the extent of its nodes when it states none.
// Throws when the file cannot be read as an extract or holds no nodes.
GeoBox extractBox(const std::filesystem::path& file);

// Bytes of the file read so far, and all of them.
using ReadProgress = std::function<void(std::uint64_t done, std::uint64_t total)>;

// Throws with one line naming the problem: a file that is not a readable
// extract, an extract without map data inside `box`, a node with
// coordinates outside the world's. Broken areas are left out with a
// warning each, and so is the sea when a coastline cannot be closed.
OsmData loadOsm(const std::filesystem::path& file, const TagMapping& mapping, const GeoBox& box,
                const ReadProgress& progress = {});

} // namespace tilepack
