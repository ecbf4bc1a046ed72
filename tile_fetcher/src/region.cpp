#include "tile_fetcher/region.h"

namespace {

bool onMap(const vecta::Coordinate& point)
{
    // Every comparison with NaN is false: NaN is refused too.
    return point.latitude >= -region::largestLatitude && point.latitude <= region::largestLatitude &&
           point.longitude >= -180.0f && point.longitude <= 180.0f;
}

} // namespace

namespace region {

std::uint32_t crc32(const void* data, std::uint32_t size)
{
    // Bitwise: read once at boot, not worth a table in flash.
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::uint32_t i = 0; i < size; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

bool valid(const RegionRecord& record)
{
    if (record.tag != tag || record.version != version || record.bytes != sizeof(RegionRecord) ||
        record.crc != crc32(&record, sizeof(RegionRecord) - sizeof(record.crc))) {
        return false;
    }
    if (!(record.startScale >= smallestScale && record.startScale <= largestScale)) { // NaN too
        return false;
    }
    if (!onMap(record.start) || !onMap(record.shop) || !onMap(record.home) || !onMap(record.dogs)) {
        return false;
    }
    for (const vecta::Coordinate& point : record.route) {
        if (!onMap(point)) {
            return false;
        }
    }
    return true;
}

} // namespace region

// tilepack lays the first batch record right after `tile_collection` unless
// a region record sits there: an image whose first batch address points
// there has no record, whatever bytes follow.
const RegionRecord* region_record(RegionStatus& status)
{
    status = RegionStatus::Absent;
    const auto* firstBatch = static_cast<const std::uint32_t*>(flash_pointer(flashBaseAddress, 4));
    if (firstBatch == nullptr || *firstBatch == region::recordAddress) {
        return nullptr;
    }
    status = RegionStatus::Damaged;
    if (*firstBatch < region::recordAddress + sizeof(RegionRecord)) {
        return nullptr;
    }
    const auto* record = static_cast<const RegionRecord*>(flash_pointer(region::recordAddress, sizeof(RegionRecord)));
    if (record == nullptr || !region::valid(*record)) {
        return nullptr;
    }
    status = RegionStatus::Valid;
    return record;
}
