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
    GeometryDecoder(const pb_byte_t* geometry, std::size_t size, TileProcessor& sink);

    void decodeLine();
    void decodePolygon();

    // Set when the geometry turned out invalid: an integer that does not
    // decode, a part without its commands or parameters, a point outside the
    // 16-bit range, a hole before any outer ring. Decoding stops there.
    bool damaged = false;

private:
    enum CommandId : std::uint32_t { MoveToCommand = 1, LineToCommand = 2, ClosePathCommand = 7 };

    void fail()
    {
        damaged = true;
        left = 0;
        command = 0;
        id = 0;
        count = 0;
    }
    // False at the end of the geometry and when an integer does not decode.
    bool nextInteger(std::uint32_t& value)
    {
        if (left == 0) {
            return false;
        }
        const Varint varint = varintAt(bytes, left);
        if (varint.length == 0) {
            fail();
            return false;
        }
        bytes += varint.length;
        left -= varint.length;
        value = varint.value;
        return true;
    }
    void readCommand();
    void nextCommand();
    Point readPoint();
    bool beginPart(bool ring, Point& start);
    template <bool SumArea> std::int64_t readLineTo(Point previous);
    template <bool SumArea, bool Fits> std::int64_t readLineTo(Point previous);

    TileProcessor& processor;
    const pb_byte_t* bytes; // the unread geometry
    std::size_t left;
    std::uint32_t command = 0;
    std::uint32_t id = 0;
    std::uint32_t count = 0;
    std::int32_t x = 0;
    std::int32_t y = 0;
};

} // namespace vecta
