#pragma once

#include <cstddef>
#include <cstdint>

#include <pb.h>

#include "TileStream.hpp"
#include "vecta/Assert.hpp"

namespace vecta {

// The unread bytes of a message in the tile. Every step stays within them;
// bytes that do not decode violate the tile contract.
struct TileCursor {
    const pb_byte_t* bytes;
    std::size_t left;

    std::uint32_t varint()
    {
        const Varint varint = varintAt(bytes, left);
        VECTA_ASSERT(varint.length != 0);
        bytes += varint.length;
        left -= varint.length;
        return varint.value;
    }
    // Up to ten bytes: 64-bit values too.
    void skipVarint()
    {
        std::size_t length = 0;
        while (length < left && length < 10 && (bytes[length] & 0x80u) != 0) {
            ++length;
        }
        VECTA_ASSERT(length < left && length < 10);
        skip(length + 1);
    }
    void skip(std::size_t count)
    {
        VECTA_ASSERT(count <= left);
        bytes += count;
        left -= count;
    }
    const pb_byte_t* take(std::size_t& size)
    {
        size = varint();
        const pb_byte_t* start = bytes;
        skip(size);
        return start;
    }
    // The hash of a length-delimited string, as readHashedString() takes it.
    std::uint32_t hashedString()
    {
        std::size_t length = 0;
        const pb_byte_t* text = take(length);
        return hashPrefix(text, length);
    }
    void skipField(std::uint32_t wireType)
    {
        std::size_t ignored = 0;
        switch (wireType) {
        case PB_WT_VARINT:
            skipVarint();
            break;
        case PB_WT_64BIT:
            skip(8);
            break;
        case PB_WT_STRING:
            take(ignored);
            break;
        case PB_WT_32BIT:
            skip(4);
            break;
        default:
            VECTA_ASSERT(false);
        }
    }
};

} // namespace vecta
