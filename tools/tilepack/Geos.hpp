#pragma once

// Thin ownership helpers over the GEOS C API. Every thread gets its own
// context; a geometry is only ever touched by one thread at a time.

#include <memory>
#include <vector>

#include <geos_c.h>

namespace tilepack {

GEOSContextHandle_t geosContext();

struct GeometryDeleter {
    void operator()(GEOSGeometry* geometry) const;
};
using GeometryPtr = std::unique_ptr<GEOSGeometry, GeometryDeleter>;

struct WorldPoint {
    double x;
    double y;
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

// Takes ownership of a GEOS result; throws when GEOS reported a failure.
GeometryPtr checked(GEOSGeometry* result, const char* operation);

GeometryPtr makePoint(WorldPoint point);
GeometryPtr makeLineString(const std::vector<WorldPoint>& points);
// First ring the shell, the others holes. Rings are closed here if needed.
GeometryPtr makePolygon(const std::vector<std::vector<WorldPoint>>& rings);
GeometryPtr makeCollection(int type, std::vector<GeometryPtr> parts);

Envelope envelopeOf(const GEOSGeometry* geometry);
std::vector<WorldPoint> pointsOf(const GEOSGeometry* simpleGeometry);

} // namespace tilepack
