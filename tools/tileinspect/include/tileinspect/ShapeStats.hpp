#pragma once

// Compares what the transcoder keeps of every line and ring with the tile's
// own geometry: how many shapes thin down to two points, how far the thinned
// paths stray from the source points and how big the segment buffers get.

#include <cstdint>
#include <string>
#include <vector>

namespace tileinspect {

struct ShapeStats {
    unsigned int tiles = 0;
    std::vector<unsigned int> bufferBytes; // per tile, with room for everything

    unsigned long lines = 0;
    unsigned long linesToEnds = 0;     // thinned to their two end points
    unsigned long bentLinesToEnds = 0; // of those, lines with more than two source points
    unsigned long rings = 0;
    unsigned long flatRings = 0;     // thinned to two distinct points or fewer
    unsigned long wideFlatRings = 0; // of those, rings spanning more than the thinning distance
    unsigned long holesLeftOut = 0;  // holes beyond what a segment can hold
    // Farthest source point from the thinned edge that replaces it, tile units.
    double largestDeviation = 0;
    // Thinned paths that are not a subsequence of their source; always 0
    // unless the transcoder moves points.
    unsigned long unmatched = 0;

    void add(const ShapeStats& other);
    unsigned int medianBytes() const; // of the tiles that draw anything
    unsigned int largestBytes() const;
};

// Tallies one tile transcoded at `zoom` into `buffer`, which must have room
// for the whole segment buffer.
void tallyTile(const std::string& tile, unsigned int zoom, std::vector<std::uint32_t>& buffer, ShapeStats& stats);

} // namespace tileinspect
