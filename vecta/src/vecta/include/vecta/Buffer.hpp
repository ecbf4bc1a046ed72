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

// GPU path segment codes, one command byte per path step.
enum PathCommand : std::uint8_t { ClosePath = 0, MoveTo = 1, LineTo = 2 };

// Writes into a fixed buffer. A write that does not fit is refused and marks
// the writer discarded; every later write is refused until rollback, so a
// full buffer loses whole features, never parts of them.
struct BufferWriter {
    BufferWriter() = default; // the invalid writer: refuses everything
    BufferWriter(std::uint32_t* buffer, unsigned int bytes);

    explicit operator bool() const { return begin != nullptr && current != nullptr && capacity != 0; }
    unsigned int size() const
    {
        return static_cast<unsigned int>(current - reinterpret_cast<const std::uint8_t*>(begin));
    }
    unsigned int remaining() const { return capacity - size(); }
    bool hasDiscarded() const { return discarded; }

    void checkpoint();
    void rollback();
    void pad();
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
    BufferWriter reserveHeader();
    bool write(const SegmentHeader& header);
    void removeLastPoint();

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
    BufferReader(const std::uint32_t* data, unsigned int bytes);

    unsigned int remaining() const;
    void reset() { current = reinterpret_cast<const std::uint8_t*>(begin); }
    BufferReader take(unsigned int bytes);
    void realign();

    const std::uint32_t* begin = nullptr;
    const std::uint8_t* current = nullptr;
    std::uint32_t size = 0;
};

struct Segment {
    const SegmentHeader* header = nullptr;
    BufferReader payload;
};

} // namespace vecta
