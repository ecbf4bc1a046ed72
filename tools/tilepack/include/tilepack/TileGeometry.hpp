#pragma once

// Cutting source geometry to one tile and turning it into tile units.

#include <cstdint>
#include <vector>

#include "tilepack/CollectionTable.hpp"
#include "tilepack/WorldGeometry.hpp"
#include "vecta/Geometry.hpp"

namespace tilepack {

// Geometry is kept this far beyond the tile edge so that lines and outlines
// run on past it; every coordinate stays within [-64, 4160].
constexpr double clipBuffer = 64.0;
// Thinning tolerance in tile units.
constexpr double thinningTolerance = 1.0;

// World units per tile unit at `zoom`.
double unitScale(std::uint8_t zoom);

// World units to the tile units of one tile.
struct TileTransform {
    double originX;
    double originY;
    double scale;

    vecta::Point operator()(const WorldPoint& point) const;
    double worldX(double tileX) const { return originX + tileX * scale; }
    double worldY(double tileY) const { return originY + tileY * scale; }
};
TileTransform transformFor(const TileAddress& tile);
// The tile's area in world units, grown by `clipBuffer` tile units on each side.
Envelope clipBounds(const TileAddress& tile);

enum class Overlap { None, Whole, Part };
// How a geometry with this envelope lies in `bounds`.
Overlap overlapOf(const Envelope& envelope, const Envelope& bounds);
// The part of `geometry` inside `bounds`; empty when nothing is left.
WorldGeometry clipTo(const WorldGeometry& geometry, const Envelope& bounds);

using TilePath = std::vector<vecta::Point>;

// Geometry in tile units, ready to encode. Points: one path of points. Lines:
// one path per part. Polygons: rings without a repeated last point, each
// outer ring (positive area, y down) followed by its holes (negative area).
struct TileShape {
    Shape shape = Shape::Point;
    std::vector<TilePath> parts;
    unsigned int holesLeftOut = 0;  // too small to show at this level
    unsigned int polygonsSplit = 0; // cut into pieces a segment can hold

    bool empty() const { return parts.empty(); }
};

// Thins `clipped` to about one tile unit and converts it to tile units;
// parts that thin away to nothing are dropped, and so are holes too small to
// show; a polygon with more holes than a segment holds is cut into pieces.
TileShape toTileShape(const WorldGeometry& clipped, const TileAddress& tile);

// Twice the signed area of a closed ring given without its repeated point.
std::int64_t doubledArea(const TilePath& ring);

// A ring in tile units without its repeated closing point or repeated points.
TilePath tileRing(const WorldPath& ring, const TileTransform& transform);

// Orients one polygon's rings: the outer ring first, then the holes, largest
// first; holes of no visible size are left out. Returns false when the outer
// ring is too small.
bool appendPolygon(const std::vector<TilePath>& rings, std::vector<TilePath>& out);

} // namespace tilepack
