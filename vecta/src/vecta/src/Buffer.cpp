#include "vecta/Buffer.hpp"

namespace vecta {

namespace {

bool isAligned(const void* pointer)
{
    return (reinterpret_cast<std::uintptr_t>(pointer) & 3u) == 0;
}

std::uintptr_t alignedUp(const void* pointer)
{
    return (reinterpret_cast<std::uintptr_t>(pointer) + 3u) & ~std::uintptr_t{3};
}

} // namespace

BufferWriter::BufferWriter(std::uint32_t* buffer, unsigned int bytes)
    : current(reinterpret_cast<std::uint8_t*>(buffer)), begin(buffer), capacity(bytes), discarded(false)
{
}

void BufferWriter::checkpoint()
{
    if (!discarded) {
        checkpointPosition = current;
    }
}

void BufferWriter::rollback()
{
    if (checkpointPosition != nullptr) {
        current = checkpointPosition;
        discarded = false;
    }
}

void BufferWriter::pad()
{
    if (!*this) {
        discarded = true;
        return;
    }
    const std::uintptr_t end = reinterpret_cast<std::uintptr_t>(begin) + capacity;
    const std::uintptr_t next = alignedUp(current);
    if (next > end) {
        discarded = true;
        return;
    }
    current += next - reinterpret_cast<std::uintptr_t>(current);
}

BufferWriter BufferWriter::reserveHeader()
{
    if (!canWrite(sizeof(SegmentHeader)) || !isAligned(current)) {
        discarded = true;
        return BufferWriter();
    }
    BufferWriter slot(reinterpret_cast<std::uint32_t*>(current), sizeof(SegmentHeader));
    current += sizeof(SegmentHeader);
    realign();
    return slot;
}

bool BufferWriter::write(const SegmentHeader& header)
{
    if (!canWrite(sizeof header)) {
        return false;
    }
    std::memcpy(current, &header, sizeof header);
    current += sizeof header;
    return true;
}

void BufferWriter::removeLastPoint()
{
    if (*this && !discarded && size() > 7) {
        current -= 2 * sizeof(float);
    }
}

BufferReader::BufferReader(const std::uint32_t* data, unsigned int bytes)
    : begin(data), current(reinterpret_cast<const std::uint8_t*>(data)), size(bytes)
{
}

unsigned int BufferReader::remaining() const
{
    return static_cast<unsigned int>(reinterpret_cast<const std::uint8_t*>(begin) + size - current);
}

BufferReader BufferReader::take(unsigned int bytes)
{
    if (bytes == 0 || bytes > remaining() || !isAligned(current)) {
        return BufferReader();
    }
    const std::uint8_t* start = current;
    current += bytes;
    if (bytes < 4 || start == nullptr) {
        return BufferReader();
    }
    return BufferReader(reinterpret_cast<const std::uint32_t*>(start), bytes);
}

void BufferReader::realign()
{
    const std::uintptr_t end = reinterpret_cast<std::uintptr_t>(begin) + size;
    const std::uintptr_t next = alignedUp(current);
    if (next <= end) {
        current += next - reinterpret_cast<std::uintptr_t>(current);
    }
}

} // namespace vecta
