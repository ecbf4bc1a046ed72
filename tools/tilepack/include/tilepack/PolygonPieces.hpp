#pragma once

// Keeps every polygon within what one segment of the firmware's segment
// buffer can hold: holes too small to show after the firmware's thinning are
// left out, and a polygon that still has more holes than a segment counts is
// cut into pieces along tile-unit lines.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "tilepack/TileGeometry.hpp"
#include "tilepack/WorldGeometry.hpp"

namespace tilepack {

// A segment counts at most 255 rings: the outer ring and 254 holes.
constexpr std::size_t maxHoles = 254;
// Tile units each piece reaches beyond its cut, so that no seam shows where
// the pieces meet (as tiles overlap by their buffer).
constexpr std::int32_t pieceOverlap = 16;

// Whether a hole fits within the firmware's thinning distance on both axes.
bool belowResolution(const TilePath& hole);

// Appends one thinned polygon (its shell first, then its holes) to
// `shape.parts` as tile rings, each piece's outer ring followed by its holes,
// and counts the holes left out and the polygons cut.
void appendPolygonPieces(const std::vector<WorldPath>& polygon, const TileTransform& transform, TileShape& shape);

} // namespace tilepack
