#include "tilepack/WorldGeometry.hpp"

#include <algorithm>
#include <limits>

namespace tilepack {

Envelope envelopeOf(const WorldGeometry& geometry)
{
    constexpr double far = std::numeric_limits<double>::max();
    Envelope box{far, far, -far, -far};
    for (const std::vector<WorldPath>& component : geometry.components) {
        for (const WorldPath& path : component) {
            for (const WorldPoint& point : path) {
                box.minX = std::min(box.minX, point.x);
                box.minY = std::min(box.minY, point.y);
                box.maxX = std::max(box.maxX, point.x);
                box.maxY = std::max(box.maxY, point.y);
            }
        }
    }
    return box;
}

} // namespace tilepack
