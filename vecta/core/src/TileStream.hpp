#pragma once

#include <cstddef>
#include <cstdint>

#include <pb_decode.h>

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

// A varint read in place: its value and its length in bytes, 0 when it does
// not decode within the bytes available.
struct Varint {
    std::uint32_t value;
    std::uint32_t length;
};

// Varints of three bytes and more.
Varint longVarintAt(const pb_byte_t* bytes, std::size_t available);

// Geometry and tag integers are mostly one or two bytes long.
inline Varint varintAt(const pb_byte_t* bytes, std::size_t available)
{
    if (available >= 1 && bytes[0] < 0x80u) {
        return Varint{bytes[0], 1};
    }
    if (available >= 2 && bytes[1] < 0x80u) {
        return Varint{(bytes[0] & 0x7Fu) | static_cast<std::uint32_t>(bytes[1]) << 7, 2};
    }
    return longVarintAt(bytes, available);
}

inline bool decodeVarint(pb_istream_t* stream, std::uint32_t& out)
{
    if (stream->callback != &readTileBytes) {
        return pb_decode_varint32(stream, &out);
    }
    const Varint varint = varintAt(tileBytes(stream), stream->bytes_left);
    if (varint.length == 0) {
        return false;
    }
    out = varint.value;
    advance(stream, varint.length);
    return true;
}

// As nanopb: at most ten bytes, bits beyond 64 dropped.
inline bool decodeVarint64(pb_istream_t* stream, std::uint64_t& out)
{
    if (stream->callback == &readTileBytes) {
        const pb_byte_t* bytes = tileBytes(stream);
        const std::size_t available = stream->bytes_left < 10 ? stream->bytes_left : 10;
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < available; ++i) {
            value |= static_cast<std::uint64_t>(bytes[i] & 0x7Fu) << (7 * i);
            if ((bytes[i] & 0x80u) == 0) {
                advance(stream, i + 1);
                out = value;
                return true;
            }
        }
    }
    return pb_decode_varint(stream, &out);
}

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

// The hash of a string in the tile: its first 47 bytes, up to a zero byte as
// a copy would end.
std::uint32_t hashPrefix(const pb_byte_t* text, std::size_t length);

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

// Ends a stream at bytes that do not decode: tile streams move to their end,
// so that closing them leaves the parent past their field.
inline void endStream(pb_istream_t* stream)
{
    if (stream->callback == &readTileBytes) {
        advance(stream, stream->bytes_left);
    } else {
        stream->bytes_left = 0;
    }
}

// Decodes the next tag; false at the end of the stream. A tag that does not
// decode ends the stream and marks it `damaged`.
inline bool nextTag(pb_istream_t* stream, pb_wire_type_t& wireType, std::uint32_t& field, bool& damaged)
{
    if (stream->bytes_left == 0) {
        return false;
    }
    if (!decodeTag(stream, wireType, field)) {
        damaged = true;
        endStream(stream);
        return false;
    }
    return true;
}

// Fields other than length-delimited ones.
bool skipOtherField(pb_istream_t* stream, pb_wire_type_t wireType);

// False, with the stream ended, when the field runs past the stream or its
// wire type is invalid.
inline bool skipField(pb_istream_t* stream, pb_wire_type_t wireType)
{
    bool skipped = false;
    if (wireType != PB_WT_STRING) {
        skipped = skipOtherField(stream, wireType);
    } else {
        std::uint32_t length = 0;
        skipped = decodeVarint(stream, length) && skipBytes(stream, length);
    }
    if (!skipped) {
        endStream(stream);
    }
    return skipped;
}

} // namespace vecta
