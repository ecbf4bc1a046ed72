#include "GeometryDecoder.hpp"

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

} // namespace

GeometryDecoder::GeometryDecoder(Feature& source, TileProcessor& sink) : feature(source), processor(sink)
{
}

// At the end of the geometry the previous command stays in place, which ends
// the callers' loops.
void GeometryDecoder::readCommand()
{
    if (!feature.nextValue(command)) {
        VECTA_ASSERT(false);
    }
    id = command & 7u;
    count = command >> 3;
}

void GeometryDecoder::nextCommand()
{
    VECTA_ASSERT(count == 0);
    readCommand();
}

Point GeometryDecoder::readPoint()
{
    // A parameter missing at the end of the geometry cannot be decoded.
    std::uint32_t dx = 0;
    std::uint32_t dy = 0;
    if (feature.geometryCursor.bytes_left == 0 || !feature.nextValue(dx) || feature.geometryCursor.bytes_left == 0 ||
        !feature.nextValue(dy)) {
        VECTA_ASSERT(false);
    }
    x = wrappingAdd(x, zigZagDecode(dx));
    y = wrappingAdd(y, zigZagDecode(dy));
    --count;
    return Point{x, y};
}

// Every line part and ring opens with a move-to of one point and a line-to.
Point GeometryDecoder::beginPart(bool ring)
{
    if (count != 1) {
        VECTA_ASSERT(false);
    }
    const Point start = readPoint();
    nextCommand();
    if (id != LineToCommand) {
        VECTA_ASSERT(false);
    }
    processor.begin(ring);
    processor.point(start.x, start.y);
    return start;
}

void GeometryDecoder::decodeLine()
{
    readCommand();
    if (id != MoveToCommand) {
        return;
    }
    for (;;) {
        beginPart(false);
        if (count < 1) {
            VECTA_ASSERT(false);
        }
        while (count > 0) {
            const Point next = readPoint();
            processor.point(next.x, next.y);
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
    for (;;) {
        const Point start = beginPart(true);
        std::int64_t doubleArea = 0;
        Point previous = start;
        while (count > 0) {
            const Point next = readPoint();
            doubleArea += std::int64_t{previous.x} * next.y - std::int64_t{next.x} * previous.y;
            processor.point(next.x, next.y);
            previous = next;
        }
        nextCommand();
        if (id != ClosePathCommand) {
            VECTA_ASSERT(false);
        }
        count = 0; // a close path takes no parameters
        doubleArea += std::int64_t{previous.x} * start.y - std::int64_t{start.x} * previous.y;
        processor.point(start.x, start.y);
        if (doubleArea >= -1) {
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
