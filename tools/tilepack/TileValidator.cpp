#include "TileValidator.hpp"

#include <stdexcept>

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

} // namespace

TileValidator::TileValidator() : slot(cacheSlotBytes / sizeof(std::uint32_t)), whole(wholeBufferWords)
{
}

TileCheck TileValidator::check(const std::string& tile, std::uint8_t zoom)
{
    TileCheck result;
    alignas(8) static thread_local std::uint8_t arenaStorage[vecta::TileTranscoder::arenaSize];
    vecta::MemoryArena arena{arenaStorage, sizeof arenaStorage, 0};
    vecta::VectorTile reader(tile.data(), static_cast<unsigned int>(tile.size()), &arena);
    for (vecta::Layer layer = reader.nextLayer(); layer.isValid(); layer = reader.nextLayer()) {
        unsigned int& features = result.featuresPerLayer[layer.nameHash];
        for (vecta::Feature feature = layer.nextFeature(); feature.isValid(); feature = layer.nextFeature()) {
            // Reading every property builds the layer's tables, as drawing would.
            for (vecta::Property property = feature.nextProperty(); !property.isEnd();
                 property = feature.nextProperty()) {}
            ++features;
        }
    }
    const Transcoded inSlot = transcode(transcoder, tile, zoom, slot);
    const Transcoded inWhole = transcode(transcoder, tile, zoom, whole);
    result.slotBytes = inSlot.bytes;
    result.slotSegments = inSlot.segments;
    result.wholeBytes = inWhole.bytes;
    result.wholeSegments = inWhole.segments;
    if (inWhole.bytes + cacheSlotBytes > whole.size() * sizeof(std::uint32_t)) {
        throw std::runtime_error("a tile transcodes to more than the tool can measure");
    }
    return result;
}

} // namespace tilepack
