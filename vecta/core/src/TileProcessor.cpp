#include "TileProcessor.hpp"

#include <cstring>
#include <limits>

#include "platform/Assert.hpp"
#include "vecta/TileTranscoder.hpp"

namespace vecta {

void TileProcessor::dropCurrentSegment()
{
    writer.current = reinterpret_cast<std::uint8_t*>(header);
}

void TileProcessor::end_interior()
{
    if (writer.hasDiscarded()) {
        return;
    }
    VECTA_ASSERT(previousSlot != nullptr && previousHeader.path_style == GeometryType::Polygon);

    // A segment counts at most 255 rings and 65535 points: further holes are
    // left out, so the outer ring and the holes that fit still draw correctly.
    if (previousHeader.close_count == maxRings ||
        previousHeader.point_count + count > std::numeric_limits<std::uint16_t>::max()) {
        dropCurrentSegment();
        return;
    }

    const unsigned int oldCommandsByteSize = previousHeader.point_count + previousHeader.close_count;
    if (!(writer.remaining() > oldCommandsByteSize)) {
        writer.discarded = true;
        return;
    }
    const unsigned int holeBytes = count * 8u; // two floats per point
    std::uint8_t* holePoints = writer.current - holeBytes;
    std::uint8_t* staging = writer.current;
    std::uint8_t* bufferEnd = reinterpret_cast<std::uint8_t*>(writer.begin) + writer.capacity;
    std::uint8_t* mergedEnd = previousCommands + holeBytes + oldCommandsByteSize + count + 1u;
    if (mergedEnd > bufferEnd) {
        writer.discarded = true;
        return;
    }

    std::memcpy(staging, previousCommands, oldCommandsByteSize);
    std::memmove(previousCommands, holePoints, holeBytes);
    std::uint8_t* commands = previousCommands + holeBytes;
    std::memcpy(commands, staging, oldCommandsByteSize);
    writer.current = commands + oldCommandsByteSize;
    writeCommands(count, true);

    previousCommands = commands;
    previousHeader.point_count = static_cast<std::uint16_t>(previousHeader.point_count + count);
    previousHeader.close_count = static_cast<std::uint8_t>(previousHeader.close_count + 1);
    BufferWriter slot(previousSlot, sizeof(SegmentHeader));
    slot.write(previousHeader);
    writer.pad();
}

} // namespace vecta
