#pragma once

#include <cstddef>
#include <cstdint>

#include <pb.h>

#include "TileProcessor.hpp"
#include "TileStream.hpp"

namespace vecta {

// Reads a feature's vector-tile command integers, in place in the tile, and
// hands the points of each line part or ring to the processor.
class GeometryDecoder {
public:
    GeometryDecoder(const pb_byte_t* geometry, std::size_t size, TileProcessor& sink)
        : processor(sink), bytes(geometry), left(size)
    {
    }

    void decodeLine();
    void decodePolygon();

    // Set when the geometry turned out invalid: an integer that does not
    // decode, a part without its commands or parameters, a point outside the
    // 16-bit range, a hole before any outer ring. Decoding stops there.
    bool damaged = false;

private:
    template <bool Polygon> void decodeParts();

    TileProcessor& processor;
    const pb_byte_t* bytes; // the geometry
    std::size_t left;
};

} // namespace vecta
