#include "TileStream.hpp"

#include <algorithm>
#include <cstring>

#include "vecta/Assert.hpp"
#include "vecta/StringHash.hpp"

namespace vecta {

namespace {

// The stream's state is a moving pointer into the tile: sub-streams copy it
// and hand it back on close, so every stream reads in place.
bool readTileBytes(pb_istream_t* stream, pb_byte_t* destination, std::size_t count)
{
    const auto* source = static_cast<const pb_byte_t*>(stream->state);
    if (destination != nullptr) {
        if (count == 1) {
            *destination = *source;
        } else {
            std::memcpy(destination, source, count);
        }
    }
    stream->state = const_cast<pb_byte_t*>(source + count);
    return true;
}

} // namespace

pb_istream_t tileStream(const char* data, unsigned int size)
{
    return pb_istream_t{&readTileBytes, const_cast<char*>(data), size, nullptr};
}

bool decodeVarint(pb_istream_t* stream, std::uint32_t& out)
{
    if (stream->callback == &readTileBytes) {
        const auto* bytes = static_cast<const pb_byte_t*>(stream->state);
        const std::size_t available = std::min<std::size_t>(stream->bytes_left, 5);
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < available; ++i) {
            value |= static_cast<std::uint32_t>(bytes[i] & 0x7Fu) << (7 * i);
            if ((bytes[i] & 0x80u) == 0) {
                stream->state = const_cast<pb_byte_t*>(bytes + i + 1);
                stream->bytes_left -= i + 1;
                out = value;
                return true;
            }
        }
    }
    return pb_decode_varint32(stream, &out);
}

// nanopb skips through a bounce buffer for callback streams; a moving
// pointer can simply move.
bool skipBytes(pb_istream_t* stream, std::uint32_t count)
{
    if (stream->callback != &readTileBytes) {
        return pb_read(stream, nullptr, count);
    }
    if (count > stream->bytes_left) {
        return false;
    }
    stream->state = static_cast<pb_byte_t*>(stream->state) + count;
    stream->bytes_left -= count;
    return true;
}

bool readHashedString(pb_istream_t* stream, std::uint32_t& hash)
{
    std::uint32_t length = 0;
    if (!decodeVarint(stream, length)) {
        return false;
    }
    char buffer[hashedPrefixLength + 1] = {};
    const std::uint32_t kept = std::min<std::uint32_t>(length, hashedPrefixLength);
    if (!pb_read(stream, reinterpret_cast<pb_byte_t*>(buffer), kept) || !skipBytes(stream, length - kept)) {
        return false;
    }
    hash = stringHash(buffer);
    return true;
}

bool nextTag(pb_istream_t* stream, pb_wire_type_t& wireType, std::uint32_t& field)
{
    if (stream->bytes_left == 0) {
        return false;
    }
    bool eof = false;
    const bool decoded = pb_decode_tag(stream, &wireType, &field, &eof);
    VECTA_ASSERT(decoded);
    return true;
}

void skipField(pb_istream_t* stream, pb_wire_type_t wireType)
{
    bool skipped = false;
    if (wireType == PB_WT_STRING) {
        std::uint32_t length = 0;
        skipped = decodeVarint(stream, length) && skipBytes(stream, length);
    } else {
        skipped = pb_skip_field(stream, wireType);
    }
    VECTA_ASSERT(skipped);
}

} // namespace vecta
