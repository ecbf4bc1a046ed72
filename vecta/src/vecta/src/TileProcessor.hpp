#pragma once

#include <cstdint>

#include "vecta/Buffer.hpp"
#include "vecta/Geometry.hpp"

namespace vecta {

// Writes one feature's rings and lines as segments, thinning as it goes and
// merging holes into the polygon segment they belong to.
class TileProcessor {
public:
    TileProcessor(BufferWriter& destination, std::uint32_t styleId);

    // `ring`: the part is a polygon ring, which keeps its first three points.
    void begin(bool ring);
    void point(std::int32_t x, std::int32_t y);
    void end_line();
    void end_polygon();
    void end_interior();

    // Rings a polygon segment can carry: close_count is 8 bits.
    static constexpr std::uint8_t maxRings = 255;

private:
    bool writeCommands(std::uint16_t count, bool closed);
    SegmentHeader currentHeader(std::uint8_t closeCount, GeometryType pathStyle) const;
    void dropCurrentSegment();

    BufferWriter& writer;
    std::uint32_t style_id;
    BufferWriter header;
    BoundingBox box;
    std::uint16_t count = 0;
    std::uint16_t leadingKept = 1;
    Point last{0, 0};
    Point beforeLast{0, 0};

    // The last polygon segment of this feature, which holes are merged into.
    SegmentHeader previousHeader{};
    std::uint32_t* previousSlot = nullptr;
    std::uint8_t* previousCommands = nullptr;
};

} // namespace vecta
