#pragma once

#include <cstdint>
#include <cstring>

#include "vecta/Geometry.hpp"

namespace vecta {

// The first 16 bytes of every segment in a segment buffer.
struct SegmentHeader {
    std::uint32_t style_id;
    std::uint16_t point_count;
    std::uint8_t close_count;
    std::uint8_t path_style;
    BoundingBox bbox;
};
static_assert(sizeof(SegmentHeader) == 16);

inline bool isWordAligned(const void* pointer)
{
    return (reinterpret_cast<std::uintptr_t>(pointer) & 3u) == 0;
}

inline std::uintptr_t wordAlignedUp(const void* pointer)
{
    return (reinterpret_cast<std::uintptr_t>(pointer) + 3u) & ~std::uintptr_t{3};
}

// GPU path segment codes, one command byte per path step.
enum PathCommand : std::uint8_t { ClosePath = 0, MoveTo = 1, LineTo = 2 };

// Writes into a fixed buffer. A write that does not fit is refused and marks
// the writer discarded; every later write is refused until rollback, so a
// full buffer loses whole features, never parts of them.
struct BufferWriter {
    BufferWriter() = default; // the invalid writer: refuses everything
    BufferWriter(std::uint32_t* buffer, unsigned int bytes)
        : current(reinterpret_cast<std::uint8_t*>(buffer)), begin(buffer), capacity(bytes), discarded(false)
    {
    }

    explicit operator bool() const { return begin != nullptr && current != nullptr && capacity != 0; }
    unsigned int size() const
    {
        return static_cast<unsigned int>(current - reinterpret_cast<const std::uint8_t*>(begin));
    }
    unsigned int remaining() const { return capacity - size(); }
    bool hasDiscarded() const { return discarded; }

    // Once per feature: kept inline like the writes.
    void checkpoint()
    {
        if (!discarded) {
            checkpointPosition = current;
        }
    }
    void rollback();
    // Once per segment and per tile read: kept inline like the writes.
    void pad()
    {
        const std::uintptr_t next = wordAlignedUp(current);
        if (!*this || next > reinterpret_cast<std::uintptr_t>(begin) + capacity) {
            discarded = true;
            return;
        }
        current += next - reinterpret_cast<std::uintptr_t>(current);
    }
    void realign() { pad(); }

    // The hot path of transcoding, so kept inline.
    bool write(float value)
    {
        if (!canWrite(sizeof value)) {
            return false;
        }
        std::memcpy(current, &value, sizeof value);
        current += sizeof value;
        return true;
    }

    bool write(std::uint8_t command)
    {
        if (!canWrite(1)) {
            return false;
        }
        *current++ = command;
        return true;
    }
    // Reserves a header slot and returns a 16-byte writer over it, or the
    // invalid writer when it does not fit.
    BufferWriter reserveHeader()
    {
        if (!canWrite(sizeof(SegmentHeader)) || !isWordAligned(current)) {
            discarded = true;
            return BufferWriter();
        }
        BufferWriter slot(reinterpret_cast<std::uint32_t*>(current), sizeof(SegmentHeader));
        current += sizeof(SegmentHeader); // still aligned
        return slot;
    }
    bool write(const SegmentHeader& header)
    {
        if (!canWrite(sizeof header)) {
            return false;
        }
        std::memcpy(current, &header, sizeof header);
        current += sizeof header;
        return true;
    }
    // Writes `count` copies of a command byte, all or none.
    bool fill(std::uint8_t command, unsigned int count)
    {
        if (!canWrite(count)) {
            return false;
        }
        std::memset(current, command, count);
        current += count;
        return true;
    }
    void removeLastPoint()
    {
        if (*this && !discarded && size() > 7) {
            current -= 2 * sizeof(float);
        }
    }

    std::uint8_t* current = nullptr;
    std::uint32_t* begin = nullptr;
    std::uint32_t capacity = 0;
    bool discarded = true;
    std::uint8_t* checkpointPosition = nullptr;

private:
    bool canWrite(unsigned int bytes)
    {
        if (discarded || !*this || remaining() < bytes) {
            discarded = true;
            return false;
        }
        return true;
    }
};

struct BufferReader {
    BufferReader() = default;
    BufferReader(const std::uint32_t* data, unsigned int bytes)
        : begin(data), current(reinterpret_cast<const std::uint8_t*>(data)), size(bytes)
    {
    }

    unsigned int remaining() const
    {
        return static_cast<unsigned int>(reinterpret_cast<const std::uint8_t*>(begin) + size - current);
    }
    void reset() { current = reinterpret_cast<const std::uint8_t*>(begin); }
    BufferReader take(unsigned int bytes)
    {
        if (bytes == 0 || bytes > remaining() || !isWordAligned(current)) {
            return BufferReader();
        }
        const std::uint8_t* start = current;
        current += bytes;
        if (bytes < 4 || start == nullptr) {
            return BufferReader();
        }
        return BufferReader(reinterpret_cast<const std::uint32_t*>(start), bytes);
    }
    void realign()
    {
        const std::uintptr_t next = wordAlignedUp(current);
        if (next <= reinterpret_cast<std::uintptr_t>(begin) + size) {
            current += next - reinterpret_cast<std::uintptr_t>(current);
        }
    }

    const std::uint32_t* begin = nullptr;
    const std::uint8_t* current = nullptr;
    std::uint32_t size = 0;
};

struct Segment {
    const SegmentHeader* header = nullptr;
    BufferReader payload;
};

} // namespace vecta
