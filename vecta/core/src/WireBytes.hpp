#pragma once

#include <cstddef>
#include <cstdint>

#include <pb.h>

#include "TileStream.hpp"

namespace vecta {

constexpr std::uint32_t tagOf(std::uint32_t field, pb_wire_type_t wireType)
{
    return field << 3 | static_cast<std::uint32_t>(wireType); // wire types are 0 to 5
}

// The readers below move `p` through the bytes before `end` and return false
// when what is there does not decode. One pointer moves, so every step costs
// a compare against `end` and nothing else.

inline bool readVarint(const pb_byte_t*& p, const pb_byte_t* end, std::uint32_t& value)
{
    const Varint varint = varintAt(p, static_cast<std::size_t>(end - p));
    p += varint.length;
    value = varint.value;
    return varint.length != 0;
}

inline bool readBytes(const pb_byte_t*& p, const pb_byte_t* end, const pb_byte_t*& start, std::size_t& size)
{
    std::uint32_t length = 0;
    if (!readVarint(p, end, length) || length > static_cast<std::size_t>(end - p)) {
        return false;
    }
    start = p;
    size = length;
    p += length;
    return true;
}

inline bool skipValue(const pb_byte_t*& p, const pb_byte_t* end, std::uint32_t wireType)
{
    std::size_t fixed = 0;
    switch (wireType) {
    case PB_WT_VARINT: {
        // Up to ten bytes: 64-bit values too.
        const pb_byte_t* limit = end - p > 10 ? p + 10 : end;
        while (p < limit && (*p & 0x80u) != 0) {
            ++p;
        }
        if (p == limit) {
            return false;
        }
        ++p;
        return true;
    }
    case PB_WT_STRING: {
        const pb_byte_t* ignored = nullptr;
        std::size_t size = 0;
        return readBytes(p, end, ignored, size);
    }
    case PB_WT_64BIT:
        fixed = 8;
        break;
    case PB_WT_32BIT:
        fixed = 4;
        break;
    default:
        return false;
    }
    if (fixed > static_cast<std::size_t>(end - p)) {
        return false;
    }
    p += fixed;
    return true;
}

} // namespace vecta
