#pragma once

// The region record a collection image may carry right after its table of
// batch addresses: where the board starts, the pizza shop, the customer's
// home, the delivery route between them and where the dogs start. Layout
// and placement: tilepack/CollectionImage.hpp.

#include <cstdint>

#include "platform/flash.h"
#include "tile_fetcher/tilelib.h"
#include "vecta/Geometry.hpp"

struct RegionRecord {
    std::uint32_t tag;
    std::uint32_t version;
    std::uint32_t bytes; // sizeof(RegionRecord)
    vecta::Coordinate start;
    float startScale;
    vecta::Coordinate shop;
    vecta::Coordinate home;
    vecta::Coordinate dogs;
    vecta::Coordinate route[178]; // shop first, home last
    std::uint32_t crc;            // CRC-32 (zlib's) of every byte before it
};
static_assert(sizeof(vecta::Coordinate) == 8);
static_assert(sizeof(RegionRecord) == 1476);

enum class RegionStatus : std::uint8_t { Absent, Valid, Damaged };

namespace region {

constexpr std::uint32_t tag = 0x314E4752; // "RGN1" in file order
constexpr std::uint32_t version = 1;
constexpr std::uint32_t routePoints = 178;
// Right after `tile_collection`; an image without a record has its first
// batch record there.
constexpr std::uint32_t recordAddress = flashBaseAddress + tilelib::zoomLevels * 4u;
constexpr float smallestScale = 0.005f;
constexpr float largestScale = 1.5f;
constexpr float largestLatitude = 85.0511f;

std::uint32_t crc32(const void* data, std::uint32_t size);

// Whether `record`, known to lie there, checks out: tag, version, size,
// CRC, coordinates on the map and a scale the model accepts.
bool valid(const RegionRecord& record);

} // namespace region

// The flash image's region record, or null when it has none (`status`
// Absent) or a damaged one (Damaged).
const RegionRecord* region_record(RegionStatus& status);
