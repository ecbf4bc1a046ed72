#include "GeometryDecoder.hpp"

#include "TileStream.hpp"
#include "platform/Assert.hpp"
#include "vecta/TileFormat.hpp"

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

// The unread geometry and the pen, held in locals by the decoding loop: the
// writes into the buffer cannot touch them, so they stay in registers.
struct Cursor {
    const pb_byte_t* p;
    const pb_byte_t* end;
    Point pen{0, 0};
    std::uint32_t command = 0;
    bool bad = false; // an integer did not decode

    // At the end of the geometry the previous command stays in place, which
    // ends the decoding loop.
    void nextCommand()
    {
        if (p == end) {
            return;
        }
        const Varint varint = varintAt(p, static_cast<std::size_t>(end - p));
        p += varint.length;
        command = varint.value;
        bad = varint.length == 0;
    }
    std::uint32_t id() const { return command & 7u; }
    std::uint32_t count() const { return command >> 3; }

    // A move-to's point; false when a parameter is missing or does not decode.
    bool movePen()
    {
        const Varint dx = varintAt(p, static_cast<std::size_t>(end - p));
        const Varint dy = varintAt(p + dx.length, static_cast<std::size_t>(end - p) - dx.length);
        if (dx.length == 0 || dy.length == 0) {
            return false;
        }
        p += dx.length + dy.length;
        pen = Point{wrappingAdd(pen.x, zigZagDecode(dx.value)), wrappingAdd(pen.y, zigZagDecode(dy.value))};
        return true;
    }
};

// The points of a line-to of `count` points from the pen, written as they are
// read; for rings also twice the signed area of its steps, into `area`.
// False when the line-to is invalid. The hot loop of transcoding.
template <bool SumArea, bool Fits, bool Part = false>
bool readLineTo(Cursor& cursor, std::uint32_t count, TileProcessor& processor, std::uint64_t& area)
{
    const pb_byte_t* unread = cursor.p;
    const pb_byte_t* const end = cursor.end;
    std::uint64_t doubleArea = 0;
    bool valid = true;
    const auto next = [&](const Point& before, Point& point) {
        Varint dx{};
        Varint dy{};
        // Both parameters are mostly one byte long.
        if (end - unread >= 2 && (unread[0] | unread[1]) < 0x80u) {
            dx = Varint{unread[0], 1};
            dy = Varint{unread[1], 1};
        } else {
            dx = varintAt(unread, static_cast<std::size_t>(end - unread));
            dy = varintAt(unread + dx.length, static_cast<std::size_t>(end - unread) - dx.length);
            // A parameter missing at the end of the geometry cannot be decoded.
            if (dx.length == 0 || dy.length == 0) {
                valid = false;
                return false;
            }
        }
        unread += dx.length + dy.length;
        point = Point{wrappingAdd(before.x, zigZagDecode(dx.value)), wrappingAdd(before.y, zigZagDecode(dy.value))};
        // A run checks the range once at its end; point() needs it now.
        if (!Fits && !inRange(point)) {
            valid = false;
            return false;
        }
        if constexpr (SumArea) {
            // Wrapping: points are checked at the end of the run only.
            doubleArea += static_cast<std::uint64_t>(std::int64_t{before.x} * point.y) -
                          static_cast<std::uint64_t>(std::int64_t{point.x} * before.y);
        }
        return true;
    };
    Point previous = cursor.pen;
    if constexpr (Part) {
        // The part begins at the pen.
        valid = processor.appendPart<SumArea>(previous, count, next) && valid;
        previous = processor.lastStored();
    } else if constexpr (Fits) {
        // The processor's last point is the pen, where this line-to starts.
        valid = processor.appendRun<SumArea>(count, next) && valid;
        previous = processor.lastStored();
    } else {
        for (std::uint32_t n = count; n > 0 && valid; --n) {
            Point point{};
            if (next(previous, point)) {
                processor.point(point.x, point.y);
                previous = point;
            }
        }
    }
    cursor.p = unread;
    cursor.pen = previous;
    area += doubleArea;
    return valid;
}

template <bool SumArea>
bool readLineTo(Cursor& cursor, std::uint32_t count, TileProcessor& processor, std::uint64_t& area)
{
    if (processor.fits(count)) {
        return readLineTo<SumArea, true>(cursor, count, processor, area);
    }
    return readLineTo<SumArea, false>(cursor, count, processor, area);
}

} // namespace

// Every line part and ring opens with a move-to of one point and a line-to;
// a ring then closes with a close-path. Whatever follows the last part that
// is not a move-to ends the geometry.
template <bool Polygon> void GeometryDecoder::decodeParts()
{
    Cursor cursor{bytes, bytes + left};
    cursor.nextCommand();
    bool outerRing = false;
    bool valid = !cursor.bad;
    while (valid && cursor.id() == MoveToCommand) {
        valid = false;
        if (cursor.count() != 1 || !cursor.movePen() || !inRange(cursor.pen)) {
            break;
        }
        const Point start = cursor.pen;
        cursor.nextCommand();
        if (cursor.bad || cursor.id() != LineToCommand || (!Polygon && cursor.count() < 1)) {
            break;
        }
        std::uint64_t doubleArea = 0;
        if (processor.fitsPart(cursor.count())) {
            // The part begins with the line-to's run, in one go.
            if (!readLineTo<Polygon, true, true>(cursor, cursor.count(), processor, doubleArea)) {
                break;
            }
        } else {
            processor.begin(Polygon, start);
            if (!readLineTo<Polygon>(cursor, cursor.count(), processor, doubleArea)) {
                break;
            }
        }
        if constexpr (Polygon) {
            const Point previous = cursor.pen;
            cursor.nextCommand();
            if (cursor.bad || cursor.id() != ClosePathCommand) {
                break;
            }
            // A close path's parameters are not read.
            doubleArea += static_cast<std::uint64_t>(std::int64_t{previous.x} * start.y) -
                          static_cast<std::uint64_t>(std::int64_t{start.x} * previous.y);
            const bool outer = static_cast<std::int64_t>(doubleArea) >= -1;
            // A hole belongs to the outer ring before it.
            if (!outer && !outerRing) {
                break;
            }
            outerRing = true;
            processor.point(start.x, start.y);
            if (outer) {
                processor.end_polygon();
            } else {
                processor.end_interior();
            }
        } else {
            processor.end_line();
        }
        cursor.nextCommand();
        valid = !cursor.bad;
    }
    damaged = !valid;
}

void GeometryDecoder::decodeLine()
{
    decodeParts<false>();
}

void GeometryDecoder::decodePolygon()
{
    decodeParts<true>();
}

} // namespace vecta
