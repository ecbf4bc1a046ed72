#include "GeometryDecoder.hpp"

#include "TileStream.hpp"
#include "vecta/Assert.hpp"

namespace vecta {

namespace {

std::int32_t zigZagDecode(std::uint32_t value)
{
    return static_cast<std::int32_t>((value >> 1) ^ (0u - (value & 1u)));
}

// Wrapping add: a hostile delta must not be undefined behaviour.
std::int32_t wrappingAdd(std::int32_t a, std::int32_t b)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

// Segments store points as 16-bit values.
bool inRange(Point point)
{
    return ((static_cast<std::uint32_t>(point.x) + 0x8000u) | (static_cast<std::uint32_t>(point.y) + 0x8000u)) <
           0x10000u;
}

} // namespace

GeometryDecoder::GeometryDecoder(const pb_byte_t* geometry, std::size_t size, TileProcessor& sink)
    : processor(sink), bytes(geometry), left(size)
{
}

// At the end of the geometry the previous command stays in place, which ends
// the callers' loops.
inline void GeometryDecoder::readCommand()
{
    nextInteger(command);
    id = command & 7u;
    count = command >> 3;
}

inline void GeometryDecoder::nextCommand()
{
    VECTA_ASSERT(count == 0);
    readCommand();
}

inline Point GeometryDecoder::readPoint()
{
    // A parameter missing at the end of the geometry cannot be decoded.
    std::uint32_t dx = 0;
    std::uint32_t dy = 0;
    if (!nextInteger(dx) || !nextInteger(dy)) {
        fail();
        return Point{x, y};
    }
    x = wrappingAdd(x, zigZagDecode(dx));
    y = wrappingAdd(y, zigZagDecode(dy));
    --count;
    return Point{x, y};
}

// The points of the current line-to, written as they are read; for rings
// also twice the signed area of the steps from `previous` on. The hot loop of
// transcoding: the cursor is kept in locals, which the writes into the
// buffer cannot touch.
template <bool SumArea> std::int64_t GeometryDecoder::readLineTo(Point previous)
{
    if (processor.fits(count)) {
        return readLineTo<SumArea, true>(previous);
    }
    return readLineTo<SumArea, false>(previous);
}

// `Fits`: the processor has room for all the points, checked once.
template <bool SumArea, bool Fits> std::int64_t GeometryDecoder::readLineTo(Point previous)
{
    const pb_byte_t* unread = bytes;
    std::size_t unreadLeft = left;
    std::int64_t doubleArea = 0;
    for (std::uint32_t n = count; n > 0; --n) {
        const Varint dx = varintAt(unread, unreadLeft);
        const Varint dy = varintAt(unread + dx.length, unreadLeft - dx.length);
        // A parameter missing at the end of the geometry cannot be decoded.
        if (dx.length == 0 || dy.length == 0) {
            fail();
            return 0;
        }
        unread += dx.length + dy.length;
        unreadLeft -= dx.length + dy.length;
        const Point next{wrappingAdd(previous.x, zigZagDecode(dx.value)),
                         wrappingAdd(previous.y, zigZagDecode(dy.value))};
        if (!inRange(next)) {
            fail();
            return 0;
        }
        if constexpr (SumArea) {
            doubleArea += std::int64_t{previous.x} * next.y - std::int64_t{next.x} * previous.y;
        }
        if constexpr (Fits) {
            processor.appendPoint(next.x, next.y);
        } else {
            processor.point(next.x, next.y);
        }
        previous = next;
    }
    bytes = unread;
    left = unreadLeft;
    count = 0;
    x = previous.x;
    y = previous.y;
    return doubleArea;
}

// Every line part and ring opens with a move-to of one point and a line-to.
inline bool GeometryDecoder::beginPart(bool ring, Point& start)
{
    if (count != 1) {
        fail();
        return false;
    }
    start = readPoint();
    if (damaged || !inRange(start)) {
        fail();
        return false;
    }
    nextCommand();
    if (id != LineToCommand) {
        fail();
        return false;
    }
    processor.begin(ring);
    processor.point(start.x, start.y);
    return true;
}

void GeometryDecoder::decodeLine()
{
    readCommand();
    if (id != MoveToCommand) {
        return;
    }
    for (;;) {
        Point start{};
        if (!beginPart(false, start)) {
            return;
        }
        if (count < 1) {
            fail();
            return;
        }
        readLineTo<false>(start);
        if (damaged) {
            return;
        }
        processor.end_line();
        nextCommand();
        if (id != MoveToCommand) {
            return;
        }
    }
}

void GeometryDecoder::decodePolygon()
{
    readCommand();
    if (id != MoveToCommand) {
        return;
    }
    bool outerRing = false;
    for (;;) {
        Point start{};
        if (!beginPart(true, start)) {
            return;
        }
        std::int64_t doubleArea = readLineTo<true>(start);
        if (damaged) {
            return;
        }
        const Point previous{x, y};
        nextCommand();
        if (id != ClosePathCommand) {
            fail();
            return;
        }
        count = 0; // a close path takes no parameters
        doubleArea += std::int64_t{previous.x} * start.y - std::int64_t{start.x} * previous.y;
        const bool outer = doubleArea >= -1;
        // A hole belongs to the outer ring before it.
        if (!outer && !outerRing) {
            fail();
            return;
        }
        outerRing = true;
        processor.point(start.x, start.y);
        if (outer) {
            processor.end_polygon();
        } else {
            processor.end_interior();
        }
        nextCommand();
        if (id != MoveToCommand) {
            return;
        }
    }
}

} // namespace vecta
