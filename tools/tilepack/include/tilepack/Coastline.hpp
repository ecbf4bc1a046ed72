#pragma once

// The sea within a box, from coastline ways: land lies to the left of each
// way. Ways are joined end to end by their node ids; rings and the lines
// that cross the box cut it into faces, and each face is sea or land by the
// side of the coastline it borders.

#include <cstdint>
#include <string>
#include <vector>

#include "tilepack/WorldGeometry.hpp"

namespace tilepack {

struct CoastWay {
    std::int64_t id = 0;
    std::vector<std::int64_t> nodes;
    WorldPath path; // one point per node
};

struct Sea {
    WorldGeometry water;               // polygons; empty when there is no sea or it is left out
    std::vector<std::string> problems; // coastlines that cannot be closed: then no sea at all
};

Sea seaWithin(const std::vector<CoastWay>& ways, const Envelope& box);

} // namespace tilepack
