#pragma once

// Geometry in world units as plain data. GEOS objects are made from it for
// one operation and dropped in the same thread: GEOS counts the uses of its
// geometry factories without locking, so its objects must never be shared
// between threads.

#include <vector>

namespace tilepack {

struct WorldPoint {
    double x;
    double y;
};
using WorldPath = std::vector<WorldPoint>;

enum class Shape { Point, Line, Polygon };

// Components of one shape: a point (one path of one point), a line (one
// path) or a polygon (its rings, the shell first).
struct WorldGeometry {
    Shape shape = Shape::Point;
    std::vector<std::vector<WorldPath>> components;

    bool empty() const { return components.empty(); }
};

struct Envelope {
    double minX = 0;
    double minY = 0;
    double maxX = 0;
    double maxY = 0;

    bool intersects(const Envelope& other) const
    {
        return minX <= other.maxX && other.minX <= maxX && minY <= other.maxY && other.minY <= maxY;
    }
    bool within(const Envelope& other) const
    {
        return minX >= other.minX && maxX <= other.maxX && minY >= other.minY && maxY <= other.maxY;
    }
};

// The bounding box of a geometry that is not empty.
Envelope envelopeOf(const WorldGeometry& geometry);

} // namespace tilepack
