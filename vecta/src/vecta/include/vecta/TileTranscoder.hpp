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

    // Returns the bytes of segment buffer now in `writer`.
    unsigned int decode(const char* data, unsigned int size, unsigned char zoom, BufferWriter& writer);

    static Segment readNextSegment(BufferReader& reader);

    static constexpr std::uint32_t arenaSize = 8192;
    // Points closer than this (tile units, about 1/128 of a tile) are thinned.
    static constexpr std::int32_t thinningDistance = 32;

private:
    const MapStyle* style;
    alignas(8) std::uint8_t arenaStorage[arenaSize];
    MemoryArena arena;
};

} // namespace vecta
