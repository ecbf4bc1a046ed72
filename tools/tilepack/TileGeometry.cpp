#include "tilepack/TileGeometry.hpp"

#include <algorithm>
#include <cmath>

#include "tilepack/Geos.hpp"
#include "tilepack/PolygonPieces.hpp"

namespace tilepack {

namespace {

// Outer rings smaller than this (twice the area, in tile units squared) cannot
// be seen at their level; holes need a clearly negative area to count as holes.
constexpr std::int64_t minOuterDoubledArea = 4;
constexpr std::int64_t minHoleDoubledArea = 4;

TilePath converted(const WorldPath& points, const TileTransform& transform)
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

} // namespace

double unitScale(std::uint8_t zoom)
{
    return std::ldexp(1.0, 16 - zoom);
}

vecta::Point TileTransform::operator()(const WorldPoint& point) const
{
    return vecta::Point{static_cast<std::int32_t>(std::lround((point.x - originX) / scale)),
                        static_cast<std::int32_t>(std::lround((point.y - originY) / scale))};
}

TileTransform transformFor(const TileAddress& tile)
{
    const double scale = unitScale(tile.zoom);
    return TileTransform{tile.x * vecta::tileExtent * scale, tile.y * vecta::tileExtent * scale, scale};
}

TilePath tileRing(const WorldPath& ring, const TileTransform& transform)
{
    TilePath path = converted(ring, transform);
    if (path.size() > 1 && path.front().x == path.back().x && path.front().y == path.back().y) {
        path.pop_back();
    }
    return path;
}

Envelope clipBounds(const TileAddress& tile)
{
    const TileTransform transform = transformFor(tile);
    const double margin = clipBuffer * transform.scale;
    const double side = vecta::tileExtent * transform.scale;
    return Envelope{transform.originX - margin, transform.originY - margin, transform.originX + side + margin,
                    transform.originY + side + margin};
}

Overlap overlapOf(const Envelope& envelope, const Envelope& bounds)
{
    if (!envelope.intersects(bounds)) {
        return Overlap::None;
    }
    return envelope.within(bounds) ? Overlap::Whole : Overlap::Part;
}

WorldGeometry clipTo(const WorldGeometry& geometry, const Envelope& bounds)
{
    const GeometryPtr whole = toGeos(geometry);
    const GeometryPtr clipped = checked(
        GEOSClipByRect_r(geosContext(), whole.get(), bounds.minX, bounds.minY, bounds.maxX, bounds.maxY), "clip");
    return fromGeos(clipped.get(), geometry.shape);
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
    std::vector<std::pair<std::int64_t, const TilePath*>> holes;
    for (std::size_t i = 1; i < rings.size(); ++i) {
        const std::int64_t holeArea = rings[i].size() >= 3 ? doubledArea(rings[i]) : 0;
        if (std::abs(holeArea) >= minHoleDoubledArea) {
            holes.emplace_back(holeArea, &rings[i]);
        }
    }
    // Largest first: should a reader ever hold fewer, it keeps the ones that show.
    std::stable_sort(holes.begin(), holes.end(),
                     [](const auto& a, const auto& b) { return std::abs(a.first) > std::abs(b.first); });
    for (const auto& [area, ring] : holes) {
        out.push_back(*ring);
        if (area > 0) {
            std::reverse(out.back().begin(), out.back().end());
        }
    }
    return true;
}

TileShape toTileShape(const WorldGeometry& clipped, const TileAddress& tile)
{
    const TileTransform transform = transformFor(tile);
    TileShape result{clipped.shape, {}};
    if (clipped.shape == Shape::Point) {
        TilePath points;
        for (const std::vector<WorldPath>& component : clipped.components) {
            points.push_back(transform(component.at(0).at(0)));
        }
        if (!points.empty()) {
            result.parts.push_back(std::move(points));
        }
        return result;
    }

    const GeometryPtr original = toGeos(clipped);
    const GeometryPtr simplified =
        checked(GEOSSimplify_r(geosContext(), original.get(), thinningTolerance * transform.scale), "simplify");
    const WorldGeometry thinned = fromGeos(simplified.get(), clipped.shape);
    for (const std::vector<WorldPath>& component : thinned.components) {
        if (clipped.shape == Shape::Line) {
            TilePath path = converted(component.at(0), transform);
            if (path.size() >= 2) {
                result.parts.push_back(std::move(path));
            }
        } else {
            appendPolygonPieces(component, transform, result);
        }
    }
    return result;
}

} // namespace tilepack
