#include "TileGeometry.hpp"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace tilepack {

namespace {

// Outer rings smaller than this (twice the area, in tile units squared) cannot
// be seen at their level; holes need a clearly negative area to count as holes.
constexpr std::int64_t minOuterDoubledArea = 4;
constexpr std::int64_t minHoleDoubledArea = 4;

struct Transform {
    double originX;
    double originY;
    double scale;

    vecta::Point operator()(const WorldPoint& point) const
    {
        return vecta::Point{static_cast<std::int32_t>(std::lround((point.x - originX) / scale)),
                            static_cast<std::int32_t>(std::lround((point.y - originY) / scale))};
    }
};

Transform transformFor(const TileAddress& tile)
{
    const double scale = unitScale(tile.zoom);
    return Transform{tile.x * vecta::tileExtent * scale, tile.y * vecta::tileExtent * scale, scale};
}

TilePath converted(const std::vector<WorldPoint>& points, const Transform& transform)
{
    TilePath path;
    path.reserve(points.size());
    for (const WorldPoint& point : points) {
        const vecta::Point next = transform(point);
        if (path.empty() || path.back().x != next.x || path.back().y != next.y) {
            path.push_back(next);
        }
    }
    return path;
}

// Simple parts of one shape, whatever collection GEOS returned them in.
void collectParts(const GEOSGeometry* geometry, int wanted, std::vector<const GEOSGeometry*>& parts)
{
    const int type = GEOSGeomTypeId_r(geosContext(), geometry);
    if (type == GEOS_MULTIPOINT || type == GEOS_MULTILINESTRING || type == GEOS_MULTIPOLYGON ||
        type == GEOS_GEOMETRYCOLLECTION) {
        const int count = GEOSGetNumGeometries_r(geosContext(), geometry);
        for (int i = 0; i < count; ++i) {
            collectParts(GEOSGetGeometryN_r(geosContext(), geometry, i), wanted, parts);
        }
    } else if (type == wanted || (wanted == GEOS_LINESTRING && type == GEOS_LINEARRING)) {
        if (GEOSisEmpty_r(geosContext(), geometry) == 0) {
            parts.push_back(geometry);
        }
    }
}

TilePath ringOf(const GEOSGeometry* ring, const Transform& transform)
{
    TilePath path = converted(pointsOf(ring), transform);
    if (path.size() > 1 && path.front().x == path.back().x && path.front().y == path.back().y) {
        path.pop_back();
    }
    return path;
}

} // namespace

double unitScale(std::uint8_t zoom)
{
    return std::ldexp(1.0, 16 - zoom);
}

Envelope clipBounds(const TileAddress& tile)
{
    const Transform transform = transformFor(tile);
    const double margin = clipBuffer * transform.scale;
    const double side = vecta::tileExtent * transform.scale;
    return Envelope{transform.originX - margin, transform.originY - margin, transform.originX + side + margin,
                    transform.originY + side + margin};
}

GeometryPtr clipTo(const GEOSGeometry* geometry, const Envelope& envelope, const Envelope& bounds)
{
    if (!envelope.intersects(bounds)) {
        return nullptr;
    }
    if (envelope.within(bounds)) {
        return checked(GEOSGeom_clone_r(geosContext(), geometry), "clone");
    }
    GeometryPtr clipped =
        checked(GEOSClipByRect_r(geosContext(), geometry, bounds.minX, bounds.minY, bounds.maxX, bounds.maxY), "clip");
    if (GEOSisEmpty_r(geosContext(), clipped.get()) != 0) {
        return nullptr;
    }
    return clipped;
}

std::int64_t doubledArea(const TilePath& ring)
{
    std::int64_t area = 0;
    for (std::size_t i = 0; i < ring.size(); ++i) {
        const vecta::Point& a = ring[i];
        const vecta::Point& b = ring[(i + 1) % ring.size()];
        area += std::int64_t{a.x} * b.y - std::int64_t{b.x} * a.y;
    }
    return area;
}

bool appendPolygon(const std::vector<TilePath>& rings, std::vector<TilePath>& out)
{
    if (rings.empty() || rings[0].size() < 3) {
        return false;
    }
    const std::int64_t outerArea = doubledArea(rings[0]);
    if (std::abs(outerArea) < minOuterDoubledArea) {
        return false;
    }
    out.push_back(rings[0]);
    if (outerArea < 0) {
        std::reverse(out.back().begin(), out.back().end());
    }
    for (std::size_t i = 1; i < rings.size(); ++i) {
        const std::int64_t holeArea = rings[i].size() >= 3 ? doubledArea(rings[i]) : 0;
        if (std::abs(holeArea) < minHoleDoubledArea) {
            continue;
        }
        out.push_back(rings[i]);
        if (holeArea > 0) {
            std::reverse(out.back().begin(), out.back().end());
        }
    }
    return true;
}

TileShape toTileShape(const GEOSGeometry* clipped, Shape shape, const TileAddress& tile)
{
    const Transform transform = transformFor(tile);
    TileShape result{shape, {}};
    if (shape == Shape::Point) {
        std::vector<const GEOSGeometry*> points;
        collectParts(clipped, GEOS_POINT, points);
        TilePath path;
        for (const GEOSGeometry* point : points) {
            path.push_back(transform(pointsOf(point).at(0)));
        }
        if (!path.empty()) {
            result.parts.push_back(std::move(path));
        }
        return result;
    }

    const GeometryPtr thinned =
        checked(GEOSSimplify_r(geosContext(), clipped, thinningTolerance * transform.scale), "simplify");
    if (shape == Shape::Line) {
        std::vector<const GEOSGeometry*> lines;
        collectParts(thinned.get(), GEOS_LINESTRING, lines);
        for (const GEOSGeometry* line : lines) {
            TilePath path = converted(pointsOf(line), transform);
            if (path.size() >= 2) {
                result.parts.push_back(std::move(path));
            }
        }
        return result;
    }

    std::vector<const GEOSGeometry*> polygons;
    collectParts(thinned.get(), GEOS_POLYGON, polygons);
    for (const GEOSGeometry* polygon : polygons) {
        std::vector<TilePath> rings{ringOf(GEOSGetExteriorRing_r(geosContext(), polygon), transform)};
        const int holes = GEOSGetNumInteriorRings_r(geosContext(), polygon);
        for (int i = 0; i < holes; ++i) {
            rings.push_back(ringOf(GEOSGetInteriorRingN_r(geosContext(), polygon, i), transform));
        }
        appendPolygon(rings, result.parts);
    }
    return result;
}

} // namespace tilepack
