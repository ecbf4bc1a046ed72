#pragma once

#include <cstddef>
#include <cstdint>

#include <pb.h>

#include "TileStream.hpp"

namespace vecta {

// The unread bytes of a message in the tile. Every step stays within them;
// bytes that do not decode mark the cursor damaged and end it, and the
// values read from then on are zero.
struct TileCursor {
    const pb_byte_t* bytes;
    std::size_t left;
    bool damaged = false;

    void fail()
    {
        bytes += left;
        left = 0;
        damaged = true;
    }
    std::uint32_t varint()
    {
        const Varint varint = varintAt(bytes, left);
        if (varint.length == 0) {
            fail();
            return 0;
        }
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
        if (length < left && length < 10) {
            skip(length + 1);
        } else {
            fail();
        }
    }
    void skip(std::size_t count)
    {
        if (count > left) {
            fail();
            return;
        }
        bytes += count;
        left -= count;
    }
    // A length-delimited field's bytes; none when they run past the cursor.
    const pb_byte_t* take(std::size_t& size)
    {
        size = varint();
        const pb_byte_t* start = bytes;
        if (size > left) {
            fail();
            size = 0;
            return start;
        }
        bytes += size;
        left -= size;
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
            fail();
        }
    }
};

} // namespace vecta
