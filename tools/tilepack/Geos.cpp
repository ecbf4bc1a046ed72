#include "Geos.hpp"

#include <cstdarg>
#include <cstdio>
#include <stdexcept>
#include <string>

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

GEOSCoordSequence* sequenceOf(const std::vector<WorldPoint>& points)
{
    static_assert(sizeof(WorldPoint) == 2 * sizeof(double));
    GEOSCoordSequence* sequence = GEOSCoordSeq_copyFromBuffer_r(
        geosContext(), reinterpret_cast<const double*>(points.data()), static_cast<unsigned int>(points.size()), 0, 0);
    if (sequence == nullptr) {
        throw std::runtime_error("GEOS cannot make a coordinate sequence: " + lastGeosError);
    }
    return sequence;
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
        throw std::runtime_error(std::string("GEOS ") + operation + " failed: " + lastGeosError);
    }
    return GeometryPtr(result);
}

GeometryPtr makePoint(WorldPoint point)
{
    return checked(GEOSGeom_createPointFromXY_r(geosContext(), point.x, point.y), "point");
}

GeometryPtr makeLineString(const std::vector<WorldPoint>& points)
{
    return checked(GEOSGeom_createLineString_r(geosContext(), sequenceOf(points)), "line string");
}

GeometryPtr makePolygon(const std::vector<std::vector<WorldPoint>>& rings)
{
    std::vector<GEOSGeometry*> made;
    for (std::vector<WorldPoint> ring : rings) {
        if (ring.front().x != ring.back().x || ring.front().y != ring.back().y) {
            ring.push_back(ring.front());
        }
        GEOSGeometry* linearRing = GEOSGeom_createLinearRing_r(geosContext(), sequenceOf(ring));
        if (linearRing == nullptr) {
            for (GEOSGeometry* done : made) {
                GEOSGeom_destroy_r(geosContext(), done);
            }
            throw std::runtime_error("GEOS cannot make a ring: " + lastGeosError);
        }
        made.push_back(linearRing);
    }
    return checked(
        GEOSGeom_createPolygon_r(geosContext(), made[0], made.data() + 1, static_cast<unsigned int>(made.size() - 1)),
        "polygon");
}

GeometryPtr makeCollection(int type, std::vector<GeometryPtr> parts)
{
    std::vector<GEOSGeometry*> raw;
    raw.reserve(parts.size());
    for (GeometryPtr& part : parts) {
        raw.push_back(part.release());
    }
    return checked(GEOSGeom_createCollection_r(geosContext(), type, raw.data(), static_cast<unsigned int>(raw.size())),
                   "collection");
}

Envelope envelopeOf(const GEOSGeometry* geometry)
{
    Envelope box;
    GEOSGeom_getExtent_r(geosContext(), geometry, &box.minX, &box.minY, &box.maxX, &box.maxY);
    return box;
}

std::vector<WorldPoint> pointsOf(const GEOSGeometry* simpleGeometry)
{
    const GEOSCoordSequence* sequence = GEOSGeom_getCoordSeq_r(geosContext(), simpleGeometry);
    unsigned int size = 0;
    if (sequence == nullptr || GEOSCoordSeq_getSize_r(geosContext(), sequence, &size) == 0) {
        throw std::runtime_error("GEOS cannot read coordinates: " + lastGeosError);
    }
    std::vector<WorldPoint> points(size);
    if (size > 0 &&
        GEOSCoordSeq_copyToBuffer_r(geosContext(), sequence, reinterpret_cast<double*>(points.data()), 0, 0) == 0) {
        throw std::runtime_error("GEOS cannot copy coordinates: " + lastGeosError);
    }
    return points;
}

} // namespace tilepack
