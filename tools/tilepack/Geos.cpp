#include "tilepack/Geos.hpp"

#include <cstdarg>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

namespace tilepack {

namespace {

// GEOS reports errors through a callback; the message is kept per thread so
// that the throwing code can say what went wrong.
thread_local std::string lastGeosError;

void recordError(const char* format, ...)
{
    char text[512];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    lastGeosError = text;
}

void ignoreNotice(const char*, ...)
{
}

struct Context {
    Context() : handle(GEOS_init_r())
    {
        GEOSContext_setErrorHandler_r(handle, recordError);
        GEOSContext_setNoticeHandler_r(handle, ignoreNotice);
    }
    ~Context() { GEOS_finish_r(handle); }
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;

    GEOSContextHandle_t handle;
};

[[noreturn]] void fail(const char* what)
{
    throw std::runtime_error(std::string("GEOS cannot ") + what + ": " + lastGeosError);
}

GEOSCoordSequence* sequenceOf(const WorldPath& points)
{
    static_assert(sizeof(WorldPoint) == 2 * sizeof(double));
    GEOSCoordSequence* sequence = GEOSCoordSeq_copyFromBuffer_r(
        geosContext(), reinterpret_cast<const double*>(points.data()), static_cast<unsigned int>(points.size()), 0, 0);
    if (sequence == nullptr) {
        fail("make a coordinate sequence");
    }
    return sequence;
}

WorldPath pathOf(const GEOSGeometry* simpleGeometry)
{
    const GEOSCoordSequence* sequence = GEOSGeom_getCoordSeq_r(geosContext(), simpleGeometry);
    unsigned int size = 0;
    if (sequence == nullptr || GEOSCoordSeq_getSize_r(geosContext(), sequence, &size) == 0) {
        fail("read coordinates");
    }
    WorldPath points(size);
    if (size > 0 &&
        GEOSCoordSeq_copyToBuffer_r(geosContext(), sequence, reinterpret_cast<double*>(points.data()), 0, 0) == 0) {
        fail("copy coordinates");
    }
    return points;
}

GEOSGeometry* polygonOf(const std::vector<WorldPath>& rings)
{
    std::vector<GEOSGeometry*> made;
    for (WorldPath ring : rings) {
        if (ring.front().x != ring.back().x || ring.front().y != ring.back().y) {
            ring.push_back(ring.front());
        }
        GEOSGeometry* linearRing = GEOSGeom_createLinearRing_r(geosContext(), sequenceOf(ring));
        if (linearRing == nullptr) {
            for (GEOSGeometry* done : made) {
                GEOSGeom_destroy_r(geosContext(), done);
            }
            fail("make a ring");
        }
        made.push_back(linearRing);
    }
    return GEOSGeom_createPolygon_r(geosContext(), made[0], made.data() + 1,
                                    static_cast<unsigned int>(made.size() - 1));
}

GEOSGeometry* componentOf(Shape shape, const std::vector<WorldPath>& component)
{
    switch (shape) {
    case Shape::Point:
        return GEOSGeom_createPointFromXY_r(geosContext(), component.at(0).at(0).x, component.at(0).at(0).y);
    case Shape::Line:
        return GEOSGeom_createLineString_r(geosContext(), sequenceOf(component.at(0)));
    case Shape::Polygon:
        return polygonOf(component);
    }
    return nullptr;
}

int collectionTypeOf(Shape shape)
{
    switch (shape) {
    case Shape::Point:
        return GEOS_MULTIPOINT;
    case Shape::Line:
        return GEOS_MULTILINESTRING;
    case Shape::Polygon:
        return GEOS_MULTIPOLYGON;
    }
    return GEOS_GEOMETRYCOLLECTION;
}

void collect(const GEOSGeometry* geometry, Shape shape, WorldGeometry& out)
{
    const int type = GEOSGeomTypeId_r(geosContext(), geometry);
    if (type == GEOS_MULTIPOINT || type == GEOS_MULTILINESTRING || type == GEOS_MULTIPOLYGON ||
        type == GEOS_GEOMETRYCOLLECTION) {
        const int count = GEOSGetNumGeometries_r(geosContext(), geometry);
        for (int i = 0; i < count; ++i) {
            collect(GEOSGetGeometryN_r(geosContext(), geometry, i), shape, out);
        }
        return;
    }
    if (GEOSisEmpty_r(geosContext(), geometry) != 0) {
        return;
    }
    const bool isPoint = shape == Shape::Point && type == GEOS_POINT;
    const bool isLine = shape == Shape::Line && (type == GEOS_LINESTRING || type == GEOS_LINEARRING);
    if (isPoint || isLine) {
        out.components.push_back({pathOf(geometry)});
    } else if (shape == Shape::Polygon && type == GEOS_POLYGON) {
        std::vector<WorldPath> rings{pathOf(GEOSGetExteriorRing_r(geosContext(), geometry))};
        const int holes = GEOSGetNumInteriorRings_r(geosContext(), geometry);
        for (int i = 0; i < holes; ++i) {
            rings.push_back(pathOf(GEOSGetInteriorRingN_r(geosContext(), geometry, i)));
        }
        out.components.push_back(std::move(rings));
    }
}

} // namespace

GEOSContextHandle_t geosContext()
{
    thread_local Context context;
    return context.handle;
}

void GeometryDeleter::operator()(GEOSGeometry* geometry) const
{
    GEOSGeom_destroy_r(geosContext(), geometry);
}

GeometryPtr checked(GEOSGeometry* result, const char* operation)
{
    if (result == nullptr) {
        fail(operation);
    }
    return GeometryPtr(result);
}

GeometryPtr toGeos(const WorldGeometry& geometry)
{
    std::vector<GEOSGeometry*> parts;
    parts.reserve(geometry.components.size());
    for (const std::vector<WorldPath>& component : geometry.components) {
        GEOSGeometry* part = componentOf(geometry.shape, component);
        if (part == nullptr) {
            for (GEOSGeometry* done : parts) {
                GEOSGeom_destroy_r(geosContext(), done);
            }
            fail("make a geometry");
        }
        parts.push_back(part);
    }
    return checked(GEOSGeom_createCollection_r(geosContext(), collectionTypeOf(geometry.shape), parts.data(),
                                               static_cast<unsigned int>(parts.size())),
                   "make a collection");
}

WorldGeometry fromGeos(const GEOSGeometry* geometry, Shape shape)
{
    WorldGeometry out{shape, {}};
    collect(geometry, shape, out);
    return out;
}

} // namespace tilepack
