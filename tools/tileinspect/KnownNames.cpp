#include "tileinspect/KnownNames.hpp"

#include <cstdio>

#include "vecta/StringHash.hpp"

namespace {

constexpr const char* knownNames[] = {
    // layers
    "water", "road", "landuse", "place_label", "waterway", "landuse_overlay", "building", "housenum_label", "aeroway",
    "background", "landcover", "hillshade", "contour", "barrier_line",
    // classes
    "default", "street", "service", "tertiary", "path", "secondary", "track", "primary", "motorway", "ferry",
    "pedestrian", "trunk", "street_limited", "major_rail", "motorway_link", "minor_rail", "trunk_link", "construction",
    "link", "grass", "wood", "park", "scrub", "industrial", "pitch", "school", "cemetery", "sand", "hospital",
    "residential", "glacier", "crop", "snow", "ditch", "river", "stream", "canal", "drain", "stream_intermittent",
    "wetland", "national_park", "wetland_noveg", "land", "hedge", "fence"};

} // namespace

std::string nameOf(std::uint32_t hash)
{
    for (const char* name : knownNames) {
        if (vecta::stringHash(name) == hash) {
            return name;
        }
    }
    char hex[16];
    std::snprintf(hex, sizeof hex, "#%08X", hash);
    return hex;
}
