#pragma once

#include <cstdint>

#include "vecta/Buffer.hpp"
#include "vecta/MapStyle.hpp"
#include "vecta/MemoryArena.hpp"

namespace vecta {

// Turns one encoded vector tile into a segment buffer for one zoom level:
// only what the style draws there, thinned, as float GPU paths with holes
// folded into their outer ring.
class TileTranscoder {
public:
    explicit TileTranscoder(const MapStyle& mapStyle = getMapStyle());
    TileTranscoder(const TileTranscoder&) = delete;
    TileTranscoder& operator=(const TileTranscoder&) = delete;

    // Returns the bytes of segment buffer now in `writer`. A damaged tile
    // (bytes that do not decode, invalid geometry, tables larger than the
    // arena) gives 0 bytes, leaves `writer` as it was and is counted.
    unsigned int decode(const char* data, unsigned int size, unsigned char zoom, BufferWriter& writer);

    // The tiles decode() found damaged so far.
    std::uint32_t damagedTiles() const { return damagedCount; }

    // The next segment of a segment buffer, or none at its end. Once per
    // segment drawn, so kept inline.
    static Segment readNextSegment(BufferReader& reader)
    {
        if (reader.remaining() < sizeof(SegmentHeader) || !isWordAligned(reader.current)) {
            return Segment{};
        }
        const auto* header = reinterpret_cast<const SegmentHeader*>(reader.current);
        reader.current += sizeof(SegmentHeader);
        const BufferReader payload = reader.take(9u * header->point_count + header->close_count);
        reader.realign();
        return Segment{header, payload};
    }

    static constexpr std::uint32_t arenaSize = 8192;
    // Points closer than this (tile units, about 1/128 of a tile) are thinned.
    static constexpr std::int32_t thinningDistance = 32;

private:
    const MapStyle* style;
    alignas(8) std::uint8_t arenaStorage[arenaSize];
    MemoryArena arena;
    std::uint32_t damagedCount = 0;
};

} // namespace vecta
