#pragma once

// The tile rectangles of a region and whether its image fits the board.

#include <cstdint>
#include <string>

#include "tilepack/CollectionTable.hpp"
#include "tilepack/GeoBox.hpp"

namespace tilepack {

// The board's external flash (128 MiB) holds the collection and, after it,
// the images and fonts; these take well under the 16 MiB kept for them.
constexpr std::uint64_t externalFlashBytes = std::uint64_t{128} << 20;
constexpr std::uint64_t resourceReserveBytes = std::uint64_t{16} << 20;
constexpr std::uint64_t collectionLimitBytes = externalFlashBytes - resourceReserveBytes;

// Each zoom level's rectangle of the tiles that `box` touches.
CollectionLayout layoutFor(const GeoBox& box);

// The area the last zoom level's tiles of `layout` cover.
GeoBox coveredBox(const CollectionLayout& layout);

// What an image of `layout` takes at the least: its tables, trailer and an
// empty tile for every stored tile.
std::uint64_t leastImageBytes(const CollectionLayout& layout);

// `box` scaled about its centre by `factor` in world units.
GeoBox shrunk(const GeoBox& box, double factor);

// Throws, before anything is built, when even the least image of `box`
// exceeds the limit, naming its tiles and bytes and the box about its
// centre that a region must lie within to fit.
void checkRegionFits(const GeoBox& box);

// Throws when a built image of `imageBytes` exceeds the limit, naming the
// box about the centre that should fit, estimated by area.
void checkImageFits(const GeoBox& box, std::uint64_t tiles, std::uint64_t imageBytes);

std::string describeBox(const GeoBox& box);

} // namespace tilepack
