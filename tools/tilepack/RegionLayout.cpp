#include "tilepack/RegionLayout.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <stdexcept>

#include "sim/ImageTrailer.hpp"
#include "tilepack/MvtWriter.hpp"
#include "tilepack/SourceData.hpp"

namespace tilepack {

namespace {

std::uint32_t tileIndex(double world, std::uint8_t zoom)
{
    const double tileWorld = worldSize / static_cast<double>(1u << zoom);
    const double last = static_cast<double>(1u << zoom) - 1;
    return static_cast<std::uint32_t>(std::clamp(std::floor(world / tileWorld), 0.0, last));
}

GeoBox unprojected(const Envelope& world)
{
    const auto longitude = [](double x) { return x / worldSize * 360.0 - 180.0; };
    const auto latitude = [](double y) {
        return std::atan(std::sinh(std::numbers::pi * (1.0 - 2.0 * y / worldSize))) * 180.0 / std::numbers::pi;
    };
    return GeoBox{longitude(world.minX), latitude(world.maxY), longitude(world.maxX), latitude(world.minY)};
}

std::string megabytes(std::uint64_t bytes)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f MiB", static_cast<double>(bytes) / (1 << 20));
    return text;
}

std::string tooLarge(const GeoBox& box, std::uint64_t tiles, const std::string& bytes, const std::string& fitting)
{
    return "the region " + describeBox(box) + " takes " + std::to_string(tiles) + " tiles and " + bytes +
           ", more than the " + megabytes(collectionLimitBytes) +
           " the board's external flash holds for the collection; " + fitting;
}

} // namespace

std::string describeBox(const GeoBox& box)
{
    char text[128];
    std::snprintf(text, sizeof text, "%.5f,%.5f,%.5f,%.5f", box.west, box.south, box.east, box.north);
    return text;
}

CollectionLayout layoutFor(const GeoBox& box)
{
    const Envelope world = worldEnvelope(box);
    CollectionLayout layout{};
    for (std::uint8_t zoom = firstZoom; zoom <= lastZoom; ++zoom) {
        layout.ranges[zoom - firstZoom] = ZoomRange{zoom, tileIndex(world.minX, zoom), tileIndex(world.maxX, zoom),
                                                    tileIndex(world.minY, zoom), tileIndex(world.maxY, zoom)};
    }
    return layout;
}

GeoBox coveredBox(const CollectionLayout& layout)
{
    const ZoomRange& range = layout.ranges.back();
    const double tileWorld = worldSize / static_cast<double>(1u << range.zoom);
    return unprojected(Envelope{range.minX * tileWorld, range.minY * tileWorld, (range.maxX + 1.0) * tileWorld,
                                (range.maxY + 1.0) * tileWorld});
}

std::uint64_t leastImageBytes(const CollectionLayout& layout)
{
    const std::uint64_t emptyTile = (MvtWriter{}.encode().size() + 3) & ~std::uint64_t{3};
    std::uint64_t bytes = layout.ranges.size() * 4 + sim::imageTrailerBytes;
    for (const ZoomRange& range : layout.ranges) {
        bytes += 24 + std::uint64_t{8} * range.count();
    }
    return bytes + emptyTile * layout.storedTileCount();
}

GeoBox shrunk(const GeoBox& box, double factor)
{
    const Envelope world = worldEnvelope(box);
    const double centreX = (world.minX + world.maxX) / 2;
    const double centreY = (world.minY + world.maxY) / 2;
    const double halfWidth = (world.maxX - world.minX) / 2 * factor;
    const double halfHeight = (world.maxY - world.minY) / 2 * factor;
    return unprojected(Envelope{centreX - halfWidth, centreY - halfHeight, centreX + halfWidth, centreY + halfHeight});
}

void checkRegionFits(const GeoBox& box)
{
    const CollectionLayout layout = layoutFor(box);
    const std::uint64_t least = leastImageBytes(layout);
    if (least <= collectionLimitBytes) {
        return;
    }
    double low = 0;
    double high = 1;
    for (int step = 0; step < 40; ++step) {
        const double middle = (low + high) / 2;
        (leastImageBytes(layoutFor(shrunk(box, middle))) <= collectionLimitBytes ? low : high) = middle;
    }
    // Empty tiles give a bound: no larger box about the centre can fit.
    throw std::runtime_error(tooLarge(box, layout.tileCount(), "at least " + megabytes(least),
                                      "a box about its centre must lie within " + describeBox(shrunk(box, low))));
}

void checkImageFits(const GeoBox& box, std::uint64_t tiles, std::uint64_t imageBytes)
{
    if (imageBytes <= collectionLimitBytes) {
        return;
    }
    // Bytes grow about with the area, and so with the square of the side.
    const double factor = std::sqrt(static_cast<double>(collectionLimitBytes) / static_cast<double>(imageBytes));
    throw std::runtime_error(
        tooLarge(box, tiles, megabytes(imageBytes),
                 "a box about its centre of about " + describeBox(shrunk(box, factor * 0.95)) + " should fit"));
}

} // namespace tilepack
