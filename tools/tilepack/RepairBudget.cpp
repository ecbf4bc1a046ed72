#include "tilepack/RepairBudget.hpp"

#include <algorithm>

namespace tilepack {

namespace {

// A repair with up to this many crossings per vertex is cheap; real broken
// polygons have a handful of crossings in thousands of vertices.
constexpr unsigned long crossingsPerVertex = 1;
constexpr unsigned long spareCrossings = 64;
// Edge pairs the sweep may compare per vertex before it gives up.
constexpr unsigned long comparisonsPerVertex = 512;
constexpr unsigned long spareComparisons = 1 << 20;

struct Edge {
    WorldPoint from;
    WorldPoint to;
    std::size_t ring;  // rings numbered across all components
    std::size_t index; // position within the ring
    std::size_t ringEdges;
    double minX() const { return std::min(from.x, to.x); }
    double maxX() const { return std::max(from.x, to.x); }
};

double side(const WorldPoint& a, const WorldPoint& b, const WorldPoint& c)
{
    return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

bool neighbours(const Edge& a, const Edge& b)
{
    if (a.ring != b.ring) {
        return false;
    }
    const std::size_t gap = a.index > b.index ? a.index - b.index : b.index - a.index;
    return gap <= 1 || gap + 1 == a.ringEdges;
}

bool cross(const Edge& a, const Edge& b)
{
    if (std::max(a.from.y, a.to.y) < std::min(b.from.y, b.to.y) ||
        std::max(b.from.y, b.to.y) < std::min(a.from.y, a.to.y)) {
        return false;
    }
    const double d1 = side(a.from, a.to, b.from);
    const double d2 = side(a.from, a.to, b.to);
    const double d3 = side(b.from, b.to, a.from);
    const double d4 = side(b.from, b.to, a.to);
    return ((d1 <= 0 && d2 >= 0) || (d1 >= 0 && d2 <= 0)) && ((d3 <= 0 && d4 >= 0) || (d3 >= 0 && d4 <= 0));
}

std::vector<Edge> edgesOf(const std::vector<std::vector<WorldPath>>& polygons)
{
    std::vector<Edge> edges;
    std::size_t ringNumber = 0;
    for (const std::vector<WorldPath>& rings : polygons) {
        for (const WorldPath& ring : rings) {
            const std::size_t count = ring.size();
            for (std::size_t i = 0; i < count; ++i) {
                const WorldPoint& to = ring[(i + 1) % count];
                if (to.x != ring[i].x || to.y != ring[i].y) {
                    edges.push_back(Edge{ring[i], to, ringNumber, i, count});
                }
            }
            ++ringNumber;
        }
    }
    return edges;
}

} // namespace

RepairBudget repairBudgetOf(const std::vector<std::vector<WorldPath>>& polygons)
{
    std::vector<Edge> edges = edgesOf(polygons);
    RepairBudget budget{edges.size(), true};
    const unsigned long crossingLimit = crossingsPerVertex * edges.size() + spareCrossings;
    const unsigned long comparisonLimit = comparisonsPerVertex * edges.size() + spareComparisons;
    std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.minX() < b.minX(); });
    unsigned long crossings = 0;
    unsigned long comparisons = 0;
    for (std::size_t i = 0; i < edges.size(); ++i) {
        const double reach = edges[i].maxX();
        for (std::size_t j = i + 1; j < edges.size() && edges[j].minX() <= reach; ++j) {
            if (++comparisons > comparisonLimit) {
                budget.withinBudget = false;
                return budget;
            }
            if (!neighbours(edges[i], edges[j]) && cross(edges[i], edges[j]) && ++crossings > crossingLimit) {
                budget.withinBudget = false;
                return budget;
            }
        }
    }
    return budget;
}

} // namespace tilepack
