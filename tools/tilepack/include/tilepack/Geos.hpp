#pragma once

// Thin ownership helpers over the GEOS C API. Every thread has its own
// context, and every GEOS object lives and dies within one thread.

#include <memory>

#include <geos_c.h>

#include "tilepack/WorldGeometry.hpp"

namespace tilepack {

GEOSContextHandle_t geosContext();

struct GeometryDeleter {
    void operator()(GEOSGeometry* geometry) const;
};
using GeometryPtr = std::unique_ptr<GEOSGeometry, GeometryDeleter>;

// Takes ownership of a GEOS result; throws when GEOS reported a failure.
GeometryPtr checked(GEOSGeometry* result, const char* operation);

// A GEOS geometry of the calling thread's context. Polygon rings are closed
// here when needed.
GeometryPtr toGeos(const WorldGeometry& geometry);
// The parts of `geometry` of the given shape, wherever GEOS nested them;
// other parts (such as lines left beside clipped areas) are left out.
WorldGeometry fromGeos(const GEOSGeometry* geometry, Shape shape);

} // namespace tilepack
