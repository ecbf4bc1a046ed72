#include "sim/ImageIntegrity.hpp"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include <zlib.h>

#include "platform/flash.h"
#include "sim/ImageTrailer.hpp"
#include "tile_fetcher/region.h"
#include "tile_fetcher/tilelib.h"

namespace sim {

namespace {

std::uint32_t wordAt(const std::uint8_t* image, std::size_t offset)
{
    std::uint32_t value = 0;
    std::memcpy(&value, image + offset, sizeof value);
    return value;
}

std::string checkTrailer(const std::uint8_t* image, std::size_t size)
{
    if (size < imageTrailerBytes || wordAt(image, size - imageTrailerBytes) != imageTrailerTag) {
        return "no checksum at its end (not written by tilepack, or cut short)";
    }
    const std::size_t covered = size - imageTrailerBytes;
    if (wordAt(image, covered + 4) != covered) {
        return "its checksum covers " + std::to_string(wordAt(image, covered + 4)) + " bytes, the image holds " +
               std::to_string(covered);
    }
    if (wordAt(image, covered + 8) != static_cast<std::uint32_t>(crc32_z(0, image, covered))) {
        return "checksum mismatch: the image is damaged";
    }
    return {};
}

struct Level {
    std::uint32_t zoom;
    TileBatch batch;
};

TileBatch batchAt(const std::uint8_t* image, std::uint32_t address)
{
    const std::size_t at = address - flashBaseAddress;
    return TileBatch{wordAt(image, at),      wordAt(image, at + 4),  wordAt(image, at + 8),
                     wordAt(image, at + 12), wordAt(image, at + 16), wordAt(image, at + 20)};
}

// The area of `outer` (at zoom - 1) holds every tile of `inner`.
bool inside(const TileBatch& inner, const TileBatch& outer)
{
    return inner.minX / 2 >= outer.minX && inner.maxX / 2 <= outer.maxX && inner.minY / 2 >= outer.minY &&
           inner.maxY / 2 <= outer.maxY;
}

std::string checkLevels(const std::uint8_t* image)
{
    std::uint32_t previousBatch = 0;
    const Level* previous = nullptr;
    std::vector<Level> levels;
    levels.reserve(tilelib::zoomLevels);
    for (std::uint32_t level = 0; level < tilelib::zoomLevels; ++level) {
        const std::uint32_t address = wordAt(image, std::size_t{4} * level);
        const std::uint32_t zoom = tilelib::minZoom + level;
        const std::string name = "zoom " + std::to_string(zoom);
        if (address <= previousBatch) {
            return name + ": batch record at or before the one of the level below";
        }
        previousBatch = address;
        levels.push_back(Level{zoom, batchAt(image, address)});
        const TileBatch& batch = levels.back().batch;
        if (batch.tiles == 0 || batch.count == 0) {
            continue;
        }
        if (batch.tiles != address + sizeof(TileBatch)) {
            return name + ": tile list does not follow its batch record";
        }
        if (batch.maxX >= (1u << zoom) || batch.maxY >= (1u << zoom)) {
            return name + ": tile range lies outside the world";
        }
        if (previous != nullptr && previous->zoom + 1 == zoom && !inside(batch, previous->batch)) {
            return name + ": tile range lies outside the area of zoom " + std::to_string(previous->zoom);
        }
        previous = &levels.back();
    }
    return {};
}

// Every payload byte belongs to one tile.
std::string checkPayloadsApart(const std::uint8_t* image)
{
    std::vector<std::pair<std::uint32_t, std::uint32_t>> payloads;
    for (std::uint32_t level = 0; level < tilelib::zoomLevels; ++level) {
        const TileBatch batch = batchAt(image, wordAt(image, std::size_t{4} * level));
        for (std::uint32_t i = 0; batch.tiles != 0 && i < batch.count; ++i) {
            const std::size_t at = batch.tiles - flashBaseAddress + 8 * std::size_t{i};
            if (wordAt(image, at + 4) != 0) {
                payloads.emplace_back(wordAt(image, at), wordAt(image, at + 4));
            }
        }
    }
    std::sort(payloads.begin(), payloads.end());
    for (std::size_t i = 1; i < payloads.size(); ++i) {
        if (payloads[i].first < std::uint64_t{payloads[i - 1].first} + payloads[i - 1].second) {
            return "two tiles share bytes at " + std::to_string(payloads[i].first - flashBaseAddress);
        }
    }
    return {};
}

// The record the firmware reads at start-up, checked by its own rules; its
// placement is described in tilepack/CollectionImage.hpp.
std::string checkRegion(const std::uint8_t* image, std::size_t size)
{
    const std::uint32_t firstBatch = wordAt(image, 0);
    if (firstBatch == region::recordAddress) {
        return {};
    }
    const std::size_t at = region::recordAddress - flashBaseAddress;
    if (firstBatch < region::recordAddress + sizeof(RegionRecord) || size < at + sizeof(RegionRecord)) {
        return "region record cut short: the first batch record lies within it";
    }
    RegionRecord record{};
    std::memcpy(&record, image + at, sizeof record);
    if (!region::valid(record)) {
        return "region record damaged (tag, version, size, checksum or coordinates)";
    }
    return {};
}

} // namespace

std::string checkImageIntegrity(const std::uint8_t* image, std::size_t size)
{
    std::string problem = checkTrailer(image, size);
    if (problem.empty()) {
        problem = checkLevels(image);
    }
    if (problem.empty()) {
        problem = checkPayloadsApart(image);
    }
    if (problem.empty()) {
        problem = checkRegion(image, size);
    }
    return problem;
}

} // namespace sim
