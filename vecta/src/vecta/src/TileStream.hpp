#pragma once

#include <cstdint>

#include <pb_decode.h>

#include "vecta/Assert.hpp"

namespace vecta {

// Helpers over nanopb input streams whose state is a moving pointer into the
// tile. Reads are bounded by the streams' bytes_left, whatever the bytes say.
// The hot ones are inline: on a tile stream they read the tile's bytes
// directly; any other stream, and anything unusual, goes through nanopb.

pb_istream_t tileStream(const char* data, unsigned int size);

// The read callback of tile streams.
bool readTileBytes(pb_istream_t* stream, pb_byte_t* destination, std::size_t count);

inline const pb_byte_t* tileBytes(const pb_istream_t* stream)
{
    return static_cast<const pb_byte_t*>(stream->state);
}

inline void advance(pb_istream_t* stream, std::size_t count)
{
    stream->state = const_cast<pb_byte_t*>(tileBytes(stream) + count);
    stream->bytes_left -= count;
}

// Varints of three bytes and more, and every varint of other streams.
bool decodeLongVarint(pb_istream_t* stream, std::uint32_t& out);

// Geometry and tag integers are mostly one or two bytes long.
inline bool decodeVarint(pb_istream_t* stream, std::uint32_t& out)
{
    if (stream->callback == &readTileBytes) {
        const pb_byte_t* bytes = tileBytes(stream);
        const std::size_t available = stream->bytes_left;
        if (available >= 1 && bytes[0] < 0x80u) {
            out = bytes[0];
            advance(stream, 1);
            return true;
        }
        if (available >= 2 && bytes[1] < 0x80u) {
            out = (bytes[0] & 0x7Fu) | static_cast<std::uint32_t>(bytes[1]) << 7;
            advance(stream, 2);
            return true;
        }
    }
    return decodeLongVarint(stream, out);
}

bool decodeVarint64(pb_istream_t* stream, std::uint64_t& out);

// The number of varints in a packed field. All its bytes must belong to them.
std::uint32_t countVarints(pb_istream_t packed);

// nanopb skips through a bounce buffer for callback streams; a moving
// pointer can simply move.
inline bool skipBytes(pb_istream_t* stream, std::size_t count)
{
    if (stream->callback != &readTileBytes) {
        return pb_read(stream, nullptr, count);
    }
    if (count > stream->bytes_left) {
        return false;
    }
    advance(stream, count);
    return true;
}

// Opens the length-delimited field at the stream's position; its bytes
// belong to the sub-stream until it is closed.
inline bool openSubstream(pb_istream_t* stream, pb_istream_t* substream)
{
    if (stream->callback != &readTileBytes) {
        return pb_make_string_substream(stream, substream);
    }
    std::uint32_t size = 0;
    if (!decodeVarint(stream, size) || size > stream->bytes_left) {
        return false;
    }
    *substream = *stream;
    substream->bytes_left = size;
    stream->bytes_left -= size;
    return true;
}

// Moves the parent past the sub-stream's field, however much of it was read.
inline bool closeSubstream(pb_istream_t* stream, pb_istream_t* substream)
{
    if (stream->callback != &readTileBytes) {
        return pb_close_string_substream(stream, substream);
    }
    stream->state = const_cast<pb_byte_t*>(tileBytes(substream) + substream->bytes_left);
    substream->bytes_left = 0;
    return true;
}

// Reads a length-delimited string and hashes its first 47 bytes; the rest is
// skipped. Returns false when the length or the bytes cannot be read.
bool readHashedString(pb_istream_t* stream, std::uint32_t& hash);

// Decodes the next tag; false at the end of the stream.
inline bool decodeTag(pb_istream_t* stream, pb_wire_type_t& wireType, std::uint32_t& field)
{
    std::uint32_t tag = 0;
    if (!decodeVarint(stream, tag)) {
        return false;
    }
    wireType = static_cast<pb_wire_type_t>(tag & 7u);
    field = tag >> 3;
    return true;
}

// Decodes the next tag; false at the end of the stream. A tag that does not
// decode violates the tile contract.
inline bool nextTag(pb_istream_t* stream, pb_wire_type_t& wireType, std::uint32_t& field)
{
    if (stream->bytes_left == 0) {
        return false;
    }
    const bool decoded = decodeTag(stream, wireType, field);
    VECTA_ASSERT(decoded);
    return true;
}

void skipField(pb_istream_t* stream, pb_wire_type_t wireType);

} // namespace vecta
