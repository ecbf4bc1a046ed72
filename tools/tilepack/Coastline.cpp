#include "tilepack/Coastline.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>

#include "tilepack/Geos.hpp"

namespace tilepack {

namespace {

struct Chain {
    std::vector<std::int64_t> wayIds;
    std::int64_t firstNode = 0;
    std::int64_t lastNode = 0;
    WorldPath path;

    bool closed() const { return firstNode == lastNode && path.size() >= 4; }
};

void append(Chain& chain, const CoastWay& way)
{
    chain.wayIds.push_back(way.id);
    chain.path.insert(chain.path.end(), way.path.begin() + (chain.path.empty() ? 0 : 1), way.path.end());
    chain.lastNode = way.nodes.back();
}

// Joins ways whose last node is the next one's first, in the ways' direction.
std::vector<Chain> chainsOf(const std::vector<CoastWay>& ways)
{
    std::map<std::int64_t, std::size_t> startingAt;
    for (std::size_t i = 0; i < ways.size(); ++i) {
        if (ways[i].nodes.size() >= 2) {
            startingAt.emplace(ways[i].nodes.front(), i);
        }
    }
    std::vector<bool> used(ways.size(), false);
    std::vector<bool> followsAnother(ways.size(), false);
    for (const CoastWay& way : ways) {
        if (way.nodes.size() >= 2) {
            if (const auto next = startingAt.find(way.nodes.back()); next != startingAt.end()) {
                followsAnother[next->second] = true;
            }
        }
    }
    std::vector<Chain> chains;
    // Chains start where no way leads in; what is left after that are rings.
    for (const bool startsOnlyFree : {true, false}) {
        for (std::size_t i = 0; i < ways.size(); ++i) {
            if (used[i] || ways[i].nodes.size() < 2 || (startsOnlyFree && followsAnother[i])) {
                continue;
            }
            Chain chain;
            chain.firstNode = ways[i].nodes.front();
            for (std::size_t at = i; !used[at];) {
                used[at] = true;
                append(chain, ways[at]);
                const auto next = startingAt.find(chain.lastNode);
                if (next == startingAt.end() || chain.lastNode == chain.firstNode) {
                    break;
                }
                at = next->second;
            }
            chains.push_back(std::move(chain));
        }
    }
    return chains;
}

bool inside(const WorldPoint& point, const Envelope& box)
{
    return point.x > box.minX && point.x < box.maxX && point.y > box.minY && point.y < box.maxY;
}

std::string describe(const Chain& chain)
{
    std::string ids = "way " + std::to_string(chain.wayIds.front());
    if (chain.wayIds.size() > 1) {
        ids += " to way " + std::to_string(chain.wayIds.back()) + " (" + std::to_string(chain.wayIds.size()) + " ways)";
    }
    return "the coastline " + ids + " ends inside the box and cannot be closed";
}

double distanceToSegment(const WorldPoint& p, const WorldPoint& a, const WorldPoint& b)
{
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double length = dx * dx + dy * dy;
    const double t = length > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / length, 0.0, 1.0) : 0.0;
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

// With y growing southward, a positive cross product puts `p` to the right
// of a to b as seen on a map, the sea's side.
double cross(const WorldPoint& a, const WorldPoint& b, const WorldPoint& p)
{
    return (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x);
}

struct Segment {
    WorldPoint a;
    WorldPoint b;
};

struct Nearest {
    const Segment* segment = nullptr;
    double distance = std::numeric_limits<double>::infinity();
};

Nearest nearestSegment(const std::vector<Segment>& segments, const WorldPoint& point)
{
    Nearest nearest;
    for (const Segment& segment : segments) {
        const double distance = distanceToSegment(point, segment.a, segment.b);
        if (distance < nearest.distance) {
            nearest = {&segment, distance};
        }
    }
    return nearest;
}

bool onBoxEdge(const WorldPoint& p, const WorldPoint& q, const Envelope& box)
{
    constexpr double tolerance = 1e-6;
    const auto same = [](double u, double v) { return std::abs(u - v) < tolerance; };
    return (same(p.x, box.minX) && same(q.x, box.minX)) || (same(p.x, box.maxX) && same(q.x, box.maxX)) ||
           (same(p.y, box.minY) && same(q.y, box.minY)) || (same(p.y, box.maxY) && same(q.y, box.maxY));
}

double signedArea(const WorldPath& ring)
{
    double area = 0;
    for (std::size_t i = 0; i + 1 < ring.size(); ++i) {
        area += ring[i].x * ring[i + 1].y - ring[i + 1].x * ring[i].y;
    }
    return area / 2;
}

// Whether a face lies on the sea's side: found from one of its edges that is
// a piece of coastline, whose direction the face's ring runs along or
// against. A face without such an edge takes the side of the nearest one.
bool isSea(const std::vector<WorldPath>& face, const std::vector<Segment>& segments, const Envelope& box)
{
    for (std::size_t r = 0; r < face.size(); ++r) {
        const WorldPath& ring = face[r];
        for (std::size_t i = 0; i + 1 < ring.size(); ++i) {
            if (onBoxEdge(ring[i], ring[i + 1], box)) {
                continue;
            }
            const WorldPoint middle{(ring[i].x + ring[i + 1].x) / 2, (ring[i].y + ring[i + 1].y) / 2};
            const Nearest nearest = nearestSegment(segments, middle);
            if (nearest.segment == nullptr || nearest.distance > 1e-3) {
                continue;
            }
            const Segment& coast = *nearest.segment;
            const bool along = (ring[i + 1].x - ring[i].x) * (coast.b.x - coast.a.x) +
                                   (ring[i + 1].y - ring[i].y) * (coast.b.y - coast.a.y) >
                               0;
            // y grows southward: a negative area runs anticlockwise on the
            // map, with the inside on the left. Holes have the face outside.
            const bool faceOnLeft = (signedArea(ring) < 0) == (r == 0);
            return faceOnLeft != along;
        }
    }
    const WorldPoint inner = face.front().front();
    const Nearest nearest = nearestSegment(segments, inner);
    return nearest.segment != nullptr && cross(nearest.segment->a, nearest.segment->b, inner) > 0;
}

} // namespace

Sea seaWithin(const std::vector<CoastWay>& ways, const Envelope& box)
{
    Sea sea{WorldGeometry{Shape::Polygon, {}}, {}};
    const std::vector<Chain> chains = chainsOf(ways);
    WorldGeometry lines{Shape::Line, {}};
    std::vector<Segment> segments;
    for (const Chain& chain : chains) {
        if (!chain.closed() && (inside(chain.path.front(), box) || inside(chain.path.back(), box))) {
            sea.problems.push_back(describe(chain));
        }
        lines.components.push_back({chain.path});
        for (std::size_t i = 0; i + 1 < chain.path.size(); ++i) {
            segments.push_back({chain.path[i], chain.path[i + 1]});
        }
    }
    if (!sea.problems.empty() || segments.empty()) {
        return sea;
    }
    const WorldPath boxRing{
        {box.minX, box.minY}, {box.maxX, box.minY}, {box.maxX, box.maxY}, {box.minX, box.maxY}, {box.minX, box.minY}};
    const GeometryPtr area = toGeos(WorldGeometry{Shape::Polygon, {{boxRing}}});
    const GeometryPtr coast = toGeos(lines);
    const GeometryPtr clipped = checked(GEOSIntersection_r(geosContext(), coast.get(), area.get()), "clip the coast");
    const GeometryPtr edge = checked(GEOSBoundary_r(geosContext(), area.get()), "take the box's edge");
    const GeometryPtr noded = checked(GEOSUnion_r(geosContext(), clipped.get(), edge.get()), "node the coast");
    const GEOSGeometry* pieces[] = {noded.get()};
    const GeometryPtr faces = checked(GEOSPolygonize_r(geosContext(), pieces, 1), "cut the box into faces");
    const WorldGeometry all = fromGeos(faces.get(), Shape::Polygon);
    for (const std::vector<WorldPath>& face : all.components) {
        if (isSea(face, segments, box)) {
            sea.water.components.push_back(face);
        }
    }
    return sea;
}

} // namespace tilepack
