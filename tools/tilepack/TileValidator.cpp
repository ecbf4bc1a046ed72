#include "tilepack/TileValidator.hpp"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "tilepack/PolygonPieces.hpp"
#include "vecta/Buffer.hpp"
#include "vecta/VectorTile.hpp"

namespace tilepack {

namespace {

// Far more than any tile of the collection transcodes to.
constexpr std::size_t wholeBufferWords = 4u << 20;

struct Transcoded {
    unsigned int bytes = 0;
    unsigned int segments = 0;
};

Transcoded transcode(vecta::TileTranscoder& transcoder, const std::string& tile, std::uint8_t zoom,
                     std::vector<std::uint32_t>& buffer)
{
    vecta::BufferWriter writer(buffer.data(), static_cast<unsigned int>(buffer.size() * sizeof(std::uint32_t)));
    Transcoded result;
    result.bytes = transcoder.decode(tile.data(), static_cast<unsigned int>(tile.size()), zoom, writer);
    vecta::BufferReader reader(buffer.data(), result.bytes);
    while (vecta::TileTranscoder::readNextSegment(reader).header != nullptr) {
        ++result.segments;
    }
    return result;
}

std::int32_t zigZag(std::uint32_t value)
{
    return static_cast<std::int32_t>((value >> 1) ^ (0u - (value & 1u)));
}

// The most holes that follow one outer ring of a polygon feature, rings told
// apart by the sign of their area as the transcoder does.
std::size_t mostHolesPerPolygon(vecta::Feature& feature)
{
    std::vector<std::uint32_t> values;
    while (feature.geometryCursor.bytes_left > 0) {
        std::uint32_t value = 0;
        if (!feature.nextValue(value)) {
            throw std::runtime_error("a polygon's geometry does not decode");
        }
        values.push_back(value);
    }
    std::size_t most = 0;
    std::size_t holes = 0;
    std::int64_t x = 0;
    std::int64_t y = 0;
    std::int64_t startX = 0;
    std::int64_t startY = 0;
    std::int64_t doubleArea = 0;
    for (std::size_t i = 0; i < values.size();) {
        const std::uint32_t id = values[i] & 7u;
        const std::uint32_t count = values[i] >> 3;
        ++i;
        if (id == 7) {
            doubleArea += x * startY - startX * y;
            holes = doubleArea <= -2 ? holes + 1 : 0;
            most = std::max(most, holes);
            continue;
        }
        for (std::uint32_t n = 0; n < count && i + 1 < values.size(); ++n, i += 2) {
            const std::int64_t nextX = x + zigZag(values[i]);
            const std::int64_t nextY = y + zigZag(values[i + 1]);
            if (id == 1) {
                startX = nextX;
                startY = nextY;
                doubleArea = 0;
            } else {
                doubleArea += x * nextY - nextX * y;
            }
            x = nextX;
            y = nextY;
        }
    }
    return most;
}

} // namespace

TileValidator::TileValidator() : slot(board::cacheSlotBytes / sizeof(std::uint32_t)), whole(wholeBufferWords)
{
}

TileCheck TileValidator::check(const std::string& tile, std::uint8_t zoom)
{
    TileCheck result;
    alignas(8) static thread_local std::uint8_t arenaStorage[vecta::TileTranscoder::arenaSize];
    vecta::MemoryArena arena{arenaStorage, sizeof arenaStorage, 0};
    vecta::VectorTile reader(tile.data(), static_cast<unsigned int>(tile.size()), &arena);
    bool damaged = false;
    for (vecta::Layer layer = reader.nextLayer(); layer.isValid(); layer = reader.nextLayer()) {
        unsigned int& features = result.featuresPerLayer[layer.nameHash];
        for (vecta::Feature feature = layer.nextFeature(); feature.isValid(); feature = layer.nextFeature()) {
            // Reading every property builds the layer's tables, as drawing would.
            for (vecta::Property property = feature.nextProperty(); !property.isEnd();
                 property = feature.nextProperty()) {}
            ++features;
            // The transcoder would leave out the holes a segment cannot count.
            if (feature.type == 3 && mostHolesPerPolygon(feature) > maxHoles) {
                throw std::runtime_error("a polygon holds more than " + std::to_string(maxHoles) +
                                         " holes, more than a segment can hold");
            }
            damaged = damaged || feature.damaged;
        }
        damaged = damaged || layer.damaged;
    }
    const std::uint32_t damagedBefore = transcoder.damagedTiles();
    const Transcoded inSlot = transcode(transcoder, tile, zoom, slot);
    const Transcoded inWhole = transcode(transcoder, tile, zoom, whole);
    // The board would draw nothing of it.
    if (damaged || reader.damaged || transcoder.damagedTiles() != damagedBefore) {
        throw std::runtime_error("the tile is damaged: it does not decode or its geometry is invalid");
    }
    result.slotBytes = inSlot.bytes;
    result.slotSegments = inSlot.segments;
    result.wholeBytes = inWhole.bytes;
    result.wholeSegments = inWhole.segments;
    if (inWhole.bytes + board::cacheSlotBytes > whole.size() * sizeof(std::uint32_t)) {
        throw std::runtime_error("a tile transcodes to more than the tool can measure");
    }
    return result;
}

} // namespace tilepack
