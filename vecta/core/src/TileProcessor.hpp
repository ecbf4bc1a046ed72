#pragma once

#include <cstdint>
#include <cstring>
#include <limits>

#include "platform/Assert.hpp"
#include "vecta/Buffer.hpp"
#include "vecta/Geometry.hpp"
#include "vecta/TileTranscoder.hpp"

namespace vecta {

// Writes one feature's rings and lines as segments, thinning as it goes and
// merging holes into the polygon segment they belong to.
class TileProcessor {
public:
    TileProcessor(BufferWriter& destination, std::uint32_t styleId) : writer(destination), style_id(styleId) {}

    // Starts the next feature, drawn with `styleId`.
    void feature(std::uint32_t styleId)
    {
        style_id = styleId;
        previousSlot = nullptr;
    }

    // Opens a part with its first point, which lies within 16 bits; one room
    // check for the header and the point. `ring`: the part is a polygon
    // ring, which keeps its first three points.
    void begin(bool ring, Point first)
    {
        if (writer.hasDiscarded()) {
            return;
        }
        if (writer.remaining() < sizeof(SegmentHeader) + 2 * sizeof(float) || !isWordAligned(writer.current)) {
            writer.discarded = true;
            return;
        }
        header = reinterpret_cast<std::uint32_t*>(writer.current);
        const float coordinates[2] = {static_cast<float>(first.x), static_cast<float>(first.y)};
        std::memcpy(writer.current + sizeof(SegmentHeader), coordinates, sizeof coordinates);
        writer.current += sizeof(SegmentHeader) + sizeof coordinates;
        const auto x = static_cast<std::int16_t>(first.x);
        const auto y = static_cast<std::int16_t>(first.y);
        box = BoundingBox{x, y, x, y};
        count = 1;
        // Three points keep a ring's area however small it is thinned.
        leadingKept = ring ? 3 : 1;
        last = first;
        beforeLast = first; // not read before the next point replaces it
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
    // they can go through appendRun() without the checks of point().
    Point lastStored() const { return last; }
    bool fits(std::uint32_t points) const
    {
        return !writer.hasDiscarded() && points <= writer.remaining() / (2 * sizeof(float)) &&
               count + points <= std::numeric_limits<std::uint16_t>::max();
    }
    // Appends up to `points` points, each from `next(previous, point)`,
    // which returns false to stop the run; `previous` is the point before,
    // the last one appended. fits(points) must hold and `Ring` must be what
    // begin() was given. False when a point lies beyond 16 bits: the segment
    // is then unusable. The hot loop of transcoding: the per-point state is
    // held in locals, which the writes into the buffer cannot touch, and the
    // steps are those of point().
    template <bool Ring, typename Next> bool appendRun(std::uint32_t points, Next&& next)
    {
        return run<Ring>(writer.current, count, last, beforeLast, BoundingBox(box), points, next);
    }
    // Whether a part of a first point and `points` more fits whatever the
    // thinning, header included, so that it can go through appendPart().
    bool fitsPart(std::uint32_t points) const
    {
        return !writer.hasDiscarded() && isWordAligned(writer.current) &&
               writer.remaining() >= sizeof(SegmentHeader) + 2 * sizeof(float) &&
               points <= (writer.remaining() - sizeof(SegmentHeader) - 2 * sizeof(float)) / (2 * sizeof(float)) &&
               points < std::numeric_limits<std::uint16_t>::max();
    }
    // begin(Ring, first) and appendRun(points, next) in one, without storing
    // the state between them. fitsPart(points) must hold.
    template <bool Ring, typename Next> bool appendPart(Point first, std::uint32_t points, Next&& next)
    {
        header = reinterpret_cast<std::uint32_t*>(writer.current);
        leadingKept = Ring ? 3 : 1;
        const float coordinates[2] = {static_cast<float>(first.x), static_cast<float>(first.y)};
        std::memcpy(writer.current + sizeof(SegmentHeader), coordinates, sizeof coordinates);
        const auto x = static_cast<std::int16_t>(first.x);
        const auto y = static_cast<std::int16_t>(first.y);
        return run<Ring>(writer.current + sizeof(SegmentHeader) + sizeof coordinates, 1, first, first,
                         BoundingBox{x, y, x, y}, points, next);
    }
    // Once per line part and ring, so kept inline.
    void end_line()
    {
        if (writer.hasDiscarded() || !writeCommands(count, false)) {
            return;
        }
        writer.pad();
        if (!writer.hasDiscarded()) {
            writeHeader(currentHeader(0, LineString));
        }
    }
    void end_polygon()
    {
        if (writer.hasDiscarded()) {
            return;
        }
        std::uint8_t* commands = writer.current;
        if (!writeCommands(count, true)) {
            return;
        }
        previousHeader = currentHeader(1, Polygon);
        previousSlot = header;
        previousCommands = commands;
        writer.pad();
        if (!writer.hasDiscarded()) {
            writeHeader(previousHeader);
        }
    }
    void end_interior();

    // Rings a polygon segment can carry: close_count is 8 bits.
    static constexpr std::uint8_t maxRings = 255;

private:
    // The loop of appendRun() and appendPart(), from the state given.
    template <bool Ring, typename Next>
    bool run(std::uint8_t* out, std::uint32_t kept, Point lastPoint, Point keptBefore, BoundingBox from,
             std::uint32_t points, Next&& next)
    {
        constexpr std::uint32_t leading = Ring ? 3 : 1;
        std::int32_t minX = from.minX;
        std::int32_t minY = from.minY;
        std::int32_t maxX = from.maxX;
        std::int32_t maxY = from.maxY;
        for (std::uint32_t n = points; n > 0; --n) {
            Point p{};
            if (!next(lastPoint, p)) {
                break;
            }
            // Without branches: whether a point is thinned follows the data,
            // which no branch predictor does.
            const bool thinned = kept > leading && isNear(lastPoint, keptBefore) && isNear(p, keptBefore);
            out -= thinned ? 2 * sizeof(float) : 0;
            kept -= thinned ? 1 : 0;
            keptBefore = thinned ? keptBefore : lastPoint;
            const float px = static_cast<float>(p.x);
            const float py = static_cast<float>(p.y);
            std::memcpy(out, &px, sizeof px);
            std::memcpy(out + sizeof px, &py, sizeof py);
            out += 2 * sizeof(float);
            lastPoint = p;
            ++kept;
            minX = p.x < minX ? p.x : minX;
            minY = p.y < minY ? p.y : minY;
            maxX = p.x > maxX ? p.x : maxX;
            maxY = p.y > maxY ? p.y : maxY;
        }
        writer.current = out;
        count = static_cast<std::uint16_t>(kept);
        last = lastPoint;
        beforeLast = keptBefore;
        // One check for the whole run: the box holds every point.
        if (minX < std::numeric_limits<std::int16_t>::min() || minY < std::numeric_limits<std::int16_t>::min() ||
            maxX > std::numeric_limits<std::int16_t>::max() || maxY > std::numeric_limits<std::int16_t>::max()) {
            return false;
        }
        box = BoundingBox{static_cast<std::int16_t>(minX), static_cast<std::int16_t>(minY),
                          static_cast<std::int16_t>(maxX), static_cast<std::int16_t>(maxY)};
        return true;
    }
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
    // Without branches, and defined for any 32-bit points: the differences
    // wrap, and their squares count only when both are small.
    static bool isNear(const Point& a, const Point& b)
    {
        constexpr std::uint32_t limit = TileTranscoder::thinningDistance;
        const std::uint32_t dx = static_cast<std::uint32_t>(a.x) - static_cast<std::uint32_t>(b.x);
        const std::uint32_t dy = static_cast<std::uint32_t>(a.y) - static_cast<std::uint32_t>(b.y);
        const bool small = (dx + limit < 2 * limit) & (dy + limit < 2 * limit);
        return small & (dx * dx + dy * dy < limit * limit);
    }

    // A move-to, a line-to per further point and, for rings, a close-path:
    // one room check for all of them.
    bool writeCommands(std::uint16_t pointCount, bool closed)
    {
        VECTA_ASSERT(pointCount > 0);
        std::uint8_t* commands = writer.current;
        const unsigned int bytes = pointCount + (closed ? 1u : 0u);
        // Short runs, the most, are written eight bytes at a time where the
        // buffer has room beyond them; what lies past them is padding or
        // written next.
        constexpr std::uint64_t lineTos = 0x0101010101010101u * LineTo;
        if (bytes <= 16 && !writer.hasDiscarded() && writer.remaining() >= 16) {
            std::memcpy(commands, &lineTos, sizeof lineTos);
            std::memcpy(commands + 8, &lineTos, sizeof lineTos);
            writer.current += bytes;
        } else if (!writer.fill(LineTo, bytes)) {
            return false;
        }
        commands[0] = MoveTo;
        if (closed) {
            commands[bytes - 1] = ClosePath;
        }
        return true;
    }
    // Into the slot begin() reserved, which the writer has kept since.
    void writeHeader(const SegmentHeader& segment) { std::memcpy(header, &segment, sizeof segment); }
    SegmentHeader currentHeader(std::uint8_t closeCount, GeometryType pathStyle) const
    {
        return SegmentHeader{style_id, count, closeCount, pathStyle, box};
    }
    void dropCurrentSegment();

    BufferWriter& writer;
    std::uint32_t style_id;
    std::uint32_t* header = nullptr; // the current segment's, reserved by begin()
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
