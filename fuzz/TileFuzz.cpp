// Feeds arbitrary bytes to the tile reader and transcoder. Damaged bytes end
// the tile; what must never happen is an assertion, or a read or write
// outside the tile or the slot.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "vecta/TileTranscoder.hpp"
#include "vecta/VectorTile.hpp"

namespace {

constexpr unsigned int slotBytes = 71680;

void walkReader(const char* data, unsigned int size)
{
    alignas(8) static std::uint8_t storage[8192];
    vecta::MemoryArena arena{storage, sizeof storage, 0};
    vecta::VectorTile tile(data, size, &arena);
    for (vecta::Layer layer = tile.nextLayer(); layer.isValid(); layer = tile.nextLayer()) {
        for (vecta::Feature feature = layer.nextFeature(); feature.isValid(); feature = layer.nextFeature()) {
            while (!feature.nextProperty().isEnd()) {}
            std::uint32_t value = 0;
            for (int i = 0; i < 4096 && feature.geometryCursor.bytes_left > 0; ++i) {
                if (!feature.nextValue(value)) {
                    break;
                }
            }
        }
    }
}

void transcodeAndRead(const char* data, unsigned int size, unsigned char zoom)
{
    static vecta::TileTranscoder transcoder;
    static std::vector<std::uint32_t> slot(slotBytes / 4);
    vecta::BufferWriter writer(slot.data(), slotBytes);
    writer.realign();
    const std::uint32_t damagedBefore = transcoder.damagedTiles();
    const unsigned int bytes = transcoder.decode(data, size, zoom, writer);
    // A damaged tile leaves nothing to draw.
    if (bytes > slotBytes || (transcoder.damagedTiles() != damagedBefore && bytes != 0)) {
        __builtin_trap();
    }
    vecta::BufferReader reader(slot.data(), bytes);
    for (vecta::Segment segment = vecta::TileTranscoder::readNextSegment(reader); segment.header != nullptr;
         segment = vecta::TileTranscoder::readNextSegment(reader)) {
        const vecta::SegmentHeader& header = *segment.header;
        // Every written segment is whole: its points and commands are there.
        if (segment.payload.size != 9u * header.point_count + header.close_count) {
            __builtin_trap();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto* bytes = reinterpret_cast<const char*>(data);
    const auto length = static_cast<unsigned int>(size);
    walkReader(bytes, length);
    for (const unsigned char zoom : {6, 12, 16}) {
        transcodeAndRead(bytes, length, zoom);
    }
    return 0;
}
