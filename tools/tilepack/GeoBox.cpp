#include "tilepack/GeoBox.hpp"

#include <charconv>
#include <cstdio>
#include <stdexcept>
#include <vector>

#include "tilepack/SourceData.hpp"

namespace tilepack {

namespace {

std::string text(const GeoBox& box)
{
    char out[128];
    std::snprintf(out, sizeof out, "%.6f,%.6f,%.6f,%.6f", box.west, box.south, box.east, box.north);
    return out;
}

} // namespace

void checkGeoBox(const GeoBox& box)
{
    if (box.west < -180 || box.east > 180) {
        throw std::runtime_error("the box " + text(box) + " reaches beyond longitude -180 or 180");
    }
    if (box.west >= box.east) {
        throw std::runtime_error("the box " + text(box) +
                                 " has its west edge east of its east edge: boxes that cross the antimeridian are not "
                                 "supported");
    }
    if (box.south >= box.north) {
        throw std::runtime_error("the box " + text(box) + " has its south edge north of its north edge");
    }
    if (box.south < -maxLatitude || box.north > maxLatitude) {
        throw std::runtime_error("the box " + text(box) + " reaches beyond latitude 85.0511, the projection's limit");
    }
}

GeoBox parseGeoBox(const std::string& text)
{
    std::vector<double> values;
    const char* at = text.data();
    const char* const end = text.data() + text.size();
    while (at < end && values.size() < 5) {
        double value = 0;
        const auto [next, error] = std::from_chars(at, end, value);
        if (error != std::errc{} || (next != end && *next != ',')) {
            break;
        }
        values.push_back(value);
        at = next == end ? end : next + 1;
    }
    if (values.size() != 4 || at != end || text.back() == ',') {
        throw std::runtime_error("--bbox \"" + text + "\" is not W,S,E,N: four numbers in degrees");
    }
    const GeoBox box{values[0], values[1], values[2], values[3]};
    checkGeoBox(box);
    return box;
}

Envelope worldEnvelope(const GeoBox& box)
{
    const WorldPoint northWest = project(box.west, box.north);
    const WorldPoint southEast = project(box.east, box.south);
    return Envelope{northWest.x, northWest.y, southEast.x, southEast.y};
}

} // namespace tilepack
