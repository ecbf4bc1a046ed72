#pragma once

#include <cstdint>
#include <cstring>
#include <limits>

#include "vecta/Assert.hpp"
#include "vecta/Buffer.hpp"
#include "vecta/Geometry.hpp"
#include "vecta/TileTranscoder.hpp"

namespace vecta {

// Writes one feature's rings and lines as segments, thinning as it goes and
// merging holes into the polygon segment they belong to.
class TileProcessor {
public:
    TileProcessor(BufferWriter& destination, std::uint32_t styleId);

    // `ring`: the part is a polygon ring, which keeps its first three points.
    void begin(bool ring)
    {
        if (writer.hasDiscarded()) {
            return;
        }
        header = writer.reserveHeader();
        box = BoundingBox{};
        count = 0;
        // Three points keep a ring's area however small it is thinned.
        leadingKept = ring ? 3 : 1;
    }
    // Runs for every point of every drawn feature, so it is kept inline.
    void point(std::int32_t x, std::int32_t y)
    {
        if (writer.hasDiscarded()) {
            return;
        }
        const Point next{x, y};
        const bool thinned = thinLast(next);
        // A point that does not fit whole loses the feature, as a half-written
        // one would; point_count cannot hold more than 65535.
        if (count == std::numeric_limits<std::uint16_t>::max() || writer.remaining() < 2 * sizeof(float)) {
            writer.discarded = true;
            return;
        }
        store(x, y, thinned);
    }
    // Whether the next `points` points fit whatever the thinning, so that
    // they can go through appendPoint() without the checks of point().
    bool fits(std::uint32_t points) const
    {
        return !writer.hasDiscarded() && points <= writer.remaining() / (2 * sizeof(float)) &&
               count + points <= std::numeric_limits<std::uint16_t>::max();
    }
    void appendPoint(std::int32_t x, std::int32_t y)
    {
        const Point next{x, y};
        store(x, y, thinLast(next));
    }
    void end_line();
    void end_polygon();
    void end_interior();

    // Rings a polygon segment can carry: close_count is 8 bits.
    static constexpr std::uint8_t maxRings = 255;

private:
    // The last point gives way only when both it and the new one are near
    // the point kept before it: every dropped point then lies within the
    // thinning distance of a kept one, so curves keep their shape.
    bool thinLast(const Point& next)
    {
        const bool thinned = count > leadingKept && isNear(last, beforeLast) && isNear(next, beforeLast);
        if (thinned) {
            writer.current -= 2 * sizeof(float); // the last point, written after the first ones
            --count;
        }
        return thinned;
    }
    void store(std::int32_t x, std::int32_t y, bool thinned)
    {
        VECTA_ASSERT(x >= std::numeric_limits<std::int16_t>::min() && x <= std::numeric_limits<std::int16_t>::max());
        VECTA_ASSERT(y >= std::numeric_limits<std::int16_t>::min() && y <= std::numeric_limits<std::int16_t>::max());
        const float coordinates[2] = {static_cast<float>(x), static_cast<float>(y)};
        std::memcpy(writer.current, coordinates, sizeof coordinates);
        writer.current += sizeof coordinates;
        if (!thinned) {
            beforeLast = last;
        }
        last = Point{x, y};
        ++count;
        box.include(static_cast<std::int16_t>(x), static_cast<std::int16_t>(y));
    }
    static bool isNear(const Point& a, const Point& b)
    {
        const std::int64_t dx = std::int64_t{a.x} - b.x;
        const std::int64_t dy = std::int64_t{a.y} - b.y;
        return dx * dx + dy * dy < std::int64_t{TileTranscoder::thinningDistance} * TileTranscoder::thinningDistance;
    }

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
